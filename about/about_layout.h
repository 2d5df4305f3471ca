#pragma once

// The About window's layout as designed, in twips, and its conversion to pixels at the
// screen's DPI. No windows.h: the numbers are checked on the host.
#include <cstdint>

namespace tarnvale::about {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kPointsPerInch = 72;

// Positions are single precision, as the toolkit that the layout was designed in kept them.
struct TwipsRect {
    float left;
    float top;
    float width;
    float height;
};

struct PixelRect {
    int left;
    int top;
    int width;
    int height;

    bool operator==(const PixelRect&) const = default;
};

struct PixelPoint {
    int x;
    int y;

    bool operator==(const PixelPoint&) const = default;
};

struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

enum class Align { Left, Centre, Right };

struct LabelLook {
    TwipsRect box;
    float points;
    bool bold;
    Rgb colour;
    Align align;
};

inline constexpr float kClientWidth = 8160;
inline constexpr float kClientHeight = 2160;

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kGrey{128, 128, 128};
inline constexpr Rgb kWhite{255, 255, 255};

inline constexpr float kTitlePoints = 15.75f;
inline constexpr float kTextPoints = 9.75f;

// Label to Label3, in tab order.
inline constexpr LabelLook kTitleLabel{{2160, 120, 5895, 375}, kTitlePoints, true, kBlack, Align::Left};
inline constexpr LabelLook kNoticeLabel{{2160, 480, 5895, 375}, kTextPoints, false, kBlack, Align::Left};
inline constexpr LabelLook kQuoteLabel{{2160, 960, 5895, 375}, kTextPoints, false, kBlack, Align::Centre};
inline constexpr LabelLook kAttributionLabel{{2160, 1200, 5895, 375}, kTextPoints, false, kGrey, Align::Right};

// Picture1: reaches 15 twips below the client area and lies over Label3's lower part.
inline constexpr TwipsRect kPanel{2160, 1440, 5895, 735};
// cmdDismiss within the panel, as designed; its left is recomputed at load.
inline constexpr TwipsRect kDismissDesign{480, 120, 1455, 495};
// Image1.
inline constexpr TwipsRect kPicture{120, 120, 1920, 1920};

// Twips to pixels, rounded to the nearest pixel (15 twips a pixel at 96 DPI).
int TwipsToPixels(float twips, int dpi);

// Converts the edges rather than the size, so that boxes that meet in twips meet in pixels.
PixelRect ToPixels(const TwipsRect& box, int dpi);

// The character height in pixels of a font of `points` at `dpi`.
int FontPixelHeight(float points, int dpi);

// Where an inner box of `innerWidth` starts to be centred in `outerWidth`, in single
// precision, so half twips are kept.
float CentredLeft(float outerWidth, float innerWidth);

// cmdDismiss as it is after load: centred in the panel, top and size as designed.
TwipsRect DismissAtLoad();

// The top-left corner that centres a window of the given size in an area; a window larger
// than the area starts at the area's corner, so its caption stays on the screen.
PixelPoint CentredOrigin(const PixelRect& area, int windowWidth, int windowHeight);

}  // namespace tarnvale::about
