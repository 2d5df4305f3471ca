#pragma once

// The program's icon and its popup menu, driven from outside as the shell and a user do.
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

inline constexpr UINT kIconCallbackMessage = 0x200;

// Posts the icon's callback to the main window with `mouseMessage` in lParam.
void PostIconCallback(HWND main, UINT mouseMessage);
// A visible popup menu ("#32768") of the process; null if none.
HWND FindPopupMenuOf(DWORD processId);

struct MenuView {
    bool readable = false;   // false when the window system keeps the menu from us
    std::vector<std::wstring> items;  // "-" for a separator
};
MenuView ReadPopupMenu(HWND menu);
std::string Describe(const MenuView& menu);

// Dismissing and choosing, as keys reach the menu's modal loop.
void PressEscape(HWND menu);
void PressKey(HWND menu, WPARAM virtualKey);
void ChooseByMnemonic(HWND menu, wchar_t mnemonic);

}  // namespace e2e
