#pragma once

// What the lister's process ends with, for scripts to tell the outcomes apart.
namespace tarnvale::lister {

enum ExitCode : int {
    kDone = 0,
    kNothingFound = 1,  // no window listed, or none matches the text
    kWrongOption = 2,
    kHeld = 3,          // a running Tarnvale attached the window again
    kNotReleased = 4,   // the shell's own window, or its program does not answer, or refused
    kCancelled = 5,     // Esc or a right click while picking
    kNotStarted = 6,    // the picked window: attached already, no text names it, or no start
    kNotKept = 7,       // not kept at sign-in: no text names it, refused, or not written
};

}  // namespace tarnvale::lister
