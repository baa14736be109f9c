#include "audio/AudioBufferPool.h"

namespace
{
// Room for four float channels per frame.
constexpr uint32_t kBytesPerPoolFrame = 16;
} // namespace

void cAudioBufferPool::cList::PushFront(cNode* node)
{
    node->previous = nullptr;
    node->next = head;
    if (head)
        head->previous = node;
    else
        tail = node;
    head = node;
    ++count;
}

void cAudioBufferPool::cList::Remove(cNode* node)
{
    if (node->previous)
        node->previous->next = node->next;
    else
        head = node->next;
    if (node->next)
        node->next->previous = node->previous;
    else
        tail = node->previous;
    node->previous = node->next = nullptr;
    --count;
}

cAudioBufferPool::cAudioBufferPool(uint32_t count, uint32_t frames)
    : mBufferBytes(frames * kBytesPerPoolFrame)
    , mNodeCount(count)
    , mNodes(new cNode[count])
    , mMemory(new float[size_t(count) * mBufferBytes / sizeof(float)]())
{
    // Pushing in reverse leaves node 0 at the head of the free list.
    for (uint32_t i = count; i-- > 0;)
    {
        mNodes[i].buffer.data = reinterpret_cast<uint8_t*>(mMemory.get()) + size_t(i) * mBufferBytes;
        mFree.PushFront(&mNodes[i]);
    }
}

cAudioBufferPool::~cAudioBufferPool() = default;

cAudioBufferPool::cHandle cAudioBufferPool::Acquire(uint32_t format, uint32_t frames, uint32_t channels)
{
    cHandle handle;
    cNode* node = mFree.head;
    const uint64_t bytes = uint64_t(frames) * channels * GetBytesPerSample(format);
    if (!node || bytes > mBufferBytes)
        return handle;
    mFree.Remove(node);
    mUsed.PushFront(node);
    node->inUse = true;
    node->buffer.Describe(format, frames, channels, node->buffer.data);
    handle.node = node;
    handle.next = node->next;
    handle.previous = node->previous;
    return handle;
}

void cAudioBufferPool::Release(const cHandle& handle)
{
    cNode* node = handle.node;
    // A second release of the same buffer would corrupt both lists.
    if (!node || !node->inUse)
        return;
    node->inUse = false;
    mUsed.Remove(node);
    mFree.PushFront(node);
}
