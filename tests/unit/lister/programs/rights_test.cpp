#include "lister/programs/rights.h"

#include <gtest/gtest.h>

namespace tarnvale::lister {
namespace {

constexpr Rights kUnknown{false, false};
constexpr Rights kPlain{true, false};
constexpr Rights kAdministrator{true, true};

TEST(Rights, AProgramAboveTheListerOrUnreadableAsksForAnAdministrator)
{
    EXPECT_EQ(JudgeNow(kPlain, kPlain), KeepVerdict::Fine);
    EXPECT_EQ(JudgeNow(kPlain, kAdministrator), KeepVerdict::Fine);
    EXPECT_EQ(JudgeNow(kAdministrator, kAdministrator), KeepVerdict::Fine);
    EXPECT_EQ(JudgeNow(kAdministrator, kPlain), KeepVerdict::RunAsAdministrator);
    EXPECT_EQ(JudgeNow(kUnknown, kPlain), KeepVerdict::RunAsAdministrator);
}

TEST(Rights, AtSignInTheShellsRightsDecide)
{
    // Asked before raising rights, the shell runs plain: an administrator's lister does
    // not make a Tarnvale started at sign-in one.
    EXPECT_EQ(JudgeAtSignIn(kAdministrator, kAdministrator, kPlain), KeepVerdict::NotAtSignIn);
    EXPECT_EQ(JudgeAtSignIn(kAdministrator, kPlain, kPlain), KeepVerdict::NotAtSignIn);
    // Where Windows never asks, the shell and all it starts are administrators.
    EXPECT_EQ(JudgeAtSignIn(kAdministrator, kAdministrator, kAdministrator), KeepVerdict::Fine);
    EXPECT_EQ(JudgeAtSignIn(kAdministrator, kPlain, kAdministrator),
              KeepVerdict::RunAsAdministrator);
    EXPECT_EQ(JudgeAtSignIn(kPlain, kPlain, kPlain), KeepVerdict::Fine);
    EXPECT_EQ(JudgeAtSignIn(kUnknown, kPlain, kPlain), KeepVerdict::RunAsAdministrator);
    // No shell to ask: the lister, run as the user signs in, stands for it.
    EXPECT_EQ(JudgeAtSignIn(kAdministrator, kAdministrator, kUnknown), KeepVerdict::Fine);
    EXPECT_EQ(JudgeAtSignIn(kAdministrator, kPlain, kUnknown), KeepVerdict::NotAtSignIn);
}

}  // namespace
}  // namespace tarnvale::lister
