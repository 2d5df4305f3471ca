#pragma once

// Picking a window with tarnvale-list --pick as a person does: a real pointer click on
// the X display, on a window brought out from under the others first.
#include <windows.h>

#include <string>

namespace e2e {

// What the lister says once it watches the mouse.
inline constexpr char kPickPrompt[] = "Click the window to keep on the desktop (Esc cancels).";

// Runs xdotool with `arguments`; a failure of the case when it cannot be run.
void XDoTool(const std::wstring& arguments);
POINT CentreOf(HWND window);
// A point as xdotool takes it: "x y".
std::wstring At(POINT point);
// Brings `window` to the top, so that a click at its centre lands on it: that centre.
POINT Uncovered(HWND window);

}  // namespace e2e
