#pragma once

// The shared ground of the end-to-end cases: the stand-in shell and notification area,
// and starting the programs under test from the folder they were built into.
#include <gtest/gtest.h>

#include <string>

#include "harness/harness.h"
#include "harness/message_box.h"
#include "harness/popup_menu.h"
#include "harness/tray_log.h"

namespace e2e {

inline constexpr wchar_t kMainWindowClass[] = L"TarnvaleMain";
// Generous: a Wine GUI program takes 2 to 3 s to start here, more on a loaded machine.
inline constexpr DWORD kStartTimeoutMs = 20000;
// The limits the program promises: gone within 2 s of OK or close, re-attached within
// 200 ms (asserted with the slack this shared machine needs, and printed).
inline constexpr DWORD kEndLimitMs = 2000;
inline constexpr DWORD kReattachLimitMs = 2000;
// How long a case watches for something that must not happen: 20 watchdog ticks.
inline constexpr DWORD kWatchMs = 1000;

class Session : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

    // The stand-in shell, its Program Manager window's corner at `origin`.
    static ChildProcess StartShell(POINT origin = {0, 0});
    static ChildProcess StartTray();
    // Starts the target fixture and waits for its window of `className`.
    static ChildProcess StartTarget(const std::wstring& className, const std::wstring& options = L"");
    // Starts tarnvale.exe with `targetText` after the program name and one space.
    static ChildProcess StartTarnvale(const std::wstring& targetText);
    static ChildProcess StartTarnvaleWithCommandLine(const std::wstring& commandLine);
    static std::wstring TarnvalePath();

    // Waits for the program's hidden main window, that is for its start-up to be done.
    static HWND WaitForMainWindow(const ChildProcess& tarnvale);
    static bool WaitForParent(const std::wstring& className, const std::string& parent,
                              DWORD timeoutMs = kStartTimeoutMs);
    static HWND WaitForMessageBox(const ChildProcess& process, DWORD timeoutMs = kStartTimeoutMs);
    static HWND WaitForPopupMenu(const ChildProcess& process, DWORD timeoutMs = kStartTimeoutMs);
    // Gives `window` the foreground and waits until the window system reports it.
    static bool GiveForeground(HWND window);
    // Keeps the foreground with `window` until `done` holds: the window manager may hand
    // it to a newly mapped window a moment later. Milliseconds from the last time `window`
    // got the foreground until `done` held, or -1 when it did not within `timeoutMs`.
    static long long HoldForegroundUntil(HWND window, const std::function<bool()>& done,
                                         DWORD timeoutMs = kStartTimeoutMs);
    // Closes every running Tarnvale, as its "Exit" does, whoever started it.
    static void CloseEveryTarnvale();
    // Milliseconds from now until `done` holds, or -1 when it did not within `timeoutMs`.
    static long long MeasureUntil(const std::function<bool()>& done, DWORD timeoutMs);

    static ChildProcess shell_;
    static ChildProcess tray_;
};

}  // namespace e2e
