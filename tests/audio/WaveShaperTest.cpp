#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "audio/BitCrusher.h"
#include "audio/RecordForms.h"
#include "audio/SignalMeasure.h"
#include "audio/WaveShaper.h"

namespace
{
constexpr uint32_t kBlock = 128;
constexpr float kToneCutoff = 1000.0f / 44100.0f;

class WaveShaperTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { BuildShapeTables(); }

    WaveShaperTest()
    {
        params.Enable = 1;
        params.Bright = 0.5f;
        shaper.params = &params;
    }

    // Runs one block of a constant on both channels and returns it.
    cTestBlock RunConstant(float left, float right)
    {
        cTestBlock block(kBlock, 2);
        for (uint32_t i = 0; i < kBlock; ++i)
            block.At(i, 0) = left, block.At(i, 1) = right;
        shaper.Process(info, block.view, nullptr);
        return block;
    }

    // What the tone control at Bright 0.5 (a 0 dB low shelf) makes of the
    // shaped samples of one channel.
    std::vector<float> ThroughTone(const std::vector<float>& shaped)
    {
        cTestBlock block(uint32_t(shaped.size()), 1);
        block.samples = shaped;
        mirror.SetLowShelf(kToneCutoff, 0.0f, 1.0f);
        cBiquad* sections[1] = {&mirror};
        ProcessBiquadChannels(block.view, sections, 1);
        return block.samples;
    }

    cAudioProcessInfo info = MakeProcessInfo(kBlock);
    cWaveShapeParams params;
    cWaveShaper shaper;
    cBiquad mirror;
};

// The table of a shape read with linear interpolation at a position.
float TableAt(int32_t shape, float position)
{
    const float* table = GetShapeTable(shape);
    const int32_t i = int32_t(std::floor(position));
    return table[i] + (table[i + 1] - table[i]) * (position - float(i));
}

float OutputGain(float out, float drive, float bright, float outputLevel)
{
    return (out * 0.6f + 0.4f) * outputLevel * (1.0f - 0.3f * drive) * (1.0f - 0.8f * std::fabs(0.5f - bright));
}
} // namespace

TEST_F(WaveShaperTest, TablesSpanMinusOneToOne)
{
    const float* ramp = GetShapeTable(0);
    EXPECT_EQ(ramp[0], -1.0f);
    EXPECT_EQ(ramp[512], 0.0f);
    EXPECT_EQ(ramp[1024], ramp[1023]);
    for (int32_t k = 1; k < kShapeTableCount; ++k)
    {
        const float* table = GetShapeTable(k);
        float lowest = 1.0f, highest = -1.0f;
        for (int32_t i = 0; i < kShapeTablePoints; ++i)
            lowest = std::min(lowest, table[i]), highest = std::max(highest, table[i]);
        EXPECT_FLOAT_EQ(highest, 1.0f) << k;
        EXPECT_FLOAT_EQ(lowest, -1.0f) << k;
    }
    // "Hard" clips beyond 2^-4.5 of full scale.
    EXPECT_EQ(GetShapeTable(cWaveShapeParams::kShapeHard)[600], 1.0f);
    EXPECT_NEAR(GetShapeTable(cWaveShapeParams::kShapeHard)[522], 10.0f / 512 / std::exp2(-4.5f), 1e-5f);
    EXPECT_EQ(GetShapeTable(-1), nullptr);
    EXPECT_EQ(GetShapeTable(kShapeTableCount), nullptr);
}

TEST_F(WaveShaperTest, DisabledLeavesTheBufferBitForBit)
{
    params.Enable = 0;
    params.Bright = 0.9f;
    cTestBlock block(kBlock, 2);
    for (uint32_t i = 0; i < kBlock; ++i)
        block.At(i, 0) = 0.3f * std::sin(0.1f * i), block.At(i, 1) = -0.7f;
    const std::vector<float> before = block.samples;
    shaper.Process(info, block.view, nullptr);
    EXPECT_EQ(std::memcmp(before.data(), block.samples.data(), before.size() * sizeof(float)), 0);
}

TEST_F(WaveShaperTest, DriveZeroStillReachesEightyTwoPointsOfTheTable)
{
    params.Shape = cWaveShapeParams::kShapeSoft;
    params.Drive = 0.0f;
    params.Out = 0.5f;
    const float gainIn = 0.8f * 0.1f * 1023.0f; // 81.84: the drive never falls below 0.1
    const float gainOut = OutputGain(0.5f, 0.1f, 0.5f, 0.5f);
    for (float input : {1.0f, -1.0f, 0.5f})
    {
        shaper.Reset();
        mirror.Reset();
        cTestBlock block = RunConstant(input, input);
        const std::vector<float> shaped(kBlock, TableAt(params.Shape, 512.0f + input * gainIn) * gainOut);
        const std::vector<float> expected = ThroughTone(shaped);
        for (uint32_t i = 0; i < kBlock; ++i)
            ASSERT_NEAR(block.At(i, 1), expected[i], 1e-3f * gainOut) << input << " " << i;
    }
}

