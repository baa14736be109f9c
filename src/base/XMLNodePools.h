#pragma once

#include <cstdint>
#include <vector>

#include "base/XMLDocument.h"

namespace Base
{
// Hands out objects of one kind from blocks of 50 built at once, so that a
// pooled document allocates one block per 50 nodes. Objects are never given
// back; they all die with the pool.
template <class T>
class cXMLNodePool
{
public:
    static constexpr uint32_t kBlockSize = 50;

    cXMLNodePool(bool pooled, cXMLNodePools* owner) : mPooled(pooled), mOwner(owner)
    {
        mBlocks.reserve(1024);
        mBlocks.push_back(new cBlock);
    }
    cXMLNodePool(const cXMLNodePool&) = delete;
    cXMLNodePool& operator=(const cXMLNodePool&) = delete;
    ~cXMLNodePool()
    {
        for (cBlock* block : mBlocks)
            delete block;
    }

    T* Take()
    {
        cBlock* block = mBlocks[mCurrentBlock];
        if (block->handedOut == kBlockSize)
        {
            block = new cBlock;
            mBlocks.push_back(block);
            ++mCurrentBlock;
        }
        T* object = &block->objects[block->handedOut++];
        object->mPooled = mPooled;
        object->mPools = mOwner;
        return object;
    }

    uint32_t GetBlockCount() const { return uint32_t(mBlocks.size()); }
    uint32_t GetHandedOutInCurrentBlock() const { return mBlocks[mCurrentBlock]->handedOut; }

private:
    struct cBlock
    {
        T objects[kBlockSize];
        uint32_t handedOut = 0;
    };

    uint32_t mCurrentBlock = 0;
    std::vector<cBlock*> mBlocks;
    bool mPooled;
    cXMLNodePools* mOwner;
};

// The pools of one pooled document, one per kind.
class cXMLNodePools
{
public:
    explicit cXMLNodePools(bool pooled)
        : mElements(pooled, this), mComments(pooled, this), mUnknowns(pooled, this), mAttributes(pooled, this),
          mTexts(pooled, this), mDeclarations(pooled, this)
    {
    }

    cXMLNodePool<cXMLElement> mElements;
    cXMLNodePool<cXMLComment> mComments;
    cXMLNodePool<cXMLUnknown> mUnknowns;
    cXMLNodePool<cXMLAttribute> mAttributes;
    cXMLNodePool<cXMLText> mTexts;
    cXMLNodePool<cXMLDeclaration> mDeclarations;
};

} // namespace Base
