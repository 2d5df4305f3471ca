#include "app/main_window.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include <gtest/gtest.h>

#include "fake_window_system.h"

namespace tarnvale {
namespace {

using ::tarnvale::testing::FakeWindowSystem;
using Calls = std::vector<std::string>;

constexpr WindowHandle kSelf = 0x77;
constexpr IconHandle kIcon = 0x55;

const std::string kUsageBox = "MessageBox(Usage: tarnvale windowtitle/classname, Tarnvale, 64)";
const std::string kNotFoundBox = "MessageBox(Window not found!, Tarnvale, 48)";

class Startup : public ::testing::Test {
protected:
    Startup() : main(windows, kSelf, kIcon)
    {
        desktop = windows.AddDesktop();
        windows.onMainWindowClose = [this] { main.OnClosing(); };
    }

    FakeWindowSystem windows;
    MainWindow main;
    WindowHandle desktop = 0;
};

TEST_F(Startup, BlankCommandLineShowsUsageAndEnds)
{
    for (const wchar_t* commandLine : {L"tarnvale.exe", L"tarnvale.exe ", L"tarnvale.exe      "}) {
        FakeWindowSystem fresh;
        MainWindow program(fresh, kSelf, kIcon);
        EXPECT_EQ(program.Start(commandLine), MainWindow::StartResult::Ended);
        EXPECT_EQ(fresh.calls, (Calls{kUsageBox, "EndProcess(1)"}));
        // Ticks, callbacks and closing after an ended start-up touch nothing.
        fresh.calls.clear();
        program.OnTimerTick();
        program.OnIconCallback(0x204);
        program.OnClosing();
        EXPECT_TRUE(fresh.calls.empty());
    }
}

TEST_F(Startup, ALongBlankTextShowsUsageToo)
{
    const std::wstring blanks(kMaxLookupTextLength + 10, L' ');
    EXPECT_EQ(main.Start(L"tarnvale.exe " + blanks), MainWindow::StartResult::Ended);
    EXPECT_EQ(windows.calls, (Calls{kUsageBox, "EndProcess(1)"}));
}

TEST_F(Startup, TheLongestTextALookupTakesIsFoundAndKeptWhole)
{
    const std::wstring longest = std::wstring(kMaxLookupTextLength - 1, L'x') + L' ';
    const WindowHandle target = windows.AddWindow(L"Other", longest);
    EXPECT_EQ(main.Start(L"tarnvale.exe " + longest), MainWindow::StartResult::Running);
    EXPECT_EQ(main.target().targetWindow, target);
    EXPECT_EQ(main.target().targetText.view(), longest);
}

TEST_F(Startup, ALongerTextIsNotLookedUpAndNamesNoWindow)
{
    // Windows with the text's title and with its beginning: neither may be taken.
    const std::wstring longer(kMaxLookupTextLength + 1, L'x');
    windows.AddWindow(L"Other", longer);
    windows.AddWindow(L"Other", longer.substr(0, kMaxLookupTextLength));
    EXPECT_EQ(main.Start(L"tarnvale.exe " + longer), MainWindow::StartResult::Ended);
    EXPECT_EQ(windows.calls, (Calls{kNotFoundBox, "EndProcess(2)"}));
    EXPECT_TRUE(main.target().targetText.view().empty());
}

TEST_F(Startup, TabsOnlyAreLookedUpAndNotFound)
{
    EXPECT_EQ(main.Start(L"tarnvale.exe \t\t"), MainWindow::StartResult::Ended);
    EXPECT_EQ(windows.calls, (Calls{"FindWindowA(class=\\u0009\\u0009)",
                                    "FindWindowA(title=\\u0009\\u0009)", kNotFoundBox,
                                    "EndProcess(2)"}));
}

TEST_F(Startup, UnknownWindowEndsWithoutAttachingOrAddingTheIcon)
{
    EXPECT_EQ(main.Start(L"tarnvale.exe Nothing"), MainWindow::StartResult::Ended);
    EXPECT_EQ(windows.calls, (Calls{"FindWindowA(class=Nothing)", "FindWindowA(title=Nothing)",
                                    kNotFoundBox, "EndProcess(2)"}));
    EXPECT_TRUE(windows.notifications.empty());
}

TEST_F(Startup, ItsOwnWindowsAreNotFound)
{
    // The hidden main window exists before start-up looks the text up.
    windows.AddOwnWindow(L"TarnvaleMain", L"Tarnvale");
    windows.AddOwnWindow(L"TarnvaleAbout", L"About Tarnvale...");
    for (const std::wstring text : {L"TarnvaleMain", L"Tarnvale", L"About Tarnvale..."}) {
        MainWindow program(windows, kSelf, kIcon);
        windows.calls.clear();
        EXPECT_EQ(program.Start(L"tarnvale.exe " + text), MainWindow::StartResult::Ended);
        EXPECT_EQ(windows.calls, (Calls{"FindWindowA(class=" + testing::Narrow(text) + ")",
                                        "FindWindowA(title=" + testing::Narrow(text) + ")",
                                        kNotFoundBox, "EndProcess(2)"}));
    }
    // Another program's window of the same title is the one meant.
    const WindowHandle other = windows.AddWindow(L"Other", L"Tarnvale");
    EXPECT_EQ(main.Start(L"tarnvale.exe Tarnvale"), MainWindow::StartResult::Running);
    EXPECT_EQ(main.target().targetWindow, other);
    EXPECT_EQ(windows.At(other).parent, desktop);
}

TEST_F(Startup, FoundByClassIsAttachedThenTheIconIsAdded)
{
    const WindowHandle target = windows.AddWindow(L"Notepad", L"Untitled - Notepad");
    windows.AddWindow(L"Other", L"Notepad");  // a title match must lose to the class
    EXPECT_EQ(main.Start(L"\"C:\\Program Files\\tarnvale.exe\" Notepad"),
              MainWindow::StartResult::Running);
    EXPECT_EQ(windows.calls, (Calls{"FindWindowA(class=Notepad)", "FindWindowA(class=progman)",
                                    "SetParent(0x1004, 0x1000)", "Shell_NotifyIconA(NIM_ADD)"}));
    EXPECT_EQ(main.target().targetWindow, target);
    EXPECT_EQ(main.target().desktopWindow, desktop);
    EXPECT_EQ(main.target().targetText.view(), L"Notepad");
    EXPECT_EQ(windows.endProcessCalls, 0);
}

TEST_F(Startup, FoundByTitleWhenNoClassMatches)
{
    const WindowHandle target = windows.AddWindow(L"Other", L"Untitled - Notepad");
    EXPECT_EQ(main.Start(L"tarnvale.exe Untitled - Notepad"), MainWindow::StartResult::Running);
    EXPECT_EQ(main.target().targetWindow, target);
    EXPECT_EQ(windows.At(target).parent, desktop);
}

TEST_F(Startup, TrailingBlanksAndQuotesArePartOfTheLookup)
{
    windows.AddWindow(L"Foo", L"Foo");
    EXPECT_EQ(main.Start(L"tarnvale.exe Foo "), MainWindow::StartResult::Ended);
    EXPECT_EQ(windows.calls[0], "FindWindowA(class=Foo )");
    EXPECT_EQ(windows.calls[1], "FindWindowA(title=Foo )");

    FakeWindowSystem quoted;
    const WindowHandle target = quoted.AddWindow(L"X", L"\"My Window\"");
    quoted.AddWindow(L"Y", L"My Window");
    MainWindow program(quoted, kSelf, kIcon);
    EXPECT_EQ(program.Start(L"tarnvale.exe \"My Window\""), MainWindow::StartResult::Running);
    EXPECT_EQ(program.target().targetWindow, target);
}

TEST_F(Startup, WithoutADesktopTheTargetGetsParentZeroAndTheProgramRuns)
{
    FakeWindowSystem bare;
    const WindowHandle target = bare.AddWindow(L"Foo", L"Foo");
    MainWindow program(bare, kSelf, kIcon);
    EXPECT_EQ(program.Start(L"tarnvale.exe Foo"), MainWindow::StartResult::Running);
    EXPECT_EQ(bare.calls, (Calls{"FindWindowA(class=Foo)", "FindWindowA(class=progman)",
                                 "SetParent(0x1000, 0)", "Shell_NotifyIconA(NIM_ADD)"}));
    EXPECT_EQ(program.target().targetWindow, target);
}

TEST_F(Startup, NoTickActsBeforeStartUp)
{
    windows.AddWindow(L"Foo", L"Foo");
    main.OnTimerTick();
    main.OnIconCallback(0x204);
    EXPECT_TRUE(windows.calls.empty());
}

class Running : public Startup {
protected:
    Running()
    {
        target = windows.AddWindow(L"Foo", L"Foo");
        EXPECT_EQ(main.Start(L"tarnvale.exe Foo"), MainWindow::StartResult::Running);
        windows.calls.clear();
    }

