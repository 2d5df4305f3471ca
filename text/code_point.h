#pragma once

// Reading UTF-16 as Windows gives it, one code point at a time: a surrogate pair is one
// character, a surrogate that is not in a pair stands for itself.
#include <cstddef>
#include <string_view>

namespace tarnvale {

constexpr bool IsHighSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

constexpr bool IsLowSurrogate(char32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

struct CodePoint {
    char32_t value = 0;
    std::size_t units = 0;  // 1, or 2 for a pair
};

// The code point that starts `text`; none for an empty text. A wider wchar_t still holds
// one UTF-16 unit each.
constexpr CodePoint ReadCodePoint(std::wstring_view text)
{
    if (text.empty())
        return {};
    const char32_t first = static_cast<char32_t>(text[0]) & 0xFFFF;
    if (IsHighSurrogate(first) && text.size() > 1) {
        const char32_t second = static_cast<char32_t>(text[1]) & 0xFFFF;
        if (IsLowSurrogate(second))
            return {0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00), 2};
    }
    return {first, 1};
}

// `text` cut to at most `most` units, never between the two halves of a pair.
constexpr std::wstring_view WholeCharactersWithin(std::wstring_view text, std::size_t most)
{
    if (text.size() <= most)
        return text;
    std::size_t length = most;
    if (length > 0 && IsHighSurrogate(static_cast<char32_t>(text[length - 1]) & 0xFFFF) &&
        IsLowSurrogate(static_cast<char32_t>(text[length]) & 0xFFFF))
        --length;
    return {text.data(), length};
}

}  // namespace tarnvale
