#pragma once

#include <atomic>
#include <cstdint>

#include "audio/AllocationCounter.h"
#include "audio/AudioModule.h"
#include "audio/Instrument.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/SampleConvert.h"
#include "sequencer/Sequencer.h"

// Stands in for the mixer on the "MainOut" port: per block it advances the
// sequencer, renders every slot's instrument into a float mix, lets the
// sequencer add the click and writes the device's 16-bit block.
class cTestBlockDriver : public cAudioModuleBase
{
public:
    static constexpr uint32_t kMaxFrames = 128;

    cTestBlockDriver(cSequencer& sequencer, const cInstrumentSlotTable& slots, bool countAllocations = false)
        : cAudioModuleBase(0)
        , mSequencer(sequencer)
        , mSlots(slots)
        , mCountAllocations(countAllocations)
    {
    }

    int32_t Process(const cAudioProcessInfo& info, cAudioBuffer& device) override
    {
        if (mCountAllocations)
            SetCountAllocationsOnThisThread(true);
        const uint32_t frames = device.frames < kMaxFrames ? device.frames : kMaxFrames;
        mSequencer.AdvanceBlock(static_cast<int32_t>(info.sampleRate), static_cast<int32_t>(frames));
        for (float& sample : mMix)
            sample = 0.0f;
        cAudioBuffer mix;
        mix.Describe(kAudioFormatFloat, frames, 2, mMix);
        for (int32_t slot = 0; slot < mSlots.GetCount(); ++slot)
            if (const cInstrument* instrument = mSlots.GetInstrument(slot))
                instrument->GetModule()->Process(info, mix);
        mSequencer.Process(info, mix);
        FloatToInt16(mMix, static_cast<int16_t*>(device.data), frames * 2);
        blocks.fetch_add(1);
        return 0;
    }

    std::atomic<uint32_t> blocks{0};

private:
    cSequencer& mSequencer;
    const cInstrumentSlotTable& mSlots;
    bool mCountAllocations;
    float mMix[kMaxFrames * 2] = {};
};
