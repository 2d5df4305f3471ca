// The hidden main window: it owns the program's state and turns window messages into
// calls of the logic in MainWindow.
#include <windows.h>

#include <optional>

#include "about/about_window.h"
#include "app/main_window.h"
#include "attach/watchdog.h"
#include "platform/win32_window_system.h"
#include "resources/resource_ids.h"
#include "tray/tray_record.h"

namespace {

constexpr wchar_t kMainWindowClass[] = L"TarnvaleMain";
constexpr UINT_PTR kWatchdogTimerId = 1;
// Above ordinary programs' 0x280: at the end of the session Windows asks us first, so
// the window we hold is top-level again by the time its own program is asked.
constexpr DWORD kShutdownLevel = 0x300;

struct App {
    explicit App(HINSTANCE instance) : instance(instance), windows(instance), about(instance)
    {
        using tarnvale::MemberCallback;
        using tarnvale::about::AboutWindow;
        windows.SetAboutWindow(MemberCallback<&AboutWindow::Open>(about),
                               MemberCallback<&AboutWindow::Close>(about));
        about.SetOnGone(MemberCallback<&App::QuitWhenNoWindowLeft>(*this));
    }

    // The process ends once no window of the program is left.
    void QuitWhenNoWindowLeft()
    {
        if (mainGone && !about.IsOpen())
            PostQuitMessage(0);
    }

    HINSTANCE instance;
    HICON smallIcon = nullptr;
    // Broadcast by the shell when it makes the task bar anew; 0 if it could not be had.
    UINT taskbarCreated = 0;
    tarnvale::Win32WindowSystem windows;
    tarnvale::about::AboutWindow about;
    std::optional<tarnvale::MainWindow> logic;
    bool mainGone = false;
};

App* AppOf(HWND window)
{
    return reinterpret_cast<App*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void OnCreate(HWND window, App& app)
{
    app.windows.SetMainWindow(window);
    app.about.SetMainWindow(window);
    app.logic.emplace(app.windows, tarnvale::ToHandle(window),
                      tarnvale::ToIconHandle(app.smallIcon));
}

// Windows keeps a program run as administrator from hearing a broadcast of lesser
// programs, the shell's "TaskbarCreated" among them, unless it lets that message in.
// Windows 7 and later have the call; without it there is no such filter to open.
void LetTaskbarCreatedIn(HWND window, UINT message)
{
    using AllowMessage = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    constexpr DWORD kAllow = 1;  // MSGFLT_ALLOW
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    const FARPROC found = user32 ? GetProcAddress(user32, "ChangeWindowMessageFilterEx") : nullptr;
    if (found && message != 0)
        reinterpret_cast<AllowMessage>(reinterpret_cast<void (*)()>(found))(window, message,
                                                                             kAllow, nullptr);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    App* const app = AppOf(window);
    if (!app)
        return DefWindowProcW(window, message, wParam, lParam);

    switch (message) {
    case WM_CREATE:
        OnCreate(window, *app);
        return 0;
    case WM_TIMER:
        if (wParam == kWatchdogTimerId && app->logic)
            app->logic->OnTimerTick();
        return 0;
    case WM_MOUSEMOVE:
        // The window is never shown, so every mouse move is the icon's callback.
        if (app->logic)
            app->logic->OnIconCallback(static_cast<std::uint32_t>(lParam));
        return 0;
    case WM_QUERYENDSESSION:
        // Windows asks only top-level windows whether the session may end: give the
        // window back first, so that its program is asked too and can save its work.
        if (app->logic)
            app->logic->OnSessionEnding();
        return TRUE;
    case WM_ENDSESSION:
        if (!app->logic)
            return 0;
        if (!wParam) {
            app->logic->OnSessionEndCancelled();
            return 0;
        }
        // The process may be ended as soon as this returns.
        app->logic->OnClosing();
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        KillTimer(window, kWatchdogTimerId);
        if (app->logic)
            app->logic->OnClosing();
        app->mainGone = true;
        app->QuitWhenNoWindowLeft();
        return 0;
    default:
        if (app->taskbarCreated != 0 && message == app->taskbarCreated) {
            if (app->logic)
                app->logic->OnTaskbarCreated();
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    SetProcessShutdownParameters(kShutdownLevel, 0);
    App app(instance);
    const HICON bigIcon = static_cast<HICON>(LoadImageW(
        instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
        GetSystemMetrics(SM_CYICON), LR_SHARED));
    app.smallIcon = static_cast<HICON>(LoadImageW(
        instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
        GetSystemMetrics(SM_CYSMICON), LR_SHARED));

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = bigIcon;
    windowClass.hIconSm = app.smallIcon;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.lpszClassName = kMainWindowClass;
    if (!RegisterClassExW(&windowClass))
        return 1;

    app.taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    // Created hidden and never shown: no frame, no task-bar button.
    const HWND window = CreateWindowExW(0, kMainWindowClass, tarnvale::kAppCaption,
                                        WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                        instance, &app);
    if (!window || !app.logic)
        return 1;
    LetTaskbarCreatedIn(window, app.taskbarCreated);
    // Ticks start only once start-up is through, so no message box is ever open during one.
    // A close or the end of the session during start-up has undone it, and the window is
    // gone: the loop below then ends at once.
    if (app.logic->Start(GetCommandLineW()) == tarnvale::MainWindow::StartResult::Running)
        SetTimer(window, kWatchdogTimerId, tarnvale::kWatchdogIntervalMs, nullptr);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Tab and Space in the About window.
        if (const HWND about = app.about.handle(); about && IsDialogMessageW(about, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
