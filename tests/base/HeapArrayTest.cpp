#include "base/HeapArray.h"

#include <gtest/gtest.h>

namespace
{
struct cEvent
{
    uint32_t words[2] = {0, 0};
    uint16_t type = 16;
};
} // namespace

TEST(HeapArray, ResizeKeepsAnExistingBlockUnlessForced)
{
    cHeapArray<int> array;
    EXPECT_EQ(array.GetCount(), 0u);
    EXPECT_EQ(array.GetData(), nullptr);

    array.Resize(10);
    ASSERT_EQ(array.GetCount(), 10u);
    const int* block = array.GetData();
    array.Resize(20);
    EXPECT_EQ(array.GetCount(), 10u);
    EXPECT_EQ(array.GetData(), block);
    array.Resize(10, kHeapArrayKeep); // keeping alone does not force
    EXPECT_EQ(array.GetData(), block);

    array.Resize(0);
    EXPECT_EQ(array.GetCount(), 0u);
    EXPECT_EQ(array.GetData(), nullptr);
    array.Resize(20);
    EXPECT_EQ(array.GetCount(), 20u);
}

TEST(HeapArray, ForcedResizeCopiesOnlyWhenAsked)
{
    cHeapArray<int> array;
    array.Resize(10);
    for (uint32_t i = 0; i < 10; ++i)
        array[i] = int(i) + 1;

    array.Resize(20, kHeapArrayForce | kHeapArrayKeep);
    ASSERT_EQ(array.GetCount(), 20u);
    for (uint32_t i = 0; i < 10; ++i)
        EXPECT_EQ(array[i], int(i) + 1);

    array.Resize(4, kHeapArrayForce | kHeapArrayKeep);
    ASSERT_EQ(array.GetCount(), 4u);
    EXPECT_EQ(*array.At(3), 4);

    array.Resize(8, kHeapArrayForce);
    EXPECT_EQ(array.GetCount(), 8u);
    array.Free();
    EXPECT_EQ(array.GetCount(), 0u);
    EXPECT_EQ(array.GetData(), nullptr);
}

TEST(HeapArray, NewEventArraysHoldEmptyEvents)
{
    cHeapArray<cEvent> events;
    events.Resize(32);
    for (uint32_t i = 0; i < events.GetCount(); ++i)
    {
        EXPECT_EQ(events[i].type, 16);
        EXPECT_EQ(events[i].words[0], 0u);
        EXPECT_EQ(events[i].words[1], 0u);
    }
}

TEST(HeapArray, ByteArrayResetZeroesTheBlockItKeeps)
{
    cByteArray bytes;
    bytes.Reset(16);
    ASSERT_EQ(bytes.GetSize(), 16u);
    const uint8_t* block = bytes.GetData();
    for (uint32_t i = 0; i < 16; ++i)
        EXPECT_EQ(block[i], 0);

    bytes.GetData()[5] = 7;
    bytes.first = 3;
    bytes.second = 4;
    bytes.Reset(64);
    EXPECT_EQ(bytes.GetData(), block);
    EXPECT_EQ(bytes.GetSize(), 16u);
    EXPECT_EQ(bytes.GetData()[5], 0);
    EXPECT_EQ(bytes.first, 0);
    EXPECT_EQ(bytes.second, 0);

    bytes.Reset(0);
    EXPECT_EQ(bytes.GetData(), nullptr);
    bytes.Reset(64);
    EXPECT_EQ(bytes.GetSize(), 64u);
}
