#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/window_system.h"

namespace tarnvale {

inline constexpr std::uint32_t kTrayRecordSize = 88;
inline constexpr std::uint32_t kTrayIconId = 1;
inline constexpr std::uint32_t kTrayFlags = 1 | 2 | 4;  // NIF_MESSAGE | NIF_ICON | NIF_TIP
// WM_MOUSEMOVE's code: the shell's callback then reads as a mouse move.
inline constexpr std::uint32_t kTrayCallbackMessage = 0x200;
inline constexpr std::wstring_view kTrayTip = L"Tarnvale";

// The notification icon as the program keeps it: the tip as 64 wide characters.
struct TrayRecord {
    std::uint32_t cbSize = 0;
    WindowHandle hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    IconHandle hIcon = 0;
    std::array<wchar_t, 64> szTip{};
};

// Filled once at start-up: "Tarnvale", one NUL, then spaces to the end of the tip.
TrayRecord MakeTrayRecord(WindowHandle mainWindow, IconHandle icon);

// The 88-byte ANSI form the shell reads, made afresh for each call.
NotifyIconDataA ToNotifyIconDataA(const TrayRecord& record);

// Each true when the shell took it.
bool AddTrayIcon(WindowSystem& windows, const TrayRecord& record);
bool ModifyTrayIcon(WindowSystem& windows, const TrayRecord& record);
bool DeleteTrayIcon(WindowSystem& windows, const TrayRecord& record);

}  // namespace tarnvale
