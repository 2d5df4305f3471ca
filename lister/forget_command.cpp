#include "lister/commands.h"
#include "lister/startup_shortcuts.h"

namespace tarnvale::lister {

int ForgetText(Output& out, std::wstring_view text)
{
    const ForgottenShortcuts forgotten = ForgetShortcuts(text);
    if (!forgotten.folderRead) {
        out.Text("The Startup folder cannot be read: nothing was removed.").Line();
        return kNotKept;
    }
    if (forgotten.count == 0) {
        out.Text("No shortcut in the Startup folder keeps the text ").Bracketed(text)
            .Text(" at sign-in.").Line();
        return kNothingFound;
    }
    out.Text("Removed: the window with the text ").Bracketed(text)
        .Text(" is no longer kept at sign-in.").Line()
        .Text("  ").Unbracketed(forgotten.Path()).Line();
    out.Text("A Tarnvale running now keeps it until you choose \"Exit\" on its icon.").Line();
    return kDone;
}

}  // namespace tarnvale::lister
