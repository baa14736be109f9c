#pragma once

#include "base/CriticalSection.h"
#include "base/IntrusiveList.h"

#include <atomic>
#include <cstdint>

class cThread;

namespace JobQueue
{
class cJobQueue;

// A piece of background work. Its creator owns it: the queue never deletes a
// job, and never touches it again once its state has become finished.
class cJob : public Base::cIntrusiveListItem<cJob, 1>
{
public:
    enum : int32_t
    {
        kStateQueued = 0,
        kStateRunning = 1,
        kStateFinished = 2,
    };

    cJob() = default;
    virtual ~cJob() = default;
    cJob(const cJob&) = delete;
    cJob& operator=(const cJob&) = delete;

    // The work, on the job thread. Poll mCancel between steps.
    virtual void Run(cJobQueue* queue) = 0;

    // Set by others to ask the running job to stop early.
    std::atomic<bool> mCancel{false};
    // A new job counts as finished until it is queued.
    std::atomic<int32_t> mState{kStateFinished};
};

// Runs a job on the calling thread as the worker runs one: running, then
// finished, whatever the job throws. The queue may be null.
void RunJob(cJob* job, cJobQueue* queue);

// Runs jobs one at a time, oldest first, on the "JobQueue" thread.
class cJobQueue
{
public:
    static constexpr int32_t kStackSize = 131072;
    static constexpr uint32_t kPollMilliseconds = 50;

    // Becomes the global job queue and starts its worker thread.
    cJobQueue();
    // Stops the worker after the job it is running, if any; queued jobs are
    // neither run nor deleted.
    ~cJobQueue();
    cJobQueue(const cJobQueue&) = delete;
    cJobQueue& operator=(const cJobQueue&) = delete;

    // False, leaving the job untouched, when there is no worker thread to run
    // it, the queue has closed or the job is already queued.
    bool AddJob(cJob* job);
    // From now on every job is refused, as without a worker: the program is
    // closing, and a job would run while what it uses is deleted.
    void Close() { mClosed.store(true); }
    // Queued jobs, plus one while a job runs.
    uint32_t GetPendingCount();
    // Optionally unlinks every queued job (they stay queued-state and are not
    // deleted), asks the running job to stop and waits until none runs.
    void CancelAll(bool removeQueued);
    // Takes a job that nothing will run any more out of the queue: one still
    // waiting in it, or one that CancelAll unlinked. Its state becomes
    // finished and true is returned: its owner may reuse or delete it at
    // once. False when the job runs now or has finished; an owner then waits
    // for the finished state.
    bool Withdraw(cJob* job);
    // Returns once no job is queued or running.
    void WaitUntilIdle();
    // Runs the oldest queued job on the calling thread. False at once when
    // nothing is queued; otherwise whether jobs remain after it.
    bool RunOne();
    // Whether the worker thread could be started.
    bool HasWorker() const;

private:
    void WorkerTick(cThread* thread);
    bool IsQueued(const cJob* job) const;

    cCriticalSection mQueueLock; // guards mQueue and mCurrentJob
    cCriticalSection mRunLock;   // held by whoever runs a job, taken before mQueueLock
    Base::cIntrusiveList<cJob, 1> mQueue;
    std::atomic<cJob*> mCurrentJob{nullptr};
    std::atomic<bool> mClosed{false};
    cThread* mWorker = nullptr;
};

extern cJobQueue* gJobQueue;
} // namespace JobQueue
