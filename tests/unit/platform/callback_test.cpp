#include "platform/callback.h"

#include <gtest/gtest.h>

namespace tarnvale {
namespace {

struct Counter {
    void Add() { ++count; }
    int count = 0;
};

TEST(Callback, CallsTheMemberOnItsOwnObject)
{
    Counter first;
    Counter second;
    const Callback callback = MemberCallback<&Counter::Add>(second);
    ASSERT_TRUE(callback);
    callback();
    callback();
    EXPECT_EQ(first.count, 0);
    EXPECT_EQ(second.count, 2);
}

TEST(Callback, AnUnsetOneDoesNothing)
{
    const Callback unset;
    EXPECT_FALSE(unset);
    unset();
}

}  // namespace
}  // namespace tarnvale
