#include "lister/lookup_window_system.h"

namespace tarnvale::lister {

namespace {

// Room for the longest text the lister lists in any ANSI code page, UTF-8 included.
constexpr int kAnsiBufferSize = 4 * 1024 + 1;

struct AnsiText {
    char text[kAnsiBufferSize];
};

// The ANSI form of `text` as tarnvale.exe makes it; false when some character has none
// (tarnvale.exe then finds nothing) or it does not fit.
bool ToAnsi(std::wstring_view text, AnsiText& out)
{
    out.text[0] = '\0';
    if (text.empty())
        return true;
    const bool utf8 = GetACP() == CP_UTF8;  // lossless, and refuses the lossy-check flags
    BOOL lossy = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, text.data(),
                                         static_cast<int>(text.size()), out.text,
                                         kAnsiBufferSize - 1, nullptr, utf8 ? nullptr : &lossy);
    if (size <= 0 || lossy)
        return false;
    out.text[size] = '\0';
    return true;
}

}  // namespace

WindowHandle LookupWindowSystem::FindWindowA(std::optional<std::wstring_view> className,
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

void LookupWindowSystem::SetParent(WindowHandle child, WindowHandle newParent, AnswerWait)
{
    ::SetParent(ToHwnd(child), ToHwnd(newParent));
}

std::int32_t LookupWindowSystem::IsWindow(WindowHandle window)
{
    return ::IsWindow(ToHwnd(window));
}

std::int32_t LookupWindowSystem::GetWindowLongA(WindowHandle window, WindowLong index)
{
    return ReadWindowLong(ToHwnd(window), index);
}

WindowHandle LookupWindowSystem::GetForegroundWindow()
{
    return ToHandle(::GetForegroundWindow());
}

}  // namespace tarnvale::lister
