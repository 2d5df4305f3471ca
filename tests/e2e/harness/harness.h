#pragma once

// What the end-to-end tests and the probe ask of the real window system, from outside
// the program under test.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

// Polls until `done` holds or `timeoutMs` passes; true if it held.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs, DWORD pollMs = 5);

// Polls that `holds` stays true for all of `watchMs`; false at the first time it fails.
bool HoldsFor(const std::function<bool()>& holds, DWORD watchMs);

// The folder of the running executable, where the programs under test live too.
std::wstring ProgramFolder();

// A process we started, ended by its id when this goes.
class ChildProcess {
public:
    ChildProcess() = default;
    // `commandLine` is passed to CreateProcessW exactly as given.
    static ChildProcess Start(const std::wstring& commandLine);
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ~ChildProcess();

    DWORD id() const { return id_; }
    bool started() const { return process_ != nullptr; }
    bool Exited(DWORD waitMs = 0) const;
    // The process's exit code once it has exited; STILL_ACTIVE before.
    DWORD ExitCode() const;
    // Until the process first waits for input with none queued: its first windows are
    // made and shown. False after `waitMs`.
    bool WaitForIdle(DWORD waitMs) const;
    void Kill();

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// Runs xdotool on the session's X display, as a person at the mouse and keyboard acts:
// Wine starts it as the Unix program it is. Wine hands back no process to wait on, so the
// caller waits for what it does. False when it could not be started.
bool RunXDoTool(const std::wstring& arguments);

// Runs `call` on a thread of its own and waits `waitMs` for it: what it returned, or
// false if it did not return by then. For calls that Windows lets wait on another
// program without a limit.
bool CallWithin(std::function<bool()> call, DWORD waitMs);

// SetParent on another program's window, as an ended Tarnvale or another program does
// it: it waits on the window's thread, here for `waitMs` at most.
bool SetParentWithin(HWND window, HWND parent, DWORD waitMs);

// Quotes a path for a command line.
std::wstring Quoted(const std::wstring& path);

HWND FindDesktop();
// A window of this class, top-level or attached to the desktop window.
HWND FindTarget(const std::wstring& className);
// The top-level windows of a process, hidden ones included.
std::vector<HWND> TopLevelWindowsOf(DWORD processId);
HWND FindWindowOf(DWORD processId, const std::wstring& className);

std::wstring ClassOf(HWND window);
// The path of the program that made the window; empty when it cannot be read.
std::wstring ProgramOf(HWND window);
std::wstring TextOf(HWND window);
bool IsTopmost(HWND window);
// "progman", "none" (top-level) or the parent's handle: what a test compares and prints.
std::string ParentOf(HWND window);
std::string Describe(HWND window);

// The parent changes others made to a window of our target fixture (it counts them).
LONG_PTR ParentChangesSeenBy(HWND target);
// Whether the window's thread reads its messages (a hung one does not).
bool Answers(HWND window, UINT timeoutMs = 500);

std::string Narrow(std::wstring_view text);
std::wstring Widen(std::string_view text);

}  // namespace e2e
