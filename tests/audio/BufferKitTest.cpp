#include <gtest/gtest.h>

#include <vector>

#include "audio/AudioBufferPool.h"
#include "audio/AudioMix.h"
#include "audio/ByteRingBuffer.h"
#include "audio/EffectCrossfade.h"
#include "audio/MIDINoteName.h"
#include "audio/SampleConvert.h"
#include "audio/SampleRingBuffer.h"
#include "audio/SilenceDetector.h"
#include "base/GenString.h"

TEST(SampleConvertTest, FloatToInt16ClampsAndTruncates)
{
    const float in[8] = {1.5f, 1.0f, -1.0f, 0.99999f, -1.5f, 0.0f, -0.5f, 0.5f};
    int16_t out[8] = {};
    FloatToInt16(in, out, 8);
    const int16_t expected[8] = {32767, 32767, -32767, 32766, -32767, 0, -16383, 16383};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(out[i], expected[i]) << i;
}

TEST(SampleConvertTest, FloatToInt24WritesPackedLittleEndian)
{
    const float in[4] = {1.0f, -1.0f, 0.0f, 0.5f};
    uint8_t out[12] = {};
    FloatToInt24(in, out, 4);
    const uint8_t expected[12] = {0xff, 0xff, 0x7f, 0x00, 0x00, 0x80, 0, 0, 0, 0xff, 0xff, 0x3f};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(out[i], expected[i]) << i;

    float back[4] = {};
    Int24ToFloat(out, back, 4);
    EXPECT_NEAR(back[0], 1.0f, 1e-6f);
    EXPECT_NEAR(back[1], -1.0f, 1e-6f);
    EXPECT_NEAR(back[3], 0.5f, 1e-6f);
}

TEST(SampleConvertTest, WholeGroupsOfFourOnly)
{
    const float in[6] = {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f};
    int16_t out16[6] = {-1, -1, -1, -1, -1, -1};
    FloatToInt16(in, out16, 6);
    EXPECT_EQ(out16[3], 16383);
    EXPECT_EQ(out16[4], -1);
    EXPECT_EQ(out16[5], -1);

    int32_t out32[3] = {7, 7, 7};
    FloatToInt32(in, out32, 3);
    EXPECT_EQ(out32[0], 7);

    const int16_t pcm[4] = {32767, -32767, 0, 16384};
    float f[4] = {};
    Int16ToFloat(pcm, f, 4);
    EXPECT_FLOAT_EQ(f[0], 1.0f);
    EXPECT_FLOAT_EQ(f[1], -1.0f);
    EXPECT_FLOAT_EQ(f[3], 16384 * 3.0518509e-05f);
}

TEST(SampleConvertTest, NanBecomesSilence)
{
    const float in[4] = {std::numeric_limits<float>::quiet_NaN(), 0.25f, 0.25f, 0.25f};
    int16_t out[4] = {-1, -1, -1, -1};
    FloatToInt16(in, out, 4);
    EXPECT_EQ(out[0], 0);
}

TEST(AudioMixTest, CrossfadeWeightsStepOncePerFrame)
{
    float dest[8] = {};
    float src[8];
    for (float& s : src)
        s = 1.0f;
    cAudioBuffer d, s;
    d.Describe(kAudioFormatFloat, 4, 2, dest);
    s.Describe(kAudioFormatFloat, 4, 2, src);
    MixStereoCrossfade(d, 1.0f, 0.0f, s);
    const float weights[4] = {1.0f, 0.75f, 0.5f, 0.25f};
    for (int f = 0; f < 4; ++f)
    {
        EXPECT_FLOAT_EQ(dest[f * 2], weights[f]) << f;
        EXPECT_FLOAT_EQ(dest[f * 2 + 1], weights[f]) << f;
    }
}

