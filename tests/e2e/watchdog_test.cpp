// The 50 ms watchdog against the real window system: a target that comes loose, is in
// the foreground, is topmost, is closed and reopened or closed for good.
#include "session.h"

namespace e2e {
namespace {

const std::wstring kBystanderClass = L"E2eBystander";

class Watchdog : public Session {
protected:
    // The target attached by a running program, and a window of ours to take the foreground.
    void StartAttached(const std::wstring& targetClass, const std::wstring& options = L"")
    {
        targetClass_ = targetClass;
        bystander_ = StartTarget(kBystanderClass, L"--x 600 --y 400");
        target_ = StartTarget(targetClass, options);
        tarnvale_ = StartTarnvale(targetClass);
        ASSERT_TRUE(WaitForParent(targetClass, "progman")) << Describe(Target());
        main_ = WaitForMainWindow(tarnvale_);
        ASSERT_NE(main_, nullptr);
    }

    HWND Target() const { return FindTarget(targetClass_); }
    HWND Bystander() const { return FindTarget(kBystanderClass); }

    // Takes the target off the desktop as another program would; it then has the foreground.
    void Detach()
    {
        ASSERT_TRUE(SetParentWithin(Target(), nullptr, kStartTimeoutMs)) << Describe(Target());
        ASSERT_EQ(ParentOf(Target()), "none") << Describe(Target());
    }

    bool StaysLoose() const
    {
        return HoldsFor([&] { return ParentOf(Target()) == "none"; }, kWatchMs);
    }

    // Re-attached once the bystander has the foreground: the time it took, printed.
    void ExpectReattachedAfterForegroundMoves()
    {
        ASSERT_TRUE(GiveForeground(Bystander())) << "foreground: " << Describe(GetForegroundWindow());
        const long long ms =
            HoldForegroundUntil(Bystander(), [&] { return ParentOf(Target()) == "progman"; });
        std::printf("    re-attached %lld ms after the foreground moved\n", ms);
        ASSERT_GE(ms, 0) << "never re-attached: " << Describe(Target())
                         << "; foreground: " << Describe(GetForegroundWindow());
        EXPECT_LE(ms, static_cast<long long>(kReattachLimitMs)) << Describe(Target());
    }

    void TearDown() override
    {
        if (main_ && IsWindow(main_)) {
            PostMessageW(main_, WM_CLOSE, 0, 0);
            EXPECT_TRUE(tarnvale_.Exited(kStartTimeoutMs)) << "still running after WM_CLOSE";
        }
    }

    std::wstring targetClass_;
    ChildProcess bystander_;
    ChildProcess target_;
    ChildProcess tarnvale_;
    HWND main_ = nullptr;
};

TEST_F(Watchdog, DetachedTargetIsReattachedOnceAnotherWindowHasTheForeground)
{
    ASSERT_NO_FATAL_FAILURE(StartAttached(L"E2eLoose"));
    ASSERT_NO_FATAL_FAILURE(Detach());
    ExpectReattachedAfterForegroundMoves();
}

TEST_F(Watchdog, NeverReattachedWhileItStaysTheForegroundWindow)
{
    ASSERT_NO_FATAL_FAILURE(StartAttached(L"E2eForeground"));
    ASSERT_NO_FATAL_FAILURE(Detach());
    ASSERT_TRUE(GiveForeground(Target())) << Describe(GetForegroundWindow());
    EXPECT_TRUE(StaysLoose()) << "re-attached while in the foreground: " << Describe(Target());
    ExpectReattachedAfterForegroundMoves();
}

TEST_F(Watchdog, NeverReattachedWhileTopmostAndReattachedOnceItIsNot)
{
    ASSERT_NO_FATAL_FAILURE(StartAttached(L"E2eTopmost"));
    ASSERT_NO_FATAL_FAILURE(Detach());
    SetWindowPos(Target(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_TRUE(IsTopmost(Target())) << Describe(Target());
    ASSERT_TRUE(GiveForeground(Bystander())) << Describe(GetForegroundWindow());
    EXPECT_TRUE(StaysLoose()) << "re-attached while topmost: " << Describe(Target());

    SetWindowPos(Target(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_FALSE(IsTopmost(Target())) << Describe(Target());
    ExpectReattachedAfterForegroundMoves();
}

TEST_F(Watchdog, ClosedAndReopenedTargetIsFoundAgainAndAttached)
{
    ASSERT_NO_FATAL_FAILURE(StartAttached(L"E2eReopened", L"--reopen-after 1500"));
    const HWND first = Target();
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(first); }, kStartTimeoutMs))
        << "the application never closed its window";
    ASSERT_TRUE(WaitUntil([&] { return Target() != nullptr; }, kStartTimeoutMs))
        << "the application never reopened its window";
    // A new window usually has the foreground, and is spared until it loses it.
    if (ParentOf(Target()) != "progman")
        ExpectReattachedAfterForegroundMoves();
    EXPECT_EQ(ParentOf(Target()), "progman") << Describe(Target());
}

TEST_F(Watchdog, ClosedForGoodTheProgramKeepsItsIconAndExitsCleanly)
{
    ASSERT_NO_FATAL_FAILURE(StartAttached(L"E2eGone", L"--exit-after 1000"));
    ASSERT_TRUE(target_.Exited(kStartTimeoutMs)) << "the target never exited";
    EXPECT_TRUE(HoldsFor([&] { return !tarnvale_.Exited(); }, kWatchMs))
        << "the program ended when its target went";
    EXPECT_EQ(IconsShownFor(main_), 1) << Describe(TrayEventsOf(main_));

    PostMessageW(main_, WM_CLOSE, 0, 0);
    const long long ms = MeasureUntil([&] { return tarnvale_.Exited(); }, kStartTimeoutMs);
    std::printf("    ended %lld ms after WM_CLOSE\n", ms);
    ASSERT_GE(ms, 0) << "still running after WM_CLOSE";
    EXPECT_LE(ms, static_cast<long long>(kEndLimitMs));
    EXPECT_EQ(IconsShownFor(main_), 0) << Describe(TrayEventsOf(main_));
}

TEST_F(Watchdog, AttachedTargetIsLeftAlone)
{
    ASSERT_NO_FATAL_FAILURE(StartAttached(L"E2eSettled"));
    ASSERT_TRUE(GiveForeground(Bystander()));
    const LONG_PTR before = ParentChangesSeenBy(Target());
    EXPECT_TRUE(HoldsFor([&] { return ParentChangesSeenBy(Target()) == before; }, kWatchMs))
        << "parent changes while attached: " << before << " then "
        << ParentChangesSeenBy(Target()) << "; " << Describe(Target());
    // The count is real: a detach from here shows in it.
    ASSERT_TRUE(SetParentWithin(Target(), nullptr, kStartTimeoutMs)) << Describe(Target());
    EXPECT_EQ(ParentChangesSeenBy(Target()), before + 1) << Describe(Target());
}

}  // namespace
}  // namespace e2e
