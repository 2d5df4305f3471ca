// Reads and changes window state from outside, one question or action per run, and
// prints one line: what the demonstration and a person checking by hand want to see.
//   probe wait-parent CLASS progman|none TIMEOUT_MS
//   probe parent CLASS               the window, its parent, topmost and foreground flags
//   probe detach CLASS               makes it top-level, as another program could
//   probe topmost CLASS on|off
//   probe foreground [CLASS]         which window has the foreground, or give it to CLASS
//   probe message-box [ok]           Tarnvale's open message box: text, caption, icon
//   probe icon MOUSE_MESSAGE         the icon's callback (512) to the main window
//   probe menu [about|exit|escape]   opens the icon's menu and reads it, or chooses
//   probe tray                       what the stand-in notification area was told
//   probe close-main                 WM_CLOSE to every Tarnvale main window
//   probe end-session                WM_QUERYENDSESSION and WM_ENDSESSION to them
#include <cstdio>
#include <string>

#include "harness/harness.h"
#include "harness/message_box.h"
#include "harness/popup_menu.h"
#include "harness/tray_log.h"

namespace {

constexpr wchar_t kMainClass[] = L"TarnvaleMain";
constexpr DWORD kProbeTimeoutMs = 10000;

int Report(bool ok, const std::string& line)
{
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", line.c_str());
    return ok ? 0 : 1;
}

// "no window of class X", or the window as it is: what a failed step saw.
std::string Seen(const std::wstring& className)
{
    const HWND window = e2e::FindTarget(className);
    return window ? e2e::Describe(window)
                  : "no window of class " + e2e::Narrow(className) + ", top-level or attached";
}

int WaitParent(const std::wstring& className, const std::string& parent, DWORD timeoutMs)
{
    const bool reached = e2e::WaitUntil(
        [&] { return e2e::ParentOf(e2e::FindTarget(className)) == parent; }, timeoutMs);
    if (!reached)
        return Report(false, "parent not " + parent + " after " + std::to_string(timeoutMs) +
                                 " ms: " + Seen(className));
    return Report(true, e2e::Describe(e2e::FindTarget(className)));
}

HWND MainWindow()
{
    return FindWindowW(kMainClass, nullptr);
}

DWORD ProcessOf(HWND window)
{
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    return id;
}

int ForEachMain(UINT message, WPARAM wParam, LPARAM lParam, const char* what)
{
    int sent = 0;
    for (HWND window = MainWindow(); window; window = MainWindow()) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &ignored);
        ++sent;
        if (!e2e::WaitUntil([&] { return !IsWindow(window); }, kProbeTimeoutMs))
            return Report(false, "sent " + std::string(what) + "; still open after " +
                                     std::to_string(kProbeTimeoutMs) + " ms: " +
                                     e2e::Describe(window));
    }
    if (sent == 0)
        return Report(false, "no Tarnvale main window to send " + std::string(what) + " to");
    std::printf("sent %s to %d Tarnvale main window(s)\n", what, sent);
    return 0;
}

int EndSession()
{
    for (HWND window = MainWindow(); window; window = FindWindowExW(nullptr, window, kMainClass, nullptr)) {
        DWORD_PTR agreed = 0;
        SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG,
                            5000, &agreed);
        std::printf("WM_QUERYENDSESSION answered %s\n", agreed ? "TRUE" : "FALSE");
    }
    return ForEachMain(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, "WM_ENDSESSION");
}

int MessageBoxQuestion(bool pressOk)
{
    HWND box = nullptr;
    for (HWND window = FindWindowW(L"#32770", L"Tarnvale"); window && !box;
         window = FindWindowExW(nullptr, window, L"#32770", L"Tarnvale"))
        if (IsWindowVisible(window))
            box = window;
    if (!box)
        return Report(false, "no Tarnvale message box is open");
    const std::string line = e2e::Describe(e2e::ReadMessageBox(box));
    if (pressOk && !e2e::PressOk(box))
        return Report(false, line + " (no OK button)");
    return Report(true, line + (pressOk ? " (OK pressed)" : ""));
}

