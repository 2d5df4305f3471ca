#include "guide_lines.h"

#include <tlhelp32.h>

#include <fstream>

#include "harness/harness.h"
#include "session.h"

namespace e2e {

std::vector<std::string> UsersGuideLinesStartingWith(const std::string& command)
{
    std::string source = TARNVALE_SOURCE_DIR;
    for (char& c : source)
        if (c == '/')
            c = '\\';
    std::vector<std::string> found;
    std::ifstream guide("Z:" + source + "\\docs\\users-guide.md", std::ios::binary);
    for (std::string line; std::getline(guide, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t start = line.find_first_not_of(' ');
        if (start != std::string::npos && start > 0 && line.compare(start, command.size(), command) == 0)
            found.push_back(line.substr(start));
    }
    return found;
}

std::string UsersGuideLine(const std::string& command)
{
    const std::vector<std::string> lines = UsersGuideLinesStartingWith(command);
    return lines.empty() ? std::string() : lines.front();
}

CapturedProcess StartInCmd(const std::string& line)
{
    return CapturedProcess::StartIn(ProgramFolder(), L"cmd.exe /c " + Widen(line));
}

DWORD RunInCmd(const std::string& line)
{
    CapturedProcess cmd = StartInCmd(line);
    if (!cmd.started())
        return 99;
    return cmd.WaitForExit(kStartTimeoutMs) ? cmd.ExitCode() : 98;
}

std::vector<DWORD> ProcessesNamed(const std::wstring& name)
{
    std::vector<DWORD> found;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        if (CompareStringOrdinal(entry.szExeFile, -1, name.c_str(), -1, TRUE) == CSTR_EQUAL)
            found.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    return found;
}

}  // namespace e2e
