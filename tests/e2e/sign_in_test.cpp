// tarnvale-list --at-sign-in and --forget, and a sign-in for real: a plain `wineboot` runs
// the Startup folder's items as Windows does at sign-in. The target fixture's class and
// title come from its command line, so its window coming back as it was shows that the
// program was started again with its arguments whole.
#include "captured_process.h"
#include "guide_lines.h"
#include "harness/message_box.h"
#include "session.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>

namespace e2e {
namespace {

// Wine's boot runs services and the Startup folder's items: seconds, on a loaded machine more.
constexpr DWORD kWinebootMs = 60000;
constexpr DWORD kSignInMs = 60000;
constexpr char kKeptBy[] = "Kept by a shortcut in the Startup folder:";

std::wstring StartupFolder()
{
    wchar_t* path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Startup, KF_FLAG_CREATE, nullptr, &path)))
        folder = path;
    CoTaskMemFree(path);
    return folder;
}

std::vector<std::wstring> KeptShortcuts()
{
    std::vector<std::wstring> found;
    const std::wstring folder = StartupFolder();
    WIN32_FIND_DATAW data{};
    const HANDLE search = FindFirstFileW((folder + L"\\Tarnvale - *.lnk").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return found;
    do
        found.push_back(folder + L"\\" + data.cFileName);
    while (FindNextFileW(search, &data));
    FindClose(search);
    return found;
}

// What Windows shows of a shortcut: its target, arguments, folder and window state.
struct ShortcutFields {
    std::wstring target;
    std::wstring arguments;
    std::wstring folder;
    int show = 0;
};

ShortcutFields ReadShortcut(const std::wstring& path)
{
    ShortcutFields fields;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
        std::wstring text(32768, L'\0');
        link->GetPath(text.data(), MAX_PATH, nullptr, SLGP_RAWPATH);
        fields.target = text.c_str();
        link->GetArguments(text.data(), static_cast<int>(text.size()));
        fields.arguments = text.c_str();
        link->GetWorkingDirectory(text.data(), MAX_PATH);
        fields.folder = text.c_str();
    }
    if (file)
        file->Release();
    if (link)
        link->Release();
    CoUninitialize();
    // Read from the file itself: Wine 8 reads every shortcut back as shown normally.
    const HANDLE raw = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
    BYTE header[0x40] = {};
    DWORD read = 0;
    if (raw != INVALID_HANDLE_VALUE && ReadFile(raw, header, sizeof header, &read, nullptr) &&
        read == sizeof header)
        CopyMemory(&fields.show, header + 0x3C, sizeof(DWORD));  // the header's ShowCommand
    if (raw != INVALID_HANDLE_VALUE)
        CloseHandle(raw);
    return fields;
}

void EndProcessOf(HWND window)
{
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    if (const HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
        TerminateProcess(process, 99);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
}

class SignIn : public Session {
protected:
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }

    // No shortcut, Tarnvale or sign-in run of ours left for the next case's sign-in.
    void Clear()
    {
        for (const std::wstring& path : KeptShortcuts()) {
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // one a case made read-only
            DeleteFileW(path.c_str());
        }
        CloseEveryTarnvale();
        for (const DWORD id : ProcessesNamed(L"tarnvale-list.exe"))
            if (const HANDLE lister = OpenProcess(PROCESS_TERMINATE, FALSE, id)) {
                TerminateProcess(lister, 99);
                CloseHandle(lister);
            }
        for (const std::wstring& className : started_)
            while (const HWND window = FindTarget(className))
                EndProcessOf(window);
    }

    // Runs the lister with `options` after its name, as given, no shell between.
    static CapturedProcess RunLister(const std::wstring& options)
    {
        CapturedProcess lister =
            CapturedProcess::Start(Quoted(ProgramFolder() + L"\\tarnvale-list.exe") + options);
        EXPECT_TRUE(lister.WaitForExit(kStartTimeoutMs)) << lister.Output();
        return lister;
    }

    // --at-sign-in for `text`: the shortcut it wrote, as it says.
    std::wstring KeepAtSignIn(const std::wstring& text)
    {
        CapturedProcess lister = RunLister(L" --at-sign-in " + text);
        std::printf("    --at-sign-in printed:\n%s", lister.Output().c_str());
        EXPECT_EQ(lister.ExitCode(), 0u) << lister.Output();
        const std::vector<std::wstring> lines = lister.Lines();
        for (std::size_t i = 0; i + 1 < lines.size(); ++i)
            if (lines[i] == Widen(kKeptBy) && lines[i + 1].starts_with(L"  "))
                return lines[i + 1].substr(2);
        ADD_FAILURE() << "no shortcut named: " << lister.Output();
        return {};
    }

    // A Tarnvale attaches the window, then the window's program and Tarnvale are ended, as
    // at a sign-out.
    void AttachThenEnd(const std::wstring& text, ChildProcess& target, HWND window)
    {
        ChildProcess tarnvale = StartTarnvale(text);
        ASSERT_TRUE(WaitUntil([&] { return ParentOf(window) == "progman"; }, kStartTimeoutMs))
            << Describe(window);
        target.Kill();
        const HWND main = WaitForMainWindow(tarnvale);
        PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_TRUE(tarnvale.Exited(kStartTimeoutMs)) << "Tarnvale did not end";
    }

    // A plain wineboot, as a sign-in: neither -i nor -r. Started, not waited for.
    static ChildProcess SignInAgain()
    {
        ChildProcess wineboot = ChildProcess::Start(L"wineboot.exe");
        EXPECT_TRUE(wineboot.started()) << "cannot run wineboot.exe";
        return wineboot;
    }

    // Waits for the window of `className` titled `title` to be attached by a new Tarnvale:
    // milliseconds from `start` to its window and to its being attached, -1 for what did not come.
    struct Timings {
        long long window = -1;
        long long attached = -1;
    };
    Timings WaitForAttached(const std::wstring& className, const std::wstring& title,
                            ULONGLONG start, HWND* found = nullptr)
    {
        Timings timings;
        HWND window = nullptr;
        if (WaitUntil([&] { return (window = FindTarget(className)) != nullptr; }, kSignInMs))
            timings.window = static_cast<long long>(GetTickCount64() - start);
        if (window && WaitUntil([&] { return ParentOf(window) == "progman"; }, kSignInMs))
            timings.attached = static_cast<long long>(GetTickCount64() - start);
        EXPECT_GE(timings.attached, 0) << Describe(window);
        EXPECT_EQ(TextOf(window), title);
        if (found)
            *found = window;
        return timings;
    }

    ChildProcess StartKeptTarget(const std::wstring& className, const std::wstring& options)
    {
        started_.push_back(className);
        return StartTarget(className, options);
    }

    std::vector<std::wstring> started_;
};

