#pragma once

// FindWindowA as tarnvale.exe asks it, shared with the lister so that a text the lister
// offers is one tarnvale.exe finds.
#include <optional>
#include <string_view>

#include "platform/window_system.h"

namespace tarnvale {

// The top-level window whose class name and title match the texts given (std::nullopt
// passes NULL), each made ANSI for this call alone. Finds nothing for a text longer than
// kMaxLookupTextLength or with a character that has no ANSI form: such a text cut short,
// or with '?' for what was lost, could only ever match a window it does not name.
WindowHandle FindWindowByAnsiText(std::optional<std::wstring_view> className,
                                  std::optional<std::wstring_view> title);

// Why FindWindowByAnsiText can never find a window by `text`, as a class name or as a
// title, whatever windows are open; None when it can.
enum class LookupRefusal { None, TooLong, NoAnsiForm };
LookupRefusal WhyNoLookup(std::wstring_view text);

}  // namespace tarnvale
