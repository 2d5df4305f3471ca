// The user's guide's command lines, taken from it as they stand and run as it tells a user
// to run them, with Wine's Notepad open: cmd in the programs' folder for a Command Prompt
// line, a shortcut for a shortcut's Target. Each does what the guide says it does.
#include "captured_process.h"
#include "guide_lines.h"
#include "harness/message_box.h"
#include "pick_clicks.h"
#include "session.h"

#include <bcrypt.h>
#include <objbase.h>
#include <shellapi.h>
#include <shobjidl.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

namespace e2e {
namespace {

constexpr wchar_t kNotepadTitle[] = L"Untitled - Notepad";

// The SHA-256 of a file's bytes in lower-case hex, as Windows computes it; empty on failure.
std::string Sha256Of(const std::wstring& path)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::vector<unsigned char> bytes(GetFileSize(file, nullptr));
    DWORD read = 0;
    const bool whole = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                       read == bytes.size();
    CloseHandle(file);
    unsigned char digest[32] = {};
    BCRYPT_ALG_HANDLE sha256 = nullptr;
    const bool hashed =
        whole && BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&sha256, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) &&
        BCRYPT_SUCCESS(BCryptHash(sha256, nullptr, 0, bytes.data(), static_cast<ULONG>(bytes.size()),
                                  digest, sizeof digest));
    if (sha256)
        BCryptCloseAlgorithmProvider(sha256, 0);
    if (!hashed)
        return {};
    std::string hex;
    for (const unsigned char byte : digest) {
        constexpr char kDigits[] = "0123456789abcdef";
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 15];
    }
    return hex;
}

// A shortcut as Windows writes one for a Target of `program` then `arguments`.
bool MakeShortcut(const std::wstring& path, const std::wstring& program, const std::wstring& arguments)
{
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    const bool made =
        SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->SetPath(program.c_str())) && SUCCEEDED(link->SetArguments(arguments.c_str())) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Save(path.c_str(), TRUE));
    if (file)
        file->Release();
    if (link)
        link->Release();
    return made;
}

class UsersGuideLines : public Session {
protected:
    void SetUp() override
    {
        ASSERT_EQ(FindTarget(L"Notepad"), nullptr) << "a Notepad is open already";
        ASSERT_TRUE(ProcessesNamed(L"tarnvale.exe").empty()) << "a Tarnvale runs already";
        notepadProcess_ = ChildProcess::Start(L"notepad.exe");
        ASSERT_TRUE(notepadProcess_.WaitForIdle(kStartTimeoutMs)) << "Notepad did not start";
        ASSERT_TRUE(WaitUntil([&] { return (notepad_ = FindWindowW(L"Notepad", kNotepadTitle)) != nullptr; },
                              kStartTimeoutMs)) << Describe(FindTarget(L"Notepad"));
    }

    void TearDown() override
    {
        CloseEveryTarnvale();
        // A closed Tarnvale ends within moments; one still there was left by a failure.
        if (!WaitUntil([] { return ProcessesNamed(L"tarnvale.exe").empty(); }, kStartTimeoutMs, 50))
            ADD_FAILURE() << "a Tarnvale was left running";
        for (const DWORD id : ProcessesNamed(L"tarnvale.exe"))
            if (const HANDLE left = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
                TerminateProcess(left, 99);
                WaitForSingleObject(left, 5000);
                CloseHandle(left);
            }
        notepadProcess_.Kill();
        EXPECT_TRUE(WaitUntil([] { return FindTarget(L"Notepad") == nullptr; }, kStartTimeoutMs));
        for (auto folder = made_.rbegin(); folder != made_.rend(); ++folder)
            RemoveFolder(*folder);
        made_.clear();
    }

