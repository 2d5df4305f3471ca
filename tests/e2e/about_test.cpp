// The About window, opened through the icon's menu as a user opens it.
#include <algorithm>

#include "about_probe.h"
#include "session.h"

namespace e2e {
namespace {

constexpr DWORD kAboutTimeoutMs = 10000;

class AboutWindow : public Session {
protected:
    // Ended as a user ends it, About window and all, rather than killed with it open.
    void TearDown() override
    {
        if (tarnvale_.started() && !tarnvale_.Exited()) {
            for (const HWND about : AboutWindowsOf(tarnvale_.id()))
                PostMessageW(about, WM_CLOSE, 0, 0);
            if (main_ && IsWindow(main_))
                PostMessageW(main_, WM_CLOSE, 0, 0);
            EXPECT_TRUE(tarnvale_.Exited(kAboutTimeoutMs)) << "still running after its windows closed";
        }
    }

    // The target attached and the program running, ready for the icon's menu.
    void StartProgram(const std::wstring& targetClass)
    {
        targetClass_ = targetClass;
        target_ = StartTarget(targetClass);
        tarnvale_ = StartTarnvale(targetClass);
        ASSERT_TRUE(WaitForParent(targetClass, "progman"))
            << "target after start-up: " << Describe(FindTarget(targetClass));
        main_ = WaitForMainWindow(tarnvale_);
        ASSERT_NE(main_, nullptr);
        GetWindowRect(FindTarget(targetClass), &targetRect_);
    }

    HWND OpenAbout()
    {
        EXPECT_TRUE(ChooseAboutFromIconMenu(main_)) << "the icon's menu never opened";
        return WaitForAboutWindow(tarnvale_.id(), kAboutTimeoutMs);
    }

    // The focus follows the activation, which under Wine may come from the window
    // manager's focus event after another process already sees the new foreground.
    bool WaitUntilDismissHasTheFocus(HWND about, HWND dismiss)
    {
        return WaitUntil([&] { return GetForegroundWindow() == about && FocusInThreadOf(about) == dismiss; },
                         kAboutTimeoutMs);
    }

    // The window list may drop it a moment before its handle dies.
    bool WaitUntilAboutGone(HWND about)
    {
        return WaitUntil([&] { return !IsWindow(about) && AboutWindowsOf(tarnvale_.id()).empty(); },
                         kAboutTimeoutMs);
    }

    // Closing the About window must leave the program, its icon and the target as they were.
    void ExpectProgramUntouched()
    {
        EXPECT_FALSE(tarnvale_.Exited()) << "the program ended with its About window";
        EXPECT_TRUE(IsWindow(main_)) << "the main window (and so the icon) went";
        const HWND target = FindTarget(targetClass_);
        EXPECT_EQ(ParentOf(target), "progman") << Describe(target);
        RECT now{};
        GetWindowRect(target, &now);
        EXPECT_TRUE(EqualRect(&now, &targetRect_)) << "the target moved or was resized";
        // The icon still answers: its menu opens the About window again.
        const HWND again = OpenAbout();
        EXPECT_NE(again, nullptr) << "the icon's menu no longer works";
    }

