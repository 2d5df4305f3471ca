#include "attach/desktop.h"
#include "lister/commands.h"
#include "lister/console/ask.h"
#include "lister/programs/start_tarnvale.h"
#include "lister/programs/window_process.h"
#include "lister/sign_in/keeping.h"
#include "lister/windows/desktop_windows.h"
#include "lister/windows/print_window.h"
#include "platform/win32_window_lookup.h"

namespace tarnvale::lister {

namespace {

constexpr UINT kClickedMessage = WM_APP + 1;
constexpr UINT kCancelMessage = WM_APP + 2;
constexpr std::wstring_view kPrompt = L"Click the window to keep on the desktop (Esc cancels).";
constexpr std::wstring_view kTaskBarClasses[] = {L"Shell_TrayWnd", L"Shell_SecondaryTrayWnd",
                                                  L"NotifyIconOverflowWindow"};

// What the input hooks keep from a press to its release. Hook procedures get no
// context of their own, so this is the one state of the file.
struct HeldInput {
    DWORD thread = 0;
    bool left = false;
    bool right = false;
    bool escape = false;
    POINT leftAt{};
};
HeldInput held;

// Both the press and the release are kept from the window under the cursor, so that it
// sees no click at all; the pick is made at the release.
LRESULT CALLBACK OnMouse(int code, WPARAM message, LPARAM data)
{
    if (code == HC_ACTION) {
        const MSLLHOOKSTRUCT& mouse = *reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
        switch (message) {
        case WM_LBUTTONDOWN:
            held.left = true;
            held.leftAt = mouse.pt;
            return 1;
        case WM_LBUTTONUP:
            if (!held.left)
                break;  // pressed before we watched: not ours to keep
            held.left = false;
            PostThreadMessageW(held.thread, kClickedMessage,
                               static_cast<WPARAM>(static_cast<LONG_PTR>(held.leftAt.x)),
                               static_cast<LPARAM>(held.leftAt.y));
            return 1;
        case WM_RBUTTONDOWN:
            held.right = true;
            return 1;
        case WM_RBUTTONUP:
            if (!held.right)
                break;
            held.right = false;
            PostThreadMessageW(held.thread, kCancelMessage, 0, 0);
            return 1;
        default:
            break;
        }
    }
    return CallNextHookEx(nullptr, code, message, data);
}

// Esc cancels wherever the keyboard focus is, and reaches no window.
LRESULT CALLBACK OnKey(int code, WPARAM message, LPARAM data)
{
    if (code == HC_ACTION &&
        reinterpret_cast<const KBDLLHOOKSTRUCT*>(data)->vkCode == VK_ESCAPE) {
        if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
            held.escape = true;
            return 1;
        }
        if (held.escape && (message == WM_KEYUP || message == WM_SYSKEYUP)) {
            held.escape = false;
            PostThreadMessageW(held.thread, kCancelMessage, 0, 0);
            return 1;
        }
    }
    return CallNextHookEx(nullptr, code, message, data);
}

class InputHook {
public:
    InputHook(int kind, HOOKPROC procedure)
        : hook_(SetWindowsHookExW(kind, procedure, GetModuleHandleW(nullptr), 0))
    {
    }
    ~InputHook()
    {
        if (hook_)
            UnhookWindowsHookEx(hook_);
    }
    InputHook(const InputHook&) = delete;
    InputHook& operator=(const InputHook&) = delete;
    explicit operator bool() const { return hook_ != nullptr; }

private:
    HHOOK hook_;
};

// The ancestor of `window` whose parent is `root`; none for `root` itself.
HWND ChildOf(HWND root, HWND window)
{
    while (window && window != root) {
        const HWND parent = GetAncestor(window, GA_PARENT);
        if (parent == root)
            return window;
        window = parent;
    }
    return nullptr;
}

enum class Verdict { Refused, Attached, Picked, Cancelled, CannotWatch };

struct Judged {
    Verdict verdict = Verdict::Refused;
    HWND window = nullptr;
    const wchar_t* why = L"";
};

// What the click at `at` picked: the top-level window under it, a window attached to
// the desktop already, or one that Tarnvale must not be given.
Judged Judge(POINT at)
{
    const HWND hit = WindowFromPoint(at);
    const HWND root = hit ? GetAncestor(hit, GA_ROOT) : nullptr;
    if (!root || root == GetDesktopWindow())
        return {Verdict::Refused, nullptr, L"There is no window there."};
    const HWND desktop = FindDesktopWindow();
    if (root == desktop || root == GetShellWindow() || IsShellWindow(desktop, root)) {
        // A window attached to the desktop has the Program Manager window for its root.
        if (const HWND child = ChildOf(root, hit); root == desktop && IsAttached(desktop, child))
            return {Verdict::Attached, child, L""};
        return {Verdict::Refused, nullptr, L"That is the desktop itself."};
    }
    for (const std::wstring_view taskBar : kTaskBarClasses)
        if (HasClass(root, taskBar))
            return {Verdict::Refused, nullptr, L"That is the task bar."};
    if (const HWND console = GetConsoleWindow();
        console && (root == console || root == GetAncestor(console, GA_ROOTOWNER)))
        return {Verdict::Refused, nullptr, L"That is this console."};
    if (FindRunningCopies().Owns(root))
        return {Verdict::Refused, nullptr, L"That is a window of Tarnvale's own."};
    return {Verdict::Picked, root, L""};
}

// Waits for a click that picks something, telling the refused ones.
Judged WaitForPick(Output& out)
{
    held = HeldInput{};
    held.thread = GetCurrentThreadId();
    MSG message;
    // Makes the thread's message queue, which the hooks post to.
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    const InputHook mouse(WH_MOUSE_LL, OnMouse);
    const InputHook keys(WH_KEYBOARD_LL, OnKey);
    if (!mouse || !keys) {
        out.Text("Cannot watch the mouse and keyboard here: nothing was started.").Line();
        return {Verdict::CannotWatch};
    }
    out.Text(kPrompt).Line();
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == kCancelMessage)
            break;
        if (message.message != kClickedMessage) {
            DispatchMessageW(&message);
            continue;
        }
        const POINT at{static_cast<LONG>(static_cast<LONG_PTR>(message.wParam)),
                       static_cast<LONG>(message.lParam)};
        const Judged judged = Judge(at);
        if (judged.verdict != Verdict::Refused)
            return judged;
        out.Text(judged.why).Text(" ").Text(kPrompt).Line();
    }
    out.Text("Cancelled: nothing was started.").Line();
    return {Verdict::Cancelled};
}

