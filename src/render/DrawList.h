#pragma once

#include "base/Math.h"
#include "render/FontHandle.h"
#include "render/Polyline.h"
#include "render/VertexBatch.h"

#include <cstdarg>
#include <cstdint>
#include <memory>

class cMaterial;
class cRenderer;
class cTextBatch;
struct cAtlasSprite;
struct cPathStyle;
struct cVertexFormat;
struct cVertexXYZColourTex1;

// The one object the user interface draws its 2D geometry through each frame.
// Shapes gather in a batch that shares material, primitive and vertex layout
// and reach the renderer only when one of these changes, the batch is full, or
// something outside it (a clip, a matrix, a direct draw, the end of the frame)
// needs them on screen. Text gathers apart and is submitted after the shapes
// pending at its flush. Main thread only.
class cDrawList
{
public:
    static constexpr int kTextBufferSize = 16384;

    explicit cDrawList(cRenderer* renderer);
    ~cDrawList();
    cDrawList(const cDrawList&) = delete;
    cDrawList& operator=(const cDrawList&) = delete;

    // Batching.
    void SetBatchState(ePrimitive primitive, const cVertexFormat& layout);
    // Indexed room in the batch: the vertex room, null when it can never fit;
    // the base vertex and the index room are in ReservedBase / ReservedIndices.
    void* Reserve(uint32_t vertexCount, uint32_t indexCount);
    void* ReserveVertices(uint32_t vertexCount);
    uint32_t ReservedBase() const { return mReservedBase; }
    uint16_t* ReservedIndices() const { return mReservedIndices; }
    // Ready-made vertices and indices (relative to the first of them), drawn
    // as triangles in the current material.
    void AppendVertices(const cVertexXYZColourTex1* vertices, uint32_t vertexCount, const uint16_t* indices,
                        uint32_t indexCount);
    void FlushVertexBatch() { mBatch.Flush(); }
    void FlushText();
    // Both batches, shapes first.
    void FlushAll();

    // Shapes, in the current material.
    void DrawQuad(const cRect& rect, const cVector2& uv0, const cVector2& uv1, uint32_t colour, int orientation);
    void DrawGradientQuad(const cRect& rect, const cVector2& uv0, const cVector2& uv1, uint32_t topLeft,
                          uint32_t topRight, uint32_t bottomLeft, uint32_t bottomRight);
    // Corners as four x values then four y values: top-left, top-right,
    // bottom-left, bottom-right of the image.
    void DrawFreeQuad(const float corners[8], const cVector2& uv0, const cVector2& uv1, uint32_t colour);
    void DrawThreePatchH(const cRect& rect, const cAtlasSprite* sprite, const cAtlasSprite* inner, uint32_t colour);
    void DrawThreePatchV(const cRect& rect, const cAtlasSprite* sprite, const cAtlasSprite* inner, uint32_t colour);
    void DrawNinePatch(const cRect& rect, const cAtlasSprite* sprite, const cAtlasSprite* inner, uint32_t colour,
                       bool drawCentre);
    // Makes flat colour drawable; returns the material to put back afterwards.
    cMaterial* BeginSolidFill(cVector2& uv0, cVector2& uv1);
    void FillRect(const cRect& rect, uint32_t colour);

    // Strokes and paths. Thick strips mitre their joints or, for any other
    // join, bevel them.
    void DrawThickLineStrip(const cVector2* points, int count, ePolylineJoin join, const cAtlasSprite* sprite,
                            uint32_t colour, float widthScale);
    void DrawThickLineStripSolid(const cVector2* points, int count, ePolylineJoin join, const cAtlasSprite* sprite,
                                 uint32_t colour, float width);
    void DrawFilledCurve(const cVector2* points, int count, const cRect& rect, const cAtlasSprite* sprite,
                         uint32_t colour);
    void DrawFilledCurveClipped(const cVector2* points, int count, const cRect& rect, const cAtlasSprite* sprite,
                                uint32_t colour);
    void DrawPath(const cVector2* points, int count, const cPathStyle& style);
    void DrawStyledRect(const cPathStyle& style, uint32_t fillColour, cRect rect);

    // Text. A negative size draws with the current font handle as it is.
    void DrawTextSized(float x, float y, uint32_t colour, uint32_t alignment, const char* text, float size);
    void DrawTextF(float x, float y, float size, uint32_t colour, uint32_t alignment, const char* format, ...)
        __attribute__((format(printf, 7, 8)));
    void DrawTextV(float x, float y, float size, uint32_t colour, uint32_t alignment, const char* format,
                   va_list arguments);

