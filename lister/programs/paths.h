#pragma once

// Paths as Windows reads them: compared without regard to case, split at their last
// separator.
#include <windows.h>

#include <string_view>

namespace tarnvale::lister {

inline bool SamePath(std::wstring_view a, std::wstring_view b)
{
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The folder of `path`, with its last separator; empty for a bare file name.
inline std::wstring_view FolderOf(std::wstring_view path)
{
    const std::size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring_view::npos ? std::wstring_view{}
                                                : std::wstring_view(path.data(), separator + 1);
}

inline std::wstring_view FileNameOf(std::wstring_view path)
{
    const std::size_t folder = FolderOf(path).size();
    return {path.data() + folder, path.size() - folder};
}

}  // namespace tarnvale::lister
