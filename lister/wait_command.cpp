#include "attach/desktop.h"
#include "lister/commands.h"
#include "lister/desktop_windows.h"
#include "lister/lookup_window_system.h"

namespace tarnvale::lister {

namespace {

// Two lookups ten times a second: next to nothing.
constexpr ULONGLONG kLookEveryMs = 100;

}  // namespace

WindowHandle AwaitWindow(WindowSystem& windows, std::wstring_view text, ULONGLONG ms)
{
    const ULONGLONG start = GetTickCount64();
    const ULONGLONG deadline = start + ms;
    for (ULONGLONG nextLook = start;;) {
        if (const WindowHandle found = FindTargetWindow(windows, text); found != 0)
            return found;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return 0;
        // On a fixed beat, so that the time a look takes does not stretch the gaps.
        while (nextLook <= now)
            nextLook += kLookEveryMs;
        Sleep(static_cast<DWORD>((nextLook < deadline ? nextLook : deadline) - now));
    }
}

int WaitForWindow(Output& out, unsigned seconds, std::wstring_view text)
{
    out.Text(L"Waiting up to ").Number(seconds).Text(seconds == 1 ? L" second" : L" seconds")
        .Text(L" for a window whose class name or title is ").Bracketed(text).Text(L".").Line();
    LookupWindowSystem windows;
    if (const WindowHandle found = AwaitWindow(windows, text, seconds * 1000ULL); found != 0) {
        WindowTexts texts;
        ReadTexts(ToHwnd(found), texts);
        out.Text(L"Found: ");
        PrintTexts(out, texts.Class(), texts.Title(), texts.titleCut);
        return kDone;
    }
    out.Text(L"None came.").Line();
    return kNothingFound;
}

}  // namespace tarnvale::lister
