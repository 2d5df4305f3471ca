#pragma once

#include <string_view>

#include "attach/target_text.h"
#include "platform/window_system.h"

namespace tarnvale {

// What the program knows about the window it keeps on the desktop.
struct TargetState {
    WindowHandle targetWindow = 0;   // the attached window; 0 = none
    WindowHandle desktopWindow = 0;  // the "progman" window found by the last attach or tick
    TargetText targetText;           // the command-line text naming the target
};

inline constexpr std::wstring_view kDesktopClass = L"progman";
inline constexpr std::int32_t kTopmostExStyle = 0x8;  // WS_EX_TOPMOST

// A top-level window whose class name is `text`, else one whose title is `text`; 0 if none.
WindowHandle FindTargetWindow(WindowSystem& windows, std::wstring_view text);

// Makes the desktop's "progman" window, looked up afresh, the parent of `window`.
void AttachToDesktop(WindowSystem& windows, TargetState& state, WindowHandle window);

bool IsWindowTopmost(WindowSystem& windows, WindowHandle window);

}  // namespace tarnvale
