#include "attach/watchdog.h"

#include <gtest/gtest.h>

#include "attach/desktop.h"
#include "fake_window_system.h"

namespace tarnvale {
namespace {

using ::tarnvale::testing::FakeWindowSystem;
using Calls = std::vector<std::string>;

// The reads every tick makes once it has a live target at 0x1004 and the desktop at 0x1000.
const Calls kQuietTick = {
    "IsWindow(0x1004)",
    "FindWindowA(class=progman)",
    "GetWindowLongA(0x1004, GWL_EXSTYLE)",
    "GetWindowLongA(0x1004, GWL_HWNDPARENT)",
    "GetForegroundWindow()",
};

Calls Then(Calls calls, const Calls& more)
{
    calls.insert(calls.end(), more.begin(), more.end());
    return calls;
}

class Watchdog : public ::testing::Test {
protected:
    Watchdog()
    {
        desktop = windows.AddDesktop();
        target = windows.AddWindow(L"Foo", L"Foo window");
        other = windows.AddWindow(L"Other", L"Other window");
        state.targetText.Assign(L"Foo");
        state.targetWindow = target;
        windows.At(target).parent = desktop;
        windows.SetForeground(other);
    }

    void Tick()
    {
        windows.calls.clear();
        WatchdogTick(windows, state);
    }

    FakeWindowSystem windows;
    TargetState state;
    WindowHandle desktop = 0;
    WindowHandle target = 0;
    WindowHandle other = 0;
};

TEST_F(Watchdog, AttachedTargetIsOnlyLookedAt)
{
    Tick();
    EXPECT_EQ(windows.calls, kQuietTick);
    EXPECT_EQ(state.desktopWindow, desktop);
}

TEST_F(Watchdog, LooseTargetIsAttachedAgain)
{
    windows.At(target).parent = 0;
    Tick();
    EXPECT_EQ(windows.calls,
              Then(kQuietTick, {"FindWindowA(class=progman)", "SetParent(0x1004, 0x1000)"}));
    EXPECT_EQ(windows.At(target).parent, desktop);
}

TEST_F(Watchdog, ForegroundTargetIsSparedUntilAnotherWindowHasTheForeground)
{
    windows.At(target).parent = 0;
    windows.SetForeground(target);
    Tick();
    Tick();
    EXPECT_EQ(windows.calls, kQuietTick) << "all three reads happen even when sparing";
    EXPECT_EQ(windows.At(target).parent, 0u);

    windows.SetForeground(other);
    Tick();
    EXPECT_EQ(windows.At(target).parent, desktop);
}

TEST_F(Watchdog, TopmostTargetIsSparedUntilItIsNoLongerTopmost)
{
    windows.At(target).parent = 0;
    windows.At(target).exStyle = 0x8 | 0x100;
    Tick();
    EXPECT_EQ(windows.calls, kQuietTick);
    EXPECT_EQ(windows.At(target).parent, 0u);

    windows.At(target).exStyle = 0x100;
    Tick();
    EXPECT_EQ(windows.At(target).parent, desktop);
}

TEST_F(Watchdog, ClosedTargetIsFoundAgainByClassAndAttachedOnTheSameTick)
{
    windows.Destroy(target);
    const WindowHandle reopened = windows.AddWindow(L"Foo", L"Foo window");
    Tick();
    EXPECT_EQ(state.targetWindow, reopened);
    EXPECT_EQ(windows.calls, (Calls{
                                 "IsWindow(0x1004)",
                                 "FindWindowA(class=Foo)",
                                 "FindWindowA(class=progman)",
                                 "GetWindowLongA(0x100c, GWL_EXSTYLE)",
                                 "GetWindowLongA(0x100c, GWL_HWNDPARENT)",
                                 "GetForegroundWindow()",
                                 "FindWindowA(class=progman)",
                                 "SetParent(0x100c, 0x1000)",
                             }));
}

TEST_F(Watchdog, ReopenedTargetInTheForegroundWaitsForAnotherForeground)
{
    windows.Destroy(target);
    const WindowHandle reopened = windows.AddWindow(L"Foo", L"Foo window");
    windows.SetForeground(reopened);
    Tick();
    EXPECT_EQ(state.targetWindow, reopened);
    EXPECT_EQ(windows.At(reopened).parent, 0u);
    windows.SetForeground(other);
    Tick();
    EXPECT_EQ(windows.At(reopened).parent, desktop);
}

TEST_F(Watchdog, ClosedTargetIsFoundByTitleWhenNoClassMatches)
{
    windows.Destroy(target);
    state.targetText.Assign(L"Foo window");
    const WindowHandle reopened = windows.AddWindow(L"Bar", L"Foo window");
    Tick();
    EXPECT_EQ(state.targetWindow, reopened);
    EXPECT_EQ(windows.calls[1], "FindWindowA(class=Foo window)");
    EXPECT_EQ(windows.calls[2], "FindWindowA(title=Foo window)");
    EXPECT_EQ(windows.At(reopened).parent, desktop);
}

TEST_F(Watchdog, ClosedTargetIsNeverReplacedByTheProgramsOwnWindow)
{
    windows.Destroy(target);
    state.targetText.Assign(L"TarnvaleMain");
    windows.AddOwnWindow(L"TarnvaleMain", L"Tarnvale");
    Tick();
    EXPECT_EQ(state.targetWindow, 0u);
    EXPECT_EQ(windows.calls, (Calls{"IsWindow(0x1004)", "FindWindowA(class=TarnvaleMain)",
                                    "FindWindowA(title=TarnvaleMain)"}));
}

TEST_F(Watchdog, TargetClosedForGoodIsLookedUpOnEveryTick)
{
    windows.Destroy(target);
    for (int tick = 0; tick < 3; ++tick) {
        Tick();
        EXPECT_EQ(state.targetWindow, 0u);
    }
    EXPECT_EQ(windows.calls,
              (Calls{"IsWindow(0)", "FindWindowA(class=Foo)", "FindWindowA(title=Foo)"}));
}

TEST_F(Watchdog, LiveHandleIsKeptWithoutALookup)
{
    // Another window of the same class appearing does not steal the target.
    windows.AddWindow(L"Foo", L"Second Foo");
    Tick();
    EXPECT_EQ(state.targetWindow, target);
    EXPECT_EQ(windows.calls, kQuietTick);
}

TEST_F(Watchdog, RecreatedDesktopTakesTheTargetAgain)
{
    windows.Destroy(desktop);
    Tick();
    EXPECT_EQ(state.desktopWindow, 0u);
    EXPECT_EQ(windows.calls.back(), "SetParent(0x1004, 0)")
        << "a parent that is not the (missing) desktop counts as loose";

    const WindowHandle newDesktop = windows.AddDesktop();
    Tick();
    EXPECT_EQ(state.desktopWindow, newDesktop);
    EXPECT_EQ(windows.At(target).parent, newDesktop);
    Tick();
    EXPECT_EQ(windows.calls, (Calls{"IsWindow(0x1004)", "FindWindowA(class=progman)",
                                    "GetWindowLongA(0x1004, GWL_EXSTYLE)",
                                    "GetWindowLongA(0x1004, GWL_HWNDPARENT)",
                                    "GetForegroundWindow()"}));
}

}  // namespace
}  // namespace tarnvale
