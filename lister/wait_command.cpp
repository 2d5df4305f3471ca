#include "attach/desktop.h"
#include "lister/commands.h"
#include "lister/desktop_windows.h"
#include "lister/lookup_window_system.h"
#include "platform/win32_find_window.h"

namespace tarnvale::lister {

namespace {

// Two lookups ten times a second: next to nothing.
constexpr ULONGLONG kLookEveryMs = 100;

// The first character of `text` that the lookup refuses on its own: one unit, or a
// surrogate pair.
std::wstring_view FirstRefusedCharacter(std::wstring_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const bool pair = text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() &&
                          text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
        const std::wstring_view character = text.substr(i, pair ? 2 : 1);
        if (!CanBeLookedUp(character))
            return character;
        i += character.size();
    }
    return {};
}

void PrintCodePoint(Output& out, std::wstring_view character)
{
    unsigned point = character[0];
    if (character.size() == 2)
        point = 0x10000 + ((point - 0xD800) << 10) + (character[1] - 0xDC00u);
    wchar_t digits[8];
    std::size_t count = 0;
    do {
        digits[count++] = L"0123456789ABCDEF"[point % 16];
        point /= 16;
    } while (point != 0 || count < 4);
    out.Text(L"U+");
    while (count > 0)
        out.Text(std::wstring_view(&digits[--count], 1));
}

// The lookup's own rule: says why no window can ever be found by `text`, and false.
bool CanEverBeFound(std::wstring_view text)
{
    if (CanBeLookedUp(text))
        return true;
    Output errors(STD_ERROR_HANDLE);
    errors.Text(L"tarnvale-list: no window can be found by ").Bracketed(text).Text(L":").Line();
    const std::wstring_view character = FirstRefusedCharacter(text);
    if (character.empty()) {
        errors.Text(L"tarnvale.exe's lookup refuses this text.").Line();
        return false;
    }
    errors.Text(L"tarnvale.exe looks a window up by the text in this Windows' ANSI code page (")
        .Number(GetACP()).Text(L"),").Line().Text(L"and ");
    PrintCodePoint(errors, character);
    errors.Text(L" ").Bracketed(character).Text(L" has no form in it.").Line();
    return false;
}

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
    // Waiting could never end well: say so now, as for a wrong option.
    if (!CanEverBeFound(text))
        return kWrongOption;
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
