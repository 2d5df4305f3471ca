#include "lister/console/output.h"

#include "lister/console/text_rules.h"
#include "text/code_point.h"

namespace tarnvale::lister {

Output::Output(DWORD which) : handle_(GetStdHandle(which))
{
    DWORD mode = 0;
    console_ = handle_ && handle_ != INVALID_HANDLE_VALUE && GetConsoleMode(handle_, &mode);
}

Output::Output() : handle_(nullptr), console_(false), memory_(true) {}

Output& Output::Text(std::wstring_view text)
{
    for (const wchar_t c : text) {
        if (memory_ && size_ + 1 == kBufferSize)
            break;  // room for the NUL
        if (size_ == kBufferSize)
            Flush();
        buffer_[size_++] = c;
    }
    return *this;
}

Output& Output::Text(std::string_view ascii)
{
    for (const char c : ascii) {
        const wchar_t wide = static_cast<unsigned char>(c);
        Text(std::wstring_view(&wide, 1));
    }
    return *this;
}

Output& Output::Bracketed(std::wstring_view text)
{
    Text(L"[");
    while (!text.empty()) {
        const ShownCharacter shown = ShowCharacter(text);
        Text({shown.text, shown.length});
        text.remove_prefix(shown.used);
    }
    return Text(L"]");
}

Output& Output::Unbracketed(std::wstring_view text)
{
    while (!text.empty()) {
        const ShownCharacter shown = ShowCharacter(text);
        if (shown.hidden)
            Text({shown.text, shown.length});
        else
            Text({text.data(), shown.used});
        text.remove_prefix(shown.used);
    }
    return *this;
}

Output& Output::Number(unsigned number)
{
    wchar_t digits[10];
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<wchar_t>(L'0' + number % 10);
        number /= 10;
    } while (number != 0);
    while (count > 0)
        Text(std::wstring_view(&digits[--count], 1));
    return *this;
}

Output& Output::Hex(unsigned number)
{
    wchar_t digits[11] = {L'0', L'x'};
    for (int i = 0; i < 8; ++i)
        digits[2 + i] = L"0123456789ABCDEF"[(number >> (28 - 4 * i)) & 0xF];
    return Text({digits, 10});
}

Output& Output::Line()
{
    Text(L"\r\n");
    Flush();
    return *this;
}

const wchar_t* Output::Buffered()
{
    if (size_ == kBufferSize)
        --size_;
    buffer_[size_] = L'\0';
    return buffer_;
}

void Output::Flush()
{
    if (memory_)
        return;
    if (size_ == 0 || !handle_ || handle_ == INVALID_HANDLE_VALUE) {
        size_ = 0;
        return;
    }
    // A pair split by a full buffer waits for its second half.
    std::size_t count = size_;
    if (IsHighSurrogate(buffer_[count - 1]) && count > 1)
        --count;
    DWORD written = 0;
    if (console_) {
        WriteConsoleW(handle_, buffer_, static_cast<DWORD>(count), &written, nullptr);
    } else {
        char utf8[kBufferSize * 3];
        const int bytes = WideCharToMultiByte(CP_UTF8, 0, buffer_, static_cast<int>(count), utf8,
                                              sizeof utf8, nullptr, nullptr);
        if (bytes > 0)
            WriteFile(handle_, utf8, static_cast<DWORD>(bytes), &written, nullptr);
    }
    for (std::size_t i = count; i < size_; ++i)
        buffer_[i - count] = buffer_[i];
    size_ -= count;
}

void PrintCommand(Output& out, std::wstring_view program, std::wstring_view text)
{
    out.Text(program).Text(" ").Text(text).Line();
    if (const std::size_t blanks = TrailingBlanks(text); blanks > 0) {
        out.Text("  (the line above ends in ").Number(static_cast<unsigned>(blanks))
            .Text(blanks == 1 ? " blank" : " blanks").Text(", part of the text)").Line();
    }
}

}  // namespace tarnvale::lister
