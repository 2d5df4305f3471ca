#include "about_probe.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>

#include "harness/harness.h"

namespace e2e {

namespace {

constexpr UINT kIconCallback = 0x200;
constexpr LPARAM kRightButtonDown = 0x204;
constexpr DWORD kMenuTimeoutMs = 10000;

HWND FindVisibleMenu()
{
    for (HWND menu = FindWindowExW(nullptr, nullptr, L"#32768", nullptr); menu;
         menu = FindWindowExW(nullptr, menu, L"#32768", nullptr))
        if (IsWindowVisible(menu))
            return menu;
    return nullptr;
}

bool ChooseFromIconMenu(HWND main, wchar_t mnemonic)
{
    PostMessageW(main, kIconCallback, 0, kRightButtonDown);
    HWND menu = nullptr;
    if (!WaitUntil([&] { return (menu = FindVisibleMenu()) != nullptr; }, kMenuTimeoutMs))
        return false;
    // The menu's modal loop reads the program's queue; a character picks the item.
    PostMessageW(menu, WM_CHAR, mnemonic, 1);
    return true;
}

// PNG pieces: stored (uncompressed) deflate is enough for an artefact.
std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xff] ^ (crc >> 8);
    return ~crc;
}

void PutBig32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type,
              const std::vector<std::uint8_t>& data)
{
    PutBig32(out, static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    PutBig32(out, Crc32(typed.data(), typed.size()));
}

std::vector<std::uint8_t> StoredZlib(const std::vector<std::uint8_t>& raw)
{
    std::vector<std::uint8_t> out{0x78, 0x01};
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    std::size_t offset = 0;
    do {
        const std::size_t size = std::min<std::size_t>(raw.size() - offset, 65535);
        const bool last = offset + size == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<std::uint8_t>(size));
        out.push_back(static_cast<std::uint8_t>(size >> 8));
        out.push_back(static_cast<std::uint8_t>(~size));
        out.push_back(static_cast<std::uint8_t>(~size >> 8));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(offset),
                   raw.begin() + static_cast<std::ptrdiff_t>(offset + size));
        offset += size;
    } while (offset < raw.size());
    PutBig32(out, (b << 16) | a);
    return out;
}

}  // namespace

bool ChooseAboutFromIconMenu(HWND main)
{
    return ChooseFromIconMenu(main, L'a');
}

bool ChooseExitFromIconMenu(HWND main)
{
    return ChooseFromIconMenu(main, L'e');
}

std::vector<HWND> AboutWindowsOf(DWORD processId)
{
    std::vector<HWND> found;
    for (const HWND window : TopLevelWindowsOf(processId))
        if (ClassOf(window) == kAboutClass)
            found.push_back(window);
    return found;
}

HWND WaitForAboutWindow(DWORD processId, DWORD timeoutMs)
{
    HWND about = nullptr;
    WaitUntil(
        [&] {
            const auto windows = AboutWindowsOf(processId);
            about = windows.empty() ? nullptr : windows.front();
            return about != nullptr && IsWindowVisible(about);
        },
        timeoutMs);
    return about && IsWindowVisible(about) ? about : nullptr;
}

HWND PanelOf(HWND about)
{
    return FindWindowExW(about, nullptr, kPanelClass, nullptr);
}

HWND DismissButtonOf(HWND about)
{
    const HWND panel = PanelOf(about);
    return panel ? FindWindowExW(panel, nullptr, L"Button", nullptr) : nullptr;
}

HWND FocusInThreadOf(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

RECT RectIn(HWND window, HWND reference)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, reference, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

ScreenImage CaptureScreen(const RECT& area)
{
    ScreenImage image;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return image;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, previous);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint8_t> bgra(static_cast<std::size_t>(width) * height * 4);
    const int rows = GetDIBits(memory, bitmap, 0, height, bgra.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (rows == height) {
        image.width = width;
        image.height = height;
        image.bgra = std::move(bgra);
    }
    return image;
}

COLORREF ScreenImage::At(int x, int y) const
{
    const std::uint8_t* pixel = &bgra[(static_cast<std::size_t>(y) * width + x) * 4];
    return RGB(pixel[2], pixel[1], pixel[0]);
}

bool SaveScreenPng(const std::wstring& path)
{
    const ScreenImage image = CaptureScreen(
        {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
    if (image.width == 0)
        return false;
    std::vector<std::uint8_t> raw;
    raw.reserve(static_cast<std::size_t>(image.height) * (image.width * 3 + 1));
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < image.width; ++x) {
            const COLORREF colour = image.At(x, y);
            raw.insert(raw.end(), {GetRValue(colour), GetGValue(colour), GetBValue(colour)});
        }
    }
    std::vector<std::uint8_t> header;
    PutBig32(header, static_cast<std::uint32_t>(image.width));
    PutBig32(header, static_cast<std::uint32_t>(image.height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB
    std::vector<std::uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", StoredZlib(raw));
    PutChunk(png, "IEND", {});

    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file)
        return false;
    const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    return std::fclose(file) == 0 && written;
}

int CountClientPixels(HWND window, const RECT& clientRect, bool (*test)(COLORREF))
{
    RECT area = clientRect;
    MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&area), 2);
    const ScreenImage image = CaptureScreen(area);
    int count = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (test(image.At(x, y)))
                ++count;
    return count;
}

std::wstring ArtifactsFolder()
{
    // In the build folder, wherever the suite runs from.
    std::wstring folder = L"Z:" + Widen(TARNVALE_BUILD_DIR) + L"\\artifacts";
    std::replace(folder.begin(), folder.end(), L'/', L'\\');
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

}  // namespace e2e
