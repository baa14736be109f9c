#include "instruments/synth/AnalogueSynthSampleManager.h"

#include <utility>

#include "audio/Sample.h"
#include "audio/SampleRegistry.h"
#include "base/Thread.h"

cAnalogueSynthSampleManager::cJobLoadSample::~cJobLoadSample()
{
    if (loaded)
        std::exchange(loaded, nullptr)->Release();
}

void cAnalogueSynthSampleManager::cJobLoadSample::Run(JobQueue::cJobQueue*)
{
    loaded = cSample::Load(path.CStr(), 0);
}

cAnalogueSynthSampleManager::~cAnalogueSynthSampleManager() { Reset(); }

void cAnalogueSynthSampleManager::ReleaseSample(cSlot& slot)
{
    if (slot.sample)
        std::exchange(slot.sample, nullptr)->Release();
}

bool cAnalogueSynthSampleManager::TakeRegistered(cSlot& slot)
{
    cGenStringFixed<cSample::kPathCapacity> key;
    if (!MakeSampleKey(slot.path.CStr(), key))
        return false;
    slot.sample = cSampleRegistry::FindAndAddRef(key.CStr(), true);
    return slot.sample != nullptr;
}

void cAnalogueSynthSampleManager::SetSlot(int32_t index, const cGenString& path)
{
    if (index < 0 || index >= kSlotCount)
        return;
    cSlot& slot = mSlots[index];
    if (path.IsEmpty() || !cGenString::EqualsNoCase(path, slot.path))
    {
        ReleaseSample(slot);
        slot.path.Assign(path);
        slot.pending = !path.IsEmpty() && !TakeRegistered(slot) ? 1 : 0;
    }
    if (mOffline)
        LoadPendingNow();
}

void cAnalogueSynthSampleManager::LoadPendingNow()
{
    for (cSlot& slot : mSlots)
        if (slot.pending)
        {
            slot.pending = 0;
            ReleaseSample(slot);
            slot.sample = cSample::Load(slot.path.CStr(), 0);
        }
}

// A load that finished after its slot was given another path is dropped.
void cAnalogueSynthSampleManager::CollectJob()
{
    mJobQueued = 0;
    cSample* loaded = std::exchange(mJob.loaded, nullptr);
    if (!loaded)
        return;
    cSlot& slot = mSlots[mJob.slot];
    if (!slot.sample && cGenString::EqualsNoCase(slot.path, mJob.path))
    {
        slot.sample = loaded;
        slot.pending = 0;
    }
    else
        loaded->Release();
}

bool cAnalogueSynthSampleManager::Poll()
{
    if (mJobQueued)
    {
        if (mJob.mState.load() != JobQueue::cJob::kStateFinished)
            return true;
        CollectJob();
    }
    if (mOffline)
    {
        LoadPendingNow();
        return false;
    }
    for (int32_t index = 0; index < kSlotCount; ++index)
    {
        cSlot& slot = mSlots[index];
        if (!slot.pending)
            continue;
        slot.pending = 0;
        if (TakeRegistered(slot))
            return false;
        mJob.slot = index;
        mJob.path.Assign(slot.path);
        // Without a worker to run it the load would never finish: the slot
        // stays pending, and nothing is in flight.
        JobQueue::cJobQueue* queue = JobQueue::gJobQueue;
        if (!queue || !queue->AddJob(&mJob))
        {
            slot.pending = 1;
            return false;
        }
        mJobQueued = 1;
        return true;
    }
    return false;
}

bool cAnalogueSynthSampleManager::WithdrawJob()
{
    if (mJob.mState.load() == JobQueue::cJob::kStateFinished)
        return false;
    // With the queue gone, nothing runs the job any more: a queue waits for
    // its running job before it goes.
    JobQueue::cJobQueue* queue = JobQueue::gJobQueue;
    if (queue && !queue->Withdraw(&mJob))
        return false;
    mJob.mState = JobQueue::cJob::kStateFinished;
    mJobQueued = 0;
    cSlot& slot = mSlots[mJob.slot];
    if (!slot.sample && cGenString::EqualsNoCase(slot.path, mJob.path))
        slot.pending = 1;
    return true;
}

void cAnalogueSynthSampleManager::WaitUntilJobFinished() const
{
    while (mJob.mState.load() != JobQueue::cJob::kStateFinished)
        Sleep(kWaitMilliseconds);
}

void cAnalogueSynthSampleManager::SetOffline(bool offline)
{
    if (uint8_t(offline) == mOffline)
        return;
    mOffline = offline ? 1 : 0;
    if (!offline || !mJobQueued)
        return;
    // A load waiting behind other jobs (the render's own, perhaps) would
    // land after the render: it is loaded here instead.
    if (!WithdrawJob())
        WaitUntilJobFinished();
    Poll();
}

void cAnalogueSynthSampleManager::Reset()
{
    if (mJobQueued)
    {
        if (!WithdrawJob())
            WaitUntilJobFinished();
        mJobQueued = 0;
        if (mJob.loaded)
            std::exchange(mJob.loaded, nullptr)->Release();
    }
    for (cSlot& slot : mSlots)
    {
        ReleaseSample(slot);
        slot.path.AssignCStr("");
        slot.pending = 0;
    }
}
