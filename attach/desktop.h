#pragma once

#include <optional>
#include <string_view>

#include "attach/target_text.h"
#include "platform/window_system.h"

namespace tarnvale {

// What the program knows about the window it keeps on the desktop.
struct TargetState {
    WindowHandle targetWindow = 0;   // the attached window; 0 = none
    WindowHandle desktopWindow = 0;  // the "progman" window found by the last attach or tick
    TargetText targetText;           // the command-line text naming the target
};

inline constexpr std::wstring_view kDesktopClass = L"progman";
inline constexpr std::int32_t kTopmostExStyle = 0x8;  // WS_EX_TOPMOST

// The rule by which a text names a window, for every lookup of both programs: the window
// whose class name is `text`, else the one whose title is. `find(className, title)` looks
// one up, std::nullopt standing for the text not given; what it returns tests false for
// none.
template <typename Find>
auto FindByClassThenTitle(std::wstring_view text, Find find)
{
    const auto byClass = find(std::optional<std::wstring_view>(text),
                              std::optional<std::wstring_view>());
    return byClass ? byClass : find(std::optional<std::wstring_view>(),
                                    std::optional<std::wstring_view>(text));
}

// A top-level window whose class name is `text`, else one whose title is `text`; 0 if none.
WindowHandle FindTargetWindow(WindowLookup& windows, std::wstring_view text);

// Makes the desktop's "progman" window, looked up afresh, the parent of `window`.
void AttachToDesktop(WindowSystem& windows, TargetState& state, WindowHandle window);

bool IsWindowTopmost(WindowLookup& windows, WindowHandle window);

}  // namespace tarnvale
