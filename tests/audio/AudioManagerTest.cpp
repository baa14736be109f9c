#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "AllocationCounter.h"
#include "ScopedEnv.h"
#include "WaitUntil.h"
#include "BuildPaths.h"
#include "TestModules.h"
#include "audio/AudioBufferPool.h"
#include "audio/AudioDevicePort.h"
#include "audio/AudioEvent.h"
#include "audio/AudioManager.h"
#include "audio/EffectCrossfade.h"
#include "audio/SilenceDetector.h"
#include "base/Thread.h"

#include "ScopedEnv.h"

#if defined(__x86_64__) || defined(__i386__)
#include <xmmintrin.h>
#endif

namespace
{
using namespace std::chrono_literals;

cAudioSettings StartupSettings()
{
    cAudioSettings settings;
    settings.poolBufferCount = 8;
    return settings;
}

class cAudioManagerTest : public ::testing::Test
{
protected:
    // The headless device unless the environment names another.
    void SetUp() override { setenv("SDL_AUDIODRIVER", "dummy", 0); }
};

class cFakeMIDIInput : public cAudioMIDIInput
{
public:
    void Suspend() override { ++suspends; }
    void Resume() override { ++resumes; }
    void DeliverBlock(const cDelegate&, uint32_t frames) override
    {
        ++deliveries;
        lastFrames = frames;
    }

    int suspends = 0;
    int resumes = 0;
    std::atomic<int> deliveries{0};
    std::atomic<uint32_t> lastFrames{0};
};

// Counts the events its renders drain, and renders silence.
class cEventCounter : public cAudioModuleBase
{
public:
    cEventCounter() : cAudioModuleBase(16) {}

    int32_t Process(const cAudioProcessInfo&, cAudioBuffer& buffer) override
    {
        DrainEvents();
        std::fill_n(static_cast<uint8_t*>(buffer.data), buffer.bytes, 0);
        return 0;
    }
    int32_t HandleEvent(const cAudioEvent&) override
    {
        handled.fetch_add(1);
        return 0;
    }

    std::atomic<int> handled{0};
};

// Notes on the audio thread how many buffers waited in the voice whenever a
// block is rendered.
class cQueueWatcher : public cAudioModuleBase
{
public:
    explicit cQueueWatcher(cAudioManager& manager) : cAudioModuleBase(0), mManager(manager) {}

    int32_t Process(const cAudioProcessInfo&, cAudioBuffer& buffer) override
    {
        const uint32_t queued = mManager.GetBuffersQueued();
        uint32_t seen = maxQueued.load();
        while (queued > seen && !maxQueued.compare_exchange_weak(seen, queued))
        {
        }
        std::fill_n(static_cast<uint8_t*>(buffer.data), buffer.bytes, 0);
        return 0;
    }

    std::atomic<uint32_t> maxQueued{0};

private:
    cAudioManager& mManager;
};
} // namespace

TEST_F(cAudioManagerTest, StartsRunsAndShutsDownWithTheAudioThread)
{
    cAudioManager manager;
    EXPECT_EQ(cAudioManager::Get(), &manager);
    EXPECT_TRUE(manager.IsPaused());
    ASSERT_TRUE(manager.Init(StartupSettings())) << manager.GetErrorText();
    EXPECT_FALSE(manager.IsPaused());
    EXPECT_EQ(manager.GetLatencyIndex(), 2);
    ASSERT_NE(manager.GetBufferPool(), nullptr);
    EXPECT_EQ(manager.GetBufferPool()->GetFreeCount(), 8u);
    EXPECT_EQ(manager.FindPort("MainOut"), manager.GetOutputPort());
    ASSERT_NE(manager.FindPort("Record"), nullptr);
    EXPECT_EQ(manager.FindPort("mainout"), nullptr);

    EXPECT_TRUE(WaitUntil([&] { return manager.GetBuffersRendered() >= 10; }, kStateWait));
    EXPECT_EQ(manager.GetFramesRendered(), manager.GetBuffersRendered() * 220);

    // A second Init changes nothing.
    cAudioSettings other = StartupSettings();
    other.bufferLatency = 4;
    EXPECT_FALSE(manager.Init(other));
    EXPECT_EQ(manager.GetLatencyIndex(), 2);

    // How long a shutdown takes is measured by bench_audio.
    EXPECT_TRUE(manager.Shutdown());
    EXPECT_FALSE(manager.IsInitialised());
    EXPECT_FALSE(manager.Shutdown());
}

