#pragma once

// tarnvale.exe is started from the lister's own folder, by --pick and by the run at
// sign-in, with the text passed on through no shell.
#include <windows.h>

#include <cstddef>
#include <string_view>

namespace tarnvale::lister {

inline constexpr DWORD kMaxPath = 4096;
inline constexpr std::wstring_view kTarnvaleProgram = L"tarnvale.exe";

// This program's path, and its folder's length with the last backslash.
struct OwnPath {
    wchar_t path[kMaxPath] = {};
    std::size_t length = 0;
    std::size_t folderLength = 0;

    std::wstring_view Path() const { return {path, length}; }
    std::wstring_view Folder() const { return {path, folderLength}; }
};
// False, with the error set, when the path does not fit.
bool ReadOwnPath(OwnPath& own);

// Starts tarnvale.exe from this program's folder with `text`; false with the error set.
bool StartTarnvale(std::wstring_view text, DWORD& processId);

}  // namespace tarnvale::lister
