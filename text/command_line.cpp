#include "text/command_line.h"

namespace tarnvale {

std::wstring_view TargetTextView(std::wstring_view commandLine)
{
    std::size_t pos = 0;
    if (!commandLine.empty() && commandLine.front() == L'"') {
        // A quoted program name runs to the closing quote, spaces and all.
        const std::size_t close = commandLine.find(L'"', 1);
        pos = close == std::wstring_view::npos ? commandLine.size() : close + 1;
    } else {
        pos = commandLine.find_first_of(L" \t");
        if (pos == std::wstring_view::npos)
            pos = commandLine.size();
    }
    // Only spaces separate the name from the text: a text of tabs is still a text.
    while (pos < commandLine.size() && commandLine[pos] == L' ')
        ++pos;
    // Not substr: it may throw, and the programs are built without exceptions.
    commandLine.remove_prefix(pos);
    return commandLine;
}

bool IsBlank(std::wstring_view text)
{
    return text.find_first_not_of(L' ') == std::wstring_view::npos;
}

}  // namespace tarnvale