    std::wstring targetClass_;
    ChildProcess target_;
    ChildProcess tarnvale_;
    HWND main_ = nullptr;
    RECT targetRect_{};
};

int ScreenDpi()
{
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

bool IsDark(COLORREF c)
{
    return GetRValue(c) < 90 && GetGValue(c) < 90 && GetBValue(c) < 90;
}

bool IsNotWhite(COLORREF c)
{
    return GetRValue(c) < 235 || GetGValue(c) < 235 || GetBValue(c) < 235;
}

// The leftmost and rightmost columns of a client rectangle that hold a pixel passing `test`.
std::pair<int, int> InkColumns(HWND window, const RECT& box, bool (*test)(COLORREF))
{
    RECT area = box;
    MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&area), 2);
    const ScreenImage image = CaptureScreen(area);
    int first = -1;
    int last = -1;
    for (int x = 0; x < image.width; ++x)
        for (int y = 0; y < image.height; ++y)
            if (test(image.At(x, y))) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
    return {first < 0 ? -1 : box.left + first, last < 0 ? -1 : box.left + last};
}

TEST_F(AboutWindow, OpensCentredWithItsFrameIconAndLayout)
{
    StartProgram(L"E2eAboutLayout");
    const HWND about = OpenAbout();
    ASSERT_NE(about, nullptr) << "no About window after choosing About...";
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == about; }, kAboutTimeoutMs))
        << "the About window never came to the front";
    // On the screen once the window's white shows and the picture has been painted on it.
    EXPECT_TRUE(WaitUntil(
        [&] {
            return CountClientPixels(about, {140, 0, 544, 8}, IsNotWhite) == 0 &&
                   CountClientPixels(about, {8, 8, 136, 136}, IsNotWhite) > 2000;
        },
        kAboutTimeoutMs))
        << "the About window never showed on the screen";
    const std::wstring screenshot = ArtifactsFolder() + L"\\about_window.png";
    EXPECT_TRUE(SaveScreenPng(screenshot)) << "could not write " << Narrow(screenshot);

    EXPECT_EQ(Narrow(TextOf(about)), "About Tarnvale...");
    const LONG style = GetWindowLongW(about, GWL_STYLE);
    const LONG exStyle = GetWindowLongW(about, GWL_EXSTYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU) << "no close box";
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME);
    // Off the task bar by an owner that is neither shown nor the main window, and not by
    // being a tool window, whose caption is small.
    EXPECT_FALSE(exStyle & (WS_EX_TOOLWINDOW | WS_EX_APPWINDOW));
    const HWND owner = GetWindow(about, GW_OWNER);
    EXPECT_NE(owner, nullptr) << "an unowned window gets a task-bar button";
    EXPECT_NE(owner, main_);
    EXPECT_FALSE(IsWindowVisible(owner));

    // The caption's icon cannot be read from another process under Wine (WM_GETICON and
    // GetClassLongPtr answer 0 across processes); the screenshot shows it.

    RECT window{};
    GetWindowRect(about, &window);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_LE(std::abs((window.left + window.right) - screenWidth), 1) << "not centred across";
    EXPECT_LE(std::abs((window.top + window.bottom) - screenHeight), 1) << "not centred down";

    const HWND panel = PanelOf(about);
    const HWND dismiss = DismissButtonOf(about);
    ASSERT_NE(panel, nullptr);
    ASSERT_NE(dismiss, nullptr);
    EXPECT_EQ(Narrow(TextOf(dismiss)), "Dismiss");
    EXPECT_EQ(GetWindowLongW(dismiss, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON)
        << "Dismiss must not be the default button";
    EXPECT_TRUE(WaitUntilDismissHasTheFocus(about, dismiss))
        << "the focus is on " << Describe(FocusInThreadOf(about)) << ", not on Dismiss";
    EXPECT_EQ(ParentOf(FindTarget(targetClass_)), "progman") << "opening About moved the target";

    // The sizes are those the window was drawn with at 96 DPI; at another DPI they scale,
    // and rounding may move an edge by a pixel.
    const int dpi = ScreenDpi();
    const int slack = dpi == 96 ? 0 : 1;
    const auto px = [dpi](int pixelsAt96) { return MulDiv(pixelsAt96, dpi, 96); };
    const auto box = [&](int left, int top, int right, int bottom) {
        return RECT{px(left), px(top), px(right), px(bottom)};
    };
    RECT client{};
    GetClientRect(about, &client);
    EXPECT_NEAR(client.right, px(544), slack);
    EXPECT_NEAR(client.bottom, px(144), slack);
    const RECT panelRect = RectIn(panel, about);
    EXPECT_NEAR(panelRect.left, px(144), slack);
    EXPECT_NEAR(panelRect.top, px(96), slack);
    EXPECT_NEAR(panelRect.right - panelRect.left, px(393), slack);
    const RECT button = RectIn(dismiss, panel);
    EXPECT_NEAR(button.left, px(148), slack) << "2220 twips from the panel's left";
    EXPECT_NEAR(button.top, px(8), slack);
    EXPECT_NEAR(button.right - button.left, px(97), slack);
    EXPECT_NEAR(button.bottom - button.top, px(33), slack);

    // What the screen shows: the title in bold black, the notice from the left, the quotation
    // centred, the attribution grey and on the right.
    EXPECT_GT(CountClientPixels(about, box(144, 8, 537, 32), IsDark), px(150)) << "no title";
    const auto [noticeLeft, noticeRight] = InkColumns(about, box(144, 34, 537, 50), IsDark);
    EXPECT_NE(noticeRight, -1) << "no notice";
    EXPECT_LE(noticeLeft, px(150)) << "the notice is not left-aligned";
    const auto [quoteLeft, quoteRight] = InkColumns(about, box(144, 65, 537, 79), IsDark);
    ASSERT_NE(quoteRight, -1) << "no quotation";
    EXPECT_LE(std::abs((quoteLeft + quoteRight) / 2 - px(144 + 537) / 2), px(4))
        << "the quotation is not centred: ink from " << quoteLeft << " to " << quoteRight;
    const RECT attribution = box(144, 82, 537, 96);
    EXPECT_EQ(CountClientPixels(about, attribution, IsDark), 0) << "the attribution is not grey";
    const auto [creditLeft, creditRight] = InkColumns(about, attribution, IsNotWhite);
    EXPECT_GE(creditRight, px(530)) << "the attribution is not right-aligned";
    EXPECT_GT(creditLeft, px(300));
}

