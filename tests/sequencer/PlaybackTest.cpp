#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "BuildPaths.h"
#include "SequencerFixture.h"
#include "TestBlockDriver.h"
#include "audio/AllocationCounter.h"
#include "audio/AudioDevicePort.h"
#include "audio/AudioManager.h"
#include "ScopedEnv.h"
#include "audio/ScopedWaveBank.h"
#include "audio/TonePitch.h"
#include "audio/WaitUntil.h"
#include "sequencer/PatternTable.h"

namespace
{
using namespace std::chrono_literals;

constexpr double kFramesPerTick = 44100.0 * 60.0 / (120.0 * 256.0); // at 120 BPM
constexpr int32_t kBlockFrames = 128;

std::vector<int16_t> ReadLeftChannel(const std::string& path)
{
    std::vector<int16_t> left;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return left;
    int16_t frame[2];
    while (std::fread(frame, sizeof(int16_t), 2, file) == 2)
        left.push_back(frame[0]);
    std::fclose(file);
    return left;
}

size_t FirstSound(const std::vector<int16_t>& samples, size_t from, size_t to)
{
    for (size_t i = from; i < to && i < samples.size(); ++i)
        if (samples[i] != 0)
            return i;
    return SIZE_MAX;
}

class cPlaybackTest : public cSequencerFixture
{
protected:
    cPlaybackTest() { setenv("SDL_AUDIODRIVER", "dummy", 0); }

    cPatternEvent* Note(cPattern& pattern, int32_t time, int32_t note, int32_t length)
    {
        cPatternEvent* event = cPatternEvent::Allocate();
        event->time = time;
        event->length = length;
        event->SetNote(note);
        event->SetVelocity(100);
        pattern.InsertEventSorted(event);
        return event;
    }

    static cAudioSettings Settings()
    {
        cAudioSettings settings;
        settings.poolBufferCount = 8;
        settings.bufferLatency = 4; // the deepest queue: a busy machine must not starve the device
        return settings;
    }
};
} // namespace

// The real audio manager plays a song of two tracks through the stand-in
// mixer into the disk device: a one-bar shared pattern repeating in a four-bar
// part, and a private part, with the click on every beat. Notes sit on the
// off-beats and end before the next beat, so every onset and every click
// starts out of silence and can be timed in the file.
TEST_F(cPlaybackTest, ASongPlaysThroughTheAudioManagerOnTime)
{
    cScopedWaveBank bank; // the click's square wave
    cPattern& shared = *sequencer.GetPatternTable()->GetPattern(1);
    shared.loopLength = 1024;
    Note(shared, 128, 64, 64);
    Note(shared, 640, 67, 64);
    cTrack* first = AddTrack(0);
    cPatternInstance* repeated = cPatternInstance::Create();
    repeated->SetPattern(1);
    repeated->start = 0;
    repeated->length = 4096;
    first->InsertPart(repeated);
    cTrack* second = AddTrack(1);
    AddPrivatePart(second, 0, 4096, {384, 1408, 2432, 2944, 3456}, 64);

    std::vector<int32_t> noteTicks;
    for (int32_t bar = 0; bar < 4; ++bar)
        for (int32_t t : {128, 640})
            noteTicks.push_back(bar * 1024 + t);
    for (int32_t t : {384, 1408, 2432, 2944, 3456})
        noteTicks.push_back(t);

    gTransport.metronomeMode = 2;
    sequencer.SetLoopEnabled(false);
    const std::string path = TestScratchFolder() + "/sequencer-song-" + std::to_string(getpid()) + ".raw";
    std::remove(path.c_str());
    {
        cScopedEnv driver("SDL_AUDIODRIVER", "disk");
        cScopedEnv file("SDL_DISKAUDIOFILE", path.c_str());
        cAudioManager manager;
        cTestBlockDriver mixer(sequencer, slots);
        manager.GetOutputPort()->AddListener(&mixer);
        ASSERT_TRUE(manager.Init(Settings())) << manager.GetErrorText();
        ASSERT_TRUE(WaitUntil([&] { return mixer.blocks.load() > 40; }, kStateWait));
        sequencer.Play(0);
        ASSERT_TRUE(WaitUntil([&] { return gTransport.position.load() >= 4096 + 512; }, kStateWait));
        // What is rendered and still queued reaches the file before the device closes.
        std::this_thread::sleep_for(200ms);
        manager.Shutdown();
        manager.GetOutputPort()->RemoveListener(&mixer);
    }
    const std::vector<int16_t> left = ReadLeftChannel(path);
    std::remove(path.c_str());

    // The square starts at zero, so the first click is heard one frame into its block.
    const size_t heard = FirstSound(left, 0, left.size());
    ASSERT_NE(heard, SIZE_MAX) << "nothing was played";
    const size_t start = heard - 1;
    ASSERT_GE(left.size(), start + size_t(4 * 4 * 22050)) << "less than four bars reached the file";

    for (int beat = 0; beat < 16; ++beat)
    {
        const size_t due = start + size_t(beat) * 22050;
        const size_t click = FirstSound(left, due - 200, due + 400);
        ASSERT_NE(click, SIZE_MAX) << "beat " << beat;
        EXPECT_GE(click, due + 1) << "beat " << beat;
        EXPECT_LT(click, due + 1 + kBlockFrames) << "beat " << beat;
        EXPECT_NEAR(TonePitch(left.data() + click, 800, 44100.0), beat % 4 == 0 ? 523.25 : 261.63, 1.5) << "beat " << beat;
    }
    for (int32_t tick : noteTicks)
    {
        const size_t due = start + size_t(std::ceil(tick * kFramesPerTick));
        const size_t onset = FirstSound(left, due - 2000, due + 2000);
        ASSERT_NE(onset, SIZE_MAX) << "tick " << tick;
        EXPECT_GE(onset, due) << "tick " << tick;
        EXPECT_LT(onset, due + kBlockFrames) << "tick " << tick;
    }
}

