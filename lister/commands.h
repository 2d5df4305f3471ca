#pragma once

// The lister's jobs. Each returns the process's exit code.
#include <string_view>

#include "lister/output.h"

namespace tarnvale::lister {

enum ExitCode : int {
    kDone = 0,
    kNothingFound = 1,  // no window listed, or none matches the text
    kWrongOption = 2,
    kHeld = 3,          // a running Tarnvale attached the window again
    kNotReleased = 4,   // the shell's own window, or its program does not answer, or refused
    kCancelled = 5,     // Esc or a right click while picking
    kNotStarted = 6,    // the picked window: attached already, no text names it, or no start
};

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

// One window's class name and title, for all of them.
void PrintTexts(Output& out, std::wstring_view className, std::wstring_view title, bool titleCut);

}  // namespace tarnvale::lister