    // Frame, clip, matrix and direct drawing.
    void Begin();
    void End();
    bool IsInFrame() const { return mInFrame; }
    bool PushClipRect(const cRect& rect);
    void PopClipRect();
    void PushMatrix(const cMatrix44& matrix);
    // Pushes the transform applied before the current view matrix; PopMatrix
    // undoes it.
    void PushTransform(const cMatrix44& transform);
    void PopMatrix();
    // Clips to a rect in drawing coordinates moved by the current view
    // translation, within bounds; PopClipRect undoes it.
    bool PushMovedClipRect(const cRect& rect, const cRect& bounds);
    void DrawDirect(ePrimitive primitive, const cVertexFormat& layout, const void* vertices, uint32_t vertexCount,
                    const uint16_t* indices = nullptr, uint32_t indexCount = 0);

    cRenderer* GetRenderer() const { return mRenderer; }
    cTextBatch& GetTextBatch() { return *mTextBatch; }
    const cVertexBatch& GetVertexBatch() const { return mBatch; }
    cMaterial* GetFillMaterial() const { return mFill; }
    cMaterial* GetUntexturedMaterial() const { return mUntextured; }
    cMaterial* GetUntexturedAlphaMaterial() const { return mUntexturedAlpha; }

    // Per-widget drawing state: the widget tree sets it and puts it back.
    cMaterial* currentMaterial = nullptr;
    cFontHandle fontHandle;
    float depth = 0.05f;

private:
    cVertexXYZColourTex1* ReserveQuads(uint32_t vertexCount, uint32_t indexCount);
    void WriteQuad(const float x[4], const float y[4], const cVector2 uv[4], const uint32_t colours[4]);
    void DrawPatch(const cRect& rect, const cAtlasSprite* sprite, const cAtlasSprite* inner, uint32_t colour,
                   int kind, bool drawCentre);
    void DrawFilledBand(const cVector2* points, int count, const cRect& rect, float u0, float v0, float u1,
                        float v1, uint32_t colour);

    cMaterial* mFill = nullptr;
    cMaterial* mUntextured = nullptr;
    cMaterial* mUntexturedAlpha = nullptr;
    std::unique_ptr<char[]> mTextBuffer;
    cRenderer* mRenderer;
    std::unique_ptr<cTextBatch> mTextBatch;
    bool mInFrame = false;
    cVertexBatch mBatch;
    uint16_t* mReservedIndices = nullptr;
    uint32_t mReservedBase = 0;
};

// Puts the draw list's material back on leaving a scope, when one was saved.
class cScopedMaterial
{
public:
    // Saves the current material and makes the given one current (a null
    // material changes and saves nothing).
    cScopedMaterial(cDrawList& list, cMaterial* material);
    ~cScopedMaterial();
    cScopedMaterial(const cScopedMaterial&) = delete;
    cScopedMaterial& operator=(const cScopedMaterial&) = delete;

private:
    cDrawList& mList;
    cMaterial* mSaved = nullptr;
    bool mHasSaved = false;
};

// Puts the draw list's depth back on leaving a scope.
class cScopedDrawListValue
{
public:
    explicit cScopedDrawListValue(cDrawList& list) : mList(list), mSaved(list.depth) {}
    ~cScopedDrawListValue() { mList.depth = mSaved; }
    cScopedDrawListValue(const cScopedDrawListValue&) = delete;
    cScopedDrawListValue& operator=(const cScopedDrawListValue&) = delete;

private:
    cDrawList& mList;
    float mSaved;
};

// Pushes a clip rectangle and pops it on leaving a scope (or at Restore).
class cScopedClipRect
{
public:
    cScopedClipRect(cDrawList& list, const cRect& rect);
    ~cScopedClipRect() { Restore(); }
    cScopedClipRect(const cScopedClipRect&) = delete;
    cScopedClipRect& operator=(const cScopedClipRect&) = delete;

    void Restore();

private:
    cDrawList& mList;
    bool mPushed;
};

// Puts the renderer's depth function back on leaving a scope, flushing the
// geometry drawn under the changed one first.
class cScopedDepthFunc
{
public:
    explicit cScopedDepthFunc(cDrawList& list);
    ~cScopedDepthFunc();
    // Flushes what was drawn under the function in force, then changes it.
    void Set(eDepthFunc func);
    cScopedDepthFunc(const cScopedDepthFunc&) = delete;
    cScopedDepthFunc& operator=(const cScopedDepthFunc&) = delete;

private:
    cDrawList& mList;
    eDepthFunc mSaved;
};
