#include "attach/desktop.h"
#include "lister/commands.h"
#include "lister/windows/desktop_windows.h"
#include "lister/windows/print_window.h"
#include "platform/win32_change_parent.h"
#include "platform/win32_handles.h"
#include "platform/win32_window_lookup.h"

namespace tarnvale::lister {

namespace {

// A running Tarnvale re-attaches within a tick or two of 50 ms; this allows for a busy
// machine.
constexpr DWORD kReattachWatchMs = 500;
constexpr DWORD kPollMs = 10;

// A Tarnvale leaves the foreground window alone, and a window given back may just have
// been handed the foreground (the window manager may do so again a moment later): keep
// handing it to `giveTo`, so that a Tarnvale holding the window shows itself.
bool AttachedAgainWithin(HWND desktop, HWND window, HWND giveTo, DWORD ms)
{
    for (DWORD waited = 0;; waited += kPollMs) {
        if (IsAttached(desktop, window))
            return true;
        if (waited >= ms || !IsWindow(window))
            return false;
        if (giveTo && GetForegroundWindow() == window)
            SetForegroundWindow(giveTo);
        Sleep(kPollMs);
    }
}

}  // namespace

int ReleaseWindow(Output& out, std::wstring_view text)
{
    const HWND desktop = FindDesktopWindow();
    const HWND window = FindAttachedWindow(desktop, text);
    if (const HWND shellWindow = window ? nullptr : FindShellWindow(desktop, text)) {
        PrintWindow(out, shellWindow);
        out.Text(L"Not released: this is a window of the shell's own, part of the desktop, not")
            .Line().Text(L"one that was attached to it.").Line();
        return kNotReleased;
    }
    if (!window) {
        out.Text(L"No window attached to the desktop has the class name or title ")
            .Bracketed(text).Text(L".").Line();
        Win32WindowLookup windows;
        if (const WindowHandle topLevel = FindTargetWindow(windows, text); topLevel != 0) {
            out.Text(L"This one is an ordinary window already:").Line();
            PrintWindow(out, ToHwnd(topLevel));
        }
        return kNothingFound;
    }
    PrintWindow(out, window);
    const HWND foreground = GetForegroundWindow();
    // Given back as tarnvale.exe gives it back: in its place on the screen, and with a
    // time limit however its program behaves.
    ParentChanger changer;
    const ParentChange change = changer.Change(window, nullptr, AnswerWait::Long);
    if (change == ParentChange::NotAnswering) {
        out.Text(L"Not released: the window's program does not answer.").Line();
        return kNotReleased;
    }
    if (change == ParentChange::CouldNotTry) {
        out.Text(L"Not released: the system has no room for the change now; try again.").Line();
        return kNotReleased;
    }
    if (change == ParentChange::Unfinished) {
        out.Text(L"Not released in time: the window's program stopped answering during the")
            .Line().Text(L"change. It may be released once it answers again; run this again to see.")
            .Line();
        return kNotReleased;
    }
    const bool changed = change == ParentChange::Done;
    const RunningCopies copies = FindRunningCopies();
    // A tick of a Tarnvale that holds it may come between the change and this look.
    const bool loose = IsTopLevel(window);
    if (!changed || (!loose && (copies.count == 0 || !IsAttached(desktop, window)))) {
        out.Text(L"Not released: Windows refused to change its parent (is its program run as")
            .Line().Text(L"administrator?).").Line();
        return kNotReleased;
    }
    if (copies.count > 0) {
        const HWND giveTo = foreground && foreground != window ? foreground : GetConsoleWindow();
        if (!loose || AttachedAgainWithin(desktop, window, giveTo, kReattachWatchMs)) {
            out.Text(L"A running Tarnvale holds this window: it attached it again at once. "
                     L"Choose").Line()
                .Text(L"\"Exit\" on that copy's icon in the notification area to give it "
                      L"back.").Line();
            return kHeld;
        }
    }
    out.Text(L"Released: it is an ordinary window again.").Line();
    if (copies.count > 0 && GetForegroundWindow() == window)
        out.Text(L"If a running Tarnvale holds it, that copy attaches it again once you "
                 L"switch to").Line()
            .Text(L"another window; choose \"Exit\" on its icon then.").Line();
    return kDone;
}

}  // namespace tarnvale::lister
