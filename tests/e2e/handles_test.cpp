// The conversions between the logic's 32-bit handles and this build's own, run in the
// build they are for: the 64-bit build must sign-extend, and must hand the shell its own
// wider record.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/win32_window_system.h"
#include "tray/tray_record.h"

namespace {

constexpr tarnvale::WindowHandle kTopBitWindow = 0x80001234u;
constexpr tarnvale::IconHandle kTopBitIcon = 0x80005678u;

INT_PTR ValueOf(const void* handle)
{
    return reinterpret_cast<INT_PTR>(handle);
}

TEST(Handles, ATopBitHandleIsSignExtendedAndSurvivesTheRoundTrip)
{
    const HWND window = tarnvale::ToHwnd(kTopBitWindow);
    EXPECT_EQ(ValueOf(window), static_cast<INT_PTR>(static_cast<INT32>(kTopBitWindow)));
    EXPECT_LT(ValueOf(window), 0) << "not sign-extended";
    EXPECT_EQ(tarnvale::ToHandle(window), kTopBitWindow);

    const HWND desktop = GetDesktopWindow();
    ASSERT_NE(desktop, nullptr);
    EXPECT_EQ(tarnvale::ToHwnd(tarnvale::ToHandle(desktop)), desktop);
    EXPECT_TRUE(IsWindow(tarnvale::ToHwnd(tarnvale::ToHandle(desktop))));
}

TEST(Handles, TheShellGetsTheRecordInThisBuildsLayout)
{
    const tarnvale::TrayRecord record = tarnvale::MakeTrayRecord(kTopBitWindow, kTopBitIcon);
    const tarnvale::NotifyIconDataA original = tarnvale::ToNotifyIconDataA(record);
    const NOTIFYICONDATAA native = tarnvale::ToNativeNotifyIconData(original);

    EXPECT_EQ(native.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE));
    EXPECT_EQ(native.hWnd, tarnvale::ToHwnd(kTopBitWindow));
    EXPECT_EQ(ValueOf(native.hIcon), ValueOf(tarnvale::ToHwnd(kTopBitIcon)));
    EXPECT_EQ(native.uID, 1u);
    EXPECT_EQ(native.uFlags, 7u);
    EXPECT_EQ(native.uCallbackMessage, 0x200u);
    EXPECT_EQ(std::memcmp(native.szTip, original.szTip.data(), sizeof original.szTip), 0);
    if (sizeof(HWND) == 4) {
        EXPECT_EQ(std::memcmp(&native, &original, sizeof original), 0)
            << "the 32-bit build must pass the very 88 bytes it made";
    }
}

}  // namespace
