// tarnvale-list.exe: which text to give tarnvale.exe for a window, and giving back a
// window that a Tarnvale ended from outside left attached to the desktop.
#include <windows.h>

#include "app/command_line.h"
#include "lister/commands.h"
#include "version.h"

namespace {

using tarnvale::lister::Output;

constexpr std::wstring_view kHelp =
    L"tarnvale-list " TARNVALE_VERSION_TEXT L": the windows tarnvale.exe can be given.\r\n"
    L"\r\n"
    L"  tarnvale-list [--all]\r\n"
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
    L"own windows under the desktop are not listed and not released.\r\n"
    L"\r\n"
    L"--release TEXT  makes the window attached to the desktop whose class name, else\r\n"
    L"                title, is TEXT an ordinary window again: for a window left\r\n"
    L"                attached by a Tarnvale ended from the Task Manager or by a crash.\r\n"
    L"                TEXT is everything after \"--release\" and the blanks that follow,\r\n"
    L"                taken whole, as tarnvale.exe takes its text. When a running\r\n"
    L"                Tarnvale holds the window it attaches it again at once: choose\r\n"
    L"                \"Exit\" on that copy's icon instead.\r\n"
    L"\r\n"
    L"Reads and writes no files. Output sent to a file or a pipe is UTF-8.\r\n"
    L"Exit codes: 0 done; 1 no window to list, or none has the TEXT; 2 a wrong option;\r\n"
    L"3 a running Tarnvale holds the window; 4 it was not released (the shell's own\r\n"
    L"window, or its program does not answer, or Windows refused).\r\n";

std::wstring_view FirstWord(std::wstring_view text)
{
    const std::size_t end = text.find_first_of(L" \t");
    return {text.data(), end == std::wstring_view::npos ? text.size() : end};
}

int Run()
{
    Output out(STD_OUTPUT_HANDLE);
    // The same reading as tarnvale.exe's: the text after the name and the blanks.
    const std::wstring_view rest = tarnvale::TargetTextView(GetCommandLineW());
    const std::wstring_view option = FirstWord(rest);
    const bool alone = tarnvale::IsBlank({rest.data() + option.size(), rest.size() - option.size()});
    if (rest.empty() || (option == L"--all" && alone))
        return tarnvale::lister::ListWindows(out, !rest.empty());
    if ((option == L"--help" || option == L"-h" || option == L"/?") && alone) {
        out.Text(kHelp);
        return tarnvale::lister::kDone;
    }
    Output errors(STD_ERROR_HANDLE);
    if (option == L"--release") {
        const std::wstring_view text = tarnvale::TargetTextView(rest);
        if (!tarnvale::IsBlank(text))
            return tarnvale::lister::ReleaseWindow(out, text);
        errors.Text(L"tarnvale-list: --release needs the window's class name or title.").Line();
    } else {
        errors.Text(L"tarnvale-list: unknown option ").Bracketed(rest).Text(L".").Line();
    }
    errors.Text(L"tarnvale-list --help says what it takes.").Line();
    return tarnvale::lister::kWrongOption;
}

}  // namespace

int main()
{
    return Run();
}
