#include "attach/desktop.h"

namespace tarnvale {

WindowHandle FindTargetWindow(WindowSystem& windows, std::wstring_view text)
{
    const WindowHandle byClass = windows.FindWindowA(text, std::nullopt);
    if (byClass != 0)
        return byClass;
    return windows.FindWindowA(std::nullopt, text);
}

void AttachToDesktop(WindowSystem& windows, TargetState& state, WindowHandle window)
{
    // Never cached: the shell may have restarted since the last call.
    state.desktopWindow = windows.FindWindowA(kDesktopClass, std::nullopt);
    windows.SetParent(window, state.desktopWindow, AnswerWait::Brief);
}

bool IsWindowTopmost(WindowSystem& windows, WindowHandle window)
{
    return (windows.GetWindowLongA(window, WindowLong::ExStyle) & kTopmostExStyle) != 0;
}

}  // namespace tarnvale
