#include "attach/desktop.h"
#include "lister/commands.h"
#include "lister/desktop_windows.h"
#include "lister/lookup_window_system.h"

namespace tarnvale::lister {

namespace {

// Two lookups ten times a second: next to nothing.
constexpr ULONGLONG kLookEveryMs = 100;

}  // namespace

int WaitForWindow(Output& out, unsigned seconds, std::wstring_view text)
{
    out.Text(L"Waiting up to ").Number(seconds).Text(seconds == 1 ? L" second" : L" seconds")
        .Text(L" for a window whose class name or title is ").Bracketed(text).Text(L".").Line();
    LookupWindowSystem windows;
    const ULONGLONG start = GetTickCount64();
    const ULONGLONG deadline = start + seconds * 1000ULL;
    for (ULONGLONG nextLook = start;;) {
        if (const WindowHandle found = FindTargetWindow(windows, text); found != 0) {
            WindowTexts texts;
            ReadTexts(ToHwnd(found), texts);
            out.Text(L"Found: ");
            PrintTexts(out, texts.Class(), texts.Title(), texts.titleCut);
            return kDone;
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            break;
        // On a fixed beat, so that the time a look takes does not stretch the gaps.
        while (nextLook <= now)
            nextLook += kLookEveryMs;
        Sleep(static_cast<DWORD>((nextLook < deadline ? nextLook : deadline) - now));
    }
    out.Text(L"None came.").Line();
    return kNothingFound;
}

}  // namespace tarnvale::lister
