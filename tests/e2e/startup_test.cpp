// Start-up as a user meets it: the two message boxes, and the icon once a window is found.
#include "session.h"

namespace e2e {
namespace {

const std::wstring kUsage = L"Usage: tarnvale windowtitle/classname";
const std::wstring kNotFound = L"Window not found!";
// What a batch file sees in ERRORLEVEL.
constexpr DWORD kUsageExitCode = 1;
constexpr DWORD kNotFoundExitCode = 2;

class Startup : public Session {
protected:
    // The box the program shows for `commandLine`, read; then OK is pressed and the
    // process must be gone within the limit with the exit code that tells the failure,
    // with nothing added to the tray.
    void ExpectBoxThenEnd(const std::wstring& commandLine, const std::wstring& text,
                          const std::string& icon, DWORD exitCode)
    {
        const std::size_t trayBefore = TrayEvents().size();
        ChildProcess tarnvale = StartTarnvaleWithCommandLine(commandLine);
        const HWND shown = WaitForMessageBox(tarnvale);
        // The icon is read off the screen, so the box must have been painted first.
        WaitUntil([&] { return ReadMessageBox(shown).icon != "unknown"; }, 5000, 50);
        const MessageBoxView box = ReadMessageBox(shown);
        ASSERT_NE(box.window, nullptr) << "expected a message box, saw none; the program "
                                       << (tarnvale.Exited() ? "ended" : "runs on") << "; "
                                       << WindowsOf(tarnvale);
        EXPECT_EQ(box.caption, L"Tarnvale") << Describe(box);
        EXPECT_EQ(box.text, text) << Describe(box);
        EXPECT_EQ(box.icon, icon) << Describe(box);
        EXPECT_EQ(box.buttons, L"OK") << Describe(box);

        ASSERT_TRUE(PressOk(box.window)) << Describe(box);
        const long long endedMs = MeasureUntil([&] { return tarnvale.Exited(); }, kStartTimeoutMs);
        std::printf("    process gone %lld ms after OK\n", endedMs);
        EXPECT_GE(endedMs, 0) << "still running after OK; windows: " << WindowsOf(tarnvale);
        EXPECT_LE(endedMs, static_cast<long long>(kEndLimitMs));
        EXPECT_EQ(tarnvale.ExitCode(), exitCode);
        const std::vector<TrayEvent> tray = TrayEvents();
        EXPECT_EQ(tray.size(), trayBefore) << "no icon may be added; " << Describe(tray);
    }

    static std::string WindowsOf(const ChildProcess& process)
    {
        std::string all;
        for (const HWND window : TopLevelWindowsOf(process.id()))
            all += Describe(window) + "; ";
        for (HWND child = FindWindowExW(FindDesktop(), nullptr, nullptr, nullptr); child;
             child = FindWindowExW(FindDesktop(), child, nullptr, nullptr)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(child, &owner);
            if (owner == process.id())
                all += "attached: " + Describe(child) + "; ";
        }
        return all.empty() ? "(none)" : all;
    }
};

TEST_F(Startup, EmptyCommandLineShowsUsageAndEnds)
{
    ExpectBoxThenEnd(Quoted(TarnvalePath()), kUsage, "information", kUsageExitCode);
}

TEST_F(Startup, SpacesOnlyShowUsageAndEnd)
{
    ExpectBoxThenEnd(Quoted(TarnvalePath()) + L"     ", kUsage, "information", kUsageExitCode);
}

TEST_F(Startup, TabsOnlyAreLookedUpAndNotFound)
{
    ExpectBoxThenEnd(Quoted(TarnvalePath()) + L" \t\t", kNotFound, "exclamation",
                     kNotFoundExitCode);
}

TEST_F(Startup, UnknownNameShowsNotFoundAndEnds)
{
    ExpectBoxThenEnd(Quoted(TarnvalePath()) + L" E2eNoSuchWindow", kNotFound, "exclamation",
                     kNotFoundExitCode);
}

TEST_F(Startup, ItsOwnHiddenMainWindowIsNotFound)
{
    // The text is looked up once the main window exists, and no other has its class.
    CloseEveryTarnvale();
    ExpectBoxThenEnd(Quoted(TarnvalePath()) + L" " + kMainWindowClass, kNotFound, "exclamation",
                     kNotFoundExitCode);
}

TEST_F(Startup, NothingIsAttachedWhileTheNotFoundBoxIsOpen)
{
    ChildProcess tarnvale = StartTarnvale(L"E2eLateTarget");
    const HWND box = WaitForMessageBox(tarnvale);
    ASSERT_NE(box, nullptr) << "expected the not-found box";
    // The window appears while the box is open: no tick may find or attach it.
    ChildProcess target = StartTarget(L"E2eLateTarget");
    EXPECT_TRUE(HoldsFor([] { return ParentOf(FindTarget(L"E2eLateTarget")) == "none"; }, kWatchMs))
        << "target while the box is open: " << Describe(FindTarget(L"E2eLateTarget"));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(tarnvale.Exited(kStartTimeoutMs)) << "still running after WM_COMMAND IDOK";
    EXPECT_EQ(ParentOf(FindTarget(L"E2eLateTarget")), "none")
        << Describe(FindTarget(L"E2eLateTarget"));
}

TEST_F(Startup, FoundWindowIsAttachedAndTheIconAddedWithoutAnyBox)
{
    ChildProcess target = StartTarget(L"E2eStartTarget");
    ChildProcess tarnvale = StartTarnvale(L"E2eStartTarget");
    const long long attachedMs = MeasureUntil(
        [] { return ParentOf(FindTarget(L"E2eStartTarget")) == "progman"; }, kStartTimeoutMs);
    std::printf("    attached %lld ms after the process was created\n", attachedMs);
    ASSERT_GE(attachedMs, 0) << Describe(FindTarget(L"E2eStartTarget"));

    const HWND main = WaitForMainWindow(tarnvale);
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(IsWindowVisible(main)) << "the main window is never shown: " << Describe(main);
    ASSERT_TRUE(WaitUntil([&] { return IconsShownFor(main) == 1; }, kStartTimeoutMs))
        << Describe(TrayEventsOf(main));
    const std::vector<TrayEvent> events = TrayEventsOf(main);
    ASSERT_EQ(events.size(), 1u) << Describe(events);
    EXPECT_EQ(events[0].id, 1u) << Describe(events);
    EXPECT_EQ(events[0].flags, 7u) << Describe(events);
    EXPECT_EQ(events[0].callback, 0x200u) << Describe(events);
    EXPECT_EQ(events[0].tip, L"Tarnvale") << Describe(events);
    EXPECT_EQ(FindMessageBoxOf(tarnvale.id()), nullptr)
        << Describe(ReadMessageBox(FindMessageBoxOf(tarnvale.id())));
}

}  // namespace
}  // namespace e2e
