#include "lister/commands.h"
#include "lister/sign_in/forget_match.h"
#include "lister/sign_in/print_kept.h"
#include "lister/sign_in/startup_shortcuts.h"

namespace tarnvale::lister {

int ForgetText(Output& out, std::wstring_view text)
{
    // By the text kept first; else by the title a shortcut is named after, as a user sees it.
    unsigned byText = 0;
    unsigned byTitle = 0;
    unsigned kept = 0;
    if (!ForEachShortcut([&](const KeptShortcut& shortcut) {
            ++kept;
            if (shortcut.fields.text == text)
                ++byText;
            else if (NamedAfterTitle(shortcut.name, text))
                ++byTitle;
        })) {
        out.Text("The Startup folder cannot be read: nothing was removed.").Line();
        return kNotKept;
    }
    const bool matchTitle = byText == 0;
    const auto matches = [&](const KeptShortcut& shortcut) {
        return matchTitle ? NamedAfterTitle(shortcut.name, text) : shortcut.fields.text == text;
    };
    if (byText + byTitle == 0) {
        out.Text("No shortcut in the Startup folder keeps the text ").Bracketed(text)
            .Text(" at sign-in.").Line();
        if (kept > 0) {
            out.Text("Nor is one named after it as a title. Kept at every sign-in:").Line().Line();
            ForEachShortcut([&](const KeptShortcut& shortcut) { PrintKept(out, shortcut); });
        }
        return kNothingFound;
    }
    // Windows of one title kept by different texts: removing them all could drop the one
    // the user meant to keep, so each is shown with the line that removes it alone.
    if (matchTitle && byTitle > 1) {
        out.Text("Not removed: two or more windows kept at every sign-in have the title ")
            .Bracketed(text).Text(".").Line()
            .Text("Remove the one you mean by its text:").Line().Line();
        ForEachShortcut([&](const KeptShortcut& shortcut) {
            if (matches(shortcut))
                PrintKept(out, shortcut);
        });
        return kNotKept;
    }
    unsigned removed = 0;
    unsigned stayed = 0;
    ForEachShortcut([&](const KeptShortcut& shortcut) {
        if (!matches(shortcut))
            return;
        if (const DWORD error = DeleteShortcut(shortcut.path); error != ERROR_SUCCESS) {
            ++stayed;
            out.Text("Not removed: the shortcut that keeps the text ").Bracketed(shortcut.fields.text)
                .Text(" could not be deleted").Line()
                .Text("(error ").Number(static_cast<unsigned>(error))
                .Text("); it runs at every sign-in still:").Line();
        } else {
            ++removed;
            out.Text("Removed: the window with the text ").Bracketed(shortcut.fields.text)
                .Text(" is no longer kept at sign-in.").Line();
        }
        out.Text("  ").Unbracketed(shortcut.path).Line();
    });
    if (removed > 0)
        out.Text("A Tarnvale running now keeps it until you choose \"Exit\" on its icon.").Line();
    return stayed > 0 ? kNotKept : removed > 0 ? kDone : kNothingFound;
}

}  // namespace tarnvale::lister
