#include "app/main_window.h"

#include "text/command_line.h"
#include "attach/watchdog.h"
#include "tray/icon_callback.h"

namespace tarnvale {

namespace {

// A shell too busy to take the icon at start-up (at sign-in, say) sends no
// "TaskbarCreated" later: try again every 5 s.
constexpr unsigned kTicksBetweenIconTries = 5000 / kWatchdogIntervalMs;

}  // namespace

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

    // From here on a close or the end of the session has something to undo, also while
    // the shell takes the icon: that call runs the messages sent to us meanwhile.
    trayRecord_ = MakeTrayRecord(self_, icon_);
    stage_ = Stage::AddingIcon;
    iconShown_ = AddTrayIcon(windows_, trayRecord_);
    if (stage_ == Stage::Closed) {
        // The icon may have come after the close deleted it.
        DeleteTrayIcon(windows_, trayRecord_);
        return StartResult::Closed;
    }
    // Unless the end of the session was announced meanwhile.
    if (stage_ == Stage::AddingIcon)
        stage_ = Stage::Running;
    return StartResult::Running;
}

void MainWindow::OnTimerTick()
{
    // Ticks begin once start-up is through and end with the window; none attaches the
    // window while the end of the session is pending.
    if (stage_ != Stage::Running)
        return;
    if (!iconShown_ && ++ticksWithoutIcon_ % kTicksBetweenIconTries == 0) {
        ShowIcon();
        // Adding the icon runs the messages sent to us meanwhile: the window may have been
        // given back since, for a close or the end of the session.
        if (stage_ != Stage::Running)
            return;
    }
    WatchdogTick(windows_, target_);
}

void MainWindow::OnIconCallback(std::uint32_t lParam)
{
    if (!PastStartUp() || !OpensPopupMenu(HorizontalCoordinate(lParam)))
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
    if (!HasSomethingToUndo())
        return;
    // Given back when the end of the session was announced, and not attached since; a
    // give-back that did not succeed then is tried again now.
    const bool givenBack = stage_ == Stage::SessionEndingGivenBack;
    stage_ = Stage::Closed;
    DeleteTrayIcon(windows_, trayRecord_);
    if (!givenBack)
        GiveBack();
}

void MainWindow::OnSessionEnding()
{
    if (stage_ != Stage::AddingIcon && stage_ != Stage::Running)
        return;
    stage_ = GiveBack() ? Stage::SessionEndingGivenBack : Stage::SessionEndingNotGivenBack;
}

void MainWindow::OnSessionEndCancelled()
{
    if (SessionEnding())
        stage_ = Stage::Running;
}

void MainWindow::OnTaskbarCreated()
{
    if (PastStartUp())
        ShowIcon();
}

bool MainWindow::GiveBack()
{
    return target_.targetWindow == 0 ||
           windows_.SetParent(target_.targetWindow, 0, AnswerWait::Long);
}

void MainWindow::ShowIcon()
{
    // Refused when the shell has it already: then it is set anew, with the same record.
    iconShown_ = AddTrayIcon(windows_, trayRecord_) || ModifyTrayIcon(windows_, trayRecord_);
}

}  // namespace tarnvale
