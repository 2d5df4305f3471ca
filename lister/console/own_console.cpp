#include "lister/console/own_console.h"

namespace tarnvale::lister {

bool HasAConsoleOfItsOwn(const Output& out)
{
    DWORD processes[2];
    return out.ToConsole() && GetConsoleProcessList(processes, 2) == 1;
}

void WaitForKey()
{
    // The console itself, whatever the standard input was made.
    const HANDLE input = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                     0, nullptr);
    if (input == INVALID_HANDLE_VALUE)
        return;
    FlushConsoleInputBuffer(input);
    INPUT_RECORD record{};
    DWORD read = 0;
    while (ReadConsoleInputW(input, &record, 1, &read) && read == 1) {
        if (record.EventType != KEY_EVENT || !record.Event.KeyEvent.bKeyDown)
            continue;
        const WORD key = record.Event.KeyEvent.wVirtualKeyCode;
        if (key != VK_SHIFT && key != VK_CONTROL && key != VK_MENU)
            break;
    }
    CloseHandle(input);
}

}  // namespace tarnvale::lister
