#pragma once

// Which shortcuts `--forget TEXT` takes by the title they are named after: a user sees the
// shortcut's name, the window's title, more often than the text it keeps (after a pick, the
// class name). Plain functions with no Windows calls.
#include <string_view>

namespace tarnvale::lister {

// Whether a shortcut whose file name, without ".lnk", is `name` was named after the window
// title `title` by NameShortcut: as the first of that name or as a copy, " (N)".
bool NamedAfterTitle(std::wstring_view name, std::wstring_view title);

}  // namespace tarnvale::lister
