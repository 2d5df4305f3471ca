#pragma once

// What the benchmark's Windows programs share to time tarnvale.exe from outside: a
// clock, the attached test, and a window that takes the foreground as a user's would.
#include <windows.h>

namespace bench {

double NowMs();
// Whether the window's parent is the desktop's "progman" window.
bool Attached(HWND window);
void PumpMessages();

// A visible window of ours that takes the foreground, as another application would.
class Bystander {
public:
    Bystander();
    ~Bystander();
    Bystander(const Bystander&) = delete;
    Bystander& operator=(const Bystander&) = delete;

    HWND window() const { return window_; }
    // Takes the foreground back if something else has it; true if it had to.
    bool Hold();

private:
    HWND window_ = nullptr;
};

}  // namespace bench
