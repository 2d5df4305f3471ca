#include "about/about_layout.h"

#include <cstdlib>

#include <gtest/gtest.h>

namespace tarnvale::about {

void PrintTo(const PixelRect& r, std::ostream* out)
{
    *out << "{" << r.left << ", " << r.top << ", " << r.width << ", " << r.height << "}";
}

void PrintTo(const PixelPoint& p, std::ostream* out)
{
    *out << "{" << p.x << ", " << p.y << "}";
}

namespace {

constexpr TwipsRect kClient{0, 0, kClientWidth, kClientHeight};

// The pixel sizes the window was drawn with at 96 DPI.
TEST(AboutLayoutAt96Dpi, EveryBoxHasItsDesignedPixels)
{
    EXPECT_EQ(ToPixels(kClient, 96), (PixelRect{0, 0, 544, 144}));
    EXPECT_EQ(ToPixels(kTitleLabel.box, 96), (PixelRect{144, 8, 393, 25}));
    EXPECT_EQ(ToPixels(kNoticeLabel.box, 96), (PixelRect{144, 32, 393, 25}));
    EXPECT_EQ(ToPixels(kQuoteLabel.box, 96), (PixelRect{144, 64, 393, 25}));
    EXPECT_EQ(ToPixels(kAttributionLabel.box, 96), (PixelRect{144, 80, 393, 25}));
    EXPECT_EQ(ToPixels(kPanel, 96), (PixelRect{144, 96, 393, 49}));
    EXPECT_EQ(ToPixels(kPicture, 96), (PixelRect{8, 8, 128, 128}));
    EXPECT_EQ(ToPixels(DismissAtLoad(), 96), (PixelRect{148, 8, 97, 33}));
    EXPECT_EQ(FontPixelHeight(kTitleLabel.points, 96), 21);
    EXPECT_EQ(FontPixelHeight(kQuoteLabel.points, 96), 13);
}

TEST(AboutLayoutAt96Dpi, LooksOfTheLabels)
{
    EXPECT_TRUE(kTitleLabel.bold);
    for (const LabelLook& label : {kNoticeLabel, kQuoteLabel, kAttributionLabel}) {
        EXPECT_FALSE(label.bold);
        EXPECT_EQ(label.points, kTextPoints);
    }
    EXPECT_EQ(kQuoteLabel.align, Align::Centre);
    EXPECT_EQ(kAttributionLabel.align, Align::Right);
    EXPECT_EQ(kAttributionLabel.colour.red, 128);
    EXPECT_EQ(kAttributionLabel.colour.green, 128);
    EXPECT_EQ(kAttributionLabel.colour.blue, 128);
}

struct DpiCase {
    int dpi;
    PixelRect client;
    int titleHeight;
    int textHeight;
};

class AboutLayoutAtOtherDpis : public ::testing::TestWithParam<DpiCase> {};

TEST_P(AboutLayoutAtOtherDpis, ClientAndFontsScaleWithTheScreen)
{
    const DpiCase& c = GetParam();
    EXPECT_EQ(ToPixels(kClient, c.dpi), c.client);
    EXPECT_EQ(FontPixelHeight(kTitlePoints, c.dpi), c.titleHeight);
    EXPECT_EQ(FontPixelHeight(kTextPoints, c.dpi), c.textHeight);
}

TEST_P(AboutLayoutAtOtherDpis, PanelCoversTheBottomAndTheButtonStaysCentred)
{
    const int dpi = GetParam().dpi;
    const PixelRect client = ToPixels(kClient, dpi);
    const PixelRect panel = ToPixels(kPanel, dpi);
    const PixelRect dismiss = ToPixels(DismissAtLoad(), dpi);
    // No strip of the window may show beneath the panel.
    EXPECT_GE(panel.top + panel.height, client.height);
    // Off by at most the one pixel that rounding may cost.
    const int leftGap = dismiss.left;
    const int rightGap = panel.width - dismiss.left - dismiss.width;
    EXPECT_LE(std::abs(leftGap - rightGap), 1) << "left " << leftGap << ", right " << rightGap;
    // The labels end where the panel ends.
    const PixelRect label = ToPixels(kAttributionLabel.box, dpi);
    EXPECT_EQ(label.left + label.width, panel.left + panel.width);
}

INSTANTIATE_TEST_SUITE_P(CommonDpis, AboutLayoutAtOtherDpis,
                         ::testing::Values(DpiCase{96, {0, 0, 544, 144}, 21, 13},
                                           DpiCase{120, {0, 0, 680, 180}, 26, 16},
                                           DpiCase{144, {0, 0, 816, 216}, 32, 20},
                                           DpiCase{192, {0, 0, 1088, 288}, 42, 26}),
                         [](const auto& info) { return std::to_string(info.param.dpi); });

TEST(TwipsToPixels, RoundsToTheNearestPixel)
{
    EXPECT_EQ(TwipsToPixels(7, 96), 0);
    EXPECT_EQ(TwipsToPixels(8, 96), 1);
    EXPECT_EQ(TwipsToPixels(375, 144), 38);  // 37.5
    EXPECT_EQ(TwipsToPixels(2220.5f, 96), 148);
    EXPECT_EQ(TwipsToPixels(0, 192), 0);
}

TEST(TwipsToPixels, BoxesThatMeetInTwipsMeetInPixels)
{
    // Rounded alone, 14 twips would be a pixel wide and overlap the box that follows.
    for (const int dpi : {96, 120, 144}) {
        const PixelRect first = ToPixels(TwipsRect{8, 0, 14, 10}, dpi);
        const PixelRect second = ToPixels(TwipsRect{22, 0, 30, 10}, dpi);
        EXPECT_EQ(first.left + first.width, second.left) << dpi << " DPI";
    }
}

TEST(Centring, DismissSitsHalfwayAcrossThePanel)
{
    EXPECT_EQ(CentredLeft(5895, 1455), 2220.0f);
    EXPECT_EQ(CentredLeft(5895, 1454), 2220.5f) << "half twips are kept";
    EXPECT_EQ(CentredLeft(1000, 1200), -100.0f);

    const TwipsRect dismiss = DismissAtLoad();
    EXPECT_EQ(dismiss.left, 2220.0f);
    EXPECT_NE(kDismissDesign.left, dismiss.left) << "the designed left is not what is used";
    EXPECT_EQ(dismiss.top, kDismissDesign.top);
    EXPECT_EQ(dismiss.width, kDismissDesign.width);
    EXPECT_EQ(dismiss.height, kDismissDesign.height);
}

TEST(Centring, WindowOnTheScreen)
{
    EXPECT_EQ(CentredOrigin({0, 0, 1024, 768}, 550, 170), (PixelPoint{237, 299}));
    // A work area that does not start at the screen's corner.
    EXPECT_EQ(CentredOrigin({100, 30, 800, 600}, 200, 100), (PixelPoint{400, 280}));
    // Larger than the screen: the caption stays reachable.
    EXPECT_EQ(CentredOrigin({0, 0, 640, 480}, 1000, 500), (PixelPoint{0, 0}));
    EXPECT_EQ(CentredOrigin({-1280, 0, 1280, 1024}, 1400, 170), (PixelPoint{-1280, 427}));
}

}  // namespace
}  // namespace tarnvale::about
