#include "attach/desktop.h"

namespace tarnvale {

WindowHandle FindTargetWindow(WindowLookup& windows, std::wstring_view text)
{
    return FindByClassThenTitle(text, [&](std::optional<std::wstring_view> className,
                                          std::optional<std::wstring_view> title) {
        return windows.FindWindowA(className, title);
    });
}

void AttachToDesktop(WindowSystem& windows, TargetState& state, WindowHandle window)
{
    // Never cached: the shell may have restarted since the last call.
    state.desktopWindow = windows.FindWindowA(kDesktopClass, std::nullopt);
    windows.SetParent(window, state.desktopWindow, AnswerWait::Brief);
}

bool IsWindowTopmost(WindowLookup& windows, WindowHandle window)
{
    return (windows.GetWindowLongA(window, WindowLong::ExStyle) & kTopmostExStyle) != 0;
}

}  // namespace tarnvale
