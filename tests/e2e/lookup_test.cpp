// How the command-line text names the target: exact command lines through CreateProcessW.
#include "session.h"

namespace e2e {
namespace {

class Lookup : public Session {
protected:
    // tarnvale with `commandLine` must attach the window of `expectedClass` and no other.
    static void ExpectAttached(const std::wstring& commandLine, const std::wstring& expectedClass,
                               const std::wstring& otherClass = L"")
    {
        ChildProcess tarnvale = StartTarnvaleWithCommandLine(commandLine);
        EXPECT_TRUE(WaitForParent(expectedClass, "progman"))
            << "expected attached: " << Describe(FindTarget(expectedClass))
            << "; message box: " << Describe(ReadMessageBox(FindMessageBoxOf(tarnvale.id())));
        if (!otherClass.empty()) {
            EXPECT_EQ(ParentOf(FindTarget(otherClass)), "none")
                << "the other window: " << Describe(FindTarget(otherClass));
        }
        PostMessageW(WaitForMainWindow(tarnvale), WM_CLOSE, 0, 0);
        EXPECT_TRUE(tarnvale.Exited(kStartTimeoutMs));
    }

    // tarnvale with `commandLine` must show "Window not found!" and leave `untouchedClass` alone.
    static void ExpectNotFound(const std::wstring& commandLine, const std::wstring& untouchedClass)
    {
        ChildProcess tarnvale = StartTarnvaleWithCommandLine(commandLine);
        const MessageBoxView box = ReadMessageBox(WaitForMessageBox(tarnvale));
        EXPECT_EQ(box.text, L"Window not found!")
            << Describe(box) << "; target: " << Describe(FindTarget(untouchedClass));
        EXPECT_EQ(ParentOf(FindTarget(untouchedClass)), "none")
            << Describe(FindTarget(untouchedClass));
        if (box.window)
            PressOk(box.window);
        EXPECT_TRUE(tarnvale.Exited(kStartTimeoutMs));
    }
};

TEST_F(Lookup, ByClassName)
{
    ChildProcess target = StartTarget(L"E2eByClass", L"--title \"Some title\"");
    ExpectAttached(Quoted(TarnvalePath()) + L" E2eByClass", L"E2eByClass");
}

TEST_F(Lookup, ByTitleWhenNoClassHasTheText)
{
    ChildProcess target = StartTarget(L"E2eTitled", L"--title \"E2e titled window\"");
    ExpectAttached(Quoted(TarnvalePath()) + L" E2e titled window", L"E2eTitled");
}

TEST_F(Lookup, ClassWinsOverAnotherWindowsTitle)
{
    // One window has the text as its title and was there first; the other has it as class.
    ChildProcess titled = StartTarget(L"E2eTitleHolder", L"--title E2eContested");
    ChildProcess classed = StartTarget(L"E2eContested", L"--title \"Other title\"");
    ExpectAttached(Quoted(TarnvalePath()) + L" E2eContested", L"E2eContested", L"E2eTitleHolder");
}

TEST_F(Lookup, AnotherWindowWithTheTitleOfItsOwnMainWindowIsTheOneTaken)
{
    // The hidden main window is titled "Tarnvale" too, and may come first in the lookup.
    CloseEveryTarnvale();
    ChildProcess target = StartTarget(L"E2eTitledTarnvale", L"--title Tarnvale");
    ExpectAttached(Quoted(TarnvalePath()) + L" Tarnvale", L"E2eTitledTarnvale");
}

TEST_F(Lookup, TrailingBlankIsPartOfTheText)
{
    ChildProcess target = StartTarget(L"E2eFooClass", L"--title Foo");
    ExpectNotFound(Quoted(TarnvalePath()) + L" Foo ", L"E2eFooClass");
}

TEST_F(Lookup, QuotedTitleIsLookedUpWithItsQuotes)
{
    ChildProcess quoted = StartTarget(L"E2eQuotedTitle", L"--title \"\\\"Quoted title\\\"\"");
    ASSERT_EQ(TextOf(FindTarget(L"E2eQuotedTitle")), L"\"Quoted title\"");
    ExpectAttached(Quoted(TarnvalePath()) + L" \"Quoted title\"", L"E2eQuotedTitle");
}

TEST_F(Lookup, QuotesAreNotRemovedForAWindowWithoutThem)
{
    ChildProcess plain = StartTarget(L"E2ePlainTitle", L"--title \"Plain title\"");
    ExpectNotFound(Quoted(TarnvalePath()) + L" \"Plain title\"", L"E2ePlainTitle");
}

TEST_F(Lookup, QuotedProgramPathWithSpacesIsSkipped)
{
    const std::wstring folder = ProgramFolder() + L"\\folder with spaces";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring copy = folder + L"\\tarnvale copy.exe";
    ASSERT_TRUE(CopyFileW(TarnvalePath().c_str(), copy.c_str(), FALSE))
        << "could not copy tarnvale.exe to " << Narrow(copy);
    ChildProcess target = StartTarget(L"E2eSpacedPath");
    ExpectAttached(Quoted(copy) + L"   E2eSpacedPath", L"E2eSpacedPath");
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(folder.c_str());
}

}  // namespace
}  // namespace e2e
