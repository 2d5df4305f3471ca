// The menu's About and Exit commands against the toolkit's one About window.
#include <algorithm>
#include <cstring>

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "fake_window_system.h"

namespace tarnvale {
namespace {

using ::tarnvale::testing::FakeWindowSystem;
using Calls = std::vector<std::string>;

constexpr WindowHandle kSelf = 0x77;
constexpr IconHandle kIcon = 0x55;
constexpr std::uint32_t kRightButtonDown = 0x204;

class AboutCommands : public ::testing::Test {
protected:
    AboutCommands() : main(windows, kSelf, kIcon)
    {
        desktop = windows.AddDesktop();
        target = windows.AddWindow(L"Foo", L"Foo");
        windows.onMainWindowClose = [this] { main.OnClosing(); };
        EXPECT_EQ(main.Start(L"tarnvale.exe Foo"), MainWindow::StartResult::Running);
        windows.calls.clear();
    }

    void Choose(MenuChoice choice)
    {
        windows.menuChoice = choice;
        main.OnIconCallback(kRightButtonDown);
    }

    // Nothing in `calls` may touch the target's parent or the notification icon.
    static bool TouchesTargetOrIcon(const Calls& calls)
    {
        return std::any_of(calls.begin(), calls.end(), [](const std::string& call) {
            return call.starts_with("SetParent") || call.starts_with("Shell_NotifyIconA");
        });
    }

    FakeWindowSystem windows;
    MainWindow main;
    WindowHandle desktop = 0;
    WindowHandle target = 0;
};

TEST_F(AboutCommands, AboutTwiceLoadsOnceAndShowsTheSameWindowAgain)
{
    Choose(MenuChoice::About);
    Choose(MenuChoice::About);
    EXPECT_EQ(windows.calls, (Calls{"ShowPopupMenu()", "ShowAboutWindow()", "AboutLoad()",
                                    "AboutShow()", "ShowPopupMenu()", "ShowAboutWindow()",
                                    "AboutShow()"}));
    EXPECT_TRUE(windows.aboutLoaded());
}

TEST_F(AboutCommands, OpeningAndClosingLeavesTargetAndIconAlone)
{
    Choose(MenuChoice::About);
    windows.CloseAboutByUser();
    Choose(MenuChoice::About);
    windows.CloseAboutByUser();
    EXPECT_FALSE(TouchesTargetOrIcon(windows.calls));
    EXPECT_EQ(windows.At(target).parent, desktop);
    EXPECT_EQ(windows.notifications.size(), 1u) << "only the start-up NIM_ADD";
    EXPECT_EQ(main.target().targetWindow, target);
}

TEST_F(AboutCommands, ClosedByTheUserThenAboutAgainLoadsAfresh)
{
    Choose(MenuChoice::About);
    windows.CloseAboutByUser();  // Dismiss
    Choose(MenuChoice::About);
    windows.CloseAboutByUser();  // the close box
    EXPECT_EQ(std::count(windows.calls.begin(), windows.calls.end(), "AboutLoad()"), 2);
    EXPECT_EQ(std::count(windows.calls.begin(), windows.calls.end(), "AboutUnload()"), 2);
    EXPECT_FALSE(windows.aboutLoaded());
}

TEST_F(AboutCommands, ExitClosesTheOpenAboutWindowBeforeTheMainWindow)
{
    Choose(MenuChoice::About);
    windows.calls.clear();
    Choose(MenuChoice::Exit);
    EXPECT_EQ(windows.calls, (Calls{"ShowPopupMenu()", "CloseAboutWindow()", "AboutUnload()",
                                    "CloseMainWindow()", "Shell_NotifyIconA(NIM_DELETE)",
                                    "SetParent(0x1004, 0, long)"}));
    EXPECT_FALSE(windows.aboutLoaded());
}

TEST_F(AboutCommands, ExitWithoutAboutNeverCreatesIt)
{
    Choose(MenuChoice::Exit);
    EXPECT_EQ(std::count(windows.calls.begin(), windows.calls.end(), "AboutLoad()"), 0);
    EXPECT_EQ(std::count(windows.calls.begin(), windows.calls.end(), "AboutUnload()"), 0);

    // Nor does an Exit after the user already closed it.
    FakeWindowSystem other;
    other.AddWindow(L"Foo", L"Foo");
    MainWindow program(other, kSelf, kIcon);
    ASSERT_EQ(program.Start(L"tarnvale.exe Foo"), MainWindow::StartResult::Running);
    program.OnMenuAbout();
    other.CloseAboutByUser();
    other.calls.clear();
    program.OnMenuExit();
    EXPECT_EQ(other.calls, (Calls{"CloseAboutWindow()", "CloseMainWindow()"}));
}

TEST_F(AboutCommands, WatchdogKeepsWorkingWhileAboutIsOpen)
{
    Choose(MenuChoice::About);
    windows.At(target).parent = 0;  // come loose while the user reads the About window
    main.OnTimerTick();
    EXPECT_EQ(windows.At(target).parent, desktop);
}

TEST_F(AboutCommands, AboutThatCannotBeMadeLeavesTheProgramRunning)
{
    windows.aboutLoadFails = true;
    Choose(MenuChoice::About);
    EXPECT_EQ(windows.calls, (Calls{"ShowPopupMenu()", "ShowAboutWindow()", "AboutLoad()"}));
    windows.aboutLoadFails = false;
    windows.calls.clear();
    Choose(MenuChoice::About);
    EXPECT_EQ(windows.calls, (Calls{"ShowPopupMenu()", "ShowAboutWindow()", "AboutLoad()",
                                    "AboutShow()"}));
}

}  // namespace
}  // namespace tarnvale
