#include "lister/sign_in/window_place.h"

#include <gtest/gtest.h>

namespace tarnvale::lister {
namespace {

// Two 1920x1080 monitors side by side, the second left of the primary, each with a task
// bar at its bottom.
constexpr Monitor kTwo[] = {
    {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}},
    {{-1920, 0, 0, 1080}, {-1920, 0, 0, 1040}},
};

TEST(WindowPlace, APlaceEveryMonitorStillShowsIsKeptAsItIs)
{
    for (const ScreenRect rect : {ScreenRect{560, 380, 840, 570}, ScreenRect{-1500, 20, -1200, 300},
                                  ScreenRect{-100, 100, 100, 300},  // across both monitors
                                  ScreenRect{0, 1000, 300, 1080}})   // over the task bar
        EXPECT_EQ(FitOnMonitors(rect, kTwo), rect) << rect.left << "," << rect.top;
    EXPECT_EQ(FitOnMonitors({5000, 5000, 5100, 5100}, {}), (ScreenRect{5000, 5000, 5100, 5100}));
}

TEST(WindowPlace, AMonitorGoneOrAScreenMadeSmallerBringsTheWindowOntoTheNearestWorkArea)
{
    // The left monitor gone: onto the primary's work area, at its nearest edge.
    const Monitor primary[] = {kTwo[0]};
    EXPECT_EQ(FitOnMonitors({-1500, 20, -1200, 300}, primary), (ScreenRect{0, 20, 300, 300}));
    // The screen smaller: a window beyond its right and bottom edges comes back inside.
    const Monitor small[] = {{{0, 0, 1280, 720}, {0, 0, 1280, 680}}};
    EXPECT_EQ(FitOnMonitors({1800, 900, 2100, 1000}, small), (ScreenRect{980, 580, 1280, 680}));
    // Partly off a monitor: onto the one that shows most of it.
    EXPECT_EQ(FitOnMonitors({1800, 100, 2000, 200}, kTwo), (ScreenRect{1720, 100, 1920, 200}));
    // Below both: onto the closer one.
    EXPECT_EQ(FitOnMonitors({-300, 2000, -100, 2100}, kTwo), (ScreenRect{-300, 940, -100, 1040}));
    // Larger than the work area: made as large as it.
    EXPECT_EQ(FitOnMonitors({-10, -10, 3000, 2000}, small), (ScreenRect{0, 0, 1280, 680}));
}

}  // namespace
}  // namespace tarnvale::lister
