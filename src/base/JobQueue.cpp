#include "base/JobQueue.h"

#include "base/Thread.h"

#include <cstdio>
#include <exception>

namespace JobQueue
{
cJobQueue* gJobQueue = nullptr;

cJobQueue::cJobQueue()
{
    gJobQueue = this;
    mWorker = new cThread("JobQueue", cDelegate(this, &cJobQueue::WorkerTick), cThread::kPriorityNormal,
                          cThread::kStateRun, kStackSize);
    if (!mWorker->HasStarted())
        std::fprintf(stderr, "Couldn't start the background job thread (error %d); background work is unavailable\n",
                     mWorker->GetCreationError());
}

cJobQueue::~cJobQueue()
{
    // Neither lock may be held here: the worker takes both while it finishes.
    delete mWorker;
    if (gJobQueue == this)
        gJobQueue = nullptr;
}

bool cJobQueue::HasWorker() const
{
    return mWorker->HasStarted();
}

bool cJobQueue::AddJob(cJob* job)
{
    // Queued without a worker, the job would never run and its waiters would
    // wait for ever.
    if (!HasWorker() || mClosed.load())
        return false;
    cScopedLock lock(&mQueueLock);
    if (IsQueued(job))
        return false;
    job->mState = cJob::kStateQueued;
    mQueue.PushBack(job);
    return true;
}

bool cJobQueue::IsQueued(const cJob* job) const
{
    return job->GetPrev() != nullptr || mQueue.GetFirst() == job;
}

uint32_t cJobQueue::GetPendingCount()
{
    cScopedLock lock(&mQueueLock);
    return mQueue.GetCount() + (mCurrentJob.load() != nullptr ? 1 : 0);
}

void cJobQueue::CancelAll(bool removeQueued)
{
    {
        cScopedLock lock(&mQueueLock);
        if (removeQueued)
            while (mQueue.PopFront() != nullptr)
            {
            }
        if (cJob* current = mCurrentJob.load())
            current->mCancel = true;
    }
    do
        Sleep(kPollMilliseconds);
    while (mCurrentJob.load() != nullptr);
}

bool cJobQueue::Withdraw(cJob* job)
{
    cScopedLock lock(&mQueueLock);
    // A job leaves the queue and becomes the current one in one hold of the
    // lock, so it is always in one of the three places here.
    if (IsQueued(job))
        mQueue.Remove(job);
    else if (job == mCurrentJob.load() || job->mState.load() != cJob::kStateQueued)
        return false;
    job->mState = cJob::kStateFinished;
    return true;
}

void cJobQueue::WaitUntilIdle()
{
    while (GetPendingCount() != 0)
        Sleep(kPollMilliseconds);
}

bool cJobQueue::RunOne()
{
    // Whoever runs a job holds the run lock from taking it to clearing the
    // current job, so a caller beside the worker waits its turn without
    // taking the current-job slot from the job that runs.
    cScopedLock running(&mRunLock);
    cJob* job;
    {
        cScopedLock lock(&mQueueLock);
        job = mQueue.PopFront();
        if (job == nullptr)
            return false;
        mCurrentJob = job;
    }
    RunJob(job, this);
    cScopedLock lock(&mQueueLock);
    mCurrentJob = nullptr;
    return !mQueue.IsEmpty();
}

void RunJob(cJob* job, cJobQueue* queue)
{
    job->mState = cJob::kStateRunning;
    try
    {
        job->Run(queue);
    }
    catch (const std::exception& error)
    {
        // A failing job must not take the program, and unsaved work, with it.
        std::fprintf(stderr, "A background job failed: %s\n", error.what());
    }
    catch (...)
    {
        std::fprintf(stderr, "A background job failed\n");
    }
    job->mState = cJob::kStateFinished;
}

void cJobQueue::WorkerTick(cThread* thread)
{
    // Between jobs, a stop request wins: queued jobs are left for their owners.
    while (RunOne() && thread->mRequestedState.load() == cThread::kStateRun)
    {
    }
    Sleep(kPollMilliseconds);
}
} // namespace JobQueue
