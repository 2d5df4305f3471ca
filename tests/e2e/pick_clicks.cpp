#include "pick_clicks.h"

#include <gtest/gtest.h>

#include "harness/harness.h"
#include "session.h"

namespace e2e {

void XDoTool(const std::wstring& arguments)
{
    ASSERT_TRUE(RunXDoTool(arguments)) << "cannot run /usr/bin/xdotool (scripts/setup.sh installs it)";
}

POINT CentreOf(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

std::wstring At(POINT point)
{
    return std::to_wstring(point.x) + L" " + std::to_wstring(point.y);
}

POINT Uncovered(HWND window)
{
    const POINT centre = CentreOf(window);
    EXPECT_TRUE(WaitUntil(
        [&] {
            if (GetAncestor(WindowFromPoint(centre), GA_ROOT) == window)
                return true;
            // The window manager raises what is clicked, swallowed click or not.
            SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            SetForegroundWindow(window);
            return false;
        },
        kStartTimeoutMs, 20))
        << Describe(window) << " stays covered by "
        << Describe(GetAncestor(WindowFromPoint(centre), GA_ROOT));
    return centre;
}

}  // namespace e2e
