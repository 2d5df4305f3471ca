// The floor for the cost of simply being there: a hidden window with the same 50 ms
// timer as tarnvale.exe. Its tick does nothing, or, to tell Wine's cost of the calls
// from the program's own, exactly the calls one of tarnvale's ticks makes:
//   idle_baseline                 a tick that does nothing
//   idle_baseline --reads CLASS   the five reads of a tick with the target attached
//   idle_baseline --lookups TEXT  the three calls of a tick whose target is gone
#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr UINT_PTR kTickTimer = 1;
constexpr UINT kTickMs = 50;
constexpr char kDesktopClass[] = "progman";
constexpr int kParentIndex = -8;  // GWL_HWNDPARENT, read as tarnvale reads it

enum class Tick { Nothing, Reads, Lookups };

struct Baseline {
    Tick tick = Tick::Nothing;
    const char* text = "";
    HWND target = nullptr;
};

Baseline baseline;

HWND FindTarget(const char* className)
{
    if (const HWND topLevel = FindWindowA(className, nullptr))
        return topLevel;
    const HWND desktop = FindWindowA(kDesktopClass, nullptr);
    return desktop ? FindWindowExA(desktop, nullptr, className, nullptr) : nullptr;
}

// volatile: the results must not be optimised away.
void RunTick()
{
    volatile LONG_PTR sink = 0;
    switch (baseline.tick) {
    case Tick::Nothing:
        break;
    case Tick::Reads:
        if (!baseline.target)
            baseline.target = FindTarget(baseline.text);
        sink = IsWindow(baseline.target);
        sink = reinterpret_cast<LONG_PTR>(FindWindowA(kDesktopClass, nullptr));
        sink = GetWindowLongA(baseline.target, GWL_EXSTYLE);
        sink = GetWindowLongA(baseline.target, kParentIndex);
        sink = reinterpret_cast<LONG_PTR>(GetForegroundWindow());
        break;
    case Tick::Lookups:
        // A handle that died, as a closed target's is.
        sink = IsWindow(reinterpret_cast<HWND>(static_cast<LONG_PTR>(0x7ff0)));
        sink = reinterpret_cast<LONG_PTR>(FindWindowA(baseline.text, nullptr));
        sink = reinterpret_cast<LONG_PTR>(FindWindowA(nullptr, baseline.text));
        break;
    }
    (void)sink;
}

LRESULT CALLBACK BaselineProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        if (wParam == kTickTimer)
            RunTick();
        return 0;
    case WM_DESTROY:
        KillTimer(window, kTickTimer);
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

// A GUI program like tarnvale.exe, so that both pay the same for being one.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    const int argc = __argc;
    char** const argv = __argv;
    if (argc == 3 && std::strcmp(argv[1], "--reads") == 0)
        baseline = {Tick::Reads, argv[2], nullptr};
    else if (argc == 3 && std::strcmp(argv[1], "--lookups") == 0)
        baseline = {Tick::Lookups, argv[2], nullptr};

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = BaselineProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "TarnvaleIdleBaseline";
    if (!RegisterClassA(&windowClass))
        return 1;
    const HWND window = CreateWindowExA(0, windowClass.lpszClassName, "Idle baseline", 0, 0, 0,
                                        0, 0, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    SetTimer(window, kTickTimer, kTickMs, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
