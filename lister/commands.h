#pragma once

// The lister's jobs. Each returns the process's exit code.
#include <string_view>

#include "lister/output.h"
#include "lister/window_process.h"
#include "platform/window_system.h"

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

// How long the run at sign-in waits for the window: Windows starts the Startup folder's
// items late, on purpose, and a program may take its time at sign-in.
inline constexpr unsigned kSignInWaitMinutes = 5;

// Prints the windows tarnvale.exe can be given, each with the command line that
// attaches it, then those attached to the desktop. `all` lists the left-out ones too.
int ListWindows(Output& out, bool all);

// Makes the window attached to the desktop that `text` names an ordinary window again.
int ReleaseWindow(Output& out, std::wstring_view text);

// Waits for the next left click anywhere, which does not reach its window, and starts
// tarnvale.exe from this program's folder with the text that names the top-level
// window clicked. Esc or a right click cancels.
int PickWindow(Output& out);

// Waits until tarnvale.exe would find a top-level window by `text`, up to `seconds`.
int WaitForWindow(Output& out, unsigned seconds, std::wstring_view text);
// The window tarnvale.exe finds by `text`, looked for ten times a second for up to `ms`;
// 0 when none came.
WindowHandle AwaitWindow(WindowSystem& windows, std::wstring_view text, ULONGLONG ms);

// Keeps the window that `text` names on the desktop at every sign-in, with a shortcut in
// the Startup folder that starts its program again if need be, then tarnvale.exe.
int KeepTextAtSignIn(Output& out, std::wstring_view text);
// The same for a window found already: `title` names the shortcut, `program` is the
// window's program as read; the window's place is kept with it.
int KeepAtSignIn(Output& out, std::wstring_view text, std::wstring_view title, HWND window,
                 WindowProgram& program);
// Says why the window of `program` cannot be kept at every sign-in; false when it can.
bool SayIfNotKeptAtSignIn(Output& out, const WindowProgram& program);
// Says that the window's program runs above the lister, and what to do.
void SayRunAsAdministrator(Output& out);

// Removes the shortcuts that keep `text` at every sign-in, or else the one named after
// `text` as a window's title.
int ForgetText(Output& out, std::wstring_view text);

// The run at sign-in that a shortcut starts, with its arguments: starts the window's
// program if need be, waits for the window, then starts tarnvale.exe.
int RunAtSignIn(std::wstring_view arguments);

// A text kept at every sign-in, with the line that removes its shortcut.
struct KeptShortcut;
void PrintKept(Output& out, const KeptShortcut& kept);

// One window's class name and title, for all of them.
void PrintTexts(Output& out, std::wstring_view className, std::wstring_view title, bool titleCut);

}  // namespace tarnvale::lister
