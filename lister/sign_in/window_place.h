#pragma once

// Where a kept window is put back at sign-in: the place and size the user left it at,
// or, when no monitor shows all of that any more, the nearest fit on a monitor's work
// area. Plain functions with no Windows calls.
#include <cstddef>
#include <span>

namespace tarnvale::lister {

// Screen coordinates, right and bottom excluded, as Windows' RECT.
struct ScreenRect {
    long left = 0;
    long top = 0;
    long right = 0;
    long bottom = 0;

    long Width() const { return right - left; }
    long Height() const { return bottom - top; }
    bool operator==(const ScreenRect&) const = default;
};

// A window's restored rectangle on the screen, and whether it was maximized.
struct WindowPlace {
    bool known = false;
    ScreenRect rect;
    bool maximized = false;
};

// Coordinates far beyond any screen are refused, so that a place always fits in a
// LONG after any move.
inline constexpr long kMostCoordinate = 9999999;
bool IsPlausible(const WindowPlace& place);

struct Monitor {
    ScreenRect area;  // the whole monitor
    ScreenRect work;  // without the task bar and docked bars
};

// `rect` where every monitor still shows all of it (spread over several is fine);
// otherwise moved, and made smaller where it must, into the work area of the monitor
// nearest to it. Unchanged when there is no monitor at all.
ScreenRect FitOnMonitors(const ScreenRect& rect, std::span<const Monitor> monitors);

}  // namespace tarnvale::lister