TEST_F(SignIn, TheProgramIsStartedAgainWithItsArgumentsAndANewTarnvaleAttachesItsWindow)
{
    ChildProcess target = StartKeptTarget(L"E2eSignInKept", L"--title \"Kept at sign-in\"");
    const HWND window = FindTarget(L"E2eSignInKept");
    const std::wstring program = ProgramOf(window);
    const std::wstring shortcut = KeepAtSignIn(L"E2eSignInKept");
    ASSERT_NE(GetFileAttributesW(shortcut.c_str()), INVALID_FILE_ATTRIBUTES) << Narrow(shortcut);
    EXPECT_EQ(shortcut, StartupFolder() + L"\\Tarnvale - Kept at sign-in.lnk");
    const ShortcutFields fields = ReadShortcut(shortcut);
    std::printf("    the shortcut: target [%s]\n      arguments [%s]\n      start in [%s], show %d\n",
                Narrow(fields.target).c_str(), Narrow(fields.arguments).c_str(),
                Narrow(fields.folder).c_str(), fields.show);
    EXPECT_EQ(fields.target, ProgramFolder() + L"\\tarnvale-list.exe");
    EXPECT_EQ(fields.folder, ProgramFolder());
    EXPECT_EQ(fields.show, SW_SHOWMINNOACTIVE);
    EXPECT_TRUE(fields.arguments.starts_with(L"--signed-in E2eSignInKept ")) << Narrow(fields.arguments);

    AttachThenEnd(L"E2eSignInKept", target, window);
    ASSERT_EQ(FindTarget(L"E2eSignInKept"), nullptr);
    const ULONGLONG start = GetTickCount64();
    ChildProcess wineboot = SignInAgain();
    HWND again = nullptr;
    const Timings timings = WaitForAttached(L"E2eSignInKept", L"Kept at sign-in", start, &again);
    std::printf("    sign-in: the window came %lld ms after wineboot started, attached at %lld ms\n",
                timings.window, timings.attached);
    EXPECT_EQ(ProgramOf(again), program);

    // Signed in again with the program running: not started twice.
    PostMessageW(FindWindowW(kMainWindowClass, nullptr), WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return ParentOf(again) == "none"; }, kStartTimeoutMs));
    EXPECT_TRUE(wineboot.Exited(kWinebootMs)) << "the first wineboot did not end";
    const std::size_t running = ProcessesNamed(L"target_app.exe").size();
    const ULONGLONG secondStart = GetTickCount64();
    ChildProcess second = SignInAgain();
    HWND same = nullptr;
    const Timings secondTimings =
        WaitForAttached(L"E2eSignInKept", L"Kept at sign-in", secondStart, &same);
    std::printf("    signed in again with the window there: attached %lld ms after wineboot started\n",
                secondTimings.attached);
    EXPECT_EQ(same, again);
    EXPECT_TRUE(second.Exited(kWinebootMs));
    EXPECT_EQ(ProcessesNamed(L"target_app.exe").size(), running);
}

