// Draws the program's icon and About picture and encodes them as .ico/.bmp bytes.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tarnvale::art {

// Straight (not premultiplied) RGBA, 8 bits a channel, top row first.
struct Image
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

struct IconImage
{
    Image image;
    int bitsPerPixel = 32;  // 8 (palettised) or 32 (BGRA)
};

inline constexpr int kAboutSize = 128;

// The icon at 16, 32 or 48 px, on a transparent background.
Image DrawIcon(int size);

// The About picture, kAboutSize square, already laid on white.
Image DrawAbout();

// The fixed 256-colour palette the 8-bpp icons use, as RGBA (alpha unused).
std::vector<std::uint8_t> IconPalette();

std::vector<std::uint8_t> EncodeIco(std::span<const IconImage> images);
std::vector<std::uint8_t> EncodeBmp24(const Image& image);

// What goes into resources/: 48, 32, 16 at 8 bpp, then the same at 32 bpp.
std::vector<std::uint8_t> MakeIconFile();
std::vector<std::uint8_t> MakeAboutFile();

}  // namespace tarnvale::art
