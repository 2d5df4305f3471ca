#pragma once

// A console program run with its output, standard and error, read through a pipe while
// it runs, for cases that watch what it says before it ends.
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

class CapturedProcess {
public:
    CapturedProcess() = default;
    // `commandLine` goes to CreateProcessW as it is; `flags` are its creation flags.
    static CapturedProcess Start(const std::wstring& commandLine, DWORD flags = CREATE_NO_WINDOW);
    // The same, with `input` for its standard input, which then ends; without, it has none.
    static CapturedProcess StartWithInput(const std::wstring& commandLine, const std::string& input);
    // Without a console window, in `folder` rather than the suite's own.
    static CapturedProcess StartIn(const std::wstring& folder, const std::wstring& commandLine);
    CapturedProcess(CapturedProcess&& other) noexcept;
    CapturedProcess& operator=(CapturedProcess&& other) noexcept;
    ~CapturedProcess();

    bool started() const { return process_ != nullptr; }
    DWORD id() const { return id_; }
    HANDLE handle() const { return process_; }
    // Reads what has come so far: the output as it came (UTF-8).
    const std::string& Output();
    // Whether `text` came within `timeoutMs`.
    bool WaitForOutput(const std::string& text, DWORD timeoutMs);
    // Whether it ended within `timeoutMs`, its output read to the end meanwhile.
    bool WaitForExit(DWORD timeoutMs);
    DWORD ExitCode() const;
    // The output split at CR LF, blanks kept.
    std::vector<std::wstring> Lines();
    void Kill();

private:
    static CapturedProcess Start(const std::wstring& commandLine, DWORD flags, HANDLE input,
                                 const wchar_t* folder = nullptr);

    HANDLE process_ = nullptr;
    HANDLE output_ = nullptr;
    DWORD id_ = 0;
    std::string text_;
};

}  // namespace e2e
