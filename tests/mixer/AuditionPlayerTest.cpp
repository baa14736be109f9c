#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "MixerTestUtil.h"
#include "TestEffects.h"
#include "audio/AudioBufferPool.h"
#include "audio/Sample.h"
#include "audio/SampleFiles.h"
#include "audio/SampleRegistry.h"
#include "base/CriticalSection.h"
#include "base/SettingsFile.h"
#include "mixer/AuditionPlayer.h"
#include "mixer/EffectCompressor.h"
#include "mixer/EffectRegistry.h"

using namespace MixerTest;

namespace
{
// A stereo 16-bit WAV of frames frames, every sample at level.
std::string ConstantWav(uint32_t frames, int16_t level)
{
    return SimpleWav(cWavFormat(), Samples16(std::vector<int16_t>(frames * 2, level)));
}

class AuditionPlayer : public testing::Test
{
protected:
    void SetUp() override
    {
        manager = MakePausedAudioManager();
        ASSERT_NE(manager, nullptr);
        registry.AddPackage(new cTailEffectPackage());
        registry.AddPackage(new cEffectCompressorPackage());
    }

    // Renders blocks until the preview ends; the blocks rendered, or -1.
    int RenderUntilIdle(int limit, std::vector<float>* left = nullptr)
    {
        for (int i = 0; i < limit; ++i)
        {
            cStereoBlock block;
            player.Render(info, block.buffer);
            if (left)
                for (uint32_t f = 0; f < kBlock; ++f)
                    left->push_back(block.L(f));
            if (!player.IsActive())
                return i;
        }
        return -1;
    }

    cTailEffect* InstallTail()
    {
        cEffectRackNode* slot = player.GetRack().FindNode("SLOT1");
        slot->InstallEffect("TEST-TAIL");
        slot->GetEffect()->SetEnabled(true);
        return static_cast<cTailEffect*>(slot->GetEffect());
    }

    std::unique_ptr<cAudioManager> manager;
    cSampleFolder folder;
    cEffectRegistry registry;
    cAuditionPlayer player;
    cAudioProcessInfo info = MakeInfo();
};
} // namespace

TEST_F(AuditionPlayer, AFilePlaysAtThePreviewGainAndEndsByItself)
{
    folder.Write("short.wav", ConstantWav(1000, 16384));
    EXPECT_EQ(gAuditionPlayer, &player);
    ASSERT_TRUE(player.PlayFile("short.wav"));
    EXPECT_TRUE(player.IsActive());
    std::vector<float> left;
    EXPECT_EQ(RenderUntilIdle(100, &left), 8); // 1000 frames end in the 8th block; the 9th stops it
    EXPECT_NEAR(left[0], 16384.0f / 32767.0f * 1.2f, 1e-6f);
    EXPECT_NEAR(left[999], 16384.0f / 32767.0f * 1.2f, 1e-6f);
    EXPECT_EQ(left[1000], 0.0f);
    EXPECT_EQ(player.GetMeterLeft(), 0.0f); // no meters without the chain
}

TEST_F(AuditionPlayer, AFileThatCannotBeReadPlaysNothing)
{
    folder.Write("broken.wav", "RIFF....WAVE");
    EXPECT_FALSE(player.PlayFile("broken.wav"));
    EXPECT_FALSE(player.PlayFile("missing.wav"));
    EXPECT_FALSE(player.IsActive());
    EXPECT_EQ(player.GetSample(), nullptr);
}

TEST_F(AuditionPlayer, LongFilesAreCutToFourMegabytesOfWholeFrames)
{
    folder.Write("long.wav", ConstantWav(0x400000 / 4 + 1000, 100));
    ASSERT_TRUE(player.PlayFile("long.wav"));
    ASSERT_NE(player.GetSample(), nullptr);
    EXPECT_EQ(player.GetSample()->GetFrames(), 0x400000 / 4);
    EXPECT_TRUE(player.GetSample()->IsTruncated());
}

