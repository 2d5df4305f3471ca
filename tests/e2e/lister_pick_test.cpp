// tarnvale-list --pick and --wait: a real pointer click on the X display picks a window
// and Tarnvale attaches it, Esc and a right click cancel, a double-clicked lister waits
// for a key, and --wait ends soon after the window comes, or after its time.
#include "captured_process.h"
#include "pick_clicks.h"
#include "session.h"

#include <cstdio>
#include <cstring>

namespace e2e {
namespace {

constexpr DWORD kListerEndMs = 5000;

// The presses and releases of mouse buttons that reached a window of the target fixture.
UINT_PTR ButtonsSeenBy(HWND window)
{
    return reinterpret_cast<UINT_PTR>(GetPropW(window, L"E2eMouseButtons"));
}

class ListerPick : public Session {
protected:
    void TearDown() override
    {
        // Whatever a pick started.
        CloseEveryTarnvale();
    }

    static std::wstring ListerPath() { return Quoted(ProgramFolder() + L"\\tarnvale-list.exe"); }

    // Starts the lister picking and waits until it watches the mouse.
    static CapturedProcess StartPicking()
    {
        CapturedProcess lister = CapturedProcess::Start(ListerPath() + L" --pick");
        EXPECT_TRUE(lister.WaitForOutput(kPickPrompt, kStartTimeoutMs)) << lister.Output();
        return lister;
    }

    // A point where nothing but the desktop is.
    static POINT BareDesktop()
    {
        const HWND desktop = FindDesktop();
        for (const POINT point : {POINT{1000, 740}, POINT{1000, 20}, POINT{20, 740}})
            if (WindowFromPoint(point) == desktop)
                return point;
        ADD_FAILURE() << "no bare spot of desktop";
        return {1000, 740};
    }

