#pragma once

#include <pthread.h>

// A lock embedded in the object whose data it guards. Re-entrant: the thread
// that holds it may enter it again (callers nest their scoped locks). It
// inherits priority: a thread that holds it while the real-time audio thread
// waits runs at the audio thread's priority until it leaves, so no thread of
// middle priority can hold the audio up.
class cCriticalSection
{
public:
    cCriticalSection();
    ~cCriticalSection();
    cCriticalSection(const cCriticalSection&) = delete;
    cCriticalSection& operator=(const cCriticalSection&) = delete;

    void Enter();
    // Enters only when no other thread holds the lock; true when entered.
    bool TryEnter();
    void Leave();

    // Releases the lock's resources early (an owner's failed construction);
    // later calls and the destructor do nothing more.
    void Destroy();

    // False where the system refused priority inheritance (the lock then
    // works without it).
    bool InheritsPriority() const { return mInheritsPriority; }

private:
    pthread_mutex_t mMutex;
    bool mLive = false;
    bool mInheritsPriority = false;
};

// Holds a critical section for a scope, released also when an exception
// leaves it.
class cScopedLock
{
public:
    explicit cScopedLock(cCriticalSection* section) : mSection(section) { mSection->Enter(); }
    ~cScopedLock() { mSection->Leave(); }
    cScopedLock(const cScopedLock&) = delete;
    cScopedLock& operator=(const cScopedLock&) = delete;

private:
    cCriticalSection* mSection;
};

// The same for a lock that may not exist yet (or any more): with none, the
// code runs alone on its thread and needs none.
class cScopedLockIfAny
{
public:
    explicit cScopedLockIfAny(cCriticalSection* section) : mSection(section)
    {
        if (mSection)
            mSection->Enter();
    }
    ~cScopedLockIfAny()
    {
        if (mSection)
            mSection->Leave();
    }
    cScopedLockIfAny(const cScopedLockIfAny&) = delete;
    cScopedLockIfAny& operator=(const cScopedLockIfAny&) = delete;

private:
    cCriticalSection* mSection;
};
