#include "tools/draw_art/art.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <stdexcept>

namespace tarnvale::art {
namespace {

// Only + - * / and sqrt below, so the output is the same byte for byte on every run.
struct Color
{
    float r = 0, g = 0, b = 0, a = 0;
};

constexpr Color Hex(std::uint32_t rgb, float alpha = 1.0f)
{
    return {((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f, (rgb & 0xFF) / 255.0f,
            alpha};
}

Color Mix(Color from, Color to, float t)
{
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t,
            from.b + (to.b - from.b) * t, from.a + (to.a - from.a) * t};
}

// The motif's colours: a teal-to-blue desktop, a light window, a red pin holding it down.
constexpr Color kTileTop = Hex(0x35C2C9);
constexpr Color kTileBottom = Hex(0x1E64B4);
constexpr Color kTileEdge = Hex(0x0D3558);
constexpr Color kWindowEdge = Hex(0x0B2540);
constexpr Color kTitle = Hex(0x1A3F6E);
constexpr Color kBody = Hex(0xFFFFFF);
constexpr Color kText = Hex(0xA9BED3);
constexpr Color kButton = Hex(0x6F8FB8);
constexpr Color kPin = Hex(0xE8463A);
constexpr Color kPinEdge = Hex(0x7A1712);
constexpr Color kPinShine = Hex(0xFFB2A6);
constexpr Color kShade = Hex(0x06182C);

constexpr Color Shade(float alpha) { return {kShade.r, kShade.g, kShade.b, alpha}; }

struct Box
{
    float x0, y0, x1, y1;
    Box Inset(float d) const { return {x0 + d, y0 + d, x1 - d, y1 - d}; }
    Box Shift(float dx, float dy) const { return {x0 + dx, y0 + dy, x1 + dx, y1 + dy}; }
};

// Signed distance to a rounded box: negative inside.
float RoundBox(float px, float py, const Box& b, float radius)
{
    const float qx = std::abs(px - (b.x0 + b.x1) / 2) - (b.x1 - b.x0) / 2 + radius;
    const float qy = std::abs(py - (b.y0 + b.y1) / 2) - (b.y1 - b.y0) / 2 + radius;
    const float ox = std::max(qx, 0.0f);
    const float oy = std::max(qy, 0.0f);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - radius;
}

// Premultiplied float pixels; shapes are filled by coverage from their distance field.
class Canvas
{
public:
    Canvas(int width, int height) : width_(width), height_(height), px_(width * height) {}

    using Paint = std::function<Color(float x, float y)>;

    // soft = 1 is plain anti-aliasing; wider values blur the edge (for shadows).
    void Fill(const Box& box, float radius, const Paint& paint, float soft = 1.0f)
    {
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                const float cx = x + 0.5f;
                const float cy = y + 0.5f;
                float cover = std::clamp(0.5f - RoundBox(cx, cy, box, radius) / soft, 0.0f, 1.0f);
                if (soft > 1.0f)
                    cover = cover * cover * (3 - 2 * cover);
                if (cover <= 0)
                    continue;
                const Color c = paint(cx, cy);
                const float a = c.a * cover;
                Color& d = px_[y * width_ + x];
                d = {c.r * a + d.r * (1 - a), c.g * a + d.g * (1 - a), c.b * a + d.b * (1 - a),
                     a + d.a * (1 - a)};
            }
        }
    }

    void Fill(const Box& box, float radius, Color color, float soft = 1.0f)
    {
        Fill(box, radius, [color](float, float) { return color; }, soft);
    }

    // An outlined shape: the edge colour, then the inside inset by the edge width.
    void Framed(const Box& box, float radius, float edge, Color edgeColor, const Paint& inside)
    {
        Fill(box, radius, edgeColor);
        Fill(box.Inset(edge), std::max(radius - edge, 0.0f), inside);
    }