    static bool AttachedByTarnvale(HWND window)
    {
        return WaitUntil([&] { return ParentOf(window) == "progman"; }, kStartTimeoutMs);
    }
};

TEST_F(ListerPick, ClickPicksTheWindowUnderItWhichNeverSeesTheClickAndTarnvaleAttachesIt)
{
    ChildProcess target = StartTarget(L"E2ePickPlain", L"--title \"Pick me\"");
    const HWND window = FindTarget(L"E2ePickPlain");
    // The same click reaches the window when nobody picks.
    XDoTool(L"mousemove " + At(Uncovered(window)) + L" click 1");
    ASSERT_TRUE(WaitUntil([&] { return ButtonsSeenBy(window) >= 2; }, kStartTimeoutMs))
        << "X clicks do not reach the window: " << ButtonsSeenBy(window);
    const UINT_PTR buttonsBefore = ButtonsSeenBy(window);

    CapturedProcess lister = StartPicking();
    XDoTool(L"mousemove " + At(Uncovered(window)) + L" click 1");
    ASSERT_TRUE(lister.WaitForExit(kStartTimeoutMs)) << lister.Output();
    std::printf("    --pick printed:\n%s", lister.Output().c_str());

    EXPECT_EQ(lister.ExitCode(), 0u) << lister.Output();
    const std::vector<std::wstring> lines = lister.Lines();
    ASSERT_GE(lines.size(), 3u) << lister.Output();
    EXPECT_EQ(lines[1], L"class [E2ePickPlain]  title [Pick me]");
    EXPECT_TRUE(AttachedByTarnvale(window)) << Describe(window);
    DWORD owner = 0;
    GetWindowThreadProcessId(FindWindowW(kMainWindowClass, nullptr), &owner);
    EXPECT_EQ(lines[2], L"Started tarnvale.exe with the text [E2ePickPlain], process id " +
                            std::to_wstring(owner) + L".");
    // Run with no input, as from a script: the question takes no for an answer, at once.
    ASSERT_GE(lines.size(), 4u) << lister.Output();
    EXPECT_EQ(lines[3], L"Keep it there at every sign-in? (y/N) (no answer: no)");
    EXPECT_EQ(ButtonsSeenBy(window), buttonsBefore) << "the picking click reached the window";
}

TEST_F(ListerPick, YesToTheQuestionKeepsThePickedWindowAtEverySignIn)
{
    ChildProcess target = StartTarget(L"E2ePickKept", L"--title \"Kept from a pick\"");
    const HWND window = FindTarget(L"E2ePickKept");
    // The answer given through a pipe, as a script gives it.
    CapturedProcess lister = CapturedProcess::StartWithInput(ListerPath() + L" --pick", "y\r\n");
    ASSERT_TRUE(lister.WaitForOutput(kPickPrompt, kStartTimeoutMs)) << lister.Output();
    XDoTool(L"mousemove " + At(Uncovered(window)) + L" click 1");
    ASSERT_TRUE(lister.WaitForExit(kStartTimeoutMs)) << lister.Output();
    std::printf("    --pick, answered y, printed:\n%s", lister.Output().c_str());
    EXPECT_EQ(lister.ExitCode(), 0u) << lister.Output();
    EXPECT_TRUE(AttachedByTarnvale(window)) << Describe(window);
    const std::string output = lister.Output();
    EXPECT_NE(output.find("Keep it there at every sign-in? (y/N) y\r\nAt every sign-in, unless the "
                          "window is there already: "),
              std::string::npos) << output;
    EXPECT_NE(output.find("tarnvale.exe is started with the text [E2ePickKept].\r\n"
                          "Kept by a shortcut in the Startup folder:\r\n  "),
              std::string::npos) << output;
    // The kept text is the class name; the shortcut is named after the title, which the user
    // sees, and which --forget takes too.
    const std::size_t named = output.find("Kept by a shortcut in the Startup folder:\r\n  ");
    ASSERT_NE(named, std::string::npos) << output;
    const std::size_t from = named + std::strlen("Kept by a shortcut in the Startup folder:\r\n  ");
    const std::wstring shortcut = Widen(output.substr(from, output.find("\r\n", from) - from));
    EXPECT_TRUE(shortcut.ends_with(L"\\Tarnvale - Kept from a pick.lnk")) << Narrow(shortcut);
    CapturedProcess forget = CapturedProcess::Start(ListerPath() + L" --forget Kept from a pick");
    ASSERT_TRUE(forget.WaitForExit(kStartTimeoutMs));
    EXPECT_EQ(forget.ExitCode(), 0u) << forget.Output();
    EXPECT_TRUE(forget.Output().starts_with(
        "Removed: the window with the text [E2ePickKept] is no longer kept at sign-in.\r\n"))
        << forget.Output();
    EXPECT_EQ(GetFileAttributesW(shortcut.c_str()), INVALID_FILE_ATTRIBUTES) << Narrow(shortcut);
}

TEST_F(ListerPick, TitleWithCharactersCmdReadsAsItsOwnIsPickedAndAttached)
{
    // The class is shared, so the title names the window.
    const std::wstring title = L"Tom & Jerry - %PATH% - \"VLC\" ^ | <x>";
    ChildProcess target = StartTarget(L"E2ePickShared",
                                      L"--title \"Tom & Jerry - %PATH% - \\\"VLC\\\" ^ | <x>\" "
                                      L"--second-class E2ePickShared --second-title Other");
    const HWND window = FindWindowW(L"E2ePickShared", title.c_str());
    HWND other = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (other = FindWindowW(L"E2ePickShared", L"Other")); },
                          kStartTimeoutMs));
    ASSERT_NE(window, nullptr);
    CapturedProcess lister = StartPicking();
    XDoTool(L"mousemove " + At(Uncovered(window)) + L" click 1");
    ASSERT_TRUE(lister.WaitForExit(kStartTimeoutMs)) << lister.Output();
    EXPECT_EQ(lister.ExitCode(), 0u) << lister.Output();
    EXPECT_NE(lister.Output().find("Started tarnvale.exe with the text [" + Narrow(title) + "]"),
              std::string::npos) << lister.Output();
    EXPECT_TRUE(AttachedByTarnvale(window)) << Describe(window);
    EXPECT_EQ(ParentOf(other), "none");
}

