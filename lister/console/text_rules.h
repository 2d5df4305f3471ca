#pragma once

// How the lister shows a window's class name or title, and whether a text can be put
// on cmd's command line as it stands. Plain functions with no Windows calls; texts are
// UTF-16 code units as Windows gives them, one to a wchar_t.
#include <cstddef>
#include <string_view>

#include "platform/window_system.h"

namespace tarnvale::lister {

// The characters that cmd reads as its own anywhere on a line: it runs, pipes or
// redirects at & | < >, escapes at ^, expands at % (and at ! with delayed expansion),
// ends a block at ), and splits at , ; = where the line is read again (call, start,
// for). A text with one of them is never offered as a command.
inline constexpr std::wstring_view kCmdCharacters = L"&|<>^%!(),;=";

// The longest text passed on, the longest tarnvale.exe looks up: longer titles are
// listed cut short.
inline constexpr std::size_t kMaxTextLength = kMaxLookupTextLength;
// The longest text offered as a command line: cmd takes lines of up to 8,191 characters,
// and this leaves room for the program and option before the text.
inline constexpr std::size_t kMaxTypedTextLength = 8000;

// One character of a text as the listing shows it between [ and ]: as itself, or as
// an escape: \u{202E} for a character that is not plain printable text (controls,
// invisible and direction-changing ones, lone surrogates), \] and \\ for the two that
// would fake the end of the field or an escape.
struct ShownCharacter {
    wchar_t text[12] = {};
    std::size_t length = 0;  // of `text`
    std::size_t used = 0;    // code units of the text it stands for: 1, or 2 for a pair
    bool hidden = false;     // shown as \u{...}: not text one can read or type
};
// The character that starts `text`, which is not empty.
ShownCharacter ShowCharacter(std::wstring_view text);

// Whether `text` can be run on cmd's line after the program's name and one blank, and
// reach the program unchanged, else why not.
enum class Typing {
    Fine,
    Blank,          // nothing but blanks: names no window
    LeadingBlank,   // the program's reading drops blanks after its name
    TooLong,
    Hidden,         // holds characters shown as \u{...}
    CmdCharacters,  // holds characters of kCmdCharacters
};
Typing HowTyped(std::wstring_view text);

// Whether `text` reaches tarnvale.exe whole when it is passed with no shell between:
// anything but blanks at its start, NUL, or a length beyond kMaxTextLength.
bool CanBePassed(std::wstring_view text);

std::size_t TrailingBlanks(std::wstring_view text);

// The characters of kCmdCharacters that `text` holds, each once, in the order they
// first come. Room for kCmdCharacters.size() characters.
struct CmdCharactersFound {
    wchar_t found[kCmdCharacters.size()] = {};
    std::size_t count = 0;

    std::wstring_view View() const { return {found, count}; }
};
CmdCharactersFound CmdCharactersIn(std::wstring_view text);

}  // namespace tarnvale::lister