    Image ToImage(bool onWhite) const
    {
        Image out{width_, height_, std::vector<std::uint8_t>(px_.size() * 4)};
        auto byte = [](float v) {
            return static_cast<std::uint8_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f);
        };
        for (std::size_t i = 0; i < px_.size(); ++i) {
            Color c = px_[i];
            if (onWhite)
                c = {c.r + (1 - c.a), c.g + (1 - c.a), c.b + (1 - c.a), 1.0f};
            else if (c.a > 0)
                c = {c.r / c.a, c.g / c.a, c.b / c.a, c.a};
            out.rgba[i * 4 + 0] = byte(c.r);
            out.rgba[i * 4 + 1] = byte(c.g);
            out.rgba[i * 4 + 2] = byte(c.b);
            out.rgba[i * 4 + 3] = byte(c.a);
        }
        return out;
    }

private:
    int width_;
    int height_;
    std::vector<Color> px_;
};

// Where everything sits, hand-placed per size so the small ones land on whole pixels.
struct Layout
{
    int size;
    Box tile;
    float tileRadius, tileEdge;
    Box window;
    float windowRadius, windowEdge, titleHeight;
    Box pin;
    float pinEdge;
    int detail;  // 0: bare shapes, 1: shadows and text lines, 2: title buttons and shine
};

constexpr std::array kLayouts{
    Layout{16, {0, 0, 16, 16}, 3, 1, {2, 5, 14, 13}, 0, 1, 2, {6, 3, 10, 7}, 1, 0},
    Layout{32, {1, 1, 31, 31}, 6, 1, {5, 10, 27, 26}, 1, 1, 4, {12, 6, 20, 14}, 1, 1},
    Layout{48, {2, 2, 46, 46}, 9, 1, {7, 15, 41, 38}, 1.5f, 1, 6, {19, 10, 29, 20}, 1, 2},
    Layout{128, {10, 8, 118, 116}, 24, 2, {24, 42, 104, 98}, 3, 2, 14, {54, 32, 74, 52}, 2, 2},
};

void DrawMotif(Canvas& canvas, const Layout& l)
{
    const float s = l.size / 48.0f;  // scale for the soft, size-free details
    const Box tile = l.tile;
    const Box win = l.window;

    if (l.size == kAboutSize)  // the tile's own shadow, fading into the white page
        canvas.Fill(tile.Shift(0, 4).Inset(2), l.tileRadius, Shade(0.45f), 8);

    canvas.Framed(tile, l.tileRadius, l.tileEdge, kTileEdge, [&](float, float y) {
        return Mix(kTileTop, kTileBottom, (y - tile.y0) / (tile.y1 - tile.y0));
    });
    if (l.detail >= 2) {  // a faint sheen over the upper half of the desktop
        const Box upper{tile.x0 + l.tileEdge, tile.y0 + l.tileEdge, tile.x1 - l.tileEdge,
                        (tile.y0 + tile.y1) / 2};
        canvas.Fill(upper, l.tileRadius - l.tileEdge, [&](float, float y) {
            return Color{1, 1, 1, 0.16f * (1 - (y - upper.y0) / (upper.y1 - upper.y0))};
        });
    }

    if (l.detail >= 1)  // the window lies flat, so its shadow is short
        canvas.Fill(win.Shift(1 * s, 1.5f * s), l.windowRadius, Shade(0.4f), 2.5f * s);
    canvas.Framed(win, l.windowRadius, l.windowEdge, kWindowEdge,
                  [](float, float) { return kBody; });
    const Box inner = win.Inset(l.windowEdge);
    const Box title{inner.x0, inner.y0, inner.x1, inner.y0 + l.titleHeight};
    canvas.Fill(title, 0, kTitle);

    if (l.detail >= 1) {  // lines of text in the window body, on whole pixels
        const float bar = std::max(1.0f, std::round(l.titleHeight * 0.3f));
        const float gap = std::max(2.0f, std::round(bar * 1.25f));
        const std::array widths{0.8f, 0.55f, 0.7f};
        float y = title.y1 + gap;
        for (const float w : widths) {
            if (y + bar > inner.y1 - gap)
                break;
            const float x0 = inner.x0 + gap + 1;
            const float x1 = std::round(x0 + (inner.x1 - inner.x0 - 2 * gap) * w);
            canvas.Fill({x0, y, x1, y + bar}, bar / 2, kText);
            y += bar + gap;
        }
    }
    if (l.detail >= 2) {  // title buttons, right-aligned like the real thing
        const float b = l.titleHeight * 0.5f;
        const float y0 = title.y0 + (l.titleHeight - b) / 2;
        const int count = l.size == kAboutSize ? 3 : 1;
        for (int i = 0; i < count; ++i) {
            const float x1 = title.x1 - b * 0.6f - i * b * 1.5f;
            canvas.Fill({x1 - b, y0, x1, y0 + b}, b * 0.2f, kButton);
        }
    }

    // The pin that fastens the window down: a shadow, the head, then a highlight.
    const Box pin = l.pin;
    const float pinRadius = l.size == 16 ? 1.5f : (pin.x1 - pin.x0) / 2;
    if (l.detail >= 1)
        canvas.Fill(pin.Shift(1.5f * s, 2 * s), pinRadius, Shade(0.45f), 2 * s);
    canvas.Framed(pin, pinRadius, l.pinEdge, kPinEdge, [](float, float) { return kPin; });
    if (l.detail >= 1) {
        const float w = pin.x1 - pin.x0;
        const Box shine{pin.x0 + w * 0.25f, pin.y0 + w * 0.2f, pin.x0 + w * 0.5f,
                        pin.y0 + w * 0.45f};
        canvas.Fill(shine, w * 0.125f, kPinShine);
    }
}

