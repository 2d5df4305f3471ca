#pragma once

// The lister's shortcuts in the user's Startup folder, one for each text kept at every
// sign-in: each runs the lister minimized, with the fields of shortcut_fields.h for its
// arguments, and holds all that the run needs (no other file, no registry value).
#include <windows.h>

#include <string_view>

#include "lister/programs/start_tarnvale.h"
#include "lister/sign_in/shortcut_fields.h"

namespace tarnvale::lister {

struct KeptShortcut {
    std::wstring_view path;
    std::wstring_view name;  // the file's name without ".lnk"
    ShortcutFields fields;
};

// Calls `visit(context, shortcut)` for each shortcut of ours in the Startup folder; false
// when the folder cannot be read.
using ShortcutVisitor = void (*)(void* context, const KeptShortcut& shortcut);
bool ForEachShortcut(ShortcutVisitor visit, void* context);

// The same with a function object, such as a lambda that captures what it needs.
template <typename Visit>
bool ForEachShortcut(Visit visit)
{
    return ForEachShortcut(
        [](void* context, const KeptShortcut& shortcut) { (*static_cast<Visit*>(context))(shortcut); },
        &visit);
}

struct SavedShortcut {
    wchar_t path[kMaxPath] = {};
    std::size_t length = 0;
    bool replaced = false;  // a shortcut kept the same text before, and is gone
    bool tooLong = false;   // Windows kept the arguments short of what was written
    HRESULT error = S_OK;
    // Not saved: the shortcut that kept the text before, left as it was. Saved: another one
    // that kept the text, which could not be deleted (Windows' error in `previousError`).
    wchar_t previous[kMaxPath] = {};
    std::size_t previousLength = 0;
    DWORD previousError = ERROR_SUCCESS;

    std::wstring_view Path() const { return {path, length}; }
    std::wstring_view Previous() const { return {previous, previousLength}; }
};
// Writes the shortcut that keeps `fields` at every sign-in, named after `title`, in place
// of the one that kept the same text. It runs this program, from its folder. The new one
// is written under a name of its own and checked before it takes the old one's place, so
// that a failure leaves the old one as it was.
SavedShortcut SaveShortcut(const ShortcutFields& fields, std::wstring_view title);

// Deletes the shortcut at `path`: ERROR_SUCCESS, or Windows' error.
DWORD DeleteShortcut(std::wstring_view path);

}  // namespace tarnvale::lister
