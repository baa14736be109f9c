#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "audio/AudioManager.h"
#include "audio/AudioModule.h"

namespace
{
cAudioEvent MakeEvent(uint8_t type, uint32_t a, uint32_t b = 0)
{
    cAudioEvent event;
    event.type = type;
    event.wordA = a;
    event.wordB = b;
    return event;
}

// Records what it is handed; may post into itself while handling.
class cRecordingModule : public cAudioModule
{
public:
    explicit cRecordingModule(uint32_t capacity) : cAudioModule(nullptr, capacity) {}

    int32_t HandleEvent(const cAudioEvent& event) override
    {
        handled.push_back(event);
        if (event.type == kAudioEventReset && repostOnReset)
        {
            repostOnReset = false;
            PostEvent(MakeEvent(kAudioEventNoteOn, 99));
        }
        return 0;
    }

    std::vector<cAudioEvent> handled;
    bool repostOnReset = false;
};
} // namespace

TEST(AudioEventTest, DefaultEventIsEmptyAndTwentyFourBytes)
{
    const cAudioEvent event;
    EXPECT_EQ(event.type, kAudioEventEmpty);
    EXPECT_EQ(event.flags, 0u);
    EXPECT_EQ(event.wordA, 0u);
    EXPECT_EQ(sizeof(cAudioEvent), 24u);

    cAudioEvent note;
    note.SetNote(60, 100);
    EXPECT_EQ(note.GetNote(), 60);
    EXPECT_EQ(note.GetVelocity(), 100);
}

TEST(AudioEventTest, VoiceIdsCarryTheSourceAndWrapInTwentyFourBits)
{
    NoteIdCounter.store(0);
    EXPECT_EQ(MakeVoiceId(kVoiceSourceSequencer), 0x02000001u);
    NoteIdCounter.store(0xfffffe);
    EXPECT_EQ(MakeVoiceId(kVoiceSourceUser), 0x01ffffffu);
    EXPECT_EQ(MakeVoiceId(kVoiceSourceUser), 0x01000000u);
    EXPECT_EQ(MakeVoiceId(kVoiceSourceUser), 0x01000001u);
}

TEST(AudioEventRingTest, CapacitySixteenHoldsFifteenInOrder)
{
    cRecordingModule module(16);
    for (uint32_t i = 0; i < 15; ++i)
        EXPECT_TRUE(module.PostEvent(MakeEvent(kAudioEventNoteOn, i))) << i;
    EXPECT_FALSE(module.PostEvent(MakeEvent(kAudioEventNoteOn, 15)));

    module.DrainEvents();
    ASSERT_EQ(module.handled.size(), 15u);
    for (uint32_t i = 0; i < 15; ++i)
        EXPECT_EQ(module.handled[i].wordA, i);
    EXPECT_FALSE(module.HasPendingEvents());

    // The ring keeps working across its wrap.
    for (uint32_t round = 0; round < 3; ++round)
    {
        for (uint32_t i = 0; i < 10; ++i)
            EXPECT_TRUE(module.PostEvent(MakeEvent(kAudioEventNoteOff, i)));
        module.DrainEvents();
    }
    EXPECT_EQ(module.handled.size(), 45u);
}

TEST(AudioEventRingTest, DrainingEmptyRingCallsNothingAndPostsDuringDrainAreHandled)
{
    cRecordingModule module(16);
    module.DrainEvents();
    EXPECT_TRUE(module.handled.empty());

    module.repostOnReset = true;
    module.PostEvent(MakeEvent(kAudioEventReset, 0));
    module.DrainEvents();
    ASSERT_EQ(module.handled.size(), 2u);
    EXPECT_EQ(module.handled[1].type, kAudioEventNoteOn);
    EXPECT_EQ(module.handled[1].wordA, 99u);
}

