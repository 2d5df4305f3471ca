#include "session.h"

namespace e2e {

ChildProcess Session::shell_;
ChildProcess Session::tray_;

void Session::SetUpTestSuite()
{
    if (!FindDesktop())
        shell_ = StartShell();
    tray_ = StartTray();
}

void Session::TearDownTestSuite()
{
    tray_.Kill();
    shell_.Kill();
}

ChildProcess Session::StartShell(POINT origin)
{
    ChildProcess shell = ChildProcess::Start(Quoted(ProgramFolder() + L"\\fake_shell.exe") +
                                             L" --origin " + std::to_wstring(origin.x) + L" " +
                                             std::to_wstring(origin.y));
    EXPECT_TRUE(WaitUntil([] { return FindDesktop() != nullptr; }, kStartTimeoutMs))
        << "the stand-in shell's Progman window never appeared";
    return shell;
}

ChildProcess Session::StartTray()
{
    ChildProcess tray = ChildProcess::Start(Quoted(ProgramFolder() + L"\\fake_tray.exe"));
    // Wine's explorer has a hidden tray of its own; ours must be the one Shell_NotifyIcon finds.
    const bool ours = WaitUntil(
        [&] {
            DWORD owner = 0;
            GetWindowThreadProcessId(FindTray(), &owner);
            return owner == tray.id();
        },
        kStartTimeoutMs);
    EXPECT_TRUE(ours) << "the stand-in tray is not the first \"Shell_TrayWnd\": "
                      << Describe(FindTray());
    return tray;
}

ChildProcess Session::StartTarget(const std::wstring& className, const std::wstring& options)
{
    ChildProcess target = ChildProcess::Start(Quoted(ProgramFolder() + L"\\target_app.exe") +
                                              L" --class " + Quoted(className) + L" " + options);
    EXPECT_TRUE(WaitUntil([&] { return FindTarget(className) != nullptr; }, kStartTimeoutMs))
        << "the target window " << Narrow(className) << " never appeared";
    // A window is listed while CreateWindowEx still runs: what a case does to it must
    // wait until the window is shown and its thread reads its messages.
    EXPECT_TRUE(target.WaitForIdle(kStartTimeoutMs))
        << "the target " << Narrow(className) << " never waited for input";
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
    EXPECT_TRUE(tarnvale.started()) << "could not start " << Narrow(commandLine.substr(0, 200));
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

HWND Session::WaitForMessageBox(const ChildProcess& process, DWORD timeoutMs)
{
    HWND box = nullptr;
    WaitUntil([&] { return (box = FindMessageBoxOf(process.id())) != nullptr || process.Exited(); },
              timeoutMs);
    return box;
}

HWND Session::WaitForPopupMenu(const ChildProcess& process, DWORD timeoutMs)
{
    HWND menu = nullptr;
    WaitUntil([&] { return (menu = FindPopupMenuOf(process.id())) != nullptr; }, timeoutMs);
    return menu;
}

bool Session::GiveForeground(HWND window)
{
    return WaitUntil(
        [&] {
            if (GetForegroundWindow() == window)
                return true;
            SetForegroundWindow(window);
            return false;
        },
        kStartTimeoutMs, 20);
}

long long Session::HoldForegroundUntil(HWND window, const std::function<bool()>& done,
                                       DWORD timeoutMs)
{
    ULONGLONG given = GetTickCount64();
    bool held = false;
    const bool reached = WaitUntil(
        [&] {
            if (done())
                return true;
            const bool now = GetForegroundWindow() == window;
            if (now && !held)
                given = GetTickCount64();
            held = now;
            if (!now)
                SetForegroundWindow(window);
            return false;
        },
        timeoutMs, 2);
    return reached ? static_cast<long long>(GetTickCount64() - given) : -1;
}

long long Session::MeasureUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const ULONGLONG start = GetTickCount64();
    if (!WaitUntil(done, timeoutMs, 2))
        return -1;
    return static_cast<long long>(GetTickCount64() - start);
}

void Session::CloseEveryTarnvale()
{
    for (HWND main = FindWindowW(kMainWindowClass, nullptr); main;
         main = FindWindowW(kMainWindowClass, nullptr)) {
        PostMessageW(main, WM_CLOSE, 0, 0);
        if (!WaitUntil([&] { return !IsWindow(main); }, kStartTimeoutMs)) {
            ADD_FAILURE() << "a Tarnvale did not close";
            break;
        }
    }
}

}  // namespace e2e
