// tarnvale-list.exe: the command lines it prints attach their windows when run as
// printed, by cmd too, whatever the titles hold; --release gives back a window that a
// killed Tarnvale left attached, and leaves the shell's own windows alone.
#include "captured_process.h"
#include "session.h"

#include <cstdio>
#include <vector>

namespace e2e {
namespace {

constexpr DWORD kListerTimeoutMs = 20000;

struct ListerRun {
    DWORD exitCode = 0;
    std::vector<std::wstring> lines;  // split at CR LF, blanks kept
    std::string output;               // as it came, for failure messages
};

ListerRun RunCaptured(const std::wstring& commandLine)
{
    ListerRun run;
    CapturedProcess child = CapturedProcess::Start(commandLine);
    if (!child.started()) {
        ADD_FAILURE() << "could not start " << Narrow(commandLine);
        return run;
    }
    if (!child.WaitForExit(kListerTimeoutMs)) {
        ADD_FAILURE() << Narrow(commandLine) << " did not end; output so far:\n" << child.Output();
        child.Kill();
    }
    run.exitCode = child.ExitCode();
    run.output = child.Output();
    run.lines = child.Lines();
    return run;
}

// One argument for a program that reads its command line as CommandLineToArgvW does.
std::wstring ArgvQuoted(const std::wstring& text)
{
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : text) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted.push_back(c);
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

class Lister : public Session {
protected:
    void TearDown() override
    {
        if (const HWND main = FindWindowOf(tarnvale_.id(), kMainWindowClass)) {
            PostMessageW(main, WM_CLOSE, 0, 0);
            EXPECT_TRUE(tarnvale_.Exited(kStartTimeoutMs)) << "still running after WM_CLOSE";
        }
    }

    static ListerRun RunLister(const std::wstring& options)
    {
        return RunCaptured(Quoted(ProgramFolder() + L"\\tarnvale-list.exe") + options);
    }

    // The lines that follow the one naming the window, up to the blank line after them.
    static std::vector<std::wstring> EntryOf(const ListerRun& run, const std::wstring& className,
                                             const std::wstring& title)
    {
        const std::wstring heading = L"class [" + className + L"]  title [" + title + L"]";
        std::vector<std::wstring> entry;
        for (std::size_t i = 0; i < run.lines.size(); ++i)
            if (run.lines[i] == heading) {
                for (++i; i < run.lines.size() && !run.lines[i].empty(); ++i)
                    entry.push_back(run.lines[i]);
                break;
            }
        return entry;
    }

    // The entry's command line: its one line that starts with the program's name.
    static std::wstring CommandIn(const std::vector<std::wstring>& entry)
    {
        for (const std::wstring& line : entry)
            if (line.starts_with(L"tarnvale"))
                return line;
        return {};
    }

    // Runs the command exactly as printed; `window` must be attached, `other` must not.
    void ExpectAttaches(const std::wstring& command, HWND window, HWND other = nullptr)
    {
        ASSERT_NE(window, nullptr);
        tarnvale_ = StartTarnvaleWithCommandLine(command);
        EXPECT_TRUE(WaitUntil([&] { return ParentOf(window) == "progman"; }, kStartTimeoutMs))
            << Narrow(command) << " did not attach " << Describe(window)
            << "; message box: " << Describe(ReadMessageBox(FindMessageBoxOf(tarnvale_.id())));
        if (other) {
            EXPECT_EQ(ParentOf(other), "none") << Describe(other);
        }
    }

    static std::string Shown(const ListerRun& run)
    {
        return "exit code " + std::to_string(run.exitCode) + ", output:\n" + run.output;
    }

    // Runs the command through cmd in the programs' folder, as typed in a Command Prompt
    // there: `window` must be attached and none of `others`; then Tarnvale is closed and
    // gives it back.
    static void ExpectCmdAttaches(const std::wstring& command, HWND window,
                                  const std::vector<HWND>& others)
    {
        std::wstring line = L"cmd.exe /c " + command;
        const std::wstring folder = ProgramFolder();
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION cmd{};
        ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE,
                                   CREATE_NO_WINDOW, nullptr, folder.c_str(), &startup, &cmd))
            << Narrow(line);
        CloseHandle(cmd.hThread);
        EXPECT_TRUE(WaitUntil([&] { return ParentOf(window) == "progman"; }, kStartTimeoutMs))
            << Narrow(command) << " did not attach " << Describe(window);
        for (const HWND other : others)
            if (other != window) {
                EXPECT_EQ(ParentOf(other), "none") << Narrow(command) << " took " << Describe(other);
            }
        HWND main = nullptr;
        WaitUntil([&] { return (main = FindWindowW(kMainWindowClass, nullptr)) != nullptr; },
                  kStartTimeoutMs);
        if (main)
            PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return !FindWindowW(kMainWindowClass, nullptr); },
                              kStartTimeoutMs)) << "Tarnvale still running";
        EXPECT_EQ(WaitForSingleObject(cmd.hProcess, kStartTimeoutMs), WAIT_OBJECT_0);
        TerminateProcess(cmd.hProcess, 99);
        CloseHandle(cmd.hProcess);
        EXPECT_TRUE(WaitUntil([&] { return ParentOf(window) == "none"; }, kStartTimeoutMs))
            << Describe(window);
    }

    ChildProcess tarnvale_;
};

