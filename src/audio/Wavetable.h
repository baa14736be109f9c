#pragma once
#include <cstdint>

#include "base/GenString.h"
#include "base/HeapArray.h"

struct cAudioBuffer;
namespace File
{
class cFile;
}

// One band-limited wave as a pyramid of tables: level 0 holds N samples of one
// cycle (N a power of two), each further level half as many, down to one
// sample, each keeping only the harmonics its length can carry. Playing a
// higher note reads a shorter level, so the read stays free of aliasing
// without filtering.
class cWavetable
{
public:
    // Table files are not trusted: anything outside these leaves the wave empty.
    static constexpr uint32_t kMinLength = 4;
    static constexpr uint32_t kMaxLength = 32768; // the 16.16 phase of level 0 fits 32 bits
    static constexpr int kHeaderBytes = 12;
    // A table holds one cycle at about full scale; samples far beyond it are
    // damage, and near the float range they would overflow while interpolating.
    static constexpr float kMaxSample = 1000.0f;

    struct cLevel
    {
        int32_t index = 0;
        uint32_t phaseMask = 0; // length x 65536 - 1: the 16.16 phase wraps at one cycle
        uint32_t length = 0;
        const float* samples = nullptr;
        // For interpolating reads: each sample beside its step to the next
        // (the last one's to the first), so a read takes both in one load.
        // Null until the levels are final.
        const float* steps = nullptr;
    };

    explicit cWavetable(const char* name);
    cWavetable(const cWavetable&) = delete;
    cWavetable& operator=(const cWavetable&) = delete;

    // Reads "Modules/Kest/Wavetables/<name>.tbl" on the "Res" mount. False,
    // leaving the table empty, when the file is missing or damaged.
    bool Load();
    // The same from an open stream; the stream's length must be exactly the
    // header plus 2N - 1 samples, each a number within kMaxSample.
    bool Read(File::cFile& stream);

    bool IsEmpty() const { return mLevels.GetCount() == 0; }
    int32_t GetLevelCount() const { return static_cast<int32_t>(mLevels.GetCount()); }
    const cLevel& GetLevel(int32_t index) const { return mLevels[static_cast<uint32_t>(index)]; }
    const char* GetName() const { return mName.CStr(); }

    // For the tools that make tables: lays out log2(N) + 1 levels over
    // 2N - 1 zeroed samples (N a power of two within the limits), and gives
    // the samples of one level, or all of them from level 0 on. A table made
    // so plays once FinishLevels has run; Read runs it itself.
    void AllocateLevels(uint32_t length);
    float* GetLevelSamples(int32_t index);
    void FinishLevels();
    uint32_t GetSampleCount() const { return mSamples.GetCount(); }
    const float* GetSamples() const { return mSamples.GetData(); }

private:
    void Clear();

    cHeapArray<cLevel> mLevels;
    cFloatArray mSamples;
    cFloatArray mSteps; // two floats per sample, level by level as mSamples
    cGenStringFixed<16> mName;
};

// Where one oscillator reads inside a wave's pyramid.
struct cWavetableReader
{
    const cWavetable* table = nullptr;
    uint32_t phase = 0;       // 16.16 samples of the current level
    uint32_t syncCounter = 0; // 16.16, hard-sync reads only
    int32_t level = 0;

    // Clamps to the playable levels (never the two shortest) and rescales the
    // phase when the level changes.
    void SelectLevel(int32_t wanted);
};

// Reads one wave at a pitch given in cycles per output sample.
class cWavetableOsc
{
public:
    void Reset();
    // Points the reader at another table, from the start of the wave.
    void SetTable(const cWavetable* table);

    // Both write the buffer's first channel, stepping by its channel count.
    // Free-running; phaseOffset (a fraction of a cycle) shifts this block only.
    void Render(float cyclesPerSample, cAudioBuffer& buffer, float phaseOffset, bool interpolate);
    // Hard-synced: the phase restarts every ratio cycles (one master cycle).
    void RenderRatio(float cyclesPerSample, cAudioBuffer& buffer, float ratio, bool interpolate);

    const cWavetableReader& GetReader() const { return mReader; }
    cWavetableReader& GetReader() { return mReader; }
    int32_t GetWantedLevel() const { return mWantedLevel; }

private:
    void ChooseLevel(float cyclesPerSample);
    // The level to read this block and its phase step; null, with silence
    // written, when there is no table.
    const cWavetable::cLevel* BeginBlock(float cyclesPerSample, cAudioBuffer& buffer, uint32_t& increment);

    int32_t mWantedLevel = 0; // before clamping
    cWavetableReader mReader;
};

// The level whose length suits a step of level-0 samples per output sample:
// trunc(log2(step) - 0.5) with log2 estimated from the float's bits.
int32_t ChooseWaveLevel(float step);

// The bank of tables by wave index; silence and noise have none. Built once in
// start-up stage 2 before anything renders, read-only until shutdown.
void BuildWaveTables();
void FreeWaveTables();
// The table of a wave, or null (no table, or the bank is not built).
const cWavetable* GetWaveTable(int32_t wave);
