#include "tools/draw_art/art.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace tarnvale::art {
namespace {

std::uint32_t U16(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return b.at(at) | b.at(at + 1) << 8;
}

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return U16(b, at) | U16(b, at + 2) << 16;
}

std::vector<std::uint8_t> ReadCommitted(const char* name)
{
    const auto path = std::filesystem::path(TARNVALE_SOURCE_DIR) / "resources" / name;
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int Alpha(const Image& img, int x, int y) { return img.rgba.at((y * img.width + x) * 4 + 3); }

struct Expected
{
    int size;
    int bits;
};

constexpr Expected kOrder[] = {{48, 8}, {32, 8}, {16, 8}, {48, 32}, {32, 32}, {16, 32}};

TEST(IconFile, DirectoryListsSixImagesInOrderAndTheyTileTheFile)
{
    const auto ico = MakeIconFile();
    ASSERT_GE(ico.size(), 6u + 6 * 16);
    EXPECT_EQ(U16(ico, 0), 0u);
    EXPECT_EQ(U16(ico, 2), 1u);
    ASSERT_EQ(U16(ico, 4), 6u);

    std::uint32_t expectedOffset = 6 + 6 * 16;
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        const std::size_t e = 6 + 16 * i;
        const auto [size, bits] = kOrder[i];
        EXPECT_EQ(ico[e + 0], size);
        EXPECT_EQ(ico[e + 1], size);
        EXPECT_EQ(ico[e + 2], 0);  // 256 colours and true colour both say 0
        EXPECT_EQ(U16(ico, e + 4), 1u);
        EXPECT_EQ(U16(ico, e + 6), static_cast<std::uint32_t>(bits));
        const std::uint32_t bytes = U32(ico, e + 8);
        const std::uint32_t offset = U32(ico, e + 12);
        EXPECT_EQ(offset, expectedOffset);

        // The DIB must agree with the directory, height doubled for the mask.
        EXPECT_EQ(U32(ico, offset), 40u);
        EXPECT_EQ(U32(ico, offset + 4), static_cast<std::uint32_t>(size));
        EXPECT_EQ(U32(ico, offset + 8), static_cast<std::uint32_t>(2 * size));
        EXPECT_EQ(U16(ico, offset + 12), 1u);
        EXPECT_EQ(U16(ico, offset + 14), static_cast<std::uint32_t>(bits));
        EXPECT_EQ(U32(ico, offset + 16), 0u);
        const std::uint32_t palette = bits == 8 ? 256 * 4 : 0;
        const std::uint32_t colorRow = (size * bits + 31) / 32 * 4;
        const std::uint32_t maskRow = (size + 31) / 32 * 4;
        EXPECT_EQ(bytes, 40 + palette + (colorRow + maskRow) * size);
        expectedOffset += bytes;
    }
    EXPECT_EQ(ico.size(), expectedOffset);
}

TEST(IconFile, MaskMarksTheRoundedCornersClearAndTheMiddleSolid)
{
    const auto ico = MakeIconFile();
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        const auto [size, bits] = kOrder[i];
        const std::uint32_t offset = U32(ico, 6 + 16 * i + 12);
        const std::uint32_t palette = bits == 8 ? 256 * 4 : 0;
        const std::uint32_t colorRow = (size * bits + 31) / 32 * 4;
        const std::uint32_t maskRow = (size + 31) / 32 * 4;
        const std::size_t pixels = offset + 40 + palette;
        const std::size_t mask = pixels + colorRow * size;
        // Rows are bottom-up; the top-left corner is the last row's first bit.
        auto clear = [&](int x, int y) {
            return (ico.at(mask + (size - 1 - y) * maskRow + x / 8) & (0x80 >> (x % 8))) != 0;
        };
        EXPECT_TRUE(clear(0, 0));
        EXPECT_TRUE(clear(size - 1, size - 1));
        EXPECT_FALSE(clear(size / 2, size / 2));
        EXPECT_FALSE(clear(size / 2, size - 1 - size / 16));
        if (bits == 8) {
            // Clear pixels point at black so the XOR image leaves the screen alone.
            EXPECT_EQ(ico.at(pixels + (size - 1) * colorRow), 0);
        } else {
            const std::size_t corner = pixels + (size - 1) * colorRow;
            EXPECT_EQ(U32(ico, corner), 0u);
        }
    }
}

