#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "audio/Sample.h"
#include "audio/SampleFiles.h"
#include "audio/SampleRegistry.h"
#include "audio/WaitUntil.h"
#include "base/JobQueue.h"
#include "base/Thread.h"
#include "instruments/synth/AnalogueSynthSampleManager.h"

using JobQueue::cJob;
using JobQueue::cJobQueue;
using namespace std::chrono_literals;

namespace
{
// Holds the job thread until released, so that jobs behind it wait.
class cBlockerJob : public cJob
{
public:
    void Run(cJobQueue*) override
    {
        entered = true;
        while (!release.load() && !mCancel.load())
            std::this_thread::sleep_for(1ms);
    }
    std::atomic<bool> entered{false};
    std::atomic<bool> release{false};
};

std::string SmallWav() { return SimpleWav(cWavFormat(), Samples16(std::vector<int16_t>(200, 1000))); }
} // namespace

class SampleManager : public testing::Test
{
protected:
    void SetUp() override
    {
        folder.Write("User/a.wav", SmallWav());
        folder.Write("User/b.wav", SmallWav());
    }
    void TearDown() override
    {
        blocker.release = true;
        if (queue)
            queue->WaitUntilIdle();
    }

    // The job thread busy with the blocker.
    void HoldQueue()
    {
        ASSERT_TRUE(queue->AddJob(&blocker));
        ASSERT_TRUE(WaitUntil([&] { return blocker.entered.load(); }, 10s));
    }
    // Polls block by block until nothing is in flight.
    static void PollUntilSettled(cAnalogueSynthSampleManager& manager)
    {
        ASSERT_TRUE(WaitUntil([&] { return !manager.Poll(); }, 10s));
    }
    // A file big enough that loading it takes a while.
    void WriteBigWav()
    {
        folder.Write("User/big.wav", SimpleWav(cWavFormat(), Samples16(std::vector<int16_t>(8 << 20, 7))));
    }

    cSampleFolder folder;
    std::unique_ptr<cJobQueue> queue = std::make_unique<cJobQueue>();
    cBlockerJob blocker;
};

// A sample the registry holds plays in the same block; the same path in
// other letters changes nothing.
TEST_F(SampleManager, ARegisteredSampleIsTakenAtOnce)
{
    cSample* a = cSample::Load("User/a.wav", 0);
    ASSERT_NE(a, nullptr);
    {
        cAnalogueSynthSampleManager manager;
        manager.SetSlot(0, cGenString("User/a.wav"));
        EXPECT_EQ(manager.GetSample(0), a);
        EXPECT_FALSE(manager.IsPending(0));
        EXPECT_FALSE(manager.Poll());
        EXPECT_FALSE(manager.IsLoadQueued());
        EXPECT_EQ(a->GetRefCount(), 2);
        manager.SetSlot(0, cGenString("USER/A.WAV"));
        EXPECT_EQ(manager.GetSample(0), a);
        EXPECT_STREQ(manager.GetPath(0).CStr(), "User/a.wav");
        EXPECT_EQ(a->GetRefCount(), 2);
        manager.SetSlot(0, cGenString(""));
        EXPECT_EQ(manager.GetSample(0), nullptr);
        EXPECT_EQ(a->GetRefCount(), 1);
    }
    a->Release();
}

// Slots load one at a time in the background; a load that finishes after
// its slot has been given another path is dropped, and the new path loads.
TEST_F(SampleManager, ALoadOvertakenByANewPathIsDropped)
{
    HoldQueue();
    cAnalogueSynthSampleManager manager;
    manager.SetSlot(0, cGenString("User/a.wav"));
    manager.SetSlot(2, cGenString("User/b.wav"));
    EXPECT_TRUE(manager.IsPending(0));
    EXPECT_TRUE(manager.Poll());
    EXPECT_FALSE(manager.IsPending(0)) << "loading";
    EXPECT_STREQ(manager.GetJob().path.CStr(), "User/a.wav");
    manager.SetSlot(0, cGenString("User/b.wav"));
    EXPECT_TRUE(manager.Poll());
    blocker.release = true;
    PollUntilSettled(manager);
    ASSERT_NE(manager.GetSample(0), nullptr);
    EXPECT_STREQ(manager.GetSample(0)->GetPath(), "User/b.wav");
    EXPECT_EQ(manager.GetSample(2), manager.GetSample(0)) << "the second took the first's sample";
    EXPECT_FALSE(cSampleRegistry::IsLoaded("User/a.wav")) << "the dropped load let go of its sample";
}

