#include "base/Clock.h"
#include "base/JobQueue.h"
#include "base/Thread.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

using JobQueue::cJob;
using JobQueue::cJobQueue;

namespace
{
double SecondsSince(int64_t start)
{
    return static_cast<double>(GetTicks() - start) * GetMillisecondsPerTick() * 0.001;
}

template <class Condition>
bool Eventually(Condition condition)
{
    const int64_t start = GetTicks();
    while (!condition())
    {
        if (SecondsSince(start) > 3.0)
            return false;
        Sleep(1);
    }
    return true;
}

// Records the order jobs start in and whether the one before had finished.
struct cJournal
{
    std::vector<int> started;
    std::vector<cJob*> jobs;
    bool previousFinishedFirst = true;
};

class cRecordingJob : public cJob
{
public:
    cRecordingJob(cJournal* journal, int id) : mJournal(journal), mId(id) {}

    void Run(cJobQueue*) override
    {
        for (cJob* earlier : mJournal->jobs)
            if (earlier == this)
                break;
            else if (earlier->mState.load() != kStateFinished)
                mJournal->previousFinishedFirst = false;
        mJournal->started.push_back(mId);
        Sleep(5);
    }

private:
    cJournal* mJournal;
    int mId;
};

// Runs until released, or until cancelled when it honours cancelling.
class cGatedJob : public cJob
{
public:
    explicit cGatedJob(bool honoursCancel = true) : mHonoursCancel(honoursCancel) {}

    void Run(cJobQueue*) override
    {
        mEntered = true;
        while (!mRelease.load() && !(mHonoursCancel && mCancel.load()))
            Sleep(1);
        mCompleted = true;
    }

    std::atomic<bool> mEntered{false};
    std::atomic<bool> mRelease{false};
    std::atomic<bool> mCompleted{false};

private:
    bool mHonoursCancel;
};

class cThrowingJob : public cJob
{
public:
    void Run(cJobQueue*) override { throw std::runtime_error("disk full"); }
};
} // namespace

