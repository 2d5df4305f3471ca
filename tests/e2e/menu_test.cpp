// The icon's callback and popup menu, driven as the shell and a user drive them.
#include "session.h"

namespace e2e {
namespace {

class IconMenu : public Session {
protected:
    void SetUp() override
    {
        target_ = StartTarget(L"E2eMenuTarget");
        GetWindowRect(Target(), &rectBefore_);
        tarnvale_ = StartTarnvale(L"E2eMenuTarget");
        ASSERT_TRUE(WaitForParent(L"E2eMenuTarget", "progman")) << Describe(Target());
        main_ = WaitForMainWindow(tarnvale_);
        ASSERT_NE(main_, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return IconsShownFor(main_) == 1; }, kStartTimeoutMs))
            << Describe(TrayEventsOf(main_));
    }

    void TearDown() override
    {
        if (!tarnvale_.Exited()) {
            if (const HWND menu = FindPopupMenuOf(tarnvale_.id()))
                PressEscape(menu);
            PostMessageW(main_, WM_CLOSE, 0, 0);
            EXPECT_TRUE(tarnvale_.Exited(kStartTimeoutMs)) << "still running after WM_CLOSE";
        }
    }

    static HWND Target() { return FindTarget(L"E2eMenuTarget"); }

    HWND OpenMenu()
    {
        PostIconCallback(main_, WM_RBUTTONDOWN);
        return WaitForPopupMenu(tarnvale_);
    }

    // After a dismissed menu: the program runs on, its target attached, its icon shown.
    void ExpectNothingChanged()
    {
        EXPECT_TRUE(WaitUntil([&] { return FindPopupMenuOf(tarnvale_.id()) == nullptr; },
                              kStartTimeoutMs))
            << "the menu stayed open";
        EXPECT_TRUE(HoldsFor([&] { return !tarnvale_.Exited(); }, kWatchMs / 2))
            << "the program ended";
        EXPECT_EQ(ParentOf(Target()), "progman") << Describe(Target());
        EXPECT_EQ(IconsShownFor(main_), 1) << Describe(TrayEventsOf(main_));
        EXPECT_TRUE(FindWindowOf(tarnvale_.id(), L"TarnvaleAbout") == nullptr)
            << "an About window opened";
    }

    ChildProcess target_;
    ChildProcess tarnvale_;
    HWND main_ = nullptr;
    RECT rectBefore_{};
};

TEST_F(IconMenu, RightButtonPressOpensTheMenuWithItsItems)
{
    const HWND menu = OpenMenu();
    ASSERT_NE(menu, nullptr) << "no popup menu after the callback with 516";
    const MenuView view = ReadPopupMenu(menu);
    if (view.readable) {
        EXPECT_EQ(view.items, (std::vector<std::wstring>{L"&About...", L"-", L"&Exit"}))
            << Describe(view);
        PressEscape(menu);
        return;
    }
    // Wine keeps another process's menu from us: the items are told by what the keys do.
    std::printf("    %s; checked by keyboard\n", Describe(view).c_str());
    PressKey(menu, VK_DOWN);
    PressKey(menu, VK_RETURN);
    HWND about = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (about = FindWindowOf(tarnvale_.id(), L"TarnvaleAbout")) != nullptr; },
                          kStartTimeoutMs))
        << "the first item did not open the About window";
    if (about)
        PostMessageW(about, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return FindWindowOf(tarnvale_.id(), L"TarnvaleAbout") == nullptr; },
                          kStartTimeoutMs));

    // Two steps down from the top skip the separator to "&Exit".
    const HWND again = OpenMenu();
    ASSERT_NE(again, nullptr);
    PressKey(again, VK_DOWN);
    PressKey(again, VK_DOWN);
    PressKey(again, VK_RETURN);
    EXPECT_TRUE(tarnvale_.Exited(kStartTimeoutMs)) << "the second item did not end the program";
}

TEST_F(IconMenu, OtherMouseMessagesOpenNothing)
{
    for (const UINT mouseMessage : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK,
                                    WM_RBUTTONUP}) {
        PostIconCallback(main_, mouseMessage);
        EXPECT_TRUE(HoldsFor([&] { return FindPopupMenuOf(tarnvale_.id()) == nullptr; },
                             kWatchMs / 2))
            << "a menu opened for mouse message " << mouseMessage;
        if (const HWND menu = FindPopupMenuOf(tarnvale_.id()))
            PressEscape(menu);
    }
    ExpectNothingChanged();
}

TEST_F(IconMenu, EscapeDismissesTheMenuAndNothingHappens)
{
    const HWND menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    PressEscape(menu);
    ExpectNothingChanged();
}

TEST_F(IconMenu, ClickElsewhereDismissesTheMenuAndNothingHappens)
{
    const HWND menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    RECT menuRect{};
    GetWindowRect(menu, &menuRect);
    // Far from the menu, on the desktop's empty corner, with the pointer as a user clicks.
    const POINT away{menuRect.left > 512 ? 8 : GetSystemMetrics(SM_CXSCREEN) - 8,
                     menuRect.top > 384 ? 8 : GetSystemMetrics(SM_CYSCREEN) - 8};
    // Only the foreground window's menu hears of a click elsewhere: the program takes the
    // foreground for its menu, as a program of the notification area must.
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main_; }, kStartTimeoutMs))
        << "foreground while the menu is open: " << Describe(GetForegroundWindow());
    ASSERT_TRUE(RunXDoTool(L"mousemove " + std::to_wstring(away.x) + L" " +
                           std::to_wstring(away.y) + L" click 1"))
        << "cannot run /usr/bin/xdotool (scripts/setup.sh installs it)";
    ExpectNothingChanged();
}

TEST_F(IconMenu, ExitRemovesTheIconGivesTheWindowBackAndEnds)
{
    const HWND menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    ChooseByMnemonic(menu, L'e');
    const long long ms = MeasureUntil([&] { return tarnvale_.Exited(); }, kStartTimeoutMs);
    std::printf("    ended %lld ms after Exit was chosen\n", ms);
    ASSERT_GE(ms, 0) << "still running after Exit";
    EXPECT_LE(ms, static_cast<long long>(kEndLimitMs));
    EXPECT_EQ(ParentOf(Target()), "none") << Describe(Target());
    RECT after{};
    GetWindowRect(Target(), &after);
    EXPECT_TRUE(EqualRect(&after, &rectBefore_))
        << "before " << rectBefore_.left << "," << rectBefore_.top << " "
        << rectBefore_.right - rectBefore_.left << "x" << rectBefore_.bottom - rectBefore_.top
        << "; after: " << Describe(Target());
    const std::vector<TrayEvent> events = TrayEventsOf(main_);
    ASSERT_EQ(events.size(), 2u) << Describe(events);
    EXPECT_EQ(events[1].message, "del") << Describe(events);
    EXPECT_EQ(events[1].id, events[0].id) << Describe(events);
}

}  // namespace
}  // namespace e2e
