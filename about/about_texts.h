#pragma once

// What the About window says. ASCII only: the labels' fonts use the ANSI character set.
// Arrays, NUL-terminated, as the window calls take them.
#include "version.h"

namespace tarnvale::about {

inline constexpr wchar_t kCaption[] = L"About Tarnvale...";
inline constexpr wchar_t kTitleText[] = L"Tarnvale " TARNVALE_VERSION_SHORT_TEXT;
inline constexpr wchar_t kNoticeText[] = L"Copyright (C) 2026 Tarnvale contributors";
inline constexpr wchar_t kQuoteText[] = L"A rolling stone gathers no moss.";
inline constexpr wchar_t kAttributionText[] = L"- Old proverb";
inline constexpr wchar_t kDismissText[] = L"Dismiss";

}  // namespace tarnvale::about
