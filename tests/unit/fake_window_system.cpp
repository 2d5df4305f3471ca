#include "fake_window_system.h"

#include <algorithm>
#include <cstdio>
#include <cwctype>
#include <utility>

namespace tarnvale::testing {

namespace {

bool SameTextIgnoringCase(std::wstring_view a, std::wstring_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
        return std::towlower(x) == std::towlower(y);
    });
}

std::string Hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%#x", value);
    return value == 0 ? "0" : text;
}

}  // namespace

std::string Narrow(std::wstring_view text)
{
    std::string out;
    for (const wchar_t c : text) {
        if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            char escaped[16];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        }
    }
    return out;
}

WindowHandle FakeWindowSystem::AddWindow(std::wstring className, std::wstring title)
{
    const WindowHandle handle = nextHandle_;
    nextHandle_ += 4;
    windows_[handle] = Window{std::move(className), std::move(title)};
    return handle;
}

WindowHandle FakeWindowSystem::AddOwnWindow(std::wstring className, std::wstring title)
{
    const WindowHandle handle = AddWindow(std::move(className), std::move(title));
    windows_[handle].own = true;
    return handle;
}

void FakeWindowSystem::Destroy(WindowHandle window)
{
    windows_.erase(window);
}

WindowHandle FakeWindowSystem::FindWindowA(std::optional<std::wstring_view> className,
                                           std::optional<std::wstring_view> title)
{
    std::string what;
    if (className)
        what = "class=" + Narrow(*className);
    if (title)
        what += (what.empty() ? "title=" : ", title=") + Narrow(*title);
    calls.push_back("FindWindowA(" + what + ")");
    for (const auto& [handle, window] : windows_) {
        if (window.parent != 0 || window.own)
            continue;  // only other programs' top-level windows are found
        if (className && !SameTextIgnoringCase(*className, window.className))
            continue;
        if (title && !SameTextIgnoringCase(*title, window.title))
            continue;
        return handle;
    }
    return 0;
}

bool FakeWindowSystem::SetParent(WindowHandle child, WindowHandle newParent, AnswerWait wait)
{
    calls.push_back("SetParent(" + Hex(child) + ", " + Hex(newParent) +
                    (wait == AnswerWait::Long ? ", long)" : ")"));
    if (!changesUnderWay.empty()) {
        if (wait == AnswerWait::Long)
            changesUnderWay.emplace_back(child, newParent);
        return false;
    }
    const auto found = windows_.find(child);
    if (found == windows_.end() || !found->second.answers)
        return false;
    if (std::exchange(found->second.stallsInNextChange, false)) {
        changesUnderWay.emplace_back(child, newParent);
        return false;
    }
    found->second.parent = newParent;
    return true;
}

void FakeWindowSystem::FinishChangesUnderWay()
{
    for (const auto& [child, newParent] : changesUnderWay)
        if (const auto found = windows_.find(child); found != windows_.end())
            found->second.parent = newParent;
    changesUnderWay.clear();
}

std::int32_t FakeWindowSystem::IsWindow(WindowHandle window)
{
    calls.push_back("IsWindow(" + Hex(window) + ")");
    return windows_.contains(window) ? 1 : 0;
}

std::int32_t FakeWindowSystem::GetWindowLongA(WindowHandle window, WindowLong index)
{
    const bool exStyle = index == WindowLong::ExStyle;
    calls.push_back("GetWindowLongA(" + Hex(window) + (exStyle ? ", GWL_EXSTYLE)" : ", GWL_HWNDPARENT)"));
    const auto found = windows_.find(window);
    if (found == windows_.end())
        return 0;
    return exStyle ? found->second.exStyle : static_cast<std::int32_t>(found->second.parent);
}

WindowHandle FakeWindowSystem::GetForegroundWindow()
{
    calls.push_back("GetForegroundWindow()");
    return foreground_;
}

bool FakeWindowSystem::Shell_NotifyIconA(NotifyIconMessage message, const NotifyIconDataA& record)
{
    calls.push_back(message == NotifyIconMessage::Add      ? "Shell_NotifyIconA(NIM_ADD)"
                    : message == NotifyIconMessage::Modify ? "Shell_NotifyIconA(NIM_MODIFY)"
                                                           : "Shell_NotifyIconA(NIM_DELETE)");
    notifications.emplace_back(message, record);
    if (auto during = std::exchange(duringNextNotify, nullptr))
        during();
    if (!shellRunning)
        return false;
    const std::pair icon{record.hWnd, record.uID};
    switch (message) {
    case NotifyIconMessage::Add:
        return icons.insert(icon).second;
    case NotifyIconMessage::Modify:
        return icons.contains(icon);
    case NotifyIconMessage::Delete:
        return icons.erase(icon) > 0;
    }
    return false;
}

void FakeWindowSystem::ShowMessageBox(std::wstring_view text, std::wstring_view caption,
                                      MessageBoxIcon icon)
{
    calls.push_back("MessageBox(" + Narrow(text) + ", " + Narrow(caption) + ", " +
                    std::to_string(static_cast<unsigned>(icon)) + ")");
}

void FakeWindowSystem::EndProcess(std::uint32_t code)
{
    calls.push_back("EndProcess(" + std::to_string(code) + ")");
    ++endProcessCalls;
    exitCode = code;
}

MenuChoice FakeWindowSystem::ShowPopupMenu()
{
    calls.push_back("ShowPopupMenu()");
    if (whileMenuOpen)
        whileMenuOpen();
    return menuChoice;
}

void FakeWindowSystem::ShowAboutWindow()
{
    calls.push_back("ShowAboutWindow()");
    about_.Show();
}

void FakeWindowSystem::CloseAboutWindow()
{
    calls.push_back("CloseAboutWindow()");
    about_.Close();
}

bool FakeWindowSystem::AboutSteps::Load()
{
    fake_.calls.push_back("AboutLoad()");
    return !fake_.aboutLoadFails;
}

void FakeWindowSystem::AboutSteps::Show()
{
    fake_.calls.push_back("AboutShow()");
}

void FakeWindowSystem::AboutSteps::Unload()
{
    fake_.calls.push_back("AboutUnload()");
}

void FakeWindowSystem::CloseMainWindow()
{
    calls.push_back("CloseMainWindow()");
    if (onMainWindowClose)
        onMainWindowClose();
}

}  // namespace tarnvale::testing
