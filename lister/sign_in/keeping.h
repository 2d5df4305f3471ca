#pragma once

// Keeping a window found already at every sign-in: what --at-sign-in and a pick's "y"
// share.
#include <windows.h>

#include <string_view>

#include "lister/console/output.h"
#include "lister/programs/window_process.h"

namespace tarnvale::lister {

// Writes the shortcut that keeps `window` at every sign-in with `text`, with the window's
// place and its program as read; `title` names the shortcut. Says what will happen at
// sign-in; returns the exit code.
int KeepAtSignIn(Output& out, std::wstring_view text, std::wstring_view title, HWND window,
                 WindowProgram& program);
// Says why the window of `program` cannot be kept at every sign-in, and true; false, and
// nothing said, when it can.
bool CannotKeepAtSignIn(Output& out, const WindowProgram& program);
// Says that the window's program runs above the lister, and what to do.
void SayRunAsAdministrator(Output& out);

}  // namespace tarnvale::lister
