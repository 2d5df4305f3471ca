#include "tray/tray_record.h"

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "tray/icon_callback.h"

namespace tarnvale {
namespace {

std::vector<unsigned char> Bytes(const NotifyIconDataA& data)
{
    std::vector<unsigned char> bytes(sizeof data);
    std::memcpy(bytes.data(), &data, sizeof data);
    return bytes;
}

TEST(TrayRecord, AnsiFormIsTheShellsEightyEightBytes)
{
    const auto bytes = Bytes(ToNotifyIconDataA(MakeTrayRecord(0x00020A3C, 0x0B01F2E4)));
    ASSERT_EQ(bytes.size(), 88u);
    const std::vector<unsigned char> head = {
        0x58, 0x00, 0x00, 0x00,  // cbSize
        0x3C, 0x0A, 0x02, 0x00,  // hWnd
        0x01, 0x00, 0x00, 0x00,  // uID
        0x07, 0x00, 0x00, 0x00,  // uFlags
        0x00, 0x02, 0x00, 0x00,  // uCallbackMessage
        0xE4, 0xF2, 0x01, 0x0B,  // hIcon
    };
    EXPECT_EQ(std::vector<unsigned char>(bytes.begin(), bytes.begin() + 24), head);

    std::vector<unsigned char> tip = {'T', 'a', 'r', 'n', 'v', 'a', 'l', 'e', 0x00};
    tip.resize(64, 0x20);
    EXPECT_EQ(std::vector<unsigned char>(bytes.begin() + 24, bytes.end()), tip);
}

TEST(TrayRecord, WideTipIsPaddedWithSpacesAfterOneNul)
{
    const TrayRecord record = MakeTrayRecord(1, 2);
    EXPECT_EQ(std::wstring(record.szTip.data(), 8), L"Tarnvale");
    EXPECT_EQ(record.szTip[8], L'\0');
    for (std::size_t i = 9; i < record.szTip.size(); ++i)
        ASSERT_EQ(record.szTip[i], L' ') << "at " << i;
}

TEST(IconCallback, OnlyARightButtonPressOpensTheMenu)
{
    EXPECT_TRUE(OpensPopupMenu(HorizontalCoordinate(0x204)));
    // Moves, left press/release/double-click, right release and double-click.
    for (const std::uint32_t message : {0x200u, 0x201u, 0x202u, 0x203u, 0x205u, 0x206u, 0x207u})
        EXPECT_FALSE(OpensPopupMenu(HorizontalCoordinate(message))) << std::hex << message;
}

TEST(IconCallback, ReadsOnlyTheLowWordOfTheSecondParameter)
{
    EXPECT_TRUE(OpensPopupMenu(HorizontalCoordinate(0xFFFF0204u)));
    EXPECT_FALSE(OpensPopupMenu(HorizontalCoordinate(0x02040000u)));
}

}  // namespace
}  // namespace tarnvale