TEST_F(ListerPick, EscapeOrARightClickCancelsAndStartsNothing)
{
    ChildProcess target = StartTarget(L"E2ePickCancel", L"--title \"Not this one\"");
    const HWND window = FindTarget(L"E2ePickCancel");
    const UINT_PTR buttonsBefore = ButtonsSeenBy(window);
    for (const wchar_t* cancel : {L"key Escape", L"click 3"}) {
        SCOPED_TRACE(Narrow(cancel));
        CapturedProcess lister = StartPicking();
        // X sends keys to the window with the focus: a window of Wine's must have it.
        XDoTool(L"mousemove " + At(Uncovered(window)) + L" " + cancel);
        ASSERT_TRUE(lister.WaitForExit(kStartTimeoutMs)) << lister.Output();
        EXPECT_EQ(lister.ExitCode(), 5u) << lister.Output();
        EXPECT_NE(lister.Output().find("Cancelled: nothing was started."), std::string::npos)
            << lister.Output();
    }
    EXPECT_EQ(FindWindowW(kMainWindowClass, nullptr), nullptr) << "a Tarnvale was started";
    EXPECT_EQ(ParentOf(window), "none");
    EXPECT_EQ(ButtonsSeenBy(window), buttonsBefore) << "the right click reached the window";
}

// A suite of its own: the window manager raises the desktop window that is clicked, over
// the windows the next cases click.
class ListerPickRefusal : public ListerPick {};

TEST_F(ListerPickRefusal, ClickOnTheDesktopIsRefusedAndItWaitsOn)
{
    CapturedProcess lister = StartPicking();
    XDoTool(L"mousemove " + At(BareDesktop()) + L" click 1");
    EXPECT_TRUE(lister.WaitForOutput(std::string("That is the desktop itself. ") + kPickPrompt,
                                     kStartTimeoutMs)) << lister.Output();
    EXPECT_TRUE(HoldsFor([&] { return !lister.WaitForExit(0); }, kWatchMs))
        << "stopped waiting after a refused click";
    XDoTool(L"key Escape");
    ASSERT_TRUE(lister.WaitForExit(kStartTimeoutMs)) << lister.Output();
    EXPECT_EQ(lister.ExitCode(), 5u) << lister.Output();
    EXPECT_EQ(FindWindowW(kMainWindowClass, nullptr), nullptr) << "a Tarnvale was started";
}

TEST_F(ListerPickRefusal, WindowAttachedAlreadyIsToldAsSuch)
{
    ChildProcess target = StartTarget(L"E2ePickAttached", L"--title \"Attached\" --x 600 --y 450");
    const HWND window = FindTarget(L"E2ePickAttached");
    // As a Tarnvale that was then ended would leave it: its root is the desktop window.
    ASSERT_TRUE(SetParentWithin(window, FindDesktop(), kStartTimeoutMs)) << Describe(window);
    ASSERT_EQ(ParentOf(window), "progman");
    CapturedProcess lister = StartPicking();
    XDoTool(L"mousemove " + At(CentreOf(window)) + L" click 1");
    ASSERT_TRUE(lister.WaitForExit(kStartTimeoutMs)) << lister.Output();
    EXPECT_EQ(lister.ExitCode(), 6u) << lister.Output();
    EXPECT_NE(lister.Output().find("That window is attached to the desktop already:\r\n"
                                   "class [E2ePickAttached]  title [Attached]\r\n"
                                   "Nothing was started."),
              std::string::npos) << lister.Output();
    EXPECT_EQ(FindWindowW(kMainWindowClass, nullptr), nullptr) << "a Tarnvale was started";
}