const Layout& LayoutFor(int size)
{
    for (const Layout& l : kLayouts)
        if (l.size == size)
            return l;
    throw std::invalid_argument("no layout for this size");
}

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

int RowBytes(int width, int bits) { return (width * bits + 31) / 32 * 4; }

void PutInfoHeader(std::vector<std::uint8_t>& out, int width, int height, int bits,
                   std::uint32_t imageBytes, std::uint32_t pelsPerMeter)
{
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(height));
    Put16(out, 1);
    Put16(out, static_cast<std::uint32_t>(bits));
    Put32(out, 0);  // BI_RGB
    Put32(out, imageBytes);
    Put32(out, pelsPerMeter);
    Put32(out, pelsPerMeter);
    Put32(out, 0);  // colours used: all 2^bits
    Put32(out, 0);
}

// Nearest palette entry, index 0 being kept for transparent pixels.
std::uint8_t NearestIndex(const std::vector<std::uint8_t>& palette, const std::uint8_t* rgb)
{
    int best = 1;
    int bestDistance = 1 << 30;
    for (int i = 1; i < 256; ++i) {
        int distance = 0;
        for (int c = 0; c < 3; ++c) {
            const int d = palette[i * 4 + c] - rgb[c];
            distance += d * d;
        }
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return static_cast<std::uint8_t>(best);
}

}  // namespace

Image DrawIcon(int size)
{
    const Layout& layout = LayoutFor(size);
    if (size == kAboutSize)
        throw std::invalid_argument("the About picture is drawn by DrawAbout");
    Canvas canvas(size, size);
    DrawMotif(canvas, layout);
    return canvas.ToImage(false);
}

Image DrawAbout()
{
    Canvas canvas(kAboutSize, kAboutSize);
    DrawMotif(canvas, LayoutFor(kAboutSize));
    return canvas.ToImage(true);
}

std::vector<std::uint8_t> IconPalette()
{
    std::vector<Color> colors{Hex(0x000000), kTileEdge, kWindowEdge, kTitle,  kBody,
                              kText,         kButton,   kPin,        kPinEdge, kPinShine};
    for (int i = 0; i < 24; ++i)  // the desktop gradient, so it does not band
        colors.push_back(Mix(kTileTop, kTileBottom, i / 23.0f));
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                colors.push_back({r / 5.0f, g / 5.0f, b / 5.0f, 1});
    while (colors.size() < 256)  // the rest: blends of the desktop into its edge
        colors.push_back(Mix(kTileEdge, kTileBottom, (colors.size() - 250) / 7.0f));

    std::vector<std::uint8_t> out;
    for (const Color& c : colors) {
        for (const float v : {c.r, c.g, c.b})
            out.push_back(static_cast<std::uint8_t>(v * 255.0f + 0.5f));
        out.push_back(255);
    }
    return out;
}

