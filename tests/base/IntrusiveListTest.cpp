#include "base/IntrusiveList.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
struct cEntry : Base::cIntrusiveListItem<cEntry, 1>
{
    explicit cEntry(int v) : value(v) {}
    int value;
};

std::vector<int> Values(const Base::cIntrusiveList<cEntry>& list)
{
    std::vector<int> values;
    for (cEntry* e = list.GetFirst(); e; e = e->GetNext())
        values.push_back(e->value);
    std::vector<int> backwards;
    for (cEntry* e = list.GetLast(); e; e = e->GetPrev())
        backwards.insert(backwards.begin(), e->value);
    EXPECT_EQ(values, backwards) << "links disagree";
    EXPECT_EQ(values.size(), list.GetCount());
    return values;
}
} // namespace

TEST(IntrusiveList, PushBackKeepsOrderAndRemoveJoinsNeighbours)
{
    cEntry a(1), b(2), c(3);
    Base::cIntrusiveList<cEntry> list;
    EXPECT_TRUE(list.IsEmpty());
    list.PushBack(&a);
    list.PushBack(&b);
    list.PushBack(&c);
    EXPECT_EQ(Values(list), (std::vector<int>{1, 2, 3}));

    list.Remove(&b);
    EXPECT_EQ(Values(list), (std::vector<int>{1, 3}));
    EXPECT_EQ(b.GetNext(), nullptr);
    EXPECT_EQ(b.GetPrev(), nullptr);

    list.PushBack(&b);
    list.Remove(&a);
    EXPECT_EQ(list.GetFirst(), &c);
    EXPECT_EQ(Values(list), (std::vector<int>{3, 2}));
    list.Remove(&b);
    EXPECT_EQ(list.GetLast(), &c);

    list.Remove(&c);
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetFirst(), nullptr);
    EXPECT_EQ(list.GetLast(), nullptr);
}

TEST(IntrusiveList, PushFrontLinksAheadOfTheFirst)
{
    cEntry a(1), b(2), c(3);
    Base::cIntrusiveList<cEntry> list;
    list.PushFront(&b);
    EXPECT_EQ(list.GetLast(), &b);
    list.PushBack(&c);
    list.PushFront(&a);
    EXPECT_EQ(Values(list), (std::vector<int>{1, 2, 3}));
    list.Remove(&c);
    list.PushFront(&c);
    EXPECT_EQ(Values(list), (std::vector<int>{3, 1, 2}));
}

TEST(IntrusiveList, PopFrontAndRemovalsThatChangeNothing)
{
    Base::cIntrusiveList<cEntry> list;
    EXPECT_EQ(list.PopFront(), nullptr);
    EXPECT_EQ(list.GetCount(), 0u);

    cEntry a(1), b(2), stranger(9);
    list.PushBack(&a);
    list.PushBack(&b);
    list.Remove(nullptr);
    list.Remove(&stranger);
    EXPECT_EQ(Values(list), (std::vector<int>{1, 2}));

    EXPECT_EQ(list.PopFront(), &a);
    list.Remove(&a); // already out: the count stays right
    EXPECT_EQ(Values(list), (std::vector<int>{2}));
    EXPECT_EQ(list.PopFront(), &b);
    EXPECT_TRUE(list.IsEmpty());
}
