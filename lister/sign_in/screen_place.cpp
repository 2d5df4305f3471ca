#include "lister/sign_in/screen_place.h"

namespace tarnvale::lister {

namespace {

constexpr std::size_t kMostMonitors = 32;

ScreenRect FromRect(const RECT& rect)
{
    return {rect.left, rect.top, rect.right, rect.bottom};
}

struct Monitors {
    Monitor list[kMostMonitors];
    std::size_t count = 0;
};

BOOL CALLBACK AddMonitor(HMONITOR handle, HDC, LPRECT, LPARAM context)
{
    Monitors& monitors = *reinterpret_cast<Monitors*>(context);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (monitors.count < kMostMonitors && GetMonitorInfoW(handle, &info))
        monitors.list[monitors.count++] = {FromRect(info.rcMonitor), FromRect(info.rcWork)};
    return TRUE;
}

// GetWindowPlacement gives a top-level window's restored rectangle in workspace
// coordinates: the primary monitor's work area is their origin, unless the window is a
// tool window. A child window's are its parent's client coordinates.
POINT WorkspaceOrigin(HWND window)
{
    POINT origin{};
    const HWND parent = GetAncestor(window, GA_PARENT);
    if (parent && parent != GetDesktopWindow()) {
        MapWindowPoints(parent, HWND_DESKTOP, &origin, 1);
        return origin;
    }
    if (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)
        return origin;
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &info)) {
        origin.x = info.rcWork.left - info.rcMonitor.left;
        origin.y = info.rcWork.top - info.rcMonitor.top;
    }
    return origin;
}

bool IsAt(HWND window, const ScreenRect& rect, bool maximized)
{
    RECT now{};
    if (maximized)
        return IsZoomed(window) != FALSE;
    return !IsIconic(window) && !IsZoomed(window) && GetWindowRect(window, &now) &&
           FromRect(now) == rect;
}

}  // namespace

WindowPlace ReadWindowPlace(HWND window)
{
    WindowPlace place;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!window || !GetWindowPlacement(window, &placement))
        return place;
    place.maximized = placement.showCmd == SW_SHOWMAXIMIZED ||
                      (IsIconic(window) && (placement.flags & WPF_RESTORETOMAXIMIZED));
    RECT rect{};
    if (!IsIconic(window) && !IsZoomed(window) && GetWindowRect(window, &rect)) {
        place.rect = FromRect(rect);
    } else {
        const POINT origin = WorkspaceOrigin(window);
        place.rect = FromRect(placement.rcNormalPosition);
        place.rect.left += origin.x;
        place.rect.right += origin.x;
        place.rect.top += origin.y;
        place.rect.bottom += origin.y;
    }
    place.known = IsPlausible({true, place.rect, place.maximized});
    return place;
}

bool PutWindowAt(HWND window, const WindowPlace& place, DWORD waitMs)
{
    if (!window || !IsPlausible(place))
        return false;
    Monitors monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    const ScreenRect rect = FitOnMonitors(place.rect, {monitors.list, monitors.count});
    // Async: a program that stops answering cannot hold up the sign-in.
    if (IsIconic(window) || IsZoomed(window))
        ShowWindowAsync(window, SW_SHOWNOACTIVATE);
    SetWindowPos(window, nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
    if (place.maximized)
        ShowWindowAsync(window, SW_SHOWMAXIMIZED);
    const ULONGLONG deadline = GetTickCount64() + waitMs;
    while (!IsAt(window, rect, place.maximized)) {
        if (GetTickCount64() >= deadline || !IsWindow(window))
            return false;
        Sleep(20);
    }
    return true;
}

}  // namespace tarnvale::lister
