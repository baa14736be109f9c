#include "base/Thread.h"

#include <errno.h>
#include <sched.h>
#include <string.h>
#include <sys/resource.h>
#include <time.h>

#include <algorithm>

namespace
{
constexpr size_t kThreadNameBytes = 16;
constexpr int kRealTimePriority = 80;

bool TrySetFifoPriority(pthread_t handle, int priority)
{
    sched_param parameters{};
    parameters.sched_priority = priority;
    return pthread_setschedparam(handle, SCHED_FIFO, &parameters) == 0;
}
} // namespace

cThread::cThread(const char* name, const cDelegate& callback, int32_t priority, int32_t initialState,
                 int32_t stackSize)
    : mRequestedState(initialState), mReportedState(initialState),
      mName(cGenString::ConstructGrowableFromCStr(name)), mCallback(callback), mPriority(priority)
{
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, static_cast<size_t>(std::max(stackSize, kMinimumStackSize)));
    mCreationError = pthread_create(&mHandle, &attributes, &cThread::Entry, this);
    pthread_attr_destroy(&attributes);
    if (mCreationError != 0)
        return;
    // No processor affinity: threads run where the system puts them (the
    // monotonic clock reads the same on every processor).
    mStarted = true;
    ApplyPriority();
}

cThread::~cThread()
{
    mRequestedState.store(kStateStop);
    if (mStarted)
        pthread_join(mHandle, nullptr);
}

void* cThread::Entry(void* thread)
{
    static_cast<cThread*>(thread)->Run();
    return nullptr;
}

void cThread::Run()
{
    SetThreadName(mName.CStr());
    for (;;)
    {
        switch (mRequestedState.load())
        {
        case kStateRun:
            mReportedState.store(kStateRun);
            mCallback.Invoke(this);
            break;
        case kStatePause:
            mReportedState.store(kStatePause);
            IdleWhilePaused();
            break;
        default:
            mReportedState.store(kStateStop);
            return;
        }
    }
}

void cThread::ApplyPriority()
{
    if (mPriority < kPriorityTimeCritical)
        return;
    // A high real-time priority that still leaves the system's own threads
    // above it, then what the user's limit allows; where both are refused the
    // thread keeps normal priority. The new thread may already be idling when
    // it is raised: it must nap from the start, not yield, or it keeps its
    // creator off the processor they share until the kernel steps in.
    mRealTime.store(true);
    bool granted = TrySetFifoPriority(mHandle, std::min(kRealTimePriority, sched_get_priority_max(SCHED_FIFO)));
    rlimit limit{};
    if (!granted && getrlimit(RLIMIT_RTPRIO, &limit) == 0 && limit.rlim_cur > 0 &&
        limit.rlim_cur < static_cast<rlim_t>(kRealTimePriority))
        granted = TrySetFifoPriority(mHandle, static_cast<int>(limit.rlim_cur));
    mRealTime.store(granted);
}

void cThread::IdleWhilePaused()
{
    // A real-time thread that only yields would keep every normal thread off
    // its processor, so it naps briefly instead.
    if (mRealTime.load())
        Sleep(1);
    else
        sched_yield();
}

void SetThreadName(const char* name)
{
    if (name == nullptr || name[0] == 0)
        return;
    char shortName[kThreadNameBytes];
    strncpy(shortName, name, sizeof(shortName) - 1);
    shortName[sizeof(shortName) - 1] = 0;
    pthread_setname_np(pthread_self(), shortName);
}

void Sleep(uint32_t milliseconds)
{
    timespec remaining{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR)
    {
    }
}