TEST_F(cAudioManagerTest, WithoutADeviceInitFailsWithItsReasonAndTheEngineRunsOnANullOutput)
{
    cScopedEnv noDevice("SDL_AUDIODRIVER", "no-such-audio-driver");
    auto manager = std::make_unique<cAudioManager>();
    cEventCounter module;
    manager->GetOutputPort()->AddListener(&module);
    // How long the failed start and the close take is measured by bench_audio.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(manager->Init(StartupSettings()));
    EXPECT_FALSE(manager->IsInitialised());
    EXPECT_TRUE(manager->IsRunning());
    EXPECT_EQ(std::string(manager->GetErrorText()).rfind("Couldn't", 0), 0u) << manager->GetErrorText();

    // Events still reach the modules.
    cAudioEvent event = {};
    event.type = kAudioEventNoteOn;
    ASSERT_TRUE(module.PostEvent(event));
    EXPECT_TRUE(WaitUntil([&] { return module.handled.load() == 1; }, kStateWait));

    // Never faster than a device would play: the null output takes its
    // requests on a fixed schedule from the start, so beyond the latency
    // depth the frames rendered can never run ahead of the time passed.
    ASSERT_TRUE(WaitUntil([&] { return manager->GetBuffersRendered() >= 10; }, kStateWait));
    std::this_thread::sleep_for(300ms);
    const uint32_t rendered = manager->GetFramesRendered();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double aheadFrames = (cAudioManager::GetLatencyDepth(2) + 1) * 220.0 + 256.0;
    EXPECT_LE(rendered, seconds * 44100.0 + aheadFrames);

    manager->SetPaused(true);
    const uint32_t paused = manager->GetBuffersRendered();
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(manager->GetBuffersRendered(), paused);
    EXPECT_TRUE(manager->Shutdown());
    EXPECT_FALSE(manager->IsRunning());
    manager.reset();
}

TEST_F(cAudioManagerTest, PausingSuspendsMIDIOnceAndResumingResumes)
{
    cAudioManager manager;
    cFakeMIDIInput midi;
    manager.SetMIDIInput(&midi);
    ASSERT_TRUE(manager.Init(StartupSettings())) << manager.GetErrorText();
    EXPECT_EQ(midi.resumes, 1);
    EXPECT_TRUE(WaitUntil([&] { return midi.deliveries.load() >= 3; }, kStateWait));
    EXPECT_EQ(midi.lastFrames.load(), 220u);

    manager.SetPaused(true);
    manager.SetPaused(true);
    EXPECT_EQ(midi.suspends, 1);
    EXPECT_FALSE(manager.IsRendering());
    EXPECT_EQ(manager.GetCPULoad(), 0.0f);
    const uint32_t rendered = manager.GetBuffersRendered();
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(manager.GetBuffersRendered(), rendered);

    manager.SetPaused(false);
    EXPECT_EQ(midi.resumes, 2);
    EXPECT_TRUE(WaitUntil([&] { return manager.GetBuffersRendered() > rendered; }, kStateWait));
    manager.Shutdown();
    manager.SetMIDIInput(nullptr);
}

TEST_F(cAudioManagerTest, LatencyDepthsAreNeverExceeded)
{
    cAudioManager manager;
    cQueueWatcher watcher(manager);
    manager.GetOutputPort()->AddListener(&watcher);
    cAudioSettings settings = StartupSettings();
    settings.bufferLatency = 0;
    ASSERT_TRUE(manager.Init(settings)) << manager.GetErrorText();
    const int32_t depths[] = {4, 6, 8, 10, 14};
    for (int32_t index = 0; index < 5; ++index)
    {
        manager.SetLatencyIndex(index);
        EXPECT_EQ(cAudioManager::GetLatencyDepth(index), depths[index]);
        // Counted in buffers, not time: a busy machine may hold the device
        // back for a while. First the new depth takes hold, then a full
        // cycle of it is watched.
        const uint32_t settled = manager.GetBuffersRendered() + 2;
        ASSERT_TRUE(WaitUntil([&] { return manager.GetBuffersRendered() >= settled; }, kStateWait)) << index;
        watcher.maxQueued.store(0);
        const uint32_t watched = manager.GetBuffersRendered() + uint32_t(depths[index]);
        ASSERT_TRUE(WaitUntil([&] { return manager.GetBuffersRendered() >= watched; }, kStateWait)) << index;
        // A block is rendered only while fewer than depth - 1 wait; the
        // submit after it fills the voice to depth - 1, never more.
        EXPECT_EQ(watcher.maxQueued.load() + 1, uint32_t(depths[index] - 1)) << "latency index " << index;
    }
    manager.SetLatencyIndex(-3);
    EXPECT_EQ(manager.GetLatencyIndex(), 0);
    manager.SetLatencyIndex(9);
    EXPECT_EQ(manager.GetLatencyIndex(), 4);
    manager.Shutdown();
}

