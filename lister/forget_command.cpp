#include "lister/commands.h"
#include "lister/startup_shortcuts.h"

namespace tarnvale::lister {

int ForgetText(Output& out, std::wstring_view text)
{
    const ForgottenShortcuts forgotten = ForgetShortcuts(text);
    if (!forgotten.folderRead) {
        out.Text(L"The Startup folder cannot be read: nothing was removed.").Line();
        return kNotKept;
    }
    if (forgotten.count == 0) {
        out.Text(L"No shortcut in the Startup folder keeps the text ").Bracketed(text)
            .Text(L" at sign-in.").Line();
        return kNothingFound;
    }
    out.Text(L"Removed: the window with the text ").Bracketed(text)
        .Text(L" is no longer kept at sign-in.").Line()
        .Text(L"  ").Unbracketed(forgotten.Path()).Line();
    out.Text(L"A Tarnvale running now keeps it until you choose \"Exit\" on its icon.").Line();
    return kDone;
}

}  // namespace tarnvale::lister
