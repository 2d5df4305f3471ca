#include "tray/tray_record.h"

#include <algorithm>

namespace tarnvale {

TrayRecord MakeTrayRecord(WindowHandle mainWindow, IconHandle icon)
{
    TrayRecord record;
    record.cbSize = kTrayRecordSize;
    record.hIcon = icon;
    record.hWnd = mainWindow;
    record.szTip.fill(L' ');
    std::copy(kTrayTip.begin(), kTrayTip.end(), record.szTip.begin());
    record.szTip[kTrayTip.size()] = L'\0';
    record.uCallbackMessage = kTrayCallbackMessage;
    record.uFlags = kTrayFlags;
    record.uID = kTrayIconId;
    return record;
}

NotifyIconDataA ToNotifyIconDataA(const TrayRecord& record)
{
    NotifyIconDataA data{};
    data.cbSize = record.cbSize;
    data.hWnd = record.hWnd;
    data.uID = record.uID;
    data.uFlags = record.uFlags;
    data.uCallbackMessage = record.uCallbackMessage;
    data.hIcon = record.hIcon;
    // The tip is fixed ASCII text, the same in every ANSI code page.
    std::transform(record.szTip.begin(), record.szTip.end(), data.szTip.begin(),
                   [](wchar_t c) { return c < 0x80 ? static_cast<char>(c) : '?'; });
    return data;
}

bool AddTrayIcon(WindowSystem& windows, const TrayRecord& record)
{
    return windows.Shell_NotifyIconA(NotifyIconMessage::Add, ToNotifyIconDataA(record));
}

bool ModifyTrayIcon(WindowSystem& windows, const TrayRecord& record)
{
    return windows.Shell_NotifyIconA(NotifyIconMessage::Modify, ToNotifyIconDataA(record));
}

bool DeleteTrayIcon(WindowSystem& windows, const TrayRecord& record)
{
    return windows.Shell_NotifyIconA(NotifyIconMessage::Delete, ToNotifyIconDataA(record));
}

}  // namespace tarnvale
