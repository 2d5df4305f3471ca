// The window system's lookup by ANSI text, run in the build it is for: a text longer than a
// lookup takes is never cut short to fit, so it finds no window, even one of that very name.
// The windows are the target fixture's: windows made in this process would change how
// later cases' mouse input reaches other programs.
#include "session.h"

#include "platform/win32_window_system.h"

namespace e2e {
namespace {

class AnsiLookup : public Session {
protected:
    tarnvale::Win32WindowSystem windows_{GetModuleHandleW(nullptr)};
};

TEST_F(AnsiLookup, ATitleOfTheLongestLookupIsFound)
{
    const std::wstring longest = L"E2eAnsi" + std::wstring(tarnvale::kMaxLookupTextLength - 7, L'y');
    ChildProcess target = StartTarget(L"E2eAnsiLongest", L"--title " + longest);
    const HWND window = FindTarget(L"E2eAnsiLongest");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(windows_.FindWindowA(std::nullopt, longest), tarnvale::ToHandle(window));
}

TEST_F(AnsiLookup, ALongerTextFindsNoWindowNotEvenItsOwn)
{
    const std::wstring longer = L"E2eAnsi" + std::wstring(tarnvale::kMaxLookupTextLength - 6, L'z');
    ChildProcess exact = StartTarget(L"E2eAnsiLonger", L"--title " + longer);
    ChildProcess cut = StartTarget(L"E2eAnsiCut",
                                   L"--title " + longer.substr(0, tarnvale::kMaxLookupTextLength));
    ASSERT_EQ(FindWindowW(nullptr, longer.c_str()), FindTarget(L"E2eAnsiLonger"))
        << "the window system itself finds it by that title";
    EXPECT_EQ(windows_.FindWindowA(std::nullopt, longer), 0u);
    EXPECT_EQ(windows_.FindWindowA(longer, std::nullopt), 0u);
}

}  // namespace
}  // namespace e2e
