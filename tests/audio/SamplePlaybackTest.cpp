#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "SampleFiles.h"
#include "audio/AudioDevicePort.h"
#include "audio/AudioManager.h"
#include "audio/AudioModule.h"
#include "audio/Sample.h"
#include "audio/SamplePlayer.h"
#include "audio/SampleConvert.h"

namespace
{
using namespace std::chrono_literals;

// Plays one sample once through a player, as the instruments will: float
// stereo into a scratch block, then the device's 16 bits.
class cSampleModule : public cAudioModuleBase
{
public:
    explicit cSampleModule(cSample* sample) : cAudioModuleBase(16)
    {
        mPlayer.Start(sample, 0, sample->GetFrames(), cSamplePlayer::kModeForward, 0, 0);
    }

    int32_t Process(const cAudioProcessInfo& info, cAudioBuffer& buffer) override
    {
        cAudioBuffer block;
        block.Describe(kAudioFormatFloat, buffer.frames, 2, mScratch);
        std::fill_n(mScratch, buffer.frames * 2, 0.0f);
        mPlayer.Render(info, block, true, 2, true, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f);
        FloatToInt16(mScratch, static_cast<int16_t*>(buffer.data), buffer.frames * 2);
        frames += buffer.frames;
        return 0;
    }

    std::atomic<uint32_t> frames{0};

private:
    cSamplePlayer mPlayer;
    float mScratch[cAudioManager::kBlockFrames * 2] = {};
};

void SetEnv(const char* name, const char* value) { setenv(name, value, 1); }
} // namespace

// The real manager, thread and port play a loaded WAV at ratio 1.0 into the
// disk device; the file holds the sample's values.
TEST(SamplePlaybackTest, ALoadedSamplePlaysThroughTheDeviceUnchanged)
{
    cSampleFolder folder;
    constexpr int kFrames = 22050;
    std::vector<int16_t> values;
    for (int i = 0; i < kFrames; ++i)
    {
        values.push_back(int16_t(12000 * std::sin(i * 0.05) + (i % 2 ? 3 : -3)));
        values.push_back(int16_t(-9000 * std::cos(i * 0.031) + 1));
    }
    folder.Write("play.wav", SimpleWav(cWavFormat(), Samples16(values)));
    cSample* sample = cSample::Load("play.wav", 0);
    ASSERT_NE(sample, nullptr) << cSample::GetErrorText();

    const std::string raw = folder.Doc("out.raw");
    const char* oldDriver = std::getenv("SDL_AUDIODRIVER");
    const std::string driver = oldDriver ? oldDriver : "";
    SetEnv("SDL_AUDIODRIVER", "disk");
    SetEnv("SDL_DISKAUDIOFILE", raw.c_str());
    {
        cSampleModule module(sample);
        cAudioManager manager;
        manager.GetOutputPort()->AddListener(&module);
        cAudioSettings settings;
        settings.poolBufferCount = 8;
        settings.bufferLatency = 4; // the deepest queue: a busy machine cannot starve the device
        ASSERT_TRUE(manager.Init(settings)) << manager.GetErrorText();
        const auto end = std::chrono::steady_clock::now() + 10s;
        while (module.frames.load() < kFrames + 20 * 220 && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(10ms);
        std::this_thread::sleep_for(100ms);
        manager.Shutdown();
    }
    unsetenv("SDL_DISKAUDIOFILE");
    if (oldDriver)
        SetEnv("SDL_AUDIODRIVER", driver.c_str());
    else
        unsetenv("SDL_AUDIODRIVER");
    sample->Release();

    const std::string bytes = folder.Read("out.raw");
    std::vector<int16_t> played(bytes.size() / 2);
    std::copy_n(bytes.data(), played.size() * 2, reinterpret_cast<char*>(played.data()));
    // Leading silence is the device playing before the first buffer arrived.
    const auto first = std::find_if(played.begin(), played.end(), [](int16_t s) { return s != 0; });
    ASSERT_NE(first, played.end());
    const size_t start = size_t(first - played.begin()) & ~size_t(1);
    ASSERT_GE(played.size() - start, values.size()) << "the whole sample was not played";
    int mismatches = 0;
    for (size_t i = 0; i < values.size(); ++i)
        mismatches += std::abs(played[start + i] - values[i]) > 1 ? 1 : 0;
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(played[start + values.size()], 0) << "silence after a one-shot";
}
