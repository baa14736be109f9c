#pragma once
#include <cstdint>
#include <memory>

#include "audio/AudioBuffer.h"

// Float scratch buffers for modules on the audio thread, carved from one block
// at start-up so rendering never allocates. Buffers are taken and returned
// within one block; the pool takes no lock (the audio manager's lock covers it).
class cAudioBufferPool
{
public:
    struct cNode
    {
        cNode* previous = nullptr;
        cNode* next = nullptr;
        cAudioBuffer buffer;
        bool inUse = false;
    };

    // Only node matters to the caller; its descriptor gives the buffer.
    struct cHandle
    {
        cNode* node = nullptr;
        cNode* next = nullptr;
        cNode* previous = nullptr;
    };

    cAudioBufferPool(uint32_t count, uint32_t frames);
    ~cAudioBufferPool();
    cAudioBufferPool(const cAudioBufferPool&) = delete;
    cAudioBufferPool& operator=(const cAudioBufferPool&) = delete;

    // An empty handle when every buffer is taken or the request does not fit one.
    cHandle Acquire(uint32_t format, uint32_t frames, uint32_t channels);
    void Release(const cHandle& handle);

    uint32_t GetBufferBytes() const { return mBufferBytes; }
    uint32_t GetFreeCount() const { return mFree.count; }
    uint32_t GetUsedCount() const { return mUsed.count; }

private:
    struct cList
    {
        uint32_t count = 0;
        cNode* head = nullptr;
        cNode* tail = nullptr;

        void PushFront(cNode* node);
        void Remove(cNode* node);
    };

    uint32_t mBufferBytes;
    cList mUsed;
    cList mFree;
    uint32_t mNodeCount;
    std::unique_ptr<cNode[]> mNodes;
    std::unique_ptr<float[]> mMemory;
};