// The window's screen rectangle, attached or not.
RECT RectOf(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

std::string Rect(const RECT& rect)
{
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + " " +
           std::to_string(rect.right - rect.left) + "x" + std::to_string(rect.bottom - rect.top);
}

TEST_F(SignIn, AWindowMovedAndSizedComesBackAttachedWhereTheUserLeftIt)
{
    // Its program opens it at 120,140, 320x200; the user moved it and made it smaller.
    ChildProcess target = StartKeptTarget(L"E2eSignInPlace", L"--title Placed --x 120 --y 140");
    const HWND window = FindTarget(L"E2eSignInPlace");
    SetWindowPos(window, nullptr, 560, 380, 280, 190, SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil([&] { return Rect(RectOf(window)) == "560,380 280x190"; }, kStartTimeoutMs))
        << Rect(RectOf(window));
    CapturedProcess kept = RunLister(L" --at-sign-in E2eSignInPlace");
    std::printf("    --at-sign-in printed:\n%s", kept.Output().c_str());
    EXPECT_EQ(kept.ExitCode(), 0u) << kept.Output();
    EXPECT_NE(kept.Output().find("it is put at 560,380, 280\xC3\x97" "190 and\r\n"), std::string::npos)
        << kept.Output();
    AttachThenEnd(L"E2eSignInPlace", target, window);

    const ULONGLONG start = GetTickCount64();
    ChildProcess wineboot = SignInAgain();
    HWND again = nullptr;
    const Timings timings = WaitForAttached(L"E2eSignInPlace", L"Placed", start, &again);
    std::printf("    sign-in: the window came %lld ms after wineboot started, attached at %lld ms, "
                "at %s\n", timings.window, timings.attached, Rect(RectOf(again)).c_str());
    EXPECT_EQ(Rect(RectOf(again)), "560,380 280x190");
    EXPECT_TRUE(HoldsFor([&] { return ParentOf(again) == "progman"; }, kWatchMs));
    EXPECT_EQ(Rect(RectOf(again)), "560,380 280x190") << "moved after it was attached";
    EXPECT_TRUE(wineboot.Exited(kWinebootMs));
}

TEST_F(SignIn, AKeptWindowComesBackWhileAnotherWindowOfItsProgramStaysOpen)
{
    // Two copies of one program; the second's window is kept, the first stays open
    // through the sign-out, as a second Notepad document would.
    ChildProcess stays = StartKeptTarget(L"E2eSignInStays", L"--title Stays --x 500");
    ChildProcess target = StartKeptTarget(L"E2eSignInBeside", L"--title Beside");
    const HWND window = FindTarget(L"E2eSignInBeside");
    KeepAtSignIn(L"E2eSignInBeside");
    AttachThenEnd(L"E2eSignInBeside", target, window);
    ASSERT_EQ(FindTarget(L"E2eSignInBeside"), nullptr);
    const std::size_t running = ProcessesNamed(L"target_app.exe").size();

    const ULONGLONG start = GetTickCount64();
    ChildProcess wineboot = SignInAgain();
    const Timings timings = WaitForAttached(L"E2eSignInBeside", L"Beside", start);
    std::printf("    sign-in beside a running copy: the window came %lld ms after wineboot started, "
                "attached at %lld ms\n", timings.window, timings.attached);
    EXPECT_EQ(ProcessesNamed(L"target_app.exe").size(), running + 1);
    EXPECT_EQ(ParentOf(FindTarget(L"E2eSignInStays")), "none");
    EXPECT_FALSE(stays.Exited());
    EXPECT_TRUE(wineboot.Exited(kWinebootMs));
}

TEST_F(SignIn, AProgramStartedInAnotherFolderWithADocumentNamedFromThereComesBack)
{
    // As `notepad todo.txt` typed in a Command Prompt open on that folder.
    const std::wstring folder = ProgramFolder() + L"\\E2e data folder";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring document = folder + L"\\todo.txt";
    const HANDLE file = CreateFileW(document.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "From todo.txt\r\n", 15, &written, nullptr);
    CloseHandle(file);
    wchar_t ours[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, ours);
    ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));
    started_.push_back(L"E2eSignInFolder");
    ChildProcess target = ChildProcess::Start(Quoted(ProgramFolder() + L"\\target_app.exe") +
                                              L" --class E2eSignInFolder --title-from todo.txt");
    SetCurrentDirectoryW(ours);
    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (window = FindTarget(L"E2eSignInFolder")) != nullptr; },
                          kStartTimeoutMs)) << "the target never read its document";
    ASSERT_EQ(TextOf(window), L"From todo.txt");
    CapturedProcess kept = RunLister(L" --at-sign-in E2eSignInFolder");
    std::printf("    --at-sign-in printed:\n%s", kept.Output().c_str());
    EXPECT_NE(kept.Output().find("in the folder " + Narrow(folder) + "\\."), std::string::npos)
        << kept.Output();
    AttachThenEnd(L"E2eSignInFolder", target, window);

    const ULONGLONG start = GetTickCount64();
    ChildProcess wineboot = SignInAgain();
    const Timings timings = WaitForAttached(L"E2eSignInFolder", L"From todo.txt", start);
    std::printf("    sign-in: the window came %lld ms after wineboot started, attached at %lld ms\n",
                timings.window, timings.attached);
    EXPECT_TRUE(wineboot.Exited(kWinebootMs));
    Clear();
    DeleteFileW(document.c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST_F(SignIn, TheVeryProgramKeptIsStartedAgainNotItsNamesakeInSysWow64)
{
    // The 64-bit Notepad: a 32-bit suite names it through Sysnative, as its System32 is
    // SysWOW64 to it, and so is a 32-bit lister's that would start it by its path.
    BOOL suiteIs32 = FALSE;
    IsWow64Process(GetCurrentProcess(), &suiteIs32);
    const std::wstring system = suiteIs32 ? L"C:\\windows\\sysnative" : L"C:\\windows\\system32";
    started_.push_back(L"Notepad");
    ChildProcess notepad = ChildProcess::Start(Quoted(system + L"\\notepad.exe"));
    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (window = FindTarget(L"Notepad")) != nullptr; }, kStartTimeoutMs))
        << "Notepad did not start";
    // Notepad names its window "Notepad" first, then after its document.
    ASSERT_TRUE(notepad.WaitForIdle(kStartTimeoutMs));
    const std::wstring program = ProgramOf(window);
    const std::wstring title = TextOf(window);
    ASSERT_EQ(CompareStringOrdinal(program.c_str(), -1, L"C:\\windows\\system32\\notepad.exe", -1, TRUE),
              CSTR_EQUAL) << Narrow(program);
    CapturedProcess kept = RunLister(L" --at-sign-in Notepad");
    std::printf("    --at-sign-in printed:\n%s", kept.Output().c_str());
    // One path, the one started.
    EXPECT_NE(kept.Output().find("already: " + Narrow(program) + " is started with no arguments\r\n"),
              std::string::npos) << kept.Output();
    AttachThenEnd(L"Notepad", notepad, window);

    const ULONGLONG start = GetTickCount64();
    ChildProcess wineboot = SignInAgain();
    HWND again = nullptr;
    const Timings timings = WaitForAttached(L"Notepad", title, start, &again);
    std::printf("    sign-in: Notepad came %lld ms after wineboot started, attached at %lld ms\n",
                timings.window, timings.attached);
    DWORD id = 0;
    GetWindowThreadProcessId(again, &id);
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    BOOL againIs32 = TRUE;
    IsWow64Process(process, &againIs32);
    if (process)
        CloseHandle(process);
    EXPECT_FALSE(againIs32) << "the 32-bit Notepad of SysWOW64 was started: " << Narrow(ProgramOf(again));
    EXPECT_TRUE(wineboot.Exited(kWinebootMs));
}