TEST_F(AboutWindow, AboutAgainShowsTheSameOneWindow)
{
    StartProgram(L"E2eAboutTwice");
    const HWND first = OpenAbout();
    ASSERT_NE(first, nullptr);
    const HWND second = OpenAbout();
    EXPECT_EQ(second, first);
    EXPECT_EQ(AboutWindowsOf(tarnvale_.id()).size(), 1u);
    EXPECT_EQ(ParentOf(FindTarget(targetClass_)), "progman");
}

TEST_F(AboutWindow, DismissClosesItAndNothingElse)
{
    StartProgram(L"E2eAboutDismiss");
    const HWND about = OpenAbout();
    ASSERT_NE(about, nullptr);
    PostMessageW(DismissButtonOf(about), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntilAboutGone(about)) << "still open after Dismiss";
    ExpectProgramUntouched();
}

TEST_F(AboutWindow, CloseBoxClosesItLikeDismiss)
{
    StartProgram(L"E2eAboutCloseBox");
    const HWND about = OpenAbout();
    ASSERT_NE(about, nullptr);
    PostMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitUntilAboutGone(about)) << "still open after the close box";
    ExpectProgramUntouched();
}

TEST_F(AboutWindow, EnterAndEscapeLeaveItOpenAndSpacePressesDismiss)
{
    StartProgram(L"E2eAboutKeys");
    const HWND about = OpenAbout();
    ASSERT_NE(about, nullptr);
    const HWND dismiss = DismissButtonOf(about);
    ASSERT_NE(dismiss, nullptr);
    // Keys go to the window that has the focus, as a user's would.
    ASSERT_TRUE(WaitUntilDismissHasTheFocus(about, dismiss))
        << "the focus is on " << Describe(FocusInThreadOf(about)) << ", not on Dismiss";
    for (const WPARAM key : {VK_ESCAPE, VK_RETURN, VK_TAB}) {
        PostMessageW(dismiss, WM_KEYDOWN, key, 1);
        PostMessageW(dismiss, WM_KEYUP, key, 0xC0000001);
    }
    // Queued behind those keys: once the button shows pressed, they have all been handled.
    PostMessageW(dismiss, WM_KEYDOWN, VK_SPACE, 1);
    ASSERT_TRUE(WaitUntil(
        [&] {
            DWORD_PTR state = 0;
            return SendMessageTimeoutW(dismiss, BM_GETSTATE, 0, 0, SMTO_ABORTIFHUNG, 1000, &state) &&
                   (state & BST_PUSHED) != 0;
        },
        kAboutTimeoutMs));
    EXPECT_TRUE(IsWindowVisible(about)) << "Enter or Esc closed the About window";
    EXPECT_EQ(FocusInThreadOf(about), dismiss) << "Tab took the focus off the only button";
    PostMessageW(dismiss, WM_KEYUP, VK_SPACE, 0xC0000001);
    EXPECT_TRUE(WaitUntilAboutGone(about)) << "Space on Dismiss did not close it";
}

TEST_F(AboutWindow, ExitWithItOpenClosesBothAndEnds)
{
    StartProgram(L"E2eAboutExit");
    ASSERT_NE(OpenAbout(), nullptr);
    ASSERT_TRUE(ChooseExitFromIconMenu(main_));
    ASSERT_TRUE(tarnvale_.Exited(10000)) << "still running 10 s after Exit";
    EXPECT_EQ(ParentOf(FindTarget(targetClass_)), "none")
        << "target after Exit: " << Describe(FindTarget(targetClass_));
}

TEST_F(AboutWindow, ProgramLastsWhileItIsOpenAfterTheMainWindowWent)
{
    StartProgram(L"E2eAboutOutlivesMain");
    const HWND about = OpenAbout();
    ASSERT_NE(about, nullptr);
    PostMessageW(main_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(main_); }, kAboutTimeoutMs));
    EXPECT_TRUE(WaitForParent(targetClass_, "none")) << "the target was not given back";
    EXPECT_FALSE(tarnvale_.Exited(300)) << "ended with a window of the program still open";
    EXPECT_TRUE(IsWindowVisible(about));
    PostMessageW(DismissButtonOf(about), BM_CLICK, 0, 0);
    EXPECT_TRUE(tarnvale_.Exited(10000)) << "still running with no window left";
}

}  // namespace
}  // namespace e2e
