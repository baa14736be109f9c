#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/PooledRowList.h"

namespace
{
struct cNamedRow
{
    void Release()
    {
        name.clear();
        name.shrink_to_fit();
        ++released;
    }

    cNamedRow* prev = nullptr;
    cNamedRow* next = nullptr;
    std::string name;
    static inline int released = 0;
};

std::vector<std::string> Names(const cPooledRowList<cNamedRow>& list)
{
    std::vector<std::string> names;
    for (const cNamedRow* row = list.GetHead(); row; row = row->next)
        names.push_back(row->name);
    return names;
}

TEST(PooledRowListTest, RowsComeFromBlocksOfSixteenAndGoBackWithTheirNamesReleased)
{
    cNamedRow::released = 0;
    cPooledRowList<cNamedRow> list;
    std::vector<std::string> expected;
    for (int i = 0; i < 40; ++i)
    {
        list.Append()->name = "Port " + std::to_string(i);
        expected.push_back("Port " + std::to_string(i));
    }
    EXPECT_EQ(list.GetCount(), 40);
    EXPECT_EQ(list.GetBlockCount(), 3);
    EXPECT_EQ(Names(list), expected);
    EXPECT_EQ(list.GetTail()->name, "Port 39");
    EXPECT_EQ(list.GetTail()->prev->name, "Port 38");

    list.Clear();
    EXPECT_EQ(cNamedRow::released, 40);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetHead(), nullptr);
    EXPECT_EQ(list.GetBlockCount(), 0) << "every block freed once all its rows are back";

    for (int i = 0; i < 17; ++i)
        list.Append()->name = "again";
    EXPECT_EQ(list.GetBlockCount(), 2);
    EXPECT_EQ(Names(list).size(), 17u);
}

TEST(PooledRowListTest, ARefilledListKeepsItsOrderAcrossBlocks)
{
    cPooledRowList<cNamedRow> list;
    for (int round = 0; round < 3; ++round)
    {
        list.Clear();
        for (int i = 0; i < 20 + round; ++i)
            list.Append()->name = std::to_string(round) + "." + std::to_string(i);
        ASSERT_EQ(list.GetCount(), 20 + round);
        int i = 0;
        for (const cNamedRow* row = list.GetHead(); row; row = row->next, ++i)
            EXPECT_EQ(row->name, std::to_string(round) + "." + std::to_string(i));
    }
}
} // namespace
