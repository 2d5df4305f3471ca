#pragma once

// Reading and answering another process's message box ("#32770" dialog) from outside.
#include <windows.h>

#include <string>

namespace e2e {

struct MessageBoxView {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;
    std::string icon;  // "information", "exclamation", "error", "question", "none" or "unknown"
    std::wstring buttons;  // the captions of its buttons, joined by '|'
};

// The visible message box of the process; null if it shows none.
HWND FindMessageBoxOf(DWORD processId);
MessageBoxView ReadMessageBox(HWND box);
// One line for failure messages and the probe.
std::string Describe(const MessageBoxView& box);
// Presses OK as a click would (BM_CLICK); false if the box has no OK button.
bool PressOk(HWND box);

}  // namespace e2e
