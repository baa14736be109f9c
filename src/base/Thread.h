#pragma once

#include "base/Delegate.h"
#include "base/GenString.h"

#include <pthread.h>

#include <atomic>
#include <cstdint>

// A named worker thread that calls its work callback over and over while its
// owner lets it run, idles while paused and ends when told to stop. The owner
// drives it by writing mRequestedState and may watch mReportedState, which the
// loop sets to the state it last acted on.
class cThread
{
public:
    enum : int32_t
    {
        kStateRun = 0,
        kStatePause = 1,
        kStateStop = 2,
    };
    enum : int32_t
    {
        kPriorityNormal = 0,
        kPriorityTimeCritical = 15,
    };
    // Smaller stacks than this are raised to it: the system refuses tiny ones
    // and library code on the thread needs the room.
    static constexpr int32_t kMinimumStackSize = 256 * 1024;

    // The callback is invoked with the thread as its one argument. The thread
    // starts at once; check HasStarted() for whether it could be created.
    cThread(const char* name, const cDelegate& callback, int32_t priority, int32_t initialState, int32_t stackSize);
    // Stops the thread and waits for its current callback to return.
    ~cThread();
    cThread(const cThread&) = delete;
    cThread& operator=(const cThread&) = delete;

    bool HasStarted() const { return mStarted; }
    // The system's error code when the thread could not be created, else 0.
    int GetCreationError() const { return mCreationError; }
    // Whether the system granted the real-time scheduling a time-critical
    // thread asks for; without it the thread runs at normal priority.
    bool IsRealTime() const { return mRealTime.load(); }
    const cGenString& GetName() const { return mName; }

    std::atomic<int32_t> mRequestedState;
    std::atomic<int32_t> mReportedState;

private:
    static void* Entry(void* thread);
    void Run();
    void ApplyPriority();
    void IdleWhilePaused();

    cGenString mName;
    cDelegate mCallback;
    int32_t mPriority;
    pthread_t mHandle{};
    bool mStarted = false;
    int mCreationError = 0;
    std::atomic<bool> mRealTime{false};
};

// Names the calling thread for debuggers and system tools; an empty name
// names nothing. The system keeps the first 15 bytes.
void SetThreadName(const char* name);

// Blocks the calling thread for at least the given time.
void Sleep(uint32_t milliseconds);
