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

// The hidden main window's logic and all the program's state. The window itself,
// its timer and its menu are the toolkit's; this class is what they call.
class MainWindow {
public:
    MainWindow(WindowSystem& windows, WindowHandle self, IconHandle icon);

    enum class StartResult { Running, Ended };
    // The start-up sequence. Ended means the process was told to end (after a
    // message box) and nothing was attached or added.
    StartResult Start(std::wstring_view commandLine);

    void OnTimerTick();
    // The icon's callback, as the mouse-move message's lParam.
    void OnIconCallback(std::uint32_t lParam);
    void OnMenuAbout();
    void OnMenuExit();
    // Runs once before the main window goes, whatever closes it.
    void OnClosing();

    const TrayRecord& trayRecord() const { return trayRecord_; }
    const TargetState& target() const { return target_; }

private:
    WindowSystem& windows_;
    const WindowHandle self_;
    const IconHandle icon_;

    TrayRecord trayRecord_;
    TargetState target_;
    bool running_ = false;
    bool closed_ = false;
};

}  // namespace tarnvale
