#include "lister/sign_in/window_place.h"

namespace tarnvale::lister {

namespace {

long long Overlap(const ScreenRect& a, const ScreenRect& b)
{
    const long left = a.left > b.left ? a.left : b.left;
    const long right = a.right < b.right ? a.right : b.right;
    const long top = a.top > b.top ? a.top : b.top;
    const long bottom = a.bottom < b.bottom ? a.bottom : b.bottom;
    if (right <= left || bottom <= top)
        return 0;
    return static_cast<long long>(right - left) * (bottom - top);
}

// How far `rect` lies from `area`: 0 when they meet, else the sum of the gaps.
long long Distance(const ScreenRect& rect, const ScreenRect& area)
{
    const auto gap = [](long low, long high, long from, long to) -> long long {
        if (high <= from)
            return static_cast<long long>(from) - high;
        if (low >= to)
            return static_cast<long long>(low) - to;
        return 0;
    };
    return gap(rect.left, rect.right, area.left, area.right) +
           gap(rect.top, rect.bottom, area.top, area.bottom);
}

// Moves [low, low + size) into [from, to), shrinking it to the room there is.
void FitSpan(long& low, long& high, long from, long to)
{
    long size = high - low;
    if (size > to - from)
        size = to - from;
    if (low < from)
        low = from;
    if (low + size > to)
        low = to - size;
    high = low + size;
}

}  // namespace

bool IsPlausible(const WindowPlace& place)
{
    const ScreenRect& r = place.rect;
    const auto within = [](long value) { return value >= -kMostCoordinate && value <= kMostCoordinate; };
    return place.known && within(r.left) && within(r.top) && within(r.right) && within(r.bottom) &&
           r.Width() > 0 && r.Height() > 0 && r.Width() <= kMostCoordinate &&
           r.Height() <= kMostCoordinate;
}

ScreenRect FitOnMonitors(const ScreenRect& rect, std::span<const Monitor> monitors)
{
    if (monitors.empty())
        return rect;
    // Monitors do not overlap: what they show of it adds up to all of it, or not.
    long long shown = 0;
    for (const Monitor& monitor : monitors)
        shown += Overlap(rect, monitor.area);
    if (shown == static_cast<long long>(rect.Width()) * rect.Height())
        return rect;
    // The monitor that shows most of it, else the closest.
    const Monitor* nearest = &monitors[0];
    long long mostShown = -1;
    long long leastDistance = -1;
    for (const Monitor& monitor : monitors) {
        const long long overlap = Overlap(rect, monitor.area);
        const long long distance = Distance(rect, monitor.area);
        if (overlap > mostShown || (overlap == 0 && mostShown == 0 && distance < leastDistance)) {
            nearest = &monitor;
            mostShown = overlap;
            leastDistance = distance;
        }
    }
    ScreenRect fitted = rect;
    FitSpan(fitted.left, fitted.right, nearest->work.left, nearest->work.right);
    FitSpan(fitted.top, fitted.bottom, nearest->work.top, nearest->work.bottom);
    return fitted;
}

}  // namespace tarnvale::lister
