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
