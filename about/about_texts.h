#pragma once

// What the About window says. ASCII only: the labels' fonts use the ANSI character set.
#include <string_view>

#include "version.h"

namespace tarnvale::about {

inline constexpr std::wstring_view kCaption = L"About Tarnvale...";
inline constexpr std::wstring_view kTitleText = L"Tarnvale " TARNVALE_VERSION_SHORT_TEXT;
inline constexpr std::wstring_view kNoticeText = L"Copyright (C) 2026 Tarnvale contributors";
inline constexpr std::wstring_view kQuoteText = L"A rolling stone gathers no moss.";
inline constexpr std::wstring_view kAttributionText = L"- Old proverb";
inline constexpr std::wstring_view kDismissText = L"Dismiss";

}  // namespace tarnvale::about
