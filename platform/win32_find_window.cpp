#include "platform/win32_find_window.h"

#include "platform/win32_handles.h"
#include "platform/win32_heap_buffer.h"

namespace tarnvale {

namespace {

// The ANSI form of a text, made for one call in memory of the process heap, sized to the
// text: a command line's worth of UTF-8 would be most of 100 KiB on the stack.
class AnsiText {
public:
    // Converts `text`; ok() is false when it has no faithful ANSI form, is longer than a
    // lookup takes, or memory ran out.
    explicit AnsiText(std::wstring_view text)
        : size_(text.size() <= kMaxLookupTextLength ? Convert(text, nullptr, 0) : 0),
          heap_(static_cast<std::size_t>(size_) + 1)
    {
        if (text.empty()) {
            ok_ = true;
            return;
        }
        if (size_ <= 0 || !heap_ || Convert(text, heap_.data(), size_) != size_)
            return;
        heap_.data()[size_] = '\0';
        ok_ = true;
    }

    bool ok() const { return ok_; }
    const char* c_str() const { return heap_ && size_ > 0 ? heap_.data() : ""; }

private:
    // The size of the ANSI form, or 0 when a character has none (or would be a best fit).
    static int Convert(std::wstring_view text, char* out, int outSize)
    {
        if (text.empty())
            return 0;
        const bool utf8 = GetACP() == CP_UTF8;  // lossless, and refuses the lossy-check flags
        BOOL lossy = FALSE;
        const int size = WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, text.data(),
                                             static_cast<int>(text.size()), out, outSize,
                                             nullptr, utf8 ? nullptr : &lossy);
        return lossy ? 0 : size;
    }

    int size_;
    HeapBuffer<char> heap_;
    bool ok_ = false;
};

}  // namespace

bool CanBeLookedUp(std::wstring_view text)
{
    return AnsiText(text).ok();
}

namespace {

bool IsOwnWindow(HWND window)
{
    DWORD owner = 0;
    return GetWindowThreadProcessId(window, &owner) != 0 && owner == GetCurrentProcessId();
}

}  // namespace

WindowHandle FindOthersWindowByAnsiText(std::optional<std::wstring_view> className,
                                        std::optional<std::wstring_view> title)
{
    const AnsiText ansiClass(className.value_or(std::wstring_view{}));
    const AnsiText ansiTitle(title.value_or(std::wstring_view{}));
    if (!ansiClass.ok() || !ansiTitle.ok())
        return 0;
    const char* const classZ = className ? ansiClass.c_str() : nullptr;
    const char* const titleZ = title ? ansiTitle.c_str() : nullptr;
    // FindWindowA stops at the first match, which may be ours: walk on past our windows.
    // Another of our threads may end meanwhile, and its windows with it (under Wine each
    // thread that calls user32 has a hidden one): from a gone window the walk starts over.
    constexpr int kMostStartsOver = 8;
    HWND found = nullptr;
    for (int startsOver = 0;;) {
        HWND next = ::FindWindowExA(nullptr, found, classZ, titleZ);
        if (!next && found && !::IsWindow(found) && ++startsOver <= kMostStartsOver) {
            found = nullptr;
            continue;
        }
        found = next;
        if (!found || !IsOwnWindow(found))
            break;
    }
    return ToHandle(found);
}

}  // namespace tarnvale
