#pragma once

// What the lister reads of the windows on the screen, and the rules by which a text
// reaches one of them.
#include <windows.h>

#include <string_view>

#include "platform/window_system.h"

namespace tarnvale::lister {

inline constexpr int kMaxClassLength = 256;
// Longer titles are listed cut short and are not offered as a text.
inline constexpr int kMaxTitleLength = 1024;

struct WindowTexts {
    wchar_t className[kMaxClassLength + 1] = {};
    wchar_t title[kMaxTitleLength + 1] = {};
    int classLength = 0;
    int titleLength = 0;
    bool titleCut = false;

    std::wstring_view Class() const { return {className, static_cast<std::size_t>(classLength)}; }
    std::wstring_view Title() const { return {title, static_cast<std::size_t>(titleLength)}; }
};

void ReadTexts(HWND window, WindowTexts& texts);

// Why a text cannot be given on a command line, or Fine.
enum class Typing { Fine, Blank, Untypable, LeadingBlank };
Typing HowTyped(std::wstring_view text);
std::size_t TrailingBlanks(std::wstring_view text);

// The running copies of tarnvale.exe, known by their hidden main windows.
struct RunningCopies {
    static constexpr int kMaxCopies = 64;
    DWORD processIds[kMaxCopies] = {};
    int count = 0;

    bool Owns(HWND window) const;
};
RunningCopies FindRunningCopies();

// The Program Manager window, looked up as tarnvale.exe looks it up.
HWND FindDesktopWindow();
// A window attached to the desktop: a child of it that is not one of its own controls,
// which have WS_CHILD (an attached window keeps the style of a top-level one).
bool IsAttached(HWND desktop, HWND child);
// Among the attached windows, one whose class name is `text`, else one whose title is.
HWND FindAttachedWindow(HWND desktop, std::wstring_view text);
// Whether `text` is the only class name of this window among the top-level windows
// (top-level = false: among the attached windows) so that it keeps naming it.
bool ClassIsUnique(HWND parent, std::wstring_view className);
bool IsTopLevel(HWND window);

}  // namespace tarnvale::lister
