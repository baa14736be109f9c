#pragma once
#include <cstdint>

#include "audio/AudioModule.h"
#include "audio/Instrument.h"
#include "mixer/Mixer.h"
#include "mixer/MixerChannel.h"
#include "mixer/MixingDeskInstrument.h"

namespace MixerTest
{
// Renders a constant level into every output (the level of output i is
// level + i), with the volume, sends and idle state the mixer asks for.
class cUnitModule : public cAudioModule
{
public:
    explicit cUnitModule(cInstrument* owner) : cAudioModule(owner, 64) {}

    int32_t Process(const cAudioProcessInfo& info, cAudioBuffer& buffer) override
    {
        DrainEvents();
        ++processed;
        lastOutput = info.outputIndex;
        const float x = level + float(info.outputIndex);
        for (uint32_t f = 0; f < buffer.frames; ++f)
        {
            const float y = burst < 0 || int32_t(f) < burst ? x : 0.0f;
            buffer.Floats()[f * 2] += y;
            buffer.Floats()[f * 2 + 1] += y * right;
        }
        return 0;
    }
    float GetOutputValue(int32_t kind, int32_t) override
    {
        switch (kind)
        {
        case 0:
            return volume;
        case 2:
            return send1;
        case 3:
            return send2;
        case 4:
            return idle ? 1.0f : 0.0f;
        default:
            return 0.5f;
        }
    }

    float level = 0.5f;
    int32_t burst = -1; // when 0 or more: only the first burst frames of each block sound
    float right = 1.0f; // the right channel's share of the level
    float volume = 1.0f;
    float send1 = 0.0f;
    float send2 = 0.0f;
    bool idle = false;
    int processed = 0;
    int32_t lastOutput = -1;
};

// An instrument with one mixer channel per output.
class cUnitInstrument : public cInstrument
{
public:
    explicit cUnitInstrument(int outputs = 1, const char* name = "Unit")
    {
        SetName(name);
        SetModule(new cUnitModule(this));
        for (int i = 0; i < outputs; ++i)
            AddChannel(new cMixerChannel(cMixerChannel::kKindInstrument, 2.4f, this, i));
    }
    void Select() override {}

    cUnitModule& Module() const { return *static_cast<cUnitModule*>(GetModule()); }
    cMixerChannel& Strip(int i) const { return *static_cast<cMixerChannel*>(GetChannel(i)); }
};
} // namespace MixerTest
