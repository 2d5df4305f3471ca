#include "attach/desktop.h"

#include <gtest/gtest.h>

#include "fake_window_system.h"

namespace tarnvale {
namespace {

using ::tarnvale::testing::FakeWindowSystem;
using Calls = std::vector<std::string>;

TEST(IsWindowTopmost, LooksOnlyAtTheTopmostBit)
{
    FakeWindowSystem windows;
    const WindowHandle window = windows.AddWindow(L"Foo", L"Foo");
    windows.At(window).exStyle = 0x00040000 | 0x100 | 0x1;  // app window, edges, modal frame
    EXPECT_FALSE(IsWindowTopmost(windows, window));
    windows.At(window).exStyle |= 0x8;
    EXPECT_TRUE(IsWindowTopmost(windows, window));
    windows.At(window).exStyle = static_cast<std::int32_t>(0xFFFFFFF7u);
    EXPECT_FALSE(IsWindowTopmost(windows, window));
    EXPECT_FALSE(IsWindowTopmost(windows, 0xdead)) << "a dead handle reads as style 0";
}

TEST(AttachToDesktop, LooksUpTheDesktopAfreshEveryTime)
{
    FakeWindowSystem windows;
    const WindowHandle oldDesktop = windows.AddDesktop();
    const WindowHandle target = windows.AddWindow(L"Foo", L"Foo");
    TargetState state;

    AttachToDesktop(windows, state, target);
    EXPECT_EQ(state.desktopWindow, oldDesktop);
    EXPECT_EQ(windows.At(target).parent, oldDesktop);

    // The shell restarted: the next attach must not reuse the dead handle.
    windows.Destroy(oldDesktop);
    const WindowHandle newDesktop = windows.AddDesktop();
    windows.calls.clear();
    AttachToDesktop(windows, state, target);
    EXPECT_EQ(state.desktopWindow, newDesktop);
    EXPECT_EQ(windows.calls, (Calls{"FindWindowA(class=progman)", "SetParent(0x1004, 0x1008)"}));
    EXPECT_EQ(windows.At(target).parent, newDesktop);
}

TEST(AttachToDesktop, WithoutADesktopPassesZeroAsTheParent)
{
    FakeWindowSystem windows;
    const WindowHandle target = windows.AddWindow(L"Foo", L"Foo");
    TargetState state;
    state.desktopWindow = 0x99;
    AttachToDesktop(windows, state, target);
    EXPECT_EQ(state.desktopWindow, 0u);
    EXPECT_EQ(windows.calls.back(), "SetParent(0x1000, 0)");
}

TEST(AttachToDesktop, AttachedWindowIsAttachedAgain)
{
    FakeWindowSystem windows;
    windows.AddDesktop();
    const WindowHandle target = windows.AddWindow(L"Foo", L"Foo");
    TargetState state;
    AttachToDesktop(windows, state, target);
    AttachToDesktop(windows, state, target);
    EXPECT_EQ(windows.calls, (Calls{"FindWindowA(class=progman)", "SetParent(0x1004, 0x1000)",
                                    "FindWindowA(class=progman)", "SetParent(0x1004, 0x1000)"}));
}

TEST(FindTargetWindow, ClassNameWinsOverTitle)
{
    FakeWindowSystem windows;
    windows.AddWindow(L"Other", L"Foo");
    const WindowHandle byClass = windows.AddWindow(L"Foo", L"Something else");
    EXPECT_EQ(FindTargetWindow(windows, L"Foo"), byClass);
    EXPECT_EQ(windows.calls, (Calls{"FindWindowA(class=Foo)"})) << "no title lookup once found";
}

TEST(FindTargetWindow, FallsBackToTheTitle)
{
    FakeWindowSystem windows;
    const WindowHandle byTitle = windows.AddWindow(L"Other", L"Foo");
    EXPECT_EQ(FindTargetWindow(windows, L"Foo"), byTitle);
    EXPECT_EQ(FindTargetWindow(windows, L"Bar"), 0u);
    EXPECT_EQ(windows.calls, (Calls{"FindWindowA(class=Foo)", "FindWindowA(title=Foo)",
                                    "FindWindowA(class=Bar)", "FindWindowA(title=Bar)"}));
}

}  // namespace
}  // namespace tarnvale
