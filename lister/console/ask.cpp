#include "lister/console/ask.h"

namespace tarnvale::lister {

namespace {

constexpr ULONGLONG kPipeWaitMs = 5000;
constexpr DWORD kPollMs = 50;
constexpr DWORD kLineRoom = 64;

enum class Answer { None, Yes, No };

Answer FromFirst(wchar_t first)
{
    return first == L'y' || first == L'Y' ? Answer::Yes : Answer::No;
}

// The console's line editing, echo included, until Enter; the rest of a long line too.
Answer ReadConsoleLine(HANDLE input)
{
    wchar_t line[kLineRoom];
    wchar_t first = 0;
    DWORD read = 0;
    while (ReadConsoleW(input, line, kLineRoom, &read, nullptr) && read > 0) {
        for (DWORD i = 0; i < read && first == 0; ++i)
            if (line[i] != L' ' && line[i] != L'\t' && line[i] != L'\r' && line[i] != L'\n')
                first = line[i];
        if (line[read - 1] == L'\n')
            return FromFirst(first);
    }
    return Answer::None;
}

// Byte by byte up to the end of the line: y is y in every code page. A pipe is read only
// as far as it has something to read, for a few seconds at most.
Answer ReadStreamLine(HANDLE input)
{
    const bool pipe = GetFileType(input) == FILE_TYPE_PIPE;
    const ULONGLONG deadline = GetTickCount64() + kPipeWaitMs;
    char first = 0;
    for (;;) {
        DWORD available = 0;
        if (pipe) {
            if (!PeekNamedPipe(input, nullptr, 0, nullptr, &available, nullptr))
                break;  // its writer is gone: the end of the input
            if (available == 0) {
                if (GetTickCount64() >= deadline)
                    break;
                Sleep(kPollMs);
                continue;
            }
        }
        char c = 0;
        DWORD read = 0;
        if (!ReadFile(input, &c, 1, &read, nullptr) || read == 0)
            break;
        if (c == '\n')
            return FromFirst(static_cast<wchar_t>(first));
        if (first == 0 && c != ' ' && c != '\t' && c != '\r')
            first = c;
    }
    return first != 0 ? FromFirst(static_cast<wchar_t>(first)) : Answer::None;
}

}  // namespace

bool AskYesNo(Output& out, std::string_view question)
{
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    const bool console = input && input != INVALID_HANDLE_VALUE && GetConsoleMode(input, &mode);
    // Keys pressed before the question are no answer to it.
    if (console)
        FlushConsoleInputBuffer(input);
    out.Text(question).Text(" (y/N) ");
    out.Flush();
    Answer answer = Answer::None;
    // A console made without a window (CREATE_NO_WINDOW, as a script's runner may start
    // us) has nobody in front of it to answer.
    if (console) {
        if (GetConsoleWindow())
            answer = ReadConsoleLine(input);
    } else if (input && input != INVALID_HANDLE_VALUE) {
        answer = ReadStreamLine(input);
    }
    // What the console did not echo.
    if (!console || !out.ToConsole())
        out.Text(answer == Answer::Yes ? L"y" : answer == Answer::No ? L"n" : L"(no answer: no)")
            .Line();
    return answer == Answer::Yes;
}

}  // namespace tarnvale::lister
