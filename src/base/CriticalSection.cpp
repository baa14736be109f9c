#include "base/CriticalSection.h"

#include <cstdio>
#include <cstdlib>

cCriticalSection::cCriticalSection()
{
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    mInheritsPriority = pthread_mutexattr_setprotocol(&attributes, PTHREAD_PRIO_INHERIT) == 0;
    int error = pthread_mutex_init(&mMutex, &attributes);
    if (error != 0 && mInheritsPriority)
    {
        mInheritsPriority = false;
        pthread_mutexattr_setprotocol(&attributes, PTHREAD_PRIO_NONE);
        error = pthread_mutex_init(&mMutex, &attributes);
    }
    pthread_mutexattr_destroy(&attributes);
    if (error != 0)
    {
        // Running on without the lock would corrupt whatever it guards.
        std::fprintf(stderr, "Couldn't create a lock (error %d)\n", error);
        std::abort();
    }
    mLive = true;
}

cCriticalSection::~cCriticalSection()
{
    Destroy();
}

void cCriticalSection::Enter()
{
    pthread_mutex_lock(&mMutex);
}

bool cCriticalSection::TryEnter()
{
    return pthread_mutex_trylock(&mMutex) == 0;
}

void cCriticalSection::Leave()
{
    pthread_mutex_unlock(&mMutex);
}

void cCriticalSection::Destroy()
{
    if (!mLive)
        return;
    pthread_mutex_destroy(&mMutex);
    mLive = false;
}