    // A copy of tarnvale.exe in `folder`, made with the folders it needs, removed after
    // the case: none may be there for a later case.
    void CopyTarnvaleTo(const std::wstring& folder)
    {
        for (std::size_t end = folder.find(L'\\', 3); ; end = folder.find(L'\\', end + 1)) {
            const std::wstring part = folder.substr(0, end);
            if (CreateDirectoryW(part.c_str(), nullptr))
                made_.push_back(part);
            if (end == std::wstring::npos)
                break;
        }
        ASSERT_FALSE(made_.empty() || made_.back() != folder) << Narrow(folder) << " is there already";
        ASSERT_TRUE(CopyFileW((ProgramFolder() + L"\\tarnvale.exe").c_str(),
                              (folder + L"\\tarnvale.exe").c_str(), TRUE)) << Narrow(folder);
    }

    static void RemoveFolder(const std::wstring& folder)
    {
        WIN32_FIND_DATAW data{};
        const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &data);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                    EXPECT_TRUE(DeleteFileW((folder + L"\\" + data.cFileName).c_str()))
                        << Narrow(folder) << "\\" << Narrow(data.cFileName);
                }
            } while (FindNextFileW(search, &data));
            FindClose(search);
        }
        EXPECT_TRUE(RemoveDirectoryW(folder.c_str())) << "cannot remove " << Narrow(folder);
    }

    bool NotepadIs(const char* parent) const
    {
        return WaitUntil([&] { return ParentOf(notepad_) == parent; }, kStartTimeoutMs);
    }

    // Notepad attached by the Tarnvale that `how` started from `program`, then given back
    // at its "Exit".
    void ExpectAttachedThenGivenBack(const std::string& how, const std::wstring& program)
    {
        EXPECT_TRUE(NotepadIs("progman")) << how << " did not attach " << Describe(notepad_);
        HWND main = nullptr;
        EXPECT_TRUE(WaitUntil([&] { return (main = FindWindowW(kMainWindowClass, nullptr)) != nullptr; },
                              kStartTimeoutMs)) << "no Tarnvale runs after " << how;
        EXPECT_EQ(Narrow(ProgramOf(main)), Narrow(program)) << how;
        CloseEveryTarnvale();
        EXPECT_TRUE(NotepadIs("none")) << Describe(notepad_);
    }

    // Runs `line` through cmd; cmd /c waits for the program it starts, a GUI one too, and
    // ends with its exit code: 0 for a Tarnvale that attached its window, at "Exit".
    void ExpectCmdLineAttachesNotepad(const std::string& line, const std::wstring& program)
    {
        CapturedProcess cmd = StartInCmd(line);
        ASSERT_TRUE(cmd.started());
        ExpectAttachedThenGivenBack(line, program);
        EXPECT_TRUE(cmd.WaitForExit(kStartTimeoutMs)) << line;
        EXPECT_EQ(cmd.ExitCode(), 0u) << line << ":\n" << cmd.Output();
    }

    ChildProcess notepadProcess_;
    HWND notepad_ = nullptr;
    std::vector<std::wstring> made_;
};

TEST_F(UsersGuideLines, TheListersLineListsNotepadWithOneOfTheGuidesLinesUnderIt)
{
    const std::vector<std::string> listers = UsersGuideLinesStartingWith("tarnvale-list.exe");
    ASSERT_NE(std::find(listers.begin(), listers.end(), "tarnvale-list.exe"), listers.end());
    const std::vector<std::string> shown = UsersGuideLinesStartingWith("tarnvale.exe ");
    ASSERT_EQ(shown, (std::vector<std::string>{"tarnvale.exe Notepad", "tarnvale.exe Untitled - Notepad",
                                               "tarnvale.exe \"Untitled - Notepad\""}));
    CapturedProcess cmd = StartInCmd("tarnvale-list.exe");
    ASSERT_TRUE(cmd.WaitForExit(kStartTimeoutMs)) << cmd.Output();
    EXPECT_EQ(cmd.ExitCode(), 0u) << cmd.Output();
    const std::vector<std::wstring> lines = cmd.Lines();
    const auto heading = std::find(lines.begin(), lines.end(),
                                   L"class [Notepad]  title [" + std::wstring(kNotepadTitle) + L"]");
    ASSERT_NE(heading, lines.end()) << cmd.Output();
    ASSERT_NE(heading + 1, lines.end()) << cmd.Output();
    std::printf("    under Notepad: %s\n", Narrow(heading[1]).c_str());
    // The quoted line is the guide's example of what finds nothing.
    EXPECT_TRUE(Narrow(heading[1]) == shown[0] || Narrow(heading[1]) == shown[1]) << cmd.Output();
}

