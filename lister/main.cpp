// tarnvale-list.exe: which text to give tarnvale.exe for a window, or giving it by a
// click; keeping a window at every sign-in; waiting for a window to appear; and giving
// back a window that a Tarnvale ended from outside left attached to the desktop.
#include <windows.h>

#include "app/command_line.h"
#include "lister/commands.h"
#include "lister/own_console.h"
#include "lister/sign_in_fields.h"
#include "version.h"

namespace {

using tarnvale::lister::Output;

constexpr std::wstring_view kHelp =
    L"tarnvale-list " TARNVALE_VERSION_TEXT L": the windows tarnvale.exe can be given.\r\n"
    L"\r\n"
    L"  tarnvale-list [--all]\r\n"
    L"  tarnvale-list --pick\r\n"
    L"  tarnvale-list --at-sign-in TEXT\r\n"
    L"  tarnvale-list --forget TEXT\r\n"
    L"  tarnvale-list --wait SECONDS TEXT\r\n"
    L"  tarnvale-list --release TEXT\r\n"
    L"  tarnvale-list --help\r\n"
    L"\r\n"
    L"Lists the windows that tarnvale.exe can be given, the top one first: each one's\r\n"
    L"class name and title between [ and ], then the command line that attaches it, to\r\n"
    L"be run in a Command Prompt. Everything inside [ ] is part of the text, quotes and\r\n"
    L"blanks too; \\\\ and \\] stand for \\ and ], and \\u{...} for a character that\r\n"
    L"cannot be shown or typed (a control, an invisible or direction-changing one).\r\n"
    L"tarnvale.exe takes its text whole: type a command as it stands, without adding\r\n"
    L"quotes. When a command ends in blanks, the line under it says how many; type\r\n"
    L"them too (a console drops them when a line is copied). The class name is offered\r\n"
    L"while no other window has it, else the title. A text with characters that cmd\r\n"
    L"reads as its own (& | < > ^ % ! ( ) , ; =) or with such escapes is never offered\r\n"
    L"as a command. Hidden windows, windows without a title and Tarnvale's own are\r\n"
    L"left out and counted; --all lists them too, marked. Windows attached to the\r\n"
    L"desktop are listed apart, with the command that gives each back; the shell's\r\n"
    L"own windows under the desktop are not listed and not released. Last come the\r\n"
    L"windows kept at every sign-in, with the command that stops each.\r\n"
    L"\r\n"
    L"--pick          waits for a click on the window to keep on the desktop, then\r\n"
    L"                starts tarnvale.exe from this program's folder with the text\r\n"
    L"                that names it, passed on with no shell between: nothing is\r\n"
    L"                typed, so any title will do. The click does not reach the\r\n"
    L"                window. Esc or a right click cancels. The desktop, the task\r\n"
    L"                bar, this console and Tarnvale's own windows are refused, and\r\n"
    L"                it waits for another click. Started by a double click, with no\r\n"
    L"                options, tarnvale-list picks so too, then waits for a key before\r\n"
    L"                its window closes. Once Tarnvale is started it asks whether to\r\n"
    L"                keep the window there at every sign-in (y/N), as --at-sign-in;\r\n"
    L"                no answer, as from a script, is no.\r\n"
    L"\r\n"
    L"--at-sign-in TEXT\r\n"
    L"                keeps the window whose class name, else title, is TEXT on the\r\n"
    L"                desktop at every sign-in: a shortcut in your Startup folder runs\r\n"
    L"                the lister, minimized, which starts the window's program again\r\n"
    L"                with its command line unless it is there already, waits for the\r\n"
    L"                window, then starts tarnvale.exe with TEXT, all with no shell\r\n"
    L"                between. Asked again for the same TEXT, it replaces that shortcut.\r\n"
    L"                Task Manager's Startup tab and Settings > Apps > Startup list it\r\n"
    L"                and can switch it off. It runs the lister from this folder: if you\r\n"
    L"                move the folder, ask again.\r\n"
    L"\r\n"
    L"--forget TEXT   removes the shortcut that keeps TEXT at every sign-in.\r\n"
    L"\r\n"
    L"--wait SECONDS TEXT\r\n"
    L"                waits until tarnvale.exe would find a window by TEXT, its class\r\n"
    L"                name or title, for at most SECONDS: ends as soon as there is\r\n"
    L"                one, else fails. TEXT is everything after SECONDS and the\r\n"
    L"                blanks that follow, taken whole: in a batch file, write && right\r\n"
    L"                after it, as cmd passes a blank before && on as part of it:\r\n"
    L"\r\n"
    L"  start \"\" notepad.exe\r\n"
    L"  \"%~dp0tarnvale-list.exe\" --wait 60 Notepad&& start \"\" \"%~dp0tarnvale.exe\" Notepad\r\n"
    L"\r\n"
    L"--release TEXT  makes the window attached to the desktop whose class name, else\r\n"
    L"                title, is TEXT an ordinary window again: for a window left\r\n"
    L"                attached by a Tarnvale ended from the Task Manager or by a crash.\r\n"
    L"                TEXT is everything after \"--release\" and the blanks that follow,\r\n"
    L"                taken whole, as tarnvale.exe takes its text. When a running\r\n"
    L"                Tarnvale holds the window it attaches it again at once: choose\r\n"
    L"                \"Exit\" on that copy's icon instead.\r\n"
    L"\r\n"
    L"TEXT, after --at-sign-in, --forget and --release, is everything after the option\r\n"
    L"and the blanks that follow, taken whole, as tarnvale.exe takes its text.\r\n"
    L"\r\n"
    L"Writes no files but the shortcuts of --at-sign-in, and no registry values. Output\r\n"
    L"sent to a file or a pipe is UTF-8.\r\n"
    L"Exit codes: 0 done; 1 no window to list, or none has the TEXT (in time); 2 a wrong\r\n"
    L"option; 3 a running Tarnvale holds the window; 4 it was not released (the shell's\r\n"
    L"own window, or its program does not answer, or Windows refused); 5 the pick was\r\n"
    L"cancelled; 6 the picked window was not given to tarnvale.exe (attached already, no\r\n"
    L"text names it, its program runs as administrator, or tarnvale.exe could not be\r\n"
    L"started); 7 not kept at every sign-in (no text names it, refused or not written).\r\n";

constexpr std::wstring_view kDoubleClicked =
    L"tarnvale-list " TARNVALE_VERSION_TEXT L" gives the window you click to tarnvale.exe, which keeps\r\n"
    L"it on the desktop. In a Command Prompt it lists the windows (see --help).\r\n"
    L"\r\n";

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
        out.Line().Text(L"Press a key to close this window.").Line();
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
            errors.Text(L"tarnvale-list: ").Text(option)
                .Text(L" needs the window's class name or title.").Line();
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
        errors.Text(L"tarnvale-list: --wait needs whole seconds, then the window's class name "
                    L"or").Line().Text(L"title.").Line();
    } else {
        errors.Text(L"tarnvale-list: unknown option ").Bracketed(rest).Text(L".").Line();
    }
    errors.Text(L"tarnvale-list --help says what it takes.").Line();
    return kWrongOption;
}

}  // namespace

int main()
{
    return Run();
}