// The decode ran under the audio manager's lock, holding up the audio thread
// for as long as a 4 MB file takes to read.
TEST_F(AuditionPlayer, AFileIsReadBeforeTheAudioLockIsTaken)
{
    folder.Write("locked.wav", ConstantWav(20000, 100));
    std::atomic<bool> played{false};
    std::thread caller;
    {
        cScopedLock audioThread(manager->GetLock());
        caller = std::thread([&] { played = player.PlayFile("locked.wav"); });
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!cSampleRegistry::IsLoaded("locked.wav") && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_TRUE(cSampleRegistry::IsLoaded("locked.wav"));
        EXPECT_FALSE(player.IsActive()); // the swap waits for the lock
    }
    caller.join();
    EXPECT_TRUE(played);
    EXPECT_TRUE(player.IsActive());
}

TEST_F(AuditionPlayer, ThroughTheChainATailPlaysOutAndThenItStops)
{
    folder.Write("hit.wav", ConstantWav(200, 32767));
    cTailEffect* tail = InstallTail();
    player.SetUseEffects(true);
    ASSERT_TRUE(player.PlayFile("hit.wav"));
    std::vector<float> left;
    const int blocks = RenderUntilIdle(2000, &left);
    // The sample lasts two blocks; the tail falls below 1e-4 after about
    // 16000 frames, then the rack holds on for one second.
    EXPECT_GT(blocks, 100 + 344);
    EXPECT_LT(blocks, 200 + 346);
    EXPECT_GT(std::fabs(left[5000]), 1e-3f);
    EXPECT_FALSE(player.GetUseEffects());
    EXPECT_GE(tail->resets, 2); // started from a reset, reset again at the end
}

TEST_F(AuditionPlayer, MetersReadFullScaleDespiteThePreviewGain)
{
    folder.Write("loud.wav", ConstantWav(5000, 32767));
    player.SetUseEffects(true);
    ASSERT_TRUE(player.PlayFile("loud.wav"));
    cStereoBlock block;
    player.Render(info, block.buffer);
    EXPECT_NEAR(player.GetMeterLeft(), 1.0f, 1e-4f);
    EXPECT_NEAR(player.GetMeterRight(), 1.0f, 1e-4f);
}

// With every pool buffer taken the preview was lost; it plays dry instead.
TEST_F(AuditionPlayer, WithAnEmptyPoolThePreviewPlaysDry)
{
    folder.Write("dry.wav", ConstantWav(5000, 16384));
    InstallTail();
    player.SetUseEffects(true);
    ASSERT_TRUE(player.PlayFile("dry.wav"));
    cAudioBufferPool* pool = manager->GetBufferPool();
    std::vector<cAudioBufferPool::cHandle> taken;
    while (true)
    {
        const cAudioBufferPool::cHandle handle = pool->Acquire(kAudioFormatFloat, kBlock, 2);
        if (!handle.node)
            break;
        taken.push_back(handle);
    }
    cStereoBlock block;
    player.Render(info, block.buffer);
    EXPECT_NEAR(block.L(100), 16384.0f / 32767.0f * 1.2f, 1e-6f);
    for (const auto& handle : taken)
        pool->Release(handle);
}

TEST_F(AuditionPlayer, ASecondPreviewStopsTheFirstWithoutItsTail)
{
    folder.Write("a.wav", ConstantWav(5000, 16384));
    folder.Write("b.wav", ConstantWav(5000, 8192));
    cTailEffect* tail = InstallTail();
    player.SetUseEffects(true);
    ASSERT_TRUE(player.PlayFile("a.wav"));
    cStereoBlock block;
    player.Render(info, block.buffer);
    EXPECT_NE(tail->memory[0], 0.0f);
    ASSERT_TRUE(player.PlayFile("b.wav"));
    EXPECT_EQ(tail->memory[0], 0.0f);
    EXPECT_TRUE(player.GetUseEffects()); // kept by a new preview
    EXPECT_STREQ(player.GetSample()->GetPath(), "b.wav");
    player.Stop(true);
    EXPECT_FALSE(player.GetUseEffects());
    EXPECT_FALSE(player.IsActive());
    EXPECT_EQ(player.GetSample(), nullptr);
}

