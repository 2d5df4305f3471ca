#pragma once

#include <string_view>

namespace tarnvale {

// The text after the program name and the spaces that follow it, taken whole:
// quotes, tabs and trailing blanks stay. `commandLine` is the whole line as
// GetCommandLineW gives it. A view into it: the caller keeps what it needs.
std::wstring_view TargetTextView(std::wstring_view commandLine);

// True when the text holds nothing but spaces (tabs count as content).
bool IsBlank(std::wstring_view text);

}  // namespace tarnvale
