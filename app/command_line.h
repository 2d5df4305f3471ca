#pragma once

#include <string>
#include <string_view>

namespace tarnvale {

// The text after the program name and the spaces that follow it, taken whole:
// quotes, tabs and trailing blanks stay. `commandLine` is the whole line as
// GetCommandLineW gives it. A view into it, for the lister, which keeps no strings.
std::wstring_view TargetTextView(std::wstring_view commandLine);

// The same text as a string of its own. Inline, so that command_line.cpp links in no
// string code.
inline std::wstring TargetTextFromCommandLine(std::wstring_view commandLine)
{
    return std::wstring(TargetTextView(commandLine));
}

// True when the text holds nothing but spaces (tabs count as content).
bool IsBlank(std::wstring_view text);

}  // namespace tarnvale
