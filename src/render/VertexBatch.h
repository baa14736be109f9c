#pragma once

#include "render/RenderStates.h"

#include <cstdint>
#include <memory>

class cMaterial;
class cRenderer;
struct cVertexFormat;

// Geometry that shares one material, primitive and vertex layout, gathered
// until something needs it on screen. Storage is allocated once and reused.
class cVertexBatch
{
public:
    static constexpr uint32_t kVertexBytes = 65536;
    static constexpr uint32_t kIndexCapacity = 8192;

    explicit cVertexBatch(cRenderer* renderer);
    ~cVertexBatch();
    cVertexBatch(const cVertexBatch&) = delete;
    cVertexBatch& operator=(const cVertexBatch&) = delete;

    // Flushes when any of the three differs from the batch's, then adopts them.
    void SetState(ePrimitive primitive, const cVertexFormat* layout, const cMaterial* material);

    // Room for indexed geometry at the end of the pending data: the vertex room,
    // with the base vertex number and the index room as outputs. Null when the
    // request can never fit; the batch is then flushed and empty.
    void* Reserve(uint32_t vertexCount, uint32_t indexCount, uint32_t& baseVertex, uint16_t*& indices);
    // The same for non-indexed geometry.
    void* ReserveVertices(uint32_t vertexCount);

    void Flush();

    ePrimitive GetPrimitive() const { return mPrimitive; }
    const cVertexFormat* GetLayout() const { return mLayout; }
    const cMaterial* GetMaterial() const { return mMaterial; }
    uint32_t GetVertexCount() const { return mVertexCount; }
    uint32_t GetIndexCount() const { return mIndexCount; }
    bool IsIndexed() const { return mIndexed; }

private:
    void SetIndexed(bool indexed);
    bool Fits(uint32_t vertexCount, uint32_t indexCount) const;

    cRenderer* mRenderer;
    std::unique_ptr<uint8_t[]> mVertices;
    std::unique_ptr<uint16_t[]> mIndices;
    bool mIndexed = false;
    ePrimitive mPrimitive = kPrimitiveNone;
    const cVertexFormat* mLayout = nullptr;
    const cMaterial* mMaterial = nullptr;
    uint32_t mVertexCount = 0;
    uint32_t mIndexCount = 0;
};
