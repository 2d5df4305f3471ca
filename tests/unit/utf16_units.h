#pragma once

#include <initializer_list>
#include <string>

namespace tarnvale {

// A text written as UTF-16 code units, as Windows gives them, whatever the host's wchar_t.
inline std::wstring Units(std::initializer_list<unsigned> units)
{
    std::wstring text;
    for (const unsigned unit : units)
        text.push_back(static_cast<wchar_t>(unit));
    return text;
}

}  // namespace tarnvale
