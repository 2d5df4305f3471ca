#pragma once

#include "attach/desktop.h"

namespace tarnvale {

inline constexpr unsigned kWatchdogIntervalMs = 50;

// One timer tick: finds the target again when its handle has died, and attaches it
// again when it has come loose, unless it is topmost or in the foreground.
void WatchdogTick(WindowSystem& windows, TargetState& state);

}  // namespace tarnvale
