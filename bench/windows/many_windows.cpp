// Clutter for the desktop: COUNT other top-level windows, as a busy desktop has them,
// so that every lookup by class or title has that many windows to walk.
//   many_windows COUNT
// A third are visible, small and out of the way; the rest hidden, as most of a real
// desktop's top-level windows are. Their classes and titles vary, so that a lookup
// compares each. WM_CLOSE to the "TarnvaleBenchClutter" window ends them all.
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

constexpr wchar_t kControlClass[] = L"TarnvaleBenchClutter";
constexpr int kClasses = 8;
constexpr int kVisibleEvery = 3;
constexpr int kMaxCount = 10000;

LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterClasses(HINSTANCE instance)
{
    WNDCLASSW control{};
    control.lpfnWndProc = ControlProc;
    control.hInstance = instance;
    control.lpszClassName = kControlClass;
    if (!RegisterClassW(&control))
        return false;
    for (int i = 0; i < kClasses; ++i) {
        const std::wstring name = L"TarnvaleBenchClutter" + std::to_wstring(i);
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = name.c_str();
        if (!RegisterClassW(&windowClass))
            return false;
    }
    return true;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int)
{
    const int count = _wtoi(commandLine);
    if (count < 0 || count > kMaxCount || !RegisterClasses(instance))
        return 2;
    for (int i = 0; i < count; ++i) {
        const std::wstring className = L"TarnvaleBenchClutter" + std::to_wstring(i % kClasses);
        const std::wstring title = L"Clutter window " + std::to_wstring(i);
        const bool visible = i % kVisibleEvery == 0;
        // Visible ones in a strip along the bottom edge, out of the measured windows' way.
        const int x = (i * 7) % 600;
        const int y = GetSystemMetrics(SM_CYSCREEN) - 40;
        if (!CreateWindowExW(WS_EX_TOOLWINDOW, className.c_str(), title.c_str(),
                             WS_POPUP | (visible ? WS_VISIBLE : 0), x, y, 24, 24, nullptr,
                             nullptr, instance, nullptr))
            return 1;
    }
    // Made last, so that the driver sees it only once every other window is there.
    if (!CreateWindowExW(0, kControlClass, L"Clutter", 0, 0, 0, 0, 0, nullptr, nullptr,
                         instance, nullptr))
        return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}
