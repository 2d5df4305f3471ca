// Closing from outside: another program's WM_CLOSE and the end of the Windows session.
#include "session.h"

namespace e2e {
namespace {

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

}  // namespace
}  // namespace e2e
