#include "lister/start_tarnvale.h"

#include "lister/heap_text.h"
#include "lister/sign_in_fields.h"

namespace tarnvale::lister {

namespace {

constexpr std::wstring_view kTarnvaleProgram = L"tarnvale.exe";

}  // namespace

bool ReadOwnPath(OwnPath& own)
{
    const DWORD length = GetModuleFileNameW(nullptr, own.path, kMaxPath);
    if (length == 0 || length >= kMaxPath) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    own.length = length;
    const std::size_t slash = own.Path().find_last_of(L"\\/");
    own.folderLength = slash == std::wstring_view::npos ? 0 : slash + 1;
    return true;
}

bool StartTarnvale(std::wstring_view text, DWORD& processId)
{
    OwnPath own;
    if (!ReadOwnPath(own))
        return false;
    // "FOLDER\tarnvale.exe" TEXT: tarnvale.exe reads the quoted name, then the blanks, then
    // the text. The program's own path comes first, for CreateProcess, then the folder.
    const std::size_t pathLength = own.folderLength + kTarnvaleProgram.size();
    const std::size_t commandLength = pathLength + 3 + text.size();
    if (commandLength > kMaxCommandLineLength) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    HeapText room(pathLength + 1 + own.folderLength + 1 + commandLength + 1);
    if (!room) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    wchar_t* at = room.data();
    const auto put = [&](std::wstring_view part) {
        for (const wchar_t c : part)
            *at++ = c;
    };
    wchar_t* const path = at;
    put(own.Folder());
    put(kTarnvaleProgram);
    *at++ = L'\0';
    wchar_t* const folder = at;
    put(own.Folder());
    *at++ = L'\0';
    wchar_t* const command = at;
    put(L"\"");
    put({path, pathLength});
    put(L"\" ");
    put(text);
    *at = L'\0';

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(path, command, nullptr, nullptr, FALSE, 0, nullptr,
                        own.folderLength > 0 ? folder : nullptr, &startup, &info))
        return false;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    processId = info.dwProcessId;
    return true;
}

}  // namespace tarnvale::lister
