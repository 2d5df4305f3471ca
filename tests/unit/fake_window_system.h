#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "about/about_lifecycle.h"
#include "platform/window_system.h"

namespace tarnvale::testing {

// A window system in memory that logs every call with its arguments, so that tests can
// assert the exact sequence the logic makes.
class FakeWindowSystem final : public WindowSystem {
public:
    struct Window {
        std::wstring className;
        std::wstring title;
        WindowHandle parent = 0;
        std::int32_t exStyle = 0;
        // A program that stopped answering: changes of its window's parent do not happen
        // within the wait and report so.
        bool answers = true;
        // A program that stops answering in the middle of the next change of its window's
        // parent: the change is reported unfinished and is made by FinishChangesUnderWay().
        bool stallsInNextChange = false;
        // The program's own window (its hidden main window, the About window): the
        // lookup passes over it, as the Windows implementation does.
        bool own = false;
    };

    WindowHandle AddWindow(std::wstring className, std::wstring title);
    WindowHandle AddDesktop() { return AddWindow(L"Progman", L"Program Manager"); }
    WindowHandle AddOwnWindow(std::wstring className, std::wstring title);
    void Destroy(WindowHandle window);
    Window& At(WindowHandle window) { return windows_.at(window); }
    void SetForeground(WindowHandle window) { foreground_ = window; }

    // The calls since the last Clear(), one line each.
    std::vector<std::string> calls;
    std::vector<std::pair<NotifyIconMessage, NotifyIconDataA>> notifications;
    int endProcessCalls = 0;
    std::uint32_t exitCode = 0;

    // What the user picks when the popup menu opens; runs before it returns.
    MenuChoice menuChoice = MenuChoice::None;
    std::function<void()> whileMenuOpen;
    // The toolkit runs the closing handler when the main window closes.
    std::function<void()> onMainWindowClose;
    // Changes of parent still under way, as (child, new parent), in order. One change at a
    // time, as the Windows implementation makes them: meanwhile a brief change is skipped,
    // a long one waits its turn, and each reports that it did not happen.
    std::vector<std::pair<WindowHandle, WindowHandle>> changesUnderWay;
    // The programs answer again: the changes under way are made, in order.
    void FinishChangesUnderWay();
    // Runs once, inside the next Shell_NotifyIconA before the shell takes it: the wait for
    // the shell's answer runs messages sent to the program meanwhile.
    std::function<void()> duringNextNotify;

    // The notification area as the shell keeps it: one icon per window and identifier. An
    // add of one it has already is refused, as a modify or delete of one it has not.
    bool shellRunning = true;
    std::set<std::pair<std::uint32_t, std::uint32_t>> icons;
    // Explorer restarts: every icon is gone.
    void RestartShell() { icons.clear(); }
    // The toolkit's one About window, kept by the program's own lifecycle rules; its
    // load, show and unload steps are logged among the calls.
    bool aboutLoadFails = false;
    // Dismiss or the close box.
    void CloseAboutByUser() { about_.Close(); }
    bool aboutLoaded() const { return about_.loaded(); }

    WindowHandle FindWindowA(std::optional<std::wstring_view> className,
                             std::optional<std::wstring_view> title) override;
    bool SetParent(WindowHandle child, WindowHandle newParent, AnswerWait wait) override;
    std::int32_t IsWindow(WindowHandle window) override;
    std::int32_t GetWindowLongA(WindowHandle window, WindowLong index) override;
    WindowHandle GetForegroundWindow() override;
    bool Shell_NotifyIconA(NotifyIconMessage message, const NotifyIconDataA& record) override;
    void ShowMessageBox(std::wstring_view text, std::wstring_view caption,
                        MessageBoxIcon icon) override;
    void EndProcess(std::uint32_t exitCode) override;
    MenuChoice ShowPopupMenu() override;
    void ShowAboutWindow() override;
    void CloseAboutWindow() override;
    void CloseMainWindow() override;

private:
    class AboutSteps final : public about::AboutHost {
    public:
        explicit AboutSteps(FakeWindowSystem& fake) : fake_(fake) {}
        bool Load() override;
        void Show() override;
        void Unload() override;

    private:
        FakeWindowSystem& fake_;
    };

    AboutSteps aboutSteps_{*this};
    about::AboutLifecycle about_{aboutSteps_};
    std::map<WindowHandle, Window> windows_;
    WindowHandle nextHandle_ = 0x1000;
    WindowHandle foreground_ = 0;
};

// ASCII for the logs; anything else as \uXXXX.
std::string Narrow(std::wstring_view text);

}  // namespace tarnvale::testing