TEST_F(SignIn, AFolderWindowOfTheShellIsKeptWithoutStartingAnythingAndTakenOnceOpened)
{
    // The stand-in shell opens a folder window on a thread of its own, as Explorer does.
    const HWND desktop = FindDesktop();
    PostMessageW(desktop, WM_APP + 1, 0, 0);
    HWND folder = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (folder = FindWindowW(L"CabinetWClass", nullptr)) != nullptr; },
                          kStartTimeoutMs)) << "the stand-in shell opened no folder window";
    const std::wstring shortcut = KeepAtSignIn(L"CabinetWClass");
    CapturedProcess list = RunLister(L"");
    EXPECT_NE(list.Output().find("text [CabinetWClass]\r\n  starts no program\r\n"), std::string::npos)
        << list.Output();
    EXPECT_TRUE(ReadShortcut(shortcut).arguments.starts_with(L"--signed-in CabinetWClass --place."))
        << Narrow(ReadShortcut(shortcut).arguments);
    PostMessageW(folder, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(folder); }, kStartTimeoutMs));

    const std::size_t running = ProcessesNamed(L"fake_shell.exe").size();
    ChildProcess wineboot = SignInAgain();
    ASSERT_TRUE(WaitUntil([] { return !ProcessesNamed(L"tarnvale-list.exe").empty(); }, kSignInMs))
        << "the sign-in never ran the lister";
    // The user opens the folder again: Tarnvale takes it.
    PostMessageW(desktop, WM_APP + 1, 0, 0);
    EXPECT_TRUE(WaitUntil([&] {
        return FindWindowExW(desktop, nullptr, L"CabinetWClass", nullptr) != nullptr;
    }, kSignInMs)) << "the folder window was not attached";
    EXPECT_EQ(ProcessesNamed(L"fake_shell.exe").size(), running) << "the shell was started again";
    EXPECT_TRUE(wineboot.Exited(kWinebootMs));
    CloseEveryTarnvale();
    if (const HWND opened = FindWindowW(L"CabinetWClass", nullptr))
        PostMessageW(opened, WM_CLOSE, 0, 0);
}

