#pragma once

// The program behind a window, as far as Windows tells it to a program of the same user:
// enough to start it again at sign-in, and whether a Tarnvale may change its windows.
#include <windows.h>

#include <string_view>

#include "lister/programs/rights.h"
#include "platform/window_system.h"
#include "platform/win32_heap_buffer.h"

namespace tarnvale::lister {

struct WindowProgram {
    DWORD processId = 0;
    Rights rights;
    // A packaged app, or a host of other programs' windows (a Store app's window belongs
    // to ApplicationFrameHost.exe): started by its path it would not bring the window back.
    bool hosted = false;
    HeapText path{kMaxCommandLineLength + 1};
    std::size_t pathLength = 0;  // 0: its path could not be read
    HeapText commandLine{kMaxCommandLineLength + 1};
    std::size_t commandLineLength = 0;  // 0: Windows did not give it
    HeapText folder{kMaxCommandLineLength + 1};
    std::size_t folderLength = 0;  // 0: it could not be read
    // The shell's own process, which always runs (an Explorer folder window).
    bool shell = false;

    std::wstring_view Path() { return {path.data(), pathLength}; }
    std::wstring_view CommandLine() { return {commandLine.data(), commandLineLength}; }
    std::wstring_view Folder() { return {folder.data(), folderLength}; }
};

// Reads what Windows gives of the program behind `window`: its path from
// QueryFullProcessImageNameW; its command line where Windows hands it out (8.1 and later),
// else from the process's own block, for a program of the same bitness, as its current
// folder; its token.
void ReadWindowProgram(HWND window, WindowProgram& program);

// The lister's own rights, and those of the shell that owns the desktop window, which
// starts the Startup folder's items at sign-in (unknown when there is none).
Rights ReadOwnRights();
Rights ReadShellRights();

// The processes of this session, other than this one, whose program is `path`: how many
// run with the command line `commandLine`, and how many with another or one unread.
struct ProgramProcesses {
    unsigned withCommandLine = 0;
    unsigned others = 0;
};
ProgramProcesses FindProgramProcesses(std::wstring_view path, std::wstring_view commandLine);

}  // namespace tarnvale::lister
