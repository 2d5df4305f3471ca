#include "session.h"

namespace e2e {

ChildProcess Session::shell_;

void Session::SetUpTestSuite()
{
    if (!FindDesktop())
        shell_ = StartShell();
}

void Session::TearDownTestSuite()
{
    shell_.Kill();
}

ChildProcess Session::StartShell()
{
    ChildProcess shell = ChildProcess::Start(Quoted(ProgramFolder() + L"\\fake_shell.exe"));
    EXPECT_TRUE(WaitUntil([] { return FindDesktop() != nullptr; }, kStartTimeoutMs))
        << "the stand-in shell's Progman window never appeared";
    return shell;
}

ChildProcess Session::StartTarget(const std::wstring& className, const std::wstring& options)
{
    ChildProcess target = ChildProcess::Start(Quoted(ProgramFolder() + L"\\target_app.exe") +
                                              L" --class " + Quoted(className) + L" " + options);
    EXPECT_TRUE(WaitUntil([&] { return FindTarget(className) != nullptr; }, kStartTimeoutMs))
        << "the target window " << Narrow(className) << " never appeared";
    return target;
}

std::wstring Session::TarnvalePath()
{
    return ProgramFolder() + L"\\tarnvale.exe";
}

ChildProcess Session::StartTarnvale(const std::wstring& targetText)
{
    return StartTarnvaleWithCommandLine(Quoted(TarnvalePath()) + L" " + targetText);
}

ChildProcess Session::StartTarnvaleWithCommandLine(const std::wstring& commandLine)
{
    ChildProcess tarnvale = ChildProcess::Start(commandLine);
    EXPECT_TRUE(tarnvale.started()) << "could not start " << Narrow(commandLine);
    return tarnvale;
}

HWND Session::WaitForMainWindow(const ChildProcess& tarnvale)
{
    HWND main = nullptr;
    WaitUntil([&] { return (main = FindWindowOf(tarnvale.id(), kMainWindowClass)) != nullptr; },
              kStartTimeoutMs);
    return main;
}

bool Session::WaitForParent(const std::wstring& className, const std::string& parent,
                            DWORD timeoutMs)
{
    return WaitUntil([&] { return ParentOf(FindTarget(className)) == parent; }, timeoutMs);
}

}  // namespace e2e
