#pragma once

// Changing the parent of another program's window, as tarnvale.exe and the lister do it:
// the window keeps its place on the screen, and the caller waits a bounded time however
// the window's program behaves.
#include <windows.h>

#include "platform/window_system.h"

namespace tarnvale {

enum class ParentChange {
    Done,          // the window has the new parent (none: it is top-level)
    NotAnswering,  // its program did not answer in time, or Windows calls it hung
    Refused,       // Windows refused the change (gone, or a program with more rights)
    Unfinished,    // the wait ended with the change still under way: it may end later
    Skipped,       // a brief change not tried: the change before it is still under way
    CouldNotTry,   // no thread for the change: the system is out of resources
};

// One change at a time: a change waits for the one before it, even one whose caller
// stopped waiting, so that a give-back can never be overtaken by an earlier attach.
class ParentChanger {
public:
    ParentChanger() = default;
    ~ParentChanger();
    ParentChanger(const ParentChanger&) = delete;
    ParentChanger& operator=(const ParentChanger&) = delete;

    // Brief: for a tick, which tries again 50 ms later; Skipped while an earlier change
    // is still under way. Long: for giving a window back, its one chance.
    ParentChange Change(HWND window, HWND newParent, AnswerWait wait);

private:
    HANDLE lastChange_ = nullptr;  // the thread of the last change, perhaps still running
};

}  // namespace tarnvale