std::vector<std::uint8_t> EncodeIco(std::span<const IconImage> images)
{
    const std::vector<std::uint8_t> palette = IconPalette();
    std::vector<std::vector<std::uint8_t>> dibs;
    for (const IconImage& entry : images) {
        const Image& img = entry.image;
        const int bits = entry.bitsPerPixel;
        if ((bits != 8 && bits != 32) || img.width < 1 || img.width > 256 ||
            img.height < 1 || img.height > 256)
            throw std::invalid_argument("icons are 1..256 px at 8 or 32 bpp");
        const int colorRow = RowBytes(img.width, bits);
        const int maskRow = RowBytes(img.width, 1);
        std::vector<std::uint8_t> dib;
        PutInfoHeader(dib, img.width, img.height * 2, bits,
                      static_cast<std::uint32_t>((colorRow + maskRow) * img.height), 0);
        if (bits == 8)
            for (std::size_t i = 0; i < palette.size(); i += 4)
                dib.insert(dib.end(), {palette[i + 2], palette[i + 1], palette[i], 0});

        // Pixels and mask are both stored bottom row first; a set mask bit is transparent.
        std::vector<std::uint8_t> mask;
        for (int y = img.height - 1; y >= 0; --y) {
            std::vector<std::uint8_t> maskBits(maskRow, 0);
            const std::size_t rowStart = dib.size();
            for (int x = 0; x < img.width; ++x) {
                const std::uint8_t* p = &img.rgba[(y * img.width + x) * 4];
                const bool clear = p[3] < 128;
                if (clear)
                    maskBits[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
                if (bits == 32)
                    dib.insert(dib.end(), {p[3] ? p[2] : std::uint8_t{0},
                                           p[3] ? p[1] : std::uint8_t{0},
                                           p[3] ? p[0] : std::uint8_t{0}, p[3]});
                else
                    dib.push_back(clear ? 0 : NearestIndex(palette, p));
            }
            dib.resize(rowStart + colorRow, 0);
            mask.insert(mask.end(), maskBits.begin(), maskBits.end());
        }
        dib.insert(dib.end(), mask.begin(), mask.end());
        dibs.push_back(std::move(dib));
    }

    std::vector<std::uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);  // type: icon
    Put16(out, static_cast<std::uint32_t>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const Image& img = images[i].image;
        out.push_back(static_cast<std::uint8_t>(img.width));  // 256 wraps to 0, as it should
        out.push_back(static_cast<std::uint8_t>(img.height));
        out.push_back(0);  // colour count: 0 for 256 colours or more
        out.push_back(0);
        Put16(out, 1);
        Put16(out, static_cast<std::uint32_t>(images[i].bitsPerPixel));
        Put32(out, static_cast<std::uint32_t>(dibs[i].size()));
        Put32(out, offset);
        offset += static_cast<std::uint32_t>(dibs[i].size());
    }
    for (const auto& dib : dibs)
        out.insert(out.end(), dib.begin(), dib.end());
    return out;
}

std::vector<std::uint8_t> EncodeBmp24(const Image& image)
{
    const int row = RowBytes(image.width, 24);
    const auto pixelBytes = static_cast<std::uint32_t>(row * image.height);
    std::vector<std::uint8_t> out{'B', 'M'};
    Put32(out, 14 + 40 + pixelBytes);
    Put32(out, 0);
    Put32(out, 14 + 40);
    PutInfoHeader(out, image.width, image.height, 24, pixelBytes, 2835);  // 72 dpi
    for (int y = image.height - 1; y >= 0; --y) {
        const std::size_t rowStart = out.size();
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* p = &image.rgba[(y * image.width + x) * 4];
            out.insert(out.end(), {p[2], p[1], p[0]});
        }
        out.resize(rowStart + row, 0);
    }
    return out;
}

std::vector<std::uint8_t> MakeIconFile()
{
    std::vector<IconImage> images;
    for (const int bits : {8, 32})
        for (const int size : {48, 32, 16})
            images.push_back({DrawIcon(size), bits});
    return EncodeIco(images);
}

std::vector<std::uint8_t> MakeAboutFile() { return EncodeBmp24(DrawAbout()); }

}  // namespace tarnvale::art
