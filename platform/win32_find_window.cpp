#include "platform/win32_find_window.h"

#include "platform/win32_handles.h"

namespace tarnvale {

namespace {

// The ANSI form of the longest text a lookup takes: UTF-8, the widest ANSI code page,
// takes at most three bytes for a UTF-16 unit.
struct AnsiText {
    char text[kMaxLookupTextLength * 3 + 1];
};

// False when there is no faithful ANSI form to look up.
bool ToAnsi(std::wstring_view text, AnsiText& ansi)
{
    ansi.text[0] = '\0';
    if (text.empty())
        return true;
    if (text.size() > kMaxLookupTextLength)
        return false;
    const bool utf8 = GetACP() == CP_UTF8;  // lossless, and refuses the lossy-check flags
    BOOL lossy = FALSE;
    // Fails rather than fill the buffer when the ANSI form does not fit.
    const int size = WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, text.data(),
                                         static_cast<int>(text.size()), ansi.text,
                                         sizeof ansi.text - 1, nullptr, utf8 ? nullptr : &lossy);
    if (size <= 0 || lossy)
        return false;
    ansi.text[size] = '\0';
    return true;
}

}  // namespace

LookupRefusal WhyNoLookup(std::wstring_view text)
{
    if (text.size() > kMaxLookupTextLength)
        return LookupRefusal::TooLong;
    AnsiText ansi;
    return ToAnsi(text, ansi) ? LookupRefusal::None : LookupRefusal::NoAnsiForm;
}

WindowHandle FindWindowByAnsiText(std::optional<std::wstring_view> className,
                                  std::optional<std::wstring_view> title)
{
    AnsiText ansiClass;
    AnsiText ansiTitle;
    if (className && !ToAnsi(*className, ansiClass))
        return 0;
    if (title && !ToAnsi(*title, ansiTitle))
        return 0;
    return ToHandle(::FindWindowA(className ? ansiClass.text : nullptr,
                                  title ? ansiTitle.text : nullptr));
}

}  // namespace tarnvale