// A file that does not load leaves its slot silent, and is not tried again
// until its path is set again.
TEST_F(SampleManager, AFailedLoadIsNotRetried)
{
    cAnalogueSynthSampleManager manager;
    manager.SetSlot(1, cGenString("User/missing.wav"));
    EXPECT_TRUE(manager.Poll());
    PollUntilSettled(manager);
    EXPECT_EQ(manager.GetSample(1), nullptr);
    EXPECT_FALSE(manager.IsPending(1));
    folder.Write("User/missing.wav", SmallWav());
    EXPECT_FALSE(manager.Poll());
    EXPECT_EQ(manager.GetSample(1), nullptr);
}

// Offline renders load where they run: a slot set while offline, and a load
// that still waited in the queue when the render began.
TEST_F(SampleManager, OfflineRendersLoadPendingSamplesAtOnce)
{
    HoldQueue();
    cAnalogueSynthSampleManager manager;
    manager.SetSlot(0, cGenString("User/a.wav"));
    ASSERT_TRUE(manager.Poll());
    manager.SetOffline(true);
    ASSERT_NE(manager.GetSample(0), nullptr);
    EXPECT_FALSE(manager.IsLoadQueued());
    EXPECT_EQ(queue->GetPendingCount(), 1u) << "only the blocker";
    manager.SetSlot(1, cGenString("User/b.wav"));
    EXPECT_NE(manager.GetSample(1), nullptr);
    EXPECT_FALSE(manager.Poll());
}

// Switching offline while a load runs waits for it and installs it before
// the block renders.
TEST_F(SampleManager, GoingOfflineWaitsForTheRunningLoad)
{
    WriteBigWav();
    cAnalogueSynthSampleManager manager;
    manager.SetSlot(0, cGenString("User/big.wav"));
    ASSERT_TRUE(manager.Poll());
    ASSERT_TRUE(WaitUntil([&] { return manager.GetJob().mState.load() != cJob::kStateQueued; }, 10s));
    manager.SetOffline(true);
    ASSERT_NE(manager.GetSample(0), nullptr);
    EXPECT_EQ(manager.GetSample(0)->GetFrames(), 4 << 20);
    EXPECT_FALSE(manager.IsLoadQueued());
}

// Destroying a manager takes back a load that still waits, and waits only
// for one that runs; a queue that refuses or drops the job never hangs it.
TEST_F(SampleManager, DestructionNeverWaitsForALoadThatWillNotRun)
{
    {
        HoldQueue();
        auto manager = std::make_unique<cAnalogueSynthSampleManager>();
        manager->SetSlot(0, cGenString("User/a.wav"));
        ASSERT_TRUE(manager->Poll());
        manager.reset(); // the blocker still runs
        EXPECT_EQ(queue->GetPendingCount(), 1u);
        blocker.release = true;
        queue->WaitUntilIdle();
        EXPECT_FALSE(cSampleRegistry::IsLoaded("User/a.wav")) << "the job never ran";
    }
    {
        // A closed queue refuses the job: the slot stays pending, nothing
        // is in flight.
        queue->Close();
        cAnalogueSynthSampleManager manager;
        manager.SetSlot(0, cGenString("User/a.wav"));
        EXPECT_FALSE(manager.Poll());
        EXPECT_TRUE(manager.IsPending(0));
        EXPECT_FALSE(manager.IsLoadQueued());
        manager.SetOffline(true);
        EXPECT_FALSE(manager.Poll());
        EXPECT_NE(manager.GetSample(0), nullptr) << "still loaded by an offline render";
    }
    {
        // A job dropped by cancelling, and one left behind by a queue that
        // went away.
        for (bool destroyQueue : {false, true})
        {
            queue = std::make_unique<cJobQueue>();
            blocker.release = false;
            blocker.entered = false;
            HoldQueue();
            auto manager = std::make_unique<cAnalogueSynthSampleManager>();
            manager->SetSlot(0, cGenString("User/b.wav"));
            ASSERT_TRUE(manager->Poll());
            if (destroyQueue)
            {
                blocker.release = true;
                queue->CancelAll(true);
                queue.reset();
            }
            else
                queue->CancelAll(true);
            manager.reset();
        }
        queue = std::make_unique<cJobQueue>();
    }
}

TEST_F(SampleManager, DestructionWaitsForARunningLoad)
{
    WriteBigWav();
    auto manager = std::make_unique<cAnalogueSynthSampleManager>();
    manager->SetSlot(0, cGenString("User/big.wav"));
    ASSERT_TRUE(manager->Poll());
    ASSERT_TRUE(WaitUntil([&] { return manager->GetJob().mState.load() != cJob::kStateQueued; }, 10s));
    manager.reset();
    EXPECT_EQ(queue->GetPendingCount(), 0u);
    EXPECT_FALSE(cSampleRegistry::IsLoaded("User/big.wav")) << "its sample let go";
}