TEST(IconDrawing, LargeSizesAreAntiAliasedButTheSmallestHasCrispStraightEdges)
{
    auto softPixels = [](const Image& img) {
        int n = 0;
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x)
                n += Alpha(img, x, y) > 0 && Alpha(img, x, y) < 255;
        return n;
    };
    EXPECT_GT(softPixels(DrawIcon(48)), 8);
    EXPECT_GT(softPixels(DrawIcon(32)), 8);

    // At 16 px only the rounded corners may blend; every middle row is on or off.
    const Image small = DrawIcon(16);
    for (int y = 4; y < 12; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_TRUE(Alpha(small, x, y) == 0 || Alpha(small, x, y) == 255) << x << "," << y;
}

TEST(IconDrawing, OnlyTheDrawnSizesExist)
{
    EXPECT_THROW(DrawIcon(24), std::invalid_argument);
    EXPECT_THROW(DrawIcon(kAboutSize), std::invalid_argument);
    const std::vector<IconImage> bad{{DrawIcon(16), 24}};
    EXPECT_THROW(EncodeIco(bad), std::invalid_argument);
}

TEST(IconPalette, HasAllEntriesWithBlackFirstForClearPixels)
{
    const auto palette = IconPalette();
    ASSERT_EQ(palette.size(), 256u * 4);
    EXPECT_EQ(palette[0] | palette[1] | palette[2], 0);
    // White must be exact or the window body turns grey at 8 bpp.
    bool white = false;
    for (std::size_t i = 4; i < palette.size(); i += 4)
        white |= palette[i] == 255 && palette[i + 1] == 255 && palette[i + 2] == 255;
    EXPECT_TRUE(white);
}

TEST(AboutPicture, IsAnUncompressed128SquareAt24Bits)
{
    const auto bmp = MakeAboutFile();
    const std::uint32_t row = 128 * 3;  // already a multiple of 4
    ASSERT_EQ(bmp.size(), 14u + 40 + row * 128);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(U32(bmp, 2), bmp.size());
    EXPECT_EQ(U32(bmp, 10), 54u);
    EXPECT_EQ(U32(bmp, 14), 40u);
    EXPECT_EQ(U32(bmp, 18), 128u);
    EXPECT_EQ(U32(bmp, 22), 128u);  // positive: bottom-up
    EXPECT_EQ(U16(bmp, 26), 1u);
    EXPECT_EQ(U16(bmp, 28), 24u);
    EXPECT_EQ(U32(bmp, 30), 0u);
    EXPECT_EQ(U32(bmp, 34), row * 128);
}

TEST(AboutPicture, EdgesFadeIntoTheWhiteWindow)
{
    const Image about = DrawAbout();
    for (const auto& [x, y] : {std::pair{0, 0}, {127, 0}, {0, 127}, {127, 127}, {64, 0}}) {
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(about.rgba.at((y * 128 + x) * 4 + c), 255) << x << "," << y;
    }
    // The middle carries the picture, not the page.
    EXPECT_NE(about.rgba.at((64 * 128 + 20) * 4 + 0), 255);
}

TEST(CommittedResources, MatchWhatTheGeneratorDrawsNow)
{
    // If this fails, run draw_art on resources/ and commit the new files with the change.
    const auto ico = ReadCommitted("tarnvale.ico");
    const auto bmp = ReadCommitted("about.bmp");
    ASSERT_FALSE(ico.empty());
    ASSERT_FALSE(bmp.empty());
    EXPECT_TRUE(ico == MakeIconFile());
    EXPECT_TRUE(bmp == MakeAboutFile());
}

}  // namespace
}  // namespace tarnvale::art
