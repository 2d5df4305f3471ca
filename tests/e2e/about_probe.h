#pragma once

// Reaching the About window from outside the program: through the icon's menu, as a user
// does, and a screenshot of what it shows.
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

inline constexpr wchar_t kAboutClass[] = L"TarnvaleAbout";
inline constexpr wchar_t kPanelClass[] = L"TarnvaleAboutPanel";

// Right-presses the icon (the callback posted to the main window) and picks "&About..."
// in the popup menu by its mnemonic. True once the menu was seen and the key sent.
bool ChooseAboutFromIconMenu(HWND main);
// The same for "&Exit".
bool ChooseExitFromIconMenu(HWND main);

// The About windows of a process, hidden ones included.
std::vector<HWND> AboutWindowsOf(DWORD processId);
// Its About window once it is shown; null if none is shown in time.
HWND WaitForAboutWindow(DWORD processId, DWORD timeoutMs);

HWND PanelOf(HWND about);
HWND DismissButtonOf(HWND about);
// The window with the keyboard focus in the thread that owns `window`.
HWND FocusInThreadOf(HWND window);

// `window`'s rectangle in the client coordinates of `reference`.
RECT RectIn(HWND window, HWND reference);

// What the screen shows in a rectangle, top row first; empty if it could not be read.
struct ScreenImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> bgra;
    COLORREF At(int x, int y) const;
};
ScreenImage CaptureScreen(const RECT& area);

// The whole screen as a 24-bit PNG; false if it could not be written.
bool SaveScreenPng(const std::wstring& path);
// Counts the pixels in a client rectangle of `window` that pass `test`, as the screen shows them.
int CountClientPixels(HWND window, const RECT& clientRect, bool (*test)(COLORREF));

// The folder kept as test artefacts: build/windows/artifacts, made if need be.
std::wstring ArtifactsFolder();

}  // namespace e2e
