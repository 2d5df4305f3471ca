#include "platform/win32_change_parent.h"

namespace tarnvale {

namespace {

// A change of parent waits on the window's thread: under Wine that thread makes the
// change, and on Windows the change sends it messages, with no time limit either way. So
// the change runs on a thread of its own, and the caller waits for it this long at most.
// A tick tries again 50 ms later; giving the window back at Exit or at the end of the
// session is its last chance, worth a wait, while the program still answers Windows
// within its 5 s.
constexpr UINT kBriefAnswerMs = 200;
constexpr DWORD kBriefLimitMs = 300;
constexpr UINT kLongAnswerMs = 3000;
constexpr DWORD kLongLimitMs = 4000;

// A new parent reads the window's position afresh in its own client coordinates, and the
// desktop's Program Manager window starts at the virtual screen's corner, which is
// negative when a monitor lies left of or above the primary one: put the window back
// where it was on the screen. The move is posted, not waited for.
void KeepScreenPosition(HWND window, HWND newParent, const RECT& before)
{
    // A minimized window keeps its place in its restore position, not on the screen.
    RECT after{};
    if (IsIconic(window) || !GetWindowRect(window, &after) ||
        (after.left == before.left && after.top == before.top))
        return;
    POINT corner{before.left, before.top};
    if (newParent)
        MapWindowPoints(HWND_DESKTOP, newParent, &corner, 1);
    SetWindowPos(window, nullptr, corner.x, corner.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
}

ParentChange ChangeNow(HWND window, HWND newParent, UINT answerMs)
{
    // A program that does not read its messages, or that Windows calls hung, would hold
    // the change until it answers: do not start one.
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, answerMs, &ignored))
        return IsWindow(window) ? ParentChange::NotAnswering : ParentChange::Refused;
    RECT before{};
    const bool placed = GetWindowRect(window, &before) != FALSE;
    if (!::SetParent(window, newParent))
        return ParentChange::Refused;
    if (placed)
        KeepScreenPosition(window, newParent, before);
    return ParentChange::Done;
}

struct ChangeJob {
    HWND window;
    HWND newParent;
    UINT answerMs;
    HANDLE previous;  // the change before, finished first; the job's own handle
};

// The result is the thread's exit code. The job is the thread's from the start, so that
// a caller that stopped waiting leaves nothing behind that the thread still reads.
DWORD WINAPI RunChange(void* context)
{
    const ChangeJob job = *static_cast<ChangeJob*>(context);
    HeapFree(GetProcessHeap(), 0, context);
    if (job.previous) {
        WaitForSingleObject(job.previous, INFINITE);
        CloseHandle(job.previous);
    }
    return static_cast<DWORD>(ChangeNow(job.window, job.newParent, job.answerMs));
}

bool StillRunning(HANDLE thread)
{
    return thread && WaitForSingleObject(thread, 0) == WAIT_TIMEOUT;
}

}  // namespace

ParentChanger::~ParentChanger()
{
    // A change still under way goes on without us; its thread ends with it or the process.
    if (lastChange_)
        CloseHandle(lastChange_);
}

ParentChange ParentChanger::Change(HWND window, HWND newParent, AnswerWait wait)
{
    const bool brief = wait == AnswerWait::Brief;
    if (brief && StillRunning(lastChange_))
        return ParentChange::Skipped;
    auto* job = static_cast<ChangeJob*>(HeapAlloc(GetProcessHeap(), 0, sizeof(ChangeJob)));
    if (!job)
        return ParentChange::CouldNotTry;
    *job = {window, newParent, brief ? kBriefAnswerMs : kLongAnswerMs, nullptr};
    if (StillRunning(lastChange_))
        DuplicateHandle(GetCurrentProcess(), lastChange_, GetCurrentProcess(), &job->previous,
                        SYNCHRONIZE, FALSE, 0);
    // The default stack, not a small one: SetParent and SetWindowPos run the in-context
    // event hooks of accessibility tools, input methods and window managers on this
    // thread, and an overflow there would end the program with the window attached.
    const HANDLE thread = CreateThread(nullptr, 0, RunChange, job, 0, nullptr);
    if (!thread) {
        if (job->previous)
            CloseHandle(job->previous);
        HeapFree(GetProcessHeap(), 0, job);
        return ParentChange::CouldNotTry;
    }
    if (lastChange_)
        CloseHandle(lastChange_);
    lastChange_ = thread;

    // A wait that handles no message, so that none of the caller's handlers runs inside a
    // change (the seam promises so); messages sent to it wait until it is back.
    DWORD result = 0;
    if (WaitForSingleObject(thread, brief ? kBriefLimitMs : kLongLimitMs) != WAIT_OBJECT_0 ||
        !GetExitCodeThread(thread, &result))
        return ParentChange::Unfinished;
    return static_cast<ParentChange>(result);
}

}  // namespace tarnvale
