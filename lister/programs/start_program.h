#pragma once

// Starting a program with a command line, through no shell: nothing in the line is read
// as a shell's own, whatever it holds.
#include <windows.h>

#include <string_view>

namespace tarnvale::lister {

// Starts `program` with `commandLine` in `folder` (none: the program's own folder). A
// 32-bit lister on 64-bit Windows starts the very program named, without the file
// system's redirection of System32. False with the error set.
bool StartProgram(std::wstring_view program, std::wstring_view commandLine,
                  std::wstring_view folder, DWORD& processId);

}  // namespace tarnvale::lister
