// The icon through a restart of the shell: Windows broadcasts "TaskbarCreated" when it
// makes the task bar anew (after Explorer restarted, empty), and is said to broadcast it
// also when the display's scale changes, with the icons still there. Wine's explorer
// never does: the stand-in tray is made anew and the case broadcasts the message itself.
#include "session.h"

namespace e2e {
namespace {

class TrayIcon : public Session {
protected:
    void SetUp() override
    {
        target_ = StartTarget(L"E2eTrayIconTarget");
        tarnvale_ = StartTarnvale(L"E2eTrayIconTarget");
        main_ = WaitForMainWindow(tarnvale_);
        ASSERT_NE(main_, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return IconsShownFor(main_) == 1; }, kStartTimeoutMs))
            << Describe(TrayEventsOf(main_));
    }

    void TearDown() override
    {
        if (!tarnvale_.Exited()) {
            PostMessageW(main_, WM_CLOSE, 0, 0);
            EXPECT_TRUE(tarnvale_.Exited(kStartTimeoutMs)) << "still running after WM_CLOSE";
        }
    }

    static void AnnounceTaskBar()
    {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0,
                            SMTO_ABORTIFHUNG, 5000, &ignored);
    }

    std::size_t EventsOf(const std::string& message) const
    {
        std::size_t count = 0;
        for (const TrayEvent& event : TrayEventsOf(main_))
            count += event.message == message;
        return count;
    }

    ChildProcess target_;
    ChildProcess tarnvale_;
    HWND main_ = nullptr;
};

TEST_F(TrayIcon, ComesBackWhenTheShellMakesItsTaskBarAnewAndGoesAtExit)
{
    // Explorer restarts: the new notification area has no icons.
    tray_.Kill();
    tray_ = StartTray();
    ASSERT_EQ(IconsShownFor(main_), 0) << Describe(TrayEventsOf(main_));
    EXPECT_TRUE(HoldsFor([&] { return TrayEventsOf(main_).empty(); }, kWatchMs))
        << "added again before the task bar was announced: " << Describe(TrayEventsOf(main_));

    AnnounceTaskBar();
    const long long ms = MeasureUntil([&] { return IconsShownFor(main_) == 1; }, kStartTimeoutMs);
    std::printf("    icon added again %lld ms after \"TaskbarCreated\"\n", ms);
    ASSERT_GE(ms, 0) << Describe(TrayEventsOf(main_));
    EXPECT_EQ(TrayEventsOf(main_).size(), 1u) << "one add, nothing else: "
                                              << Describe(TrayEventsOf(main_));
    EXPECT_EQ(TrayEventsOf(main_).front().tip, L"Tarnvale");

    PostMessageW(main_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(tarnvale_.Exited(kStartTimeoutMs)) << "still running after WM_CLOSE";
    EXPECT_EQ(IconsShownFor(main_), 0) << Describe(TrayEventsOf(main_));
    EXPECT_EQ(EventsOf("del"), 1u) << Describe(TrayEventsOf(main_));
}

TEST_F(TrayIcon, AnnouncedWhileTheIconIsThereItStaysOne)
{
    AnnounceTaskBar();
    ASSERT_TRUE(WaitUntil([&] { return EventsOf("mod") == 1; }, kStartTimeoutMs))
        << "the icon was not set anew: " << Describe(TrayEventsOf(main_));
    EXPECT_EQ(IconsShownFor(main_), 1) << Describe(TrayEventsOf(main_));
    EXPECT_TRUE(HoldsFor([&] { return TrayEventsOf(main_).size() == 3; }, kWatchMs))
        << "add, the refused add, the modify, then nothing: " << Describe(TrayEventsOf(main_));
}

}  // namespace
}  // namespace e2e
