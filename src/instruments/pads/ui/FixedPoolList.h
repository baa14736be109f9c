#pragma once

#include <cstdint>
#include <memory>

// A list whose nodes all come from one block allocated at construction: a
// node is taken from the free chain to the front of the active chain and
// released back again, so nothing is allocated while the list is in use.
// Walks go from the newest node to the oldest. A released node's value
// starts afresh. Single-threaded.
template <class T>
class cFixedPoolList
{
public:
    struct cNode
    {
        cNode* previous = nullptr;
        cNode* next = nullptr;
        T value;
    };

    explicit cFixedPoolList(int32_t capacity) : mCapacity(capacity), mBlock(new cNode[size_t(capacity)])
    {
        for (int32_t i = 0; i < capacity; ++i)
            PushFront(mFree, &mBlock[size_t(i)]);
    }
    cFixedPoolList(const cFixedPoolList&) = delete;
    cFixedPoolList& operator=(const cFixedPoolList&) = delete;

    // Null when every node is in use.
    cNode* Take()
    {
        cNode* node = mFree.first;
        if (!node)
            return nullptr;
        Unlink(mFree, node);
        PushFront(mActive, node);
        return node;
    }

    void Release(cNode* node)
    {
        Unlink(mActive, node);
        node->value = T();
        PushFront(mFree, node);
    }

    // The newest node in use; follow next to older ones.
    cNode* First() const { return mActive.first; }
    int32_t GetActiveCount() const { return mActive.count; }
    int32_t GetCapacity() const { return mCapacity; }

private:
    struct cChain
    {
        int32_t count = 0;
        cNode* first = nullptr;
        cNode* last = nullptr;
    };

    static void PushFront(cChain& chain, cNode* node)
    {
        node->previous = nullptr;
        node->next = chain.first;
        if (chain.first)
            chain.first->previous = node;
        else
            chain.last = node;
        chain.first = node;
        ++chain.count;
    }

    static void Unlink(cChain& chain, cNode* node)
    {
        (node->previous ? node->previous->next : chain.first) = node->next;
        (node->next ? node->next->previous : chain.last) = node->previous;
        node->previous = node->next = nullptr;
        --chain.count;
    }

    cChain mActive;
    cChain mFree;
    int32_t mCapacity;
    std::unique_ptr<cNode[]> mBlock;
};
