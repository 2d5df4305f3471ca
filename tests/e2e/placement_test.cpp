// The window stays where it is on the screen when its parent changes, also where the
// Program Manager window does not start at (0, 0): on a desktop whose monitors reach
// left of or above the primary one, its corner is negative. The lister's --release keeps
// it there too.
#include "captured_process.h"
#include "session.h"

namespace e2e {
namespace {

const std::wstring kTargetClass = L"E2ePlacedTarget";
const std::wstring kBystanderClass = L"E2ePlacementBystander";

std::string Corner(const RECT& rect)
{
    return "(" + std::to_string(rect.left) + ", " + std::to_string(rect.top) + ")";
}

RECT ScreenRectOf(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

bool SameCorner(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top;
}

// Where the stand-in shell puts the Program Manager window's corner.
struct ShellOrigin {
    LONG x;
    LONG y;
};

void PrintTo(const ShellOrigin& origin, std::ostream* out)
{
    *out << "(" << origin.x << ", " << origin.y << ")";
}

class Placement : public Session, public ::testing::WithParamInterface<ShellOrigin> {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(RestartShell({GetParam().x, GetParam().y}));
        bystander_ = StartTarget(kBystanderClass, L"--x 600 --y 400");
        target_ = StartTarget(kTargetClass, L"--x 140 --y 110");
    }

    void TearDown() override
    {
        if (const HWND main = FindWindowOf(tarnvale_.id(), kMainWindowClass)) {
            PostMessageW(main, WM_CLOSE, 0, 0);
            EXPECT_TRUE(tarnvale_.Exited(kStartTimeoutMs)) << "still running after WM_CLOSE";
        }
        // The other suites expect the shell at the screen's corner.
        RestartShell({0, 0});
    }

    static void RestartShell(POINT origin)
    {
        shell_.Kill();
        ASSERT_TRUE(WaitUntil([] { return FindDesktop() == nullptr; }, kStartTimeoutMs))
            << "a \"Progman\" window is still there: " << Describe(FindDesktop());
        shell_ = StartShell(origin);
        ASSERT_TRUE(WaitUntil(
            [&] {
                const RECT shell = ScreenRectOf(FindDesktop());
                return shell.left == origin.x && shell.top == origin.y;
            },
            kStartTimeoutMs))
            << "the stand-in shell is at " << Corner(ScreenRectOf(FindDesktop()));
    }

    static HWND Target() { return FindTarget(kTargetClass); }

    // The target's corner comes back to `expected` within a moment of `event`, and stays.
    static void ExpectAt(const RECT& expected, const char* event)
    {
        const bool back = WaitUntil([&] { return SameCorner(ScreenRectOf(Target()), expected); },
                                    kReattachLimitMs);
        std::printf("    after %s: at %s on the screen, %s expected; shell at %s\n", event,
                    Corner(ScreenRectOf(Target())).c_str(), Corner(expected).c_str(),
                    Corner(ScreenRectOf(FindDesktop())).c_str());
        EXPECT_TRUE(back && HoldsFor([&] { return SameCorner(ScreenRectOf(Target()), expected); },
                                     kWatchMs / 4))
            << "after " << event << " the target is at " << Corner(ScreenRectOf(Target()))
            << " on the screen, was at " << Corner(expected) << "; " << Describe(Target());
    }

    ChildProcess bystander_;
    ChildProcess target_;
    ChildProcess tarnvale_;
};

TEST_P(Placement, AttachReattachAndGiveBackKeepTheWindowWhereItIsOnTheScreen)
{
    const RECT before = ScreenRectOf(Target());
    tarnvale_ = StartTarnvale(kTargetClass);
    ASSERT_TRUE(WaitForParent(kTargetClass, "progman")) << Describe(Target());
    ExpectAt(before, "the attach");

    // Set loose by another program, which moves it as a plain SetParent does (and the
    // window manager may move it again to keep it on the screen): put it somewhere known.
    // The re-attach must keep it there.
    ASSERT_TRUE(SetParentWithin(Target(), nullptr, kStartTimeoutMs)) << Describe(Target());
    ASSERT_EQ(ParentOf(Target()), "none") << Describe(Target());
    const RECT loose{200, 150, 200, 150};
    ASSERT_TRUE(WaitUntil(
        [&] {
            if (SameCorner(ScreenRectOf(Target()), loose))
                return true;
            SetWindowPos(Target(), nullptr, loose.left, loose.top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return false;
        },
        kStartTimeoutMs, 50))
        << Describe(Target());
    ASSERT_TRUE(GiveForeground(FindTarget(kBystanderClass)));
    ASSERT_GE(HoldForegroundUntil(FindTarget(kBystanderClass),
                                  [] { return ParentOf(Target()) == "progman"; }),
              0)
        << "never re-attached: " << Describe(Target());
    ExpectAt(loose, "the re-attach");

    const HWND main = WaitForMainWindow(tarnvale_);
    ASSERT_NE(main, nullptr);
    PostIconCallback(main, WM_RBUTTONDOWN);
    const HWND menu = WaitForPopupMenu(tarnvale_);
    ASSERT_NE(menu, nullptr);
    ChooseByMnemonic(menu, L'e');
    ASSERT_TRUE(tarnvale_.Exited(kStartTimeoutMs)) << "still running after Exit";
    EXPECT_EQ(ParentOf(Target()), "none") << Describe(Target());
    ExpectAt(loose, "the give-back at Exit");
}

TEST_P(Placement, ReleaseOfAWindowLeftByAKilledTarnvaleKeepsItWhereItIsOnTheScreen)
{
    const RECT before = ScreenRectOf(Target());
    tarnvale_ = StartTarnvale(kTargetClass);
    ASSERT_TRUE(WaitForParent(kTargetClass, "progman")) << Describe(Target());
    ASSERT_NE(WaitForMainWindow(tarnvale_), nullptr);
    ExpectAt(before, "the attach");
    tarnvale_.Kill();

    CapturedProcess release = CapturedProcess::Start(
        Quoted(ProgramFolder() + L"\\tarnvale-list.exe") + L" --release " + kTargetClass);
    ASSERT_TRUE(release.started());
    ASSERT_TRUE(release.WaitForExit(kStartTimeoutMs)) << release.Output();
    EXPECT_EQ(release.ExitCode(), 0u) << release.Output();
    EXPECT_EQ(ParentOf(Target()), "none") << Describe(Target());
    ExpectAt(before, "--release");
}

INSTANTIATE_TEST_SUITE_P(ShellOrigins, Placement,
                         ::testing::Values(ShellOrigin{0, 0}, ShellOrigin{-800, 0},
                                           ShellOrigin{0, -600}),
                         [](const ::testing::TestParamInfo<ShellOrigin>& origin) {
                             auto name = [](LONG n) {
                                 return (n < 0 ? "Minus" : "") + std::to_string(n < 0 ? -n : n);
                             };
                             return "At" + name(origin.param.x) + "x" + name(origin.param.y);
                         });

}  // namespace
}  // namespace e2e
