#pragma once

#include "base/Delegate.h"

#include <atomic>
#include <cstdint>

// Small notices from engine code (possibly on the audio thread) to the main
// UI: a lock-free ring of 32 messages for one producer and one consumer. The
// producer never waits; when the ring is full the new message is dropped.
class cMessageQueue
{
public:
    enum : int32_t
    {
        kTypePresetChanged = 0,
        kTypeMIDIChannel = 1,
        kTypeStepTrack = 2,
        kTypeSelectInstrument = 3,
        kTypeShowSequencer = 4,
        kTypeShowSetup = 5,
        kTypeNone = 6, // no handler acts on it
    };

    struct cMessage
    {
        void* sender = nullptr;
        int32_t type = kTypeNone;
        int32_t value = 0;
    };

    static constexpr int32_t kCapacity = 32;

    // Becomes the global message queue.
    cMessageQueue();
    ~cMessageQueue();
    cMessageQueue(const cMessageQueue&) = delete;
    cMessageQueue& operator=(const cMessageQueue&) = delete;

    // Producer side: false when the ring is full and the message is lost.
    bool Push(const cMessage& message);
    // Consumer side: hands every pending message, oldest first, to the
    // callback (invoked with a pointer to the message) and frees its slot.
    // An empty callback still empties the ring.
    void Dispatch(const cDelegate& callback);

    // Consumer side, one message at a time: the oldest pending message or
    // null, and freeing its slot.
    const cMessage* Peek() const;
    void Advance();
    // Empties the ring; only while neither side is using it.
    void Reset();

private:
    void AllocateStorage();

    static constexpr int32_t kMask = kCapacity - 1;

    std::atomic<int32_t> mReadIndex{0};
    std::atomic<int32_t> mWriteIndex{0};
    cMessage* mEntries = nullptr;
};

extern cMessageQueue* gMessageQueue;
