#pragma once

// Text out to the console, or as UTF-8 when redirected, through a fixed buffer: no
// C++ streams in a program this small.
#include <windows.h>

#include <cstddef>
#include <string_view>

namespace tarnvale::lister {

class Output {
public:
    // `which` is STD_OUTPUT_HANDLE or STD_ERROR_HANDLE.
    explicit Output(DWORD which);
    // Keeps the text, as much as its buffer holds, for a message box.
    Output();
    ~Output() { Flush(); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    // Whether the text goes to a console, rather than to a file or a pipe.
    bool ToConsole() const { return console_; }

    Output& Text(std::wstring_view text);
    // The program's own words, in ASCII: half the bytes of wide ones in the file.
    Output& Text(std::string_view ascii);
    // A window's text between [ and ], shown as ShowCharacter shows it.
    Output& Bracketed(std::wstring_view text);
    // A path or a command line as it is, but for the characters that cannot be shown,
    // which are shown as \u{...}.
    Output& Unbracketed(std::wstring_view text);
    Output& Number(unsigned number);
    Output& Hex(unsigned number);
    // Ends the line with CR LF, as Windows programs read lines.
    Output& Line();
    void Flush();
    // The text an Output made without a handle holds, NUL-terminated.
    const wchar_t* Buffered();

private:
    static constexpr std::size_t kBufferSize = 2048;
    HANDLE handle_;
    bool console_;
    bool memory_ = false;
    wchar_t buffer_[kBufferSize];
    std::size_t size_ = 0;
};

// A command line alone on its line, so that it can be run as it stands, and how many
// blanks end it, which a console drops when a line is copied.
void PrintCommand(Output& out, std::wstring_view program, std::wstring_view text);

}  // namespace tarnvale::lister
