#include "about/about_layout.h"

#include <cmath>

namespace tarnvale::about {

int TwipsToPixels(float twips, int dpi)
{
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / kTwipsPerInch));
}

PixelRect ToPixels(const TwipsRect& box, int dpi)
{
    const int left = TwipsToPixels(box.left, dpi);
    const int top = TwipsToPixels(box.top, dpi);
    const int right = TwipsToPixels(box.left + box.width, dpi);
    const int bottom = TwipsToPixels(box.top + box.height, dpi);
    return {left, top, right - left, bottom - top};
}

int FontPixelHeight(float points, int dpi)
{
    return static_cast<int>(std::lround(static_cast<double>(points) * dpi / kPointsPerInch));
}

float CentredLeft(float outerWidth, float innerWidth)
{
    return (outerWidth - innerWidth) / 2.0f;
}

TwipsRect DismissAtLoad()
{
    TwipsRect dismiss = kDismissDesign;
    dismiss.left = CentredLeft(kPanel.width, kDismissDesign.width);
    return dismiss;
}

PixelPoint CentredOrigin(const PixelRect& area, int windowWidth, int windowHeight)
{
    const int x = area.left + (area.width - windowWidth) / 2;
    const int y = area.top + (area.height - windowHeight) / 2;
    return {x < area.left ? area.left : x, y < area.top ? area.top : y};
}

}  // namespace tarnvale::about
