#include "blocker/CUniqueList.h"

#include <gtest/gtest.h>

TEST(HookMessengerLists, KeepEachValueOnceInTheOrderAddedUntilRemoved)
{
    CUniqueList<unsigned> messages;
    EXPECT_TRUE(messages.Add(0xC100));
    EXPECT_TRUE(messages.Add(0xC005));
    EXPECT_FALSE(messages.Add(0xC100));
    EXPECT_EQ(messages.Items(), (std::vector<unsigned>{0xC100, 0xC005}));
    // Removing an absent value changes nothing; one added again goes to the end.
    CUniqueList<const void*> targets;
    int a = 0, b = 0, c = 0;
    targets.Add(&a);
    targets.Add(&b);
    EXPECT_FALSE(targets.Remove(&c));
    EXPECT_EQ(targets.Items().size(), 2u);
    EXPECT_TRUE(targets.Remove(&a));
    EXPECT_FALSE(targets.Remove(&a));
    EXPECT_EQ(targets.Items(), (std::vector<const void*>{&b}));
    EXPECT_FALSE(targets.Contains(&a));
    targets.Add(&a);
    EXPECT_EQ(targets.Items(), (std::vector<const void*>{&b, &a}));
}
