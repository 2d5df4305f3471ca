#pragma once

// The lookups as Windows makes them, one implementation for both programs: the lister
// offers a text only when tarnvale.exe would find its window by it.
#include "platform/window_system.h"

namespace tarnvale {

// Overrides the lookups of `Seam`: WindowLookup for the lister, WindowSystem for
// tarnvale.exe, whose other operations a class derived from this one adds.
template <typename Seam>
class Win32Lookups : public Seam {
public:
    // Passes over the windows of the calling process: start-up looks the text up once
    // tarnvale.exe's hidden main window exists, and a tick that waited on its own thread
    // would stall it.
    WindowHandle FindWindowA(std::optional<std::wstring_view> className,
                             std::optional<std::wstring_view> title) override;
    std::int32_t IsWindow(WindowHandle window) override;
    std::int32_t GetWindowLongA(WindowHandle window, WindowLong index) override;
    WindowHandle GetForegroundWindow() override;
};

using Win32WindowLookup = Win32Lookups<WindowLookup>;

}  // namespace tarnvale
