#include "render/VertexBatch.h"

#include "render/Material.h"
#include "render/Renderer.h"

cVertexBatch::cVertexBatch(cRenderer* renderer)
    : mRenderer(renderer), mVertices(new uint8_t[kVertexBytes]), mIndices(new uint16_t[kIndexCapacity])
{
}

cVertexBatch::~cVertexBatch() = default;

void cVertexBatch::SetState(ePrimitive primitive, const cVertexFormat* layout, const cMaterial* material)
{
    if (primitive == mPrimitive && layout == mLayout && material == mMaterial)
        return;
    Flush();
    mPrimitive = primitive;
    mLayout = layout;
    mMaterial = material;
}

void cVertexBatch::SetIndexed(bool indexed)
{
    if (mIndexed == indexed)
        return;
    Flush();
    mIndexed = indexed;
}

bool cVertexBatch::Fits(uint32_t vertexCount, uint32_t indexCount) const
{
    const uint64_t bytes = uint64_t(mVertexCount + uint64_t(vertexCount)) * mLayout->stride;
    return bytes <= kVertexBytes && uint64_t(mIndexCount) + indexCount <= kIndexCapacity;
}

void* cVertexBatch::Reserve(uint32_t vertexCount, uint32_t indexCount, uint32_t& baseVertex, uint16_t*& indices)
{
    if (!mLayout || mLayout->stride == 0)
        return nullptr;
    SetIndexed(true);
    if (!Fits(vertexCount, indexCount))
    {
        Flush();
        if (!Fits(vertexCount, indexCount))
            return nullptr;
    }
    baseVertex = mVertexCount;
    indices = mIndices.get() + mIndexCount;
    void* vertices = mVertices.get() + size_t(mVertexCount) * mLayout->stride;
    mVertexCount += vertexCount;
    mIndexCount += indexCount;
    return vertices;
}

void* cVertexBatch::ReserveVertices(uint32_t vertexCount)
{
    if (!mLayout || mLayout->stride == 0)
        return nullptr;
    SetIndexed(false);
    if (!Fits(vertexCount, 0))
    {
        Flush();
        if (!Fits(vertexCount, 0))
            return nullptr;
    }
    void* vertices = mVertices.get() + size_t(mVertexCount) * mLayout->stride;
    mVertexCount += vertexCount;
    return vertices;
}

void cVertexBatch::Flush()
{
    if (mVertexCount == 0)
        return;
    if (mMaterial)
        mMaterial->Apply();
    if (!mIndexed)
        mRenderer->DrawArrays(mPrimitive, *mLayout, mVertices.get(), mVertexCount);
    else if (mIndexCount > 0)
        mRenderer->DrawIndexed(mPrimitive, *mLayout, mVertices.get(), mVertexCount, mIndices.get(), mIndexCount);
    mVertexCount = 0;
    mIndexCount = 0;
}
