#include <gtest/gtest.h>

#include "MIDITestHelpers.h"
#include "midi/MIDIBuffer.h"
#include "midi/MIDIMessageCollector.h"

namespace
{
constexpr double kStartMs = 1000.0;

struct cEvent
{
    tBytes bytes;
    int32_t position;
    uint8_t source;
    bool operator==(const cEvent&) const = default;
};

std::vector<cEvent> EventsOf(const cMIDIBuffer& buffer)
{
    std::vector<cEvent> events;
    cMIDIBuffer::cIterator it(buffer);
    const uint8_t* bytes = nullptr;
    int32_t size = 0;
    int32_t position = 0;
    uint8_t source = 0;
    while (it.Next(bytes, size, position, source))
        events.push_back({tBytes(bytes, bytes + size), position, source});
    return events;
}

std::vector<int32_t> PositionsOf(const cMIDIBuffer& buffer)
{
    std::vector<int32_t> positions;
    for (const cEvent& event : EventsOf(buffer))
        positions.push_back(event.position);
    return positions;
}

// A collector whose last callback was at kStartMs.
class cCollectorTest : public ::testing::Test
{
protected:
    void SetUp() override { mCollector.Reset(44100.0, kStartMs); }

    // Queues a clock message that many samples after the last callback,
    // stamped mid-sample so that truncation lands on the sample.
    void QueueAtSample(int32_t sample, uint8_t source = 0)
    {
        const double middle = sample + (sample >= 0 ? 0.5 : -0.5);
        mCollector.addMessageToQueue(cMIDIMessage(0xF8, kStartMs * 0.001 + middle / 44100.0), source);
    }

    cMIDIMessageCollector mCollector;
};
} // namespace

TEST(MIDIBufferTest, KeepsTimeOrderAndArrivalOrderForEqualPositions)
{
    cMIDIBuffer buffer;
    const tBytes a = {0x90, 1, 1}, b = {0x90, 2, 2}, c = {0x90, 3, 3}, d = {0xC0, 4};
    buffer.AddEvent(a.data(), 3, 20, 1);
    buffer.AddEvent(b.data(), 3, 10, 2);
    buffer.AddEvent(c.data(), 3, 20, 3);
    buffer.AddEvent(d.data(), 2, 10, 4);
    EXPECT_EQ(EventsOf(buffer), (std::vector<cEvent>{{b, 10, 2}, {d, 10, 4}, {a, 20, 1}, {c, 20, 3}}));
    EXPECT_EQ(buffer.GetLastTime(), 20);
    EXPECT_EQ(buffer.GetFirstPosition(), 10);

    buffer.ClearRange(10, 10);
    EXPECT_EQ(PositionsOf(buffer), (std::vector<int32_t>{20, 20}));
    cMIDIBuffer::cIterator skipped(buffer);
    skipped.SkipTo(21);
    const uint8_t* bytes = nullptr;
    int32_t size = 0, position = 0;
    uint8_t source = 0;
    EXPECT_FALSE(skipped.Next(bytes, size, position, source));

    const tBytes data = {0x3C, 0x40};
    EXPECT_EQ(buffer.AddEvent(data.data(), 2, 5, 0), 0) << "data bytes are no event";
    buffer.Clear();
    EXPECT_TRUE(buffer.IsEmpty());
    EXPECT_EQ(buffer.GetLastTime(), 0);
}

TEST_F(cCollectorTest, StampsBecomeSamplesAfterTheLastCallback)
{
    mCollector.addMessageToQueue(cMIDIMessage(0x90, 0x3C, 0x64, kStartMs * 0.001 + 0.25), 7);
    EXPECT_EQ(EventsOf(mCollector.GetIncoming()), (std::vector<cEvent>{{{0x90, 0x3C, 0x64}, 11025, 7}}));
}

TEST_F(cCollectorTest, KeepsAtMostOneSecond)
{
    for (int32_t sample : {0, 3000, 5899, 5900, 20000})
        QueueAtSample(sample);
    QueueAtSample(50000);
    EXPECT_EQ(PositionsOf(mCollector.GetIncoming()), (std::vector<int32_t>{5900, 20000, 50000}));
}

TEST_F(cCollectorTest, EqualPositionsKeepArrivalOrder)
{
    for (uint8_t source = 1; source <= 3; ++source)
        QueueAtSample(100, source);
    cMIDIBuffer block;
    mCollector.RemoveNextBlock(block, 220, kStartMs + 5.0);
    const std::vector<cEvent> events = EventsOf(block);
    ASSERT_EQ(events.size(), 3u);
    for (uint8_t i = 0; i < 3; ++i)
        EXPECT_EQ(events[i].source, i + 1);
}

TEST_F(cCollectorTest, BlocksAreRescaledIntoTheBuffer)
{
    struct cCase
    {
        int32_t elapsedSamples;
        int32_t queued;
        int32_t delivered;
    };
    const cCase cases[] = {
        {110, 10, 120},  // a short wait: spacing kept, at the end of the block
        {220, 219, 219},
        {440, 439, 219}, // a long wait: (439 x 512) >> 10
        {440, 0, 0},
        {44100, 22050, 107}, // scale 5/1024
        {110, -5, 105},  // stamped before the last callback
        {440, -5, 0},
        {110, 5000, 219},
    };
    for (const cCase& c : cases)
    {
        mCollector.Reset(44100.0, kStartMs);
        QueueAtSample(c.queued);
        cMIDIBuffer block;
        mCollector.RemoveNextBlock(block, 220, kStartMs + c.elapsedSamples * 1000.0 / 44100.0);
        EXPECT_EQ(PositionsOf(block), (std::vector<int32_t>{c.delivered})) << c.elapsedSamples << " " << c.queued;
        EXPECT_TRUE(mCollector.GetIncoming().IsEmpty());
    }
}

TEST_F(cCollectorTest, AMessageStampedLongBeforeArrivesAtTheStart)
{
    mCollector.addMessageToQueue(cMIDIMessage(0xF8, 0.0), 0);
    cMIDIBuffer block;
    mCollector.RemoveNextBlock(block, 220, kStartMs + 5.0);
    EXPECT_EQ(PositionsOf(block), (std::vector<int32_t>{0}));
}

TEST_F(cCollectorTest, AddNowQueuesAfterEverythingQueued)
{
    mCollector.AddMessageNow(cMIDIMessage::AllNotesOff(1), 3);
    EXPECT_EQ(PositionsOf(mCollector.GetIncoming()), (std::vector<int32_t>{0}));
    QueueAtSample(500);
    mCollector.AddMessageNow(cMIDIMessage::AllNotesOff(2), 3);
    EXPECT_EQ(PositionsOf(mCollector.GetIncoming()), (std::vector<int32_t>{0, 500, 500}));
    EXPECT_EQ(EventsOf(mCollector.GetIncoming()).back().bytes, (tBytes{0xB1, 123, 0}));
}

TEST(MIDIMessageCollectorTest, StartsUnresetAndResetsToTheRate)
{
    cMIDIMessageCollector collector;
    EXPECT_EQ(collector.GetSampleRate(), cMIDIMessageCollector::kUnsetSampleRate);
    collector.Reset(44100.0);
    EXPECT_EQ(collector.GetSampleRate(), 44100.0);
}
