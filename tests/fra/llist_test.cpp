#include "fra/llist.h"

#include <gtest/gtest.h>
#include <string>

TEST(LList, AppendKeepsOrderAndCopiesTheElement)
{
    LList<std::string> list;
    std::string s = "first";
    list.append(s);
    s = "changed";
    list.append("second");
    list.append("third");
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(*list.next(), "first");
    EXPECT_EQ(*list.next(), "second");
    EXPECT_EQ(*list.next(), "third");
    EXPECT_EQ(list.next(), nullptr);
    // After the end the walk starts again from the head.
    EXPECT_EQ(*list.next(), "first");
}

TEST(LList, RemoveFirstAndClearReleaseNodes)
{
    LList<int> list;
    list.remove_first(); // empty: no effect
    for (int i = 0; i < 5; ++i)
        list.append(i);
    list.next();
    list.remove_first(); // the cursor's node goes too: the walk restarts at the new head
    EXPECT_EQ(list.size(), 4);
    EXPECT_EQ(*list.next(), 1);
    list.clear();
    EXPECT_EQ(list.size(), 0);
    EXPECT_EQ(list.head, nullptr);
    EXPECT_EQ(list.next(), nullptr);
}

TEST(LList, MoveLeavesTheSourceEmpty)
{
    LList<int> a;
    a.append(7);
    LList<int> b(std::move(a));
    EXPECT_EQ(a.size(), 0);
    EXPECT_EQ(a.head, nullptr);
    ASSERT_EQ(b.size(), 1);
    EXPECT_EQ(*b.next(), 7);
}
