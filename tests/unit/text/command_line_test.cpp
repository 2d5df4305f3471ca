#include "text/command_line.h"

#include <gtest/gtest.h>

namespace tarnvale {
namespace {

TEST(TargetTextView, SkipsTheProgramNameAndTheSpacesAfterIt)
{
    EXPECT_EQ(TargetTextView(L"tarnvale.exe Notepad"), L"Notepad");
    EXPECT_EQ(TargetTextView(L"tarnvale.exe    Notepad"), L"Notepad");
    EXPECT_EQ(TargetTextView(L"C:\\bin\\tarnvale.exe Untitled - Notepad"),
              L"Untitled - Notepad");
}

TEST(TargetTextView, QuotedProgramNameMayHoldSpaces)
{
    EXPECT_EQ(TargetTextView(L"\"C:\\Program Files\\Tarnvale\\tarnvale.exe\" Foo"),
              L"Foo");
    // No space after the closing quote is still the end of the name.
    EXPECT_EQ(TargetTextView(L"\"C:\\my tools\\tarnvale.exe\"Foo"), L"Foo");
    // An unclosed quote swallows the line: nothing is left to name a window.
    EXPECT_EQ(TargetTextView(L"\"C:\\my tools\\tarnvale.exe Foo"), L"");
}

TEST(TargetTextView, KeepsTheRestWhole)
{
    EXPECT_EQ(TargetTextView(L"tarnvale.exe Foo  "), L"Foo  ");
    EXPECT_EQ(TargetTextView(L"tarnvale.exe \"My Window\""), L"\"My Window\"");
    EXPECT_EQ(TargetTextView(L"tarnvale.exe a \"b\" %PATH%\tc"), L"a \"b\" %PATH%\tc");
}

TEST(TargetTextView, TabsAfterTheNameAreText)
{
    EXPECT_EQ(TargetTextView(L"tarnvale.exe \t\t"), L"\t\t");
    EXPECT_EQ(TargetTextView(L"tarnvale.exe\tFoo"), L"\tFoo");
}

TEST(TargetTextView, EmptyRest)
{
    EXPECT_EQ(TargetTextView(L""), L"");
    EXPECT_EQ(TargetTextView(L"tarnvale.exe"), L"");
    EXPECT_EQ(TargetTextView(L"tarnvale.exe   "), L"");
    EXPECT_EQ(TargetTextView(L"\"C:\\a b\\tarnvale.exe\""), L"");
}

TEST(IsBlank, OnlySpacesAreBlank)
{
    EXPECT_TRUE(IsBlank(L""));
    EXPECT_TRUE(IsBlank(L"    "));
    EXPECT_FALSE(IsBlank(L"\t"));
    EXPECT_FALSE(IsBlank(L"  x  "));
}

}  // namespace
}  // namespace tarnvale
