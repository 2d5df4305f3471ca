#include "platform/win32_window_system.h"

#include <algorithm>
#include <cstring>

#include "platform/win32_find_window.h"
#include "resources/resource_ids.h"

namespace tarnvale {

namespace {

// A NUL-terminated copy of a text for a wide call that takes no length. Message box
// texts are the program's own and short; a longer one is cut, never overrun.
struct WideZ {
    explicit WideZ(std::wstring_view from)
    {
        const std::size_t length = std::min(from.size(), sizeof text / sizeof text[0] - 1);
        std::copy_n(from.data(), length, text);
        text[length] = L'\0';
    }
    wchar_t text[256];
};

// The shell's record as this build's ABI lays it out: on 32-bit Windows exactly the 88
// bytes the logic keeps, on 64-bit Windows wider handles with padding before them.
constexpr bool kWideHandles = sizeof(HWND) == 8;
static_assert(NOTIFYICONDATAA_V1_SIZE == (kWideHandles ? 104 : sizeof(NotifyIconDataA)));
static_assert(offsetof(NOTIFYICONDATAA, hWnd) == (kWideHandles ? 8 : 4));
static_assert(offsetof(NOTIFYICONDATAA, uID) == (kWideHandles ? 16 : 8));
static_assert(offsetof(NOTIFYICONDATAA, uFlags) == (kWideHandles ? 20 : 12));
static_assert(offsetof(NOTIFYICONDATAA, uCallbackMessage) == (kWideHandles ? 24 : 16));
static_assert(offsetof(NOTIFYICONDATAA, hIcon) == (kWideHandles ? 32 : 20));
static_assert(offsetof(NOTIFYICONDATAA, szTip) == (kWideHandles ? 40 : 24));
// The first version's tip: the 64 bytes up to the end of that version's record.
static_assert(offsetof(NOTIFYICONDATAA, szTip) + sizeof(NotifyIconDataA::szTip) ==
              NOTIFYICONDATAA_V1_SIZE);

}  // namespace

NOTIFYICONDATAA ToNativeNotifyIconData(const NotifyIconDataA& record)
{
    NOTIFYICONDATAA data{};
    if constexpr (!kWideHandles) {
        // The very bytes the logic made; the shell reads cbSize and takes only those.
        std::memcpy(&data, &record, sizeof record);
    } else {
        // The same record in the 64-bit layout, whose first version is larger.
        data.cbSize = NOTIFYICONDATAA_V1_SIZE;
        data.hWnd = ToHwnd(record.hWnd);
        data.uID = record.uID;
        data.uFlags = record.uFlags;
        data.uCallbackMessage = record.uCallbackMessage;
        data.hIcon = reinterpret_cast<HICON>(ToHwnd(record.hIcon));
        std::memcpy(data.szTip, record.szTip.data(), sizeof record.szTip);
    }
    return data;
}

bool Win32WindowSystem::SetParent(WindowHandle child, WindowHandle newParent, AnswerWait wait)
{
    return parentChanger_.Change(ToHwnd(child), ToHwnd(newParent), wait) == ParentChange::Done;
}

bool Win32WindowSystem::Shell_NotifyIconA(NotifyIconMessage message,
                                          const NotifyIconDataA& record)
{
    NOTIFYICONDATAA data = ToNativeNotifyIconData(record);
    return ::Shell_NotifyIconA(static_cast<DWORD>(message), &data) != FALSE;
}

void Win32WindowSystem::ShowMessageBox(std::wstring_view text, std::wstring_view caption,
                                       MessageBoxIcon icon)
{
    const WideZ textZ(text);
    const WideZ captionZ(caption);
    MessageBoxW(nullptr, textZ.text, captionZ.text, MB_OK | static_cast<UINT>(icon));
}

void Win32WindowSystem::EndProcess(std::uint32_t exitCode)
{
    ExitProcess(exitCode);
}

MenuChoice Win32WindowSystem::ShowPopupMenu()
{
    const HMENU bar = LoadMenuW(instance_, MAKEINTRESOURCEW(IDM_MAIN));
    if (!bar)
        return MenuChoice::None;
    POINT cursor{};
    GetCursorPos(&cursor);
    // Without the foreground, a click elsewhere or Esc would leave the menu open.
    SetForegroundWindow(mainWindow_);
    const UINT command = static_cast<UINT>(TrackPopupMenu(
        GetSubMenu(bar, 0), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD,
        cursor.x, cursor.y, 0, mainWindow_, nullptr));
    PostMessageW(mainWindow_, WM_NULL, 0, 0);
    DestroyMenu(bar);
    switch (command) {
    case IDM_ABOUT:
        return MenuChoice::About;
    case IDM_EXIT:
        return MenuChoice::Exit;
    default:
        return MenuChoice::None;
    }
}

void Win32WindowSystem::ShowAboutWindow()
{
    showAbout_();
}

void Win32WindowSystem::CloseAboutWindow()
{
    closeAbout_();
}

void Win32WindowSystem::CloseMainWindow()
{
    SendMessageW(mainWindow_, WM_CLOSE, 0, 0);
}

}  // namespace tarnvale