// Sixteen tracks playing dense parts into sixteen instruments on the audio
// thread: a hundred device buffers allocate nothing there.
TEST_F(cPlaybackTest, SixteenPlayingTracksAllocateNothingOnTheAudioThread)
{
    for (int32_t slot = 2; slot < 16; ++slot)
        slots.SetSlot(slot, package.CreateInstrument(0), false);
    for (int32_t slot = 0; slot < 16; ++slot)
    {
        cTrack* track = AddTrack(slot);
        std::vector<int32_t> chords;
        for (int32_t t = 0; t < 4096; t += 64)
            for (int i = 0; i < 4; ++i)
                chords.push_back(t);
        AddPrivatePart(track, 0, 4096, chords, 48);
    }
    gTransport.metronomeMode = 2;
    cAudioManager manager;
    cTestBlockDriver mixer(sequencer, slots, true);
    manager.GetOutputPort()->AddListener(&mixer);
    ASSERT_TRUE(manager.Init(Settings())) << manager.GetErrorText();
    sequencer.Play(0);
    ASSERT_TRUE(WaitUntil([&] { return manager.GetBuffersRendered() >= 20; }, kStateWait));
    const uint64_t before = GetCountedAllocations();
    const uint32_t buffers = manager.GetBuffersRendered();
    ASSERT_TRUE(WaitUntil([&] { return manager.GetBuffersRendered() >= buffers + 100; }, kStateWait));
    EXPECT_EQ(GetCountedAllocations(), before);
    EXPECT_GT(gTransport.position.load(), 0);
    manager.Shutdown();
    manager.GetOutputPort()->RemoveListener(&mixer);
}

// Sixteen tracks recording 500 live notes on the audio thread take their
// events, parts and journal entries from the reserves the record command
// topped up: nothing is allocated or freed there.
TEST_F(cPlaybackTest, RecordingSixteenTracksAllocatesNothingOnTheAudioThread)
{
    constexpr int kNotes = 500;
    for (int32_t slot = 2; slot < 16; ++slot)
        slots.SetSlot(slot, package.CreateInstrument(0), false);
    for (int32_t slot = 0; slot < 16; ++slot)
        AddTrack(slot);
    gTransport.countInBars = 0;
    cAudioManager manager;
    cTestBlockDriver mixer(sequencer, slots, true);
    manager.GetOutputPort()->AddListener(&mixer);
    ASSERT_TRUE(manager.Init(Settings())) << manager.GetErrorText();
    sequencer.Record();
    ASSERT_EQ(gTransport.state, cTransport::kRecording);
    ASSERT_TRUE(WaitUntil([&] { return manager.GetBuffersRendered() >= 10; }, kStateWait));
    const uint64_t allocations = GetCountedAllocations();
    const uint64_t frees = GetCountedFrees();

    auto post = [&](const cAudioEvent& event) {
        while (!sequencer.PostEvent(event))
            std::this_thread::sleep_for(1ms);
    };
    // The notes are let go in a later block than they started in, however
    // slowly the audio thread runs: a note released where it began is dropped.
    auto waitForLaterBlocks = [&] {
        EXPECT_TRUE(WaitUntil([&] { return !sequencer.HasPendingEvents(); }, kStateWait));
        const uint32_t rendered = manager.GetBuffersRendered();
        EXPECT_TRUE(WaitUntil([&] { return manager.GetBuffersRendered() >= rendered + 2; }, kStateWait));
    };
    for (int i = 0; i < kNotes; i += 16)
    {
        const int chord = std::min(16, kNotes - i);
        for (int n = 0; n < chord; ++n)
        {
            cAudioEvent on;
            on.type = kAudioEventNoteOn;
            on.slot = uint8_t(n);
            on.SetNote(uint8_t(36 + (i / 16) % 64), 100);
            on.wordB = (kVoiceSourceMIDI << 24) | uint32_t(i + n);
            post(on);
        }
        waitForLaterBlocks();
        for (int n = 0; n < chord; ++n)
        {
            cAudioEvent off;
            off.type = kAudioEventNoteOff;
            off.slot = uint8_t(n);
            off.SetNote(uint8_t(36 + (i / 16) % 64), 0);
            off.wordB = (kVoiceSourceMIDI << 24) | uint32_t(i + n);
            post(off);
        }
        waitForLaterBlocks();
    }
    // The last notes may lie a sixteenth ahead of where they were played:
    // the stop files them once the position has passed them.
    const int32_t played = gTransport.position;
    ASSERT_TRUE(WaitUntil([&] { return gTransport.position.load() >= played + 128; }, kStateWait));
    EXPECT_EQ(GetCountedAllocations(), allocations);
    EXPECT_EQ(GetCountedFrees(), frees);
    sequencer.Stop();
    manager.Shutdown();
    manager.GetOutputPort()->RemoveListener(&mixer);

    int recorded = 0;
    for (int32_t i = 0; i < sequencer.GetTrackList()->GetCount(); ++i)
        for (const cPatternInstance* part = sequencer.GetTrackList()->GetTrack(i)->GetFirstPart(); part;
             part = part->next)
            recorded += part->pattern->count;
    EXPECT_EQ(recorded, kNotes);
}
