#pragma once

// The window system as the lister asks it: the lookups that tarnvale.exe makes, through
// the same code (ANSI text, no best fit), so that a text the lister offers is one that
// tarnvale.exe finds.
#include <windows.h>

#include "platform/win32_handles.h"
#include "platform/window_system.h"

namespace tarnvale::lister {

class LookupWindowSystem final : public WindowSystem {
public:
    WindowHandle FindWindowA(std::optional<std::wstring_view> className,
                             std::optional<std::wstring_view> title) override;
    std::int32_t IsWindow(WindowHandle window) override;
    std::int32_t GetWindowLongA(WindowHandle window, WindowLong index) override;
    WindowHandle GetForegroundWindow() override;

    // The lister has no icon, menu or window of its own, and changes parents through
    // ParentChanger directly: nothing asks for these.
    bool SetParent(WindowHandle, WindowHandle, AnswerWait) override { return false; }
    bool Shell_NotifyIconA(NotifyIconMessage, const NotifyIconDataA&) override { return false; }
    void ShowMessageBox(std::wstring_view, std::wstring_view, MessageBoxIcon) override {}
    void EndProcess(std::uint32_t) override {}
    MenuChoice ShowPopupMenu() override { return MenuChoice::None; }
    void ShowAboutWindow() override {}
    void CloseAboutWindow() override {}
    void CloseMainWindow() override {}
};

}  // namespace tarnvale::lister