TEST_F(AuditionPlayer, SettingsKeepTheChain)
{
    player.GetRack().FindNode("SLOT2")->InstallEffect("QDL-5");
    ASSERT_TRUE(player.SerialiseSettings(false));
    EXPECT_NE(folder.Read("AuditionSettings.dat").find("<EffectRack>"), std::string::npos);
    ASSERT_TRUE(player.SerialiseSettings(false));
    EXPECT_TRUE(folder.Exists("AuditionSettings.dat.bak"));

    cAuditionPlayer loaded;
    ASSERT_TRUE(loaded.SerialiseSettings(true));
    ASSERT_NE(loaded.GetRack().FindNode("SLOT2")->GetEffect(), nullptr);
    EXPECT_STREQ(loaded.GetRack().FindNode("SLOT2")->GetEffect()->GetPackage()->GetShortName(), "QDL-5");

    // An empty chain comes back empty.
    loaded.GetRack().RemoveEffects();
    ASSERT_TRUE(loaded.SerialiseSettings(false));
    ASSERT_TRUE(player.SerialiseSettings(true));
    EXPECT_EQ(player.GetRack().GetState(), cEffectRack::kStateEmpty);
}

TEST_F(AuditionPlayer, SettingsWithoutAFileOrWithoutTheDocumentsChangeNothing)
{
    player.GetRack().FindNode("SLOT1")->InstallEffect("QDL-5");
    EXPECT_FALSE(player.SerialiseSettings(true));
    folder.Write("AuditionSettings.dat", "<Root FileVersion=\"1.0\"/>");
    EXPECT_TRUE(player.SerialiseSettings(true));
    EXPECT_NE(player.GetRack().FindNode("SLOT1")->GetEffect(), nullptr);
}

TEST_F(AuditionPlayer, ADamagedSettingsFileIsReadFromItsBackupAndReported)
{
    player.GetRack().FindNode("SLOT2")->InstallEffect("QDL-5");
    ASSERT_TRUE(player.SerialiseSettings(false));
    ASSERT_TRUE(player.SerialiseSettings(false));
    const std::string whole = folder.Read("AuditionSettings.dat");
    folder.Write("AuditionSettings.dat", whole.substr(0, whole.size() / 2));

    cAuditionPlayer loaded;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(loaded.SerialiseSettings(true));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("\"AuditionSettings.dat\" is damaged"), std::string::npos);
    ASSERT_NE(loaded.GetRack().FindNode("SLOT2")->GetEffect(), nullptr);

    std::filesystem::remove(folder.Doc("AuditionSettings.dat.bak"));
    player.GetRack().RemoveEffects();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(player.SerialiseSettings(true));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("using the defaults"), std::string::npos);
    EXPECT_EQ(player.GetRack().GetState(), cEffectRack::kStateEmpty);
    TakeSettingsDamageNotice();
}

// The sampler keeps the preview on its selection: a new range and a frame to
// go on from, set under the audio manager's lock; a voice that just reached
// its end plays again from the frame.
TEST_F(AuditionPlayer, ThePreviewPlaysOnFromAFrameWithinANewRange)
{
    cSample* sample = cSample::Create("ramp.wav", 16, 1, 44100, 2000);
    ASSERT_NE(sample, nullptr);
    int16_t* data = reinterpret_cast<int16_t*>(sample->GetData());
    for (int16_t f = 0; f < 2000; ++f)
        data[f] = f;
    player.PlaySample(sample, 0, 0, cAuditionPlayer::kEndOfSample, 0);
    sample->Release();
    const float unit = 1.2f / 32767.0f;
    auto renderFirst = [&]()
    {
        cStereoBlock block;
        player.Render(info, block.buffer);
        return block.L(0) / unit;
    };
    EXPECT_NEAR(renderFirst(), 0.0f, 0.01f);
    {
        cScopedLock lock(manager->GetLock());
        player.SetPlayRange(1000, 1100);
        player.SetPlayPosition(1050);
    }
    EXPECT_NEAR(renderFirst(), 1050.0f, 0.01f);
    EXPECT_EQ(player.GetPosition(), 1000) << "50 frames to the range's end, then back at its start";
    EXPECT_TRUE(player.IsActive());
    {
        cScopedLock lock(manager->GetLock());
        player.SetPlayPosition(1000);
    }
    EXPECT_NEAR(renderFirst(), 1000.0f, 0.01f);
    EXPECT_EQ(RenderUntilIdle(10), 0) << "the range played once";
}
