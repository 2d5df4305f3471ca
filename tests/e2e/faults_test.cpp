// Faults around the program: no "progman" window, the shell restarting, the target's
// process killed or hung, and a second instance beside the first.
#include "session.h"

namespace e2e {
namespace {

const std::wstring kBystanderClass = L"E2eFaultBystander";
constexpr DWORD kHungExitLimitMs = 5000;
// The target fixture stops answering inside the next change of its window's parent, for
// wParam milliseconds: it answers every question before it.
constexpr UINT kStallMessage = WM_APP + 2;
constexpr WPARAM kStallMs = 12000;

class Faults : public Session {
protected:
    void SetUp() override
    {
        bystander_ = StartTarget(kBystanderClass, L"--x 600 --y 400");
    }

    void TearDown() override
    {
        for (ChildProcess* tarnvale : {&tarnvale_, &second_})
            if (const HWND main = FindWindowOf(tarnvale->id(), kMainWindowClass)) {
                PostMessageW(main, WM_CLOSE, 0, 0);
                EXPECT_TRUE(tarnvale->Exited(kStartTimeoutMs)) << "still running after WM_CLOSE";
            }
        // The next case needs a shell, whatever this one did to it.
        if (!FindDesktop())
            shell_ = StartShell();
    }

    static HWND Bystander() { return FindTarget(kBystanderClass); }

    void StartAttached(const std::wstring& targetClass, const std::wstring& options = L"")
    {
        target_ = StartTarget(targetClass, options);
        tarnvale_ = StartTarnvale(targetClass);
        ASSERT_TRUE(WaitForParent(targetClass, "progman")) << Describe(FindTarget(targetClass));
        main_ = WaitForMainWindow(tarnvale_);
        ASSERT_NE(main_, nullptr);
    }

    void ExpectAttachedOnceForegroundMoves(const std::wstring& targetClass)
    {
        ASSERT_TRUE(GiveForeground(Bystander())) << Describe(GetForegroundWindow());
        const long long ms = HoldForegroundUntil(
            Bystander(), [&] { return ParentOf(FindTarget(targetClass)) == "progman"; });
        std::printf("    attached %lld ms after the foreground moved\n", ms);
        EXPECT_GE(ms, 0) << Describe(FindTarget(targetClass))
                         << "; foreground: " << Describe(GetForegroundWindow());
    }

    void KillShell()
    {
        shell_.Kill();
        ASSERT_TRUE(WaitUntil([] { return FindDesktop() == nullptr; }, kStartTimeoutMs))
            << "a \"Progman\" window is still there: " << Describe(FindDesktop());
    }

    // Ends within the limit of `since` (now, if 0) although its target does not answer;
    // the time, printed.
    void ExpectEndsDespiteHungTarget(const char* cause, ULONGLONG since = 0)
    {
        if (since == 0)
            since = GetTickCount64();
        const bool ended = WaitUntil([&] { return tarnvale_.Exited(); }, kStartTimeoutMs, 2);
        const auto ms = static_cast<long long>(GetTickCount64() - since);
        std::printf("    ended %lld ms after %s with the target not answering\n", ms, cause);
        ASSERT_TRUE(ended) << "hangs with its target";
        EXPECT_LE(ms, static_cast<long long>(kHungExitLimitMs));
        EXPECT_EQ(IconsShownFor(main_), 0) << Describe(TrayEventsOf(main_));
    }

    // Arms the stall; sent, so that it is armed when this returns.
    static void StallInsideTheNextChange(const std::wstring& targetClass)
    {
        DWORD_PTR ignored = 0;
        ASSERT_TRUE(SendMessageTimeoutW(FindTarget(targetClass), kStallMessage, kStallMs, 0,
                                        SMTO_ABORTIFHUNG, 5000, &ignored));
    }

    // The stalled change goes on in the target's own thread: once it answers again its
    // window is top-level, with no Tarnvale left to wait for it.
    static void ExpectGivenBackOnceItAnswers(const std::wstring& targetClass, ULONGLONG since)
    {
        const bool loose = WaitUntil([&] { return ParentOf(FindTarget(targetClass)) == "none"; },
                                     static_cast<DWORD>(kStallMs) + kStartTimeoutMs, 50);
        std::printf("    top-level %llu ms after the give-back began\n", GetTickCount64() - since);
        EXPECT_TRUE(loose) << Describe(FindTarget(targetClass));
    }

