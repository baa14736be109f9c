#include "base/MessageQueue.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace
{
struct cCollector
{
    std::vector<int32_t> values;
    std::vector<void*> senders;

    void Take(const cMessageQueue::cMessage& message)
    {
        values.push_back(message.value);
        senders.push_back(message.sender);
    }
};

cMessageQueue::cMessage MakeMessage(int32_t value, void* sender = nullptr)
{
    cMessageQueue::cMessage message;
    message.sender = sender;
    message.type = cMessageQueue::kTypePresetChanged;
    message.value = value;
    return message;
}

int32_t PushRun(cMessageQueue& queue, int32_t first, int32_t count)
{
    int32_t accepted = 0;
    for (int32_t i = 0; i < count; ++i)
        accepted += queue.Push(MakeMessage(first + i)) ? 1 : 0;
    return accepted;
}
} // namespace

TEST(MessageQueue, HoldsThirtyOneAndDropsTheRest)
{
    cMessageQueue queue;
    EXPECT_EQ(gMessageQueue, &queue);
    EXPECT_EQ(PushRun(queue, 0, 31), 31);
    EXPECT_FALSE(queue.Push(MakeMessage(31)));

    cCollector collector;
    queue.Dispatch(cDelegate(&collector, &cCollector::Take));
    ASSERT_EQ(collector.values.size(), 31u);
    EXPECT_EQ(collector.values.back(), 30);
    EXPECT_EQ(queue.Peek(), nullptr);
    EXPECT_EQ(PushRun(queue, 100, 32), 31);
}

TEST(MessageQueue, OrderKeptAcrossTheWrap)
{
    cMessageQueue queue;
    cCollector collector;
    const cDelegate take(&collector, &cCollector::Take);
    int sender = 0;
    int32_t next = 0;
    // Runs of 20 move the indices round the 32 slots several times.
    for (int round = 0; round < 6; ++round)
    {
        for (int i = 0; i < 20; ++i)
            ASSERT_TRUE(queue.Push(MakeMessage(next++, &sender)));
        queue.Dispatch(take);
    }
    ASSERT_EQ(collector.values.size(), 120u);
    for (int32_t i = 0; i < 120; ++i)
        ASSERT_EQ(collector.values[i], i);
    EXPECT_EQ(collector.senders.front(), &sender);
}

TEST(MessageQueue, EmptyRingAndEmptyCallback)
{
    cMessageQueue queue;
    cCollector collector;
    queue.Dispatch(cDelegate(&collector, &cCollector::Take));
    EXPECT_TRUE(collector.values.empty());

    PushRun(queue, 0, 5);
    queue.Dispatch(cDelegate());
    EXPECT_EQ(queue.Peek(), nullptr);
    queue.Advance();
    EXPECT_EQ(queue.Peek(), nullptr);
    EXPECT_EQ(PushRun(queue, 0, 31), 31);
}

TEST(MessageQueue, PeekAdvanceAndReset)
{
    cMessageQueue queue;
    PushRun(queue, 7, 3);
    ASSERT_NE(queue.Peek(), nullptr);
    EXPECT_EQ(queue.Peek()->value, 7);
    queue.Advance();
    EXPECT_EQ(queue.Peek()->value, 8);
    queue.Reset();
    EXPECT_EQ(queue.Peek(), nullptr);
    EXPECT_EQ(PushRun(queue, 0, 31), 31);
}

TEST(MessageQueue, ProducerThreadNeverDuplicatesOrReorders)
{
    cMessageQueue queue;
    cCollector collector;
    const cDelegate take(&collector, &cCollector::Take);
    const int32_t total = 200000;
    int32_t accepted = 0;
    std::atomic<bool> done{false};
    std::thread producer([&] {
        for (int32_t i = 0; i < total; ++i)
            accepted += queue.Push(MakeMessage(i)) ? 1 : 0;
        done = true;
    });
    while (!done.load())
        queue.Dispatch(take);
    producer.join();
    queue.Dispatch(take);

    ASSERT_EQ(static_cast<int32_t>(collector.values.size()), accepted);
    for (size_t i = 1; i < collector.values.size(); ++i)
        ASSERT_LT(collector.values[i - 1], collector.values[i]) << i;
}

TEST(MessageQueue, DestructionClearsTheGlobalPointer)
{
    {
        cMessageQueue queue;
    }
    EXPECT_EQ(gMessageQueue, nullptr);
}
