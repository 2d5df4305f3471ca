#pragma once

// The desktop the soak runs on: the stand-in shell, the targets and the copies of
// tarnvale.exe, each a process of ours that the churn can end and start again.
#include <windows.h>

#include <string>
#include <vector>

#include "harness/harness.h"

namespace soak {

inline constexpr wchar_t kMainClass[] = L"TarnvaleMain";

struct Target {
    std::wstring className;
    e2e::ChildProcess process;
    HWND Window() const { return e2e::FindTarget(className); }
};

struct Copy {
    int target = 0;
    e2e::ChildProcess process;
    HWND main = nullptr;
};

class Desktop {
public:
    explicit Desktop(int targets);

    bool StartShell();
    // WM_CLOSE to the shell's window; its process ends with it.
    bool EndShell();

    // Each target reopens its window by itself when the window is destroyed.
    bool StartTarget(int index);
    void KillTarget(int index);
    Target& target(int index) { return targets_[static_cast<std::size_t>(index)]; }
    int targets() const { return static_cast<int>(targets_.size()); }

    // A copy of tarnvale.exe for the target; false if its main window did not come.
    bool StartCopy(Copy& copy, int target);

private:
    std::wstring folder_;
    e2e::ChildProcess shell_;
    std::vector<Target> targets_;
};

// The window's thread stops reading messages while this lives, as a hung application's.
class Frozen {
public:
    explicit Frozen(HWND window);
    ~Frozen();
    Frozen(const Frozen&) = delete;
    Frozen& operator=(const Frozen&) = delete;
    bool frozen() const { return thread_ != nullptr; }

private:
    HANDLE thread_ = nullptr;
};

}  // namespace soak
