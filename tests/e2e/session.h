#pragma once

// The shared ground of the end-to-end cases: the stand-in shell, and starting the
// programs under test from the folder they were built into.
#include <gtest/gtest.h>

#include <string>

#include "harness/harness.h"

namespace e2e {

inline constexpr wchar_t kMainWindowClass[] = L"TarnvaleMain";
// Generous: a Wine GUI program takes 2 to 3 s to start here, more on a loaded machine.
inline constexpr DWORD kStartTimeoutMs = 20000;

class Session : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

    static ChildProcess StartShell();
    // Starts the target fixture and waits for its window of `className`.
    static ChildProcess StartTarget(const std::wstring& className, const std::wstring& options = L"");
    // Starts tarnvale.exe with `targetText` after the program name and one space.
    static ChildProcess StartTarnvale(const std::wstring& targetText);
    static ChildProcess StartTarnvaleWithCommandLine(const std::wstring& commandLine);
    static std::wstring TarnvalePath();

    // Waits for the program's hidden main window, that is for its start-up to be done.
    static HWND WaitForMainWindow(const ChildProcess& tarnvale);
    static bool WaitForParent(const std::wstring& className, const std::string& parent,
                              DWORD timeoutMs = kStartTimeoutMs);

    static ChildProcess shell_;
};

}  // namespace e2e
