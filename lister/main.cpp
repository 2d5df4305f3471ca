// tarnvale-list.exe: which text to give tarnvale.exe for a window, or giving it by a
// click; keeping a window at every sign-in; waiting for a window to appear; and giving
// back a window that a Tarnvale ended from outside left attached to the desktop.
#include <windows.h>

#include "lister/commands.h"
#include "lister/console/own_console.h"
#include "lister/sign_in/shortcut_fields.h"
#include "text/command_line.h"
#include "version.h"

namespace {

using tarnvale::lister::Output;

constexpr std::string_view kHelp =
    "tarnvale-list " TARNVALE_VERSION_TEXT ": the windows tarnvale.exe can be given.\r\n"
    "\r\n"
    "  tarnvale-list [--all]\r\n"
    "  tarnvale-list --pick\r\n"
    "  tarnvale-list --at-sign-in TEXT\r\n"
    "  tarnvale-list --forget TEXT\r\n"
    "  tarnvale-list --wait SECONDS TEXT\r\n"
    "  tarnvale-list --release TEXT\r\n"
    "  tarnvale-list --help\r\n"
    "\r\n"
    "Lists the windows that tarnvale.exe can be given, the top one first: each one's\r\n"
    "class name and title between [ and ], then the command line that attaches it, to\r\n"
    "be run in a Command Prompt. Everything inside [ ] is part of the text, quotes and\r\n"
    "blanks too; \\\\ and \\] stand for \\ and ], and \\u{...} for a character that\r\n"
    "cannot be shown or typed (a control, an invisible or direction-changing one).\r\n"
    "tarnvale.exe takes its text whole: type a command as it stands, without adding\r\n"
    "quotes. When a command ends in blanks, the line under it says how many; type\r\n"
    "them too (a console drops them when a line is copied). The class name is offered\r\n"
    "while no other window has it, else the title. A text with characters that cmd\r\n"
    "reads as its own (& | < > ^ % ! ( ) , ; =) or with such escapes is never offered\r\n"
    "as a command. Hidden windows, windows without a title and Tarnvale's own are\r\n"
    "left out and counted; --all lists them too, marked. Windows attached to the\r\n"
    "desktop are listed apart, with the command that gives each back; the shell's\r\n"
    "own windows under the desktop are not listed and not released. Last come the\r\n"
    "windows kept at every sign-in, with the command that stops each.\r\n"
    "\r\n"
    "--pick          waits for a click on the window to keep on the desktop, then\r\n"
    "                starts tarnvale.exe from this program's folder with the text\r\n"
    "                that names it, passed on with no shell between: nothing is\r\n"
    "                typed, so any title will do. The click does not reach the\r\n"
    "                window. Esc or a right click cancels. The desktop, the task\r\n"
    "                bar, this console and Tarnvale's own windows are refused, and\r\n"
    "                it waits for another click. Started by a double click, with no\r\n"
    "                options, tarnvale-list picks so too, then waits for a key before\r\n"
    "                its window closes. Once Tarnvale is started it asks whether to\r\n"
    "                keep the window there at every sign-in (y/N), as --at-sign-in;\r\n"
    "                no answer, as from a script, is no.\r\n"
    "\r\n"
    "--at-sign-in TEXT\r\n"
    "                keeps the window whose class name, else title, is TEXT on the\r\n"
    "                desktop at every sign-in: a shortcut in your Startup folder runs\r\n"
    "                the lister, minimized, which starts the window's program again\r\n"
    "                with its command line, in the folder it ran in, unless the\r\n"
    "                window is there already, waits for the window, puts it back at\r\n"
    "                the place and size it has now, then starts tarnvale.exe with\r\n"
    "                TEXT, all with no shell between. Asked again for the same TEXT,\r\n"
    "                it replaces that shortcut, with the window's place as it is then,\r\n"
    "                once the new one is written whole; else the old one stays as it\r\n"
    "                was. Task Manager's Startup tab and Settings > Apps > Startup\r\n"
    "                list it and can switch it off. It runs the lister from this\r\n"
    "                folder: if you move the folder, ask again.\r\n"
    "\r\n"
    "--forget TEXT   removes the shortcut that keeps TEXT at every sign-in, or else\r\n"
    "                the one named after TEXT as the window's title. A title that\r\n"
    "                several windows kept share removes none: each is shown with the\r\n"
    "                line that removes it. A TEXT that matches nothing lists what is\r\n"
    "                kept.\r\n"
    "\r\n"
    "--wait SECONDS TEXT\r\n"
    "                waits until tarnvale.exe would find a window by TEXT, its class\r\n"
    "                name or title, for at most SECONDS: ends as soon as there is\r\n"
    "                one, else fails. A TEXT that tarnvale.exe can never look up\r\n"
    "                (a character with no form in the ANSI code page) is refused at\r\n"
    "                once. TEXT is everything after SECONDS and the blanks that\r\n"
    "                follow, taken whole: in a batch file, write && right after it,\r\n"
    "                as cmd passes a blank before && on as part of it:\r\n"
    "\r\n"
    "  start \"\" notepad.exe\r\n"
    "  \"%~dp0tarnvale-list.exe\" --wait 60 Notepad&& start \"\" \"%~dp0tarnvale.exe\" Notepad\r\n"
    "\r\n"
    "--release TEXT  makes the window attached to the desktop whose class name, else\r\n"
    "                title, is TEXT an ordinary window again: for a window left\r\n"
    "                attached by a Tarnvale ended from the Task Manager or by a crash.\r\n"
    "                TEXT is everything after \"--release\" and the blanks that follow,\r\n"
    "                taken whole, as tarnvale.exe takes its text. When a running\r\n"
    "                Tarnvale holds the window it attaches it again at once: choose\r\n"
    "                \"Exit\" on that copy's icon instead.\r\n"
    "\r\n"
    "TEXT, after --at-sign-in, --forget and --release, is everything after the option\r\n"
    "and the blanks that follow, taken whole, as tarnvale.exe takes its text.\r\n"
    "\r\n"
    "Writes no files but the shortcuts of --at-sign-in, and no registry values. Output\r\n"
    "sent to a file or a pipe is UTF-8.\r\n"
    "Exit codes: 0 done; 1 no window to list, or none has the TEXT (in time), or no\r\n"
    "shortcut has it (--forget); 2 a wrong option, or a TEXT that no window can be\r\n"
    "found by; 3 a running Tarnvale holds the window; 4 it was not released (the\r\n"
    "shell's own window, or its program does not answer, or Windows refused); 5 the\r\n"
    "pick was cancelled; 6 the picked window was not given to tarnvale.exe (attached\r\n"
    "already, no text names it, its program runs as administrator, or tarnvale.exe\r\n"
    "could not be started); 7 not kept at every sign-in (no text names it, refused or\r\n"
    "not written), or a shortcut not removed (it could not be deleted, or TEXT is the\r\n"
    "title of several).\r\n";

constexpr std::string_view kDoubleClicked =
    "tarnvale-list " TARNVALE_VERSION_TEXT " gives the window you click to tarnvale.exe, which keeps\r\n"
    "it on the desktop. In a Command Prompt it lists the windows (see --help).\r\n"
    "\r\n";

std::wstring_view FirstWord(std::wstring_view text)
{
    const std::size_t end = text.find_first_of(L" \t");
    return {text.data(), end == std::wstring_view::npos ? text.size() : end};
}

// SECONDS: whole seconds, up to nine digits; false for anything else.
bool ReadSeconds(std::wstring_view word, unsigned& seconds)
{
    if (word.empty() || word.size() > 9)
        return false;
    seconds = 0;
    for (const wchar_t c : word) {
        if (c < L'0' || c > L'9')
            return false;
        seconds = seconds * 10 + static_cast<unsigned>(c - L'0');
    }
    return true;
}

int Run()
{
    using namespace tarnvale::lister;
    Output out(STD_OUTPUT_HANDLE);
    // The same reading as tarnvale.exe's: the text after the name and the blanks.
    const std::wstring_view rest = tarnvale::TargetTextView(GetCommandLineW());
    const std::wstring_view option = FirstWord(rest);
    const bool alone = tarnvale::IsBlank({rest.data() + option.size(), rest.size() - option.size()});
    if (rest.empty() && HasAConsoleOfItsOwn(out)) {
        // Its console closes when it ends: what it says waits for a key.
        SetConsoleTitleW(L"tarnvale-list: click the window to keep on the desktop");
        out.Text(kDoubleClicked);
        const int result = PickWindow(out);
        out.Line().Text("Press a key to close this window.").Line();
        WaitForKey();
        return result;
    }
    if (rest.empty() || (option == L"--all" && alone))
        return ListWindows(out, !rest.empty());
    if ((option == L"--help" || option == L"-h" || option == L"/?") && alone) {
        out.Text(kHelp);
        return kDone;
    }
    if (option == L"--pick" && alone)
        return PickWindow(out);
    Output errors(STD_ERROR_HANDLE);
    // The text after the option and the blanks, taken whole.
    const std::wstring_view afterOption = tarnvale::TargetTextView(rest);
    if (option == kSignedInOption)
        return RunAtSignIn(rest);
    if (option == L"--release" || option == L"--at-sign-in" || option == L"--forget") {
        if (tarnvale::IsBlank(afterOption)) {
            errors.Text("tarnvale-list: ").Text(option)
                .Text(" needs the window's class name or title.").Line();
        } else if (option == L"--release") {
            return ReleaseWindow(out, afterOption);
        } else {
            return option == L"--forget" ? ForgetText(out, afterOption)
                                         : KeepTextAtSignIn(out, afterOption);
        }
    } else if (option == L"--wait") {
        unsigned seconds = 0;
        const std::wstring_view text = tarnvale::TargetTextView(afterOption);
        if (ReadSeconds(FirstWord(afterOption), seconds) && !tarnvale::IsBlank(text))
            return WaitForWindow(out, seconds, text);
        errors.Text("tarnvale-list: --wait needs whole seconds, then the window's class name "
                    "or").Line().Text("title.").Line();
    } else {
        errors.Text("tarnvale-list: unknown option ").Bracketed(rest).Text(".").Line();
    }
    errors.Text("tarnvale-list --help says what it takes.").Line();
    return kWrongOption;
}

}  // namespace

int main()
{
    return Run();
}