    WindowHandle target = 0;
};

TEST_F(Running, RightButtonPressOpensTheMenuOnceAndDismissingDoesNothing)
{
    main.OnIconCallback(0x204);
    main.OnIconCallback(0x205);  // the matching release
    for (const std::uint32_t message : {0x200u, 0x201u, 0x202u, 0x203u})
        main.OnIconCallback(message);
    EXPECT_EQ(windows.calls, (Calls{"ShowPopupMenu()"}));
}

TEST_F(Running, AboutShowsTheAboutWindowAndTouchesNothingElse)
{
    windows.menuChoice = MenuChoice::About;
    main.OnIconCallback(0x204);
    EXPECT_EQ(windows.calls,
              (Calls{"ShowPopupMenu()", "ShowAboutWindow()", "AboutLoad()", "AboutShow()"}));
}

TEST_F(Running, ExitClosesAboutThenMainThenDeletesTheIconAndDetaches)
{
    windows.menuChoice = MenuChoice::Exit;
    main.OnIconCallback(0x204);
    EXPECT_EQ(windows.calls, (Calls{"ShowPopupMenu()", "CloseAboutWindow()", "CloseMainWindow()",
                                    "Shell_NotifyIconA(NIM_DELETE)", "SetParent(0x1004, 0, long)"}));
    EXPECT_EQ(windows.At(target).parent, 0u);
}

TEST_F(Running, IconIsDeletedWithTheRecordItWasAddedWith)
{
    main.OnClosing();
    ASSERT_EQ(windows.notifications.size(), 2u);
    const auto& [addMessage, added] = windows.notifications[0];
    const auto& [deleteMessage, deleted] = windows.notifications[1];
    EXPECT_EQ(addMessage, NotifyIconMessage::Add);
    EXPECT_EQ(deleteMessage, NotifyIconMessage::Delete);
    EXPECT_EQ(std::memcmp(&added, &deleted, sizeof added), 0);
    EXPECT_EQ(added.hWnd, kSelf);
    EXPECT_EQ(added.hIcon, kIcon);
}

TEST_F(Running, ClosingRunsOnceWhateverClosesTheWindow)
{
    main.OnClosing();  // the end of the session
    main.OnClosing();  // then the window's own destruction
    main.OnTimerTick();
    EXPECT_EQ(windows.calls, (Calls{"Shell_NotifyIconA(NIM_DELETE)", "SetParent(0x1004, 0, long)"}));
}

TEST_F(Running, ClosingAfterTheTargetWasLostDetachesNothing)
{
    windows.Destroy(target);
    main.OnTimerTick();
    ASSERT_EQ(main.target().targetWindow, 0u);
    windows.calls.clear();
    main.OnClosing();
    EXPECT_EQ(windows.calls, (Calls{"Shell_NotifyIconA(NIM_DELETE)"}));
}

TEST_F(Running, TickInsideTheMenuLoopStillReattaches)
{
    windows.At(target).parent = 0;
    windows.whileMenuOpen = [this] { main.OnTimerTick(); };
    main.OnIconCallback(0x204);
    EXPECT_EQ(windows.At(target).parent, desktop);
}

TEST_F(Running, ExitFromTheMenuWhileATickRunsInsideIt)
{
    windows.menuChoice = MenuChoice::Exit;
    windows.whileMenuOpen = [this] { main.OnTimerTick(); };
    main.OnIconCallback(0x204);
    EXPECT_EQ(windows.calls.back(), "SetParent(0x1004, 0, long)");
    windows.calls.clear();
    main.OnTimerTick();
    EXPECT_TRUE(windows.calls.empty()) << "no tick after the close";
}

// A tick's change stops waiting after a short while and may be made later; an Exit then
// still gives the window back, after that change, however the tick's change reported.
TEST_F(Running, ExitWhileATicksChangeIsStillUnderWayEndsGivenBack)
{
    windows.At(target).parent = 0;
    windows.At(target).stallsInNextChange = true;
    main.OnTimerTick();
    ASSERT_EQ(windows.changesUnderWay.size(), 1u);
    windows.menuChoice = MenuChoice::Exit;
    main.OnIconCallback(0x204);
    EXPECT_EQ(windows.calls.back(), "SetParent(0x1004, 0, long)");
    windows.FinishChangesUnderWay();
    EXPECT_EQ(windows.At(target).parent, 0u) << "attached after the close";
}

// Adding the icon again on a tick runs the messages sent to the program meanwhile: a close
// or the end of the session there gives the window back, and that tick attaches nothing.
TEST(TickAddingTheIcon, CloseOrSessionEndMeanwhileLeavesTheWindowGivenBack)
{
    for (const bool exit : {true, false}) {
        FakeWindowSystem windows;
        windows.AddDesktop();
        const WindowHandle target = windows.AddWindow(L"Foo", L"Foo");
        MainWindow main(windows, kSelf, kIcon);
        windows.onMainWindowClose = [&main] { main.OnClosing(); };
        windows.shellRunning = false;
        ASSERT_EQ(main.Start(L"tarnvale.exe Foo"), MainWindow::StartResult::Running);
        windows.shellRunning = true;
        for (int tick = 1; tick < 100; ++tick)
            main.OnTimerTick();

        windows.At(target).parent = 0;
        windows.menuChoice = MenuChoice::Exit;
        windows.duringNextNotify = [&main, exit] {
            if (exit)
                main.OnIconCallback(0x204);
            else
                main.OnSessionEnding();
        };
        windows.calls.clear();
        main.OnTimerTick();  // the one that tries the icon again
        EXPECT_EQ(windows.calls.front(), "Shell_NotifyIconA(NIM_ADD)");
        EXPECT_EQ(windows.calls.back(), "SetParent(0x1004, 0, long)");
        EXPECT_EQ(windows.At(target).parent, 0u) << (exit ? "Exit" : "the end of the session");
    }
}

TEST_F(Running, EndOfSessionGivesTheWindowBackFirstAndHoldsOffUntilItIsKnown)
{
    main.OnSessionEnding();
    EXPECT_EQ(windows.calls, (Calls{"SetParent(0x1004, 0, long)"}));
    EXPECT_EQ(windows.At(target).parent, 0u);
    EXPECT_TRUE(windows.notifications.size() == 1) << "the icon stays until the end";

    // Loose, not topmost, not in the foreground: a tick would attach it, but not now.
    windows.SetForeground(0);
    windows.calls.clear();
    main.OnTimerTick();
    main.OnSessionEnding();
    EXPECT_TRUE(windows.calls.empty());

    main.OnSessionEndCancelled();
    main.OnTimerTick();
    EXPECT_EQ(windows.At(target).parent, desktop);
}

TEST_F(Running, SessionThatEndsGivesTheWindowBackOnce)
{
    main.OnSessionEnding();
    main.OnClosing();
    EXPECT_EQ(windows.calls, (Calls{"SetParent(0x1004, 0, long)", "Shell_NotifyIconA(NIM_DELETE)"}));
}

TEST_F(Running, SessionEndCancelledThenExitGivesTheWindowBackAgain)
{
    main.OnSessionEnding();
    main.OnSessionEndCancelled();
    main.OnTimerTick();
    windows.calls.clear();
    main.OnClosing();
    EXPECT_EQ(windows.calls, (Calls{"Shell_NotifyIconA(NIM_DELETE)", "SetParent(0x1004, 0, long)"}));
}

TEST_F(Startup, SessionMessagesBeforeStartUpTouchNothing)
{
    windows.AddWindow(L"Foo", L"Foo");
    main.OnSessionEnding();
    main.OnSessionEndCancelled();
    EXPECT_TRUE(windows.calls.empty());
}

// A program busy past the wait at the session's question still gets its window back
// when the session ends.
TEST_F(Running, GiveBackThatFailedAtTheSessionsQuestionIsTriedAgainAtItsEnd)
{
    windows.At(target).answers = false;
    main.OnSessionEnding();
    EXPECT_EQ(windows.At(target).parent, desktop);
    windows.At(target).answers = true;
    main.OnClosing();
    EXPECT_EQ(windows.calls, (Calls{"SetParent(0x1004, 0, long)", "Shell_NotifyIconA(NIM_DELETE)",
                                    "SetParent(0x1004, 0, long)"}));
    EXPECT_EQ(windows.At(target).parent, 0u);
}

// Adding the icon waits for the shell, and the messages sent to the program meanwhile
// run inside that wait: a close or the end of the session then must still undo start-up.
class ClosedWhileTheIconIsAdded : public Startup {
protected:
    ClosedWhileTheIconIsAdded() { target = windows.AddWindow(L"Foo", L"Foo"); }

