#include "lister/rights.h"

#include <gtest/gtest.h>

namespace tarnvale::lister {
namespace {

constexpr Rights kUnknown{false, false};
constexpr Rights kPlain{true, false};
constexpr Rights kAdministrator{true, true};

TEST(Rights, AProgramAboveTheListerOrUnreadableAsksForAnAdministrator)
{
    EXPECT_EQ(JudgeNow(kPlain, kPlain), Keeping::Fine);
    EXPECT_EQ(JudgeNow(kPlain, kAdministrator), Keeping::Fine);
    EXPECT_EQ(JudgeNow(kAdministrator, kAdministrator), Keeping::Fine);
    EXPECT_EQ(JudgeNow(kAdministrator, kPlain), Keeping::RunAsAdministrator);
    EXPECT_EQ(JudgeNow(kUnknown, kPlain), Keeping::RunAsAdministrator);
}

TEST(Rights, AtSignInTheShellsRightsDecide)
{
    // Asked before raising rights, the shell runs plain: an administrator's lister does
    // not make a Tarnvale started at sign-in one.
    EXPECT_EQ(JudgeAtSignIn(kAdministrator, kAdministrator, kPlain), Keeping::NotAtSignIn);
    EXPECT_EQ(JudgeAtSignIn(kAdministrator, kPlain, kPlain), Keeping::NotAtSignIn);
    // Where Windows never asks, the shell and all it starts are administrators.
    EXPECT_EQ(JudgeAtSignIn(kAdministrator, kAdministrator, kAdministrator), Keeping::Fine);
    EXPECT_EQ(JudgeAtSignIn(kAdministrator, kPlain, kAdministrator),
              Keeping::RunAsAdministrator);
    EXPECT_EQ(JudgeAtSignIn(kPlain, kPlain, kPlain), Keeping::Fine);
    EXPECT_EQ(JudgeAtSignIn(kUnknown, kPlain, kPlain), Keeping::RunAsAdministrator);
    // No shell to ask: the lister, run as the user signs in, stands for it.
    EXPECT_EQ(JudgeAtSignIn(kAdministrator, kAdministrator, kUnknown), Keeping::Fine);
    EXPECT_EQ(JudgeAtSignIn(kAdministrator, kPlain, kUnknown), Keeping::NotAtSignIn);
}

}  // namespace
}  // namespace tarnvale::lister