TEST_F(cAudioManagerTest, RingIndexCyclesThroughTheDepthAndFollowsALowerLatency)
{
    cAudioManager manager;
    ASSERT_TRUE(manager.Init(StartupSettings())) << manager.GetErrorText();
    manager.SetPaused(true);
    while (manager.GetRingIndex() != 0)
        manager.RenderNextBuffer();

    std::vector<uint32_t> seen;
    for (int i = 0; i < 9; ++i)
    {
        seen.push_back(manager.GetRingIndex());
        manager.RenderNextBuffer();
    }
    EXPECT_EQ(seen, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 6, 7, 0}));

    while (manager.GetRingIndex() != 6)
        manager.RenderNextBuffer();
    manager.SetLatencyIndex(0);
    manager.RenderNextBuffer();
    EXPECT_EQ(manager.GetRingIndex(), 0u);
    manager.Shutdown();
}

// Notes, on the audio thread, each device buffer it is asked to render into
// that still waits in the voice: writing there would change what is playing.
class cOverwriteWatcher : public cAudioModuleBase
{
public:
    explicit cOverwriteWatcher(cAudioManager& manager) : cAudioModuleBase(0), mManager(manager) {}

    int32_t Process(const cAudioProcessInfo&, cAudioBuffer& block) override
    {
        std::fill_n(static_cast<uint8_t*>(block.data), block.bytes, 0);
        if (block.frames != cAudioManager::kBlockFrames)
            return 0; // the second block of a device buffer
        // The queue holds the most recently rendered buffers, in order.
        const uint32_t queued = std::min(mManager.GetBuffersQueued(), mRendered);
        for (uint32_t back = 1; back <= queued; ++back)
            if (mHistory[(mRendered - back) % kHistory] == block.data)
                overwrites.fetch_add(1);
        mHistory[mRendered++ % kHistory] = block.data;
        return 0;
    }

    std::atomic<uint32_t> overwrites{0};

private:
    static constexpr uint32_t kHistory = 16;
    cAudioManager& mManager;
    const void* mHistory[kHistory] = {};
    uint32_t mRendered = 0;
};

// Raising the latency while playing must not render into buffers the device
// has not played yet, however the old depth left the ring.
TEST_F(cAudioManagerTest, RaisingTheLatencyWhilePlayingOverwritesNothingQueued)
{
    cAudioManager manager;
    cOverwriteWatcher watcher(manager);
    manager.GetOutputPort()->AddListener(&watcher);
    cAudioSettings settings = StartupSettings();
    settings.bufferLatency = 0;
    ASSERT_TRUE(manager.Init(settings)) << manager.GetErrorText();
    for (int round = 0; round < 8; ++round)
    {
        for (int32_t index : {0, 1, 0, 4})
        {
            manager.SetLatencyIndex(index);
            const uint32_t rendered = manager.GetBuffersRendered();
            // A few buffers more than the new depth, so the ring wraps once.
            ASSERT_TRUE(WaitUntil([&] { return manager.GetBuffersRendered() >= rendered + 3 + round % 4; }, kStateWait));
        }
    }
    manager.Shutdown();
    EXPECT_EQ(watcher.overwrites.load(), 0u);
}

