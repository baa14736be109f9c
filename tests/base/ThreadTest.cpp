#include "base/Clock.h"
#include "base/Thread.h"

#include <gtest/gtest.h>

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>

namespace
{
// Waits up to two seconds for a condition another thread makes true.
template <class Condition>
bool Eventually(Condition condition)
{
    const int64_t deadline = GetTicks() + 2 * GetTicksPerSecond();
    while (!condition())
    {
        if (GetTicks() > deadline)
            return false;
        Sleep(1);
    }
    return true;
}

struct cWork
{
    std::atomic<int> calls{0};
    std::atomic<bool> release{true};
    std::atomic<bool> inside{false};
    char name[16] = {};
    size_t stackSize = 0;
    int processors = 0;

    void Tick(cThread* thread)
    {
        if (calls.fetch_add(1) == 0)
            RecordThreadDetails();
        EXPECT_NE(thread, nullptr);
        inside = true;
        while (!release.load())
            Sleep(1);
        inside = false;
        Sleep(1);
    }

    void RecordThreadDetails()
    {
        pthread_getname_np(pthread_self(), name, sizeof(name));
        pthread_attr_t attributes;
        pthread_getattr_np(pthread_self(), &attributes);
        pthread_attr_getstacksize(&attributes, &stackSize);
        pthread_attr_destroy(&attributes);
        cpu_set_t allowed;
        CPU_ZERO(&allowed);
        if (sched_getaffinity(0, sizeof(allowed), &allowed) == 0)
            processors = CPU_COUNT(&allowed);
    }
};
} // namespace

TEST(Thread, PauseRunStopHandshake)
{
    cWork work;
    auto thread = std::make_unique<cThread>("WorkerUnderTest", cDelegate(&work, &cWork::Tick),
                                            cThread::kPriorityNormal, cThread::kStateRun, 4096);
    ASSERT_TRUE(thread->HasStarted());
    EXPECT_EQ(thread->GetCreationError(), 0);
    ASSERT_TRUE(Eventually([&] { return work.calls.load() > 2; }));
    EXPECT_STREQ(work.name, "WorkerUnderTest");
    EXPECT_GE(work.stackSize, static_cast<size_t>(cThread::kMinimumStackSize));
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    ASSERT_EQ(sched_getaffinity(0, sizeof(allowed), &allowed), 0);
    EXPECT_EQ(work.processors, CPU_COUNT(&allowed)) << "the thread may run on every processor the program may";

    thread->mRequestedState = cThread::kStatePause;
    ASSERT_TRUE(Eventually([&] { return thread->mReportedState.load() == cThread::kStatePause; }));
    const int callsWhenPaused = work.calls.load();
    Sleep(30);
    EXPECT_EQ(work.calls.load(), callsWhenPaused);

    thread->mRequestedState = cThread::kStateRun;
    EXPECT_TRUE(Eventually([&] { return work.calls.load() > callsWhenPaused; }));

    // Pausing mid-callback takes effect once the callback returns.
    work.release = false;
    ASSERT_TRUE(Eventually([&] { return work.inside.load(); }));
    thread->mRequestedState = cThread::kStatePause;
    Sleep(20);
    EXPECT_EQ(thread->mReportedState.load(), cThread::kStateRun);
    work.release = true;
    EXPECT_TRUE(Eventually([&] { return thread->mReportedState.load() == cThread::kStatePause; }));

    thread.reset();
    EXPECT_FALSE(work.inside.load());
}

TEST(Thread, DestroyingWaitsForTheRunningCallback)
{
    cWork work;
    work.release = false;
    auto thread = std::make_unique<cThread>("Busy", cDelegate(&work, &cWork::Tick), cThread::kPriorityNormal,
                                            cThread::kStateRun, 0);
    ASSERT_TRUE(Eventually([&] { return work.inside.load(); }));
    std::atomic<bool> destroyed{false};
    std::thread late([&] {
        Sleep(30);
        EXPECT_FALSE(destroyed.load());
        work.release = true;
    });
    thread.reset();
    destroyed = true;
    late.join();
    EXPECT_FALSE(work.inside.load());
}

