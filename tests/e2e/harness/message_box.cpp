#include "harness/message_box.h"

#include <array>
#include <cstdlib>
#include <vector>

#include "harness/harness.h"

namespace e2e {

namespace {

struct Controls {
    std::vector<HWND> statics;
    std::vector<HWND> buttons;
};

BOOL CALLBACK CollectControl(HWND window, LPARAM context)
{
    auto& controls = *reinterpret_cast<Controls*>(context);
    const std::wstring kind = ClassOf(window);
    if (_wcsicmp(kind.c_str(), L"Static") == 0)
        controls.statics.push_back(window);
    else if (_wcsicmp(kind.c_str(), L"Button") == 0)
        controls.buttons.push_back(window);
    return TRUE;
}

Controls ControlsOf(HWND box)
{
    Controls controls;
    EnumChildWindows(box, CollectControl, reinterpret_cast<LPARAM>(&controls));
    return controls;
}

bool IsIconStatic(HWND control)
{
    return (GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
}

// 32-bit pixels of `area`, from the screen or from a memory DC.
std::vector<DWORD> Pixels(HDC source, const RECT& area)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    std::vector<DWORD> pixels;
    if (width <= 0 || height <= 0)
        return pixels;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const HDC memory = CreateCompatibleDC(source);
    const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (memory && bitmap && bits) {
        const HGDIOBJ old = SelectObject(memory, bitmap);
        if (BitBlt(memory, 0, 0, width, height, source, area.left, area.top, SRCCOPY)) {
            GdiFlush();
            const auto* begin = static_cast<const DWORD*>(bits);
            pixels.assign(begin, begin + width * height);
        }
        SelectObject(memory, old);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (memory)
        DeleteDC(memory);
    return pixels;
}

// How many pixels differ clearly between the two images.
int Difference(const std::vector<DWORD>& a, const std::vector<DWORD>& b)
{
    if (a.size() != b.size())
        return 1 << 30;
    int different = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        for (int shift = 0; shift < 24; shift += 8) {
            const int x = static_cast<int>((a[i] >> shift) & 0xff);
            const int y = static_cast<int>((b[i] >> shift) & 0xff);
            if (std::abs(x - y) > 48) {
                ++different;
                break;
            }
        }
    }
    return different;
}

// The stock icon drawn as the box draws it: on the box's own background, at the
// control's top left.
std::vector<DWORD> Render(LPCWSTR stockIcon, const RECT& area, DWORD background)
{
    const HDC screen = GetDC(nullptr);
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    std::vector<DWORD> pixels;
    if (memory && bitmap) {
        const HGDIOBJ old = SelectObject(memory, bitmap);
        const HBRUSH brush = CreateSolidBrush(
            RGB((background >> 16) & 0xff, (background >> 8) & 0xff, background & 0xff));
        const RECT all{0, 0, width, height};
        FillRect(memory, &all, brush);
        DeleteObject(brush);
        DrawIcon(memory, 0, 0, LoadIconW(nullptr, stockIcon));
        pixels = Pixels(memory, all);
        SelectObject(memory, old);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (memory)
        DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Another process's icon handle is of no use here, so the icon is told by what the
// screen shows, against each stock icon drawn alike.
std::string IconKind(HWND control)
{
    RECT area{};
    GetWindowRect(control, &area);
    const HDC screen = GetDC(nullptr);
    const std::vector<DWORD> shown = Pixels(screen, area);
    ReleaseDC(nullptr, screen);
    if (shown.empty())
        return "unknown";
    struct Candidate {
        const char* name;
        LPCWSTR icon;
    };
    const std::array<Candidate, 4> candidates{{{"information", IDI_INFORMATION},
                                              {"exclamation", IDI_EXCLAMATION},
                                              {"error", IDI_ERROR},
                                              {"question", IDI_QUESTION}}};
    const char* best = "unknown";
    int bestDifference = static_cast<int>(shown.size()) / 10 + 1;  // near-identical only
    for (const Candidate& candidate : candidates) {
        const int difference = Difference(shown, Render(candidate.icon, area, shown.front()));
        if (difference < bestDifference) {
            bestDifference = difference;
            best = candidate.name;
        }
    }
    return best;
}

}  // namespace

HWND FindMessageBoxOf(DWORD processId)
{
    for (const HWND window : TopLevelWindowsOf(processId))
        if (ClassOf(window) == L"#32770" && IsWindowVisible(window))
            return window;
    return nullptr;
}

MessageBoxView ReadMessageBox(HWND box)
{
    MessageBoxView view;
    if (!box || !IsWindow(box))
        return view;
    view.window = box;
    view.caption = TextOf(box);
    view.icon = "none";
    const Controls controls = ControlsOf(box);
    for (const HWND control : controls.statics) {
        if (IsIconStatic(control))
            view.icon = IconKind(control);
        else if (const std::wstring text = TextOf(control); !text.empty())
            view.text += text;
    }
    for (const HWND button : controls.buttons) {
        if (!IsWindowVisible(button))
            continue;
        view.buttons += (view.buttons.empty() ? L"" : L"|") + TextOf(button);
    }
    return view;
}

std::string Describe(const MessageBoxView& box)
{
    if (!box.window)
        return "(no message box)";
    return "message box caption=\"" + Narrow(box.caption) + "\" text=\"" + Narrow(box.text) +
           "\" icon=" + box.icon + " buttons=\"" + Narrow(box.buttons) + "\"";
}

bool PressOk(HWND box)
{
    const HWND ok = GetDlgItem(box, IDOK);
    if (!ok)
        return false;
    // Posted: the box's owner ends its process on OK, and a sent click could then
    // leave us waiting on a thread that is gone.
    PostMessageW(ok, BM_CLICK, 0, 0);
    return true;
}

}  // namespace e2e
