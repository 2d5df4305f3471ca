#include "about/about_window.h"

#include <commctrl.h>

#include <string_view>

#include "about/about_layout.h"
#include "about/about_texts.h"
#include "resources/resource_ids.h"

namespace tarnvale::about {

namespace {

constexpr wchar_t kWindowClass[] = L"TarnvaleAbout";
constexpr wchar_t kPanelClass[] = L"TarnvaleAboutPanel";
constexpr wchar_t kVerdana[] = L"Verdana";
// Not IDOK or IDCANCEL: Enter and Esc must not press it.
constexpr int kDismissId = 1001;

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;

COLORREF ToColorRef(Rgb colour)
{
    return RGB(colour.red, colour.green, colour.blue);
}

// For the themed Dismiss button: common controls 6, chosen in the manifest. Loaded when
// the About window is first made rather than imported: under Wine, loading the common
// controls at start-up took about 20 ms, most of what start-up costs beyond a bare
// program, for a window that most runs never open. Unthemed, the button still works.
void LoadThemedControls()
{
    const HMODULE controls = LoadLibraryW(L"comctl32.dll");
    if (!controls)
        return;
    using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto init = reinterpret_cast<InitFunction>(
        reinterpret_cast<void*>(GetProcAddress(controls, "InitCommonControlsEx")));
    const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES};
    if (init)
        init(&classes);
}

RECT ToRect(const PixelRect& box)
{
    return {box.left, box.top, box.left + box.width, box.top + box.height};
}

UINT ToDrawTextAlign(Align align)
{
    switch (align) {
    case Align::Centre:
        return DT_CENTER;
    case Align::Right:
        return DT_RIGHT;
    case Align::Left:
        break;
    }
    return DT_LEFT;
}

int ScreenDpi()
{
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

GdiObject<HFONT> MakeFont(float points, bool bold, int dpi)
{
    return GdiObject<HFONT>(CreateFontW(-FontPixelHeight(points, dpi), 0, 0, 0,
                                        bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                        ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                        DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, kVerdana));
}

AboutWindow* AboutOf(HWND window)
{
    return reinterpret_cast<AboutWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace

bool AboutWindow::RegisterClasses()
{
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance_, kWindowClass, &existing))
        return true;

    LoadThemedControls();

    const auto white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    const HCURSOR arrow = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    WNDCLASSEXW window{};
    window.cbSize = sizeof window;
    window.lpfnWndProc = WindowProc;
    window.hInstance = instance_;
    window.hCursor = arrow;
    window.hbrBackground = white;
    window.lpszClassName = kWindowClass;
    WNDCLASSEXW panel = window;
    panel.lpfnWndProc = PanelProc;
    panel.lpszClassName = kPanelClass;
    return RegisterClassExW(&window) && RegisterClassExW(&panel);
}

bool AboutWindow::Load()
{
    if (!RegisterClasses())
        return false;
    owner_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                             instance_, nullptr);
    if (!owner_)
        return false;

