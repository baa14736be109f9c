#include "audio/Wavetable.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "audio/AudioBuffer.h"
#include "audio/WaveList.h"
#include "base/File.h"
#include "base/FileSystemRegistry.h"

namespace
{
constexpr float kPhaseOne = 65536.0f;       // 1.0 in 16.16
constexpr float kPhaseScale = 1.0f / 65536.0f;

cWavetable* gWaveBank[kWaveCount] = {};

// A float turned into a phase step or span: clamped in float first, so no
// pitch, however wild, converts out of range.
uint32_t ToPhase(float value, uint32_t limit)
{
    if (!(value > 0.0f))
        return 0;
    if (value >= static_cast<float>(limit))
        return limit;
    return static_cast<uint32_t>(value);
}

// Whole samples of a phase offset, wrapped into the cycle's 16.16 range.
uint32_t OffsetPhase(float cycles, uint32_t length)
{
    float samples = static_cast<float>(length) * cycles;
    if (!std::isfinite(samples))
        return 0;
    samples = std::fmod(samples, static_cast<float>(length));
    return static_cast<uint32_t>(static_cast<int32_t>(samples)) << 16;
}

template <bool kInterpolate>
float ReadTable(const cWavetable::cLevel& level, uint32_t phase)
{
    const uint32_t i = phase >> 16;
    if constexpr (!kInterpolate)
        return level.samples[i];
    const float fraction = static_cast<float>(phase & 0xffff);
    if (level.steps)
        return level.steps[2 * i] + level.steps[2 * i + 1] * fraction * kPhaseScale;
    const float a = level.samples[i];
    const float b = level.samples[(i + 1) & (level.length - 1)];
    return a + (b - a) * fraction * kPhaseScale;
}

template <bool kInterpolate>
uint32_t ReadFree(const cWavetable::cLevel& level, uint32_t phase, uint32_t increment, cAudioBuffer& buffer)
{
    float* out = buffer.Floats();
    for (uint32_t f = 0; f < buffer.frames; ++f)
    {
        out[f * buffer.channels] = ReadTable<kInterpolate>(level, phase);
        phase = (phase + increment) & level.phaseMask;
    }
    return phase;
}

// The same into a contiguous channel, four frames at a time: frame n's
// phase is (phase + n x increment) masked, whichever way it is summed, as
// the mask keeps the low bits of a power of two.
using tPhases = uint32_t __attribute__((vector_size(16)));
using tInts = int32_t __attribute__((vector_size(16)));
using tFloats = float __attribute__((vector_size(16)));

// Four samples and their steps: one load of a pair each, the pair moved as
// one double so that it stays in a register.
tFloats ReadInterpolated(const float* steps, tPhases p)
{
    using tPairs = double __attribute__((vector_size(16)));
    const tPhases index = (p >> 16) * 2;
    double pair[4];
    for (int k = 0; k < 4; ++k)
        std::memcpy(&pair[k], steps + index[k], sizeof(double));
    const tFloats front = reinterpret_cast<tFloats>(tPairs{pair[0], pair[1]});
    const tFloats back = reinterpret_cast<tFloats>(tPairs{pair[2], pair[3]});
    const tInts values = {0, 2, 4, 6}, differences = {1, 3, 5, 7};
    const tFloats a = __builtin_shuffle(front, back, values), step = __builtin_shuffle(front, back, differences);
    const tFloats fraction = __builtin_convertvector(tInts(p & 0xffff), tFloats);
    return a + step * fraction * kPhaseScale;
}

tFloats ReadNearest(const float* samples, tPhases p)
{
    const tPhases index = p >> 16;
    return tFloats{samples[index[0]], samples[index[1]], samples[index[2]], samples[index[3]]};
}

template <bool kInterpolate>
uint32_t ReadFreeContiguous(const cWavetable::cLevel& level, uint32_t phase, uint32_t increment, float* out,
                            uint32_t frames)
{
    uint32_t f = 0;
    if (frames >= 4 && (!kInterpolate || level.steps))
    {
        // Locals, which the stores cannot alias.
        const float* steps = level.steps;
        const float* samples = level.samples;
        const uint32_t mask = level.phaseMask;
        tPhases p = tPhases{0, 1, 2, 3} * increment + phase;
        p &= mask;
        const uint32_t step = increment * 4;
        for (; f + 4 <= frames; f += 4)
        {
            const tFloats y = kInterpolate ? ReadInterpolated(steps, p) : ReadNearest(samples, p);
            std::memcpy(out + f, &y, sizeof(y));
            p = (p + step) & mask;
        }
        phase = p[0];
    }
    for (; f < frames; ++f)
    {
        out[f] = ReadTable<kInterpolate>(level, phase);
        phase = (phase + increment) & level.phaseMask;
    }
    return phase;
}

template <bool kInterpolate>
uint32_t ReadFreeInto(const cWavetable::cLevel& level, uint32_t phase, uint32_t increment, cAudioBuffer& buffer)
{
    if (buffer.channels == 1)
        return ReadFreeContiguous<kInterpolate>(level, phase, increment, buffer.Floats(), buffer.frames);
    return ReadFree<kInterpolate>(level, phase, increment, buffer);
}

template <bool kInterpolate>
void ReadSynced(const cWavetable::cLevel& level, cWavetableReader& reader, uint32_t increment, uint32_t period,
                cAudioBuffer& buffer)
{
    float* out = buffer.Floats();
    for (uint32_t f = 0; f < buffer.frames; ++f)
    {
        out[f * buffer.channels] = ReadTable<kInterpolate>(level, reader.phase);
        reader.syncCounter += increment;
        if (reader.syncCounter > period)
        {
            reader.syncCounter -= period;
            reader.phase = 0;
        }
        else
            reader.phase = (reader.phase + increment) & level.phaseMask;
    }
}

void WriteSilence(cAudioBuffer& buffer)
{
    float* out = buffer.Floats();
    for (uint32_t f = 0; f < buffer.frames; ++f)
        out[f * buffer.channels] = 0.0f;
}
} // namespace