int Menu(const std::wstring& action)
{
    const HWND main = MainWindow();
    if (!main)
        return Report(false, "no Tarnvale main window");
    HWND menu = e2e::FindPopupMenuOf(ProcessOf(main));
    if (!menu) {
        e2e::PostIconCallback(main, WM_RBUTTONDOWN);
        e2e::WaitUntil([&] { return (menu = e2e::FindPopupMenuOf(ProcessOf(main))) != nullptr; },
                       kProbeTimeoutMs);
    }
    if (!menu)
        return Report(false, "the icon's menu did not open");
    if (action == L"about")
        e2e::ChooseByMnemonic(menu, L'a');
    else if (action == L"exit")
        e2e::ChooseByMnemonic(menu, L'e');
    else if (action == L"escape")
        e2e::PressEscape(menu);
    return Report(true, e2e::Describe(e2e::ReadPopupMenu(menu)) +
                            (action.empty() ? " (left open)" : " (" + e2e::Narrow(action) + ")"));
}

int Foreground(const std::wstring& className)
{
    if (!className.empty()) {
        const HWND window = e2e::FindTarget(className);
        const bool given = window && e2e::WaitUntil(
                                         [&] {
                                             SetForegroundWindow(window);
                                             return GetForegroundWindow() == window;
                                         },
                                         kProbeTimeoutMs, 20);
        if (!given)
            return Report(false, "could not give the foreground to " + e2e::Describe(window));
    }
    return Report(true, "foreground " + e2e::Describe(GetForegroundWindow()));
}

int Topmost(const std::wstring& className, const std::wstring& state)
{
    const HWND window = e2e::FindTarget(className);
    if (!window)
        return Report(false, "no window of class " + e2e::Narrow(className));
    if (state == L"on" || state == L"off")
        SetWindowPos(window, state == L"on" ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return Report(true, e2e::Describe(window));
}

int Detach(const std::wstring& className)
{
    const HWND window = e2e::FindTarget(className);
    if (!window || !e2e::Answers(window))
        return Report(false, "no answering window of class " + e2e::Narrow(className));
    SetParent(window, nullptr);
    return Report(e2e::ParentOf(window) == "none", e2e::Describe(window));
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: probe wait-parent CLASS progman|none TIMEOUT_MS | parent CLASS | detach CLASS\n"
                 "       | topmost CLASS on|off | foreground [CLASS] | message-box [ok]\n"
                 "       | icon MOUSE_MESSAGE | menu [about|exit|escape] | tray | close-main | end-session\n");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring command = argc > 1 ? argv[1] : L"";
    const std::wstring first = argc > 2 ? argv[2] : L"";
    const std::wstring second = argc > 3 ? argv[3] : L"";
    if (command == L"wait-parent" && argc == 5)
        return WaitParent(first, e2e::Narrow(second), static_cast<DWORD>(_wtoi(argv[4])));
    if (command == L"parent" && argc == 3)
        return Report(e2e::FindTarget(first) != nullptr, Seen(first));
    if (command == L"detach" && argc == 3)
        return Detach(first);
    if (command == L"topmost" && argc >= 3)
        return Topmost(first, second);
    if (command == L"foreground")
        return Foreground(first);
    if (command == L"message-box")
        return MessageBoxQuestion(first == L"ok");
    if (command == L"icon" && argc == 3) {
        const HWND main = MainWindow();
        if (main)
            e2e::PostIconCallback(main, static_cast<UINT>(_wtoi(argv[2])));
        return Report(main != nullptr, "callback " + e2e::Narrow(first) + " to " + e2e::Describe(main));
    }
    if (command == L"menu")
        return Menu(first);
    if (command == L"tray")
        return Report(e2e::FindTray() != nullptr, e2e::Describe(e2e::TrayEvents()));
    if (command == L"close-main")
        return ForEachMain(WM_CLOSE, 0, 0, "WM_CLOSE");
    if (command == L"end-session")
        return EndSession();
    return Usage();
}
