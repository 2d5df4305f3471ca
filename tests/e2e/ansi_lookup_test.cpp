// The window system's lookup by ANSI text, run in the build it is for: a text longer than a
// lookup takes is never cut short to fit, so it finds no window, even one of that very name.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32_window_system.h"

namespace {

// A hidden top-level window of this process with the given title; destroyed with the case.
class TitledWindow {
public:
    explicit TitledWindow(const std::wstring& title)
        : window_(CreateWindowExW(0, L"STATIC", title.c_str(), WS_POPUP, 0, 0, 10, 10, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr))
    {
    }
    ~TitledWindow()
    {
        if (window_)
            DestroyWindow(window_);
    }
    TitledWindow(const TitledWindow&) = delete;
    TitledWindow& operator=(const TitledWindow&) = delete;

    tarnvale::WindowHandle handle() const { return tarnvale::ToHandle(window_); }

private:
    HWND window_;
};

TEST(AnsiLookup, ATitleOfTheLongestLookupIsFound)
{
    const std::wstring longest = L"E2eAnsi" + std::wstring(tarnvale::kMaxLookupTextLength - 7, L'y');
    const TitledWindow window(longest);
    ASSERT_NE(window.handle(), 0u);
    tarnvale::Win32WindowSystem windows(GetModuleHandleW(nullptr));
    EXPECT_EQ(windows.FindWindowA(std::nullopt, longest), window.handle());
}

TEST(AnsiLookup, ALongerTextFindsNoWindowNotEvenItsOwn)
{
    const std::wstring longer = L"E2eAnsi" + std::wstring(tarnvale::kMaxLookupTextLength - 6, L'z');
    const TitledWindow exact(longer);
    const TitledWindow cut(longer.substr(0, tarnvale::kMaxLookupTextLength));
    ASSERT_EQ(tarnvale::ToHandle(FindWindowW(nullptr, longer.c_str())), exact.handle())
        << "the window system itself finds it";
    tarnvale::Win32WindowSystem windows(GetModuleHandleW(nullptr));
    EXPECT_EQ(windows.FindWindowA(std::nullopt, longer), 0u);
    EXPECT_EQ(windows.FindWindowA(longer, std::nullopt), 0u);
}

}  // namespace
