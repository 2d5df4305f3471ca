#include "bystander.h"

#include "harness/harness.h"

namespace bench {

double NowMs()
{
    static const LONGLONG frequency = [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return value.QuadPart;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency);
}

bool Attached(HWND window)
{
    return window && e2e::ParentOf(window) == "progman";
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
}

Bystander::Bystander()
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TarnvaleBenchBystander";
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, windowClass.lpszClassName, L"Bystander",
                              WS_OVERLAPPEDWINDOW | WS_VISIBLE, 500, 300, 240, 160, nullptr,
                              nullptr, windowClass.hInstance, nullptr);
    PumpMessages();
}

Bystander::~Bystander()
{
    if (window_)
        DestroyWindow(window_);
}

bool Bystander::Hold()
{
    PumpMessages();
    if (GetForegroundWindow() == window_)
        return false;
    SetForegroundWindow(window_);
    return true;
}

}  // namespace bench
