#include "lister/sign_in/keeping.h"

#include "lister/console/ask.h"
#include "lister/exit_codes.h"
#include "lister/sign_in/screen_place.h"
#include "lister/sign_in/print_kept.h"
#include "lister/sign_in/startup_shortcuts.h"
#include "text/command_line.h"

namespace tarnvale::lister {

namespace {

// When Windows does not give the command line: the program alone, as CreateProcess makes
// it when given none.
void QuotePathAlone(WindowProgram& program)
{
    const std::size_t length = program.pathLength;
    if (length == 0 || length + 2 > program.commandLine.size())
        return;
    wchar_t* const line = program.commandLine.data();
    line[0] = L'"';
    for (std::size_t i = 0; i < length; ++i)
        line[1 + i] = program.path.data()[i];
    line[length + 1] = L'"';
    program.commandLineLength = length + 2;
}

void SayWhatHappens(Output& out, const ShortcutFields& fields, bool commandLineGiven)
{
    if (fields.program.empty()) {
        out.Text("At every sign-in: no program is started; once a window has the text ")
            .Bracketed(fields.text).Line()
            .Text("(up to ").Number(kSignInWaitMinutes).Text(" minutes), ");
    } else {
        // One path: the program started, which its command line may name otherwise.
        out.Text("At every sign-in, unless the window is there already: ")
            .Unbracketed(fields.program).Text(" is started");
        // What follows the program's name, read as tarnvale.exe reads its own.
        const std::wstring_view arguments = TargetTextView(fields.commandLine);
        if (!commandLineGiven)
            out.Text(" alone (Windows did not give its command line)");
        else if (arguments.empty())
            out.Text(" with no arguments");
        else
            out.Text(" with the arguments: ").Unbracketed(arguments);
        out.Line();
        if (fields.folder.empty())
            out.Text("in its own folder (the folder it runs in could not be read).").Line();
        else
            out.Text("in the folder ").Unbracketed(fields.folder).Text(".").Line();
        out.Text("Once the window is there (up to ").Number(kSignInWaitMinutes).Text(" minutes), ");
    }
    if (fields.place.known) {
        out.Text("it is put ");
        PrintPlace(out, fields.place);
        out.Text(" and").Line();
    }
    out.Text("tarnvale.exe is started with the text ").Bracketed(fields.text).Text(".").Line();
}

}  // namespace

void SayRunAsAdministrator(Output& out)
{
    out.Text("Its program runs with rights above this one's (as administrator): Windows does")
        .Line().Text("not let Tarnvale change its windows. Run the lister as administrator to keep")
        .Line().Text("that window.").Line();
}

bool CannotKeepAtSignIn(Output& out, const WindowProgram& program)
{
    switch (JudgeAtSignIn(program.rights, ReadOwnRights(), ReadShellRights())) {
    case KeepVerdict::Fine:
        return false;
    case KeepVerdict::RunAsAdministrator:
        SayRunAsAdministrator(out);
        break;
    case KeepVerdict::NotAtSignIn:
        out.Text("Its program runs as administrator, and Windows starts the Startup folder's")
            .Line().Text("items without those rights: a Tarnvale started at sign-in could not keep")
            .Line().Text("its window. Run the lister as administrator and pick it after you sign in.")
            .Line();
        break;
    }
    out.Text("It is not kept at every sign-in.").Line();
    return true;
}

int KeepAtSignIn(Output& out, std::wstring_view text, std::wstring_view title, HWND window,
                 WindowProgram& program)
{
    if (CannotKeepAtSignIn(out, program))
        return kNotKept;
    const bool commandLineGiven = program.commandLineLength > 0;
    if (!commandLineGiven)
        QuotePathAlone(program);
    ShortcutFields fields{text, program.Path(), program.CommandLine(), program.Folder(),
                        ReadWindowPlace(window)};
    if (program.shell) {
        // Explorer always runs: starting it again would open another folder window.
        out.Text("It is a window of the shell (").Unbracketed(program.Path())
            .Text("), which always runs:").Line()
            .Text("no program is started for it; Tarnvale takes it once you open it.").Line();
        fields.program = fields.commandLine = fields.folder = {};
    } else if (program.pathLength == 0 || program.hosted) {
        if (program.hosted)
            out.Text("Its program, ").Unbracketed(program.Path())
                .Text(", cannot be started again by its path:").Line()
                .Text("it is a Store app, or the host of such apps' windows.").Line();
        else
            out.Text("Its program cannot be started again: Windows did not give its path.").Line();
        if (!AskYesNo(out, "Keep it at every sign-in all the same, starting no program?")) {
            out.Text("Nothing was kept.").Line();
            return kNotKept;
        }
        fields.program = fields.commandLine = fields.folder = {};
    }
    SayWhatHappens(out, fields, commandLineGiven);
    const SavedShortcut saved = SaveShortcut(fields, title.empty() ? text : title);
    if (saved.tooLong || FAILED(saved.error)) {
        if (saved.tooLong)
            out.Text("Not kept: the text, the program's path and its command line, written for a")
                .Line().Text("shortcut, are longer than Windows starts a program with.").Line();
        else
            out.Text("Not kept: the shortcut could not be written in the Startup folder (error ")
                .Hex(static_cast<unsigned>(saved.error)).Text(").").Line();
        if (!saved.Previous().empty())
            out.Text("The shortcut that kept this text before is unchanged:").Line()
                .Text("  ").Unbracketed(saved.Previous()).Line();
        return kNotKept;
    }
    const bool previousStays = saved.previousError != ERROR_SUCCESS;
    out.Text(saved.replaced && !previousStays
                 ? "Kept, in place of the shortcut that kept this text before:"
                 : "Kept by a shortcut in the Startup folder:")
        .Line().Text("  ").Unbracketed(saved.Path()).Line();
    if (!previousStays)
        return kDone;
    // Both run at sign-in: the user has to know, and which file it is.
    out.Text("The shortcut that kept this text before could not be deleted (error ")
        .Number(static_cast<unsigned>(saved.previousError)).Text("), and runs").Line()
        .Text("at every sign-in too, until you delete it:").Line()
        .Text("  ").Unbracketed(saved.Previous()).Line();
    return kNotKept;
}

}  // namespace tarnvale::lister
