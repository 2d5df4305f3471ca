#include "lister/windows/await_window.h"

#include "attach/desktop.h"

namespace tarnvale::lister {

namespace {

// Two lookups ten times a second: next to nothing.
constexpr ULONGLONG kLookEveryMs = 100;

}  // namespace

WindowHandle AwaitWindow(WindowLookup& windows, std::wstring_view text, ULONGLONG ms)
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

}  // namespace tarnvale::lister
