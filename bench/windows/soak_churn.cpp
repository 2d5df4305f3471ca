// The soak: COPIES copies of tarnvale.exe, each with its own target, for SECONDS while a
// seeded random churn of what happens on a real desktop runs around them; then each is
// closed as "Exit" closes it, and what is left is checked. One line per event and per
// figure, T the seconds since the start:
//   soak_churn SECONDS SEED COPIES
//   event T KIND TARGET            what the churn did, to which target (-1: none)
//   latency T KIND MS              to attached again: refind, reattach, after_hang, shell
//   early T KIND                   attached again before the clock could start
//   timeout T KIND TARGET          not attached again within 10 s
//   topmost_attached T TARGET      a topmost target was attached: it must be left alone
//   early T topmost                attached within two ticks of being made topmost
//   attached_while_hung T TARGET   attached by a tick before the target stopped answering
//   hang T COPY                    a copy gave no answer within 5 s
//   lost T COPY                    a copy ended on its own
//   holdings T PHASE COPY ...      what a copy holds, at start, after a minute and at end
//   attached_at_end COPY YES       whether its target was attached before the exit
//   exit COPY ENDED MS             closed at the end: whether it ended, and how fast
//   answer T COPY MS               how long a copy took to answer a message
//   icon COPY SHOWN                icons the stand-in tray shows for it after: 0, 1, none
//   target INDEX EXISTS TOPLEVEL   each target at the very end
// An extra copy's exit, icon and target are those lines with "extra" for COPY, at its end.
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <vector>

#include "bystander.h"
#include "harness/harness.h"
#include "harness/tray_log.h"
#include "holdings.h"
#include "soak_desktop.h"

namespace {

constexpr DWORD kAnswerMs = 5000;
constexpr double kAttachedAgainMs = 10000;
constexpr std::size_t kMostExtras = 3;
constexpr double kFirstMinuteS = 60;
// Attached before the clock could start: such a trial is counted apart.
constexpr double kBeforeTheClock = -1;
constexpr double kRaceMs = 2 * 50;  // two of the watchdog's ticks

enum Kind { CloseReopen, KillRestart, Detach, Topmost, Foreground, ShellRestart, Hang,
            ExtraStart, ExtraEnd, kKinds };
constexpr std::array<const char*, kKinds> kKindNames = {
    "close_reopen", "kill_restart", "detach", "topmost", "foreground", "shell_restart",
    "hang", "extra_start", "extra_end"};
// The shell's going takes every target with it: rarer than the rest.
constexpr std::array<int, kKinds> kKindWeights = {3, 2, 3, 2, 3, 1, 2, 1, 1};

// The tray keeps the latest events only: what tells is whether the last one kept for
// this window deleted its icon.
const char* IconShown(HWND main)
{
    const std::vector<e2e::TrayEvent> events = e2e::TrayEventsOf(main);
    return events.empty() ? "none" : events.back().message.starts_with("del") ? "0" : "1";
}

bool TopLevel(HWND window)
{
    return window && GetAncestor(window, GA_PARENT) == GetDesktopWindow();
}

class Churn {
public:
    // Each extra copy has a target of its own, in the slots after the copies' targets.
    Churn(int copies, unsigned seed)
        : desktop_(copies + static_cast<int>(kMostExtras)), random_(seed), copies_(copies) {}

    bool SetUp();
    void Run(double seconds);
    void Finish();

private:
    double Since() const { return (bench::NowMs() - start_) / 1000; }
    int AnyTarget()
    {
        return std::uniform_int_distribution<int>(0, static_cast<int>(copies_.size()) - 1)(
            random_);
    }
    void Wait(double ms);
    std::optional<double> AttachedAgain(int target, HWND old = nullptr);
    void Report(const char* kind, int target, std::optional<double> ms);
    bool AllAttached(double timeoutMs);
    void CheckCopies();
    void PrintHoldings(const char* phase);
    void EndExtra(std::size_t which);

