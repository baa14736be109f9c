#pragma once

#include <cstdint>

#include "base/GenString.h"

// The user's application settings, read directly wherever they matter (the
// start-up, the audio start, the orientation, the pattern editors, the
// sampler, the synthesizer's keyboard, the project pages). They live here,
// below every library that reads them; the global settings object of the
// application loads and saves them. The knob settings are kept by the widget
// manager.
struct cGlobalSettingValues
{
    enum : int32_t
    {
        kKeyWidthNarrow = 0,
        kKeyWidthNormal = 1,
        kKeyWidthWide = 2,
        kKeyWidthVeryWide = 3,
    };

    cGlobalSettingValues() { Reset(); }
    // The values the program starts with.
    void Reset();

    cGenStringFixed<260> recentProject; // a path in "Doc"; empty when there is none
    bool autoSaved;
    bool normalizeSample;
    bool normalizeResample;
    uint32_t installerVersion;
    int32_t introHelp; // times the intro help was shown
    int32_t keyWidth;
    int32_t auditionNote;    // 0..1: the pattern editors play a note while editing
    int32_t auditionNoteVol; // 0..100
    int32_t stopSamples;
    int32_t lockOrientation; // 0..1
    int32_t startOnProjectPage;
    int32_t dynamicCPUBoost;
    int32_t backgroundAudio; // 0..1: audio keeps playing in the background
    int32_t currentOrientation;
    int32_t audioQuality;  // 0 low, 1 medium, 2 high
    int32_t bufferLatency; // 0..4, very low to very high
    bool debug;            // never saved
};

extern cGlobalSettingValues gSettings;
