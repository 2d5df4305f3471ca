#include "soak_desktop.h"

namespace soak {

namespace {

constexpr DWORD kStartMs = 20000;  // a Wine program may take seconds to start
constexpr DWORD kEndMs = 10000;

}  // namespace

Desktop::Desktop(int targets) : folder_(e2e::ProgramFolder())
{
    for (int i = 0; i < targets; ++i)
        targets_.push_back({L"TarnvaleSoakTarget" + std::to_wstring(i), {}});
}

bool Desktop::StartShell()
{
    shell_ = e2e::ChildProcess::Start(e2e::Quoted(folder_ + L"\\fake_shell.exe"));
    return shell_.started() &&
           e2e::WaitUntil([] { return e2e::FindDesktop() != nullptr; }, kStartMs);
}

bool Desktop::EndShell()
{
    if (const HWND shell = e2e::FindDesktop())
        PostMessageW(shell, WM_CLOSE, 0, 0);
    return shell_.Exited(kEndMs);
}

bool Desktop::StartTarget(int index)
{
    Target& one = target(index);
    const std::wstring position = L" --x " + std::to_wstring(40 + 60 * index) + L" --y " +
                                  std::to_wstring(40 + 30 * index);
    one.process = e2e::ChildProcess::Start(
        e2e::Quoted(folder_ + L"\\target_app.exe") + L" --class " + one.className +
        L" --title \"Tarnvale soak target " + std::to_wstring(index) + L"\" --reopen-when-gone" +
        position);
    return one.process.started() &&
           e2e::WaitUntil([&] { return e2e::FindWindowOf(one.process.id(), one.className); },
                          kStartMs);
}

void Desktop::KillTarget(int index)
{
    target(index).process.Kill();
}

bool Desktop::StartCopy(Copy& copy, int target)
{
    copy.target = target;
    copy.process = e2e::ChildProcess::Start(e2e::Quoted(folder_ + L"\\tarnvale.exe") + L" " +
                                            this->target(target).className);
    copy.main = nullptr;
    return copy.process.started() && e2e::WaitUntil(
                                         [&] {
                                             copy.main =
                                                 e2e::FindWindowOf(copy.process.id(), kMainClass);
                                             return copy.main != nullptr;
                                         },
                                         kStartMs);
}

Frozen::Frozen(HWND window)
{
    const DWORD id = GetWindowThreadProcessId(window, nullptr);
    thread_ = id ? OpenThread(THREAD_SUSPEND_RESUME, FALSE, id) : nullptr;
    if (thread_ && SuspendThread(thread_) == static_cast<DWORD>(-1)) {
        CloseHandle(thread_);
        thread_ = nullptr;
    }
}

Frozen::~Frozen()
{
    if (thread_) {
        ResumeThread(thread_);
        CloseHandle(thread_);
    }
}

}  // namespace soak
