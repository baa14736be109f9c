#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "audio/AudioBuffer.h"
#include "audio/WaveList.h"
#include "audio/Wavetable.h"
#include "base/File.h"

namespace
{
// A table file: level count, N, total, then the samples.
std::vector<uint8_t> TableFile(uint32_t levels, uint32_t length, uint32_t total, const std::vector<float>& samples)
{
    std::vector<uint8_t> bytes(12 + samples.size() * 4);
    const uint32_t header[3] = {levels, length, total};
    std::memcpy(bytes.data(), header, 12);
    if (!samples.empty())
        std::memcpy(bytes.data() + 12, samples.data(), samples.size() * 4);
    return bytes;
}

// Sample i of a counting table holds i units: exact in float, and below full scale.
constexpr float kUnit = 1.0f / 4096.0f;

// A valid pyramid of length N whose sample i holds i units.
std::vector<uint8_t> CountingTable(uint32_t length)
{
    std::vector<float> samples(2 * length - 1);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = float(i) * kUnit;
    return TableFile(uint32_t(std::bit_width(length)), length, 2 * length - 1, samples);
}

bool ReadTable(cWavetable& table, const std::vector<uint8_t>& bytes)
{
    File::cFileMemoryRead stream(bytes.data(), int(bytes.size()));
    return table.Read(stream);
}

void Describe(cAudioBuffer& buffer, std::vector<float>& data, uint32_t frames, uint32_t channels = 1)
{
    data.assign(size_t(frames) * channels, -9.0f);
    buffer.Describe(kAudioFormatFloat, frames, channels, data.data());
}
} // namespace

TEST(WavetableTest, LevelsHalveDownToOneSampleOverTwiceTheLengthLessOne)
{
    cWavetable table("Test");
    ASSERT_TRUE(ReadTable(table, CountingTable(2048)));
    ASSERT_EQ(table.GetLevelCount(), 12);
    const float* start = table.GetLevel(0).samples;
    uint32_t offset = 0;
    for (int32_t i = 0; i < 12; ++i)
    {
        const cWavetable::cLevel& level = table.GetLevel(i);
        EXPECT_EQ(level.index, i);
        EXPECT_EQ(level.length, 2048u >> i);
        EXPECT_EQ(level.phaseMask, (2048u >> i) * 65536u - 1u);
        EXPECT_EQ(level.samples, start + offset);
        EXPECT_EQ(level.samples[0], float(offset) * kUnit);
        offset += level.length;
    }
    EXPECT_EQ(offset, 4095u);
}

// Damaged files must never size the pyramid: the table stays empty (and the
// wave silent) unless N is a power of two in 4..32768, the total is 2N - 1,
// the file holds exactly that many samples and every sample is a number of
// sane size.
TEST(WavetableTest, DamagedFilesLeaveTheTableEmpty)
{
    std::vector<float> four(7, 0.5f);
    std::vector<float> withNaN = four;
    withNaN[3] = std::numeric_limits<float>::quiet_NaN();
    std::vector<float> withInfinity = four;
    withInfinity[6] = std::numeric_limits<float>::infinity();
    std::vector<float> huge = four;
    huge[0] = -1e30f;
    std::vector<float> loudest = four;
    loudest[1] = -cWavetable::kMaxSample;
    struct cCase
    {
        const char* what;
        std::vector<uint8_t> bytes;
        bool loads;
    };
    std::vector<uint8_t> oneShort = TableFile(3, 4, 7, four);
    oneShort.pop_back();
    std::vector<uint8_t> oneLong = TableFile(3, 4, 7, four);
    oneLong.push_back(0);
    const cCase cases[] = {
        {"smallest valid table", TableFile(3, 4, 7, four), true},
        {"level count is not read", TableFile(99, 4, 7, four), true},
        {"N of 2", TableFile(2, 2, 3, std::vector<float>(3, 0.5f)), false},
        {"N not a power of two", TableFile(3, 6, 11, std::vector<float>(11, 0.5f)), false},
        {"N of 65536", TableFile(17, 65536, 131071, {}), false},
        {"N of 2^31", TableFile(32, 0x80000000u, 0xffffffffu, {}), false},
        {"N of 0", TableFile(0, 0, 0, {}), false},
        {"total not 2N - 1", TableFile(3, 4, 8, std::vector<float>(8, 0.5f)), false},
        {"one byte short", oneShort, false},
        {"one byte long", oneLong, false},
        {"header only", TableFile(3, 4, 7, {}), false},
        {"not a number", TableFile(3, 4, 7, withNaN), false},
        {"infinite", TableFile(3, 4, 7, withInfinity), false},
        {"far beyond full scale", TableFile(3, 4, 7, huge), false},
        {"loud but sane", TableFile(3, 4, 7, loudest), true},
        {"empty file", {}, false},
    };
    for (const cCase& c : cases)
    {
        cWavetable table("Test");
        ASSERT_TRUE(ReadTable(table, CountingTable(16))) << c.what;
        EXPECT_EQ(ReadTable(table, c.bytes), c.loads) << c.what;
        EXPECT_EQ(table.IsEmpty(), !c.loads) << c.what;
        if (c.loads)
        {
            EXPECT_EQ(table.GetLevelCount(), 3) << c.what;
        }
    }
}