TEST_F(WaveShaperTest, HardAtHighDriveClipsToTheOutputGain)
{
    params.Shape = cWaveShapeParams::kShapeHard;
    params.Drive = 1.0f;
    params.Out = 1.0f;
    cTestBlock block = RunConstant(1.0f, -40.0f);
    const float gainOut = OutputGain(1.0f, 1.0f, 0.5f, 0.5f);
    const std::vector<float> high = ThroughTone(std::vector<float>(kBlock, gainOut));
    for (uint32_t i = 0; i < kBlock; ++i)
    {
        EXPECT_NEAR(block.At(i, 0), high[i], 1e-6f);
        EXPECT_NEAR(block.At(i, 1), -high[i], 1e-6f);
    }
}

TEST_F(WaveShaperTest, EqOnlyAtMiddleBrightnessBarelyTouchesTheLows)
{
    struct cCase
    {
        int32_t shape;
        int k; // cycles per 4096 frames
        double db;
    };
    // Shapes outside 1..7 act as "EQ Only".
    const cCase cases[] = {{cWaveShapeParams::kShapeEQOnly, 2, -0.0315}, {cWaveShapeParams::kShapeEQOnly, 1229, 0.0},
                           {0, 2, -0.0315}, {8, 2, -0.0315}, {-3, 1229, 0.0}};
    for (const cCase& c : cases)
    {
        params.Shape = c.shape;
        shaper.Reset();
        const double cycles = double(c.k) / 4096;
        cTestBlock all(3 * 4096, 2);
        for (uint32_t start = 0; start < all.view.frames; start += kBlock)
        {
            cTestBlock block(kBlock, 2);
            for (uint32_t i = 0; i < kBlock; ++i)
                block.At(i, 0) = block.At(i, 1) = float(std::sin(2.0 * std::numbers::pi * cycles * (start + i)));
            shaper.Process(info, block.view, nullptr);
            std::copy(block.samples.begin(), block.samples.end(), all.samples.begin() + start * 2);
        }
        const double gain = ToneAmplitude(all.samples, 2, 1, 2 * 4096, 4096, cycles);
        EXPECT_NEAR(ToDb(gain), c.db, 0.005) << c.shape << " at " << c.k;
    }
}

TEST_F(WaveShaperTest, DriveChangesRampTheGainsAcrossTheNextBlock)
{
    params.Shape = cWaveShapeParams::kShapeHard;
    params.Drive = 0.1f;
    params.Out = 1.0f;
    const float input = 0.001f; // inside the linear middle of "Hard"
    const float slope = 1.0f / 512.0f / std::exp2(-4.5f);
    RunConstant(input, input);
    params.Drive = 1.0f;
    cTestBlock block = RunConstant(input, input);

    const float inFrom = 0.8f * 0.1f * 1023.0f, inTo = 0.8f * 1023.0f;
    const float outFrom = OutputGain(1.0f, 0.1f, 0.5f, 0.5f), outTo = OutputGain(1.0f, 1.0f, 0.5f, 0.5f);
    std::vector<float> shaped;
    for (uint32_t i = 0; i < kBlock; ++i)
        shaped.push_back(input * slope * (inFrom + (inTo - inFrom) * i / kBlock) * (outFrom + (outTo - outFrom) * i / kBlock));
    // The tone section has run one block of the old level before.
    std::vector<float> history(kBlock, input * slope * inFrom * outFrom);
    history.insert(history.end(), shaped.begin(), shaped.end());
    const std::vector<float> expected = ThroughTone(history);
    for (uint32_t i = 0; i < kBlock; ++i)
        ASSERT_NEAR(block.At(i, 0), expected[kBlock + i], 1e-6f) << i;
}

TEST_F(WaveShaperTest, LoFiHandsTheBufferToTheCrusher)
{
    params.Shape = cWaveShapeParams::kShapeLoFi;
    params.Drive = 1.0f; // one bit
    params.Out = 1.0f;   // the lowest hold rate
    cTestBlock block(kBlock, 2);
    for (uint32_t i = 0; i < kBlock; ++i)
        block.At(i, 0) = block.At(i, 1) = 0.3f * std::sin(0.05f * i);
    cTestBlock crushed = block;
    shaper.Process(info, block.view, nullptr);

    cBitCrusherParams crusherParams{1, 0.0f, 0.0f};
    cBitCrusher crusher;
    crusher.params = &crusherParams;
    crusher.Process(crushed.view);
    std::vector<float> left;
    for (uint32_t i = 0; i < kBlock; ++i)
    {
        left.push_back(crushed.At(i, 0));
        EXPECT_EQ(std::fmod(std::fabs(crushed.At(i, 0)), 0.5f), 0.0f);
    }
    const std::vector<float> expected = ThroughTone(left);
    for (uint32_t i = 0; i < kBlock; ++i)
        ASSERT_NEAR(block.At(i, 0), expected[i], 1e-6f) << i;
}

