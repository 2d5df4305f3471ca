#pragma once

// A window as every command of the lister shows it: its class name and title in [ ].
#include <windows.h>

#include "lister/console/output.h"
#include "lister/windows/desktop_windows.h"

namespace tarnvale::lister {

void PrintTexts(Output& out, const WindowTexts& texts);
// The same, read from the window.
void PrintWindow(Output& out, HWND window);

}  // namespace tarnvale::lister
