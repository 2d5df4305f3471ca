#include "platform/win32_window_lookup.h"

#include <windows.h>

#include "platform/win32_find_window.h"
#include "platform/win32_handles.h"

namespace tarnvale {

template <typename Seam>
WindowHandle Win32Lookups<Seam>::FindWindowA(std::optional<std::wstring_view> className,
                                             std::optional<std::wstring_view> title)
{
    return FindOthersWindowByAnsiText(className, title);
}

template <typename Seam>
std::int32_t Win32Lookups<Seam>::IsWindow(WindowHandle window)
{
    return ::IsWindow(ToHwnd(window));
}

template <typename Seam>
std::int32_t Win32Lookups<Seam>::GetWindowLongA(WindowHandle window, WindowLong index)
{
    return ReadWindowLong(ToHwnd(window), index);
}

template <typename Seam>
WindowHandle Win32Lookups<Seam>::GetForegroundWindow()
{
    return ToHandle(::GetForegroundWindow());
}

template class Win32Lookups<WindowLookup>;
template class Win32Lookups<WindowSystem>;

}  // namespace tarnvale
