#include "app/command_line.h"

#include <gtest/gtest.h>

namespace tarnvale {
namespace {

TEST(TargetTextFromCommandLine, SkipsTheProgramNameAndTheSpacesAfterIt)
{
    EXPECT_EQ(TargetTextFromCommandLine(L"tarnvale.exe Notepad"), L"Notepad");
    EXPECT_EQ(TargetTextFromCommandLine(L"tarnvale.exe    Notepad"), L"Notepad");
    EXPECT_EQ(TargetTextFromCommandLine(L"C:\\bin\\tarnvale.exe Untitled - Notepad"),
              L"Untitled - Notepad");
}

TEST(TargetTextFromCommandLine, QuotedProgramNameMayHoldSpaces)
{
    EXPECT_EQ(TargetTextFromCommandLine(L"\"C:\\Program Files\\Tarnvale\\tarnvale.exe\" Foo"),
              L"Foo");
    // No space after the closing quote is still the end of the name.
    EXPECT_EQ(TargetTextFromCommandLine(L"\"C:\\my tools\\tarnvale.exe\"Foo"), L"Foo");
    // An unclosed quote swallows the line: nothing is left to name a window.
    EXPECT_EQ(TargetTextFromCommandLine(L"\"C:\\my tools\\tarnvale.exe Foo"), L"");
}

TEST(TargetTextFromCommandLine, KeepsTheRestWhole)
{
    EXPECT_EQ(TargetTextFromCommandLine(L"tarnvale.exe Foo  "), L"Foo  ");
    EXPECT_EQ(TargetTextFromCommandLine(L"tarnvale.exe \"My Window\""), L"\"My Window\"");
    EXPECT_EQ(TargetTextFromCommandLine(L"tarnvale.exe a \"b\" %PATH%\tc"), L"a \"b\" %PATH%\tc");
}

TEST(TargetTextFromCommandLine, TabsAfterTheNameAreText)
{
    EXPECT_EQ(TargetTextFromCommandLine(L"tarnvale.exe \t\t"), L"\t\t");
    EXPECT_EQ(TargetTextFromCommandLine(L"tarnvale.exe\tFoo"), L"\tFoo");
}

TEST(TargetTextFromCommandLine, EmptyRest)
{
    EXPECT_EQ(TargetTextFromCommandLine(L""), L"");
    EXPECT_EQ(TargetTextFromCommandLine(L"tarnvale.exe"), L"");
    EXPECT_EQ(TargetTextFromCommandLine(L"tarnvale.exe   "), L"");
    EXPECT_EQ(TargetTextFromCommandLine(L"\"C:\\a b\\tarnvale.exe\""), L"");
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
