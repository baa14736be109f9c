#pragma once
#include <cstdint>
#include <memory>

#include "audio/AudioBuffer.h"
#include "audio/ChannelStrip.h"
#include "base/GenString.h"
#include "mixer/EffectRack.h"

class cInstrument;

// One strip of the mix: an instrument output, a send return or the master.
// It holds the user's volume, pan and mute state and the left and right gains
// derived from them, its meters, its insert rack, and for returns and the
// master a block of its own to mix into.
class cMixerChannel : public cChannelStrip
{
public:
    enum : int32_t
    {
        kKindInstrument = 0,
        kKindReturn = 1,
        kKindMaster = 2,
    };

    static constexpr float kDefaultVolume = 0.79f;
    static constexpr float kDefaultPan = 0.5f;

    // level is the gain at full fader: 2.4 for instrument outputs, 1.2 for
    // returns, 0.9 for the master.
    cMixerChannel(int32_t kind, float level, cInstrument* owner, int32_t outputIndex);
    ~cMixerChannel() override;

    // Selectors of the volume and pan pair.
    enum : int32_t
    {
        kSelectVolume = 0,
        kSelectPan = 1,
    };

    // The target gains from the working volume and pan; with jump the
    // current gains follow at once, otherwise the mixer ramps to them over
    // the next block. A disabled strip targets silence.
    void UpdateGains(bool jump);
    // "Vol", "Pan", "Mute" and the insert chain under "InsertFX". A load
    // takes the values at once, without a ramp.
    bool Serialise(Base::cSerialise& serialise) override;
    // The owning instrument's name for an instrument output, else its own.
    const char* GetDisplayName() const;
    // Each meter takes its peak when that is higher, else moves by k of the
    // way toward it.
    void DecayMeters(float k);
    // The mixer's mute and solo outcome; a change ramps over one block.
    void SetEnabled(bool on);
    // Stored and working value by selector, ramping; false, changing
    // nothing, for a value that is not a number or a selector that is none.
    bool SetVolumeOrPan(int32_t selector, float value);
    // The working value by selector; 0 for a selector that is none.
    float GetVolumeOrPan(int32_t selector) const;

    // The volume curve: (5v)^2 x 0.1088 below 0.2, 2^(-4(1 - v)) above.
    static float VolumeGain(float volume);
    // The parabolic-sine pan law: pan 0.5 gives 0.75 on each side.
    static void PanFactors(float pan, float& left, float& right);

    int32_t kind;
    cGenStringFixed<16> name; // "SEND 1", "SEND 2", "OUT"; empty for instrument outputs
    float peakLeft = 0.0f;
    float peakRight = 0.0f;
    float meterLeft = 0.0f;
    float meterRight = 0.0f;
    float level;
    float targetGainLeft;
    float targetGainRight;
    float currentGainLeft;
    float currentGainRight;
    cAudioBuffer buffer; // returns and the master only
    cEffectRack insertRack;
    float volume = kDefaultVolume;
    float pan = kDefaultPan;
    float workingVolume = kDefaultVolume;
    float workingPan = kDefaultPan;
    int32_t muteState = 0; // 0 normal, 1 muted, 2 soloed
    uint8_t enabled = 1;
    cInstrument* owner;
    int32_t outputIndex;
    int32_t volumeParamIndex = 1;
    int32_t panParamIndex = 2;
    uint32_t groupFlags = 0;

private:
    void BuildRack();

    std::unique_ptr<float[]> mBufferData;
};
