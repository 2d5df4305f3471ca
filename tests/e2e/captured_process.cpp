#include "captured_process.h"

#include <utility>

#include "harness/harness.h"

namespace e2e {

CapturedProcess CapturedProcess::Start(const std::wstring& commandLine, DWORD flags)
{
    return Start(commandLine, flags, nullptr);
}

CapturedProcess CapturedProcess::StartIn(const std::wstring& folder, const std::wstring& commandLine)
{
    return Start(commandLine, CREATE_NO_WINDOW, nullptr, folder.c_str());
}

CapturedProcess CapturedProcess::StartWithInput(const std::wstring& commandLine,
                                                const std::string& input)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return {};
    SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0);
    DWORD written = 0;
    WriteFile(writeEnd, input.data(), static_cast<DWORD>(input.size()), &written, nullptr);
    CloseHandle(writeEnd);
    CapturedProcess child = Start(commandLine, CREATE_NO_WINDOW, readEnd);
    CloseHandle(readEnd);
    return child;
}

CapturedProcess CapturedProcess::Start(const std::wstring& commandLine, DWORD flags, HANDLE input,
                                       const wchar_t* folder)
{
    CapturedProcess child;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&child.output_, &writeEnd, &inherit, 0))
        return child;
    SetHandleInformation(child.output_, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION info{};
    std::wstring mutableLine = commandLine;
    if (CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, flags, nullptr,
                       folder, &startup, &info)) {
        CloseHandle(info.hThread);
        child.process_ = info.hProcess;
        child.id_ = info.dwProcessId;
    }
    CloseHandle(writeEnd);
    return child;
}

CapturedProcess::CapturedProcess(CapturedProcess&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)),
      output_(std::exchange(other.output_, nullptr)), id_(std::exchange(other.id_, 0)),
      text_(std::move(other.text_))
{
}

CapturedProcess& CapturedProcess::operator=(CapturedProcess&& other) noexcept
{
    if (this != &other) {
        Kill();
        process_ = std::exchange(other.process_, nullptr);
        output_ = std::exchange(other.output_, nullptr);
        id_ = std::exchange(other.id_, 0);
        text_ = std::move(other.text_);
    }
    return *this;
}

CapturedProcess::~CapturedProcess()
{
    Kill();
}

// The pipe is drained without waiting for its end: a Wine service started meanwhile may
// inherit it and hold it open.
const std::string& CapturedProcess::Output()
{
    DWORD available = 0;
    while (output_ && PeekNamedPipe(output_, nullptr, 0, nullptr, &available, nullptr) &&
           available) {
        char chunk[4096];
        DWORD got = 0;
        if (!ReadFile(output_, chunk, sizeof chunk, &got, nullptr) || got == 0)
            break;
        text_.append(chunk, got);
    }
    return text_;
}

bool CapturedProcess::WaitForOutput(const std::string& text, DWORD timeoutMs)
{
    return WaitUntil([&] { return Output().find(text) != std::string::npos; }, timeoutMs, 10);
}

bool CapturedProcess::WaitForExit(DWORD timeoutMs)
{
    const bool ended = WaitUntil(
        [&] {
            Output();
            return !process_ || WaitForSingleObject(process_, 0) == WAIT_OBJECT_0;
        },
        timeoutMs, 10);
    Output();
    return ended;
}

DWORD CapturedProcess::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (process_)
        GetExitCodeProcess(process_, &code);
    return code;
}

std::vector<std::wstring> CapturedProcess::Lines()
{
    const std::wstring text = Widen(Output());
    std::vector<std::wstring> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find(L"\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::wstring::npos ? text.size() : end + 2;
    }
    return lines;
}

void CapturedProcess::Kill()
{
    if (process_) {
        if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) {
            TerminateProcess(process_, 99);
            WaitForSingleObject(process_, 5000);
        }
        CloseHandle(process_);
        process_ = nullptr;
    }
    if (output_) {
        CloseHandle(output_);
        output_ = nullptr;
    }
}

}  // namespace e2e
