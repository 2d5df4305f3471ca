// The window system's lookup by ANSI text, run in the build it is for: a title as long as
// a command line can carry is found whole, and tarnvale.exe given it attaches its window.
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

// Room on the target fixture's command line for its program's path and options.
constexpr std::size_t kLongTitleLength = 30000;

TEST_F(AnsiLookup, ATitleAsLongAsACommandLineTakesIsFoundWhole)
{
    const std::wstring title = L"E2eAnsi" + std::wstring(kLongTitleLength - 8, L'y') + L"z";
    const std::wstring shorter = title.substr(0, title.size() - 1);
    ChildProcess target = StartTarget(L"E2eAnsiLong", L"--title " + title);
    ChildProcess other = StartTarget(L"E2eAnsiShorter", L"--title " + shorter);
    const HWND window = FindTarget(L"E2eAnsiLong");
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(GetWindowTextLengthW(window), static_cast<int>(kLongTitleLength));
    EXPECT_EQ(windows_.FindWindowA(std::nullopt, title), tarnvale::ToHandle(window));
    EXPECT_EQ(windows_.FindWindowA(std::nullopt, shorter),
              tarnvale::ToHandle(FindTarget(L"E2eAnsiShorter")));
    EXPECT_EQ(windows_.FindWindowA(title, std::nullopt), 0u) << "no class has that name";
}

TEST_F(AnsiLookup, TarnvaleGivenALongTitleWholeAttachesItsWindow)
{
    const std::wstring title = L"E2eAnsi" + std::wstring(kLongTitleLength - 7, L'w');
    ChildProcess target = StartTarget(L"E2eAnsiLongAttached", L"--title " + title);
    ChildProcess tarnvale = StartTarnvale(title);
    EXPECT_TRUE(WaitForParent(L"E2eAnsiLongAttached", "progman"))
        << Describe(FindTarget(L"E2eAnsiLongAttached")) << "; "
        << Describe(ReadMessageBox(FindMessageBoxOf(tarnvale.id())));
    if (const HWND main = FindWindowOf(tarnvale.id(), kMainWindowClass)) {
        PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_TRUE(tarnvale.Exited(kStartTimeoutMs));
    }
    EXPECT_EQ(ParentOf(FindTarget(L"E2eAnsiLongAttached")), "none");
}

}  // namespace
}  // namespace e2e