    Look look;
    look.dpi = ScreenDpi();
    RECT frame = ToRect(ToPixels({0, 0, kClientWidth, kClientHeight}, look.dpi));
    AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const PixelPoint origin = CentredOrigin(
        {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, width, height);

    window_ = CreateWindowExW(kExStyle, kWindowClass, kCaption, kStyle, origin.x,
                              origin.y, width, height, owner_, nullptr, instance_, this);
    if (!window_) {
        DestroyWindow(owner_);
        owner_ = nullptr;
        return false;
    }

    // The load steps: the main window's icon, then the controls with Dismiss centred.
    if (mainWindow_) {
        const auto big = GetClassLongPtrW(mainWindow_, GCLP_HICON);
        const auto small = GetClassLongPtrW(mainWindow_, GCLP_HICONSM);
        SendMessageW(window_, WM_SETICON, ICON_BIG, static_cast<LPARAM>(big));
        SendMessageW(window_, WM_SETICON, ICON_SMALL, static_cast<LPARAM>(small ? small : big));
    }
    look.titleFont = MakeFont(kTitleLabel.points, kTitleLabel.bold, look.dpi);
    look.textFont = MakeFont(kTextPoints, false, look.dpi);
    look.picture = GdiObject<HBITMAP>(static_cast<HBITMAP>(LoadImageW(
        instance_, MAKEINTRESOURCEW(IDB_ABOUT), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    look_ = std::move(look);
    CreateControls();
    return true;
}

void AboutWindow::CreateControls()
{
    const int dpi = look_->dpi;
    const PixelRect panelBox = ToPixels(kPanel, dpi);
    // Children of the panel take part in Tab and mnemonic navigation.
    const HWND panel = CreateWindowExW(WS_EX_CONTROLPARENT, kPanelClass, L"",
                                       WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, panelBox.left,
                                       panelBox.top, panelBox.width, panelBox.height, window_,
                                       nullptr, instance_, nullptr);
    if (!panel)
        return;
    const PixelRect dismissBox = ToPixels(DismissAtLoad(), dpi);
    dismiss_ = CreateWindowExW(0, L"BUTTON", kDismissText,
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                               dismissBox.left, dismissBox.top, dismissBox.width,
                               dismissBox.height, panel,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kDismissId)),
                               instance_, nullptr);
    if (dismiss_)
        SendMessageW(dismiss_, WM_SETFONT,
                     reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
}

void AboutWindow::Show()
{
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
}

void AboutWindow::Unload()
{
    DestroyWindow(window_);
}

void AboutWindow::Paint()
{
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window_, &paint);
    if (!dc)
        return;
    if (look_)
        PaintContents(dc);
    EndPaint(window_, &paint);
}

void AboutWindow::PaintContents(HDC dc)
{
    const int dpi = look_->dpi;

    if (look_->picture) {
        BITMAP info{};
        GetObjectW(look_->picture.get(), sizeof info, &info);
        const MemoryDc source(dc);
        const Selection picture(source.get(), look_->picture.get());
        const PixelRect box = ToPixels(kPicture, dpi);
        // Scaled with the layout above 96 DPI, smoothly rather than in blocks.
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, box.left, box.top, box.width, box.height, source.get(), 0, 0,
                   info.bmWidth, info.bmHeight, SRCCOPY);
    }

    // The labels are drawn, not windows: transparent over the white window, and under the
    // panel, which is a child window and so paints over them.
    SetBkMode(dc, TRANSPARENT);
    struct Label {
        const LabelLook& look;
        HFONT font;
        std::wstring_view text;
    };
    const HFONT title = look_->titleFont.get();
    const HFONT text = look_->textFont.get();
    const Label labels[] = {{kTitleLabel, title, kTitleText},
                            {kNoticeLabel, text, kNoticeText},
                            {kQuoteLabel, text, kQuoteText},
                            {kAttributionLabel, text, kAttributionText}};
    for (const Label& label : labels) {
        const Selection selected(dc, label.font);
        SetTextColor(dc, ToColorRef(label.look.colour));
        RECT box = ToRect(ToPixels(label.look.box, dpi));
        DrawTextW(dc, label.text.data(), static_cast<int>(label.text.size()), &box,
                  ToDrawTextAlign(label.look.align) | DT_WORDBREAK | DT_NOPREFIX);
    }
}

void AboutWindow::OnNcDestroy()
{
    window_ = nullptr;
    dismiss_ = nullptr;
    look_.reset();
    if (owner_)
        DestroyWindow(owner_);
    owner_ = nullptr;
    onGone_();
}

LRESULT CALLBACK AboutWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        AboutOf(window)->window_ = window;
    }
    AboutWindow* const self = AboutOf(window);
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);

    switch (message) {
    case WM_PAINT:
        self->Paint();
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kDismissId && HIWORD(wParam) == BN_CLICKED)
            self->Close();
        return 0;
    case WM_CLOSE:
        // The close box and Alt+F4: the same as Dismiss.
        self->Close();
        return 0;
    case WM_SETFOCUS:
        if (self->dismiss_)
            SetFocus(self->dismiss_);
        return 0;
    case WM_DESTROY:
        self->lifecycle_.OnGone();
        return 0;
    case WM_NCDESTROY:
        self->OnNcDestroy();
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK AboutWindow::PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        // The button's parent is the panel; the About window acts on its click.
        return SendMessageW(GetParent(window), message, wParam, lParam);
    case WM_CTLCOLORBTN:
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace tarnvale::about
