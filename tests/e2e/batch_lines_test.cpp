// The batch-file lines that the user's guide and tarnvale-list --help show, taken from
// them as they stand and run by cmd from a batch file in the programs' folder: the program
// they start comes, --wait finds its window, and the Tarnvale started after it attaches it.
#include "captured_process.h"
#include "session.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace e2e {
namespace {

constexpr DWORD kBatchMs = 60000;

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The block of lines indented by `indent` that holds a line with "--wait 60", the indent
// taken off.
std::vector<std::string> BlockWithWait(const std::vector<std::string>& lines,
                                       const std::string& indent)
{
    const auto indented = [&](const std::string& line) {
        return line.starts_with(indent) && line.size() > indent.size() &&
               line[indent.size()] != ' ';
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!indented(lines[i]) || lines[i].find("--wait 60") == std::string::npos)
            continue;
        std::size_t first = i;
        while (first > 0 && indented(lines[first - 1]))
            --first;
        std::vector<std::string> block;
        for (std::size_t j = first; j < lines.size() && indented(lines[j]); ++j)
            block.push_back(lines[j].substr(indent.size()));
        return block;
    }
    return {};
}

class BatchLines : public Session {
protected:
    void TearDown() override
    {
        if (const HWND main = FindWindowW(kMainWindowClass, nullptr)) {
            PostMessageW(main, WM_CLOSE, 0, 0);
            EXPECT_TRUE(WaitUntil([] { return !FindWindowW(kMainWindowClass, nullptr); },
                                  kStartTimeoutMs)) << "Tarnvale still running";
        }
        if (const HWND notepad = FindTarget(L"Notepad")) {
            EXPECT_TRUE(WaitUntil([&] { return ParentOf(notepad) == "none"; }, kStartTimeoutMs));
            PostMessageW(notepad, WM_CLOSE, 0, 0);
            WaitUntil([] { return !FindTarget(L"Notepad"); }, kStartTimeoutMs);
        }
    }

    // Writes the lines into a batch file beside the programs and runs it through cmd.
    static void ExpectNotepadAttached(const std::vector<std::string>& lines, const char* where)
    {
        ASSERT_GE(lines.size(), 2u) << "no batch lines with --wait in " << where;
        ASSERT_EQ(FindTarget(L"Notepad"), nullptr) << "a Notepad is open already";
        const std::wstring batch = ProgramFolder() + L"\\E2eBatchLines.cmd";
        {
            std::ofstream file(std::filesystem::path(batch), std::ios::binary);
            for (const std::string& line : lines)
                file << line << "\r\n";
        }
        for (const std::string& line : lines)
            std::printf("    %s\n", line.c_str());
        std::wstring command = L"cmd.exe /c E2eBatchLines.cmd";
        const std::wstring folder = ProgramFolder();
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION cmd{};
        ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE,
                                   CREATE_NO_WINDOW, nullptr, folder.c_str(), &startup, &cmd));
        CloseHandle(cmd.hThread);
        HWND notepad = nullptr;
        EXPECT_TRUE(WaitUntil([&] { return (notepad = FindTarget(L"Notepad")) != nullptr; },
                              kBatchMs)) << "the batch file did not start Notepad";
        EXPECT_TRUE(WaitUntil([&] { return ParentOf(notepad) == "progman"; }, kBatchMs))
            << "Tarnvale did not attach " << Describe(notepad);
        EXPECT_EQ(WaitForSingleObject(cmd.hProcess, kBatchMs), WAIT_OBJECT_0) << "cmd did not end";
        DWORD exitCode = 99;
        GetExitCodeProcess(cmd.hProcess, &exitCode);
        EXPECT_EQ(exitCode, 0u);
        TerminateProcess(cmd.hProcess, 99);
        CloseHandle(cmd.hProcess);
        DeleteFileW(batch.c_str());
    }
};

TEST_F(BatchLines, TheUsersGuidesLinesWaitForNotepadThenStartTarnvale)
{
    std::string source = TARNVALE_SOURCE_DIR;
    for (char& c : source)
        if (c == '/')
            c = '\\';
    std::ifstream guide("Z:" + source + "\\docs\\users-guide.md", std::ios::binary);
    ASSERT_TRUE(guide) << "cannot read docs/users-guide.md";
    std::ostringstream text;
    text << guide.rdbuf();
    ExpectNotepadAttached(BlockWithWait(SplitLines(text.str()), "    "), "the user's guide");
}

TEST_F(BatchLines, TheHelpsLinesWaitForNotepadThenStartTarnvale)
{
    CapturedProcess help =
        CapturedProcess::Start(Quoted(ProgramFolder() + L"\\tarnvale-list.exe") + L" --help");
    ASSERT_TRUE(help.WaitForExit(kStartTimeoutMs));
    ExpectNotepadAttached(BlockWithWait(SplitLines(help.Output()), "  "), "--help");
}

}  // namespace
}  // namespace e2e
