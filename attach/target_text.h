#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

#include "platform/window_system.h"

namespace tarnvale {

// The command-line text that names the target, kept in a buffer of its own: room for
// any text a lookup takes, and no heap that could run out.
class TargetText {
public:
    static constexpr std::size_t kCapacity = kMaxLookupTextLength;

    // Keeps `text`; false, keeping nothing, when it is longer than kCapacity.
    bool Assign(std::wstring_view text)
    {
        if (text.size() > kCapacity) {
            length_ = 0;
            return false;
        }
        std::copy(text.begin(), text.end(), units_.begin());
        length_ = text.size();
        return true;
    }

    std::wstring_view view() const { return {units_.data(), length_}; }

private:
    std::array<wchar_t, kCapacity> units_{};
    std::size_t length_ = 0;
};

}  // namespace tarnvale