    WindowHandle target = 0;
};

TEST_F(ClosedWhileTheIconIsAdded, GivesTheWindowBackAndLeavesNoIcon)
{
    windows.duringNextNotify = [this] { main.OnClosing(); };
    EXPECT_EQ(main.Start(L"tarnvale.exe Foo"), MainWindow::StartResult::Closed);
    EXPECT_EQ(windows.At(target).parent, 0u);
    EXPECT_TRUE(windows.icons.empty()) << "the icon came after the close deleted it";
    windows.calls.clear();
    main.OnTimerTick();
    main.OnIconCallback(0x204);
    main.OnTaskbarCreated();
    main.OnClosing();
    EXPECT_TRUE(windows.calls.empty()) << "nothing runs after the close";
}

TEST_F(ClosedWhileTheIconIsAdded, EndOfTheSessionGivesTheWindowBackAndEndsCleanly)
{
    windows.duringNextNotify = [this] { main.OnSessionEnding(); };
    EXPECT_EQ(main.Start(L"tarnvale.exe Foo"), MainWindow::StartResult::Running);
    EXPECT_EQ(windows.At(target).parent, 0u);
    windows.calls.clear();
    main.OnTimerTick();
    EXPECT_TRUE(windows.calls.empty()) << "ticks hold off until the end is known";
    main.OnClosing();
    EXPECT_EQ(windows.calls, (Calls{"Shell_NotifyIconA(NIM_DELETE)"}));
    EXPECT_TRUE(windows.icons.empty());
}

// The shell makes its notification area anew after Explorer restarts, and is said to
// announce it also when the display's scale changes while the icons stay.
TEST_F(Running, IconComesBackOnceAfterTheShellRestarts)
{
    windows.RestartShell();
    main.OnTaskbarCreated();
    EXPECT_EQ(windows.calls, (Calls{"Shell_NotifyIconA(NIM_ADD)"}));
    EXPECT_EQ(windows.icons.size(), 1u);
    main.OnClosing();
    EXPECT_TRUE(windows.icons.empty());
    // The same record every time.
    for (const auto& [message, record] : windows.notifications)
        EXPECT_EQ(std::memcmp(&record, &windows.notifications[0].second, sizeof record), 0);
}

TEST_F(Running, AnnouncementWithTheIconStillThereLeavesOneIcon)
{
    main.OnTaskbarCreated();
    EXPECT_EQ(windows.calls,
              (Calls{"Shell_NotifyIconA(NIM_ADD)", "Shell_NotifyIconA(NIM_MODIFY)"}));
    EXPECT_EQ(windows.icons.size(), 1u);
}

TEST_F(Startup, IconRefusedAtStartUpIsAddedOnceTheShellIsThere)
{
    const WindowHandle target = windows.AddWindow(L"Foo", L"Foo");
    windows.shellRunning = false;
    EXPECT_EQ(main.Start(L"tarnvale.exe Foo"), MainWindow::StartResult::Running);
    EXPECT_EQ(windows.At(target).parent, desktop) << "attached all the same";
    EXPECT_TRUE(windows.icons.empty());

    // A shell that comes later announces its task bar.
    windows.shellRunning = true;
    main.OnTaskbarCreated();
    EXPECT_EQ(windows.icons.size(), 1u);
}

TEST_F(Startup, IconRefusedByABusyShellIsTriedAgainEveryFiveSeconds)
{
    windows.AddWindow(L"Foo", L"Foo");
    windows.shellRunning = false;
    ASSERT_EQ(main.Start(L"tarnvale.exe Foo"), MainWindow::StartResult::Running);
    const auto adds = [this] {
        return std::count(windows.calls.begin(), windows.calls.end(), "Shell_NotifyIconA(NIM_ADD)");
    };
    windows.calls.clear();
    for (int tick = 1; tick < 100; ++tick)
        main.OnTimerTick();
    EXPECT_EQ(adds(), 0) << "not on every tick";
    windows.shellRunning = true;
    main.OnTimerTick();
    EXPECT_EQ(adds(), 1);
    EXPECT_EQ(windows.icons.size(), 1u);
    windows.calls.clear();
    for (int tick = 0; tick < 200; ++tick)
        main.OnTimerTick();
    EXPECT_EQ(adds(), 0) << "once it is there";
}

TEST_F(Startup, AnnouncementBeforeStartUpTouchesNothing)
{
    main.OnTaskbarCreated();
    EXPECT_TRUE(windows.calls.empty());
}

}  // namespace
}  // namespace tarnvale
