#include "attach/desktop.h"
#include "lister/commands.h"
#include "lister/programs/start_program.h"
#include "lister/programs/start_tarnvale.h"
#include "lister/programs/window_process.h"
#include "lister/sign_in/screen_place.h"
#include "lister/sign_in/shortcut_fields.h"
#include "lister/windows/await_window.h"
#include "lister/windows/desktop_windows.h"
#include "platform/win32_handles.h"
#include "platform/win32_heap_buffer.h"
#include "platform/win32_window_lookup.h"
#include "text/code_point.h"

namespace tarnvale::lister {

namespace {

constexpr wchar_t kCaption[] = L"Tarnvale at sign-in";
// Long titles and paths are cut for the message box, which shows about 2,000 characters.
constexpr std::size_t kMostShownUnits = 400;
// Other copies of the program may be opening the window themselves (one that allows a
// single copy does so for a second start too): they get this long before it is started.
constexpr ULONGLONG kOtherCopiesWaitMs = 10000;
// A program places its window itself as it starts, then waits for input: ours comes after.
constexpr DWORD kStartedIdleWaitMs = 5000;
constexpr DWORD kPlaceWaitMs = 2000;

// Nobody reads a console at sign-in: what went wrong is shown in a message box, with what
// stops it first.
class Message {
public:
    Message()
    {
        out_.Text("To stop this, run tarnvale-list --forget with the window's text or title, or "
                  "switch the item off in Task Manager's Startup tab.\n\n");
    }
    Output& out() { return out_; }
    // A window's text or a path, cut short where it would crowd out the rest.
    Message& Shortened(std::wstring_view text, bool bracketed)
    {
        const std::wstring_view shown = WholeCharactersWithin(text, kMostShownUnits);
        if (bracketed)
            out_.Bracketed(shown);
        else
            out_.Unbracketed(shown);
        if (shown.size() < text.size())
            out_.Text(" (cut short)");
        return *this;
    }
    void Show()
    {
        MessageBoxW(nullptr, out_.Buffered(), kCaption, MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
    }

private:
    Output out_;
};

// Once it is idle after its start, so that its own placing comes first.
void WaitForItsProgram(HWND window)
{
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    if (const HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, id)) {
        WaitForInputIdle(process, kStartedIdleWaitMs);
        CloseHandle(process);
    }
}

// Starts the program as it was started: its command line, in its folder. A folder that
// is gone gives way to the program's own.
bool StartItsProgram(const ShortcutFields& fields)
{
    DWORD processId = 0;
    if (StartProgram(fields.program, fields.commandLine, fields.folder, processId))
        return true;
    return !fields.folder.empty() && GetLastError() == ERROR_DIRECTORY &&
           StartProgram(fields.program, fields.commandLine, {}, processId);
}

}  // namespace

int RunAtSignIn(std::wstring_view arguments)
{
    // Out of the way: the console the shortcut opened closes with nobody left on it.
    FreeConsole();
    // Decoded in place: the fields point into this copy.
    HeapText decoded(arguments.size());
    ShortcutFields fields;
    if (!decoded)
        return kNotStarted;
    for (std::size_t i = 0; i < arguments.size(); ++i)
        decoded.data()[i] = arguments[i];
    if (!DecodeArguments(decoded.span(), fields)) {
        Message message;
        message.out().Text("A shortcut in the Startup folder runs tarnvale-list with arguments it "
                           "cannot read, cut short or changed: nothing was started.");
        message.Show();
        return kWrongOption;
    }
    Win32WindowLookup windows;
    // A Tarnvale keeps it already.
    if (FindAttachedWindow(FindDesktopWindow(), fields.text))
        return kDone;
    // Decided by the window, not by its program: other windows of it may be open.
    WindowHandle window = FindTargetWindow(windows, fields.text);
    if (window == 0 && !fields.program.empty()) {
        // A copy started with this very command line (one that starts itself at sign-in)
        // opens it; others may; with none, the program is started at once.
        const ProgramProcesses running = FindProgramProcesses(fields.program, fields.commandLine);
        if (running.withCommandLine == 0) {
            if (running.others > 0)
                window = AwaitWindow(windows, fields.text, kOtherCopiesWaitMs);
            if (window == 0 && !StartItsProgram(fields)) {
                const DWORD error = GetLastError();
                Message message;
                message.out().Text("Could not start ");
                message.Shortened(fields.program, false).out().Text(" (error ").Number(error)
                    .Text(") for the window ");
                message.Shortened(fields.text, true).out().Text(".");
                message.Show();
                return kNotStarted;
            }
        }
    }
    if (window == 0)
        window = AwaitWindow(windows, fields.text, kSignInWaitMinutes * 60000ULL);
    if (window == 0) {
        Message message;
        message.out().Text("No window with the text ");
        message.Shortened(fields.text, true).out().Text(" came within ").Number(kSignInWaitMinutes)
            .Text(" minutes of sign-in: Tarnvale was not started.");
        message.Show();
        return kNothingFound;
    }
    // Where the user left it; Tarnvale keeps the place as it attaches it.
    if (fields.place.known) {
        WaitForItsProgram(ToHwnd(window));
        PutWindowAt(ToHwnd(window), fields.place, kPlaceWaitMs);
    }
    DWORD processId = 0;
    if (!StartTarnvale(fields.text, processId)) {
        const DWORD error = GetLastError();
        Message message;
        message.out().Text("Could not start tarnvale.exe from the lister's folder (error ")
            .Number(error).Text(") for the window ");
        message.Shortened(fields.text, true).out().Text(".");
        message.Show();
        return kNotStarted;
    }
    return kDone;
}

}  // namespace tarnvale::lister