cWavetable::cWavetable(const char* name) : mName(name) {}

bool cWavetable::Load()
{
    cGenStringFixed<260> path("Modules/Kest/Wavetables/");
    path.AppendCString(mName.CStr());
    path.AppendCString(".tbl");
    if (!gFileSystemRegistry)
        return false;
    std::unique_ptr<File::cFile> stream(gFileSystemRegistry->OpenIn("Res", path, File::kModeRead, 0));
    if (!stream)
        return false;
    const bool read = Read(*stream);
    stream->Close(false);
    return read;
}

bool cWavetable::Read(File::cFile& stream)
{
    Clear();
    uint32_t levelCount = 0, length = 0, total = 0;
    stream.SerialiseUInt32(&levelCount);
    stream.SerialiseUInt32(&length);
    stream.SerialiseUInt32(&total);
    if (length < kMinLength || length > kMaxLength || !std::has_single_bit(length) || total != 2 * length - 1)
        return false;
    const int bytes = static_cast<int>(total * sizeof(float));
    if (stream.GetLength() != kHeaderBytes + bytes)
        return false;
    AllocateLevels(length);
    bool sound = stream.Read(mSamples.GetData(), bytes) == bytes;
    for (uint32_t i = 0; sound && i < total; ++i)
        sound = std::fabs(mSamples[i]) <= kMaxSample; // false for a non-number too
    if (!sound)
        Clear();
    else
        FinishLevels();
    return sound;
}

void cWavetable::AllocateLevels(uint32_t length)
{
    uint32_t count = 0, total = 0;
    for (uint32_t n = length; n >= 1; n /= 2)
    {
        ++count;
        total += n;
    }
    mLevels.Resize(count, kHeapArrayForce);
    mSamples.Resize(total, kHeapArrayForce);
    mSteps.Free();
    std::fill_n(mSamples.GetData(), total, 0.0f);
    const float* start = mSamples.GetData();
    uint32_t n = length;
    for (uint32_t i = 0; i < count; ++i, n /= 2)
    {
        mLevels[i] = {static_cast<int32_t>(i), n * 65536u - 1u, n, start};
        start += n;
    }
}

float* cWavetable::GetLevelSamples(int32_t index)
{
    return mSamples.GetData() + (GetLevel(index).samples - mSamples.GetData());
}

// The step is the difference a read would take, b - a, in the same single
// precision, so a read through it gives the same value.
void cWavetable::FinishLevels()
{
    mSteps.Resize(mSamples.GetCount() * 2, kHeapArrayForce);
    float* out = mSteps.GetData();
    for (uint32_t i = 0; i < mLevels.GetCount(); ++i)
    {
        cLevel& level = mLevels[i];
        for (uint32_t n = 0; n < level.length; ++n)
        {
            const float a = level.samples[n];
            out[2 * n] = a;
            out[2 * n + 1] = level.samples[(n + 1) & (level.length - 1)] - a;
        }
        level.steps = out;
        out += 2 * level.length;
    }
}

void cWavetable::Clear()
{
    mLevels.Free();
    mSamples.Free();
    mSteps.Free();
}