TEST_F(Lister, PrintedClassNameAttachesItsWindow)
{
    ChildProcess target = StartTarget(L"E2eListByClass", L"--title \"Listed by class\"");
    const ListerRun run = RunLister(L"");
    EXPECT_EQ(run.exitCode, 0u) << Shown(run);
    const std::wstring command = CommandIn(EntryOf(run, L"E2eListByClass", L"Listed by class"));
    ASSERT_EQ(command, L"tarnvale.exe E2eListByClass") << Shown(run);
    ExpectAttaches(command, FindTarget(L"E2eListByClass"));
}

TEST_F(Lister, PrintedTitleWithSpacesAttachesItsWindow)
{
    // Two windows of one class: only the title tells them apart.
    ChildProcess target = StartTarget(L"E2eListShared", L"--title \"Listed by its title\" "
                                      L"--second-class E2eListShared --second-title \"The other\"");
    ASSERT_TRUE(WaitUntil([] { return FindWindowW(L"E2eListShared", L"The other"); },
                          kStartTimeoutMs));
    const ListerRun run = RunLister(L"");
    const std::wstring command = CommandIn(EntryOf(run, L"E2eListShared", L"Listed by its title"));
    ASSERT_EQ(command, L"tarnvale.exe Listed by its title") << Shown(run);
    ExpectAttaches(command, FindWindowW(L"E2eListShared", L"Listed by its title"),
                   FindWindowW(L"E2eListShared", L"The other"));
}

TEST_F(Lister, PrintedTitleKeepsItsQuotesAndTrailingBlanks)
{
    const std::wstring title = L"\"Quoted\" title  ";
    ChildProcess target = StartTarget(L"E2eListQuoted", L"--title \"\\\"Quoted\\\" title  \" "
                                      L"--second-class E2eListQuoted --second-title Other");
    ASSERT_EQ(TextOf(FindWindowW(L"E2eListQuoted", title.c_str())), title);
    const ListerRun run = RunLister(L"");
    const std::vector<std::wstring> entry = EntryOf(run, L"E2eListQuoted", title);
    ASSERT_EQ(entry.size(), 2u) << Shown(run);
    EXPECT_EQ(entry[0], L"tarnvale.exe " + title) << Shown(run);
    EXPECT_EQ(entry[1], L"  (the line above ends in 2 blanks, part of the text)") << Shown(run);
    ExpectAttaches(entry[0], FindWindowW(L"E2eListQuoted", title.c_str()),
                   FindWindowW(L"E2eListQuoted", L"Other"));
}

TEST_F(Lister, ReleasesAWindowLeftByAKilledTarnvale)
{
    ChildProcess target = StartTarget(L"E2eListLeft", L"--title \"Left behind\"");
    tarnvale_ = StartTarnvale(L"E2eListLeft");
    ASSERT_TRUE(WaitForParent(L"E2eListLeft", "progman")) << Describe(FindTarget(L"E2eListLeft"));
    WaitForMainWindow(tarnvale_);
    tarnvale_.Kill();
    ASSERT_EQ(ParentOf(FindTarget(L"E2eListLeft")), "progman");

    const ListerRun list = RunLister(L"");
    const std::vector<std::wstring> entry = EntryOf(list, L"E2eListLeft", L"Left behind");
    ASSERT_FALSE(entry.empty()) << Shown(list);
    EXPECT_EQ(entry[0], L"  left attached by a Tarnvale that was ended; this gives it back:");
    const std::wstring command = CommandIn(entry);
    ASSERT_EQ(command, L"tarnvale-list.exe --release E2eListLeft") << Shown(list);

    const ListerRun release = RunCaptured(command);
    EXPECT_EQ(release.exitCode, 0u) << Shown(release);
    EXPECT_NE(release.output.find("Released: it is an ordinary window again."), std::string::npos)
        << Shown(release);
    EXPECT_EQ(ParentOf(FindTarget(L"E2eListLeft")), "none") << Describe(FindTarget(L"E2eListLeft"));
}

