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
    HeapText command(commandLength);
    if (!command) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    wchar_t* at = command.data();
    const auto put = [&](std::wstring_view part) {
        for (const wchar_t c : part)
            *at++ = c;
    };
    put(L"\"");
    put(own.Folder());
    put(kTarnvaleProgram);
    put(L"\" ");
    put(text);
    // The program's path is the quoted name at the line's start.
    return StartProgram({command.data() + 1, pathLength}, {command.data(), commandLength},
                        own.Folder(), processId);
}

}  // namespace tarnvale::lister
