#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "PadTestSupport.h"
#include "audio/AllocationCounter.h"
#include "audio/ScopedTransport.h"
#include "audio/Transport.h"
#include "mixer/Mixer.h"
#include "mixer/MixingDeskInstrument.h"

using namespace PadTest;

namespace
{
constexpr int32_t kSixteenthIndex = 5; // 64 ticks
constexpr int32_t kStepTicks = 64;
constexpr int32_t kBars = 64;
constexpr uint32_t kDeviceFrames = 220;
constexpr int32_t kHitFrames = 32;

// The mix of one block in float, as the audio thread renders it.
struct cMixBlock
{
    std::vector<float> samples = std::vector<float>(kBlock * 2);
    cAudioBuffer buffer;

    void Render(cMixer& mixer, uint32_t frames)
    {
        buffer.Describe(kAudioFormatFloat, frames, 2, samples.data());
        cAudioProcessInfo info = MakeInfo(0, frames);
        mixer.RenderGraph(info, buffer, nullptr);
    }
    float Left(uint32_t f) const { return samples[f * 2]; }
    bool Silent(uint32_t from, uint32_t to) const
    {
        for (uint32_t f = from; f < to; ++f)
            if (samples[f * 2] != 0.0f || samples[f * 2 + 1] != 0.0f)
                return false;
        return true;
    }
};
// The rig's instrument on the mixer, sixteen keys held with 1/16 repeat and
// the song playing from its start.
void HoldSixteenKeysRepeating(cPadRig& rig, cMixer& mixer, cSequencer& sequencer)
{
    mixer.InsertChannels(&rig.instrument, nullptr);
    rig.Post(MakeSetIntEvent(cTriggerPad::kClassRepeatLength, kSixteenthIndex));
    for (int32_t pad = 0; pad < 16; ++pad)
        rig.Post(Note(kAudioEventNoteOn, kFirstNote + pad, 127, MIDIId(1, uint32_t(kFirstNote + pad))));
    sequencer.SetLoopEnabled(false);
    sequencer.Play(0);
}
} // namespace

// Sixteen keys held with 1/16 repeat at 120 BPM for 64 bars, rendered as the
// audio thread does (device buffers of 220 frames in blocks of 128 and 92)
// through the mixer, which moves the song first: every step is heard once,
// all sixteen pads at one level, from the first frame of the block whose
// clock reached it, and nothing between. Nothing is allocated.
TEST(PadMix, HeldPadsRepeatOnEveryStepOfSixtyFourBars)
{
    cScopedTransport transport;
    cSequencer sequencer;
    cPadRig rig;
    cMixingDeskInstrument desk(nullptr);
    cMixer& mixer = *desk.GetMixer();
    for (int32_t pad = 0; pad < 16; ++pad)
    {
        rig.LoadLevel(pad, "Dot" + std::to_string(pad), kHitFrames, 0.05f);
        rig.SetPadInt(pad, cTriggerPadData::kParamBus, pad % 3);
    }
    HoldSixteenKeysRepeating(rig, mixer, sequencer);

    cMixBlock block;
    block.Render(mixer, kBlock); // settles the first steps outside the count
    const uint64_t allocations = GetCountedAllocations();
    SetCountAllocationsOnThisThread(true);
    int32_t lastStep = gTransport.clock / kStepTicks;
    int32_t hits = 0;
    float level = 0.0f;
    int32_t faults = 0;
    for (uint32_t pass = 0; gTransport.clock < kBars * 1024; ++pass)
    {
        const uint32_t frames = pass % 2 == 0 ? kBlock : kDeviceFrames - kBlock;
        block.Render(mixer, frames);
        const int32_t step = gTransport.clock / kStepTicks;
        const bool due = step != lastStep;
        lastStep = step;
        if (!due)
        {
            faults += block.Silent(0, frames) ? 0 : 1;
            continue;
        }
        ++hits;
        if (level == 0.0f)
            level = block.Left(0);
        faults += block.Left(0) == level && block.Left(uint32_t(kHitFrames - 2)) == level ? 0 : 1;
        faults += block.Silent(kHitFrames, frames) ? 0 : 1;
        faults += rig.pads.GetParamInt(cTriggerPad::kClassSoundingPads) == 0xffff ? 0 : 1;
    }
    SetCountAllocationsOnThisThread(false);
    EXPECT_EQ(GetCountedAllocations() - allocations, 0u);
    EXPECT_EQ(faults, 0);
    EXPECT_EQ(hits, kBars * 1024 / kStepTicks);
    EXPECT_GT(level, 0.0f);
    mixer.RemoveChannels(&rig.instrument);
}

// The heaviest live load: sixteen held keys repeating on pads whose long
// releases keep all 32 voices busy, so every step steals. Ten seconds of
// device buffers through the mixer allocate nothing.
TEST(PadMix, ThirtyTwoBusyVoicesStealingAllocateNothing)
{
    cScopedTransport transport;
    cSequencer sequencer;
    cPadRig rig;
    cMixingDeskInstrument desk(nullptr);
    cMixer& mixer = *desk.GetMixer();
    for (int32_t pad = 0; pad < 16; ++pad)
    {
        rig.LoadLevel(pad, "Long" + std::to_string(pad), 44100, 0.1f);
        rig.SetPadInt(pad, cTriggerPadData::kParamBus, pad % 3);
        rig.SetPadInt(pad, cTriggerPadData::kParamTriggerMode, cTriggerPadData::kHold);
        rig.SetPadFloat(pad, cTriggerPadData::kParamRelease, 0.8f);
    }
    HoldSixteenKeysRepeating(rig, mixer, sequencer);

    std::vector<int16_t> device(kDeviceFrames * 2);
    cAudioBuffer output;
    output.Describe(kAudioFormatS16, kDeviceFrames, 2, device.data());
    const cAudioProcessInfo info = MakeInfo(0, kDeviceFrames);
    for (int i = 0; i < 400; ++i)
        mixer.RenderGraph(info, output, nullptr);
    ASSERT_EQ(rig.Voices().GetActiveCount(), 32);
    const uint64_t allocations = GetCountedAllocations();
    SetCountAllocationsOnThisThread(true);
    for (int i = 0; i < 2000; ++i)
        mixer.RenderGraph(info, output, nullptr);
    SetCountAllocationsOnThisThread(false);
    EXPECT_EQ(GetCountedAllocations() - allocations, 0u);
    EXPECT_EQ(rig.Voices().GetActiveCount(), 32);
    mixer.RemoveChannels(&rig.instrument);
}
