// Command lines a careless or hostile caller could give: very long, outside the ANSI code
// page, with quotes, tabs and percent signs. Each gives the right box or the right window.
#include "session.h"

namespace e2e {
namespace {

class HostileInput : public Session {
protected:
    static std::wstring After(const std::wstring& text) { return Quoted(TarnvalePath()) + L" " + text; }

    // "Window not found!", and every listed window left where it was.
    static void ExpectNotFound(const std::wstring& commandLine,
                               const std::vector<std::wstring>& untouchedClasses)
    {
        ChildProcess tarnvale = StartTarnvaleWithCommandLine(commandLine);
        const MessageBoxView box = ReadMessageBox(WaitForMessageBox(tarnvale));
        EXPECT_EQ(box.text, L"Window not found!") << Describe(box);
        for (const std::wstring& className : untouchedClasses) {
            EXPECT_EQ(ParentOf(FindTarget(className)), "none")
                << "a wrong window was taken: " << Describe(FindTarget(className));
        }
        if (box.window)
            PressOk(box.window);
        EXPECT_TRUE(tarnvale.Exited(kStartTimeoutMs)) << "still running after OK";
    }

    static void ExpectAttached(const std::wstring& commandLine, const std::wstring& className)
    {
        ChildProcess tarnvale = StartTarnvaleWithCommandLine(commandLine);
        EXPECT_TRUE(WaitForParent(className, "progman"))
            << Describe(FindTarget(className)) << "; "
            << Describe(ReadMessageBox(FindMessageBoxOf(tarnvale.id())));
        if (const HWND main = WaitForMainWindow(tarnvale))
            PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_TRUE(tarnvale.Exited(kStartTimeoutMs));
    }
};

TEST_F(HostileInput, CommandLineOf32000Characters)
{
    ChildProcess bystander = StartTarget(L"E2eLongBystander");
    ExpectNotFound(After(std::wstring(32000, L'x')), {L"E2eLongBystander"});
}

TEST_F(HostileInput, ALongTextIsTakenWholeNeverCutShort)
{
    // Two titles that differ only in their last character, far beyond any short buffer:
    // each text finds its own window, never the one with its beginning.
    const std::wstring shorter = L"E2e" + std::wstring(2045, L'x');
    const std::wstring longer = shorter + L"y";
    ChildProcess prefix = StartTarget(L"E2eShorterTitle", L"--title " + shorter);
    ChildProcess exact = StartTarget(L"E2eLongerTitle", L"--title " + longer + L" --x 300");
    ExpectAttached(After(longer), L"E2eLongerTitle");
    EXPECT_EQ(ParentOf(FindTarget(L"E2eShorterTitle")), "none")
        << "a wrong window was taken: " << Describe(FindTarget(L"E2eShorterTitle"));
    ExpectAttached(After(shorter), L"E2eShorterTitle");
}

TEST_F(HostileInput, TextOutsideTheAnsiCodePageFindsNoQuestionMarkWindow)
{
    // Each character without an ANSI form would become '?' in a careless conversion.
    ChildProcess cyrillic = StartTarget(L"??????", L"--title ??????");
    ChildProcess cjk = StartTarget(L"???", L"--title ???");
    ChildProcess emoji = StartTarget(L"??", L"--title ???? --second-class ???? --second-title ??");
    const std::vector<std::wstring> all{L"??????", L"???", L"??", L"????"};
    ExpectNotFound(After(L"\u041f\u0440\u0438\u0432\u0435\u0442"), all);  // Привет
    ExpectNotFound(After(L"\u65e5\u672c\u8a9e"), all);                    // 日本語
    ExpectNotFound(After(L"\U0001F600\U0001F600"), all);                  // two emoji
}

TEST_F(HostileInput, TextInsideTheAnsiCodePageStillFindsItsWindow)
{
    ChildProcess target = StartTarget(L"E2eAccented", L"--title Caf\u00e9");
    ExpectAttached(After(L"Caf\u00e9"), L"E2eAccented");
}

TEST_F(HostileInput, QuotesTabsAndPercentSignsAreTakenLiterally)
{
    const std::wstring title = L"say \"hi\"\there 100% %PATH%";
    ChildProcess target =
        StartTarget(L"E2eOddTitle", L"--title \"say \\\"hi\\\"\there 100% %PATH%\"");
    ASSERT_EQ(TextOf(FindTarget(L"E2eOddTitle")), title);
    ExpectAttached(After(title), L"E2eOddTitle");
}

TEST_F(HostileInput, PercentAndQuotesNamingNothing)
{
    ChildProcess bystander = StartTarget(L"E2ePercentBystander", L"--title %PATH%");
    ExpectNotFound(After(L"\"%PATH%\"\t%"), {L"E2ePercentBystander"});
}

}  // namespace
}  // namespace e2e