TEST_F(UsersGuideLines, TheClassNameAndTheTitleLinesAttachNotepad)
{
    for (const std::string& line : {UsersGuideLine("tarnvale.exe Notepad"),
                                    UsersGuideLine("tarnvale.exe Untitled")}) {
        SCOPED_TRACE(line);
        ASSERT_TRUE(line == "tarnvale.exe Notepad" || line == "tarnvale.exe Untitled - Notepad");
        ExpectCmdLineAttachesNotepad(line, ProgramFolder() + L"\\tarnvale.exe");
    }
}

TEST_F(UsersGuideLines, TheQuotedTextFindsNoWindow)
{
    const std::string line = UsersGuideLine("tarnvale.exe \"");
    ASSERT_EQ(line, "tarnvale.exe \"Untitled - Notepad\"");
    CapturedProcess cmd = StartInCmd(line);
    // The Tarnvale that cmd started: the only one that runs.
    DWORD tarnvale = 0;
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            const std::vector<DWORD> running = ProcessesNamed(L"tarnvale.exe");
            if (running.size() == 1)
                box = FindMessageBoxOf(tarnvale = running[0]);
            return box != nullptr;
        },
        kStartTimeoutMs, 50)) << "no message box; Notepad: " << Describe(notepad_);
    const MessageBoxView view = ReadMessageBox(box);
    EXPECT_EQ(view.text, L"Window not found!") << Describe(view);
    EXPECT_EQ(ParentOf(notepad_), "none");
    ASSERT_TRUE(PressOk(box)) << Describe(view);
    EXPECT_TRUE(WaitUntil([] { return ProcessesNamed(L"tarnvale.exe").empty(); }, kEndLimitMs * 2))
        << "Tarnvale " << tarnvale << " did not end at OK";
    EXPECT_TRUE(cmd.WaitForExit(kStartTimeoutMs));
    EXPECT_EQ(cmd.ExitCode(), 2u) << cmd.Output();
}

TEST_F(UsersGuideLines, TheQuotedProgramPathLineAttachesNotepadFromProgramFiles)
{
    const std::string line = UsersGuideLine("\"C:\\Program Files\\Tarnvale\\tarnvale.exe\" ");
    ASSERT_EQ(line, "\"C:\\Program Files\\Tarnvale\\tarnvale.exe\" Untitled - Notepad");
    ASSERT_NO_FATAL_FAILURE(CopyTarnvaleTo(L"C:\\Program Files\\Tarnvale"));
    ExpectCmdLineAttachesNotepad(line, L"C:\\Program Files\\Tarnvale\\tarnvale.exe");
}

// A shortcut is not run through cmd: Windows keeps its Target as a program and its
// arguments, and starts the program with them itself.
TEST_F(UsersGuideLines, TheShortcutsTargetAttachesNotepad)
{
    const std::string target = UsersGuideLine("C:\\Tools\\Tarnvale\\tarnvale.exe ");
    ASSERT_EQ(target, "C:\\Tools\\Tarnvale\\tarnvale.exe Untitled - Notepad");
    ASSERT_NO_FATAL_FAILURE(CopyTarnvaleTo(L"C:\\Tools\\Tarnvale"));
    // What Windows makes of that Target: the program up to the first blank, as its path
    // has none, and the rest as the arguments.
    const std::size_t blank = target.find(' ');
    const std::wstring program = Widen(target.substr(0, blank));
    const std::wstring arguments = Widen(target.substr(blank + 1));
    const std::wstring shortcut = L"C:\\Tools\\Tarnvale\\Tarnvale.lnk";
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)));
    EXPECT_TRUE(MakeShortcut(shortcut, program, arguments));
    const auto opened = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, nullptr, shortcut.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    CoUninitialize();
    ASSERT_GT(opened, 32) << "ShellExecute of the shortcut failed";
    ExpectAttachedThenGivenBack("the shortcut", program);
}