TEST_F(cAudioManagerTest, CPULoadIsRenderTimeOverBufferDuration)
{
    cAudioManager manager;
    const struct
    {
        double seconds;
        float percent;
    } cases[] = {{0.0, 0.0f}, {220.0 / 44100.0 / 2, 50.0f}, {0.005, 100.0f}, {0.5, 100.0f}, {1.5, 0.0f}};
    for (const auto& c : cases)
        EXPECT_NEAR(manager.ComputeCPULoad(c.seconds), c.percent, 0.01f) << c.seconds;
}

TEST_F(cAudioManagerTest, OutputsCanBeSwitchedOffForOfflineRenders)
{
    cAudioManager manager;
    manager.SetOutputsEnabled(false);
    EXPECT_FALSE(manager.GetOutputPort()->IsEnabled());
    EXPECT_TRUE(manager.FindPort("Record")->IsEnabled());
    manager.SetOutputsEnabled(true);
    EXPECT_TRUE(manager.GetOutputPort()->IsEnabled());
}

TEST_F(cAudioManagerTest, WaitForEventsGivesUpAfterTwentyFiveMilliseconds)
{
    cAudioManager manager;
    ASSERT_TRUE(manager.Init(StartupSettings())) << manager.GetErrorText();
    cAudioModuleBase unconnected(16); // nothing drains it
    unconnected.PostEvent(cAudioEvent());
    const auto start = std::chrono::steady_clock::now();
    unconnected.WaitForEvents();
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, 25ms);
    manager.Shutdown();
}

// A device that takes seconds to ask for more stands in for a lost one: the
// audio thread's wait for it must not hold up a pause.
TEST_F(cAudioManagerTest, PauseDoesNotHangOnAStalledDevice)
{
    const std::string path = TestScratchFolder() + "/audio-stalled-" + std::to_string(getpid()) + ".raw";
    cScopedEnv driver("SDL_AUDIODRIVER", "disk");
    cScopedEnv file("SDL_DISKAUDIOFILE", path.c_str());
    cScopedEnv delay("SDL_DISKAUDIODELAY", "2500");
    cAudioManager manager;
    ASSERT_TRUE(manager.Init(StartupSettings())) << manager.GetErrorText();
    ASSERT_TRUE(WaitUntil([&] { return manager.GetBuffersRendered() >= 7; }, kStateWait));
    std::this_thread::sleep_for(50ms); // the thread now waits for the device

    // Counted, not timed: the pause returns while the device still sleeps,
    // so the thread, whose queue is full, has rendered nothing more.
    const uint32_t rendered = manager.GetBuffersRendered();
    manager.SetPaused(true);
    EXPECT_EQ(manager.GetBuffersRendered(), rendered) << "the pause waited for the stalled device";
    manager.Shutdown();
    std::remove(path.c_str());
}

#if defined(__x86_64__) || defined(__i386__)
TEST_F(cAudioManagerTest, AudioThreadFlushesDenormalsToZero)
{
    struct cModeProbe : cAudioModuleBase
    {
        cModeProbe() : cAudioModuleBase(0) {}
        int32_t Process(const cAudioProcessInfo&, cAudioBuffer& buffer) override
        {
            mode.store(_mm_getcsr());
            std::fill_n(static_cast<uint8_t*>(buffer.data), buffer.bytes, 0);
            return 0;
        }
        std::atomic<uint32_t> mode{0};
    } probe;
    cAudioManager manager;
    manager.GetOutputPort()->AddListener(&probe);
    ASSERT_TRUE(manager.Init(StartupSettings())) << manager.GetErrorText();
    ASSERT_TRUE(WaitUntil([&] { return probe.mode.load() != 0; }, kStateWait));
    EXPECT_EQ(probe.mode.load() & 0x8040u, 0x8040u);
    manager.Shutdown();
}
#endif

// Everything a module may do per block on the audio thread: drain its ring,
// post, borrow pool buffers, crossfade, check silence, write the device format.
class cBusyModule : public cSineModule
{
public:
    cBusyModule() : cSineModule(440.0, 0.25f) { detector.holdTime = detector.remaining = 1.0f; }

