#pragma once

// The lister's shortcuts in the user's Startup folder, one for each text kept at every
// sign-in: each runs the lister minimized, with the fields of sign_in_fields.h for its
// arguments, and holds all that the run needs (no other file, no registry value).
#include <windows.h>

#include <string_view>

#include "lister/sign_in_fields.h"
#include "lister/start_tarnvale.h"

namespace tarnvale::lister {

struct KeptShortcut {
    std::wstring_view path;
    SignInFields fields;
};

// Calls `visit(context, shortcut)` for each shortcut of ours in the Startup folder; false
// when the folder cannot be read.
using ShortcutVisitor = void (*)(void* context, const KeptShortcut& shortcut);
bool VisitShortcuts(ShortcutVisitor visit, void* context);

// The same with a function object, such as a lambda that captures what it needs.
template <typename Visit>
bool ForEachShortcut(Visit visit)
{
    return VisitShortcuts(
        [](void* context, const KeptShortcut& shortcut) { (*static_cast<Visit*>(context))(shortcut); },
        &visit);
}

struct SavedShortcut {
    wchar_t path[kMaxPath] = {};
    std::size_t length = 0;
    bool replaced = false;  // a shortcut kept the same text before, and is gone
    bool tooLong = false;   // Windows kept the arguments short of what was written
    HRESULT error = S_OK;

    std::wstring_view Path() const { return {path, length}; }
};
// Writes the shortcut that keeps `fields` at every sign-in, named after `title`, in place
// of the one that kept the same text. It runs this program, from its folder.
SavedShortcut SaveShortcut(const SignInFields& fields, std::wstring_view title);

// Deletes the shortcuts that keep `text`; how many, and the path of the first in `path`.
struct ForgottenShortcuts {
    wchar_t path[kMaxPath] = {};
    std::size_t length = 0;
    unsigned count = 0;
    bool folderRead = false;

    std::wstring_view Path() const { return {path, length}; }
};
ForgottenShortcuts ForgetShortcuts(std::wstring_view text);

}  // namespace tarnvale::lister
