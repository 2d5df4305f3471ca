// Reads and changes window state from outside, one question or action per run, and
// prints one line: what the demonstration shows a person.
//   probe wait-parent CLASS progman|none TIMEOUT_MS
//   probe close-main        (WM_CLOSE to every Tarnvale main window)
#include <cstdio>
#include <string>

#include "harness/harness.h"

namespace {

int WaitParent(const std::wstring& className, const std::string& parent, DWORD timeoutMs)
{
    const bool reached = e2e::WaitUntil(
        [&] { return e2e::ParentOf(e2e::FindTarget(className)) == parent; }, timeoutMs);
    std::printf("%s: %s\n", reached ? "ok" : "FAILED",
                e2e::Describe(e2e::FindTarget(className)).c_str());
    return reached ? 0 : 1;
}

int CloseMain()
{
    int closed = 0;
    for (HWND window = FindWindowW(L"TarnvaleMain", nullptr); window;
         window = FindWindowW(L"TarnvaleMain", nullptr)) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        ++closed;
        e2e::WaitUntil([&] { return !IsWindow(window); }, 10000);
        if (IsWindow(window))
            break;
    }
    std::printf("sent WM_CLOSE to %d Tarnvale main window(s)\n", closed);
    return closed > 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"wait-parent" && argc == 5)
        return WaitParent(argv[2], e2e::Narrow(argv[3]), static_cast<DWORD>(_wtoi(argv[4])));
    if (command == L"close-main")
        return CloseMain();
    std::fprintf(stderr, "usage: probe wait-parent CLASS progman|none TIMEOUT_MS | close-main\n");
    return 2;
}
