#pragma once

// A console that is the lister's alone, as when it is started by a double click: it
// closes as soon as the program ends, so what it showed must wait for a key.
#include "lister/console/output.h"

namespace tarnvale::lister {

// No other process shares the console, and `out` writes to it.
bool HasAConsoleOfItsOwn(const Output& out);

// Waits for a key pressed in the console, keys pressed before left aside.
void WaitForKey();

}  // namespace tarnvale::lister
