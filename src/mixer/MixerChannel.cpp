#include "mixer/MixerChannel.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "audio/Instrument.h"
#include "base/Serialise.h"

namespace
{
constexpr uint32_t kBufferFrames = 128;
constexpr uint32_t kBufferChannels = 2;
// The gain of the default volume 0.79 (2^-4(1 - 0.79)) and of the centre pan
// (0.75 on each side), so a new strip starts where its first update would go.
constexpr float kDefaultVolumeGain = 0.55864356f; // 2^-0.84
constexpr float kCentrePanFactor = 0.75f;

// Where the two branches of the volume curve meet: 2^(-4 x 0.8).
constexpr float kVolumeKnee = 0.2f;
constexpr float kKneeGain = 0.10881881f;
constexpr float kHalfPi = 1.5707964f;
constexpr float kPi = 3.1415927f;
constexpr float kTwoPi = 6.2831855f;

float WrapPi(float a) { return a > kPi ? a - kTwoPi : (a < -kPi ? a + kTwoPi : a); }

// The parabolic sine approximation, exact at 0 and +-pi/2.
float ParabolicSin(float x)
{
    const float square = 0.40528473f * x * x;
    return 1.2732395f * x + (x >= 0.0f ? -square : square);
}

// Volume and pan live in 0..1; anything else, or no number, is refused.
bool StoreUnit(float& field, float value)
{
    if (!std::isfinite(value))
        return false;
    field = std::clamp(value, 0.0f, 1.0f);
    return true;
}
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

float cMixerChannel::VolumeGain(float v)
{
    if (v < kVolumeKnee)
    {
        const float x = 5.0f * v;
        return x * x * kKneeGain;
    }
    return std::exp2(-4.0f * (1.0f - v));
}

void cMixerChannel::PanFactors(float pan, float& left, float& right)
{
    const float angle = WrapPi(pan * kHalfPi);
    right = ParabolicSin(angle);
    left = ParabolicSin(WrapPi(angle + kHalfPi));
}

void cMixerChannel::UpdateGains(bool jump)
{
    if (!enabled)
        targetGainLeft = targetGainRight = 0.0f;
    else
    {
        float left, right;
        PanFactors(workingPan, left, right);
        const float gain = level * VolumeGain(workingVolume);
        targetGainLeft = gain * left;
        targetGainRight = gain * right;
    }
    if (jump)
    {
        currentGainLeft = targetGainLeft;
        currentGainRight = targetGainRight;
    }
}

// Values from a file are refused or held to their ranges: a NaN volume would
// poison the whole mix, a mute state past solo means nothing.
bool cMixerChannel::Serialise(Base::cSerialise& serialise)
{
    const bool saving = serialise.IsSaving();
    float readVolume = volume, readPan = pan;
    int32_t readMute = muteState;
    serialise.SerialiseFloat("Vol", &readVolume, -FLT_MAX, FLT_MAX);
    serialise.SerialiseFloat("Pan", &readPan, -FLT_MAX, FLT_MAX);
    serialise.SerialiseInt32("Mute", &readMute, INT32_MIN, INT32_MAX);
    if (serialise.BeginNode("InsertFX", true))
    {
        insertRack.Serialise(serialise);
        serialise.EndNode("InsertFX");
    }
    if (saving)
        return true;
    StoreUnit(volume, readVolume);
    StoreUnit(pan, readPan);
    muteState = std::clamp(readMute, 0, 2);
    workingVolume = volume;
    workingPan = pan;
    UpdateGains(true);
    return true;
}

const char* cMixerChannel::GetDisplayName() const
{
    return kind == kKindInstrument && owner ? owner->GetName() : name.CStr();
}

void cMixerChannel::DecayMeters(float k)
{
    meterLeft = peakLeft >= meterLeft ? peakLeft : meterLeft + (peakLeft - meterLeft) * k;
    meterRight = peakRight >= meterRight ? peakRight : meterRight + (peakRight - meterRight) * k;
}

void cMixerChannel::SetEnabled(bool on)
{
    const uint8_t flag = on ? 1 : 0;
    if (flag == enabled)
        return;
    enabled = flag;
    UpdateGains(false);
}

bool cMixerChannel::SetVolumeOrPan(int32_t selector, float value)
{
    float* saved = selector == kSelectVolume ? &volume : (selector == kSelectPan ? &pan : nullptr);
    if (!saved || !StoreUnit(*saved, value))
        return false;
    (selector == kSelectVolume ? workingVolume : workingPan) = *saved;
    UpdateGains(false);
    return true;
}

float cMixerChannel::GetVolumeOrPan(int32_t selector) const
{
    if (selector == kSelectVolume)
        return workingVolume;
    return selector == kSelectPan ? workingPan : 0.0f;
}