TEST(Thread, PausedAndEmptyThreadsRunNothingAndStopCleanly)
{
    cWork work;
    {
        cThread paused("Paused", cDelegate(&work, &cWork::Tick), cThread::kPriorityNormal, cThread::kStatePause,
                       4096);
        EXPECT_EQ(paused.mReportedState.load(), cThread::kStatePause);
        Sleep(20);
    }
    EXPECT_EQ(work.calls.load(), 0);

    cThread empty("Empty", cDelegate(), cThread::kPriorityNormal, cThread::kStateRun, 0);
    EXPECT_TRUE(Eventually([&] { return empty.mReportedState.load() == cThread::kStateRun; }));
}

TEST(Thread, TimeCriticalThreadRunsWithOrWithoutRealTimeRights)
{
    cWork work;
    cThread audio("AudioManager", cDelegate(&work, &cWork::Tick), cThread::kPriorityTimeCritical,
                  cThread::kStatePause, 4096);
    ASSERT_TRUE(audio.HasStarted());
    Sleep(10);
    EXPECT_EQ(work.calls.load(), 0);
    audio.mRequestedState = cThread::kStateRun;
    EXPECT_TRUE(Eventually([&] { return work.calls.load() > 0; }));
    audio.mRequestedState = cThread::kStatePause;
    EXPECT_TRUE(Eventually([&] { return audio.mReportedState.load() == cThread::kStatePause; }));
}

#if !defined(__SANITIZE_ADDRESS__)
namespace
{
// Leaves the process little more address space than it uses, then asks for
// a thread whose stack cannot fit.
void CreateThreadBeyondTheAddressSpaceLimit()
{
    long pages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r"))
    {
        if (std::fscanf(statm, "%ld", &pages) != 1)
            pages = 0;
        std::fclose(statm);
    }
    const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (64u << 20);
    const rlimit tight{limit, limit};
    setrlimit(RLIMIT_AS, &tight);
    bool reported = false;
    {
        cThread huge("Huge", cDelegate(), cThread::kPriorityNormal, cThread::kStateRun, 1 << 30);
        reported = !huge.HasStarted() && huge.GetCreationError() != 0;
    }
    _exit(reported ? 0 : 1);
}
} // namespace

// A thread the system cannot create is reported to its owner, and destroying
// it does not wait on a thread that never started.
TEST(ThreadDeathTest, CreationFailureIsReportedAndNeverJoined)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(CreateThreadBeyondTheAddressSpaceLimit(), testing::ExitedWithCode(0), "");
}
#endif

namespace
{
// Without real-time rights (no limit, no privilege) a time-critical thread
// still starts and runs at normal priority.
void RunTimeCriticalWithoutRights()
{
    const rlimit none{0, 0};
    setrlimit(RLIMIT_RTPRIO, &none);
    if (geteuid() == 0 && setuid(65534) != 0)
        _exit(2);
    cWork work;
    cThread audio("AudioManager", cDelegate(&work, &cWork::Tick), cThread::kPriorityTimeCritical,
                  cThread::kStateRun, 4096);
    const bool ran = Eventually([&] { return work.calls.load() > 0; });
    _exit(audio.HasStarted() && !audio.IsRealTime() && ran ? 0 : 1);
}
} // namespace

TEST(ThreadDeathTest, RefusedRealTimeFallsBackToNormalPriority)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(RunTimeCriticalWithoutRights(), testing::ExitedWithCode(0), "");
}

TEST(Thread, SetThreadNameIgnoresEmptyNames)
{
    std::thread probe([] {
        char before[16] = {}, after[16] = {};
        SetThreadName("Main Thread");
        pthread_getname_np(pthread_self(), before, sizeof(before));
        SetThreadName("");
        SetThreadName(nullptr);
        pthread_getname_np(pthread_self(), after, sizeof(after));
        EXPECT_STREQ(before, "Main Thread");
        EXPECT_STREQ(after, "Main Thread");
    });
    probe.join();
}
