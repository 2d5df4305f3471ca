#pragma once

// What the stand-in notification area (fixtures/fake_tray.cpp) was told by Shell_NotifyIcon.
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

inline constexpr wchar_t kTrayClass[] = L"Shell_TrayWnd";

struct TrayEvent {
    std::string message;  // "add", "mod" or "del"; with "-no" when the tray refused it
    DWORD window = 0;
    DWORD id = 0;
    DWORD flags = 0;
    DWORD callback = 0;
    std::wstring tip;
};

// The tray Shell_NotifyIcon talks to (the first in the z-order); null if none.
HWND FindTray();
// Every event the tray has kept, oldest first.
std::vector<TrayEvent> TrayEvents();
// The events about one main window.
std::vector<TrayEvent> TrayEventsOf(HWND main);
// Adds less deletes: the icons of `main` the tray shows now.
int IconsShownFor(HWND main);
std::string Describe(const std::vector<TrayEvent>& events);

}  // namespace e2e
