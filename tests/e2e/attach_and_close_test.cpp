#include "session.h"

namespace e2e {
namespace {

class AttachAndClose : public Session {};

TEST_F(AttachAndClose, AttachesAtStartAndGivesTheWindowBackOnClose)
{
    const std::wstring targetClass = L"E2eFirstTarget";
    ChildProcess target = StartTarget(targetClass);
    ASSERT_EQ(ParentOf(FindTarget(targetClass)), "none");

    ChildProcess tarnvale = StartTarnvale(targetClass);
    ASSERT_TRUE(WaitForParent(targetClass, "progman"))
        << "target after start-up: " << Describe(FindTarget(targetClass));
    const HWND main = WaitForMainWindow(tarnvale);
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(IsWindowVisible(main)) << "the main window is never shown";
    EXPECT_EQ(Narrow(TextOf(main)), "Tarnvale");

    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(tarnvale.Exited(10000)) << "still running 10 s after WM_CLOSE";
    EXPECT_EQ(ParentOf(FindTarget(targetClass)), "none")
        << "target after close: " << Describe(FindTarget(targetClass));
}

}  // namespace
}  // namespace e2e
