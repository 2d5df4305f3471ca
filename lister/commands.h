#pragma once

// The lister's two jobs. Each returns the process's exit code.
#include <string_view>

#include "lister/output.h"

namespace tarnvale::lister {

enum ExitCode : int {
    kDone = 0,
    kNothingFound = 1,  // no window listed, or none matches the text
    kWrongOption = 2,
    kHeld = 3,          // a running Tarnvale attached the window again
    kNotReleased = 4,   // the shell's own window, or its program does not answer, or refused
};

// Prints the windows tarnvale.exe can be given, each with the command line that
// attaches it, then those attached to the desktop. `all` lists the left-out ones too.
int ListWindows(Output& out, bool all);

// Makes the window attached to the desktop that `text` names an ordinary window again.
int ReleaseWindow(Output& out, std::wstring_view text);

// One window's class name and title, for both jobs.
void PrintTexts(Output& out, std::wstring_view className, std::wstring_view title, bool titleCut);

}  // namespace tarnvale::lister
