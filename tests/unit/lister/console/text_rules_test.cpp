#include "lister/console/text_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "utf16_units.h"

#include "text/command_line.h"

namespace tarnvale::lister {
namespace {

std::wstring Shown(std::wstring_view text)
{
    std::wstring shown;
    while (!text.empty()) {
        const ShownCharacter c = ShowCharacter(text);
        shown.append(c.text, c.length);
        text.remove_prefix(c.used);
    }
    return shown;
}

TEST(ShowCharacter, ControlsInvisibleAndDirectionChangingCharactersBecomeEscapes)
{
    EXPECT_EQ(Shown(L"a\tb\r\n"), L"a\\u{9}b\\u{D}\\u{A}");
    EXPECT_EQ(Shown(Units({0x7F, 0x85, 0x9B, 0xA0, 0xAD})),
              L"\\u{7F}\\u{85}\\u{9B}\\u{A0}\\u{AD}");
    // Overrides, embeddings, isolates and marks: each could turn the rest of the line.
    EXPECT_EQ(Shown(Units({0x202E, 'e', 'x', 'e', '.', 't', 'x', 't'})), L"\\u{202E}exe.txt");
    EXPECT_EQ(Shown(Units({0x202A, 0x202D, 0x2066, 0x2069, 0x200E, 0x200F, 0x061C})),
              L"\\u{202A}\\u{202D}\\u{2066}\\u{2069}\\u{200E}\\u{200F}\\u{61C}");
    EXPECT_EQ(Shown(Units({0x2028, 0x2029, 0x200B, 0x200D, 0xFEFF, 0x3000})),
              L"\\u{2028}\\u{2029}\\u{200B}\\u{200D}\\u{FEFF}\\u{3000}");
    EXPECT_EQ(Shown(Units({0})), L"\\u{0}");
}

TEST(ShowCharacter, SurrogatesAreReadInPairsAndShownAloneAsEscapes)
{
    const std::wstring emoji = Units({0xD83D, 0xDE00});
    EXPECT_EQ(Shown(emoji), emoji);
    EXPECT_EQ(ShowCharacter(emoji).used, 2u);
    EXPECT_EQ(Shown(Units({0xD83D, 'a'})), L"\\u{D83D}a");
    EXPECT_EQ(Shown(Units({'a', 0xDE00})), L"a\\u{DE00}");
    EXPECT_EQ(Shown(Units({0xD83D})), L"\\u{D83D}");
    // A tag character spells hidden text; a pair, shown as one escape.
    EXPECT_EQ(Shown(Units({0xDB40, 0xDC41})), L"\\u{E0041}");
    EXPECT_EQ(Shown(Units({0xDBFF, 0xDFFF})), L"\\u{10FFFF}");
}

TEST(ShowCharacter, BracketAndBackslashAreEscapedSoATitleCannotFakeAField)
{
    EXPECT_EQ(Shown(L"x]  title [y"), L"x\\]  title [y");
    EXPECT_EQ(Shown(L"C:\\u{41}"), L"C:\\\\u{41}");
    EXPECT_FALSE(ShowCharacter(L"]").hidden);
}

TEST(ShowCharacter, PrintableTextIsShownAsItIs)
{
    for (const std::wstring& text :
         {std::wstring(L"Untitled - Notepad"), std::wstring(L"\"Quoted\" & 100% (x)"),
          Units({'C', 'a', 'f', 0xE9}), Units({0x65E5, 0x672C, 0x8A9E}),
          Units({0x5D0, 0x5D1})}) {
        EXPECT_EQ(Shown(text), text);
    }
}

TEST(ShowCharacter, WhatItShowsHoldsNoCharacterItWouldEscape)
{
    // Every code unit alone: an escape is plain ASCII, anything else is the unit itself.
    for (unsigned unit = 0; unit <= 0xFFFF; ++unit) {
        const std::wstring text = Units({unit});
        const ShownCharacter shown = ShowCharacter(text);
        ASSERT_EQ(shown.used, 1u);
        if (shown.hidden) {
            for (std::size_t i = 0; i < shown.length; ++i)
                ASSERT_TRUE(shown.text[i] > L' ' && shown.text[i] < 0x7F) << std::hex << unit;
        } else {
            ASSERT_EQ(shown.text[shown.length - 1], static_cast<wchar_t>(unit)) << std::hex << unit;
        }
    }
}

TEST(HowTyped, EveryCharacterCmdReadsAsItsOwnKeepsATextOffTheCommandLine)
{
    for (const wchar_t c : kCmdCharacters) {
        const std::wstring text = std::wstring(L"Tom ") + c + L" Jerry";
        EXPECT_EQ(HowTyped(text), Typing::CmdCharacters) << static_cast<char>(c);
    }
    EXPECT_EQ(HowTyped(L"Tom & Jerry - %PATH% - VLC"), Typing::CmdCharacters);
    EXPECT_EQ(HowTyped(L"x & echo X > file"), Typing::CmdCharacters);
    EXPECT_EQ(HowTyped(L"!PATH!"), Typing::CmdCharacters);
}

TEST(HowTyped, TextsThatCmdPassesOnAsTheyStand)
{
    for (const std::wstring_view text :
         {L"Untitled - Notepad", L"\"Quoted\" title  ", L"user@example.com - Mail",
          L"C:\\Users\\me [x] {y} ~$#*?+:/'`", L"x]  title [y"}) {
        EXPECT_EQ(HowTyped(text), Typing::Fine) << std::string(text.begin(), text.end());
    }
}

TEST(HowTyped, TextsThatCannotBeTyped)
{
    EXPECT_EQ(HowTyped(L""), Typing::Blank);
    EXPECT_EQ(HowTyped(L"   "), Typing::Blank);
    EXPECT_EQ(HowTyped(L" leading"), Typing::LeadingBlank);
    EXPECT_EQ(HowTyped(L"tab\there"), Typing::Hidden);
    EXPECT_EQ(HowTyped(L"\t"), Typing::Hidden);
    EXPECT_EQ(HowTyped(Units({'a', 0x202E, 'b'})), Typing::Hidden);
    EXPECT_EQ(HowTyped(Units({'a', 0xA0, 'b'})), Typing::Hidden);
    // cmd refuses a longer line, while a text passed with no shell may be much longer.
    EXPECT_EQ(HowTyped(std::wstring(kMaxTypedTextLength, L'x')), Typing::Fine);
    EXPECT_EQ(HowTyped(std::wstring(kMaxTypedTextLength + 1, L'x')), Typing::TooLong);
    EXPECT_LT(kMaxTypedTextLength + sizeof "tarnvale-list.exe --release ", 8191u);
}

TEST(HowTyped, AgreesWithTarnvalesReadingOfItsCommandLine)
{
    // What the lister offers must be what tarnvale.exe reads back from the printed line.
    for (const std::wstring_view text :
         {L"Notepad", L" Notepad", L"  two", L"trailing  ", L"\"q\"", L"a  b", L"x"}) {
        const std::wstring line = L"tarnvale.exe " + std::wstring(text);
        const bool readBack = TargetTextView(line) == text;
        EXPECT_EQ(HowTyped(text) == Typing::Fine, readBack) << std::string(text.begin(), text.end());
        EXPECT_EQ(CanBePassed(text), readBack);
    }
}

TEST(CanBePassed, AnyCharacterButLeadingBlanksAndNul)
{
    EXPECT_TRUE(CanBePassed(L"Tom & Jerry - %PATH%"));
    EXPECT_TRUE(CanBePassed(L"tab\there"));
    EXPECT_TRUE(CanBePassed(Units({0x202E, 'a'})));
    EXPECT_FALSE(CanBePassed(L" leading"));
    EXPECT_FALSE(CanBePassed(L"  "));
    EXPECT_FALSE(CanBePassed(std::wstring(L"a\0b", 3)));
    EXPECT_TRUE(CanBePassed(std::wstring(30000, L'x')));
    EXPECT_FALSE(CanBePassed(std::wstring(kMaxTextLength + 1, L'x')));
}

TEST(CmdCharactersIn, EachOnceInTheOrderFound)
{
    EXPECT_EQ(CmdCharactersIn(L"Tom & Jerry - %PATH% - VLC & more").View(), L"&%");
    EXPECT_EQ(CmdCharactersIn(L"plain").View(), L"");
    EXPECT_EQ(CmdCharactersIn(kCmdCharacters).View(), kCmdCharacters);
}

}  // namespace
}  // namespace tarnvale::lister
