#pragma once

// The command lines the user's guide shows, read from it as they stand, and run as a user
// runs them: typed in a Command Prompt open on the programs' folder.
#include <windows.h>

#include <string>
#include <vector>

#include "captured_process.h"

namespace e2e {

// The guide's indented lines that start with `command`, in order, their indent taken off.
std::vector<std::string> UsersGuideLinesStartingWith(const std::string& command);
// The first of them; empty when there is none.
std::string UsersGuideLine(const std::string& command);

// Starts `line` through cmd, its output captured.
CapturedProcess StartInCmd(const std::string& line);
// The same, waited for: cmd's exit code, or 98 when it did not end in time.
DWORD RunInCmd(const std::string& line);

// The processes of this session whose program has this file name.
std::vector<DWORD> ProcessesNamed(const std::wstring& name);

}  // namespace e2e