TEST(AudioEventRingTest, ModulesWithoutRoomAcceptNothing)
{
    for (uint32_t capacity : {0u, 1u})
    {
        cRecordingModule module(capacity);
        EXPECT_FALSE(module.PostEvent(MakeEvent(kAudioEventNoteOn, 1))) << capacity;
        module.DrainEvents();
        EXPECT_TRUE(module.handled.empty());
    }
}

// The main thread, the audio thread and MIDI input post into the same rings.
TEST(AudioEventRingTest, ConcurrentProducersLoseNothingBelowCapacity)
{
    constexpr uint32_t kProducers = 4;
    constexpr uint32_t kPerProducer = 20000;
    cRecordingModule module(64);
    std::atomic<bool> go{false};
    std::atomic<uint32_t> producing{kProducers};
    std::vector<std::thread> producers;
    for (uint32_t p = 0; p < kProducers; ++p)
        producers.emplace_back([&, p] {
            while (!go.load())
                std::this_thread::yield();
            for (uint32_t i = 0; i < kPerProducer; ++i)
                // Below capacity means: retry only when the consumer is behind.
                while (!module.PostEvent(MakeEvent(kAudioEventNoteOn, p, i)))
                    std::this_thread::yield();
            producing.fetch_sub(1);
        });
    go.store(true);
    while (producing.load() > 0 || module.HasPendingEvents())
        module.DrainEvents();
    for (auto& t : producers)
        t.join();
    module.DrainEvents();

    ASSERT_EQ(module.handled.size(), size_t(kProducers) * kPerProducer);
    // Each producer's events arrive complete and in its own order.
    std::vector<uint32_t> nextOf(kProducers, 0);
    for (const cAudioEvent& event : module.handled)
    {
        ASSERT_LT(event.wordA, kProducers);
        ASSERT_EQ(event.wordB, nextOf[event.wordA]) << "producer " << event.wordA;
        ++nextOf[event.wordA];
    }
}

TEST(AudioModuleTest, BaseAnswersAndParameterEvents)
{
    cRecordingModule module(16);
    EXPECT_FLOAT_EQ(module.GetOutputValue(0, 0), 1.0f);
    EXPECT_FLOAT_EQ(module.GetOutputValue(1, 0), 0.5f);
    EXPECT_FLOAT_EQ(module.GetOutputValue(4, 0), 0.0f);
    EXPECT_EQ(module.GetParamInt(3), 0);

    module.SetParamCount(3);
    cAudioEvent param = MakeEvent(kAudioEventModuleParam, 0, 2);
    param.valueF = 0.75f;
    EXPECT_TRUE(module.StoreParamEvent(param));
    EXPECT_FLOAT_EQ(module.GetParamValue(2), 0.75f);
    param.wordB = 3; // outside the table
    EXPECT_FALSE(module.StoreParamEvent(param));
    EXPECT_EQ(module.TakeChangedMask(), 1u << 2);
    EXPECT_EQ(module.GetChangedMask(), 0u);
}

TEST(AudioModuleTest, WaitForEventsReturnsAtOnceWhenEmptyOrPaused)
{
    cRecordingModule module(16);
    // The quickest of a few waits: a busy machine may preempt any one of
    // them, but a wait that sleeps even once never comes in under 5 ms.
    auto timeWait = [&] {
        auto quickest = std::chrono::steady_clock::duration::max();
        for (int attempt = 0; attempt < 5; ++attempt)
        {
            const auto start = std::chrono::steady_clock::now();
            module.WaitForEvents();
            quickest = std::min(quickest, std::chrono::steady_clock::now() - start);
        }
        return quickest;
    };
    EXPECT_LT(timeWait(), std::chrono::milliseconds(4));

    module.PostEvent(MakeEvent(kAudioEventReset, 0));
    {
        cAudioManager manager; // paused until its first resume
        EXPECT_LT(timeWait(), std::chrono::milliseconds(4));
    }
    EXPECT_TRUE(module.HasPendingEvents());
}
