// The floor for start-up: a program that creates one hidden window and ends. It stays
// until it is told to close, so that whoever times it can see the window, and ends by
// itself after a while should nobody tell it.
#include <windows.h>

namespace {

constexpr UINT_PTR kGiveUpTimer = 1;
constexpr UINT kGiveUpMs = 10000;

LRESULT CALLBACK StartProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        if (wParam == kGiveUpTimer)
            DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = StartProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "TarnvaleStartBaseline";
    if (!RegisterClassA(&windowClass))
        return 1;
    const HWND window = CreateWindowExA(0, windowClass.lpszClassName, "Start baseline", 0, 0, 0,
                                        0, 0, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    SetTimer(window, kGiveUpTimer, kGiveUpMs, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
