#pragma once

#include <cstdint>

namespace tarnvale {

inline constexpr std::uint32_t kRightButtonDown = 0x204;  // WM_RBUTTONDOWN

// The shell's callback arrives as a mouse move whose horizontal coordinate, in pixels,
// is the mouse message that happened on the icon. Only a right-button press opens the menu.
bool OpensPopupMenu(float horizontalCoordinate);

// The horizontal coordinate of a mouse-move message: the low word of its lParam.
float HorizontalCoordinate(std::uint32_t lParam);

}  // namespace tarnvale
