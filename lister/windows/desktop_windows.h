#pragma once

// What the lister reads of the windows on the screen, and the rules by which a text
// reaches one of them.
#include <windows.h>

#include <string_view>

#include "lister/console/text_rules.h"
#include "platform/window_system.h"

namespace tarnvale::lister {

inline constexpr int kMaxClassLength = 256;
// Longer titles are listed cut short and are not offered as a text.
inline constexpr int kMaxTitleLength = static_cast<int>(kMaxTextLength);

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
// Class names are compared as Windows compares them: ignoring case.
bool HasClass(HWND window, std::wstring_view className);

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
// A window the shell keeps under the Program Manager window itself: recent Windows puts
// "WorkerW" windows there without WS_CHILD. Made by the thread that made the Program
// Manager window, or a "WorkerW" of its process. An Explorer folder window is of the
// same process but runs a thread of its own: a user may attach one, and it is not.
bool IsShellWindow(HWND desktop, HWND window);
// A window attached to the desktop: a child of it that is neither one of its own
// controls, which have WS_CHILD (an attached window keeps the style of a top-level
// one), nor the shell's own.
bool IsAttached(HWND desktop, HWND child);
// Among the attached windows, one whose class name is `text`, else one whose title is.
HWND FindAttachedWindow(HWND desktop, std::wstring_view text);
// The same among the shell's own windows under the desktop window.
HWND FindShellWindow(HWND desktop, std::wstring_view text);
// Whether `text` is the only class name of this window among the top-level windows
// (top-level = false: among the attached windows) so that it keeps naming it.
bool ClassIsUnique(HWND parent, std::wstring_view className);
bool IsTopLevel(HWND window);
// A top-level window whose class name, else title, is `text` as the wide calls compare
// them: one that tarnvale.exe's ANSI lookup may still miss.
HWND FindNamedWindow(std::wstring_view text);

// How a text gets to tarnvale.exe: typed on cmd's line as the lister prints it, or
// passed by CreateProcess with no shell between.
enum class Passing { Typed, Direct };

// The text that names `window` for tarnvale.exe: its class name while no other window
// has that class (it stays when the title changes), else its title, else a shared
// class name that finds it for now. Empty when none does. `windows` makes the lookups
// as tarnvale.exe makes them.
std::wstring_view ChooseText(WindowLookup& windows, HWND window, const WindowTexts& texts,
                             Passing passing);
// Why ChooseText finds no text for the window, passed or typed.
const wchar_t* WhyNoText(WindowLookup& windows, const WindowTexts& texts);
// The same rule among the windows attached to `desktop`, for --release.
std::wstring_view ChooseAttachedText(HWND desktop, HWND window, const WindowTexts& texts);

}  // namespace tarnvale::lister