TEST_F(SignIn, TheUsersGuidesLinesKeepNotepadAndItsForgetLineRemovesItAlsoAfterAPick)
{
    const std::string keep = UsersGuideLine("tarnvale-list.exe --at-sign-in ");
    const std::string forget = UsersGuideLine("tarnvale-list.exe --forget ");
    ASSERT_EQ(keep, "tarnvale-list.exe --at-sign-in Untitled - Notepad");
    ASSERT_EQ(forget, "tarnvale-list.exe --forget Untitled - Notepad");
    started_.push_back(L"Notepad");
    ChildProcess notepad = ChildProcess::Start(L"notepad.exe");
    ASSERT_TRUE(notepad.WaitForIdle(kStartTimeoutMs));
    ASSERT_TRUE(WaitUntil([] { return FindWindowW(L"Notepad", L"Untitled - Notepad") != nullptr; },
                          kStartTimeoutMs)) << Describe(FindTarget(L"Notepad"));
    const std::wstring shortcut = StartupFolder() + L"\\Tarnvale - Untitled - Notepad.lnk";
    EXPECT_EQ(RunInCmd(keep), 0u);
    EXPECT_NE(GetFileAttributesW(shortcut.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(RunInCmd(forget), 0u);
    EXPECT_EQ(GetFileAttributesW(shortcut.c_str()), INVALID_FILE_ATTRIBUTES);
    // A pick keeps the class name, which names the window alone; the line takes the title.
    EXPECT_EQ(RunLister(L" --at-sign-in Notepad").ExitCode(), 0u);
    ASSERT_NE(GetFileAttributesW(shortcut.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(RunInCmd(forget), 0u);
    EXPECT_EQ(GetFileAttributesW(shortcut.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(KeptShortcuts().empty());
}

TEST_F(SignIn, AProgramRunningWithoutItsWindowYetIsNotStartedTwice)
{
    ChildProcess target = StartKeptTarget(L"E2eSignInOnce", L"--title Once");
    KeepAtSignIn(L"E2eSignInOnce");
    AttachThenEnd(L"E2eSignInOnce", target, FindTarget(L"E2eSignInOnce"));
    // As a program that starts itself at sign-in and shows its window later.
    const HANDLE go = CreateEventW(nullptr, TRUE, FALSE, L"E2eSignInOnceGo");
    ChildProcess late = ChildProcess::Start(Quoted(ProgramFolder() + L"\\target_app.exe") +
                                            L" --class E2eSignInOnce --title Once "
                                            L"--window-when E2eSignInOnceGo");
    const std::size_t running = ProcessesNamed(L"target_app.exe").size();
    ChildProcess wineboot = SignInAgain();
    ASSERT_TRUE(WaitUntil([] { return !ProcessesNamed(L"tarnvale-list.exe").empty(); }, kSignInMs))
        << "the sign-in never ran the lister";
    // Time for the run to look for the window and the program, and start none.
    EXPECT_TRUE(HoldsFor([&] { return ProcessesNamed(L"target_app.exe").size() == running; }, 3000))
        << "the program was started again while it ran";
    EXPECT_EQ(FindTarget(L"E2eSignInOnce"), nullptr);
    SetEvent(go);
    HWND window = nullptr;
    WaitForAttached(L"E2eSignInOnce", L"Once", GetTickCount64(), &window);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    EXPECT_EQ(owner, late.id());
    EXPECT_EQ(ProcessesNamed(L"target_app.exe").size(), running);
    EXPECT_TRUE(wineboot.Exited(kWinebootMs));
    CloseHandle(go);
}

TEST_F(SignIn, AfterForgetASignInStartsNothing)
{
    ChildProcess target = StartKeptTarget(L"E2eSignInForgotten", L"--title \"Forgotten\"");
    KeepAtSignIn(L"E2eSignInForgotten");
    // Asked again, one shortcut for the text still.
    CapturedProcess replace = RunLister(L" --at-sign-in E2eSignInForgotten");
    EXPECT_EQ(replace.ExitCode(), 0u) << replace.Output();
    EXPECT_NE(replace.Output().find("Kept, in place of the shortcut that kept this text before:\r\n"),
              std::string::npos) << replace.Output();
    ASSERT_EQ(KeptShortcuts().size(), 1u);
    const std::wstring shortcut = KeptShortcuts()[0];
    // Another text whose window has the same title: a shortcut of its own beside it.
    ChildProcess twin = StartKeptTarget(L"E2eSignInTwin", L"--title \"Forgotten\" --x 500");
    const std::wstring twinShortcut = KeepAtSignIn(L"E2eSignInTwin");
    EXPECT_EQ(twinShortcut, StartupFolder() + L"\\Tarnvale - Forgotten (2).lnk");
    CapturedProcess list = RunLister(L"");
    EXPECT_NE(list.Output().find("Kept at every sign-in (shortcuts in the Startup folder):\r\n\r\n"),
              std::string::npos) << list.Output();
    EXPECT_NE(list.Output().find("\r\ntext [E2eSignInForgotten]\r\n  starts "), std::string::npos)
        << list.Output();
    EXPECT_NE(list.Output().find("target_app.exe if need be\r\n  puts it at 120,90, 320\xC3\x97" "200\r\n"
                                 "tarnvale-list.exe --forget E2eSignInForgotten\r\n"),
              std::string::npos) << list.Output();

    // The line of the listing, run as it stands.
    CapturedProcess forget = RunLister(L" --forget E2eSignInForgotten");
    EXPECT_EQ(forget.ExitCode(), 0u) << forget.Output();
    EXPECT_TRUE(forget.Output().starts_with(
        "Removed: the window with the text [E2eSignInForgotten] is no longer kept at sign-in.\r\n"))
        << forget.Output();
    EXPECT_EQ(GetFileAttributesW(shortcut.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW(twinShortcut.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(RunLister(L" --forget E2eSignInTwin").ExitCode(), 0u);
    CapturedProcess again = RunLister(L" --forget E2eSignInForgotten");
    EXPECT_EQ(again.ExitCode(), 1u) << again.Output();
    EXPECT_EQ(again.Output(),
              "No shortcut in the Startup folder keeps the text [E2eSignInForgotten] at sign-in.\r\n");

    target.Kill();
    twin.Kill();
    ChildProcess wineboot = SignInAgain();
    EXPECT_TRUE(wineboot.Exited(kWinebootMs));
    EXPECT_TRUE(HoldsFor([] {
        return !FindTarget(L"E2eSignInForgotten") && !FindTarget(L"E2eSignInTwin") &&
               !FindWindowW(kMainWindowClass, nullptr) &&
               ProcessesNamed(L"tarnvale-list.exe").empty();
    }, 3000)) << "a sign-in after --forget started something";
}

TEST_F(SignIn, AProgramThatIsGoneIsToldInAMessageBoxThatSaysFirstHowToStopIt)
{
    const std::wstring folder = ProgramFolder() + L"\\E2e gone";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring program = folder + L"\\target_app.exe";
    ASSERT_TRUE(CopyFileW((ProgramFolder() + L"\\target_app.exe").c_str(), program.c_str(), FALSE));
    started_.push_back(L"E2eSignInGone");
    // Kept by a title longer than a message box shows: the text must not crowd out the rest.
    const std::wstring title = L"Gone " + std::wstring(3000, L'g');
    ChildProcess target =
        ChildProcess::Start(Quoted(program) + L" --class E2eSignInGone --title " + Quoted(title));
    ASSERT_TRUE(WaitUntil([] { return FindTarget(L"E2eSignInGone") != nullptr; }, kStartTimeoutMs));
    KeepAtSignIn(title);
    target.Kill();
    ASSERT_TRUE(DeleteFileW(program.c_str()));  // as when the program is uninstalled

    ChildProcess wineboot = SignInAgain();
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        for (const DWORD id : ProcessesNamed(L"tarnvale-list.exe"))
            if ((box = FindMessageBoxOf(id)) != nullptr)
                return true;
        return false;
    }, kSignInMs)) << "the run at sign-in showed nothing";
    const MessageBoxView shown = ReadMessageBox(box);
    std::printf("    %s\n", Describe(shown).substr(0, 600).c_str());
    EXPECT_EQ(shown.caption, L"Tarnvale at sign-in");
    EXPECT_TRUE(shown.text.starts_with(L"To stop this, run tarnvale-list --forget with the window's "
                                       L"text or title, or switch the item off in Task Manager's "
                                       L"Startup tab.\n\n")) << Describe(shown);
    EXPECT_NE(shown.text.find(L"\n\nCould not start " + program + L" (error 2) for the window [" +
                              title.substr(0, 400) + L"] (cut short)."),
              std::wstring::npos) << Describe(shown);
    EXPECT_TRUE(PressOk(box));
    EXPECT_TRUE(WaitUntil([] { return ProcessesNamed(L"tarnvale-list.exe").empty(); },
                          kStartTimeoutMs)) << "the run did not end after OK";
    EXPECT_EQ(FindWindowW(kMainWindowClass, nullptr), nullptr) << "a Tarnvale was started";
    EXPECT_TRUE(wineboot.Exited(kWinebootMs));
    RemoveDirectoryW(folder.c_str());
}

TEST_F(SignIn, AWindowThatNoTextCanNameIsToldSoAndNothingIsKept)
{
    // U+4E00 has no form in the ANSI code page: tarnvale.exe could never find it by it.
    ChildProcess target = StartKeptTarget(L"E2eSignInShared", L"--title \"Tv\u4E00Sign\" "
                                          L"--second-class E2eSignInShared --second-title Other");
    CapturedProcess lister = RunLister(L" --at-sign-in Tv\u4E00Sign");
    EXPECT_EQ(lister.ExitCode(), 7u) << lister.Output();
    EXPECT_EQ(lister.Output(),
              "No window has the class name or title [Tv\xE4\xB8\x80Sign].\r\n"
              "This one has it, but no text names it for tarnvale.exe:\r\n"
              "class [E2eSignInShared]  title [Tv\xE4\xB8\x80Sign]\r\n"
              "  its title has characters outside the ANSI code page.\r\n"
              "Nothing was kept.\r\n");
    EXPECT_TRUE(KeptShortcuts().empty());
}

TEST_F(SignIn, ATitleWithCmdCharactersQuotesAndAccentsInAFolderWithThemComesBackWhole)
{
    // A title that names the window alone (its class is shared), in the ANSI code page,
    // and the program in a folder whose name holds the same.
    const std::wstring title = L"Tom & \"Jerry\" 100% ^ caf\u00E9 \u2014 x";
    const std::wstring folder = ProgramFolder() + L"\\E2e caf\u00E9 \u2014 100% & ^";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring program = folder + L"\\target_app.exe";
    ASSERT_TRUE(CopyFileW((ProgramFolder() + L"\\target_app.exe").c_str(), program.c_str(), FALSE));
    started_.push_back(L"E2eSignInShared");
    ChildProcess target = ChildProcess::Start(
        Quoted(program) + L" --class E2eSignInShared --title \"Tom & \\\"Jerry\\\" 100% ^ caf\u00E9 "
        L"\u2014 x\" --second-class E2eSignInShared --second-title Other");
    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        return (window = FindWindowW(L"E2eSignInShared", title.c_str())) != nullptr &&
               FindWindowW(L"E2eSignInShared", L"Other") != nullptr;
    }, kStartTimeoutMs)) << "the target never showed both windows";
    const std::wstring shortcut = KeepAtSignIn(title);
    EXPECT_EQ(shortcut, StartupFolder() + L"\\Tarnvale - Tom & _Jerry_ 100% ^ caf\u00E9 \u2014 x.lnk");
    std::printf("    arguments [%s]\n", Narrow(ReadShortcut(shortcut).arguments).c_str());
    AttachThenEnd(title, target, window);

    const ULONGLONG start = GetTickCount64();
    ChildProcess wineboot = SignInAgain();
    HWND again = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (again = FindWindowW(L"E2eSignInShared", L"Other")); },
                          kSignInMs)) << "the program did not come back";
    EXPECT_TRUE(WaitUntil([&] {
        return FindWindowExW(FindDesktop(), nullptr, L"E2eSignInShared", title.c_str()) != nullptr;
    }, kSignInMs)) << "not attached: " << Describe(FindWindowW(L"E2eSignInShared", title.c_str()));
    std::printf("    sign-in: attached %llu ms after wineboot started\n", GetTickCount64() - start);
    EXPECT_EQ(ProgramOf(again), program);
    EXPECT_EQ(ParentOf(again), "none");
    EXPECT_TRUE(wineboot.Exited(kWinebootMs));

    CapturedProcess forget = RunLister(L" --forget " + title);
    EXPECT_EQ(forget.ExitCode(), 0u) << forget.Output();
    Clear();
    DeleteFileW(program.c_str());
    RemoveDirectoryW(folder.c_str());
}