// As Explorer starts it on a double click: a console of its own, no options.
TEST_F(ListerPick, DoubleClickedItPicksThenWaitsForAKeyBeforeItsConsoleCloses)
{
    // Clear of where the console window opens.
    ChildProcess target =
        StartTarget(L"E2ePickDoubleClick", L"--title \"Double-clicked\" --x 690 --y 520");
    const HWND window = FindTarget(L"E2ePickDoubleClick");
    std::wstring line = ListerPath();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
                               nullptr, nullptr, &startup, &info));
    CloseHandle(info.hThread);
    // Ends the lister, should the case fail half way.
    struct Closer {
        HANDLE process;
        ~Closer()
        {
            if (WaitForSingleObject(process, 0) != WAIT_OBJECT_0)
                TerminateProcess(process, 99);
            CloseHandle(process);
        }
    } lister{info.hProcess};
    const std::wstring probe =
        Quoted(ProgramFolder() + L"\\console_probe.exe") + L" %s " + std::to_wstring(info.dwProcessId);
    auto consoleText = [&] {
        std::wstring command = probe;
        command.replace(command.find(L"%s"), 2, L"text");
        CapturedProcess read = CapturedProcess::Start(command);
        read.WaitForExit(kStartTimeoutMs);
        return read.Output();
    };
    // Reading the console joins it: not before the lister has seen that it was alone there.
    const wchar_t consoleTitle[] = L"tarnvale-list: click the window to keep on the desktop";
    HWND console = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (console = FindWindowW(nullptr, consoleTitle)) != nullptr; },
                          kStartTimeoutMs)) << "the console's title did not say what to do";
    std::string shown;
    EXPECT_TRUE(WaitUntil([&] { return (shown = consoleText()).find(kPickPrompt) != std::string::npos; },
                          kStartTimeoutMs, 100))
        << shown << "; lister " << [&] {
               DWORD code = 0;
               GetExitCodeProcess(info.hProcess, &code);
               return code == STILL_ACTIVE ? std::string("running") : "ended with " + std::to_string(code);
           }();
    EXPECT_NE(shown.find("gives the window you click to tarnvale.exe"), std::string::npos) << shown;

    XDoTool(L"mousemove " + At(Uncovered(console)) + L" click 1");
    EXPECT_TRUE(WaitUntil([&] {
        return (shown = consoleText()).find("That is this console.") != std::string::npos;
    }, kStartTimeoutMs, 100)) << shown;
    XDoTool(L"mousemove " + At(Uncovered(window)) + L" click 1");
    EXPECT_TRUE(AttachedByTarnvale(window)) << Describe(window);
    std::wstring press = probe;
    press.replace(press.find(L"%s"), 2, L"key");
    // Enter alone answers the question: no.
    EXPECT_TRUE(WaitUntil([&] {
        return (shown = consoleText()).find("Keep it there at every sign-in? (y/N)") != std::string::npos;
    }, kStartTimeoutMs, 100)) << shown;
    CapturedProcess answer = CapturedProcess::Start(press);
    EXPECT_TRUE(answer.WaitForExit(kStartTimeoutMs));
    EXPECT_TRUE(WaitUntil([&] {
        return (shown = consoleText()).find("Press a key to close this window.") != std::string::npos;
    }, kStartTimeoutMs, 100)) << shown;
    std::printf("    the console showed:\n%s", shown.c_str());
    EXPECT_TRUE(HoldsFor([&] { return WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT; },
                         kWatchMs)) << "ended without waiting for a key";

    CapturedProcess key = CapturedProcess::Start(press);
    EXPECT_TRUE(key.WaitForExit(kStartTimeoutMs));
    EXPECT_EQ(key.ExitCode(), 0u) << key.Output();
    EXPECT_EQ(WaitForSingleObject(info.hProcess, kListerEndMs), WAIT_OBJECT_0)
        << "a key did not end it";
    DWORD exitCode = 99;
    GetExitCodeProcess(info.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
}

class ListerWait : public Session {
protected:
    static CapturedProcess StartWaiting(const std::wstring& secondsAndText)
    {
        CapturedProcess lister = CapturedProcess::Start(
            Quoted(ProgramFolder() + L"\\tarnvale-list.exe") + L" --wait " + secondsAndText);
        EXPECT_TRUE(lister.WaitForOutput("Waiting up to ", kStartTimeoutMs)) << lister.Output();
        return lister;
    }
};

