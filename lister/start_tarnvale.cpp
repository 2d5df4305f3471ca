#include "lister/start_tarnvale.h"

#include "lister/heap_text.h"
#include "lister/start_program.h"
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
    // the text.
    const std::size_t pathLength = own.folderLength + kTarnvaleProgram.size();
    const std::size_t commandLength = pathLength + 3 + text.size();
    if (commandLength > kMaxCommandLineLength) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    HeapText room(pathLength + commandLength);
    if (!room) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    wchar_t* at = room.data();
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
