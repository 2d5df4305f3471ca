#include "harness.h"

#include <cstdio>
#include <utility>

namespace e2e {

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs, DWORD pollMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (done())
            return true;
        if (GetTickCount64() >= deadline)
            return false;
        Sleep(pollMs);
    }
}

bool HoldsFor(const std::function<bool()>& holds, DWORD watchMs)
{
    return !WaitUntil([&] { return !holds(); }, watchMs);
}

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

ChildProcess ChildProcess::Start(const std::wstring& commandLine)
{
    std::wstring mutableLine = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ChildProcess child;
    if (CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &info)) {
        CloseHandle(info.hThread);
        child.process_ = info.hProcess;
        child.id_ = info.dwProcessId;
    }
    return child;
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)), id_(std::exchange(other.id_, 0))
{
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept
{
    if (this != &other) {
        Kill();
        process_ = std::exchange(other.process_, nullptr);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

ChildProcess::~ChildProcess()
{
    Kill();
}

bool ChildProcess::Exited(DWORD waitMs) const
{
    return !process_ || WaitForSingleObject(process_, waitMs) == WAIT_OBJECT_0;
}

DWORD ChildProcess::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (process_)
        GetExitCodeProcess(process_, &code);
    return code;
}

bool ChildProcess::WaitForIdle(DWORD waitMs) const
{
    return process_ && WaitForInputIdle(process_, waitMs) == 0;
}

void ChildProcess::Kill()
{
    if (!process_)
        return;
    if (!Exited()) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
    process_ = nullptr;
}

namespace {

DWORD WINAPI RunCall(void* data)
{
    // Owned here: the caller may have stopped waiting.
    const auto* call = static_cast<std::function<bool()>*>(data);
    const bool result = (*call)();
    delete call;
    return result ? 1 : 0;
}

}  // namespace

bool CallWithin(std::function<bool()> call, DWORD waitMs)
{
    auto* owned = new std::function<bool()>(std::move(call));
    const HANDLE thread = CreateThread(nullptr, 0, RunCall, owned, 0, nullptr);
    if (!thread) {
        delete owned;
        return false;
    }
    DWORD result = 0;
    const bool returned = WaitForSingleObject(thread, waitMs) == WAIT_OBJECT_0 &&
                          GetExitCodeThread(thread, &result);
    CloseHandle(thread);
    return returned && result == 1;
}

bool SetParentWithin(HWND window, HWND parent, DWORD waitMs)
{
    return CallWithin(
        [=] {
            SetParent(window, parent);
            return true;
        },
        waitMs);
}

bool RunXDoTool(const std::wstring& arguments)
{
    // Wine forks to start a Unix program: bounded, should the fork never get to exec.
    constexpr DWORD kStartLimitMs = 10000;
    return CallWithin(
        [line = L"/usr/bin/xdotool " + arguments]() mutable {
            STARTUPINFOW startup{};
            startup.cb = sizeof startup;
            PROCESS_INFORMATION info{};
            if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                nullptr, &startup, &info))
                return false;
            for (const HANDLE handle : {info.hThread, info.hProcess})
                if (handle && handle != INVALID_HANDLE_VALUE)
                    CloseHandle(handle);
            return true;
        },
        kStartLimitMs);
}

std::wstring Quoted(const std::wstring& path)
{
    return L"\"" + path + L"\"";
}

HWND FindDesktop()
{
    return FindWindowW(L"Progman", nullptr);
}

HWND FindTarget(const std::wstring& className)
{
    if (const HWND topLevel = FindWindowW(className.c_str(), nullptr))
        return topLevel;
    const HWND desktop = FindDesktop();
    return desktop ? FindWindowExW(desktop, nullptr, className.c_str(), nullptr) : nullptr;
}

namespace {

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindowOfProcess(HWND window, LPARAM context)
{
    auto& search = *reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.processId)
        search.found.push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindowsOf(DWORD processId)
{
    WindowSearch search{processId, {}};
    EnumWindows(CollectWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindWindowOf(DWORD processId, const std::wstring& className)
{
    for (const HWND window : TopLevelWindowsOf(processId))
        if (ClassOf(window) == className)
            return window;
    return nullptr;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[256] = {};
    const int length = GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? length : 0);
}

std::wstring ProgramOf(HWND window)
{
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    wchar_t path[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    if (!process || !QueryFullProcessImageNameW(process, 0, path, &length))
        length = 0;
    if (process)
        CloseHandle(process);
    return {path, length};
}

std::wstring TextOf(HWND window)
{
    wchar_t text[1024] = {};
    const int length = GetWindowTextW(window, text, 1024);
    return std::wstring(text, length > 0 ? length : 0);
}

bool IsTopmost(HWND window)
{
    return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

std::string ParentOf(HWND window)
{
    if (!window || !IsWindow(window))
        return "no window";
    const HWND parent = GetAncestor(window, GA_PARENT);
    if (parent == GetDesktopWindow())
        return "none";
    if (parent && parent == FindDesktop())
        return "progman";
    char text[32];
    std::snprintf(text, sizeof text, "%p", static_cast<void*>(parent));
    return text;
}

namespace {

std::string DescribeRect(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    char text[64];
    std::snprintf(text, sizeof text, "%ld,%ld %ldx%ld", rect.left, rect.top,
                  rect.right - rect.left, rect.bottom - rect.top);
    return text;
}

}  // namespace

std::string Describe(HWND window)
{
    if (!window || !IsWindow(window))
        return "(no window)";
    char handle[32];
    std::snprintf(handle, sizeof handle, "%p", static_cast<void*>(window));
    return std::string(handle) + " class=\"" + Narrow(ClassOf(window)) + "\" title=\"" +
           Narrow(TextOf(window)) + "\" parent=" + ParentOf(window) +
           (IsTopmost(window) ? " topmost" : "") +
           (GetForegroundWindow() == window ? " foreground" : "") +
           (IsWindowVisible(window) ? "" : " hidden") + " rect=" + DescribeRect(window);
}

LONG_PTR ParentChangesSeenBy(HWND target)
{
    return GetWindowLongPtrW(target, GWLP_USERDATA);
}

bool Answers(HWND window, UINT timeoutMs)
{
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &ignored) != 0;
}

std::string Narrow(std::wstring_view text)
{
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

std::wstring Widen(std::string_view text)
{
    if (text.empty())
        return {};
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
    return out;
}

}  // namespace e2e
