#pragma once

#include <cstdint>

#include "audio/ChorusDelay.h"

namespace Base
{
class cSerialise;
}

// The mixing desk of project files older than version 3: eight inputs with
// volume and pan, an output volume, one reverb and one chorus/delay, kept in
// the mixer instrument's "AM". Read after the instruments of such a file and
// applied to today's mixer: the reverb on send return A, the chorus/delay on
// send return B.
class cLegacyMixerSettings
{
public:
    static constexpr int32_t kInputCount = 8;
    static constexpr float kDefaultGain = 0.56f;

    struct cStrip
    {
        float volume; // a fader position 0..1
        float pan;    // 0..1
    };

    cLegacyMixerSettings();

    cStrip inputs[kInputCount];
    cStrip output;
    cChorusDelayParams chorus;
    int32_t reverbEnable = 1;
    int32_t reverbPreset = 3; // "Hall 1"
    float reverbDryWet = 0.32f;
};

// The fader position of an old linear gain: 0 below 0.01, else
// log2(v) / 4 + 1 (gain 1 is the top, each halving a quarter lower).
float LegacyVolumeToFader(float volume);
// Reads the old layout from the document's root; true when the mixer's "AM"
// was found. Values that are not finite keep their defaults; faders and pans
// stay within 0..1.
bool ImportLegacyProjectMixer(Base::cSerialise& serialise, cLegacyMixerSettings& settings);
// Applies the settings to the mixer of slot 0; nothing without one.
void ApplyLegacyProjectMixer(const cLegacyMixerSettings& settings);
