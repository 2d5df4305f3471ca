#include "lister/desktop_windows.h"

#include "app/command_line.h"
#include "attach/desktop.h"

namespace tarnvale::lister {

namespace {

constexpr wchar_t kMainWindowClass[] = L"TarnvaleMain";
constexpr std::wstring_view kProgramName = L"tarnvale.exe ";

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

Typing HowTyped(std::wstring_view text)
{
    if (IsBlank(text))
        return Typing::Blank;
    for (const wchar_t c : text)
        if (c < L' ' || c == 0x7F)
            return Typing::Untypable;
    // Read back the way tarnvale.exe reads its command line: leading blanks go.
    wchar_t command[kProgramName.size() + kMaxTitleLength + 1];
    if (text.size() > static_cast<std::size_t>(kMaxTitleLength))
        return Typing::Untypable;
    CopyText(kProgramName, command);
    CopyText(text, command + kProgramName.size());
    const std::wstring_view line(command, kProgramName.size() + text.size());
    return TargetTextView(line) == text ? Typing::Fine : Typing::LeadingBlank;
}

std::size_t TrailingBlanks(std::wstring_view text)
{
    std::size_t count = 0;
    while (count < text.size() && text[text.size() - 1 - count] == L' ')
        ++count;
    return count;
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

bool IsAttached(HWND desktop, HWND child)
{
    return desktop && GetAncestor(child, GA_PARENT) == desktop &&
           (GetWindowLongW(child, GWL_STYLE) & WS_CHILD) == 0;
}

HWND FindAttachedWindow(HWND desktop, std::wstring_view text)
{
    ZText z;
    if (!desktop || !Terminated(text, z))
        return nullptr;
    // The class first, then the title: tarnvale.exe's rule.
    for (const bool byClass : {true, false}) {
        const wchar_t* const className = byClass ? z.text : nullptr;
        const wchar_t* const title = byClass ? nullptr : z.text;
        for (HWND child = FindWindowExW(desktop, nullptr, className, title); child;
             child = FindWindowExW(desktop, child, className, title))
            if (IsAttached(desktop, child))
                return child;
    }
    return nullptr;
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

}  // namespace tarnvale::lister
