#pragma once

// A window's place and size on the screen, read when it is kept and put back at sign-in.
#include <windows.h>

#include "lister/sign_in/window_place.h"

namespace tarnvale::lister {

// Where `window` is on the screen: its restored rectangle, also while it is minimized or
// maximized, and whether it is maximized. Unknown when Windows does not say.
WindowPlace ReadWindowPlace(HWND window);

// Puts the top-level `window` of another program at `place`, fitted onto the monitors
// there are now, without waiting on its program: the moves are posted to its thread.
// True once it is there, false when it is not within `waitMs`.
bool PutWindowAt(HWND window, const WindowPlace& place, DWORD waitMs);

}  // namespace tarnvale::lister