TEST_F(ListerWait, EndsSoonAfterTheWindowComes)
{
    CapturedProcess lister = StartWaiting(L"60 Late window  ");
    ChildProcess target = ChildProcess::Start(Quoted(ProgramFolder() + L"\\target_app.exe") +
                                              L" --class E2eWaitLate --title \"Late window  \"");
    ASSERT_TRUE(WaitUntil([] { return FindWindowW(L"E2eWaitLate", nullptr) != nullptr; },
                          kStartTimeoutMs, 1));
    const long long ms = MeasureUntil([&] { return lister.WaitForExit(0); }, kStartTimeoutMs);
    std::printf("    --wait ended %lld ms after the window came\n", ms);
    ASSERT_GE(ms, 0) << lister.Output();
    EXPECT_LE(ms, 2000);
    EXPECT_EQ(lister.ExitCode(), 0u) << lister.Output();
    EXPECT_NE(lister.Output().find("Found: class [E2eWaitLate]  title [Late window  ]"),
              std::string::npos) << lister.Output();
}

TEST_F(ListerWait, GivesUpAfterItsTime)
{
    CapturedProcess lister = StartWaiting(L"3 E2eNoSuchWindow");
    const ULONGLONG began = GetTickCount64();
    // Not a limit (the machine is shared): what two seconds of waiting cost.
    const auto cpuMs = [&] {
        FILETIME created{}, exited{}, kernel{}, user{};
        GetProcessTimes(lister.handle(), &created, &exited, &kernel, &user);
        const auto count = [](FILETIME time) {
            return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
        };
        return (count(kernel) + count(user)) / 10000;
    };
    const unsigned long long cpuBefore = cpuMs();
    WaitUntil([&] { return GetTickCount64() - began >= 2000; }, 2500, 10);
    const unsigned long long cpuWaiting = cpuMs() - cpuBefore;
    const long long ms = MeasureUntil([&] { return lister.WaitForExit(0); }, kStartTimeoutMs);
    std::printf("    --wait 3 gave up %llu ms after it began; 2 s of waiting took %llu ms of CPU\n",
                GetTickCount64() - began, cpuWaiting);
    ASSERT_GE(ms, 0) << lister.Output();
    EXPECT_GE(GetTickCount64() - began, 2500u);
    EXPECT_EQ(lister.ExitCode(), 1u) << lister.Output();
    EXPECT_NE(lister.Output().find("None came."), std::string::npos) << lister.Output();

    CapturedProcess wrong = CapturedProcess::Start(Quoted(ProgramFolder() + L"\\tarnvale-list.exe") +
                                                   L" --wait soon Notepad");
    ASSERT_TRUE(wrong.WaitForExit(kStartTimeoutMs));
    EXPECT_EQ(wrong.ExitCode(), 2u) << wrong.Output();
}

TEST_F(ListerWait, RefusesAtOnceATextNoLookupCanMatch)
{
    // U+4E00 has no form in code page 1252: tarnvale.exe can never find this window.
    const std::wstring title = L"Tv\u4E00Wait";
    if (GetACP() != 1252)
        GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not 1252";
    ChildProcess target = StartTarget(L"E2eWaitWide", L"--title " + title);
    ASSERT_EQ(FindWindowW(nullptr, title.c_str()), FindTarget(L"E2eWaitWide"))
        << "the window system finds it by its title itself";

    CapturedProcess lister = CapturedProcess::Start(
        Quoted(ProgramFolder() + L"\\tarnvale-list.exe") + L" --wait 30 " + title);
    const long long ms = MeasureUntil([&] { return lister.WaitForExit(0); }, kStartTimeoutMs);
    std::printf("    --wait 30 refused it after %lld ms\n", ms);
    ASSERT_GE(ms, 0) << lister.Output();
    EXPECT_EQ(lister.ExitCode(), 2u) << lister.Output();
    EXPECT_EQ(lister.Output().find("Waiting up to"), std::string::npos) << lister.Output();
    EXPECT_NE(lister.Output().find("no window can be found by [Tv\xE4\xB8\x80Wait]"),
              std::string::npos) << lister.Output();
    EXPECT_NE(lister.Output().find("U+4E00 [\xE4\xB8\x80] has no form in it."), std::string::npos)
        << lister.Output();
}

}  // namespace
}  // namespace e2e
