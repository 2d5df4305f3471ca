#include "lister/commands.h"
#include "lister/windows/await_window.h"
#include "lister/windows/print_window.h"
#include "platform/win32_find_window.h"
#include "platform/win32_handles.h"
#include "platform/win32_window_lookup.h"
#include "text/code_point.h"

namespace tarnvale::lister {

namespace {

// The first character of `text` that the lookup refuses on its own: one unit, or a
// surrogate pair.
std::wstring_view FirstRefusedCharacter(std::wstring_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const std::wstring_view rest(text.data() + i, text.size() - i);
        const std::wstring_view character(rest.data(), ReadCodePoint(rest).units);
        if (!CanBeLookedUp(character))
            return character;
        i += character.size();
    }
    return {};
}

void PrintCodePoint(Output& out, std::wstring_view character)
{
    unsigned point = ReadCodePoint(character).value;
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

int WaitForWindow(Output& out, unsigned seconds, std::wstring_view text)
{
    // Waiting could never end well: say so now, as for a wrong option.
    if (!CanEverBeFound(text))
        return kWrongOption;
    out.Text(L"Waiting up to ").Number(seconds).Text(seconds == 1 ? L" second" : L" seconds")
        .Text(L" for a window whose class name or title is ").Bracketed(text).Text(L".").Line();
    Win32WindowLookup windows;
    if (const WindowHandle found = AwaitWindow(windows, text, seconds * 1000ULL); found != 0) {
        out.Text(L"Found: ");
        PrintWindow(out, ToHwnd(found));
        return kDone;
    }
    out.Text(L"None came.").Line();
    return kNothingFound;
}

}  // namespace tarnvale::lister
