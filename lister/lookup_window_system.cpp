#include "lister/lookup_window_system.h"

#include "platform/win32_find_window.h"

namespace tarnvale::lister {

WindowHandle LookupWindowSystem::FindWindowA(std::optional<std::wstring_view> className,
                                             std::optional<std::wstring_view> title)
{
    return FindWindowByAnsiText(className, title);
}

std::int32_t LookupWindowSystem::IsWindow(WindowHandle window)
{
    return ::IsWindow(ToHwnd(window));
}

std::int32_t LookupWindowSystem::GetWindowLongA(WindowHandle window, WindowLong index)
{
    return ReadWindowLong(ToHwnd(window), index);
}

WindowHandle LookupWindowSystem::GetForegroundWindow()
{
    return ToHandle(::GetForegroundWindow());
}

}  // namespace tarnvale::lister
