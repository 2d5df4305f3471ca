// Reads another process's console, or presses a key in it: what a person in front of
// that console sees and does. Its own output goes where it was sent, not to a console.
//   console_probe text PID    prints the console's lines that hold text
//   console_probe key PID     presses and releases Enter there
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

void Print(HANDLE out, const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                        size, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

HANDLE OpenConsole(const wchar_t* name)
{
    return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, 0, nullptr);
}

bool PrintText(HANDLE out)
{
    const HANDLE screen = OpenConsole(L"CONOUT$");
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (screen == INVALID_HANDLE_VALUE || !GetConsoleScreenBufferInfo(screen, &info))
        return false;
    std::wstring row(static_cast<std::size_t>(info.dwSize.X), L' ');
    for (SHORT y = 0; y < info.dwSize.Y; ++y) {
        DWORD read = 0;
        ReadConsoleOutputCharacterW(screen, row.data(), info.dwSize.X, COORD{0, y}, &read);
        const std::wstring line = row.substr(0, read);
        if (const std::size_t end = line.find_last_not_of(L' '); end != std::wstring::npos)
            Print(out, line.substr(0, end + 1) + L"\n");
    }
    CloseHandle(screen);
    return true;
}

bool PressEnter()
{
    const HANDLE input = OpenConsole(L"CONIN$");
    if (input == INVALID_HANDLE_VALUE)
        return false;
    INPUT_RECORD keys[2]{};
    for (int i = 0; i < 2; ++i) {
        keys[i].EventType = KEY_EVENT;
        keys[i].Event.KeyEvent.bKeyDown = i == 0;
        keys[i].Event.KeyEvent.wRepeatCount = 1;
        keys[i].Event.KeyEvent.wVirtualKeyCode = VK_RETURN;
        keys[i].Event.KeyEvent.wVirtualScanCode = 0x1C;
        keys[i].Event.KeyEvent.uChar.UnicodeChar = L'\r';
    }
    DWORD written = 0;
    const bool done = WriteConsoleInputW(input, keys, 2, &written) && written == 2;
    CloseHandle(input);
    return done;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (argc != 3)
        return 2;
    const std::wstring action = argv[1];
    const DWORD processId = std::wcstoul(argv[2], nullptr, 10);
    FreeConsole();
    if (!AttachConsole(processId)) {
        Print(out, L"FAILED: cannot attach to the console of process " + std::wstring(argv[2]));
        return 1;
    }
    const bool done = action == L"text" ? PrintText(out) : action == L"key" && PressEnter();
    FreeConsole();
    return done ? 0 : 1;
}
