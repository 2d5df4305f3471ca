#pragma once

// What a shortcut in the Startup folder tells the lister's run at sign-in, and the
// shortcut's file name. The shell may expand %...% in a shortcut's arguments, drop blanks
// at their end, and ShellExecute and cmd treat quotes as their own, so each field is
// written in letters, digits and '.' alone, every other UTF-16 unit as _HH or -HHHH
// (upper-case hex). The fields are split by blanks and closed by "--end", so that
// arguments cut short anywhere are refused rather than read as a shorter command line.
// The window's place is one word of its own, "--place.X.Y.W.H" with ".max" after it for
// a maximized window. Plain functions with no Windows calls; texts are UTF-16 units, one
// to a wchar_t.
#include <cstddef>
#include <span>
#include <string_view>

#include "lister/sign_in/window_place.h"
#include "platform/window_system.h"

namespace tarnvale::lister {

// How long the run at sign-in waits for the window: Windows starts the Startup folder's
// items late, on purpose, and a program may take its time at sign-in.
inline constexpr unsigned kSignInWaitMinutes = 5;

// First of the shortcut's arguments: what makes the lister run as at sign-in.
inline constexpr std::wstring_view kSignedInOption = L"--signed-in";

struct ShortcutFields {
    std::wstring_view text;         // given to tarnvale.exe, whole
    std::wstring_view program;      // the window's program; empty: start none
    std::wstring_view commandLine;  // the program's command line, whole; empty with `program`
    // The folder the program ran in; empty: its own folder (shortcuts written before
    // folders were kept have none).
    std::wstring_view folder = {};
    WindowPlace place = {};         // none: leave the window where its program puts it
};

// How many units EncodeArguments writes for `fields`; 0 when they cannot be written: no
// text, a program without a command line or the other way round, a folder without a
// program, a place out of reach, or (on a host whose wchar_t is wider) a value that is
// no UTF-16 unit.
std::size_t EncodedLength(const ShortcutFields& fields);
// Writes the arguments into `out`, which holds at least EncodedLength(fields) units;
// returns their length, 0 when they cannot be written or do not fit.
std::size_t EncodeArguments(const ShortcutFields& fields, std::span<wchar_t> out);
// Reads arguments that EncodeArguments wrote, blanks around them allowed, decoding each
// field in place: the views point into `arguments`. False for anything else.
bool DecodeArguments(std::span<wchar_t> arguments, ShortcutFields& fields);

// The shortcut's file name, without ".lnk", from the window's title: "Tarnvale - " and
// the title cut to kMaxNamedTitle units, with what a file name cannot hold (\ / : * ? " <
// > |, controls) and what would hide or turn the text around it made '_'. The prefix
// keeps it clear of names Windows reserves (CON, NUL, COM1, ...). `copy` above 1 adds
// " (copy)", for another text whose title makes the same name.
inline constexpr std::wstring_view kShortcutPrefix = L"Tarnvale - ";
inline constexpr std::size_t kMaxNamedTitle = 64;
struct ShortcutName {
    wchar_t text[kShortcutPrefix.size() + kMaxNamedTitle + 16] = {};
    std::size_t length = 0;

    std::wstring_view View() const { return {text, length}; }
};
ShortcutName NameShortcut(std::wstring_view title, unsigned copy);

}  // namespace tarnvale::lister
