#include "lister/console/text_rules.h"

#include "text/code_point.h"
#include "text/command_line.h"

namespace tarnvale::lister {

namespace {

struct CodeRange {
    char32_t first;
    char32_t last;
};

// Characters that show nothing, show as a blank that is not one, or change how the
// text around them is shown: a title made of them could look like another text.
constexpr CodeRange kHiddenRanges[] = {
    {0x0000, 0x001F},    // C0 controls, tab and line breaks among them
    {0x007F, 0x00A0},    // DEL, C1 controls (U+0085, U+009B, ...), no-break space
    {0x00AD, 0x00AD},    // soft hyphen
    {0x034F, 0x034F},    // combining grapheme joiner
    {0x061C, 0x061C},    // Arabic letter mark
    {0x115F, 0x1160},    // Hangul fillers
    {0x1680, 0x1680},    // Ogham space mark
    {0x17B4, 0x17B5},    // Khmer invisible vowels
    {0x180B, 0x180F},    // Mongolian variation selectors and vowel separator
    {0x2000, 0x200F},    // typographic spaces, zero-width characters, LRM, RLM
    {0x2028, 0x202F},    // line and paragraph separators, embeddings and overrides
    {0x205F, 0x206F},    // word joiner, invisible operators, isolates, old controls
    {0x3000, 0x3000},    // ideographic space
    {0x3164, 0x3164},    // Hangul filler
    {0xD800, 0xDFFF},    // a surrogate not in a pair
    {0xFDD0, 0xFDEF},    // noncharacters
    {0xFE00, 0xFE0F},    // variation selectors
    {0xFEFF, 0xFEFF},    // zero-width no-break space (byte order mark)
    {0xFFA0, 0xFFA0},    // halfwidth Hangul filler
    {0xFFF0, 0xFFFB},    // interlinear annotation
    {0x1BCA0, 0x1BCA3},  // shorthand format controls
    {0x1D173, 0x1D17A},  // musical formatting
    {0xE0000, 0xE0FFF},  // tags and variation selectors supplement
};

bool IsHidden(char32_t c)
{
    if ((c & 0xFFFE) == 0xFFFE)  // the noncharacters at the end of every plane
        return true;
    for (const CodeRange& range : kHiddenRanges)
        if (c >= range.first && c <= range.last)
            return true;
    return false;
}

void Append(ShownCharacter& shown, wchar_t c)
{
    shown.text[shown.length++] = c;
}

}  // namespace

ShownCharacter ShowCharacter(std::wstring_view text)
{
    ShownCharacter shown;
    const CodePoint point = ReadCodePoint(text);
    const char32_t c = point.value;
    shown.used = point.units;
    if (IsHidden(c)) {
        shown.hidden = true;
        Append(shown, L'\\');
        Append(shown, L'u');
        Append(shown, L'{');
        int shift = 20;
        while (shift > 0 && (c >> shift) == 0)
            shift -= 4;
        for (; shift >= 0; shift -= 4)
            Append(shown, L"0123456789ABCDEF"[(c >> shift) & 0xF]);
        Append(shown, L'}');
        return shown;
    }
    if (c == L']' || c == L'\\')
        Append(shown, L'\\');
    for (std::size_t i = 0; i < shown.used; ++i)
        Append(shown, text[i]);
    return shown;
}

Typing HowTyped(std::wstring_view text)
{
    if (IsBlank(text))
        return Typing::Blank;
    // tarnvale.exe's reading skips the blanks after its name, however many.
    if (text.front() == L' ')
        return Typing::LeadingBlank;
    if (text.size() > kMaxTypedTextLength)
        return Typing::TooLong;
    for (std::size_t at = 0; at < text.size();) {
        // Not substr: it may throw, and the lister is built without exceptions.
        const ShownCharacter shown = ShowCharacter({text.data() + at, text.size() - at});
        if (shown.hidden)
            return Typing::Hidden;
        at += shown.used;
    }
    if (text.find_first_of(kCmdCharacters) != std::wstring_view::npos)
        return Typing::CmdCharacters;
    return Typing::Fine;
}

bool CanBePassed(std::wstring_view text)
{
    return !IsBlank(text) && text.front() != L' ' && text.size() <= kMaxTextLength &&
           text.find(L'\0') == std::wstring_view::npos;
}

std::size_t TrailingBlanks(std::wstring_view text)
{
    std::size_t count = 0;
    while (count < text.size() && text[text.size() - 1 - count] == L' ')
        ++count;
    return count;
}

CmdCharactersFound CmdCharactersIn(std::wstring_view text)
{
    CmdCharactersFound result;
    for (const wchar_t c : text)
        if (kCmdCharacters.find(c) != std::wstring_view::npos &&
            result.View().find(c) == std::wstring_view::npos)
            result.found[result.count++] = c;
    return result;
}

}  // namespace tarnvale::lister
