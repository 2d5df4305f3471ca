#include "lister/windows/desktop_windows.h"

#include "attach/desktop.h"
#include "platform/win32_handles.h"
#include "text/command_line.h"

namespace tarnvale::lister {

namespace {

constexpr wchar_t kMainWindowClass[] = L"TarnvaleMain";
constexpr std::wstring_view kWorkerClass = L"WorkerW";

// Not string_view::copy: it may throw, and the lister is built without exceptions.
void CopyText(std::wstring_view text, wchar_t* out)
{
    for (const wchar_t c : text)
        *out++ = c;
}

// `text` NUL-terminated for the W calls; false when it is longer than any text we list.
struct ZText {
    wchar_t text[kMaxTitleLength + 1];
};

bool Terminated(std::wstring_view text, ZText& out)
{
    if (text.size() > static_cast<std::size_t>(kMaxTitleLength))
        return false;
    CopyText(text, out.text);
    out.text[text.size()] = L'\0';
    return true;
}

}  // namespace

void ReadTexts(HWND window, WindowTexts& texts)
{
    texts.classLength = GetClassNameW(window, texts.className, kMaxClassLength + 1);
    if (texts.classLength < 0)
        texts.classLength = 0;
    texts.titleCut = GetWindowTextLengthW(window) > kMaxTitleLength;
    texts.titleLength = GetWindowTextW(window, texts.title, kMaxTitleLength + 1);
    if (texts.titleLength < 0)
        texts.titleLength = 0;
}

bool HasClass(HWND window, std::wstring_view className)
{
    wchar_t name[kMaxClassLength + 1];
    const int length = GetClassNameW(window, name, kMaxClassLength + 1);
    return length > 0 && CompareStringOrdinal(name, length, className.data(),
                                              static_cast<int>(className.size()),
                                              TRUE) == CSTR_EQUAL;
}

bool RunningCopies::Owns(HWND window) const
{
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    for (int i = 0; i < count; ++i)
        if (processIds[i] == owner)
            return true;
    return false;
}

RunningCopies FindRunningCopies()
{
    RunningCopies copies;
    HWND main = nullptr;
    while (copies.count < RunningCopies::kMaxCopies &&
           (main = FindWindowExW(nullptr, main, kMainWindowClass, nullptr)) != nullptr) {
        DWORD owner = 0;
        if (GetWindowThreadProcessId(main, &owner) && !copies.Owns(main))
            copies.processIds[copies.count++] = owner;
    }
    return copies;
}

HWND FindDesktopWindow()
{
    ZText name;
    Terminated(kDesktopClass, name);
    return FindWindowW(name.text, nullptr);
}

bool IsShellWindow(HWND desktop, HWND window)
{
    DWORD shellProcess = 0;
    const DWORD shellThread = GetWindowThreadProcessId(desktop, &shellProcess);
    DWORD process = 0;
    const DWORD thread = GetWindowThreadProcessId(window, &process);
    if (!desktop || thread == 0 || process != shellProcess)
        return false;
    return thread == shellThread || HasClass(window, kWorkerClass);
}

bool IsAttached(HWND desktop, HWND child)
{
    return desktop && GetAncestor(child, GA_PARENT) == desktop &&
           (GetWindowLongW(child, GWL_STYLE) & WS_CHILD) == 0 && !IsShellWindow(desktop, child);
}

namespace {

// Among the children of `desktop` that `accept` takes, the one `text` names by
// tarnvale.exe's rule.
HWND FindChild(HWND desktop, std::wstring_view text, bool (*accept)(HWND, HWND))
{
    ZText z;
    if (!desktop || !Terminated(text, z))
        return nullptr;
    return FindByClassThenTitle(text, [&](std::optional<std::wstring_view> className,
                                          std::optional<std::wstring_view> title) -> HWND {
        const wchar_t* const byClass = className ? z.text : nullptr;
        const wchar_t* const byTitle = title ? z.text : nullptr;
        for (HWND child = FindWindowExW(desktop, nullptr, byClass, byTitle); child;
             child = FindWindowExW(desktop, child, byClass, byTitle))
            if (accept(desktop, child))
                return child;
        return nullptr;
    });
}

}  // namespace

HWND FindAttachedWindow(HWND desktop, std::wstring_view text)
{
    return FindChild(desktop, text, IsAttached);
}

HWND FindShellWindow(HWND desktop, std::wstring_view text)
{
    return FindChild(desktop, text, IsShellWindow);
}

bool ClassIsUnique(HWND parent, std::wstring_view className)
{
    ZText z;
    if (!Terminated(className, z))
        return false;
    int count = 0;
    for (HWND window = FindWindowExW(parent, nullptr, z.text, nullptr); window && count < 2;
         window = FindWindowExW(parent, window, z.text, nullptr))
        if (!parent || IsAttached(parent, window))
            ++count;
    return count == 1;
}

bool IsTopLevel(HWND window)
{
    return IsWindow(window) && GetAncestor(window, GA_PARENT) == GetDesktopWindow();
}

HWND FindNamedWindow(std::wstring_view text)
{
    ZText z;
    if (!Terminated(text, z))
        return nullptr;
    return FindByClassThenTitle(text, [&](std::optional<std::wstring_view> className,
                                          std::optional<std::wstring_view> title) {
        return FindWindowW(className ? z.text : nullptr, title ? z.text : nullptr);
    });
}

namespace {

bool Acceptable(std::wstring_view text, Passing passing)
{
    return passing == Passing::Typed ? HowTyped(text) == Typing::Fine : CanBePassed(text);
}

}  // namespace

std::wstring_view ChooseText(WindowLookup& windows, HWND window, const WindowTexts& texts,
                             Passing passing)
{
    const WindowHandle handle = ToHandle(window);
    const bool classFinds = Acceptable(texts.Class(), passing) &&
                            FindTargetWindow(windows, texts.Class()) == handle;
    if (classFinds && ClassIsUnique(nullptr, texts.Class()))
        return texts.Class();
    if (!texts.titleCut && Acceptable(texts.Title(), passing) &&
        FindTargetWindow(windows, texts.Title()) == handle)
        return texts.Title();
    return classFinds ? texts.Class() : std::wstring_view{};
}

const wchar_t* WhyNoText(WindowLookup& windows, const WindowTexts& texts)
{
    const std::wstring_view title = texts.Title();
    if (texts.titleCut)
        return L"its title is too long";
    if (IsBlank(title))
        return L"it has no title";
    if (title.front() == L' ')
        return L"its title starts with a blank, which tarnvale.exe's reading drops";
    if (!CanBePassed(title))
        return L"its title holds a NUL character";
    return FindTargetWindow(windows, title) != 0
               ? L"another window of this class or title comes first"
               : L"its title has characters outside the ANSI code page";
}

std::wstring_view ChooseAttachedText(HWND desktop, HWND window, const WindowTexts& texts)
{
    const bool classTyped = HowTyped(texts.Class()) == Typing::Fine;
    if (classTyped && ClassIsUnique(desktop, texts.Class()))
        return texts.Class();
    if (!texts.titleCut && HowTyped(texts.Title()) == Typing::Fine &&
        FindAttachedWindow(desktop, texts.Title()) == window)
        return texts.Title();
    if (classTyped && FindAttachedWindow(desktop, texts.Class()) == window)
        return texts.Class();
    return {};
}

}  // namespace tarnvale::lister
