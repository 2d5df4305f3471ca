#include "tray/icon_callback.h"

namespace tarnvale {

bool OpensPopupMenu(float horizontalCoordinate)
{
    return horizontalCoordinate == static_cast<float>(kRightButtonDown);
}

float HorizontalCoordinate(std::uint32_t lParam)
{
    return static_cast<float>(lParam & 0xFFFFu);
}

}  // namespace tarnvale