TEST(WavetableTest, LevelChoiceFromTheStepInLevelZeroSamples)
{
    struct cCase
    {
        float step;
        int32_t wanted;
        int32_t played; // clamped to 0..9 for N = 2048
    };
    const cCase cases[] = {
        {0.5f, -1, 0}, {1.0f, 0, 0},  {2.0f, 0, 0},   {2.99f, 0, 0}, {3.0f, 1, 1},
        {6.0f, 2, 2},  {12.0f, 3, 3}, {0.0f, -127, 0}, {1e9f, 29, 9},
    };
    cWavetable table("Test");
    ASSERT_TRUE(ReadTable(table, CountingTable(2048)));
    for (const cCase& c : cases)
    {
        EXPECT_EQ(ChooseWaveLevel(c.step), c.wanted) << c.step;
        cWavetableOsc osc;
        osc.SetTable(&table);
        std::vector<float> data;
        cAudioBuffer buffer;
        Describe(buffer, data, 4);
        osc.Render(c.step / 2048.0f, buffer, 0.0f, false);
        EXPECT_EQ(osc.GetReader().level, c.played) << c.step;
        EXPECT_EQ(osc.GetWantedLevel(), c.wanted) << c.step;
    }
    // The shortest level played has four samples.
    EXPECT_EQ(table.GetLevel(9).length, 4u);
}

TEST(WavetableTest, LevelChangesOnlyWhenTheWantedOneMovesByMoreThanOne)
{
    cWavetable table("Test");
    ASSERT_TRUE(ReadTable(table, CountingTable(2048)));
    cWavetableOsc osc;
    osc.SetTable(&table);
    std::vector<float> data;
    cAudioBuffer buffer;
    Describe(buffer, data, 3);
    osc.Render(3.0f / 2048.0f, buffer, 0.0f, false); // level 1 from phase 0
    ASSERT_EQ(osc.GetReader().level, 1);
    osc.Render(6.0f / 2048.0f, buffer, 0.0f, false); // wants 2: kept
    EXPECT_EQ(osc.GetReader().level, 1);
    osc.Render(1.0f / 2048.0f, buffer, 0.0f, false); // wants 0: kept
    EXPECT_EQ(osc.GetReader().level, 1);
    osc.Render(12.0f / 2048.0f, buffer, 0.0f, false); // wants 3: taken
    EXPECT_EQ(osc.GetReader().level, 3);
}

TEST(WavetableTest, LevelChangeRescalesThePhase)
{
    cWavetable table("Test");
    ASSERT_TRUE(ReadTable(table, CountingTable(2048)));
    cWavetableReader reader;
    reader.table = &table;
    reader.phase = (1000u << 16) + 0x8000; // 1000.5 of 2048
    reader.SelectLevel(2);                 // 512 samples
    EXPECT_EQ(reader.level, 2);
    EXPECT_EQ(reader.phase, (250u << 16) + 0x2000);
}

// Reading steps the 16.16 phase and, with interpolation, blends neighbours
// (the last sample with the first).
TEST(WavetableTest, ReadsWithAndWithoutInterpolation)
{
    const std::vector<float> samples = {0.0f, 1.0f, 0.0f, -1.0f, 0.5f, -0.5f, 0.25f};
    cWavetable table("Test");
    ASSERT_TRUE(ReadTable(table, TableFile(3, 4, 7, samples)));
    for (bool interpolate : {false, true})
    {
        cWavetableOsc osc;
        osc.SetTable(&table);
        std::vector<float> data;
        cAudioBuffer buffer;
        Describe(buffer, data, 8, 2);
        osc.Render(0.5f / 4.0f, buffer, 0.0f, interpolate); // half a sample per frame
        const float plain[8] = {0.0f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f, -1.0f, -1.0f};
        const float blended[8] = {0.0f, 0.5f, 1.0f, 0.5f, 0.0f, -0.5f, -1.0f, -0.5f};
        for (int f = 0; f < 8; ++f)
        {
            EXPECT_FLOAT_EQ(data[size_t(f) * 2], interpolate ? blended[f] : plain[f]) << f;
            EXPECT_EQ(data[size_t(f) * 2 + 1], -9.0f) << "the second channel is left alone";
        }
    }
}

