#include "lister/programs/window_process.h"

#include <tlhelp32.h>
#include <winternl.h>

#include <cstddef>

#include "lister/programs/paths.h"
#include "lister/windows/desktop_windows.h"

namespace tarnvale::lister {

namespace {

// Not in the SDK's headers: NtQueryInformationProcess hands the command line out as a
// UNICODE_STRING followed by its text.
constexpr ULONG kProcessCommandLineInformation = 60;
constexpr LONG kNoPackage = 15700;  // APPMODEL_ERROR_NO_PACKAGE
constexpr std::wstring_view kFrameHost = L"ApplicationFrameHost.exe";

// Where the command line and the current folder are found in a process of our own
// bitness, read byte by byte. The folder (CurrentDirectory.DosPath) comes right after the
// standard handles; the SDK's headers leave that part of the block unnamed.
static_assert(offsetof(PEB, ProcessParameters) == (sizeof(void*) == 8 ? 0x20 : 0x10));
static_assert(offsetof(RTL_USER_PROCESS_PARAMETERS, CommandLine) == (sizeof(void*) == 8 ? 0x70 : 0x40));
constexpr std::size_t kCurrentFolderOffset = sizeof(void*) == 8 ? 0x38 : 0x24;
// The folder's handle and the DLL path follow it, then the image's path.
static_assert(kCurrentFolderOffset + sizeof(UNICODE_STRING) + sizeof(HANDLE) +
                  sizeof(UNICODE_STRING) ==
              offsetof(RTL_USER_PROCESS_PARAMETERS, ImagePathName));

class Process {
public:
    Process(DWORD id, DWORD access) : handle_(id ? OpenProcess(access, FALSE, id) : nullptr) {}
    ~Process()
    {
        if (handle_)
            CloseHandle(handle_);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

using QueryProcess = LONG(WINAPI*)(HANDLE, ULONG, void*, ULONG, ULONG*);

QueryProcess NtQuery()
{
    return reinterpret_cast<QueryProcess>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
}

Rights RightsOf(HANDLE process)
{
    Rights rights;
    HANDLE token = nullptr;
    if (!process || !OpenProcessToken(process, TOKEN_QUERY, &token))
        return rights;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    rights.known = GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
    rights.elevated = rights.known && elevation.TokenIsElevated != 0;
    CloseHandle(token);
    return rights;
}

std::size_t ReadPath(HANDLE process, HeapText& path)
{
    DWORD length = static_cast<DWORD>(path.size());
    return path && QueryFullProcessImageNameW(process, 0, path.data(), &length) ? length : 0;
}

bool IsPackaged(HANDLE process)
{
    using GetPackage = LONG(WINAPI*)(HANDLE, UINT32*, PWSTR);
    const auto get = reinterpret_cast<GetPackage>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetPackageFullName")));
    UINT32 length = 0;
    return get && get(process, &length, nullptr) != kNoPackage;
}

// Windows 8.1 and later, of any bitness.
std::size_t AskCommandLine(HANDLE process, HeapText& out)
{
    const QueryProcess query = NtQuery();
    // A UNICODE_STRING's length is 16 bits, in bytes: at most 32767 units follow it.
    HeapText answer(sizeof(UNICODE_STRING) / sizeof(wchar_t) + 0x8000);
    const std::size_t answerBytes = answer.size() * sizeof(wchar_t);
    ULONG size = 0;
    if (!query || !answer ||
        query(process, kProcessCommandLineInformation, answer.data(),
              static_cast<ULONG>(answerBytes), &size) < 0)
        return 0;
    UNICODE_STRING text;
    CopyMemory(&text, answer.data(), sizeof text);
    // Whole units, and only from the answer itself.
    const std::size_t length = text.Length / sizeof(wchar_t);
    const BYTE* const begin = reinterpret_cast<const BYTE*>(answer.data());
    const BYTE* const from = reinterpret_cast<const BYTE*>(text.Buffer);
    if (!from || from < begin + sizeof text || from + length * sizeof(wchar_t) > begin + answerBytes ||
        length > out.size())
        return 0;
    CopyMemory(out.data(), from, length * sizeof(wchar_t));
    return length;
}

bool ReadFrom(HANDLE process, const void* at, void* into, std::size_t size)
{
    SIZE_T read = 0;
    return ReadProcessMemory(process, at, into, size, &read) && read == size;
}

// A UNICODE_STRING of the process's parameters block, in whole units, at most `out`'s size.
std::size_t ReadParameterText(HANDLE process, const BYTE* parameters, std::size_t offset,
                              HeapText& out)
{
    UNICODE_STRING text{};
    if (!ReadFrom(process, parameters + offset, &text, sizeof text))
        return 0;
    // The length is the process's own to write: odd, or past `out`, it is cut to both.
    const std::size_t length = text.Length / sizeof(wchar_t);
    if (length == 0 || length > out.size() ||
        !ReadFrom(process, text.Buffer, out.data(), length * sizeof(wchar_t)))
        return 0;
    return length;
}

// From the process's own block, where Windows keeps the line it was started with and its
// current folder: only for a process of the lister's bitness, whose layout is the
// lister's. Either out may be null.
void ReadParameters(DWORD processId, HeapText* commandLine, std::size_t* commandLineLength,
                    HeapText* folder, std::size_t* folderLength)
{
    const Process process(processId, PROCESS_QUERY_INFORMATION | PROCESS_VM_READ);
    BOOL otherIs32 = FALSE;
    BOOL selfIs32 = FALSE;
    const QueryProcess query = NtQuery();
    if (!process.get() || !query || !IsWow64Process(process.get(), &otherIs32) ||
        !IsWow64Process(GetCurrentProcess(), &selfIs32) || otherIs32 != selfIs32)
        return;
    PROCESS_BASIC_INFORMATION basic{};
    ULONG size = 0;
    const BYTE* parameters = nullptr;
    if (query(process.get(), ProcessBasicInformation, &basic, sizeof basic, &size) < 0 ||
        !ReadFrom(process.get(),
                  reinterpret_cast<const BYTE*>(basic.PebBaseAddress) +
                      offsetof(PEB, ProcessParameters),
                  &parameters, sizeof parameters) ||
        !parameters)
        return;
    if (commandLine)
        *commandLineLength = ReadParameterText(
            process.get(), parameters, offsetof(RTL_USER_PROCESS_PARAMETERS, CommandLine),
            *commandLine);
    if (folder)
        *folderLength = ReadParameterText(process.get(), parameters, kCurrentFolderOffset, *folder);
}

std::size_t ReadCommandLineOf(DWORD processId, HANDLE process, HeapText& out)
{
    std::size_t length = AskCommandLine(process, out);
    if (length == 0)
        ReadParameters(processId, &out, &length, nullptr, nullptr);
    return length;
}

// The shell's window that owns the desktop: the Program Manager window as tarnvale.exe
// looks it up, else the one Windows names.
HWND ShellWindow()
{
    const HWND desktop = FindDesktopWindow();
    return desktop ? desktop : GetShellWindow();
}

Rights RightsOfWindow(HWND window)
{
    DWORD id = 0;
    if (!window || !GetWindowThreadProcessId(window, &id))
        return {};
    const Process process(id, PROCESS_QUERY_LIMITED_INFORMATION);
    return RightsOf(process.get());
}

}  // namespace

void ReadWindowProgram(HWND window, WindowProgram& program)
{
    GetWindowThreadProcessId(window, &program.processId);
    const Process process(program.processId, PROCESS_QUERY_LIMITED_INFORMATION);
    program.rights = RightsOf(process.get());
    DWORD shellProcess = 0;
    GetWindowThreadProcessId(ShellWindow(), &shellProcess);
    program.shell = shellProcess != 0 && shellProcess == program.processId;
    if (!process.get())
        return;
    program.pathLength = ReadPath(process.get(), program.path);
    program.hosted = IsPackaged(process.get()) || SamePath(FileNameOf(program.Path()), kFrameHost);
    program.commandLineLength = AskCommandLine(process.get(), program.commandLine);
    ReadParameters(program.processId,
                   program.commandLineLength == 0 ? &program.commandLine : nullptr,
                   &program.commandLineLength, &program.folder, &program.folderLength);
}

Rights ReadOwnRights()
{
    return RightsOf(GetCurrentProcess());
}

Rights ReadShellRights()
{
    return RightsOfWindow(ShellWindow());
}

ProgramProcesses FindProgramProcesses(std::wstring_view path, std::wstring_view commandLine)
{
    ProgramProcesses found;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return found;
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    HeapText other(kMaxCommandLineLength + 1);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        DWORD itsSession = 0;
        if (entry.th32ProcessID == GetCurrentProcessId() ||
            !SamePath(FileNameOf(entry.szExeFile), FileNameOf(path)) ||
            !ProcessIdToSessionId(entry.th32ProcessID, &itsSession) || itsSession != session)
            continue;
        const Process process(entry.th32ProcessID, PROCESS_QUERY_LIMITED_INFORMATION);
        const std::size_t length = process.get() ? ReadPath(process.get(), other) : 0;
        if (length == 0 || !SamePath({other.data(), length}, path))
            continue;
        const std::size_t lineLength = ReadCommandLineOf(entry.th32ProcessID, process.get(), other);
        if (lineLength > 0 && std::wstring_view(other.data(), lineLength) == commandLine)
            ++found.withCommandLine;
        else
            ++found.others;
    }
    CloseHandle(snapshot);
    return found;
}

}  // namespace tarnvale::lister
