#pragma once

// A yes-or-no question, answered on the standard input: typed in the console, or given by
// a script through a pipe or a file.
#include <string_view>

#include "lister/console/output.h"

namespace tarnvale::lister {

// Asks `question` with " (y/N) " after it; yes for an answer that starts with y. No input,
// its end, a console without a window, or a pipe that brings nothing within a few seconds
// is no: a script that gives no answer does not hang on it.
bool AskYesNo(Output& out, std::string_view question);

}  // namespace tarnvale::lister
