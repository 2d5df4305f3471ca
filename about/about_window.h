#pragma once

// The About window on Windows: one at most, made on demand from the layout in
// about_layout.h, kept by AboutLifecycle.
#include <windows.h>

#include <optional>

#include "about/about_lifecycle.h"
#include "about/gdi_object.h"
#include "platform/callback.h"

namespace tarnvale::about {

class AboutWindow final : private AboutHost {
public:
    explicit AboutWindow(HINSTANCE instance) : instance_(instance) {}
    AboutWindow(const AboutWindow&) = delete;
    AboutWindow& operator=(const AboutWindow&) = delete;

    // The window whose icon the About window takes.
    void SetMainWindow(HWND main) { mainWindow_ = main; }
    // Runs once the window has gone, whatever closed it.
    void SetOnGone(Callback onGone) { onGone_ = onGone; }

    // "&About...": loads it if need be and brings it to the front.
    void Open() { lifecycle_.Show(); }
    // Dismiss, the close box and the exit sequence; nothing when it is not loaded.
    void Close() { lifecycle_.Close(); }
    bool IsOpen() const { return lifecycle_.loaded(); }
    // For IsDialogMessage; null when closed.
    HWND handle() const { return window_; }

private:
    struct Look {
        int dpi = 96;
        GdiObject<HFONT> titleFont;
        GdiObject<HFONT> textFont;
        GdiObject<HBITMAP> picture;
    };

    bool Load() override;
    void Show() override;
    void Unload() override;

    bool RegisterClasses();
    void CreateControls();
    void Paint();
    void PaintContents(HDC dc);
    void OnNcDestroy();

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HINSTANCE instance_;
    HWND mainWindow_ = nullptr;
    Callback onGone_;
    AboutLifecycle lifecycle_{*this};

    HWND window_ = nullptr;
    // Hidden; owning the About window keeps it off the task bar without making it a tool
    // window or tying it to the main window.
    HWND owner_ = nullptr;
    HWND dismiss_ = nullptr;
    std::optional<Look> look_;
};

}  // namespace tarnvale::about
