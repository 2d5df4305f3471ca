#pragma once

#include <windows.h>
#include <shellapi.h>

#include "platform/callback.h"
#include "platform/win32_change_parent.h"
#include "platform/win32_handles.h"
#include "platform/win32_window_lookup.h"
#include "platform/window_system.h"

namespace tarnvale {

// The record in the layout this build's Shell_NotifyIconA takes.
NOTIFYICONDATAA ToNativeNotifyIconData(const NotifyIconDataA& record);

// The window system as Windows gives it, with the lookups that the lister makes too. The
// About window comes through the two callbacks, so that this file knows nothing of its
// layout.
class Win32WindowSystem final : public Win32Lookups<WindowSystem> {
public:
    explicit Win32WindowSystem(HINSTANCE instance) : instance_(instance) {}

    void SetMainWindow(HWND window) { mainWindow_ = window; }
    void SetAboutWindow(Callback show, Callback close)
    {
        showAbout_ = show;
        closeAbout_ = close;
    }

    bool SetParent(WindowHandle child, WindowHandle newParent, AnswerWait wait) override;
    bool Shell_NotifyIconA(NotifyIconMessage message, const NotifyIconDataA& record) override;

    void ShowMessageBox(std::wstring_view text, std::wstring_view caption,
                        MessageBoxIcon icon) override;
    [[noreturn]] void EndProcess(std::uint32_t exitCode) override;
    MenuChoice ShowPopupMenu() override;
    void ShowAboutWindow() override;
    void CloseAboutWindow() override;
    void CloseMainWindow() override;

private:
    HINSTANCE instance_;
    HWND mainWindow_ = nullptr;
    Callback showAbout_;
    Callback closeAbout_;
    ParentChanger parentChanger_;
};

}  // namespace tarnvale
