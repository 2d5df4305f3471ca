// Closing from outside: another program's WM_CLOSE and the end of the Windows session;
// and Exit while the target's program is busy.
#include "session.h"

namespace e2e {
namespace {

// The target fixture's thread reads no message for wParam milliseconds.
constexpr UINT kBusyMessage = WM_APP + 1;
constexpr WPARAM kBusyMs = 1500;
// Exit ends the program within this, however the target behaves.
constexpr DWORD kExitLimitMs = 5000;

class Shutdown : public Session {
protected:
    void SetUp() override
    {
        target_ = StartTarget(L"E2eShutdownTarget");
        tarnvale_ = StartTarnvale(L"E2eShutdownTarget");
        ASSERT_TRUE(WaitForParent(L"E2eShutdownTarget", "progman")) << Describe(Target());
        main_ = WaitForMainWindow(tarnvale_);
        ASSERT_NE(main_, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return IconsShownFor(main_) == 1; }, kStartTimeoutMs))
            << Describe(TrayEventsOf(main_));
        changesBefore_ = ParentChangesSeenBy(Target());
    }

    static HWND Target() { return FindTarget(L"E2eShutdownTarget"); }

    // Gone within the limit, the target detached exactly once, the icon deleted.
    void ExpectCleanEnd(const char* cause)
    {
        const long long ms = MeasureUntil([&] { return tarnvale_.Exited(); }, kStartTimeoutMs);
        std::printf("    ended %lld ms after %s\n", ms, cause);
        ASSERT_GE(ms, 0) << "still running after " << cause;
        EXPECT_LE(ms, static_cast<long long>(kEndLimitMs));
        EXPECT_EQ(ParentOf(Target()), "none") << Describe(Target());
        EXPECT_EQ(ParentChangesSeenBy(Target()), changesBefore_ + 1)
            << "the target must be detached once; " << Describe(Target());
        EXPECT_EQ(IconsShownFor(main_), 0) << Describe(TrayEventsOf(main_));
    }

    void ChooseExit()
    {
        PostIconCallback(main_, WM_RBUTTONDOWN);
        const HWND menu = WaitForPopupMenu(tarnvale_);
        ASSERT_NE(menu, nullptr) << "no menu";
        ChooseByMnemonic(menu, L'e');
    }

    ChildProcess target_;
    ChildProcess tarnvale_;
    HWND main_ = nullptr;
    LONG_PTR changesBefore_ = 0;
};

TEST_F(Shutdown, CloseFromAnotherProgram)
{
    PostMessageW(main_, WM_CLOSE, 0, 0);
    ExpectCleanEnd("WM_CLOSE");
}

TEST_F(Shutdown, EndOfTheWindowsSession)
{
    DWORD_PTR agreed = 0;
    ASSERT_TRUE(SendMessageTimeoutW(main_, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                    SMTO_ABORTIFHUNG, 5000, &agreed));
    EXPECT_NE(agreed, 0u) << "the program must not hold up the end of the session";
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(main_, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000,
                        &ignored);
    ExpectCleanEnd("WM_ENDSESSION");
}

TEST_F(Shutdown, SessionEndingGivesTheWindowBackUntilItIsCancelled)
{
    ChildProcess bystander = StartTarget(L"E2eSessionBystander", L"--x 600 --y 400");
    const HWND other = FindTarget(L"E2eSessionBystander");
    DWORD_PTR agreed = 0;
    ASSERT_TRUE(SendMessageTimeoutW(main_, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                    SMTO_ABORTIFHUNG, 5000, &agreed));
    EXPECT_NE(agreed, 0u) << "the program must not hold up the end of the session";
    const long long ms = MeasureUntil([] { return ParentOf(Target()) == "none"; }, kWatchMs);
    std::printf("    top-level %lld ms after WM_QUERYENDSESSION was answered\n", ms);
    EXPECT_GE(ms, 0) << "still attached while the session ends: " << Describe(Target());
    // Loose and not in the foreground: only the pending end keeps the watchdog off it.
    ASSERT_TRUE(GiveForeground(other));
    EXPECT_TRUE(HoldsFor([] { return ParentOf(Target()) == "none"; }, kWatchMs))
        << "attached again before the end of the session was known: " << Describe(Target());

    DWORD_PTR ignored = 0;
    ASSERT_TRUE(SendMessageTimeoutW(main_, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF,
                                    SMTO_ABORTIFHUNG, 5000, &ignored));
    const long long again = HoldForegroundUntil(other, [] { return ParentOf(Target()) == "progman"; });
    std::printf("    attached again %lld ms after the end of the session was cancelled\n", again);
    EXPECT_GE(again, 0) << Describe(Target());
    EXPECT_FALSE(tarnvale_.Exited()) << "a cancelled end of the session must not end the program";
    EXPECT_EQ(IconsShownFor(main_), 1) << Describe(TrayEventsOf(main_));
    PostMessageW(main_, WM_CLOSE, 0, 0);
    EXPECT_TRUE(tarnvale_.Exited(kStartTimeoutMs)) << "still running after WM_CLOSE";
}

TEST_F(Shutdown, ExitGivesTheWindowBackToABusyProgram)
{
    PostMessageW(Target(), kBusyMessage, kBusyMs, 0);
    ASSERT_TRUE(WaitUntil([] { return !Answers(Target(), 50); }, kStartTimeoutMs))
        << "the target never got busy";
    const ULONGLONG chosen = GetTickCount64();
    ASSERT_NO_FATAL_FAILURE(ChooseExit());
    ASSERT_TRUE(tarnvale_.Exited(kStartTimeoutMs)) << "still running after Exit";
    const ULONGLONG ms = GetTickCount64() - chosen;
    std::printf("    ended %llu ms after Exit, the target busy for %u ms\n", ms,
                static_cast<unsigned>(kBusyMs));
    EXPECT_LE(ms, kExitLimitMs);
    EXPECT_EQ(ParentOf(Target()), "none") << "kept from its program: " << Describe(Target());
    EXPECT_EQ(IconsShownFor(main_), 0) << Describe(TrayEventsOf(main_));
}

}  // namespace
}  // namespace e2e
