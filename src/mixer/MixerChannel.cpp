#include "mixer/MixerChannel.h"

namespace
{
constexpr uint32_t kBufferFrames = 128;
constexpr uint32_t kBufferChannels = 2;
// The gain of the default volume 0.79 (2^-4(1 - 0.79)) and of the centre pan
// (0.75 on each side), so a new strip starts where its first update would go.
constexpr float kDefaultVolumeGain = 0.55864356f; // 2^-0.84
constexpr float kCentrePanFactor = 0.75f;
} // namespace

cMixerChannel::cMixerChannel(int32_t kind, float level, cInstrument* owner, int32_t outputIndex)
    : kind(kind)
    , level(level)
    , owner(owner)
    , outputIndex(outputIndex)
{
    const float gain = level * kDefaultVolumeGain * kCentrePanFactor;
    targetGainLeft = targetGainRight = currentGainLeft = currentGainRight = gain;
    BuildRack();
    if (kind == kKindReturn || kind == kKindMaster)
    {
        mBufferData = std::make_unique<float[]>(kBufferFrames * kBufferChannels);
        buffer.Describe(kAudioFormatFloat, kBufferFrames, kBufferChannels, mBufferData.get());
        buffer.reserved = 1;
    }
}

cMixerChannel::~cMixerChannel() = default;

// The master's returns come in between its first insert and the other two.
void cMixerChannel::BuildRack()
{
    if (kind != kKindMaster)
    {
        insertRack.BuildInsertChain();
        return;
    }
    insertRack.AddNode("IN", cEffectRackNode::kFlagInput);
    insertRack.AddNode("SLOT1", cEffectRackNode::kKindSlot);
    insertRack.AddNode("RETURNS", cEffectRackNode::kKindReturns);
    insertRack.AddNode("SLOT2", cEffectRackNode::kKindSlot);
    insertRack.AddNode("SLOT3", cEffectRackNode::kKindSlot);
    insertRack.AddNode("OUT", cEffectRackNode::kFlagOutput);
}