    int32_t Process(const cAudioProcessInfo& info, cAudioBuffer& buffer) override
    {
        SetCountAllocationsOnThisThread(true);
        cAudioEvent event;
        event.type = kAudioEventNoteOn;
        PostEvent(event);
        cAudioBufferPool* pool = cAudioManager::Get()->GetBufferPool();
        cAudioBufferPool::cHandle handle = pool->Acquire(kAudioFormatFloat, buffer.frames, 2);
        if (handle.node)
        {
            cEffectCrossfade fade;
            fade.Begin(handle.node->buffer, cEffectCrossfade::kModeFadeIn);
            fade.Mix();
            fade.End();
            detector.CheckInput(info, handle.node->buffer, false);
            detector.CheckOutput(info, handle.node->buffer);
            pool->Release(handle);
        }
        ++blocks;
        return cSineModule::Process(info, buffer);
    }

    cSilenceDetector detector;
    std::atomic<uint32_t> blocks{0};
};

TEST_F(cAudioManagerTest, SteadyStateRenderingAllocatesNothing)
{
    cAudioManager manager;
    cBusyModule module;
    manager.GetOutputPort()->AddListener(&module);
    ASSERT_TRUE(manager.Init(StartupSettings())) << manager.GetErrorText();
    ASSERT_TRUE(WaitUntil([&] { return module.blocks.load() >= 20; }, kStateWait));
    const uint64_t before = GetCountedAllocations();
    const uint32_t blocks = module.blocks.load();
    ASSERT_TRUE(WaitUntil([&] { return module.blocks.load() >= blocks + 100; }, kStateWait));
    EXPECT_EQ(GetCountedAllocations(), before);
    manager.Shutdown();
}

// The real manager, thread and port play one second of a 1 kHz sine into the
// disk device; the file must hold that sine sample for sample.
TEST_F(cAudioManagerTest, DiskDeviceReceivesAGaplessSine)
{
    const std::string path = TestScratchFolder() + "/audio-sine-" + std::to_string(getpid()) + ".raw";
    std::remove(path.c_str());
    constexpr uint32_t kRate = 44100;
    constexpr float kLevel = 0.5f;
    constexpr double kPhase = M_PI / 4; // no zero first sample, so the start is visible
    cSineModule sine(1000.0, kLevel, kPhase);
    {
        cScopedEnv driver("SDL_AUDIODRIVER", "disk");
        cScopedEnv file("SDL_DISKAUDIOFILE", path.c_str());
        cAudioManager manager;
        manager.GetOutputPort()->AddListener(&sine);
        // The deepest queue, so a busy test machine cannot starve the device.
        cAudioSettings settings = StartupSettings();
        settings.bufferLatency = 4;
        ASSERT_TRUE(manager.Init(settings)) << manager.GetErrorText();
        // A second and the buffers still in flight.
        ASSERT_TRUE(WaitUntil([&] { return manager.GetFramesRendered() >= kRate + 20 * 220; }, kStateWait));
        std::this_thread::sleep_for(100ms);
        manager.Shutdown();
    }

    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::vector<int16_t> samples;
    int16_t block[4096];
    size_t n;
    while ((n = std::fread(block, sizeof(int16_t), 4096, f)) > 0)
        samples.insert(samples.end(), block, block + n);
    std::fclose(f);
    std::remove(path.c_str());

    // Leading silence is the device playing before the first buffer arrived.
    const auto first = std::find_if(samples.begin(), samples.end(), [](int16_t s) { return s != 0; });
    ASSERT_NE(first, samples.end());
    const size_t start = size_t(first - samples.begin()) & ~size_t(1);
    ASSERT_GE(samples.size() - start, size_t(kRate) * 2) << "less than one second was played";

    uint32_t mismatches = 0;
    uint32_t crossings = 0;
    double sumSquares = 0.0;
    for (uint32_t frame = 0; frame < kRate; ++frame)
    {
        const int16_t left = samples[start + frame * 2];
        const int16_t right = samples[start + frame * 2 + 1];
        const double expected = kLevel * std::sin(2.0 * M_PI * 1000.0 * frame / kRate + kPhase) * 32767.0;
        if (std::abs(left - expected) > 2.0 || left != right)
            ++mismatches;
        if (frame > 0 && (samples[start + (frame - 1) * 2] < 0) != (left < 0))
            ++crossings;
        sumSquares += double(left) * left;
    }
    EXPECT_EQ(mismatches, 0u);
    EXPECT_NEAR(crossings, 2000, 2);
    const double rms = std::sqrt(sumSquares / kRate) / 32767.0;
    EXPECT_NEAR(rms, kLevel / std::sqrt(2.0), 0.005);
}
