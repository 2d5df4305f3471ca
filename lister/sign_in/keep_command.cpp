#include "attach/desktop.h"
#include "lister/commands.h"
#include "lister/sign_in/keeping.h"
#include "lister/windows/desktop_windows.h"
#include "lister/windows/print_window.h"
#include "platform/win32_handles.h"
#include "platform/win32_window_lookup.h"

namespace tarnvale::lister {

int KeepTextAtSignIn(Output& out, std::wstring_view text)
{
    Win32WindowLookup windows;
    // Attached by a running Tarnvale, it is no longer top-level.
    HWND window = ToHwnd(FindTargetWindow(windows, text));
    if (!window)
        window = FindAttachedWindow(FindDesktopWindow(), text);
    WindowTexts texts;
    if (!window) {
        out.Text("No window has the class name or title ").Bracketed(text).Text(".").Line();
        // One that has it, but that tarnvale.exe cannot find by it.
        const HWND named = FindNamedWindow(text);
        if (named) {
            out.Text("This one has it, but no text names it for tarnvale.exe:").Line();
            ReadTexts(named, texts);
            PrintTexts(out, texts);
            out.Text("  ").Text(WhyNoText(windows, texts)).Text(".").Line();
        }
        out.Text("Nothing was kept.").Line();
        return named ? kNotKept : kNothingFound;
    }
    ReadTexts(window, texts);
    PrintTexts(out, texts);
    WindowProgram program;
    ReadWindowProgram(window, program);
    return KeepAtSignIn(out, text, texts.titleCut ? std::wstring_view{} : texts.Title(), window,
                        program);
}

}  // namespace tarnvale::lister
