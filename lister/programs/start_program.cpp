#include "lister/programs/start_program.h"

#include "lister/programs/paths.h"
#include "platform/win32_heap_buffer.h"

namespace tarnvale::lister {

namespace {

// Turns the redirection of System32 to SysWOW64 off for this thread while it lives, where
// there is one: only a 32-bit program on 64-bit Windows has it, elsewhere the call fails.
class NoFileSystemRedirection {
public:
    NoFileSystemRedirection() : turnedOff_(Wow64DisableWow64FsRedirection(&previous_) != FALSE) {}
    ~NoFileSystemRedirection()
    {
        if (turnedOff_)
            Wow64RevertWow64FsRedirection(previous_);
    }
    NoFileSystemRedirection(const NoFileSystemRedirection&) = delete;
    NoFileSystemRedirection& operator=(const NoFileSystemRedirection&) = delete;

private:
    PVOID previous_ = nullptr;
    bool turnedOff_;
};

}  // namespace

bool StartProgram(std::wstring_view program, std::wstring_view commandLine,
                  std::wstring_view folder, DWORD& processId)
{
    if (folder.empty())
        folder = FolderOf(program);
    // One block for the three, each NUL-terminated; CreateProcess may write to the line.
    HeapText block(program.size() + 1 + commandLine.size() + 1 + folder.size() + 1);
    if (!block) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    wchar_t* at = block.data();
    const auto terminated = [&](std::wstring_view text) {
        wchar_t* const start = at;
        for (const wchar_t c : text)
            *at++ = c;
        *at++ = L'\0';
        return start;
    };
    wchar_t* const path = terminated(program);
    wchar_t* const command = terminated(commandLine);
    wchar_t* const start = terminated(folder);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    BOOL started = FALSE;
    {
        const NoFileSystemRedirection asNamed;
        started = CreateProcessW(path, command, nullptr, nullptr, FALSE, 0, nullptr,
                                 folder.empty() ? nullptr : start, &startup, &info);
    }
    if (!started)
        return false;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    processId = info.dwProcessId;
    return true;
}

}  // namespace tarnvale::lister