TEST(JobQueue, RunsJobsFirstInFirstOutAndStartsPromptly)
{
    cJobQueue queue;
    EXPECT_EQ(JobQueue::gJobQueue, &queue);
    ASSERT_TRUE(queue.HasWorker());
    Sleep(60); // let the worker settle into its idle sleep

    cJournal journal;
    std::vector<std::unique_ptr<cRecordingJob>> jobs;
    for (int id = 0; id < 3; ++id)
    {
        jobs.push_back(std::make_unique<cRecordingJob>(&journal, id));
        journal.jobs.push_back(jobs.back().get());
        EXPECT_EQ(jobs.back()->mState.load(), cJob::kStateFinished);
    }
    for (auto& job : jobs)
        ASSERT_TRUE(queue.AddJob(job.get()));

    queue.WaitUntilIdle();
    EXPECT_EQ(journal.started, (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(journal.previousFinishedFirst);
    for (auto& job : jobs)
        EXPECT_EQ(job->mState.load(), cJob::kStateFinished);
    // How soon the worker takes a job is measured by bench_base_queues.
}

TEST(JobQueue, PendingCountFollowsRunningAndWaitingJobs)
{
    cJobQueue queue;
    cGatedJob first, second;
    queue.AddJob(&first);
    queue.AddJob(&second);
    ASSERT_TRUE(Eventually([&] { return first.mEntered.load(); }));
    EXPECT_EQ(queue.GetPendingCount(), 2u);
    EXPECT_EQ(second.mState.load(), cJob::kStateQueued);
    // Checked behind a job that holds the worker, so it cannot have started.
    EXPECT_FALSE(queue.AddJob(&second)) << "a queued job cannot be queued twice";
    EXPECT_EQ(queue.GetPendingCount(), 2u);

    first.mRelease = true;
    ASSERT_TRUE(Eventually([&] { return second.mEntered.load(); }));
    EXPECT_EQ(queue.GetPendingCount(), 1u);
    EXPECT_EQ(first.mState.load(), cJob::kStateFinished);
    EXPECT_EQ(second.mState.load(), cJob::kStateRunning);

    second.mRelease = true;
    queue.WaitUntilIdle();
    EXPECT_EQ(queue.GetPendingCount(), 0u);
}

TEST(JobQueue, CancelAllRemovesWaitingJobsAndWaitsForTheRunningOne)
{
    cJobQueue queue;
    cGatedJob running, waitingA, waitingB;
    queue.AddJob(&running);
    queue.AddJob(&waitingA);
    queue.AddJob(&waitingB);
    ASSERT_TRUE(Eventually([&] { return running.mEntered.load(); }));

    queue.CancelAll(true);
    EXPECT_TRUE(running.mCancel.load());
    EXPECT_TRUE(running.mCompleted.load());
    EXPECT_EQ(running.mState.load(), cJob::kStateFinished);
    for (cGatedJob* waiting : {&waitingA, &waitingB})
    {
        EXPECT_EQ(waiting->mState.load(), cJob::kStateQueued);
        EXPECT_FALSE(waiting->mEntered.load());
    }
    EXPECT_EQ(queue.GetPendingCount(), 0u);

    // A removed job may be queued again by its owner.
    waitingA.mRelease = true;
    EXPECT_TRUE(queue.AddJob(&waitingA));
    queue.WaitUntilIdle();
    EXPECT_TRUE(waitingA.mCompleted.load());
}

// How long these take (at once, and one polling interval) is measured by
// bench_base_queues.
TEST(JobQueue, IdleWaitAndCancelReturnWithNothingToRun)
{
    cJobQueue queue;
    EXPECT_FALSE(queue.RunOne());
    queue.WaitUntilIdle();
    queue.CancelAll(true);
    EXPECT_EQ(queue.GetPendingCount(), 0u);
}

// RunOne on another thread while the worker runs a job: the job that runs
// must stay the one that CancelAll reaches and the pending count covers,
// instead of the one the caller is still waiting to run.
TEST(JobQueue, RunOneBesideTheWorkerKeepsTheRunningJobCancellable)
{
    cJobQueue queue;
    cGatedJob running, next;
    next.mRelease = true;
    queue.AddJob(&running);
    ASSERT_TRUE(Eventually([&] { return running.mEntered.load(); }));
    queue.AddJob(&next);

    std::thread caller([&] { queue.RunOne(); });
    Sleep(50); // let the caller reach the queue
    EXPECT_EQ(queue.GetPendingCount(), 2u);

    // Releases the running job should cancelling miss it, so a fault fails
    // the test instead of hanging the run.
    std::atomic<bool> finished{false};
    std::thread watchdog([&] {
        const int64_t start = GetTicks();
        while (!finished.load() && SecondsSince(start) < 5.0)
            Sleep(5);
        running.mRelease = true;
    });
    queue.CancelAll(false);
    EXPECT_TRUE(running.mCancel.load());
    EXPECT_FALSE(running.mRelease.load()) << "cancelling waited for the watchdog";
    finished = true;
    watchdog.join();
    caller.join();

    queue.WaitUntilIdle();
    EXPECT_TRUE(next.mCompleted.load());
    EXPECT_FALSE(next.mCancel.load());
    EXPECT_EQ(next.mState.load(), cJob::kStateFinished);
    EXPECT_EQ(queue.GetPendingCount(), 0u);
}

// Withdrawing takes back what nothing will run (a waiting job, or one that
// cancelling unlinked) as finished, and leaves a running or finished job to
// its owner's wait.
TEST(JobQueue, WithdrawTakesBackOnlyJobsThatWillNotRun)
{
    cJobQueue queue;
    cGatedJob running, waiting, dropped, never;
    queue.AddJob(&running);
    ASSERT_TRUE(Eventually([&] { return running.mEntered.load(); }));
    queue.AddJob(&waiting);
    queue.AddJob(&dropped);

    EXPECT_TRUE(queue.Withdraw(&waiting));
    EXPECT_EQ(waiting.mState.load(), cJob::kStateFinished);
    EXPECT_FALSE(queue.Withdraw(&waiting)) << "a second withdrawal";
    EXPECT_FALSE(queue.Withdraw(&running));
    EXPECT_FALSE(queue.Withdraw(&never));
    EXPECT_EQ(queue.GetPendingCount(), 2u);

    running.mRelease = true;
    queue.CancelAll(true);
    EXPECT_EQ(dropped.mState.load(), cJob::kStateQueued);
    EXPECT_TRUE(queue.Withdraw(&dropped));
    EXPECT_EQ(dropped.mState.load(), cJob::kStateFinished);
    EXPECT_FALSE(queue.Withdraw(&running)) << "finished";

    // A withdrawn job never ran, and may be queued again.
    EXPECT_FALSE(waiting.mEntered.load());
    waiting.mRelease = true;
    EXPECT_TRUE(queue.AddJob(&waiting));
    queue.WaitUntilIdle();
    EXPECT_TRUE(waiting.mCompleted.load());
    EXPECT_FALSE(dropped.mEntered.load());
}

TEST(JobQueue, DestroyingWaitsForTheRunningJobAndLeavesQueuedOnes)
{
    cGatedJob running(false), queued;
    auto queue = std::make_unique<cJobQueue>();
    queue->AddJob(&running);
    queue->AddJob(&queued);
    ASSERT_TRUE(Eventually([&] { return running.mEntered.load(); }));
    std::thread releaser([&] {
        Sleep(30);
        running.mRelease = true;
    });
    queue.reset();
    releaser.join();
    EXPECT_EQ(JobQueue::gJobQueue, nullptr);
    EXPECT_TRUE(running.mCompleted.load());
    EXPECT_EQ(running.mState.load(), cJob::kStateFinished);
    EXPECT_FALSE(queued.mEntered.load());
    EXPECT_EQ(queued.mState.load(), cJob::kStateQueued);
}

TEST(JobQueue, AFailingJobFinishesAndTheQueueGoesOn)
{
    cJobQueue queue;
    cThrowingJob failing;
    cGatedJob next;
    next.mRelease = true;
    queue.AddJob(&failing);
    queue.AddJob(&next);
    queue.WaitUntilIdle();
    EXPECT_EQ(failing.mState.load(), cJob::kStateFinished);
    EXPECT_TRUE(next.mCompleted.load());
}

#if !defined(__SANITIZE_ADDRESS__)
namespace
{
// With no address space left for a thread stack the queue has no worker; it
// must refuse jobs rather than queue them for ever. The slack lets the heap
// grow once but holds no thread stack.
void AddJobWithoutAWorker()
{
    long pages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r"))
    {
        if (std::fscanf(statm, "%ld", &pages) != 1)
            pages = 0;
        std::fclose(statm);
    }
    const rlim_t slack = 160u << 10;
    static_assert(160u << 10 < cThread::kMinimumStackSize);
    const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + slack;
    const rlimit tight{limit, limit};
    setrlimit(RLIMIT_AS, &tight);
    bool refused = false;
    {
        cJobQueue queue;
        cGatedJob job;
        refused = !queue.HasWorker() && !queue.AddJob(&job) && job.mState.load() == cJob::kStateFinished &&
                  queue.GetPendingCount() == 0;
        queue.WaitUntilIdle();
    }
    _exit(refused ? 0 : 1);
}
} // namespace

TEST(JobQueueDeathTest, WithoutAWorkerJobsAreRefused)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(AddJobWithoutAWorker(), testing::ExitedWithCode(0), "background job thread");
}
#endif
