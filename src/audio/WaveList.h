#pragma once
#include <cstdint>

// The oscillator waves by index. The names are what patches store and what
// the table files are called; the content generator shares this list.
enum : int32_t
{
    kWaveOff = 0,
    kWaveSine = 1,
    kWaveTriangle = 2,
    kWaveSaw = 3,
    kWaveSquare = 4,
    kWaveNoise = 13,
    kWaveBass1 = 14,
    kWaveBass3 = 16,
    kWaveEP1 = 18,
    kWaveOrgan1 = 26,
    kWaveCount = 38,
    kWaveNone = 38, // no wave selected yet
};

inline constexpr const char* kWaveNames[kWaveCount] = {
    "OFF",       "Sine",      "Triangle",  "Saw",       "Square",   "Pulse",     "SawSqr",  "SawTri",
    "VintSaw 1", "VintSaw 2", "VintSqr 1", "VintSqr 2", "VintSqr 3", "Noise",    "Bass 1",  "Bass 2",
    "Bass 3",    "Bass 4",    "EP 1",      "EP 2",      "EP 3",      "EP 4",     "FM 1",    "FM 2",
    "FM 3",      "FM 4",      "Organ 1",   "Organ 2",   "Organ 3",   "Organ 4",  "Clarinet", "Clavi",
    "Harps",     "Oboe",      "Sax",       "Trumpet",   "Vox Ah",    "Vox Ee",
};

// Silence and noise are computed; every other wave plays a table.
constexpr bool WaveHasTable(int32_t wave) { return wave > kWaveOff && wave < kWaveCount && wave != kWaveNoise; }
