#include "attach/desktop.h"
#include "lister/commands.h"
#include "lister/sign_in/print_kept.h"
#include "lister/sign_in/startup_shortcuts.h"
#include "lister/windows/desktop_windows.h"
#include "lister/windows/print_window.h"
#include "platform/win32_window_lookup.h"

namespace tarnvale::lister {

namespace {

struct Listing {
    Output& out;
    bool all;
    Win32WindowLookup windows;
    RunningCopies copies = FindRunningCopies();
    HWND console = GetConsoleWindow();
    HWND desktop = FindDesktopWindow();
    unsigned listed = 0;
    unsigned hidden = 0;
    unsigned untitled = 0;
    unsigned own = 0;
};

// Says why the text that names the window cannot be typed as a command, and how to
// attach the window without typing.
void SayWhyNotTyped(Output& out, const WindowTexts& texts, std::wstring_view text)
{
    const wchar_t* const which = text.data() == texts.className ? L"class name" : L"title";
    out.Text("  no command line: ");
    if (HowTyped(text) == Typing::CmdCharacters) {
        const CmdCharactersFound found = CmdCharactersIn(text);
        out.Text("cmd reads the ");
        for (std::size_t i = 0; i < found.count; ++i)
            out.Text(i > 0 ? " " : "").Text({&found.found[i], 1});
        out.Text(" in its ").Text(which).Text(" as its own.").Line();
    } else if (HowTyped(text) == Typing::TooLong) {
        out.Text("its ").Text(which).Text(" is longer than cmd takes on a line.").Line();
    } else {
        out.Text("its ").Text(which).Text(" holds characters shown as \\u{...}, which cannot")
            .Line().Text("  be typed.").Line();
    }
    out.Text("  tarnvale-list --pick attaches it with a click, nothing typed.").Line();
}

BOOL CALLBACK ListTopLevel(HWND window, LPARAM context)
{
    Listing& listing = *reinterpret_cast<Listing*>(context);
    WindowTexts texts;
    ReadTexts(window, texts);
    // The Program Manager window cannot be attached to itself.
    if (window == listing.desktop)
        return TRUE;
    const bool own = listing.copies.Owns(window);
    const bool console = window == listing.console;
    const bool hidden = !IsWindowVisible(window);
    const bool untitled = texts.titleLength == 0;
    if (!listing.all && (own || console || hidden || untitled)) {
        listing.own += own;
        listing.hidden += !own && !console && hidden;
        listing.untitled += !own && !console && !hidden && untitled;
        return TRUE;
    }
    Output& out = listing.out;
    PrintTexts(out, texts);
    if (own)
        out.Text("  Tarnvale's own window").Line();
    if (console)
        out.Text("  this console").Line();
    if (hidden)
        out.Text("  hidden").Line();
    if (const std::wstring_view typed = ChooseText(listing.windows, window, texts, Passing::Typed);
        !typed.empty())
        PrintCommand(out, L"tarnvale.exe", typed);
    else if (const std::wstring_view passed =
                 ChooseText(listing.windows, window, texts, Passing::Direct);
             !passed.empty())
        SayWhyNotTyped(out, texts, passed);
    else
        out.Text("  tarnvale.exe cannot be given this window: ")
            .Text(WhyNoText(listing.windows, texts)).Text(".").Line();
    out.Line();
    ++listing.listed;
    return TRUE;
}

// Attached windows are not top-level: tarnvale.exe cannot find them, --release can.
unsigned ListAttached(Listing& listing)
{
    const HWND desktop = listing.desktop;
    if (!desktop)
        return 0;
    Output& out = listing.out;
    unsigned count = 0;
    for (HWND child = FindWindowExW(desktop, nullptr, nullptr, nullptr); child;
         child = FindWindowExW(desktop, child, nullptr, nullptr)) {
        if (!IsAttached(desktop, child))
            continue;
        if (count++ == 0)
            out.Text("Attached to the desktop:").Line().Line();
        WindowTexts texts;
        ReadTexts(child, texts);
        PrintTexts(out, texts);
        if (listing.copies.count > 0)
            out.Text("  held by a running Tarnvale: its icon's \"Exit\" gives it back. If it was")
                .Line()
                .Text("  left by a Tarnvale that was ended, this gives it back:").Line();
        else
            out.Text("  left attached by a Tarnvale that was ended; this gives it back:").Line();
        if (const std::wstring_view text = ChooseAttachedText(desktop, child, texts); !text.empty())
            PrintCommand(out, L"tarnvale-list.exe --release", text);
        else
            out.Text("  (no command line: no text that can be typed names it alone)").Line();
        out.Line();
    }
    return count;
}

// The texts kept at every sign-in, each with the command that stops it.
void ListKept(Output& out)
{
    unsigned count = 0;
    ForEachShortcut([&](const KeptShortcut& kept) {
        if (count++ == 0)
            out.Text("Kept at every sign-in (shortcuts in the Startup folder):").Line().Line();
        PrintKept(out, kept);
    });
}

}  // namespace

int ListWindows(Output& out, bool all)
{
    out.Text("Windows that tarnvale.exe can be given, the top one first. Class name and").Line()
        .Text("title are shown in [ ]: quotes and blanks inside are part of them; \\\\ and \\]")
        .Line()
        .Text("stand for \\ and ], and \\u{...} for a character that cannot be shown or").Line()
        .Text("typed. Under each is the command line that attaches it, to be run in a").Line()
        .Text("Command Prompt exactly as it stands. A text with characters that cmd reads").Line()
        .Text("as its own (& | < > ^ % ! ( ) , ; =) gets no command line; such a window is").Line()
        .Text("attached with a click by tarnvale-list --pick.").Line().Line();
    Listing listing{out, all, {}};
    EnumWindows(ListTopLevel, reinterpret_cast<LPARAM>(&listing));
    if (listing.listed == 0)
        out.Text("(none)").Line().Line();
    const unsigned attached = ListAttached(listing);
    ListKept(out);
    if (listing.hidden + listing.untitled + listing.own > 0) {
        out.Text("Left out: ").Number(listing.hidden).Text(" hidden, ")
            .Number(listing.untitled).Text(" without a title, ").Number(listing.own)
            .Text(" of Tarnvale (tarnvale-list --all lists them too).").Line();
    }
    return listing.listed + attached > 0 ? kDone : kNothingFound;
}

}  // namespace tarnvale::lister