int StartFor(Output& out, HWND window)
{
    WindowTexts texts;
    ReadTexts(window, texts);
    PrintTexts(out, texts);
    Win32WindowLookup windows;
    const std::wstring_view text = ChooseText(windows, window, texts, Passing::Direct);
    if (text.empty()) {
        out.Text("No text names this window for tarnvale.exe: ").Text(WhyNoText(windows, texts))
            .Text(".").Line().Text("Nothing was started.").Line();
        return kNotStarted;
    }
    // A Tarnvale that Windows will not let change the window would hold an icon and nothing.
    WindowProgram program;
    ReadWindowProgram(window, program);
    if (JudgeNow(program.rights, ReadOwnRights()) != KeepVerdict::Fine) {
        SayRunAsAdministrator(out);
        out.Text("Nothing was started.").Line();
        return kNotStarted;
    }
    DWORD processId = 0;
    if (!StartTarnvale(text, processId)) {
        const DWORD error = GetLastError();
        out.Text("Could not start tarnvale.exe from this program's folder (error ")
            .Number(error).Text(").").Line();
        return kNotStarted;
    }
    out.Text("Started tarnvale.exe with the text ").Bracketed(text).Text(", process id ")
        .Number(processId).Text(".").Line();
    if (CannotKeepAtSignIn(out, program) ||
        !AskYesNo(out, "Keep it there at every sign-in?"))
        return kDone;
    return KeepAtSignIn(out, text, texts.titleCut ? std::wstring_view{} : texts.Title(), window,
                        program);
}

int TellAttached(Output& out, HWND window)
{
    out.Text("That window is attached to the desktop already:").Line();
    PrintWindow(out, window);
    out.Text("Nothing was started. tarnvale-list lists it among the attached windows, with")
        .Line().Text("the command that gives it back.").Line();
    return kNotStarted;
}

}  // namespace

int PickWindow(Output& out)
{
    const Judged picked = WaitForPick(out);
    switch (picked.verdict) {
    case Verdict::Picked:
        return StartFor(out, picked.window);
    case Verdict::Attached:
        return TellAttached(out, picked.window);
    case Verdict::CannotWatch:
        return kNotStarted;
    case Verdict::Refused:
    case Verdict::Cancelled:
        break;
    }
    return kCancelled;
}

}  // namespace tarnvale::lister
