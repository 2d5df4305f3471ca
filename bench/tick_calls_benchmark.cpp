// How many window-system calls one watchdog tick makes, and how long the logic takes
// for it, in each state a target can be in. The window system is a counter, so the
// time is the logic's own.
#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>

#include "attach/watchdog.h"

namespace {

using tarnvale::WindowHandle;

enum Call : std::size_t { kFindWindow, kSetParent, kIsWindow, kGetWindowLong, kGetForeground, kCallKinds };
constexpr std::array<const char*, kCallKinds> kCallNames = {
    "FindWindowA", "SetParent", "IsWindow", "GetWindowLongA", "GetForegroundWindow"};

// One desktop window, one target and another window in the foreground.
class CountingWindowSystem final : public tarnvale::WindowSystem {
public:
    static constexpr WindowHandle kDesktop = 0x10;
    static constexpr WindowHandle kTarget = 0x20;
    static constexpr WindowHandle kOther = 0x30;

    bool targetExists = true;
    WindowHandle targetParent = kDesktop;
    std::array<long long, kCallKinds> calls{};

    WindowHandle FindWindowA(std::optional<std::wstring_view> className,
                             std::optional<std::wstring_view> title) override
    {
        ++calls[kFindWindow];
        if (className == tarnvale::kDesktopClass)
            return kDesktop;
        const bool named = className == L"Target" || (!className && title == L"Target");
        return named && targetExists ? kTarget : 0;
    }
    bool SetParent(WindowHandle child, WindowHandle newParent, tarnvale::AnswerWait) override
    {
        ++calls[kSetParent];
        if (child == kTarget)
            targetParent = newParent;
        return child == kTarget && targetExists;
    }
    std::int32_t IsWindow(WindowHandle window) override
    {
        ++calls[kIsWindow];
        return window == kDesktop || window == kOther || (window == kTarget && targetExists);
    }
    std::int32_t GetWindowLongA(WindowHandle window, tarnvale::WindowLong index) override
    {
        ++calls[kGetWindowLong];
        if (window != kTarget || !targetExists)
            return 0;
        return index == tarnvale::WindowLong::HwndParent ? static_cast<std::int32_t>(targetParent)
                                                         : 0;
    }
    WindowHandle GetForegroundWindow() override
    {
        ++calls[kGetForeground];
        return kOther;
    }
    bool Shell_NotifyIconA(tarnvale::NotifyIconMessage, const tarnvale::NotifyIconDataA&) override
    {
        return true;
    }
    void ShowMessageBox(std::wstring_view, std::wstring_view, tarnvale::MessageBoxIcon) override {}
    void EndProcess(std::uint32_t) override {}
    tarnvale::MenuChoice ShowPopupMenu() override { return tarnvale::MenuChoice::None; }
    void ShowAboutWindow() override {}
    void CloseAboutWindow() override {}
    void CloseMainWindow() override {}
};

enum class TargetIs { AttachedAndQuiet, Loose, Gone };

void Tick(benchmark::State& run, TargetIs targetIs)
{
    CountingWindowSystem windows;
    tarnvale::TargetState state;
    state.targetWindow = CountingWindowSystem::kTarget;
    state.desktopWindow = CountingWindowSystem::kDesktop;
    state.targetText.Assign(L"Target");
    if (targetIs == TargetIs::Gone)
        windows.targetExists = false;
    for (auto _ : run) {
        if (targetIs == TargetIs::Loose)
            windows.targetParent = 0;  // came loose again since the last tick
        if (targetIs == TargetIs::Gone)
            state.targetWindow = CountingWindowSystem::kTarget;  // the handle that died
        tarnvale::WatchdogTick(windows, state);
        benchmark::DoNotOptimize(state);
    }
    long long total = 0;
    for (std::size_t kind = 0; kind < kCallKinds; ++kind) {
        total += windows.calls[kind];
        run.counters[kCallNames[kind]] = benchmark::Counter(
            static_cast<double>(windows.calls[kind]), benchmark::Counter::kAvgIterations);
    }
    run.counters["calls"] =
        benchmark::Counter(static_cast<double>(total), benchmark::Counter::kAvgIterations);
}

void AttachedAndQuiet(benchmark::State& run) { Tick(run, TargetIs::AttachedAndQuiet); }
void Loose(benchmark::State& run) { Tick(run, TargetIs::Loose); }
void TargetGone(benchmark::State& run) { Tick(run, TargetIs::Gone); }

}  // namespace

BENCHMARK(AttachedAndQuiet);
BENCHMARK(Loose);
BENCHMARK(TargetGone);
BENCHMARK_MAIN();
