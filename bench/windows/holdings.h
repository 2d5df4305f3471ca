#pragma once

// What a process holds, as far as Wine gives it: the figures a leak would move.
#include <windows.h>

#include <optional>
#include <string>

namespace bench {

struct Holdings {
    std::optional<SIZE_T> workingSet;
    std::optional<DWORD> handles;
    std::optional<DWORD> gdi;
    std::optional<DWORD> user;
    std::size_t windows = 0;  // top-level windows, hidden ones included
};

Holdings HoldingsOf(DWORD processId);

// "working_set=N handles=N gdi=N user=N windows=N", "none" where Wine gives no figure.
std::string Describe(const Holdings& holdings);

}  // namespace bench
