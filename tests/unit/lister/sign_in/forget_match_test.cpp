#include "lister/sign_in/forget_match.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnvale::lister {
namespace {

TEST(NamedAfterTitle, TakesTheTitleAndTheCopiesNamedAfterIt)
{
    const std::wstring_view title = L"Untitled - Notepad";
    EXPECT_TRUE(NamedAfterTitle(L"Tarnvale - Untitled - Notepad", title));
    EXPECT_TRUE(NamedAfterTitle(L"Tarnvale - Untitled - Notepad (2)", title));
    EXPECT_TRUE(NamedAfterTitle(L"Tarnvale - Untitled - Notepad (12)", title));
    // Never written by NameShortcut, or another title's name.
    for (const wchar_t* name :
         {L"Tarnvale - Untitled - Notepad (1)", L"Tarnvale - Untitled - Notepad (02)",
          L"Tarnvale - Untitled - Notepad (x)", L"Tarnvale - Untitled - Notepad ()",
          L"Tarnvale - Untitled - Notepad(2)", L"Tarnvale - Untitled - Notepad (9999999999)",
          L"Tarnvale - Untitled", L"Tarnvale - untitled - notepad", L"Untitled - Notepad",
          L"Tarnvale - Untitled - Notepad - Copy"})
        EXPECT_FALSE(NamedAfterTitle(name, title)) << std::wstring(name).size();
    EXPECT_FALSE(NamedAfterTitle(L"Tarnvale - Untitled - Notepad", L"Untitled"));
}

TEST(NamedAfterTitle, TakesTheTitleAsNameShortcutChangedIt)
{
    // What a file name cannot hold, and what Windows drops at the end of one.
    EXPECT_TRUE(NamedAfterTitle(L"Tarnvale - a_ b_c _d_", L"a: b/c \"d\""));
    EXPECT_TRUE(NamedAfterTitle(L"Tarnvale - Notes", L"Notes. "));
    // Cut to 64 units: the whole title finds it, as does any title that begins so.
    const std::wstring title = std::wstring(64, L'x') + L" and more";
    const std::wstring name = L"Tarnvale - " + std::wstring(64, L'x');
    EXPECT_TRUE(NamedAfterTitle(name, title));
    EXPECT_TRUE(NamedAfterTitle(name + L" (3)", title));
    EXPECT_FALSE(NamedAfterTitle(name, std::wstring(63, L'x')));
}

TEST(NamedAfterTitle, ATitleEndingInACopyNumberAlsoNamesTheCopyOfAShorterTitle)
{
    // Why --forget refuses a title that names more than one shortcut: both hold here.
    EXPECT_TRUE(NamedAfterTitle(L"Tarnvale - Report (2)", L"Report (2)"));
    EXPECT_TRUE(NamedAfterTitle(L"Tarnvale - Report (2)", L"Report"));
    EXPECT_FALSE(NamedAfterTitle(L"Tarnvale - Report", L"Report (2)"));
}

}  // namespace
}  // namespace tarnvale::lister
