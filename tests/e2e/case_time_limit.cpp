// A case that hangs (a call into Wine that never returns) would hold the whole suite
// until the run's outer time limit, and say nothing of where. This ends the suite after
// kCaseLimitMs in one case, naming it; run.sh then runs the cases that did not pass.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

namespace e2e {
namespace {

// Far above any case's own waits (20 s for a start that never comes, a few at once).
constexpr ULONGLONG kCaseLimitMs = 120000;
constexpr UINT kHungExitCode = 3;

class CaseTimeLimit : public ::testing::EmptyTestEventListener {
public:
    CaseTimeLimit() { InitializeCriticalSection(&lock_); }

    void OnTestProgramStart(const ::testing::UnitTest&) override
    {
        watcher_ = CreateThread(nullptr, 0, Watch, this, 0, nullptr);
    }

    // Before GoogleTest deletes this listener, at the process's exit.
    void OnTestProgramEnd(const ::testing::UnitTest&) override
    {
        SetEvent(stop_);
        if (watcher_) {
            WaitForSingleObject(watcher_, INFINITE);
            CloseHandle(watcher_);
        }
    }

    void OnTestStart(const ::testing::TestInfo& test) override
    {
        EnterCriticalSection(&lock_);
        std::snprintf(name_, sizeof name_, "%s.%s", test.test_suite_name(), test.name());
        deadline_ = GetTickCount64() + kCaseLimitMs;
        LeaveCriticalSection(&lock_);
    }

    void OnTestEnd(const ::testing::TestInfo&) override
    {
        EnterCriticalSection(&lock_);
        deadline_ = 0;
        LeaveCriticalSection(&lock_);
    }

private:
    static DWORD WINAPI Watch(void* data)
    {
        auto& self = *static_cast<CaseTimeLimit*>(data);
        while (WaitForSingleObject(self.stop_, 1000) == WAIT_TIMEOUT) {
            EnterCriticalSection(&self.lock_);
            const bool hung = self.deadline_ != 0 && GetTickCount64() > self.deadline_;
            if (hung) {
                std::printf("[   HUNG   ] %s did not end in %u s: the suite stops here\n",
                            self.name_, static_cast<unsigned>(kCaseLimitMs / 1000));
                std::fflush(stdout);
                // Not ExitProcess: the hung thread may hold a lock that exiting needs.
                TerminateProcess(GetCurrentProcess(), kHungExitCode);
            }
            LeaveCriticalSection(&self.lock_);
        }
        return 0;
    }

    CRITICAL_SECTION lock_;
    char name_[512] = {};
    ULONGLONG deadline_ = 0;
    HANDLE stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE watcher_ = nullptr;
};

// GoogleTest owns and deletes its listeners.
const bool registered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new CaseTimeLimit);
    return true;
}();

}  // namespace
}  // namespace e2e
