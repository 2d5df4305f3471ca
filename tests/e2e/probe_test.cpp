// probe.exe, which the demonstration's steps run: a step that fails says what it saw,
// so that a failure of the demonstration names its cause.
#include "captured_process.h"
#include "session.h"

namespace e2e {
namespace {

class Probe : public Session {
protected:
    // The probe run to its end: its exit code and its one line.
    static CapturedProcess Run(const std::wstring& arguments)
    {
        CapturedProcess probe =
            CapturedProcess::Start(Quoted(ProgramFolder() + L"\\probe.exe") + L" " + arguments);
        EXPECT_TRUE(probe.WaitForExit(kStartTimeoutMs)) << probe.Output();
        return probe;
    }
};

TEST_F(Probe, AWaitThatFailsShowsTheWindowAndItsParent)
{
    ChildProcess target = StartTarget(L"E2eProbeSeen");
    CapturedProcess probe = Run(L"wait-parent E2eProbeSeen progman 200");
    EXPECT_EQ(probe.ExitCode(), 1u);
    const std::string& line = probe.Output();
    EXPECT_EQ(line.rfind("FAILED: parent not progman after 200 ms: ", 0), 0u) << line;
    EXPECT_NE(line.find("class=\"E2eProbeSeen\""), std::string::npos) << line;
    EXPECT_NE(line.find("parent=none"), std::string::npos) << line;

    CapturedProcess reached = Run(L"wait-parent E2eProbeSeen none 200");
    EXPECT_EQ(reached.ExitCode(), 0u) << reached.Output();
    EXPECT_EQ(reached.Output().rfind("ok: ", 0), 0u) << reached.Output();
}

TEST_F(Probe, NoWindowIsSaidAsSuch)
{
    CapturedProcess probe = Run(L"wait-parent E2eProbeNoSuchWindow none 100");
    EXPECT_EQ(probe.ExitCode(), 1u);
    EXPECT_NE(probe.Output().find("FAILED: parent not none after 100 ms: no window of class "
                                  "E2eProbeNoSuchWindow, top-level or attached"),
              std::string::npos) << probe.Output();

    CapturedProcess close = Run(L"close-main");
    EXPECT_EQ(close.ExitCode(), 1u);
    EXPECT_NE(close.Output().find("FAILED: no Tarnvale main window to send WM_CLOSE to"),
              std::string::npos) << close.Output();
}

}  // namespace
}  // namespace e2e
