#include "attach/watchdog.h"

namespace tarnvale {

void WatchdogTick(WindowSystem& windows, TargetState& state)
{
    if (windows.IsWindow(state.targetWindow) == 0) {
        state.targetWindow = FindTargetWindow(windows, state.targetText.view());
        if (state.targetWindow == 0)
            return;
    }
    state.desktopWindow = windows.FindWindowA(kDesktopClass, std::nullopt);

    // All three are read before any is tested.
    const bool topmost = IsWindowTopmost(windows, state.targetWindow);
    const auto parent = static_cast<WindowHandle>(
        windows.GetWindowLongA(state.targetWindow, WindowLong::HwndParent));
    const WindowHandle foreground = windows.GetForegroundWindow();

    if (topmost || foreground == state.targetWindow || parent == state.desktopWindow)
        return;
    AttachToDesktop(windows, state, state.targetWindow);
}

}  // namespace tarnvale
