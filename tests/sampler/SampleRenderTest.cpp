#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "SampleRenderFixture.h"
#include "audio/SampleRegistry.h"
#include "base/Delegate.h"
#include "sampler/SampleRender.h"

using namespace SampleRenderTest;

namespace
{
class SampleRender : public testing::Test
{
protected:
    SampleRender()
    {
        RegisterTestEffects(registry);
        rack.BuildInsertChain();
    }
    ~SampleRender() override
    {
        rack.DeleteNodes();
        mSample.Release();
        EXPECT_EQ(cSampleRegistry::DumpAll(), 0) << "a sample was left loaded";
    }

    cSampleRender::Settings Settings(cSample* sample)
    {
        mSample.Assign(sample);
        sample->Release();
        cSampleRender::Settings settings;
        settings.sample = sample;
        settings.rack = &rack;
        settings.endFrame = sample->GetFrames();
        return settings;
    }

    // One render into the work file; the result flags.
    int32_t Render(const cSampleRender::Settings& settings)
    {
        cSampleRender render(cDelegate(this, &SampleRender::OnProgress));
        render.settings = settings;
        const int32_t flags = render.Render(Output().c_str());
        lastAudible = render.GetLastAudibleFrame();
        return flags;
    }
    void OnProgress(bool* cancel, float)
    {
        *cancel = ++progressCalls == cancelAtCall;
    }

    std::string Output() const { return scratch.Sampler() + "/EffectRender.wav"; }
    bool OutputExists() const { return std::filesystem::exists(Output()); }

    cSamplerScratch scratch;
    cEffectRegistry registry;
    cEffectRack rack;
    tSampleRef mSample;
    int32_t lastAudible = -1;
    int64_t progressCalls = 0;
    int64_t cancelAtCall = -1;
};

std::vector<int16_t> SampleValues(cSample* sample)
{
    const auto* data = reinterpret_cast<const int16_t*>(sample->GetData());
    return {data, data + size_t(sample->GetFrames()) * sample->GetChannels()};
}

// Full scale is 32767 on the way out against 32768 on the way in: a sample
// comes back within one step of itself.
void ExpectWithinOneStep(const std::vector<int16_t>& rendered, const std::vector<int16_t>& source)
{
    ASSERT_EQ(rendered.size(), source.size());
    for (size_t i = 0; i < source.size(); ++i)
        ASSERT_NEAR(rendered[i], source[i], 1) << "sample " << i;
}

TEST_F(SampleRender, RendersAnythingFromFourFramesAndRefusesLess)
{
    const struct
    {
        int32_t frames;
        int32_t flags;
    } cases[] = {{3, cSampleRender::kSampleTooShort}, {4, 0}, {5, 0}, {129, 0}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.frames);
        const cSampleRender::Settings settings = Settings(MakeSample(2, c.frames, Ramp));
        EXPECT_EQ(Render(settings), c.flags);
        const cWav wav = ReadWav(Output());
        EXPECT_EQ(wav.read, c.flags == 0);
        if (c.flags == 0)
        {
            EXPECT_EQ(wav.channels, 2);
            EXPECT_EQ(wav.rate, 44100);
            ExpectWithinOneStep(wav.samples, SampleValues(settings.sample));
        }
        std::filesystem::remove(Output());
    }
}

TEST_F(SampleRender, EmptySampleIsReportedByTheJob)
{
    cSampleRender::cJob job(cSampleRender::Settings(), Output().c_str());
    EXPECT_EQ(job.GetResult(), -1);
    JobQueue::RunJob(&job, nullptr);
    EXPECT_EQ(job.GetResult(), cSampleRender::kSampleEmpty);
    EXPECT_FALSE(OutputExists());
}

// The pre-roll leaves the rack warm; the written pass still starts at frame
// 0 and holds the sample exactly. The blocks the rack saw show where each
// pass ended: a 256-frame loop wraps after two blocks, a 130-frame one
// leaves 2 frames that the written pass plays first and drops.
TEST_F(SampleRender, PreRollPlaysTheLoopOnceUnwritten)
{
    const struct
    {
        int32_t frames;
        std::vector<int32_t> blocks;
    } cases[] = {
        {256, {128, 128, 128, 128}},
        {130, {128, 128, 4}},
        {1000, {128, 128, 128, 128, 128, 128, 128, 104, 128, 128, 128, 128, 128, 128, 128, 104}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.frames);
        cSampleRender::Settings settings = Settings(MakeSample(2, c.frames, Ramp));
        settings.preRoll = 1;
        auto* counter = Install<cCountingEffect>(rack, "TEST-COUNT");
        EXPECT_EQ(Render(settings), 0);
        EXPECT_EQ(counter->blocks, c.blocks);
        ExpectWithinOneStep(ReadWav(Output()).samples, SampleValues(settings.sample));
    }
}