TEST_F(Lister, HeldWindowIsReportedAndTakenBackByItsTarnvale)
{
    ChildProcess bystander = StartTarget(L"E2eListBystander", L"--x 600 --y 400");
    ChildProcess target = StartTarget(L"E2eListHeld", L"--title \"Held\"");
    tarnvale_ = StartTarnvale(L"E2eListHeld");
    ASSERT_TRUE(WaitForParent(L"E2eListHeld", "progman")) << Describe(FindTarget(L"E2eListHeld"));

    const ListerRun list = RunLister(L"");
    const std::vector<std::wstring> entry = EntryOf(list, L"E2eListHeld", L"Held");
    ASSERT_FALSE(entry.empty()) << Shown(list);
    EXPECT_TRUE(entry[0].starts_with(L"  held by a running Tarnvale")) << Shown(list);

    // The watchdog leaves the foreground window alone: the lister starts from another.
    ASSERT_TRUE(GiveForeground(FindTarget(L"E2eListBystander")));
    const ListerRun release = RunLister(L" --release E2eListHeld");
    EXPECT_EQ(release.exitCode, 3u) << Shown(release);
    EXPECT_NE(release.output.find("A running Tarnvale holds this window"), std::string::npos)
        << Shown(release);
    EXPECT_TRUE(WaitForParent(L"E2eListHeld", "progman", kReattachLimitMs))
        << Describe(FindTarget(L"E2eListHeld"));
}

TEST_F(Lister, SaysWhenNothingMatches)
{
    ChildProcess target = StartTarget(L"E2eListLoose", L"--title \"Loose window\"");
    const ListerRun none = RunLister(L" --release E2eNoSuchWindow");
    EXPECT_EQ(none.exitCode, 1u) << Shown(none);
    EXPECT_EQ(none.lines.at(0), L"No window attached to the desktop has the class name or title "
                                L"[E2eNoSuchWindow].") << Shown(none);

    const ListerRun loose = RunLister(L" --release Loose window");
    EXPECT_EQ(loose.exitCode, 1u) << Shown(loose);
    EXPECT_NE(loose.output.find("This one is an ordinary window already:\r\n"
                                "class [E2eListLoose]  title [Loose window]"),
              std::string::npos) << Shown(loose);
    EXPECT_EQ(ParentOf(FindTarget(L"E2eListLoose")), "none");
}

struct HostileWindow {
    std::wstring className;
    std::wstring title;
    std::wstring shownTitle;  // as the listing shows it between [ and ]
};

TEST_F(Lister, EveryCommandPrintedForHostileTitlesAttachesOnlyItsWindowThroughCmd)
{
    const std::wstring injected = ProgramFolder() + L"\\E2eInjected.txt";
    DeleteFileW(injected.c_str());
    // In pairs that share a class; a class with & is never offered, so the title decides.
    const std::vector<HostileWindow> hostile = {
        {L"E2eHostile&Shared", L"Tom & Jerry - %PATH% - VLC", L"Tom & Jerry - %PATH% - VLC"},
        {L"E2eHostile&Shared", L"x & echo injected> E2eInjected.txt",
         L"x & echo injected> E2eInjected.txt"},
        {L"E2eAmp&Class", L"Ampersand class", L"Ampersand class"},
        {L"E2eHostileBidi", L"\u202Etxt.exe", L"\\u{202E}txt.exe"},
        {L"E2eHostileBidi", L"fake]  title [field", L"fake\\]  title [field"},
        {L"E2eHostileHidden", L"C1 \u0085\u009B line\u2028sep \xD800 end",
         L"C1 \\u{85}\\u{9B} line\\u{2028}sep \\u{D800} end"},
        {L"E2eHostileBlank", L"tab\there", L"tab\\u{9}here"},
        {L"E2eHostileBlank", L" leading blank", L" leading blank"},
    };
    std::vector<ChildProcess> targets;
    for (std::size_t i = 0; i < hostile.size(); ++i) {
        const HostileWindow& first = hostile[i];
        std::wstring options = L"--title " + ArgvQuoted(first.title);
        if (i + 1 < hostile.size() && hostile[i + 1].className == first.className) {
            options += L" --second-class " + ArgvQuoted(first.className) + L" --second-title " +
                       ArgvQuoted(hostile[++i].title);
        }
        targets.push_back(StartTarget(first.className, options));
    }
    std::vector<HWND> windows;
    for (const HostileWindow& window : hostile) {
        HWND found = nullptr;
        EXPECT_TRUE(WaitUntil([&] {
            return (found = FindWindowW(window.className.c_str(), window.title.c_str())) != nullptr;
        }, kStartTimeoutMs)) << Narrow(window.shownTitle);
        windows.push_back(found);
    }

    const ListerRun run = RunLister(L"");
    for (const std::wstring& line : run.lines)
        for (const wchar_t raw : {L'\t', L'\x85', L'\x9B', L'\x2028', L'\x202E', L'\xFFFD'})
            EXPECT_EQ(line.find(raw), std::wstring::npos) << "shown raw: " << Narrow(line);
    std::vector<std::wstring> commands;
    for (const HostileWindow& window : hostile) {
        const std::vector<std::wstring> entry = EntryOf(run, window.className, window.shownTitle);
        std::printf("    class [%s]  title [%s]\n", Narrow(window.className).c_str(),
                    Narrow(window.shownTitle).c_str());
        for (const std::wstring& line : entry)
            std::printf("    %s\n", Narrow(line).c_str());
        EXPECT_FALSE(entry.empty()) << Narrow(window.shownTitle) << " not listed; " << Shown(run);
        commands.push_back(CommandIn(entry));
    }
    const std::vector<std::wstring> pickInstead = {
        L"  no command line: cmd reads the & % in its title as its own.",
        L"  tarnvale-list --pick attaches it with a click, nothing typed."};
    EXPECT_EQ(EntryOf(run, hostile[0].className, hostile[0].shownTitle), pickInstead);
    EXPECT_EQ(commands[1], L"");
    EXPECT_EQ(commands[2], L"tarnvale.exe Ampersand class");
    EXPECT_EQ(commands[4], L"tarnvale.exe fake]  title [field");
    EXPECT_EQ(commands[5], L"tarnvale.exe E2eHostileHidden");
    EXPECT_NE(commands[6], L"tarnvale.exe tab\there");
    EXPECT_NE(commands[7], L"tarnvale.exe  leading blank");

    for (std::size_t i = 0; i < hostile.size(); ++i)
        if (!commands[i].empty()) {
            SCOPED_TRACE(Narrow(commands[i]));
            ExpectCmdAttaches(commands[i], windows[i], windows);
        }
    EXPECT_EQ(GetFileAttributesW(injected.c_str()), INVALID_FILE_ATTRIBUTES)
        << "a printed command ran more than tarnvale.exe";
}