    void Event(Kind kind);
    void CloseAndReopen(int target);
    void KillAndRestart(int target);
    void DetachOne(int target);
    void TopmostAndBack(int target);
    void ForegroundAround(int target);
    void RestartShell();
    void HangAWhile(int target);
    void StartExtra();

    soak::Desktop desktop_;
    bench::Bystander bystander_;
    std::mt19937 random_;
    std::vector<soak::Copy> copies_;
    std::vector<soak::Copy> extras_;
    std::vector<bool> lost_;
    double start_ = bench::NowMs();
};

void Churn::Wait(double ms)
{
    const double until = bench::NowMs() + ms;
    while (bench::NowMs() < until) {
        bystander_.Hold();
        Sleep(5);
    }
}

// From the target's window (a new one, when `old` is given) being there, loose, with
// another window in the foreground, to its being attached. Taking the foreground back
// starts the clock again: the watchdog rightly spares a target in the foreground.
std::optional<double> Churn::AttachedAgain(int target, HWND old)
{
    const double deadline = bench::NowMs() + kAttachedAgainMs;
    double clock = -1;
    while (bench::NowMs() < deadline) {
        const HWND window = desktop_.target(target).Window();
        const bool there = window && window != old;
        if (there && bench::Attached(window))
            return clock < 0 ? kBeforeTheClock : bench::NowMs() - clock;
        if (bystander_.Hold() || !there)
            clock = -1;
        else if (clock < 0)
            clock = bench::NowMs();
        Sleep(1);
    }
    return std::nullopt;
}

void Churn::Report(const char* kind, int target, std::optional<double> ms)
{
    if (ms == kBeforeTheClock)
        std::printf("early %.3f %s\n", Since(), kind);
    else if (ms)
        std::printf("latency %.3f %s %.3f\n", Since(), kind, *ms);
    else
        std::printf("timeout %.3f %s %d\n", Since(), kind, target);
}

bool Churn::AllAttached(double timeoutMs)
{
    const double deadline = bench::NowMs() + timeoutMs;
    while (bench::NowMs() < deadline) {
        bool all = true;
        for (const soak::Copy& copy : copies_)
            all = all && bench::Attached(desktop_.target(copy.target).Window());
        if (all)
            return true;
        bystander_.Hold();
        Sleep(5);
    }
    return false;
}

void Churn::CheckCopies()
{
    for (std::size_t i = 0; i < copies_.size(); ++i) {
        if (lost_[i])
            continue;
        if (copies_[i].process.Exited()) {
            lost_[i] = true;
            std::printf("lost %.3f %zu\n", Since(), i);
            continue;
        }
        DWORD_PTR ignored = 0;
        const double asked = bench::NowMs();
        if (!SendMessageTimeoutW(copies_[i].main, WM_NULL, 0, 0, SMTO_NORMAL, kAnswerMs,
                                 &ignored))
            std::printf("hang %.3f %zu\n", Since(), i);
        else
            std::printf("answer %.3f %zu %.3f\n", Since(), i, bench::NowMs() - asked);
    }
}

void Churn::PrintHoldings(const char* phase)
{
    for (std::size_t i = 0; i < copies_.size(); ++i)
        if (!lost_[i])
            std::printf("holdings %.3f %s %zu %s\n", Since(), phase, i,
                        bench::Describe(bench::HoldingsOf(copies_[i].process.id())).c_str());
}

bool Churn::SetUp()
{
    if (!desktop_.StartShell())
        return false;
    for (std::size_t i = 0; i < copies_.size(); ++i)
        if (!desktop_.StartTarget(static_cast<int>(i)))
            return false;
    lost_.assign(copies_.size(), false);
    for (std::size_t i = 0; i < copies_.size(); ++i)
        if (!desktop_.StartCopy(copies_[i], static_cast<int>(i)))
            return false;
    if (!AllAttached(20000))
        return false;
    start_ = bench::NowMs();
    PrintHoldings("start");
    return true;
}

void Churn::CloseAndReopen(int target)
{
    const HWND old = desktop_.target(target).Window();
    if (old)
        PostMessageW(old, WM_CLOSE, 0, 0);
    Report("refind", target, AttachedAgain(target, old));
}

void Churn::KillAndRestart(int target)
{
    const HWND old = desktop_.target(target).Window();
    desktop_.KillTarget(target);
    if (!desktop_.StartTarget(target))
        std::printf("error: target %d did not start again\n", target);
    Report("refind", target, AttachedAgain(target, old));
}

void Churn::DetachOne(int target)
{
    SetParent(desktop_.target(target).Window(), nullptr);
    Report("reattach", target, AttachedAgain(target));
}

void Churn::TopmostAndBack(int target)
{
    const HWND window = desktop_.target(target).Window();
    SetParent(window, nullptr);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const double made = bench::NowMs();
    bool attached = false;
    while (bench::NowMs() < made + 1000 && !attached) {
        bystander_.Hold();
        attached = e2e::IsTopmost(window) && bench::Attached(window);
        Sleep(5);
    }
    // A tick that read the flag just before it was set, or attached the window before
    // it was made topmost, is a race of ours, not the watchdog's fault.
    if (attached && bench::NowMs() - made <= kRaceMs)
        std::printf("early %.3f topmost\n", Since());
    else if (attached)
        std::printf("topmost_attached %.3f %d\n", Since(), target);
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Report("reattach", target, AttachedAgain(target));
}

void Churn::ForegroundAround(int target)
{
    SetForegroundWindow(desktop_.target(target).Window());
    Sleep(100);
    SetForegroundWindow(desktop_.target(AnyTarget()).Window());
    Sleep(100);
    if (!AllAttached(kAttachedAgainMs))
        std::printf("timeout %.3f foreground %d\n", Since(), target);
}

// Every attached target goes with the shell's window; each reopens its own, which waits
// top-level until a new shell's window is there to attach it to.
void Churn::RestartShell()
{
    if (!desktop_.EndShell())
        std::printf("error: the shell did not end\n");
    e2e::WaitUntil(
        [&] {
            for (const soak::Copy& copy : copies_)
                if (!desktop_.target(copy.target).Window())
                    return false;
            return true;
        },
        static_cast<DWORD>(kAttachedAgainMs));
    if (!desktop_.StartShell()) {
        std::printf("error: the shell did not start again\n");
        return;
    }
    const double shown = bench::NowMs();
    if (AllAttached(kAttachedAgainMs))
        Report("shell", -1, bench::NowMs() - shown);
    else
        Report("shell", -1, std::nullopt);
}

// Loose and in the foreground, so that the watchdog leaves it be until the bystander
// takes the foreground: then it meets a target that does not answer.
void Churn::HangAWhile(int target)
{
    const HWND window = desktop_.target(target).Window();
    SetParent(window, nullptr);
    {
        const soak::Frozen frozen(window);
        if (!frozen.frozen())
            std::printf("error: could not stop target %d\n", target);
        Wait(std::uniform_int_distribution<int>(2000, 4000)(random_));
        CheckCopies();
        if (bench::Attached(window))
            std::printf("attached_while_hung %.3f %d\n", Since(), target);
    }
    Report("after_hang", target, AttachedAgain(target));
}

// An extra copy comes with a new target of its own, in a free slot.
void Churn::StartExtra()
{
    int slot = static_cast<int>(copies_.size());
    while (std::any_of(extras_.begin(), extras_.end(),
                       [&](const soak::Copy& extra) { return extra.target == slot; }))
        ++slot;
    soak::Copy extra;
    if (!desktop_.StartTarget(slot) || !desktop_.StartCopy(extra, slot)) {
        std::printf("error: an extra copy did not start\n");
        desktop_.KillTarget(slot);
        return;
    }
    extras_.push_back(std::move(extra));
}

// As at the very end: the copy ends, its icon goes and its target is top-level again.
void Churn::EndExtra(std::size_t which)
{
    soak::Copy& extra = extras_[which];
    PostMessageW(extra.main, WM_CLOSE, 0, 0);
    const double asked = bench::NowMs();
    const bool ended = extra.process.Exited(kAnswerMs);
    std::printf("exit extra %d %.3f\n", ended ? 1 : 0, bench::NowMs() - asked);
    if (!ended)
        std::printf("hang %.3f extra\n", Since());
    std::printf("icon extra %s\n", IconShown(extra.main));
    const HWND window = desktop_.target(extra.target).Window();
    std::printf("target extra %d %d\n", window ? 1 : 0, TopLevel(window) ? 1 : 0);
    desktop_.KillTarget(extra.target);
    extras_.erase(extras_.begin() + static_cast<std::ptrdiff_t>(which));
}

void Churn::Event(Kind kind)
{
    int target = AnyTarget();
    if (kind == ExtraStart && extras_.size() >= kMostExtras)
        kind = ExtraEnd;
    else if (kind == ExtraEnd && extras_.empty())
        kind = ExtraStart;
    if (kind == ShellRestart || kind == ExtraStart || kind == ExtraEnd)
        target = -1;
    std::printf("event %.3f %s %d\n", Since(), kKindNames[kind], target);
    switch (kind) {
    case CloseReopen: CloseAndReopen(target); break;
    case KillRestart: KillAndRestart(target); break;
    case Detach: DetachOne(target); break;
    case Topmost: TopmostAndBack(target); break;
    case Foreground: ForegroundAround(target); break;
    case ShellRestart: RestartShell(); break;
    case Hang: HangAWhile(target); break;
    case ExtraStart: StartExtra(); break;
    case ExtraEnd:
        EndExtra(std::uniform_int_distribution<std::size_t>(0, extras_.size() - 1)(random_));
        break;
    case kKinds: break;
    }
}

void Churn::Run(double seconds)
{
    std::discrete_distribution<int> kinds(kKindWeights.begin(), kKindWeights.end());
    bool minute = false;
    while (Since() < seconds) {
        Wait(std::uniform_int_distribution<int>(200, 1500)(random_));
        Event(static_cast<Kind>(kinds(random_)));
        CheckCopies();
        if (!minute && Since() >= kFirstMinuteS) {
            PrintHoldings("minute");
            minute = true;
        }
        std::fflush(stdout);
    }
}

void Churn::Finish()
{
    PrintHoldings("end");
    AllAttached(kAttachedAgainMs);
    for (std::size_t i = 0; i < copies_.size(); ++i)
        std::printf("attached_at_end %zu %d\n", i,
                    bench::Attached(desktop_.target(copies_[i].target).Window()) ? 1 : 0);
    while (!extras_.empty())
        EndExtra(extras_.size() - 1);
    for (std::size_t i = 0; i < copies_.size(); ++i) {
        PostMessageW(copies_[i].main, WM_CLOSE, 0, 0);
        const double asked = bench::NowMs();
        const bool ended = copies_[i].process.Exited(kAnswerMs);
        std::printf("exit %zu %d %.3f\n", i, ended ? 1 : 0, bench::NowMs() - asked);
        if (!ended)
            std::printf("hang %.3f %zu\n", Since(), i);
    }
    for (std::size_t i = 0; i < copies_.size(); ++i)
        std::printf("icon %zu %s\n", i, IconShown(copies_[i].main));
    for (const soak::Copy& copy : copies_) {
        const HWND window = desktop_.target(copy.target).Window();
        std::printf("target %d %d %d\n", copy.target, window ? 1 : 0, TopLevel(window) ? 1 : 0);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4) {
        std::printf("error: usage: soak_churn SECONDS SEED COPIES\n");
        return 2;
    }
    const double seconds = _wtof(argv[1]);
    const auto seed = static_cast<unsigned>(_wtoi(argv[2]));
    const int copies = _wtoi(argv[3]);
    if (copies < 1 || copies > 64) {
        std::printf("error: 1 to 64 copies\n");
        return 2;
    }
    Churn churn(copies, seed);
    if (!churn.SetUp()) {
        std::printf("error: the soak's desktop did not come up\n");
        std::fflush(stdout);
        return 1;
    }
    churn.Run(seconds);
    churn.Finish();
    std::fflush(stdout);
    return 0;
}
