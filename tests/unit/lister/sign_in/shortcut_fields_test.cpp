#include "lister/sign_in/shortcut_fields.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "utf16_units.h"

namespace tarnvale::lister {
namespace {

std::wstring Written(const ShortcutFields& fields)
{
    std::wstring out(EncodedLength(fields), L'\0');
    out.resize(EncodeArguments(fields, out));
    return out;
}

// Writes, then reads back what was written, as the run at sign-in reads its command line.
ShortcutFields RoundTrip(const ShortcutFields& fields, std::wstring& buffer)
{
    buffer = Written(fields);
    EXPECT_FALSE(buffer.empty());
    ShortcutFields read;
    EXPECT_TRUE(DecodeArguments(buffer, read)) << std::string(buffer.begin(), buffer.end());
    return read;
}

bool Reads(std::wstring arguments)
{
    ShortcutFields ignored;
    return DecodeArguments(arguments, ignored);
}

TEST(ShortcutFields, HostileTextsPathsAndCommandLinesComeBackUnitForUnit)
{
    const std::wstring hostile[] = {
        L"Tom & Jerry - %PATH% - \"VLC\" ^ | <x> !x! (a), b; c=d",
        L"  blanks around, and at the end  ",
        L"%USERPROFILE%\\x %%~dp0 %1 %*",
        Units({'c', 'a', 'f', 0xE9, ' ', 0x2014, ' ', 0x65E5, 0xD83D, 0xDE00, 0xFFFF}),
        Units({0x202E, 0x09, 0x0D, 0x0A, 0x7F, 0xD800, 0x0100, 0x00FF}),
        L"_41 -0041 --end --signed-in",
    };
    for (const std::wstring& text : hostile) {
        const std::wstring program = L"C:\\Program Files\\" + text + L"\\app.exe";
        const std::wstring command = L"\"" + program + L"\" --title \"" + text + L"\"  ";
        std::wstring buffer;
        const ShortcutFields read = RoundTrip({text, program, command}, buffer);
        EXPECT_EQ(read.text, text);
        EXPECT_EQ(read.program, program);
        EXPECT_EQ(read.commandLine, command);
    }
}

TEST(ShortcutFields, WrittenArgumentsHoldNothingAShellCouldChange)
{
    std::wstring all;
    for (unsigned unit = 1; unit <= 0xFFFF; ++unit)
        all.push_back(static_cast<wchar_t>(unit));
    const std::wstring written = Written({all, L"C:\\a b\\p.exe", L"\"C:\\a b\\p.exe\" %x%  "});
    // No %, quotes, ^, & or anything outside ASCII; blanks only between the words.
    for (const wchar_t c : written)
        EXPECT_TRUE((c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') ||
                    (c >= L'0' && c <= L'9') || c == L'.' || c == L'_' || c == L'-' || c == L' ')
            << static_cast<unsigned>(c);
    EXPECT_TRUE(written.starts_with(L"--signed-in "));
    EXPECT_TRUE(written.ends_with(L" --end"));
    EXPECT_EQ(written.find(L"  "), std::wstring::npos);
}

TEST(ShortcutFields, ReadableWhereItCanBe)
{
    EXPECT_EQ(Written({L"Untitled - Notepad", L"C:\\Windows\\notepad.exe",
                       L"notepad.exe a.txt"}),
              L"--signed-in Untitled_20_2D_20Notepad C_3A_5CWindows_5Cnotepad.exe "
              L"notepad.exe_20a.txt --end");
    EXPECT_EQ(Written({Units({0xE9, 0x2014}), {}, {}}), L"--signed-in _E9-2014 --end");
}

TEST(ShortcutFields, AWindowKeptWithoutItsProgramHasTheTextAlone)
{
    std::wstring buffer;
    const ShortcutFields read = RoundTrip({L"Store app", {}, {}}, buffer);
    EXPECT_EQ(read.text, L"Store app");
    EXPECT_TRUE(read.program.empty());
    EXPECT_TRUE(read.commandLine.empty());
}

TEST(ShortcutFields, FieldsThatCannotBeWrittenAreRefused)
{
    wchar_t out[64];
    EXPECT_EQ(EncodedLength({L"", L"p.exe", L"p.exe"}), 0u);
    EXPECT_EQ(EncodedLength({L"text", L"p.exe", L""}), 0u);
    EXPECT_EQ(EncodedLength({L"text", L"", L"p.exe"}), 0u);
    EXPECT_EQ(EncodeArguments({L"text", L"p.exe", L"p.exe"}, std::span(out, 10)), 0u);
    if constexpr (sizeof(wchar_t) > 2) {
        EXPECT_EQ(EncodedLength({Units({0x1F600}), {}, {}}), 0u);
    }
}

TEST(ShortcutFields, AVeryLongCommandLineIsWrittenWhole)
{
    const std::wstring command = L"p.exe " + std::wstring(kMaxCommandLineLength - 6, L'x');
    std::wstring buffer;
    EXPECT_EQ(RoundTrip({L"t", L"p.exe", command}, buffer).commandLine, command);
    EXPECT_EQ(EncodedLength({L"t", L"p.exe", command}),
              std::wstring(L"--signed-in t p.exe  --end").size() + command.size() + 2);
}

TEST(ShortcutFields, ArgumentsCutShortOrChangedAreNotRead)
{
    const std::wstring whole = Written({L"a b", L"C:\\p.exe", L"p.exe --x"});
    ASSERT_TRUE(Reads(whole));
    // Cut anywhere, the end is missing; a shell may add blanks around them, nothing more.
    for (std::size_t length = 0; length < whole.size(); ++length)
        EXPECT_FALSE(Reads(whole.substr(0, length))) << length;
    EXPECT_TRUE(Reads(L"  " + whole + L"  "));
    for (const wchar_t* changed :
         {L"--signed-in a%20b --end", L"--signed-in a_2 --end", L"--signed-in a_2g --end",
          L"--signed-in a_2d --end", L"--signed-in a-0020 --end", L"--signed-in _41 --end",
          L"--signed-in \"a\" --end", L"--signed-in a b --end", L"--signed-in --end",
          L"--signed-in a b c d e --end", L"--signedin a --end", L"--signed-in a --end x",
          L"--signed-in a _ --end"})
        EXPECT_FALSE(Reads(changed)) << std::string(changed, changed + std::wcslen(changed));
}

TEST(ShortcutFields, TheFolderAndThePlaceComeBackAndOlderShortcutsStillRead)
{
    const WindowPlace place{true, {-800, -5, -520, 185}, true};
    std::wstring buffer;
    const ShortcutFields read =
        RoundTrip({L"Notes", L"C:\\p.exe", L"p.exe todo.txt", L"C:\\tv data\\", place}, buffer);
    EXPECT_EQ(read.folder, L"C:\\tv data\\");
    EXPECT_TRUE(read.place.known);
    EXPECT_EQ(read.place.rect, place.rect);
    EXPECT_TRUE(read.place.maximized);
    EXPECT_TRUE(buffer.ends_with(L" --place.-800.-5.280.190.max --end")) << std::string(buffer.begin(), buffer.end());
    // A window kept without its program keeps its place all the same.
    const ShortcutFields alone = RoundTrip({L"Store app", {}, {}, {}, {true, {0, 0, 1, 1}, false}}, buffer);
    EXPECT_EQ(alone.place.rect, (ScreenRect{0, 0, 1, 1}));
    EXPECT_FALSE(alone.place.maximized);
    // As the lister wrote them before it kept folders and places.
    std::wstring older = L"--signed-in a_20b C_3A_5Cp.exe p.exe --end";
    ShortcutFields fields;
    ASSERT_TRUE(DecodeArguments(older, fields));
    EXPECT_EQ(fields.commandLine, L"p.exe");
    EXPECT_TRUE(fields.folder.empty());
    EXPECT_FALSE(fields.place.known);
}

TEST(ShortcutFields, APlaceOrFolderThatCannotBeReadBackIsRefused)
{
    EXPECT_EQ(EncodedLength({L"t", {}, {}, L"C:\\", {}}), 0u);  // a folder, no program
    for (const ScreenRect rect : {ScreenRect{0, 0, 0, 10}, ScreenRect{0, 0, 10, -1},
                                  ScreenRect{-kMostCoordinate - 1, 0, 10, 10},
                                  ScreenRect{-kMostCoordinate, 0, kMostCoordinate, 10}})
        EXPECT_EQ(EncodedLength({L"t", {}, {}, {}, {true, rect, false}}), 0u) << rect.left;
    const ScreenRect widest{-kMostCoordinate, -kMostCoordinate, 0, 0};
    std::wstring buffer;
    EXPECT_EQ(RoundTrip({L"t", {}, {}, {}, {true, widest, false}}, buffer).place.rect, widest);
    for (const wchar_t* changed :
         {L"--signed-in t --place.1.2.3 --end", L"--signed-in t --place.1.2.3.0 --end",
          L"--signed-in t --place.1.2.3.4.min --end", L"--signed-in t --place.1.2.3.4. --end",
          L"--signed-in t --place.1.2.3.-4 --end", L"--signed-in t --place.12345678.2.3.4 --end",
          L"--signed-in t --place..2.3.4 --end", L"--signed-in t --place.1.2.3.4 --place.1.2.3.4 --end",
          L"--signed-in t --place.1.2.3.4 a --end", L"--signed-in t a --end",
          L"--signed-in t a b c d --end"})
        EXPECT_FALSE(Reads(changed)) << std::string(changed, changed + std::wcslen(changed));
}

TEST(ShortcutName, CharactersAFileNameCannotHoldOrThatHideTextBecomeUnderscores)
{
    EXPECT_EQ(NameShortcut(L"Untitled - Notepad", 1).View(), L"Tarnvale - Untitled - Notepad");
    EXPECT_EQ(NameShortcut(L"a\\b/c:d*e?f\"g<h>i|j", 1).View(),
              L"Tarnvale - a_b_c_d_e_f_g_h_i_j");
    EXPECT_EQ(NameShortcut(Units({'x', 0x09, 0x202E, 'y', 0x200B, 0xD800}), 1).View(),
              L"Tarnvale - x__y__");
    const std::wstring kept = Units({'c', 'a', 'f', 0xE9, ' ', 0x2014, ' ', 0xD83D, 0xDE00, '&',
                                     '%', '[', ']'});
    EXPECT_EQ(NameShortcut(kept, 1).View(), L"Tarnvale - " + kept);
}

TEST(ShortcutName, ReservedNamesEmptyTitlesAndEndsWindowsWouldDrop)
{
    // Each reserved name is part of a longer one, which Windows does not reserve.
    EXPECT_EQ(NameShortcut(L"CON", 1).View(), L"Tarnvale - CON");
    EXPECT_EQ(NameShortcut(L"com1", 1).View(), L"Tarnvale - com1");
    EXPECT_EQ(NameShortcut(L"PRN.txt", 1).View(), L"Tarnvale - PRN.txt");
    EXPECT_EQ(NameShortcut(L"NUL ", 1).View(), L"Tarnvale - NUL");
    EXPECT_EQ(NameShortcut(L"", 1).View(), L"Tarnvale - window");
    EXPECT_EQ(NameShortcut(L" . .", 1).View(), L"Tarnvale - window");
    EXPECT_EQ(NameShortcut(L"Report. ", 1).View(), L"Tarnvale - Report");
}

TEST(ShortcutName, LongTitlesAreCutNeverInsideAPairAndCopiesAreNumbered)
{
    const std::wstring longTitle(500, L'x');
    EXPECT_EQ(NameShortcut(longTitle, 1).View(), L"Tarnvale - " + std::wstring(kMaxNamedTitle, L'x'));
    std::wstring pairAtTheCut(kMaxNamedTitle - 1, L'y');
    pairAtTheCut += Units({0xD83D, 0xDE00});
    EXPECT_EQ(NameShortcut(pairAtTheCut, 1).View(),
              L"Tarnvale - " + std::wstring(kMaxNamedTitle - 1, L'y'));
    EXPECT_EQ(NameShortcut(L"Notepad", 2).View(), L"Tarnvale - Notepad (2)");
    EXPECT_EQ(NameShortcut(longTitle, 4294967295u).View(),
              L"Tarnvale - " + std::wstring(kMaxNamedTitle, L'x') + L" (4294967295)");
}

}  // namespace
}  // namespace tarnvale::lister
