#include "lister/programs/start_tarnvale.h"

#include "lister/programs/paths.h"
#include "lister/programs/start_program.h"
#include "platform/win32_heap_buffer.h"
#include "platform/window_system.h"

namespace tarnvale::lister {

bool ReadOwnPath(OwnPath& own)
{
    const DWORD length = GetModuleFileNameW(nullptr, own.path, kMaxPath);
    if (length == 0 || length >= kMaxPath) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    own.length = length;
    own.folderLength = FolderOf(own.Path()).size();
    return true;
}

bool StartTarnvale(std::wstring_view text, DWORD& processId)
{
    OwnPath own;
    if (!ReadOwnPath(own))
        return false;
    // "FOLDER\tarnvale.exe" TEXT: tarnvale.exe reads the quoted name, then the blanks, then
    // the text.
    const std::size_t pathLength = own.folderLength + kTarnvaleProgram.size();
    const std::size_t commandLength = pathLength + 3 + text.size();
    if (commandLength > kMaxCommandLineLength) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    HeapText paths(pathLength + commandLength);  // the program, then its command line
    if (!paths) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    wchar_t* at = paths.data();
    const auto put = [&](std::wstring_view part) {
        for (const wchar_t c : part)
            *at++ = c;
    };
    const wchar_t* const path = at;
    put(own.Folder());
    put(kTarnvaleProgram);
    const wchar_t* const command = at;
    put(L"\"");
    put({path, pathLength});
    put(L"\" ");
    put(text);
    return StartProgram({path, pathLength}, {command, commandLength}, own.Folder(), processId);
}

}  // namespace tarnvale::lister
