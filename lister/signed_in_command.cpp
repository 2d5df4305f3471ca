#include "attach/desktop.h"
#include "lister/commands.h"
#include "lister/desktop_windows.h"
#include "lister/heap_text.h"
#include "lister/lookup_window_system.h"
#include "lister/sign_in_fields.h"
#include "lister/start_tarnvale.h"

namespace tarnvale::lister {

namespace {

constexpr wchar_t kCaption[] = L"Tarnvale at sign-in";

// Nobody reads a console at sign-in: what went wrong is shown in a message box.
void Tell(Output& message)
{
    message.Text("To stop this, run tarnvale-list --forget with the text, or switch the item off "
                 "in Task Manager's Startup tab.");
    MessageBoxW(nullptr, message.Kept(), kCaption, MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
}

// Starts the program with the command line it had, from its own folder, through no shell.
bool StartProgram(const SignInFields& fields)
{
    const std::size_t folderLength = fields.program.find_last_of(L"\\/");
    HeapText room(fields.program.size() + 1 + fields.commandLine.size() + 1 +
                  fields.program.size() + 1);
    if (!room) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    wchar_t* at = room.data();
    const auto terminated = [&](std::wstring_view text) {
        wchar_t* const start = at;
        for (const wchar_t c : text)
            *at++ = c;
        *at++ = L'\0';
        return start;
    };
    wchar_t* const program = terminated(fields.program);
    wchar_t* const command = terminated(fields.commandLine);
    wchar_t* const folder =
        folderLength == std::wstring_view::npos
            ? nullptr
            : terminated({fields.program.data(), folderLength + 1});
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(program, command, nullptr, nullptr, FALSE, 0, nullptr, folder, &startup,
                        &info))
        return false;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return true;
}

}  // namespace

int RunAtSignIn(std::wstring_view arguments)
{
    // Out of the way: the console the shortcut opened closes with nobody left on it.
    FreeConsole();
    Output message;
    HeapText room(arguments.size());
    SignInFields fields;
    if (!room)
        return kNotStarted;
    for (std::size_t i = 0; i < arguments.size(); ++i)
        room.data()[i] = arguments[i];
    if (!ReadArguments(room.span(), fields)) {
        message.Text("A shortcut in the Startup folder runs tarnvale-list with arguments it "
                     "cannot read, cut short or changed: nothing was started.\n\n");
        Tell(message);
        return kWrongOption;
    }
    LookupWindowSystem windows;
    // A Tarnvale keeps it already.
    if (FindAttachedWindow(FindDesktopWindow(), fields.text))
        return kDone;
    if (FindTargetWindow(windows, fields.text) == 0 && !fields.program.empty() &&
        !IsRunning(fields.program) && !StartProgram(fields)) {
        const DWORD error = GetLastError();
        message.Text("Could not start ").Unbracketed(fields.program).Text(" (error ")
            .Number(error).Text(") for the window ").Bracketed(fields.text).Text(".\n\n");
        Tell(message);
        return kNotStarted;
    }
    if (AwaitWindow(windows, fields.text, kSignInWaitMinutes * 60000ULL) == 0) {
        message.Text("No window with the text ").Bracketed(fields.text).Text(" came within ")
            .Number(kSignInWaitMinutes).Text(" minutes of sign-in: Tarnvale was not started.\n\n");
        Tell(message);
        return kNothingFound;
    }
    DWORD processId = 0;
    if (!StartTarnvale(fields.text, processId)) {
        const DWORD error = GetLastError();
        message.Text("Could not start tarnvale.exe from the lister's folder (error ").Number(error)
            .Text(") for the window ").Bracketed(fields.text).Text(".\n\n");
        Tell(message);
        return kNotStarted;
    }
    return kDone;
}

}  // namespace tarnvale::lister
