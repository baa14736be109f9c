#pragma once
#include <cstdint>

#include "audio/Biquad.h"
#include "instruments/pads/TriggerPadOutput.h"

struct cAudioBuffer;
struct cAudioProcessInfo;

// The processor of one output bus: after the bus's voices are rendered it
// filters the stereo block with one section per channel, and counts down the
// blocks since the bus last had a voice, so the mixer can skip a silent bus
// once the filter's tail has rung out.
class cTriggerPadBus
{
public:
    // Blocks a bus stays awake after its last voice.
    static constexpr int32_t kSilenceBlocks = 4;

    cTriggerPadBus();

    // Clears both sections' state; their coefficients stay.
    void Reset();
    // The block's countdown step: rearmed by a voice, else one block less.
    // At 0 the filter state is cleared and false returned: the bus is silent.
    bool UpdateSilence(bool hasVoice);
    // The settings this block filters with.
    void SetSettings(const cTriggerPadFilterSettings& settings) { mSettings = settings; }
    // Redesigns the sections when the type, cutoff or Q changed; a changed
    // type also clears their state.
    void UpdateFilter(const cAudioProcessInfo& info, float cutoffModulation);
    // Filters in place when the filter is on and has a type.
    void Process(const cAudioBuffer& buffer);

    bool IsSilent() const { return mCountdown == 0; }
    // The design in use: the cutoff as a fraction of the rate and the final Q.
    float GetCutoffFraction() const { return mCachedCutoff; }
    float GetFinalQ() const { return mCachedQ; }
    int32_t GetCurrentType() const { return mCurrentType; }
    const cBiquad& GetSection(int32_t channel) const { return mSections[channel]; }

private:
    void Design();

    int32_t mCurrentType = 4; // none, so the first update designs
    float mCachedCutoff = 1.0f;
    float mCachedQ = 1.0f;
    cBiquad mSections[2];
    cTriggerPadFilterSettings mSettings;
    int32_t mCountdown = kSilenceBlocks;
};