// A contiguous channel is read four frames at a time, through the samples'
// stored steps; a strided one frame by frame from the samples. Both give the
// same values bit for bit, at pitches whose phase wraps mid-block, over
// blocks of every remainder, and so does a table made by the tools before
// and after its levels are finished.
TEST(WavetableTest, ContiguousAndStridedReadsAgreeExactly)
{
    std::vector<float> samples(2 * 64 - 1);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = float(std::sin(0.37 * double(i)) * 0.9 + 0.05 * double(i % 7));
    cWavetable loaded("Test");
    ASSERT_TRUE(ReadTable(loaded, TableFile(7, 64, 127, samples)));
    cWavetable made("Made");
    made.AllocateLevels(64);
    std::copy(samples.begin(), samples.end(), made.GetLevelSamples(0));
    for (const cWavetable* table : {&loaded, &made})
        for (bool interpolate : {false, true})
            for (float cycles : {0.0031f, 0.0457f, 0.21f})
            {
                cWavetableOsc contiguous, strided;
                contiguous.SetTable(table);
                strided.SetTable(table);
                for (uint32_t frames : {128u, 7u, 61u, 4u, 3u, 92u})
                {
                    std::vector<float> one, two;
                    cAudioBuffer a, b;
                    Describe(a, one, frames);
                    Describe(b, two, frames, 2);
                    contiguous.Render(cycles, a, 0.0f, interpolate);
                    strided.Render(cycles, b, 0.0f, interpolate);
                    for (uint32_t f = 0; f < frames; ++f)
                        ASSERT_EQ(std::bit_cast<uint32_t>(one[f]), std::bit_cast<uint32_t>(two[f * 2]))
                            << table->GetName() << " frame " << f << " of " << frames << " at " << cycles;
                }
                EXPECT_EQ(contiguous.GetReader().phase, strided.GetReader().phase);
            }
    made.FinishLevels();
    ASSERT_NE(made.GetLevel(0).steps, nullptr);
    const auto block = [](const cWavetable& table) {
        cWavetableOsc osc;
        osc.SetTable(&table);
        std::vector<float> data;
        cAudioBuffer buffer;
        Describe(buffer, data, 128);
        osc.Render(0.0457f, buffer, 0.0f, true);
        return data;
    };
    EXPECT_EQ(block(loaded), block(made));
}

// An offset moves this block only; the next block carries on from the
// unshifted phase.
TEST(WavetableTest, PhaseOffsetAppliesToOneBlock)
{
    cWavetable table("Test");
    ASSERT_TRUE(ReadTable(table, CountingTable(2048)));
    const float cycles = 2.0f / 2048.0f; // two samples of level 0 per frame
    cWavetableOsc plain, shifted;
    plain.SetTable(&table);
    shifted.SetTable(&table);
    std::vector<float> a, b;
    cAudioBuffer ba, bb;
    Describe(ba, a, 16);
    Describe(bb, b, 16);
    plain.Render(cycles, ba, 0.0f, false);
    shifted.Render(cycles, bb, 0.0f, false);
    plain.Render(cycles, ba, 0.0f, false);
    shifted.Render(cycles, bb, 0.5f, false);
    for (int f = 0; f < 16; ++f)
        EXPECT_EQ(b[size_t(f)], std::fmod(a[size_t(f)] + 1024.0f * kUnit, 2048.0f * kUnit)) << f;
    plain.Render(cycles, ba, 0.0f, false);
    shifted.Render(cycles, bb, 0.0f, false);
    EXPECT_EQ(a, b);
    EXPECT_EQ(plain.GetReader().phase, shifted.GetReader().phase);
}

// However wild the pitch, the step, the offset and the sync period are
// clamped before they become integers.
TEST(WavetableTest, ExtremePitchesStayInsideTheTable)
{
    cWavetable table("Test");
    ASSERT_TRUE(ReadTable(table, CountingTable(2048)));
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (float cycles : {inf, -inf, nan, 1e30f, -1.0f, 0.0f})
        for (float extra : {inf, nan, 1e30f, -1e30f, 0.25f})
        {
            cWavetableOsc osc;
            osc.SetTable(&table);
            std::vector<float> data;
            cAudioBuffer buffer;
            Describe(buffer, data, 32);
            osc.Render(cycles, buffer, extra, true);
            osc.RenderRatio(cycles, buffer, extra, true);
            for (float x : data)
                EXPECT_TRUE(x >= 0.0f && x < 4095.0f * kUnit) << cycles << " " << extra;
        }
}