    void StartHungTarget(const std::wstring& targetClass)
    {
        ASSERT_NO_FATAL_FAILURE(StartAttached(targetClass, L"--hang-after 1000"));
        ASSERT_TRUE(WaitUntil([&] { return !Answers(FindTarget(targetClass), 100); },
                              kStartTimeoutMs))
            << "the target never stopped answering";
    }

    ChildProcess bystander_;
    ChildProcess target_;
    ChildProcess tarnvale_;
    ChildProcess second_;
    HWND main_ = nullptr;
};

TEST_F(Faults, ProgmanMissingAtStartThenAppearing)
{
    ASSERT_NO_FATAL_FAILURE(KillShell());
    target_ = StartTarget(L"E2eNoShellYet");
    tarnvale_ = StartTarnvale(L"E2eNoShellYet");
    main_ = WaitForMainWindow(tarnvale_);
    ASSERT_NE(main_, nullptr) << "no main window: "
                              << Describe(ReadMessageBox(FindMessageBoxOf(tarnvale_.id())));
    EXPECT_TRUE(HoldsFor([&] { return !tarnvale_.Exited(); }, kWatchMs)) << "the program ended";
    EXPECT_EQ(ParentOf(FindTarget(L"E2eNoShellYet")), "none")
        << Describe(FindTarget(L"E2eNoShellYet"));

    shell_ = StartShell();
    ExpectAttachedOnceForegroundMoves(L"E2eNoShellYet");
}

TEST_F(Faults, ProgmanDestroyedAndRecreated)
{
    ASSERT_NO_FATAL_FAILURE(StartAttached(L"E2eShellRestart", L"--reopen-when-gone"));
    const HWND before = FindTarget(L"E2eShellRestart");
    ASSERT_NO_FATAL_FAILURE(KillShell());
    // What the window system does to a child of another process whose parent goes.
    WaitUntil([&] { return !IsWindow(before); }, kWatchMs);
    std::printf("    with the shell gone the attached window %s; now: %s\n",
                IsWindow(before) ? "lives on" : "was destroyed with it",
                Describe(FindTarget(L"E2eShellRestart")).c_str());
    EXPECT_TRUE(HoldsFor([&] { return !tarnvale_.Exited(); }, kWatchMs / 2))
        << "the program ended with the shell";

    shell_ = StartShell();
    ASSERT_TRUE(WaitUntil([] { return FindTarget(L"E2eShellRestart") != nullptr; },
                          kStartTimeoutMs));
    ExpectAttachedOnceForegroundMoves(L"E2eShellRestart");
}

TEST_F(Faults, TargetKilledAndRestarted)
{
    ASSERT_NO_FATAL_FAILURE(StartAttached(L"E2eKilled"));
    target_.Kill();
    ASSERT_TRUE(WaitUntil([] { return FindTarget(L"E2eKilled") == nullptr; }, kStartTimeoutMs));
    EXPECT_TRUE(HoldsFor([&] { return !tarnvale_.Exited(); }, kWatchMs / 2));
    target_ = StartTarget(L"E2eKilled");
    ExpectAttachedOnceForegroundMoves(L"E2eKilled");
}

TEST_F(Faults, HungTargetStillLetsWmCloseEndTheProgram)
{
    ASSERT_NO_FATAL_FAILURE(StartHungTarget(L"E2eHungClose"));
    PostMessageW(main_, WM_CLOSE, 0, 0);
    ExpectEndsDespiteHungTarget("WM_CLOSE");
}

TEST_F(Faults, HungTargetStillLetsExitEndTheProgram)
{
    ASSERT_NO_FATAL_FAILURE(StartHungTarget(L"E2eHungExit"));
    PostIconCallback(main_, WM_RBUTTONDOWN);
    const HWND menu = WaitForPopupMenu(tarnvale_);
    ASSERT_NE(menu, nullptr) << "no menu while the target is hung";
    ChooseByMnemonic(menu, L'e');
    ExpectEndsDespiteHungTarget("Exit");
}

TEST_F(Faults, TargetThatStopsAnsweringInsideTheGiveBackCannotHoldUpExit)
{
    ASSERT_NO_FATAL_FAILURE(StartAttached(L"E2eStallExit"));
    ASSERT_NO_FATAL_FAILURE(StallInsideTheNextChange(L"E2eStallExit"));
    PostIconCallback(main_, WM_RBUTTONDOWN);
    const HWND menu = WaitForPopupMenu(tarnvale_);
    ASSERT_NE(menu, nullptr) << "no menu";
    const ULONGLONG chosen = GetTickCount64();
    ChooseByMnemonic(menu, L'e');
    ExpectEndsDespiteHungTarget("Exit", chosen);
    ExpectGivenBackOnceItAnswers(L"E2eStallExit", chosen);
}

TEST_F(Faults, TargetThatStopsAnsweringInsideTheGiveBackCannotHoldUpTheEndOfTheSession)
{
    ASSERT_NO_FATAL_FAILURE(StartAttached(L"E2eStallSession"));
    ASSERT_NO_FATAL_FAILURE(StallInsideTheNextChange(L"E2eStallSession"));
    const ULONGLONG asked = GetTickCount64();
    DWORD_PTR agreed = 0;
    ASSERT_TRUE(SendMessageTimeoutW(main_, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, 0,
                                    kStartTimeoutMs, &agreed))
        << "no answer to WM_QUERYENDSESSION";
    const ULONGLONG answeredMs = GetTickCount64() - asked;
    std::printf("    WM_QUERYENDSESSION answered in %llu ms\n", answeredMs);
    EXPECT_NE(agreed, 0u) << "the program must not hold up the end of the session";
    EXPECT_LE(answeredMs, kHungExitLimitMs);
    // Windows ends the session once the question is answered: the window's own program is
    // asked and may be ended; no Tarnvale waits for it.
    const ULONGLONG ended = GetTickCount64();
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(main_, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, 0, kStartTimeoutMs, &ignored);
    std::printf("    WM_ENDSESSION answered in %llu ms\n", GetTickCount64() - ended);
    ExpectEndsDespiteHungTarget("WM_ENDSESSION", ended);
    ExpectGivenBackOnceItAnswers(L"E2eStallSession", asked);
}

TEST_F(Faults, TwoInstancesKeepTheirOwnTargets)
{
    ASSERT_NO_FATAL_FAILURE(StartAttached(L"E2eFirstOfTwo"));
    ChildProcess otherTarget = StartTarget(L"E2eSecondOfTwo", L"--x 200 --y 150");
    second_ = StartTarnvale(L"E2eSecondOfTwo");
    ASSERT_TRUE(WaitForParent(L"E2eSecondOfTwo", "progman"))
        << Describe(FindTarget(L"E2eSecondOfTwo"));
    const HWND secondMain = WaitForMainWindow(second_);
    ASSERT_NE(secondMain, nullptr);
    ASSERT_NE(secondMain, main_);

    PostMessageW(main_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(tarnvale_.Exited(kStartTimeoutMs));
    EXPECT_EQ(ParentOf(FindTarget(L"E2eFirstOfTwo")), "none")
        << Describe(FindTarget(L"E2eFirstOfTwo"));
    ASSERT_TRUE(GiveForeground(Bystander()));
    EXPECT_TRUE(HoldsFor([] { return ParentOf(FindTarget(L"E2eSecondOfTwo")) == "progman"; },
                         kWatchMs))
        << "the other instance's target: " << Describe(FindTarget(L"E2eSecondOfTwo"));
    EXPECT_EQ(IconsShownFor(main_), 0) << Describe(TrayEventsOf(main_));
    EXPECT_EQ(IconsShownFor(secondMain), 1) << Describe(TrayEventsOf(secondMain));
    EXPECT_FALSE(second_.Exited());
}

}  // namespace
}  // namespace e2e
