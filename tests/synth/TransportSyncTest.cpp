// The tempo-synced blocks follow the sequencer's own transport: the LFOs'
// beat sync its clock, stopped or playing, and the synced delay its tempo.
#include <gtest/gtest.h>

#include <cmath>

#include "audio/ChorusDelay.h"
#include "audio/LFO.h"
#include "audio/ScopedTransport.h"
#include "audio/SignalMeasure.h"
#include "audio/Transport.h"
#include "sequencer/Sequencer.h"

namespace
{
constexpr int32_t kRate = 44100;
constexpr int32_t kBlock = 128;

// The fraction of the current beat of the clock.
float BeatPhase()
{
    const float beats = float(gTransport.clock.load()) / 256.0f;
    return beats - std::floor(beats);
}
} // namespace

TEST(TransportSyncTest, QuarterBeatSyncFollowsTheClockStoppedAndPlaying)
{
    cScopedTransport transport;
    cSequencer sequencer;
    cLFOParams params;
    params.Shape = cLFOParams::kShapeSawUp;
    params.Sync = cLFOParams::kSyncBeat;
    params.BeatRate = 4; // "1/4": one cycle per beat in 4/4
    cLFO lfo;
    lfo.params = &params;
    lfo.Trigger();
    const float dt = float(kBlock) / kRate;
    float previous = -1.0f;
    int wraps = 0;
    for (int block = 0; block < 600; ++block)
    {
        if (block == 300)
            sequencer.Play(0);
        sequencer.AdvanceBlock(kRate, kBlock);
        const float value = lfo.Process(nullptr, dt);
        ASSERT_NEAR(value, BeatPhase(), 1e-5f) << block;
        wraps += value < previous;
        previous = value;
    }
    EXPECT_EQ(gTransport.state.load(), int32_t(cTransport::kPlaying));
    // 600 blocks at 120 BPM are 1.74 s: three beats and a half.
    EXPECT_EQ(wraps, 3);
}

TEST(TransportSyncTest, SyncedDelayTakesTheSequencersTempo)
{
    cScopedTransport transport;
    cSequencer sequencer;
    sequencer.SetTempo(40.0f);
    cChorusDelayParams params;
    params.Type = cChorusDelayParams::kTypeDelay;
    params.Enable = 1;
    params.Sync = 1;
    params.DBeatTime = 5; // "1/2": 3 s at 40 BPM, halved twice to fit the line
    params.DFeedback = 0.0f;
    params.DAmount = 0.5f;
    cChorusDelay engine(1.0f);
    engine.params = &params;
    const cAudioProcessInfo info = MakeProcessInfo(kBlock);
    cTestBlock all(40000, 2);
    all.At(0, 0) = 1.0f;
    for (uint32_t start = 0; start < all.view.frames; start += kBlock)
    {
        cAudioBuffer view;
        view.Describe(kAudioFormatFloat, std::min<uint32_t>(kBlock, all.view.frames - start), 2, &all.At(start, 0));
        engine.Process(info, view, view, nullptr, nullptr);
    }
    for (uint32_t i = 1; i < all.view.frames; ++i)
        EXPECT_EQ(all.At(i, 0), i == 33075 ? 1.0f : 0.0f) << i;
}
