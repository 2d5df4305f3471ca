#pragma once

// The lister's commands, one file each, called by main.cpp alone. Each returns the
// process's exit code.
#include <string_view>

#include "lister/console/output.h"
#include "lister/exit_codes.h"

namespace tarnvale::lister {

// Prints the windows tarnvale.exe can be given, each with the command line that
// attaches it, then those attached to the desktop. `all` lists the left-out ones too.
int ListWindows(Output& out, bool all);

// Makes the window attached to the desktop that `text` names an ordinary window again.
int ReleaseWindow(Output& out, std::wstring_view text);

// Waits for the next left click anywhere, which does not reach its window, and starts
// tarnvale.exe from this program's folder with the text that names the top-level
// window clicked. Esc or a right click cancels.
int PickWindow(Output& out);

// Waits until tarnvale.exe would find a top-level window by `text`, up to `seconds`.
int WaitForWindow(Output& out, unsigned seconds, std::wstring_view text);

// Keeps the window that `text` names on the desktop at every sign-in, with a shortcut in
// the Startup folder that starts its program again if need be, then tarnvale.exe.
int KeepTextAtSignIn(Output& out, std::wstring_view text);

// Removes the shortcuts that keep `text` at every sign-in, or else the one named after
// `text` as a window's title.
int ForgetText(Output& out, std::wstring_view text);

// The run at sign-in that a shortcut starts, with its arguments: starts the window's
// program if need be, waits for the window, then starts tarnvale.exe.
int RunAtSignIn(std::wstring_view arguments);

}  // namespace tarnvale::lister
