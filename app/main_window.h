#pragma once

#include <cstdint>
#include <string_view>

#include "attach/desktop.h"
#include "platform/window_system.h"
#include "tray/tray_record.h"

namespace tarnvale {

// An array, NUL-terminated: it is the main window's caption too.
inline constexpr wchar_t kAppCaption[] = L"Tarnvale";
inline constexpr std::wstring_view kUsageText = L"Usage: tarnvale windowtitle/classname";
inline constexpr std::wstring_view kNotFoundText = L"Window not found!";
// So that a batch file or the Task Scheduler can tell a run that failed.
inline constexpr std::uint32_t kUsageExitCode = 1;
inline constexpr std::uint32_t kNotFoundExitCode = 2;

// The hidden main window's logic and all the program's state. The window itself,
// its timer and its menu are the toolkit's; this class is what they call.
class MainWindow {
public:
    MainWindow(WindowSystem& windows, WindowHandle self, IconHandle icon);

    enum class StartResult { Running, Ended, Closed };
    // The start-up sequence. Ended means the process was told to end (after a message
    // box) and nothing was attached or added; Closed, that the window closed (or the
    // session ended) while start-up added the icon, and all was undone.
    StartResult Start(std::wstring_view commandLine);

    void OnTimerTick();
    // The icon's callback, as the mouse-move message's lParam.
    void OnIconCallback(std::uint32_t lParam);
    void OnMenuAbout();
    void OnMenuExit();
    // Runs once before the main window goes, whatever closes it.
    void OnClosing();
    // The session is about to end (WM_QUERYENDSESSION): the window goes back to being
    // top-level, so that Windows asks its program as it asks every top-level window,
    // and stays so until the end is known.
    void OnSessionEnding();
    // The end of the session was cancelled: ticks attach the window again.
    void OnSessionEndCancelled();
    // The shell made its notification area anew ("TaskbarCreated"): Explorer restarted,
    // or the display's scale changed while the icon stayed.
    void OnTaskbarCreated();

    const TrayRecord& trayRecord() const { return trayRecord_; }
    const TargetState& target() const { return target_; }

private:
    enum class Stage {
        NotStarted,  // nothing attached or added
        AddingIcon,  // the window attached; adding the icon runs messages sent to us
        Running,
        // The end of the session announced: the window given back (or its program did
        // not answer the give-back) until the end is known; no tick attaches it meanwhile.
        SessionEndingGivenBack,
        SessionEndingNotGivenBack,
        Closed,
    };

    bool SessionEnding() const
    {
        return stage_ == Stage::SessionEndingGivenBack ||
               stage_ == Stage::SessionEndingNotGivenBack;
    }
    // Start-up is through and the window has not closed.
    bool PastStartUp() const { return stage_ == Stage::Running || SessionEnding(); }
    bool HasSomethingToUndo() const { return stage_ == Stage::AddingIcon || PastStartUp(); }
    // Makes the target a top-level window again, waiting on a busy program; true when it
    // is (or there is none).
    bool GiveBack();
    // Adds the icon, or sets it anew where the shell has it already: never two.
    void ShowIcon();

    WindowSystem& windows_;
    const WindowHandle self_;
    const IconHandle icon_;

    TrayRecord trayRecord_;
    TargetState target_;
    Stage stage_ = Stage::NotStarted;
    bool iconShown_ = false;
    unsigned ticksWithoutIcon_ = 0;
};

}  // namespace tarnvale