TEST_F(WaveShaperTest, FormsRoundTrip)
{
    cWaveShapeParams written{1, cWaveShapeParams::kShapeZingy, 0.25f, 0.75f, 0.125f};
    const std::string xml = SaveRecordXml(written);
    EXPECT_NE(xml.find("Shape=\"Zingy\""), std::string::npos);
    EXPECT_NE(xml.find("Version=\"1\""), std::string::npos);
    cWaveShapeParams fromXml{};
    ASSERT_TRUE(LoadRecordXml(xml, fromXml));
    EXPECT_EQ(std::memcmp(&fromXml, &written, sizeof written), 0);

    // The word of a shape outside the list is kept, so the file round-trips.
    written.Shape = 42;
    for (int legacy : {0, 2})
    {
        const std::vector<uint8_t> bytes = SaveRecordBinary(written, legacy);
        EXPECT_EQ(bytes.size(), legacy ? 20u : 24u);
        cWaveShapeParams read{};
        ASSERT_TRUE(LoadRecordBinary(bytes, read, legacy));
        EXPECT_EQ(std::memcmp(&read, &written, sizeof written), 0);
    }

    struct cField
    {
        int32_t field;
        float value;
    };
    cWaveShapeParams p;
    for (cField f : {cField{cWaveShapeParams::kFieldDrive, 0.4f}, cField{cWaveShapeParams::kFieldBright, 0.6f},
                     cField{cWaveShapeParams::kFieldOut, 0.7f}})
    {
        p.SetParamFloat(f.field, f.value);
        EXPECT_EQ(p.GetParamFloat(f.field), f.value);
    }
    p.SetParamInt(cWaveShapeParams::kFieldShape, 7);
    EXPECT_EQ(p.Shape, 7);
    EXPECT_EQ(p.GetParamFloat(9), 0.0f);
}

TEST(BitCrusherTest, StepsAndRounding)
{
    struct cCase
    {
        float bits;
        float in;
        float out;
    };
    const float tiny = std::exp2(-16.0f);
    const cCase cases[] = {{0.0f, 0.2f, 0.0f},   {0.0f, -0.2f, 0.0f},   {0.0f, 0.25f, 0.5f},
                           {0.0f, 0.3f, 0.5f},   {0.0f, -0.25f, -0.5f}, {0.0f, 0.8f, 1.0f},
                           {1.0f, 0.3f, std::round(0.3f / tiny) * tiny}, {1.0f, 1.4f * tiny, tiny}};
    for (const cCase& c : cases)
    {
        cBitCrusherParams params{1, c.bits, 1.0f};
        cBitCrusher crusher;
        crusher.params = &params;
        cTestBlock block(4, 2, c.in);
        crusher.Process(block.view);
        EXPECT_EQ(block.At(3, 0), c.out) << c.bits << " " << c.in;
        EXPECT_EQ(block.At(3, 1), c.out);
    }
}

TEST(BitCrusherTest, HoldRateAndUntouchedChannels)
{
    struct cCase
    {
        float freq;
        double framesPerHold;
    };
    for (cCase c : {cCase{1.0f, 1.0}, cCase{0.0f, 82.85}})
    {
        cBitCrusherParams params{1, 1.0f, c.freq};
        cBitCrusher crusher;
        crusher.params = &params;
        const uint32_t frames = 128 * 100;
        cTestBlock block(frames, 4);
        for (uint32_t i = 0; i < frames; ++i)
            for (uint32_t ch = 0; ch < 4; ++ch)
                block.At(i, ch) = float(i + 1) / frames;
        crusher.Process(block.view);
        int changes = 0;
        for (uint32_t i = 1; i < frames; ++i)
            changes += block.At(i, 0) != block.At(i - 1, 0);
        EXPECT_NEAR(double(frames) / (changes + 1), c.framesPerHold, 0.5) << c.freq;
        EXPECT_EQ(block.At(frames - 1, 2), 1.0f);
        EXPECT_EQ(block.At(frames - 1, 3), 1.0f);
    }

    cBitCrusherParams off{0, 0.0f, 0.0f};
    cBitCrusher crusher;
    crusher.params = &off;
    cTestBlock block(8, 2, 0.1f);
    crusher.Process(block.view);
    EXPECT_EQ(block.samples, std::vector<float>(16, 0.1f));
}

TEST(BitCrusherTest, FormsRoundTripWithoutVersionWords)
{
    cBitCrusherParams written{1, 0.375f, 0.625f};
    cBitCrusherParams fromXml{};
    ASSERT_TRUE(LoadRecordXml(SaveRecordXml(written), fromXml));
    EXPECT_EQ(std::memcmp(&fromXml, &written, sizeof written), 0);
    const std::vector<uint8_t> bytes = SaveRecordBinary(written);
    EXPECT_EQ(bytes.size(), 12u);
    cBitCrusherParams read{};
    ASSERT_TRUE(LoadRecordBinary(bytes, read));
    EXPECT_EQ(std::memcmp(&read, &written, sizeof written), 0);
    EXPECT_EQ(read.GetParamFloat(cBitCrusherParams::kFieldBits), 0.375f);
    EXPECT_EQ(read.GetParamInt(cBitCrusherParams::kFieldEnable), 1);
}
