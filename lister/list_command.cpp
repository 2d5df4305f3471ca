#include "attach/desktop.h"
#include "lister/commands.h"
#include "lister/desktop_windows.h"
#include "lister/lookup_window_system.h"

namespace tarnvale::lister {

namespace {

struct Listing {
    Output& out;
    bool all;
    LookupWindowSystem windows;
    RunningCopies copies = FindRunningCopies();
    HWND console = GetConsoleWindow();
    HWND desktop = FindDesktopWindow();
    unsigned listed = 0;
    unsigned hidden = 0;
    unsigned untitled = 0;
    unsigned own = 0;
};

const wchar_t* WhyNot(Typing typing)
{
    switch (typing) {
    case Typing::Blank:
        return L"it has no title";
    case Typing::Untypable:
        return L"its title holds a tab or line break, or is too long";
    case Typing::LeadingBlank:
        return L"its title starts with a blank, which the command line drops";
    case Typing::Fine:
        break;
    }
    return L"";
}

// The text that names `window` for tarnvale.exe: its class name while no other window
// has that class (it stays when the title changes), else its title, else a shared class
// name that finds it for now. Empty, with the reason, when none does.
std::wstring_view ChooseText(Listing& listing, HWND window, const WindowTexts& texts,
                             const wchar_t*& whyNot)
{
    const WindowHandle handle = ToHandle(window);
    const bool classFinds = HowTyped(texts.Class()) == Typing::Fine &&
                            FindTargetWindow(listing.windows, texts.Class()) == handle;
    if (classFinds && ClassIsUnique(nullptr, texts.Class()))
        return texts.Class();
    const Typing typing = texts.titleCut ? Typing::Untypable : HowTyped(texts.Title());
    WindowHandle found = 0;
    if (typing == Typing::Fine) {
        found = FindTargetWindow(listing.windows, texts.Title());
        if (found == handle)
            return texts.Title();
    }
    if (classFinds)
        return texts.Class();
    whyNot = typing != Typing::Fine ? WhyNot(typing)
             : found != 0           ? L"another window of this class or title comes first"
                                    : L"its title has characters outside the ANSI code page";
    return {};
}

// The command line itself, alone on its line so that it can be run as it stands.
void PrintCommand(Output& out, std::wstring_view program, std::wstring_view text)
{
    out.Text(program).Text(L" ").Text(text).Line();
    if (const std::size_t blanks = TrailingBlanks(text); blanks > 0) {
        out.Text(L"  (the line above ends in ").Number(static_cast<unsigned>(blanks))
            .Text(blanks == 1 ? L" blank" : L" blanks").Text(L", part of the text)").Line();
    }
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
    PrintTexts(out, texts.Class(), texts.Title(), texts.titleCut);
    if (own)
        out.Text(L"  Tarnvale's own window").Line();
    if (console)
        out.Text(L"  this console").Line();
    if (hidden)
        out.Text(L"  hidden").Line();
    const wchar_t* whyNot = L"";
    if (const std::wstring_view text = ChooseText(listing, window, texts, whyNot); !text.empty())
        PrintCommand(out, L"tarnvale.exe", text);
    else
        out.Text(L"  tarnvale.exe cannot be given this window: ").Text(whyNot).Line();
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
            out.Text(L"Attached to the desktop:").Line().Line();
        WindowTexts texts;
        ReadTexts(child, texts);
        PrintTexts(out, texts.Class(), texts.Title(), texts.titleCut);
        if (listing.copies.count > 0)
            out.Text(L"  held by a running Tarnvale: its icon's \"Exit\" gives it back. If it was")
                .Line()
                .Text(L"  left by a Tarnvale that was ended, this gives it back:").Line();
        else
            out.Text(L"  left attached by a Tarnvale that was ended; this gives it back:").Line();
        std::wstring_view text;
        if (HowTyped(texts.Class()) == Typing::Fine && ClassIsUnique(desktop, texts.Class()))
            text = texts.Class();
        else if (!texts.titleCut && HowTyped(texts.Title()) == Typing::Fine &&
                 FindAttachedWindow(desktop, texts.Title()) == child)
            text = texts.Title();
        else if (HowTyped(texts.Class()) == Typing::Fine &&
                 FindAttachedWindow(desktop, texts.Class()) == child)
            text = texts.Class();
        if (!text.empty())
            PrintCommand(out, L"tarnvale-list.exe --release", text);
        else
            out.Text(L"  (no text names it alone: another attached window comes first)").Line();
        out.Line();
    }
    return count;
}

}  // namespace

void PrintTexts(Output& out, std::wstring_view className, std::wstring_view title, bool titleCut)
{
    out.Text(L"class ").Bracketed(className).Text(L"  title ").Bracketed(title);
    if (titleCut)
        out.Text(L" (cut short)");
    out.Line();
}

int ListWindows(Output& out, bool all)
{
    out.Text(L"Windows that tarnvale.exe can be given, the top one first. Class name and "
             L"title").Line()
        .Text(L"are shown in [ ]: quotes and blanks inside are part of them. Under each is "
              L"the").Line()
        .Text(L"command line that attaches it, to be run exactly as it stands.").Line().Line();
    Listing listing{out, all, {}};
    EnumWindows(ListTopLevel, reinterpret_cast<LPARAM>(&listing));
    if (listing.listed == 0)
        out.Text(L"(none)").Line().Line();
    const unsigned attached = ListAttached(listing);
    if (listing.hidden + listing.untitled + listing.own > 0) {
        out.Text(L"Left out: ").Number(listing.hidden).Text(L" hidden, ")
            .Number(listing.untitled).Text(L" without a title, ").Number(listing.own)
            .Text(L" of Tarnvale (tarnvale-list --all lists them too).").Line();
    }
    return listing.listed + attached > 0 ? kDone : kNothingFound;
}

}  // namespace tarnvale::lister