// The file's bytes, read while others hold it open.
std::string BytesOf(const std::wstring& path)
{
    std::string bytes;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0)
        bytes.append(chunk, read);
    CloseHandle(file);
    return bytes;
}

// Every file in the Startup folder, whatever its name: a half-written one too.
std::vector<std::wstring> StartupFiles()
{
    std::vector<std::wstring> found;
    WIN32_FIND_DATAW data{};
    const HANDLE search = FindFirstFileW((StartupFolder() + L"\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return found;
    do
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            std::wstring_view(data.cFileName) != L"desktop.ini")
            found.push_back(data.cFileName);
    while (FindNextFileW(search, &data));
    FindClose(search);
    return found;
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST_F(SignIn, ForgetTakesTheTitleTheShortcutIsNamedAfterButNotATitleOfSeveral)
{
    ChildProcess first = StartKeptTarget(L"E2eSignInTitled", L"--title \"Titled window\"");
    const std::wstring firstShortcut = KeepAtSignIn(L"E2eSignInTitled");
    ChildProcess twin = StartKeptTarget(L"E2eSignInTitledTwin", L"--title \"Titled window\" --x 500");
    const std::wstring twinShortcut = KeepAtSignIn(L"E2eSignInTitledTwin");
    EXPECT_EQ(twinShortcut, StartupFolder() + L"\\Tarnvale - Titled window (2).lnk");

    // Two windows kept under one title: which one is meant is for the user to say.
    CapturedProcess both = RunLister(L" --forget Titled window");
    std::printf("    --forget by a title of two printed:\n%s", both.Output().c_str());
    EXPECT_EQ(both.ExitCode(), 7u) << both.Output();
    EXPECT_TRUE(both.Output().starts_with(
        "Not removed: two or more windows kept at every sign-in have the title [Titled window].\r\n"))
        << both.Output();
    EXPECT_NE(both.Output().find("\r\ntarnvale-list.exe --forget E2eSignInTitled\r\n"),
              std::string::npos) << both.Output();
    EXPECT_NE(both.Output().find("\r\ntarnvale-list.exe --forget E2eSignInTitledTwin\r\n"),
              std::string::npos) << both.Output();
    EXPECT_TRUE(Exists(firstShortcut) && Exists(twinShortcut));

    EXPECT_EQ(RunLister(L" --forget E2eSignInTitledTwin").ExitCode(), 0u);
    CapturedProcess byTitle = RunLister(L" --forget Titled window");
    EXPECT_EQ(byTitle.ExitCode(), 0u) << byTitle.Output();
    EXPECT_TRUE(byTitle.Output().starts_with(
        "Removed: the window with the text [E2eSignInTitled] is no longer kept at sign-in.\r\n  " +
        Narrow(firstShortcut) + "\r\n")) << byTitle.Output();
    EXPECT_FALSE(Exists(firstShortcut));

    // A text that nothing is kept by: what is kept, each with the line that removes it.
    KeepAtSignIn(L"E2eSignInTitled");
    CapturedProcess none = RunLister(L" --forget Titled");
    EXPECT_EQ(none.ExitCode(), 1u) << none.Output();
    EXPECT_TRUE(none.Output().starts_with(
        "No shortcut in the Startup folder keeps the text [Titled] at sign-in.\r\n"
        "Nor is one named after it as a title. Kept at every sign-in:\r\n\r\n"
        "text [E2eSignInTitled]\r\n"))
        << none.Output();
    EXPECT_NE(none.Output().find("\r\ntarnvale-list.exe --forget E2eSignInTitled\r\n"),
              std::string::npos) << none.Output();
    EXPECT_TRUE(Exists(firstShortcut));
}

TEST_F(SignIn, AShortcutThatCannotBeDeletedIsToldWithItsPath)
{
    ChildProcess target = StartKeptTarget(L"E2eSignInStuck", L"--title \"Stuck before\"");
    const std::wstring stuck = KeepAtSignIn(L"E2eSignInStuck");
    ASSERT_TRUE(SetFileAttributesW(stuck.c_str(), FILE_ATTRIBUTE_READONLY));

    CapturedProcess forget = RunLister(L" --forget E2eSignInStuck");
    std::printf("    --forget of a read-only shortcut printed:\n%s", forget.Output().c_str());
    EXPECT_EQ(forget.ExitCode(), 7u) << forget.Output();
    EXPECT_TRUE(forget.Output().starts_with(
        "Not removed: the shortcut that keeps the text [E2eSignInStuck] could not be deleted\r\n"
        "(error ")) << forget.Output();
    EXPECT_NE(forget.Output().find("\r\n  " + Narrow(stuck) + "\r\n"), std::string::npos)
        << forget.Output();
    EXPECT_TRUE(Exists(stuck));

    // Kept again under another title: the new shortcut, and the old one told, not replaced.
    target.Kill();
    ChildProcess renamed = StartKeptTarget(L"E2eSignInStuck", L"--title \"Stuck after\"");
    CapturedProcess keep = RunLister(L" --at-sign-in E2eSignInStuck");
    std::printf("    --at-sign-in beside a read-only shortcut printed:\n%s", keep.Output().c_str());
    EXPECT_EQ(keep.ExitCode(), 7u) << keep.Output();
    const std::wstring now = StartupFolder() + L"\\Tarnvale - Stuck after.lnk";
    EXPECT_NE(keep.Output().find(std::string(kKeptBy) + "\r\n  " + Narrow(now) + "\r\n"
                                 "The shortcut that kept this text before could not be deleted "
                                 "(error "), std::string::npos) << keep.Output();
    EXPECT_NE(keep.Output().find("\r\n  " + Narrow(stuck) + "\r\n"), std::string::npos)
        << keep.Output();
    EXPECT_EQ(keep.Output().find("in place of"), std::string::npos) << keep.Output();
    EXPECT_TRUE(Exists(now) && Exists(stuck));
    SetFileAttributesW(stuck.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(SignIn, AReplacingKeepThatFailsLeavesTheOldShortcutAsItWas)
{
    ChildProcess target = StartKeptTarget(L"E2eSignInKeptOld", L"--title \"Kept old\"");
    const std::wstring old = KeepAtSignIn(L"E2eSignInKeptOld");
    const std::string bytes = BytesOf(old);
    ASSERT_FALSE(bytes.empty());
    // Asked again for a new command line while another program holds the old shortcut open,
    // letting nobody write or delete it.
    target.Kill();
    ChildProcess other = StartKeptTarget(L"E2eSignInKeptOld", L"--title \"Kept old\" --other x");
    const HANDLE held = CreateFileW(old.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    CapturedProcess keep = RunLister(L" --at-sign-in E2eSignInKeptOld");
    std::printf("    --at-sign-in while the old shortcut is held printed:\n%s", keep.Output().c_str());
    EXPECT_EQ(keep.ExitCode(), 7u) << keep.Output();
    EXPECT_NE(keep.Output().find("\r\nThe shortcut that kept this text before is unchanged:\r\n  " +
                                 Narrow(old) + "\r\n"), std::string::npos) << keep.Output();
    EXPECT_TRUE(BytesOf(old) == bytes) << "the old shortcut was changed";
    // Nothing half written left beside it.
    EXPECT_EQ(StartupFiles(), std::vector<std::wstring>{L"Tarnvale - Kept old.lnk"});
    CloseHandle(held);

    // Let go of, it is replaced.
    CapturedProcess again = RunLister(L" --at-sign-in E2eSignInKeptOld");
    EXPECT_EQ(again.ExitCode(), 0u) << again.Output();
    EXPECT_NE(again.Output().find("Kept, in place of the shortcut that kept this text before:\r\n"),
              std::string::npos) << again.Output();
    EXPECT_TRUE(BytesOf(old) != bytes) << "the old shortcut is still there";
    EXPECT_EQ(StartupFiles(), std::vector<std::wstring>{L"Tarnvale - Kept old.lnk"});
}

}  // namespace
}  // namespace e2e
