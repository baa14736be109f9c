#include "base/AutoResetEvent.h"

#include <ctime>

cAutoResetEvent::cAutoResetEvent()
{
    pthread_mutexattr_t mutexAttributes;
    pthread_mutexattr_init(&mutexAttributes);
    // Where the system refuses inheritance, the default protocol serves.
    if (pthread_mutexattr_setprotocol(&mutexAttributes, PTHREAD_PRIO_INHERIT) != 0 ||
        pthread_mutex_init(&mMutex, &mutexAttributes) != 0)
        pthread_mutex_init(&mMutex, nullptr);
    pthread_mutexattr_destroy(&mutexAttributes);

    pthread_condattr_t conditionAttributes;
    pthread_condattr_init(&conditionAttributes);
    // A wall-clock change must not stretch or cut a timed wait.
    pthread_condattr_setclock(&conditionAttributes, CLOCK_MONOTONIC);
    pthread_cond_init(&mCondition, &conditionAttributes);
    pthread_condattr_destroy(&conditionAttributes);
}

cAutoResetEvent::~cAutoResetEvent()
{
    pthread_cond_destroy(&mCondition);
    pthread_mutex_destroy(&mMutex);
}

void cAutoResetEvent::Signal()
{
    pthread_mutex_lock(&mMutex);
    mSignalled = true;
    pthread_mutex_unlock(&mMutex);
    pthread_cond_signal(&mCondition);
}

bool cAutoResetEvent::Wait(uint32_t timeoutMs)
{
    timespec until;
    clock_gettime(CLOCK_MONOTONIC, &until);
    until.tv_sec += time_t(timeoutMs / 1000);
    until.tv_nsec += long(timeoutMs % 1000) * 1000000L;
    if (until.tv_nsec >= 1000000000L)
    {
        ++until.tv_sec;
        until.tv_nsec -= 1000000000L;
    }
    pthread_mutex_lock(&mMutex);
    int result = 0;
    while (!mSignalled && result == 0)
        result = pthread_cond_timedwait(&mCondition, &mMutex, &until);
    const bool signalled = mSignalled;
    mSignalled = false;
    pthread_mutex_unlock(&mMutex);
    return signalled;
}
