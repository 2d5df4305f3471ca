#pragma once

// Waiting for a window to come, as --wait and the run at sign-in do.
#include <windows.h>

#include <string_view>

#include "platform/window_system.h"

namespace tarnvale::lister {

// The window tarnvale.exe finds by `text`, looked for ten times a second for up to `ms`;
// 0 when none came.
WindowHandle AwaitWindow(WindowLookup& windows, std::wstring_view text, ULONGLONG ms);

}  // namespace tarnvale::lister
