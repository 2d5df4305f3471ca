// The Windows side of the benchmark: times what a user would notice, from outside
// tarnvale.exe, and prints one line per figure for the driver to read.
//   bench_probe wait-window CLASS TIMEOUT_MS
//   bench_probe wait-windows CLASS COUNT TIMEOUT_MS   that many top-level ones
//   bench_probe wait-attached CLASS TIMEOUT_MS
//   bench_probe attach CLASS              makes the "progman" window its parent, from outside
//   bench_probe close CLASS              WM_CLOSE to the window, and waits for it to go
//   bench_probe reattach CLASS TRIALS    detached from outside: time to attached again
//   bench_probe refind CLASS TRIALS      closed and reopened: time to attached again
//   bench_probe startup CLASS RUNS [OTHER_TARNVALE]
//                                        tarnvale.exe to attached, in turns with the start
//                                        baseline (and another build's tarnvale.exe)
//   bench_probe ticks FIRST MORE         FIRST ticks, what the process holds, MORE, again
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "harness/harness.h"
#include "bystander.h"
#include "holdings.h"

namespace {

using bench::Attached;
using bench::Bystander;
using bench::NowMs;
using bench::PumpMessages;

constexpr wchar_t kMainClass[] = L"TarnvaleMain";
constexpr wchar_t kStartBaselineClass[] = L"TarnvaleStartBaseline";
constexpr UINT_PTR kWatchdogTimerId = 1;
constexpr DWORD kTrialTimeoutMs = 3000;
constexpr DWORD kWaitMs = 10000;

int Fail(const std::string& what)
{
    std::printf("error: %s\n", what.c_str());
    return 1;
}

// A short pause between trials that varies, so that trials begin at every phase of
// tarnvale's tick rather than at one.
void PauseBetweenTrials()
{
    static unsigned state = 12345;
    state = state * 1103515245u + 12345u;
    const DWORD pauseMs = 20 + (state >> 16) % 50;
    const double until = NowMs() + pauseMs;
    while (NowMs() < until) {
        PumpMessages();
        Sleep(1);
    }
}

int WaitAttached(const std::wstring& className, DWORD timeoutMs)
{
    if (!e2e::WaitUntil([&] { return Attached(e2e::FindTarget(className)); }, timeoutMs))
        return Fail("not attached: " + e2e::Describe(e2e::FindTarget(className)));
    std::printf("attached\n");
    return 0;
}

int WaitWindow(const std::wstring& className, DWORD timeoutMs)
{
    if (!e2e::WaitUntil([&] { return e2e::FindTarget(className) != nullptr; }, timeoutMs))
        return Fail("no window of class " + e2e::Narrow(className));
    std::printf("found\n");
    return 0;
}

// Several programs whose windows share one class: wait until all are there.
int WaitWindows(const std::wstring& className, int count, DWORD timeoutMs)
{
    const auto counted = [&] {
        int found = 0;
        for (HWND window = nullptr;
             (window = FindWindowExW(nullptr, window, className.c_str(), nullptr)) != nullptr;)
            ++found;
        return found;
    };
    if (!e2e::WaitUntil([&] { return counted() >= count; }, timeoutMs))
        return Fail(std::to_string(counted()) + " windows of class " + e2e::Narrow(className));
    std::printf("found\n");
    return 0;
}

int Attach(const std::wstring& className)
{
    const HWND window = e2e::FindTarget(className);
    if (window && !Attached(window))
        SetParent(window, e2e::FindDesktop());
    return WaitAttached(className, kWaitMs);
}

int Close(const std::wstring& className)
{
    const HWND window = e2e::FindTarget(className);
    if (!window)
        return Fail("no window of class " + e2e::Narrow(className));
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (!e2e::WaitUntil([&] { return !IsWindow(window); }, kWaitMs))
        return Fail("still there: " + e2e::Describe(window));
    std::printf("closed\n");
    return 0;
}

// The clock starts once the target is loose and another window has the foreground:
// detaching makes the target the foreground window under Wine, which is spared.
int Reattach(const std::wstring& className, int trials)
{
    Bystander bystander;
    int skipped = 0;
    int retaken = 0;
    // Trials in which the tick beat the bystander to it measure nothing, and do not count.
    for (int measured = 0; measured < trials;) {
        if (skipped > trials)
            return Fail("most trials were attached before the clock could start");
        const HWND target = e2e::FindTarget(className);
        if (!e2e::WaitUntil([&] { return Attached(target); }, kWaitMs))
            return Fail("not attached before a trial: " + e2e::Describe(target));
        PauseBetweenTrials();
        SetParent(target, nullptr);
        double start = -1;
        double end = -1;
        const double deadline = NowMs() + kTrialTimeoutMs;
        while (NowMs() < deadline) {
            if (Attached(target)) {
                end = NowMs();
                break;
            }
            if (bystander.Hold()) {
                if (start >= 0)
                    ++retaken;
                start = -1;
            } else if (start < 0) {
                start = NowMs();
            }
            Sleep(1);
        }
        if (end < 0)
            return Fail("not attached again: " + e2e::Describe(target));
        if (start < 0) {
            ++skipped;  // attached before the bystander had the foreground
            continue;
        }
        std::printf("reattach_ms %.3f\n", end - start);
        ++measured;
    }
    std::printf("reattach_skipped %d\nreattach_foreground_retaken %d\n", skipped, retaken);
    return 0;
}

// The target runs with --reopen-when-gone: closed, it opens a like window by itself.
int Refind(const std::wstring& className, int trials)
{
    Bystander bystander;
    int retaken = 0;
    for (int trial = 0; trial < trials; ++trial) {
        const HWND old = e2e::FindTarget(className);
        if (!e2e::WaitUntil([&] { return Attached(old); }, kWaitMs))
            return Fail("not attached before a trial: " + e2e::Describe(old));
        PauseBetweenTrials();
        bystander.Hold();
        PostMessageW(old, WM_CLOSE, 0, 0);
        HWND reopened = nullptr;
        double start = -1;
        double end = -1;
        const double deadline = NowMs() + kTrialTimeoutMs;
        while (NowMs() < deadline) {
            if (!reopened) {
                const HWND found = e2e::FindTarget(className);
                if (found && found != old) {
                    reopened = found;
                    start = NowMs();
                }
            }
            if (reopened && Attached(reopened)) {
                end = NowMs();
                break;
            }
            if (bystander.Hold())
                ++retaken;
            Sleep(1);
        }
        if (end < 0)
            return Fail("reopened window not attached: " + e2e::Describe(reopened));
        std::printf("refind_ms %.3f\n", end - start);
    }
    std::printf("refind_foreground_retaken %d\n", retaken);
    return 0;
}

DWORD ProcessOf(HWND window)
{
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    return id;
}

// Asks a program to close its window and waits for the process to end.
bool CloseAndWait(e2e::ChildProcess& process, const wchar_t* windowClass)
{
    const HWND window = e2e::FindWindowOf(process.id(), windowClass);
    if (window)
        PostMessageW(window, WM_CLOSE, 0, 0);
    return process.Exited(kWaitMs);
}

int Startup(const std::wstring& className, int runs, const std::wstring& otherTarnvale)
{
    struct Program {
        std::wstring commandLine;
        bool tarnvale;  // else the start baseline
        const char* figure;
    };
    const std::wstring folder = e2e::ProgramFolder();
    const Program baseline{e2e::Quoted(folder + L"\\start_baseline.exe"), false,
                           "start_baseline_ms"};
    // Side by side, in turns, so that a noisy moment falls on each alike; and every start
    // of a tarnvale.exe right after one of the baseline, since a start just after another
    // copy has ended and given its target back is the slower for it.
    std::vector<Program> turns = {
        {e2e::Quoted(folder + L"\\tarnvale.exe") + L" " + className, true, "startup_ms"},
        baseline};
    if (!otherTarnvale.empty()) {
        turns.push_back({e2e::Quoted(otherTarnvale) + L" " + className, true, "startup_other_ms"});
        turns.push_back(baseline);
    }
    for (int run = 0; run < runs; ++run) {
        for (const Program& program : turns) {
            const HWND target = e2e::FindTarget(className);
            if (program.tarnvale && (!target || Attached(target)))
                return Fail("target not loose before a start: " + e2e::Describe(target));
            const double start = NowMs();
            e2e::ChildProcess process = e2e::ChildProcess::Start(program.commandLine);
            if (!process.started())
                return Fail("could not start a program");
            const bool up = e2e::WaitUntil(
                [&] {
                    return program.tarnvale ? Attached(target)
                                            : FindWindowW(kStartBaselineClass, nullptr) != nullptr;
                },
                kWaitMs, 1);
            const double end = NowMs();
            if (!up)
                return Fail(program.tarnvale ? "not attached after start: " + e2e::Describe(target)
                                             : "start baseline made no window");
            std::printf("%s %.3f\n", program.figure, end - start);
            if (!CloseAndWait(process, program.tarnvale ? kMainClass : kStartBaselineClass))
                return Fail("a started program did not end");
        }
    }
    return 0;
}

void PrintHoldings(int ticks, HWND mainWindow)
{
    const bench::Holdings holdings = bench::HoldingsOf(ProcessOf(mainWindow));
    std::printf("holdings %d %s\n", ticks, bench::Describe(holdings).c_str());
}

// Runs tarnvale's tick through its window procedure, as its timer does, but without
// waiting 50 ms for each.
int Ticks(int first, int more)
{
    const HWND mainWindow = FindWindowW(kMainClass, nullptr);
    if (!mainWindow)
        return Fail("no tarnvale main window");
    const auto tick = [&](int count) {
        for (int i = 0; i < count; ++i) {
            DWORD_PTR ignored = 0;
            if (!SendMessageTimeoutW(mainWindow, WM_TIMER, kWatchdogTimerId, 0, SMTO_ABORTIFHUNG,
                                     kWaitMs, &ignored))
                return false;
        }
        return true;
    };
    if (!tick(first))
        return Fail("a tick did not return");
    PrintHoldings(first, mainWindow);
    if (!tick(more))
        return Fail("a tick did not return");
    PrintHoldings(first + more, mainWindow);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring command = argc > 1 ? argv[1] : L"";
    const auto number = [&](int index) { return argc > index ? _wtoi(argv[index]) : 0; };
    const std::wstring className = argc > 2 ? argv[2] : L"";
    int result = 2;
    if (command == L"wait-window" && argc == 4)
        result = WaitWindow(className, static_cast<DWORD>(number(3)));
    else if (command == L"wait-windows" && argc == 5)
        result = WaitWindows(className, number(3), static_cast<DWORD>(number(4)));
    else if (command == L"attach" && argc == 3)
        result = Attach(className);
    else if (command == L"wait-attached" && argc == 4)
        result = WaitAttached(className, static_cast<DWORD>(number(3)));
    else if (command == L"close" && argc == 3)
        result = Close(className);
    else if (command == L"reattach" && argc == 4)
        result = Reattach(className, number(3));
    else if (command == L"refind" && argc == 4)
        result = Refind(className, number(3));
    else if (command == L"startup" && (argc == 4 || argc == 5))
        result = Startup(className, number(3), argc == 5 ? argv[4] : L"");
    else if (command == L"ticks" && argc == 4)
        result = Ticks(_wtoi(argv[2]), number(3));
    else
        std::printf("error: unknown command\n");
    std::fflush(stdout);
    return result;
}