TEST_F(Lister, ReleaseGivesUpOnAProgramThatDoesNotAnswer)
{
    ChildProcess target = StartTarget(L"E2eListHung", L"--title \"Hung\" --hang-after 1500");
    const HWND window = FindTarget(L"E2eListHung");
    // As a Tarnvale that was then ended would leave it.
    ASSERT_TRUE(SetParentWithin(window, FindDesktop(), kStartTimeoutMs)) << Describe(window);
    ASSERT_EQ(ParentOf(window), "progman");
    ASSERT_TRUE(WaitUntil([&] { return !Answers(window, 100); }, kStartTimeoutMs))
        << "the target never stopped answering";
    const ListerRun release = RunLister(L" --release E2eListHung");
    EXPECT_EQ(release.exitCode, 4u) << Shown(release);
    EXPECT_NE(release.output.find("Not released: the window's program does not answer."),
              std::string::npos) << Shown(release);
}

TEST_F(Lister, ShellsOwnWindowsAreLeftAloneAndAFolderWindowOfItsProcessIsNot)
{
    const HWND desktop = FindDesktop();
    PostMessageW(desktop, 0x052C, 0, 0);  // what makes the shell keep a "WorkerW"
    PostMessageW(desktop, WM_APP + 1, 0, 0);  // the stand-in shell opens a folder window
    HWND worker = nullptr;
    HWND folder = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        worker = FindWindowExW(desktop, nullptr, L"WorkerW", nullptr);
        folder = FindWindowW(L"CabinetWClass", nullptr);
        return worker && folder;
    }, kStartTimeoutMs)) << "the stand-in shell made no WorkerW or folder window";
    // As a Tarnvale that was then ended would leave it.
    ASSERT_TRUE(SetParentWithin(folder, desktop, kStartTimeoutMs)) << Describe(folder);
    ASSERT_EQ(ParentOf(folder), "progman");

    const ListerRun list = RunLister(L"");
    EXPECT_EQ(list.output.find("class [WorkerW]"), std::string::npos) << Shown(list);
    EXPECT_EQ(CommandIn(EntryOf(list, L"CabinetWClass", L"Folder")),
              L"tarnvale-list.exe --release CabinetWClass") << Shown(list);

    const ListerRun refused = RunLister(L" --release WorkerW");
    EXPECT_EQ(refused.exitCode, 4u) << Shown(refused);
    EXPECT_NE(refused.output.find("Not released: this is a window of the shell's own"),
              std::string::npos) << Shown(refused);
    EXPECT_EQ(GetAncestor(worker, GA_PARENT), desktop);

    const ListerRun released = RunLister(L" --release CabinetWClass");
    EXPECT_EQ(released.exitCode, 0u) << Shown(released);
    EXPECT_EQ(ParentOf(folder), "none");
    PostMessageW(folder, WM_CLOSE, 0, 0);
}

}  // namespace
}  // namespace e2e
