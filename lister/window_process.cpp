#include "lister/window_process.h"

#include <tlhelp32.h>
#include <winternl.h>

#include <cstddef>

#include "lister/desktop_windows.h"

namespace tarnvale::lister {

namespace {

// Not in the SDK's headers: NtQueryInformationProcess hands the command line out as a
// UNICODE_STRING followed by its text.
constexpr ULONG kProcessCommandLineInformation = 60;
constexpr LONG kNoPackage = 15700;  // APPMODEL_ERROR_NO_PACKAGE
constexpr std::wstring_view kFrameHost = L"ApplicationFrameHost.exe";

// Where the command line is found in a process of our own bitness, read byte by byte.
static_assert(offsetof(PEB, ProcessParameters) == (sizeof(void*) == 8 ? 0x20 : 0x10));
static_assert(offsetof(RTL_USER_PROCESS_PARAMETERS, CommandLine) == (sizeof(void*) == 8 ? 0x70 : 0x40));

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

bool Same(std::wstring_view a, std::wstring_view b)
{
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::wstring_view FileName(std::wstring_view path)
{
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring_view::npos)
        return path;
    return {path.data() + slash + 1, path.size() - slash - 1};
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
    ULONG size = 0;
    if (!query || !answer ||
        query(process, kProcessCommandLineInformation, answer.data(),
              static_cast<ULONG>(answer.size() * sizeof(wchar_t)), &size) < 0)
        return 0;
    UNICODE_STRING text;
    CopyMemory(&text, answer.data(), sizeof text);
    const std::size_t length = text.Length / sizeof(wchar_t);
    if (!text.Buffer || length > out.size())
        return 0;
    CopyMemory(out.data(), text.Buffer, text.Length);
    return length;
}

bool ReadFrom(HANDLE process, const void* at, void* into, std::size_t size)
{
    SIZE_T read = 0;
    return ReadProcessMemory(process, at, into, size, &read) && read == size;
}

// From the process's own block, where Windows keeps the line it was started with: only
// for a process of the lister's bitness, whose layout is the lister's.
std::size_t ReadCommandLine(DWORD processId, HeapText& out)
{
    const Process process(processId, PROCESS_QUERY_INFORMATION | PROCESS_VM_READ);
    BOOL otherIs32 = FALSE;
    BOOL selfIs32 = FALSE;
    const QueryProcess query = NtQuery();
    if (!process.get() || !query || !IsWow64Process(process.get(), &otherIs32) ||
        !IsWow64Process(GetCurrentProcess(), &selfIs32) || otherIs32 != selfIs32)
        return 0;
    PROCESS_BASIC_INFORMATION basic{};
    ULONG size = 0;
    RTL_USER_PROCESS_PARAMETERS* parameters = nullptr;
    UNICODE_STRING text{};
    if (query(process.get(), ProcessBasicInformation, &basic, sizeof basic, &size) < 0 ||
        !ReadFrom(process.get(),
                  reinterpret_cast<const BYTE*>(basic.PebBaseAddress) +
                      offsetof(PEB, ProcessParameters),
                  &parameters, sizeof parameters) ||
        !ReadFrom(process.get(),
                  reinterpret_cast<const BYTE*>(parameters) +
                      offsetof(RTL_USER_PROCESS_PARAMETERS, CommandLine),
                  &text, sizeof text))
        return 0;
    const std::size_t length = text.Length / sizeof(wchar_t);
    if (length > out.size() || !ReadFrom(process.get(), text.Buffer, out.data(), text.Length))
        return 0;
    return length;
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
    if (!process.get())
        return;
    program.pathLength = ReadPath(process.get(), program.path);
    program.hosted = IsPackaged(process.get()) || Same(FileName(program.Path()), kFrameHost);
    program.commandLineLength = AskCommandLine(process.get(), program.commandLine);
    if (program.commandLineLength == 0)
        program.commandLineLength = ReadCommandLine(program.processId, program.commandLine);
}

Rights ReadOwnRights()
{
    return RightsOf(GetCurrentProcess());
}

Rights ReadShellRights()
{
    const HWND desktop = FindDesktopWindow();
    return RightsOfWindow(desktop ? desktop : GetShellWindow());
}

bool IsRunning(std::wstring_view path)
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    HeapText other(kMaxCommandLineLength + 1);
    bool found = false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found;
         more = Process32NextW(snapshot, &entry)) {
        DWORD itsSession = 0;
        if (entry.th32ProcessID == GetCurrentProcessId() ||
            !Same(FileName(entry.szExeFile), FileName(path)) ||
            !ProcessIdToSessionId(entry.th32ProcessID, &itsSession) || itsSession != session)
            continue;
        const Process process(entry.th32ProcessID, PROCESS_QUERY_LIMITED_INFORMATION);
        const std::size_t length = process.get() ? ReadPath(process.get(), other) : 0;
        found = length > 0 && Same({other.data(), length}, path);
    }
    CloseHandle(snapshot);
    return found;
}

}  // namespace tarnvale::lister
