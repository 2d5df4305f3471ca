#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tarnvale {

// A 32-bit window handle as the window system gives it; 0 means no window.
using WindowHandle = std::uint32_t;
// Icon handles are of the same width.
using IconHandle = std::uint32_t;

// Indexes for GetWindowLongA.
enum class WindowLong : std::int32_t {
    ExStyle = -20,
    HwndParent = -8,
};

enum class NotifyIconMessage : std::uint32_t {
    Add = 0,
    Modify = 1,
    Delete = 2,
};

enum class MessageBoxIcon : std::uint32_t {
    Exclamation = 48,
    Information = 64,
};

// How long a change of parent may wait on the window's program. A tick must never stall
// the program (the next one tries again); giving the window back is its last chance,
// worth waiting for, within the time Windows gives a program to answer it.
enum class AnswerWait {
    Brief,
    Long,
};

enum class MenuChoice {
    None,
    About,
    Exit,
};

// The shell's NOTIFYICONDATAA in its original 88-byte form. The shell reads it byte by
// byte, so the layout is pinned down here and checked below.
struct NotifyIconDataA {
    std::uint32_t cbSize;
    std::uint32_t hWnd;
    std::uint32_t uID;
    std::uint32_t uFlags;
    std::uint32_t uCallbackMessage;
    std::uint32_t hIcon;
    std::array<char, 64> szTip;
};
static_assert(sizeof(NotifyIconDataA) == 88);
static_assert(offsetof(NotifyIconDataA, hWnd) == 4);
static_assert(offsetof(NotifyIconDataA, uID) == 8);
static_assert(offsetof(NotifyIconDataA, uFlags) == 12);
static_assert(offsetof(NotifyIconDataA, uCallbackMessage) == 16);
static_assert(offsetof(NotifyIconDataA, hIcon) == 20);
static_assert(offsetof(NotifyIconDataA, szTip) == 24);

// The longest command line that CreateProcess takes, in UTF-16 units, without its NUL.
inline constexpr std::size_t kMaxCommandLineLength = 32766;
// The longest text, in UTF-16 units, that FindWindowA looks up: any text a program can
// be given on its command line.
inline constexpr std::size_t kMaxLookupTextLength = kMaxCommandLineLength;

// Which calls may run the program's own handlers before they return (on Windows, a thread
// waiting for another program's answer to a message handles the messages sent to it
// meanwhile; one waiting for a thread or an event handles none):
// - SetParent: never. The change runs on a thread of its own and the caller waits for
//   that thread without handling messages, however long the window's program takes.
// - FindWindowA, IsWindow, GetWindowLongA, GetForegroundWindow: never. They read what
//   Windows keeps (the title too) and send no message.
// - Shell_NotifyIconA: yes. It sends the shell a message and waits for its answer, so
//   the end of the session, a close or any other message sent to the program may be
//   handled in it.
// - ShowMessageBox, ShowPopupMenu: yes, any handler, timer ticks included: each runs a
//   message loop until it closes.
// - CloseMainWindow runs the closing handler; ShowAboutWindow and CloseAboutWindow run
//   only the About window's own. EndProcess does not return.

// Finding a window and reading its state: all that the lister asks, and the first part
// of what tarnvale.exe asks. Texts are wide; the Windows implementation converts them to
// the ANSI code page for each ANSI call.
class WindowLookup {
public:
    virtual ~WindowLookup() = default;

    // user32, under its own names. std::nullopt passes no text (NULL).
    virtual WindowHandle FindWindowA(std::optional<std::wstring_view> className,
                                     std::optional<std::wstring_view> title) = 0;
    virtual std::int32_t IsWindow(WindowHandle window) = 0;
    virtual std::int32_t GetWindowLongA(WindowHandle window, WindowLong index) = 0;
    virtual WindowHandle GetForegroundWindow() = 0;
};

// Everything tarnvale.exe asks of the window system, the shell and the toolkit: the
// lookups, and what changes windows and shows the program's own.
class WindowSystem : public WindowLookup {
public:
    // user32 and shell32, under their own names.
    // Keeps the window where it is on the screen, whatever the new parent's origin. True
    // when the window has the new parent; false when the change was refused, or its
    // program did not answer within the wait.
    virtual bool SetParent(WindowHandle child, WindowHandle newParent, AnswerWait wait) = 0;
    // True when the shell took the message.
    virtual bool Shell_NotifyIconA(NotifyIconMessage message, const NotifyIconDataA& record) = 0;

    // Toolkit services.
    // Modal, with one OK button; returns when the user closes it.
    virtual void ShowMessageBox(std::wstring_view text, std::wstring_view caption,
                                MessageBoxIcon icon) = 0;
    // Ends the process at once with this exit code; on Windows it does not return.
    virtual void EndProcess(std::uint32_t exitCode) = 0;
    // The popup menu at the mouse cursor; returns once it has closed.
    virtual MenuChoice ShowPopupMenu() = 0;
    // Shows the one About window, loading it first if it is not loaded.
    virtual void ShowAboutWindow() = 0;
    // Closes the About window if it is loaded; never creates it.
    virtual void CloseAboutWindow() = 0;
    // Closes the main window; its closing handler runs before it goes.
    virtual void CloseMainWindow() = 0;
};

}  // namespace tarnvale