TEST_F(UsersGuideLines, TheReleaseLineGivesBackNotepadLeftByAKilledTarnvale)
{
    const std::string line = UsersGuideLine("tarnvale-list.exe --release ");
    ASSERT_EQ(line, "tarnvale-list.exe --release Untitled - Notepad");
    ChildProcess tarnvale = StartTarnvale(L"Notepad");
    ASSERT_TRUE(NotepadIs("progman")) << Describe(notepad_);
    WaitForMainWindow(tarnvale);
    tarnvale.Kill();
    ASSERT_EQ(ParentOf(notepad_), "progman");
    CapturedProcess cmd = StartInCmd(line);
    ASSERT_TRUE(cmd.WaitForExit(kStartTimeoutMs)) << cmd.Output();
    std::printf("    --release printed:\n%s", cmd.Output().c_str());
    EXPECT_EQ(cmd.ExitCode(), 0u) << cmd.Output();
    EXPECT_EQ(ParentOf(notepad_), "none") << Describe(notepad_);
}

TEST_F(UsersGuideLines, ThePickLineAttachesTheClickedNotepad)
{
    const std::string line = UsersGuideLine("tarnvale-list.exe --pick");
    ASSERT_EQ(line, "tarnvale-list.exe --pick");
    CapturedProcess cmd = StartInCmd(line);
    ASSERT_TRUE(cmd.WaitForOutput(kPickPrompt, kStartTimeoutMs)) << cmd.Output();
    XDoTool(L"mousemove " + At(Uncovered(notepad_)) + L" click 1");
    ASSERT_TRUE(cmd.WaitForExit(kStartTimeoutMs)) << cmd.Output();
    std::printf("    --pick printed:\n%s", cmd.Output().c_str());
    EXPECT_EQ(cmd.ExitCode(), 0u) << cmd.Output();
    EXPECT_NE(cmd.Output().find("Started tarnvale.exe with the text [Notepad]"), std::string::npos)
        << cmd.Output();
    // The lister starts Tarnvale from its own folder.
    ExpectAttachedThenGivenBack(line, ProgramFolder() + L"\\tarnvale.exe");
}

TEST_F(UsersGuideLines, TheChecksumLinePrintsTarnvalesSha256)
{
    const std::string line = UsersGuideLine("certutil ");
    ASSERT_EQ(line, "certutil -hashfile tarnvale.exe SHA256");
    const std::string expected = Sha256Of(ProgramFolder() + L"\\tarnvale.exe");
    ASSERT_EQ(expected.size(), 64u);
    CapturedProcess cmd = StartInCmd(line);
    ASSERT_TRUE(cmd.WaitForExit(kStartTimeoutMs)) << cmd.Output();
    // Older Windows prints the digest in pairs with blanks between.
    std::string digits;
    for (const char c : cmd.Output())
        if (std::isxdigit(static_cast<unsigned char>(c)))
            digits += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        else if (c != ' ')
            digits += '\n';
    if (digits.find(expected) == std::string::npos && cmd.Output().find("SHA256") == std::string::npos)
        GTEST_SKIP() << "this certutil.exe computes no hash (Wine's is a stub): exit code "
                     << cmd.ExitCode() << ", output [" << cmd.Output() << "]";
    EXPECT_NE(digits.find(expected), std::string::npos) << expected << "\n" << cmd.Output();
    EXPECT_EQ(cmd.ExitCode(), 0u) << cmd.Output();
}

}  // namespace
}  // namespace e2e
