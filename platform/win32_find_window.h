#pragma once

// FindWindowA as tarnvale.exe asks it, shared with the lister so that a text the lister
// offers is one tarnvale.exe finds.
#include <optional>
#include <string_view>

#include "platform/window_system.h"

namespace tarnvale {

// The first top-level window of another process whose class name and title match the
// texts given (std::nullopt passes NULL), each made ANSI for this call alone; 0 if none.
// Finds nothing for a text that CanBeLookedUp refuses.
WindowHandle FindOthersWindowByAnsiText(std::optional<std::wstring_view> className,
                                        std::optional<std::wstring_view> title);

// Whether a lookup can find anything by `text`: false for a text with a character that has
// no ANSI form (a text with '?' for what was lost could only ever match a window it does
// not name), or longer than kMaxLookupTextLength.
bool CanBeLookedUp(std::wstring_view text);

}  // namespace tarnvale