// Without a tail the file ends with the range; with one it runs on while the
// rack rings and is trimmed back to the last audible frame, never into the
// range. A rack that falls silent at once leaves the range alone.
TEST_F(SampleRender, TailKeepsTheRingOutAndTrimsTheSilence)
{
    const struct
    {
        const char* effect;
        int32_t tail;
        bool longer;
    } cases[] = {{"TEST-ECHO", 0, false}, {"TEST-ECHO", 1, true}, {nullptr, 1, false}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.effect ? c.effect : "empty rack") + (c.tail ? " with tail" : ""));
        cSampleRender::Settings settings = Settings(MakeSample(2, 1000, Ramp));
        settings.tail = c.tail;
        rack.FindNode("SLOT1")->RemoveEffect();
        cTestEffect* effect = c.effect ? Install<cTestEffect>(rack, c.effect) : nullptr;
        EXPECT_EQ(Render(settings) & cSampleRender::kErrorMask, 0);
        if (effect)
        {
            // The rack is left clean for the next preview.
            EXPECT_EQ(effect->memory[0], 0.0f);
        }
        const cWav wav = ReadWav(Output());
        ASSERT_TRUE(wav.read);
        EXPECT_EQ(wav.Frames(), std::max(lastAudible + 1, 1000));
        EXPECT_EQ(wav.Frames() > 1000, c.longer) << wav.Frames();
        if (c.longer)
        {
            // The last frame kept still rings.
            const int16_t* last = &wav.samples[size_t(wav.Frames() - 1) * 2];
            EXPECT_GT(std::max(std::abs(last[0]), std::abs(last[1])), cSampleRender::kAudibleLevel);
        }
    }
}

// 0x100 needs more than 2048 frames (the count halved) and at least one
// limited sample in 1024 of them.
TEST_F(SampleRender, ClippingIsReportedForLongEnoughRenders)
{
    const struct
    {
        int32_t frames;
        int32_t loudFrames;
        bool clipping;
    } cases[] = {{4096, 4096, false}, {4098, 4098, true}, {4098, 2, true}, {4098, 1, false}, {6200, 2, false}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.frames) + " frames, " + std::to_string(c.loudFrames) + " loud");
        // A loud frame clips on one channel only at twice the gain.
        cSampleRender::Settings settings = Settings(
            MakeSample(2, c.frames, [&](int32_t f, int32_t ch) { return f < c.loudFrames && ch == 0 ? 30000 : 100; }));
        settings.gain = 2.0f;
        const int32_t flags = Render(settings);
        EXPECT_EQ((flags & cSampleRender::kClipping) != 0, c.clipping);
        EXPECT_EQ(flags & cSampleRender::kErrorMask, 0);
        const cWav wav = ReadWav(Output());
        ASSERT_TRUE(wav.read) << "a clipping render keeps its file";
        if (c.loudFrames > 0)
        {
            EXPECT_EQ(wav.samples[0], 32767);
        }
    }
}

TEST_F(SampleRender, MonoWritesTheAverageOfBothChannels)
{
    cSampleRender::Settings settings =
        Settings(MakeSample(2, 500, [](int32_t f, int32_t ch) { return ch == 0 ? 1000 + f : 3000 - f; }));
    settings.channels = 1;
    EXPECT_EQ(Render(settings), 0);
    const cWav wav = ReadWav(Output());
    ASSERT_EQ(wav.channels, 1);
    ASSERT_EQ(wav.Frames(), 500);
    for (int32_t f = 0; f < 500; ++f)
        EXPECT_NEAR(wav.samples[size_t(f)], 2000, 1) << f;
}

TEST_F(SampleRender, MonoSampleFillsBothChannels)
{
    const cSampleRender::Settings settings = Settings(MakeSample(1, 300, Ramp));
    EXPECT_EQ(Render(settings), 0);
    const cWav wav = ReadWav(Output());
    ASSERT_EQ(wav.Frames(), 300);
    for (int32_t f = 0; f < 300; ++f)
    {
        EXPECT_NEAR(wav.samples[size_t(f) * 2], Ramp(f, 0), 1);
        EXPECT_NEAR(wav.samples[size_t(f) * 2 + 1], Ramp(f, 0), 1);
    }
}

// Every pass stops at its next block on a cancel, and nothing of the run is
// left, not even an older render of the name.
TEST_F(SampleRender, CancelLeavesNoFile)
{
    for (const int64_t call : {int64_t(1), int64_t(12), int64_t(20), int64_t(400)})
    {
        SCOPED_TRACE(call);
        std::filesystem::create_directories(scratch.Sampler());
        WriteFile(Output(), Wav16(2, 44100, {1, 2, 3, 4}));
        cSampleRender::Settings settings = Settings(MakeSample(2, 2000, Ramp));
        settings.preRoll = 1;
        settings.tail = 1;
        Install<cTestEffect>(rack, "TEST-ECHO");
        progressCalls = 0;
        cancelAtCall = call;
        EXPECT_EQ(Render(settings), cSampleRender::kCancelled);
        EXPECT_FALSE(OutputExists());
    }
}

TEST_F(SampleRender, UnopenableOutputIsReported)
{
    const cSampleRender::Settings settings = Settings(MakeSample(2, 100, Ramp));
    cSampleRender render((cDelegate()));
    render.settings = settings;
    const std::string path = scratch.Root() + "/missing folder/EffectRender.wav";
    EXPECT_EQ(render.Render(path.c_str()), cSampleRender::kOpenFailed);
    EXPECT_FALSE(std::filesystem::exists(path));
}

// A rack that never falls silent ends its tail at the 32 MB cap instead of
// running until cancelled; the file keeps the first 32 MB.
TEST_F(SampleRender, EndlessTailStopsAtTheSizeCap)
{
    cSampleRender::Settings settings = Settings(MakeSample(2, 1000, Ramp));
    settings.tail = 1;
    Install<cTestEffect>(rack, "TEST-HUM");
    // Far beyond the cap's blocks: a hang shows as a cancel, not a stuck test.
    cancelAtCall = 200000;
    EXPECT_EQ(Render(settings), cSampleRender::kTruncated);
    EXPECT_LT(progressCalls, 70000);
    const cWav wav = ReadWav(Output());
    ASSERT_TRUE(wav.read);
    EXPECT_EQ(wav.Frames(), 8388608);
    EXPECT_EQ(std::filesystem::file_size(Output()), 44u + 33554432u);
}
} // namespace
