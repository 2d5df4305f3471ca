#include "app/main_window.h"

#include "app/command_line.h"
#include "attach/watchdog.h"
#include "tray/icon_callback.h"

namespace tarnvale {

MainWindow::MainWindow(WindowSystem& windows, WindowHandle self, IconHandle icon)
    : windows_(windows), self_(self), icon_(icon)
{
}

MainWindow::StartResult MainWindow::Start(std::wstring_view commandLine)
{
    const std::wstring_view text = TargetTextView(commandLine);
    if (IsBlank(text)) {
        windows_.ShowMessageBox(kUsageText, kAppCaption, MessageBoxIcon::Information);
        windows_.EndProcess(kUsageExitCode);
        return StartResult::Ended;
    }

    // A text longer than a lookup takes names no window: it is not looked up.
    if (target_.targetText.Assign(text))
        target_.targetWindow = FindTargetWindow(windows_, target_.targetText.view());
    if (target_.targetWindow == 0) {
        windows_.ShowMessageBox(kNotFoundText, kAppCaption, MessageBoxIcon::Exclamation);
        windows_.EndProcess(kNotFoundExitCode);
        return StartResult::Ended;
    }

    AttachToDesktop(windows_, target_, target_.targetWindow);

    trayRecord_ = MakeTrayRecord(self_, icon_);
    AddTrayIcon(windows_, trayRecord_);
    running_ = true;
    return StartResult::Running;
}

void MainWindow::OnTimerTick()
{
    // Ticks may only begin once start-up has finished, and end with the window; a tick
    // reached through the menu of a callback run inside a tick is not one.
    if (!running_ || closed_ || sessionEnding_ || ticking_)
        return;
    ticking_ = true;
    const bool attached = WatchdogTick(windows_, target_);
    ticking_ = false;
    // Changing the parent of another program's window waits on that program, and the
    // wait may run our other handlers: if an Exit or the end of the session gave the
    // window back meanwhile, this tick's attach must not outlast it.
    if (attached && (closed_ || sessionEnding_))
        GiveBack();
}

void MainWindow::OnIconCallback(std::uint32_t lParam)
{
    if (!running_ || closed_ || !OpensPopupMenu(HorizontalCoordinate(lParam)))
        return;
    switch (windows_.ShowPopupMenu()) {
    case MenuChoice::About:
        OnMenuAbout();
        break;
    case MenuChoice::Exit:
        OnMenuExit();
        break;
    case MenuChoice::None:
        break;
    }
}

void MainWindow::OnMenuAbout()
{
    windows_.ShowAboutWindow();
}

void MainWindow::OnMenuExit()
{
    windows_.CloseAboutWindow();
    windows_.CloseMainWindow();
}

void MainWindow::OnClosing()
{
    if (!running_ || closed_)
        return;
    closed_ = true;
    DeleteTrayIcon(windows_, trayRecord_);
    // Given back when the end of the session was announced, and not attached since.
    if (!sessionEnding_)
        GiveBack();
}

void MainWindow::OnSessionEnding()
{
    if (!running_ || closed_ || sessionEnding_)
        return;
    sessionEnding_ = true;
    GiveBack();
}

void MainWindow::OnSessionEndCancelled()
{
    sessionEnding_ = false;
}

void MainWindow::GiveBack()
{
    if (target_.targetWindow != 0)
        windows_.SetParent(target_.targetWindow, 0, AnswerWait::Long);
}

}  // namespace tarnvale