void cWavetableReader::SelectLevel(int32_t wanted)
{
    const int32_t highest = table->GetLevelCount() - 3;
    if (wanted > highest)
        wanted = highest;
    if (wanted < 0)
        wanted = 0;
    if (wanted == level)
        return;
    const uint64_t from = table->GetLevel(level).length;
    const uint64_t to = table->GetLevel(wanted).length;
    const uint64_t whole = (phase >> 16) * to / from;
    const uint64_t fraction = (phase & 0xffff) * to / from;
    phase = static_cast<uint32_t>((whole << 16) + fraction);
    level = wanted;
}

int32_t ChooseWaveLevel(float step)
{
    const uint32_t bits = std::bit_cast<uint32_t>(step);
    const int32_t exponent = static_cast<int32_t>((bits >> 23) & 0xff) - 128;
    const float mantissa = std::bit_cast<float>((bits & 0x007fffffu) | 0x3f800000u); // 1..2
    return static_cast<int32_t>(static_cast<float>(exponent) + mantissa - 0.5f);
}

void cWavetableOsc::Reset()
{
    mWantedLevel = 0;
    mReader = cWavetableReader();
}

void cWavetableOsc::SetTable(const cWavetable* table)
{
    mReader.table = table;
    mReader.phase = 0;
    mReader.syncCounter = 0;
    mReader.level = 0;
}

// A level changes only when the wanted one moves by more than one, so small
// pitch movements do not flip between tables.
void cWavetableOsc::ChooseLevel(float cyclesPerSample)
{
    const float step = static_cast<float>(mReader.table->GetLevel(0).length) * cyclesPerSample;
    const int32_t wanted = ChooseWaveLevel(step);
    const int32_t moved = wanted - mWantedLevel;
    if (moved > 1 || moved < -1 || mReader.phase == 0)
    {
        mReader.SelectLevel(wanted);
        mWantedLevel = wanted;
    }
}

const cWavetable::cLevel* cWavetableOsc::BeginBlock(float cyclesPerSample, cAudioBuffer& buffer, uint32_t& increment)
{
    if (!mReader.table || mReader.table->IsEmpty())
    {
        WriteSilence(buffer);
        return nullptr;
    }
    ChooseLevel(cyclesPerSample);
    const cWavetable::cLevel& level = mReader.table->GetLevel(mReader.level);
    increment = ToPhase(static_cast<float>(level.length) * cyclesPerSample * kPhaseOne, level.phaseMask);
    return &level;
}

void cWavetableOsc::Render(float cyclesPerSample, cAudioBuffer& buffer, float phaseOffset, bool interpolate)
{
    uint32_t increment = 0;
    const cWavetable::cLevel* read = BeginBlock(cyclesPerSample, buffer, increment);
    if (!read)
        return;
    const cWavetable::cLevel& level = *read;
    const uint32_t offset = OffsetPhase(phaseOffset, level.length);
    uint32_t phase = (mReader.phase + offset) & level.phaseMask;
    phase = interpolate ? ReadFreeInto<true>(level, phase, increment, buffer)
                        : ReadFreeInto<false>(level, phase, increment, buffer);
    // The offset belongs to this block only.
    mReader.phase = (phase - offset) & level.phaseMask;
}

void cWavetableOsc::RenderRatio(float cyclesPerSample, cAudioBuffer& buffer, float ratio, bool interpolate)
{
    uint32_t increment = 0;
    const cWavetable::cLevel* read = BeginBlock(cyclesPerSample, buffer, increment);
    if (!read)
        return;
    const cWavetable::cLevel& level = *read;
    // Kept below 2^31 so the sync counter plus a step cannot wrap.
    const uint32_t period = ToPhase(static_cast<float>(level.length) * ratio, 32767) << 16;
    if (interpolate)
        ReadSynced<true>(level, mReader, increment, period, buffer);
    else
        ReadSynced<false>(level, mReader, increment, period, buffer);
}

void BuildWaveTables()
{
    int32_t missing = 0;
    for (int32_t wave = 0; wave < kWaveCount; ++wave)
    {
        if (!WaveHasTable(wave))
            continue;
        delete gWaveBank[wave];
        gWaveBank[wave] = new cWavetable(kWaveNames[wave]);
        if (!gWaveBank[wave]->Load())
            ++missing;
    }
    // Those waves stay silent; the program goes on.
    if (missing > 0)
        std::fprintf(stderr, "%d wave tables are missing or damaged under Modules/Kest/Wavetables\n", int(missing));
}

void FreeWaveTables()
{
    for (cWavetable*& table : gWaveBank)
    {
        delete table;
        table = nullptr;
    }
}

const cWavetable* GetWaveTable(int32_t wave)
{
    if (wave < 0 || wave >= kWaveCount)
        return nullptr;
    return gWaveBank[wave];
}