TEST(AudioMixTest, CopyStereoStepsByEachBuffersChannels)
{
    float four[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    float two[6] = {};
    cAudioBuffer src, dst, mono;
    src.Describe(kAudioFormatFloat, 3, 4, four);
    dst.Describe(kAudioFormatFloat, 3, 2, two);
    EXPECT_TRUE(CopyStereo(dst, src, 10));
    const float expected[6] = {1, 2, 5, 6, 9, 10};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(two[i], expected[i]) << i;

    EXPECT_FALSE(CopyStereo(dst, src, 0));
    // A mono buffer has no second channel to copy into.
    mono.Describe(kAudioFormatFloat, 3, 1, two);
    EXPECT_FALSE(CopyStereo(mono, src, 3));
}

TEST(AudioMixTest, GainRampStepsPerGroup)
{
    float data[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    cGainRamp4 ramp;
    ramp.data = data;
    ramp.groups = 2;
    for (int k = 0; k < 4; ++k)
    {
        ramp.gain[k] = 0.5f;
        ramp.step[k] = 0.25f;
    }
    ApplyGainRamp4(ramp);
    EXPECT_FLOAT_EQ(data[0], 0.5f);
    EXPECT_FLOAT_EQ(data[4], 0.75f);
    EXPECT_FLOAT_EQ(ramp.gain[3], 1.0f);
}

TEST(AudioBufferPoolTest, ExhaustionAndReuse)
{
    cAudioBufferPool pool(8, 128);
    std::vector<cAudioBufferPool::cHandle> handles;
    for (int i = 0; i < 8; ++i)
    {
        handles.push_back(pool.Acquire(kAudioFormatFloat, 128, 4));
        ASSERT_NE(handles.back().node, nullptr) << i;
        EXPECT_EQ(handles.back().node->buffer.bytes, 128u * 4 * 4);
    }
    EXPECT_EQ(pool.Acquire(kAudioFormatFloat, 128, 2).node, nullptr);

    void* released = handles[3].node->buffer.data;
    pool.Release(handles[3]);
    pool.Release(handles[3]); // a second release changes nothing
    EXPECT_EQ(pool.GetFreeCount(), 1u);
    const cAudioBufferPool::cHandle again = pool.Acquire(kAudioFormatFloat, 64, 2);
    ASSERT_NE(again.node, nullptr);
    EXPECT_EQ(again.node->buffer.data, released);
    EXPECT_EQ(again.node->buffer.frames, 64u);
}

TEST(AudioBufferPoolTest, RequestLargerThanABufferIsRefused)
{
    cAudioBufferPool pool(2, 128);
    EXPECT_EQ(pool.Acquire(kAudioFormatFloat, 256, 4).node, nullptr);
    EXPECT_EQ(pool.Acquire(kAudioFormatFloat, 128, 8).node, nullptr);
    EXPECT_EQ(pool.GetFreeCount(), 2u);
}

TEST(EffectCrossfadeTest, FadesTheProcessedSignalInOverTheBlock)
{
    cAudioBufferPool pool(1, 128);
    float samples[8] = {1, 1, 1, 1, 1, 1, 1, 1}; // dry signal
    cAudioBuffer block;
    block.Describe(kAudioFormatFloat, 4, 2, samples);
    cEffectCrossfade fade;
    fade.Begin(block, cEffectCrossfade::kModeFadeIn, &pool);
    EXPECT_EQ(pool.GetFreeCount(), 0u);
    for (float& s : samples)
        s = 0.0f; // the effect silences
    fade.Mix();
    fade.End();
    EXPECT_EQ(pool.GetFreeCount(), 1u);
    EXPECT_FLOAT_EQ(samples[0], 1.0f);  // starts dry
    EXPECT_FLOAT_EQ(samples[6], 0.25f); // moving to processed

    // Without a free buffer there is nothing to mix.
    cAudioBufferPool empty(0, 128);
    samples[0] = 0.5f;
    fade.Begin(block, cEffectCrossfade::kModeFadeOut, &empty);
    fade.Mix();
    fade.End();
    EXPECT_FLOAT_EQ(samples[0], 0.5f);
}

TEST(SilenceDetectorTest, SleepsAfterHoldTimeOfSilenceAndWakesOnSound)
{
    std::vector<float> block(128 * 2, 0.0f);
    cAudioBuffer buffer;
    buffer.Describe(kAudioFormatFloat, 128, 2, block.data());
    cAudioProcessInfo info;
    info.sampleRate = 44100.0f;
    info.secondsPerSample = 1.0f / 44100.0f;
    info.duration = 128 * info.secondsPerSample;

    cSilenceDetector detector;
    detector.holdTime = detector.remaining = 1.0f;
    detector.stereo = 1;
    int blocks = 0;
    while (!detector.IsAsleep() && blocks < 1000)
    {
        detector.CheckInput(info, buffer, false);
        detector.CheckOutput(info, buffer);
        ++blocks;
    }
    EXPECT_EQ(blocks, 345);
    EXPECT_EQ(detector.remaining, 0.0f);
    EXPECT_EQ(detector.woke, 0);

    // Every 33rd frame is tested: frame 66's right channel is.
    block[66 * 2 + 1] = 0.001f;
    detector.CheckInput(info, buffer, false);
    EXPECT_EQ(detector.active, 1);
    EXPECT_EQ(detector.woke, 1);
    EXPECT_EQ(detector.remaining, 1.0f);

    // A sample between tested frames goes unnoticed.
    block[66 * 2 + 1] = 0.0f;
    block[67 * 2] = 0.5f;
    detector.CheckInput(info, buffer, false);
    EXPECT_EQ(detector.active, 0);
}

TEST(SilenceDetectorTest, OutputTailKeepsItAwake)
{
    std::vector<float> silent(128, 0.0f), tail(128, 0.0f);
    tail[64] = -0.01f; // mono detectors test every 64th sample of a mono block
    cAudioBuffer in, out;
    in.Describe(kAudioFormatFloat, 128, 1, silent.data());
    out.Describe(kAudioFormatFloat, 128, 1, tail.data());
    cAudioProcessInfo info;
    info.duration = 0.25f;
    cSilenceDetector detector;
    detector.holdTime = detector.remaining = 0.5f;
    detector.CheckInput(info, in, false);
    detector.CheckOutput(info, out);
    EXPECT_EQ(detector.remaining, 0.5f);
    detector.CheckOutput(info, in);
    EXPECT_EQ(detector.remaining, 0.25f);
}

TEST(MIDINoteNameTest, NamesAndOctaves)
{
    const struct
    {
        int note;
        const char* name;
    } cases[] = {{60, "C4"}, {0, "C-1"}, {127, "G9"}, {61, "C#4"}, {128, "--"}, {-1, "--"}};
    for (const auto& c : cases)
    {
        cGenStringFixed<8> name;
        GetMIDINoteName(name, c.note);
        EXPECT_STREQ(name.CStr(), c.name) << c.note;
    }
}

TEST(ByteRingBufferTest, WrapsAndCutsShort)
{
    cByteRingBuffer ring(8);
    const uint8_t bytes[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_EQ(ring.Write(bytes, 6), 6u);
    uint8_t out[10] = {};
    EXPECT_EQ(ring.Read(out, 4), 4u);
    EXPECT_EQ(ring.Write(bytes, 10), 6u); // only the free room
    EXPECT_EQ(ring.GetShortWrites(), 1u);
    EXPECT_EQ(ring.Read(out, 10), 8u);
    EXPECT_EQ(ring.GetShortReads(), 1u);
    const uint8_t expected[8] = {5, 6, 1, 2, 3, 4, 5, 6};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(out[i], expected[i]) << i;
}

TEST(SampleRingBufferTest, KeepsTheNewestBytes)
{
    cSampleRingBuffer ring(4);
    const uint8_t first[3] = {1, 2, 3};
    ring.Write(first, 3);
    const uint8_t second[6] = {4, 5, 6, 7, 8, 9};
    ring.Write(second, 6);
    EXPECT_EQ(ring.GetFill(), 4u);
    EXPECT_EQ(ring.GetWritePosition(), 1u);
    // Oldest first from the write position: 6, 7, 8, 9.
    const uint8_t* data = ring.GetData();
    for (uint32_t i = 0; i < 4; ++i)
        EXPECT_EQ(data[(ring.GetWritePosition() + i) % 4], 6 + i) << i;
}
