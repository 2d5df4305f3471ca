#include "attach/target_text.h"

#include <string>

#include <gtest/gtest.h>

namespace tarnvale {
namespace {

TEST(TargetText, KeepsAnyTextUpToItsCapacityWhole)
{
    TargetText kept;
    EXPECT_TRUE(kept.view().empty());
    const std::wstring odd{L"\"a\"\t \0b ", 8};  // quotes, a tab, a NUL, trailing blank
    EXPECT_TRUE(kept.Assign(odd));
    EXPECT_EQ(kept.view(), odd);

    const std::wstring full(TargetText::kCapacity, L'\u00e9');
    EXPECT_TRUE(kept.Assign(full));
    EXPECT_EQ(kept.view(), full);

    EXPECT_TRUE(kept.Assign(L""));
    EXPECT_TRUE(kept.view().empty()) << "a shorter text leaves nothing of the longer one";
}

TEST(TargetText, RefusesALongerTextAndKeepsNothing)
{
    TargetText kept;
    ASSERT_TRUE(kept.Assign(L"Notepad"));
    EXPECT_FALSE(kept.Assign(std::wstring(TargetText::kCapacity + 1, L'x')));
    EXPECT_TRUE(kept.view().empty()) << "neither the text cut short nor the one before";
}

}  // namespace
}  // namespace tarnvale
