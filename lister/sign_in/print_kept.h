#pragma once

// A window kept at every sign-in, as the listing and --forget show it.
#include "lister/console/output.h"
#include "lister/sign_in/startup_shortcuts.h"

namespace tarnvale::lister {

// Its text, what it starts, where it puts the window, and the line that stops it: only
// one that cmd passes on unchanged, else where its shortcut is.
void PrintKept(Output& out, const KeptShortcut& kept);
// "at 560,380, 280×190", and ", maximized".
void PrintPlace(Output& out, const WindowPlace& place);

}  // namespace tarnvale::lister
