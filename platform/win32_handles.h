#pragma once

// The logic's 32-bit handles and this build's own, for every Windows program of ours.
#include <windows.h>

#include <cstdint>

#include "platform/window_system.h"

namespace tarnvale {

// A window or icon handle fits in 32 bits, so that 32- and 64-bit programs can share it;
// a 64-bit program must sign-extend the 32-bit value back, or a handle with the top bit
// set would name no window.
inline HWND ToHwnd(WindowHandle handle)
{
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(static_cast<std::int32_t>(handle)));
}

inline WindowHandle ToHandle(HWND window)
{
    return static_cast<WindowHandle>(reinterpret_cast<UINT_PTR>(window));
}

inline IconHandle ToIconHandle(HICON icon)
{
    return static_cast<IconHandle>(reinterpret_cast<UINT_PTR>(icon));
}

// GetWindowLongA as the logic asks it. 64-bit Windows keeps the parent as a
// pointer-sized value, whose low 32 bits are the handle; on 32-bit Windows
// GetWindowLongPtrA is GetWindowLongA.
inline std::int32_t ReadWindowLong(HWND window, WindowLong index)
{
    if (index == WindowLong::HwndParent)
        return static_cast<std::int32_t>(::GetWindowLongPtrA(window, GWLP_HWNDPARENT));
    return ::GetWindowLongA(window, static_cast<int>(index));
}

}  // namespace tarnvale
