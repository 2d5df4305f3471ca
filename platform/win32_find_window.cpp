#include "platform/win32_find_window.h"

#include "platform/win32_handles.h"

namespace tarnvale {

namespace {

// The ANSI form of a text, made for one call in memory of the process heap, sized to the
// text: a command line's worth of UTF-8 would be most of 100 KiB on the stack.
class AnsiText {
public:
    // Converts `text`; ok() is false when it has no faithful ANSI form, is longer than a
    // lookup takes, or memory ran out.
    explicit AnsiText(std::wstring_view text)
    {
        if (text.empty()) {
            ok_ = true;
            return;
        }
        if (text.size() > kMaxLookupTextLength)
            return;
        const int units = static_cast<int>(text.size());
        const int size = Convert(text.data(), units, nullptr, 0);
        if (size <= 0)
            return;
        heap_ = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(size) + 1));
        if (!heap_ || Convert(text.data(), units, heap_, size) != size)
            return;
        heap_[size] = '\0';
        ok_ = true;
    }
    ~AnsiText()
    {
        if (heap_)
            HeapFree(GetProcessHeap(), 0, heap_);
    }
    AnsiText(const AnsiText&) = delete;
    AnsiText& operator=(const AnsiText&) = delete;

    bool ok() const { return ok_; }
    const char* c_str() const { return heap_ ? heap_ : ""; }

private:
    // The size of the ANSI form, or 0 when a character has none (or would be a best fit).
    static int Convert(const wchar_t* text, int units, char* out, int outSize)
    {
        const bool utf8 = GetACP() == CP_UTF8;  // lossless, and refuses the lossy-check flags
        BOOL lossy = FALSE;
        const int size = WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, text,
                                             units, out, outSize, nullptr,
                                             utf8 ? nullptr : &lossy);
        return lossy ? 0 : size;
    }

    char* heap_ = nullptr;
    bool ok_ = false;
};

}  // namespace

bool CanBeLookedUp(std::wstring_view text)
{
    return AnsiText(text).ok();
}

WindowHandle FindWindowByAnsiText(std::optional<std::wstring_view> className,
                                  std::optional<std::wstring_view> title)
{
    const AnsiText ansiClass(className.value_or(std::wstring_view{}));
    const AnsiText ansiTitle(title.value_or(std::wstring_view{}));
    if (!ansiClass.ok() || !ansiTitle.ok())
        return 0;
    return ToHandle(::FindWindowA(className ? ansiClass.c_str() : nullptr,
                                  title ? ansiTitle.c_str() : nullptr));
}

}  // namespace tarnvale
