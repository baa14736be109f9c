#pragma once

#include <pthread.h>

#include <cstdint>

// An auto-reset event between two threads: Signal wakes a waiter, or the next
// wait when none waits yet. Its lock inherits priority, like every lock the
// real-time audio thread takes.
class cAutoResetEvent
{
public:
    cAutoResetEvent();
    ~cAutoResetEvent();
    cAutoResetEvent(const cAutoResetEvent&) = delete;
    cAutoResetEvent& operator=(const cAutoResetEvent&) = delete;

    void Signal();
    // Waits at most timeoutMs on the monotonic clock; false on time-out. The
    // event is reset either way.
    bool Wait(uint32_t timeoutMs);

private:
    pthread_mutex_t mMutex;
    pthread_cond_t mCondition;
    bool mSignalled = false;
};
