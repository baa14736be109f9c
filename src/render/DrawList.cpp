#include "render/DrawList.h"

#include "render/AtlasSprite.h"
#include "render/Material.h"
#include "render/Renderer.h"
#include "render/TextBatch.h"
#include "render/Texture.h"
#include "render/VertexLayouts.h"

#include <cstdio>
#include <cstring>

namespace
{
cMaterial* FindMaterial(const char* name)
{
    return gMaterialRegistry ? gMaterialRegistry->Find(name) : nullptr;
}

// Margins and texture coordinates of the four edges of a patch along one axis.
struct cPatchAxis
{
    float position[4];
    float texture[4];
};

struct cPatchGrid
{
    cPatchAxis x, y;
};

cPatchGrid MakePatchGrid(const cRect& rect, const cAtlasSprite& s, const cAtlasSprite* inner)
{
    float left, top, right, bottom, innerU0, innerV0, innerU1, innerV1;
    if (inner)
    {
        left = inner->x0 - s.x0;
        top = inner->y0 - s.y0;
        right = (s.x0 + s.width) - (inner->x0 + inner->width);
        bottom = (s.y0 + s.height) - (inner->y0 + inner->height);
        innerU0 = inner->u0;
        innerV0 = inner->v0;
        innerU1 = inner->u1;
        innerV1 = inner->v1;
    }
    else
    {
        // Only the middle texel row and column stretch.
        left = right = s.width * 0.5f;
        top = bottom = s.height * 0.5f;
        innerU0 = innerU1 = (s.u0 + s.u1) * 0.5f;
        innerV0 = innerV1 = (s.v0 + s.v1) * 0.5f;
    }
    return {{{rect.xMin, rect.xMin + left, rect.xMax - right, rect.xMax}, {s.u0, innerU0, innerU1, s.u1}},
            {{rect.yMin, rect.yMin + top, rect.yMax - bottom, rect.yMax}, {s.v0, innerV0, innerV1, s.v1}}};
}

constexpr uint16_t kThreePatchIndices[18] = {0, 1, 2, 2, 1, 3, 2, 3, 4, 4, 3, 5, 4, 5, 6, 6, 5, 7};

enum ePatchKind
{
    kPatchHorizontal,
    kPatchVertical,
    kPatchNine,
};
} // namespace

cDrawList::cDrawList(cRenderer* renderer)
    : mFill(FindMaterial("Fill")),
      mUntextured(FindMaterial("Untextured")),
      mUntexturedAlpha(FindMaterial("UntexturedAlpha")),
      mTextBuffer(new char[kTextBufferSize]),
      mRenderer(renderer),
      mTextBatch(new cTextBatch(this)),
      mBatch(renderer)
{
    mTextBuffer[0] = '\0';
    fontHandle.Select(10);
}

cDrawList::~cDrawList() = default;

void cDrawList::SetBatchState(ePrimitive primitive, const cVertexFormat& layout)
{
    mBatch.SetState(primitive, &layout, currentMaterial);
}

void* cDrawList::Reserve(uint32_t vertexCount, uint32_t indexCount)
{
    return mBatch.Reserve(vertexCount, indexCount, mReservedBase, mReservedIndices);
}

void* cDrawList::ReserveVertices(uint32_t vertexCount)
{
    return mBatch.ReserveVertices(vertexCount);
}

void cDrawList::AppendVertices(const cVertexXYZColourTex1* vertices, uint32_t vertexCount, const uint16_t* indices,
                               uint32_t indexCount)
{
    SetBatchState(kPrimitiveTriangles, cVertexXYZColourTex1::kFormat);
    void* room = Reserve(vertexCount, indexCount);
    if (!room)
        return;
    std::memcpy(room, vertices, size_t(vertexCount) * sizeof(cVertexXYZColourTex1));
    for (uint32_t i = 0; i < indexCount; ++i)
        mReservedIndices[i] = uint16_t(mReservedBase + indices[i]);
}

void cDrawList::FlushText()
{
    mTextBatch->Flush();
}

void cDrawList::FlushAll()
{
    mBatch.Flush();
    mTextBatch->Flush();
}

cVertexXYZColourTex1* cDrawList::ReserveQuads(uint32_t vertexCount, uint32_t indexCount)
{
    SetBatchState(kPrimitiveTriangles, cVertexXYZColourTex1::kFormat);
    return static_cast<cVertexXYZColourTex1*>(Reserve(vertexCount, indexCount));
}

// Corners in the order top-left, top-right, bottom-left, bottom-right.
void cDrawList::WriteQuad(const float x[4], const float y[4], const cVector2 uv[4], const uint32_t colours[4])
{
    cVertexXYZColourTex1* v = ReserveQuads(4, 6);
    if (!v)
        return;
    for (int i = 0; i < 4; ++i)
        v[i] = {x[i], y[i], depth, colours[i], uv[i].X, uv[i].Y};
    static constexpr uint16_t kQuadIndices[6] = {0, 1, 2, 3, 1, 2};
    for (int i = 0; i < 6; ++i)
        mReservedIndices[i] = uint16_t(mReservedBase + kQuadIndices[i]);
}

void cDrawList::DrawQuad(const cRect& rect, const cVector2& uv0, const cVector2& uv1, uint32_t colour,
                         int orientation)
{
    const float x[4] = {rect.xMin, rect.xMax, rect.xMin, rect.xMax};
    const float y[4] = {rect.yMin, rect.yMin, rect.yMax, rect.yMax};
    const uint32_t colours[4] = {colour, colour, colour, colour};
    if (orientation == 0)
    {
        const cVector2 uv[4] = {{uv0.X, uv0.Y}, {uv1.X, uv0.Y}, {uv0.X, uv1.Y}, {uv1.X, uv1.Y}};
        WriteQuad(x, y, uv, colours);
    }
    else if (orientation == -1)
    {
        const cVector2 uv[4] = {{uv1.X, uv0.Y}, {uv1.X, uv1.Y}, {uv0.X, uv0.Y}, {uv0.X, uv1.Y}};
        WriteQuad(x, y, uv, colours);
    }
    else
    {
        const cVector2 uv[4] = {{uv0.X, uv1.Y}, {uv0.X, uv0.Y}, {uv1.X, uv1.Y}, {uv1.X, uv0.Y}};
        WriteQuad(x, y, uv, colours);
    }
}

void cDrawList::DrawGradientQuad(const cRect& rect, const cVector2& uv0, const cVector2& uv1, uint32_t topLeft,
                                 uint32_t topRight, uint32_t bottomLeft, uint32_t bottomRight)
{
    const float x[4] = {rect.xMin, rect.xMax, rect.xMin, rect.xMax};
    const float y[4] = {rect.yMin, rect.yMin, rect.yMax, rect.yMax};
    const cVector2 uv[4] = {{uv0.X, uv0.Y}, {uv1.X, uv0.Y}, {uv0.X, uv1.Y}, {uv1.X, uv1.Y}};
    const uint32_t colours[4] = {topLeft, topRight, bottomLeft, bottomRight};
    WriteQuad(x, y, uv, colours);
}

void cDrawList::DrawFreeQuad(const float corners[8], const cVector2& uv0, const cVector2& uv1, uint32_t colour)
{
    const cVector2 uv[4] = {{uv0.X, uv0.Y}, {uv1.X, uv0.Y}, {uv0.X, uv1.Y}, {uv1.X, uv1.Y}};
    const uint32_t colours[4] = {colour, colour, colour, colour};
    WriteQuad(corners, corners + 4, uv, colours);
}

cMaterial* cDrawList::BeginSolidFill(cVector2& uv0, cVector2& uv1)
{
    cMaterial* previous = currentMaterial;
    const cTexture* texture = currentMaterial ? currentMaterial->GetTexture() : nullptr;
    const cAtlasSprite* solid = texture ? texture->GetSolidFillSprite() : nullptr;
    if (!solid)
    {
        if (currentMaterial != mFill && currentMaterial != mUntexturedAlpha)
            currentMaterial = mFill;
        const cTexture* fill = mFill ? mFill->GetTexture() : nullptr;
        solid = fill ? fill->GetSolidFillSprite() : nullptr;
    }
    if (solid)
    {
        uv0 = {solid->u0, solid->v0};
        uv1 = {solid->u1, solid->v1};
    }
    else
    {
        uv0 = uv1 = {0.0f, 0.0f};
    }
    return previous;
}

void cDrawList::FillRect(const cRect& rect, uint32_t colour)
{
    cVector2 uv0, uv1;
    cMaterial* previous = BeginSolidFill(uv0, uv1);
    DrawQuad(rect, uv0, uv1, colour, 0);
    currentMaterial = previous;
}

void cDrawList::DrawPatch(const cRect& rect, const cAtlasSprite* sprite, const cAtlasSprite* inner, uint32_t colour,
                          int kind, bool drawCentre)
{
    if (!sprite)
    {
        FillRect(rect, colour);
        return;
    }
    const cPatchGrid grid = MakePatchGrid(rect, *sprite, inner);
    if (kind == kPatchNine)
    {
        cVertexXYZColourTex1* v = ReserveQuads(16, drawCentre ? 54 : 48);
        if (!v)
            return;
        // The two left columns row by row, then the two right columns.
        for (int half = 0; half < 2; ++half)
            for (int r = 0; r < 4; ++r)
                for (int c = 0; c < 2; ++c)
                {
                    const int column = half * 2 + c;
                    v[half * 8 + 2 * r + c] = {grid.x.position[column], grid.y.position[r], depth, colour,
                                               grid.x.texture[column], grid.y.texture[r]};
                }
        uint16_t* out = mReservedIndices;
        const uint16_t base = uint16_t(mReservedBase);
        auto triangle = [&](int a, int b, int c) {
            *out++ = uint16_t(base + a);
            *out++ = uint16_t(base + b);
            *out++ = uint16_t(base + c);
        };
        for (int r = 0; r < 3; ++r)
        {
            triangle(2 * r, 2 * r + 1, 2 * r + 2);
            triangle(2 * r + 2, 2 * r + 1, 2 * r + 3);
        }
        for (int r = 0; r < 3; ++r)
        {
            if (r == 1 && !drawCentre)
                continue;
            triangle(2 * r + 1, 8 + 2 * r, 2 * r + 3);
            triangle(2 * r + 3, 8 + 2 * r, 10 + 2 * r);
        }
        for (int r = 0; r < 3; ++r)
        {
            triangle(8 + 2 * r, 9 + 2 * r, 10 + 2 * r);
            triangle(10 + 2 * r, 9 + 2 * r, 11 + 2 * r);
        }
        return;
    }

    cVertexXYZColourTex1* v = ReserveQuads(8, 18);
    if (!v)
        return;
    for (int edge = 0; edge < 4; ++edge)
        for (int side = 0; side < 2; ++side)
        {
            if (kind == kPatchHorizontal)
                v[2 * edge + side] = {grid.x.position[edge], side ? rect.yMax : rect.yMin, depth, colour,
                                      grid.x.texture[edge], side ? sprite->v1 : sprite->v0};
            else
                v[2 * edge + side] = {side ? rect.xMax : rect.xMin, grid.y.position[edge], depth, colour,
                                      side ? sprite->u1 : sprite->u0, grid.y.texture[edge]};
        }
    for (int i = 0; i < 18; ++i)
        mReservedIndices[i] = uint16_t(mReservedBase + kThreePatchIndices[i]);
}

void cDrawList::DrawThreePatchH(const cRect& rect, const cAtlasSprite* sprite, const cAtlasSprite* inner,
                                uint32_t colour)
{
    DrawPatch(rect, sprite, inner, colour, kPatchHorizontal, true);
}

void cDrawList::DrawThreePatchV(const cRect& rect, const cAtlasSprite* sprite, const cAtlasSprite* inner,
                                uint32_t colour)
{
    DrawPatch(rect, sprite, inner, colour, kPatchVertical, true);
}

void cDrawList::DrawNinePatch(const cRect& rect, const cAtlasSprite* sprite, const cAtlasSprite* inner,
                              uint32_t colour, bool drawCentre)
{
    DrawPatch(rect, sprite, inner, colour, kPatchNine, drawCentre);
}

void cDrawList::DrawTextSized(float x, float y, uint32_t colour, uint32_t alignment, const char* text, float size)
{
    const cFontHandle handle = size < 0.0f ? fontHandle : cFontHandle::CopyWithSize(fontHandle, size);
    mTextBatch->DrawTextAligned(x, y, depth, handle, colour, alignment, text);
}

void cDrawList::DrawTextF(float x, float y, float size, uint32_t colour, uint32_t alignment, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    DrawTextV(x, y, size, colour, alignment, format, arguments);
    va_end(arguments);
}

void cDrawList::DrawTextV(float x, float y, float size, uint32_t colour, uint32_t alignment, const char* format,
                          va_list arguments)
{
    if (!format)
        return;
    // A text longer than the buffer is cut, never written past it.
    std::vsnprintf(mTextBuffer.get(), kTextBufferSize - 1, format, arguments);
    if (mTextBuffer[0] == '\0')
        return;
    const cFontHandle handle = cFontHandle::CopyWithSize(fontHandle, size);
    mTextBatch->DrawTextAligned(x, y, depth, handle, colour, alignment, mTextBuffer.get());
}

void cDrawList::Begin()
{
    mRenderer->Push2DProjection(-1.0f, -1.0f);
    mInFrame = true;
}

void cDrawList::End()
{
    FlushAll();
    // Only what Begin pushed is popped: the stacks' base entries stay.
    if (!mInFrame)
        return;
    mRenderer->PopViewMatrix();
    mRenderer->PopModelMatrix();
    mRenderer->PopProjectionMatrix();
    mInFrame = false;
}

bool cDrawList::PushClipRect(const cRect& rect)
{
    FlushAll();
    return mRenderer->PushProjectedClipRect(rect);
}

void cDrawList::PopClipRect()
{
    FlushAll();
    mRenderer->PopClipRect();
}

void cDrawList::PushMatrix(const cMatrix44& matrix)
{
    FlushAll();
    mRenderer->PushViewMatrix(matrix);
}

void cDrawList::PushTransform(const cMatrix44& transform)
{
    cMatrix44 combined;
    cMatrix44::Multiply(combined, transform, mRenderer->viewStack.Top());
    PushMatrix(combined);
}

bool cDrawList::PushMovedClipRect(const cRect& rect, const cRect& bounds)
{
    FlushAll();
    return mRenderer->PushClipRect(rect, bounds);
}

void cDrawList::PopMatrix()
{
    FlushAll();
    mRenderer->PopViewMatrix();
}

void cDrawList::DrawDirect(ePrimitive primitive, const cVertexFormat& layout, const void* vertices,
                           uint32_t vertexCount, const uint16_t* indices, uint32_t indexCount)
{
    FlushAll();
    if (currentMaterial)
        currentMaterial->Apply();
    if (indices)
        mRenderer->DrawIndexed(primitive, layout, vertices, vertexCount, indices, indexCount);
    else
        mRenderer->DrawArrays(primitive, layout, vertices, vertexCount);
}

cScopedMaterial::cScopedMaterial(cDrawList& list, cMaterial* material) : mList(list)
{
    if (!material)
        return;
    mSaved = list.currentMaterial;
    mHasSaved = true;
    list.currentMaterial = material;
}

cScopedMaterial::~cScopedMaterial()
{
    if (mHasSaved)
        mList.currentMaterial = mSaved;
}

cScopedClipRect::cScopedClipRect(cDrawList& list, const cRect& rect) : mList(list), mPushed(true)
{
    // A refused push still needs its pop: the renderer absorbs it.
    list.PushClipRect(rect);
}

void cScopedClipRect::Restore()
{
    if (!mPushed)
        return;
    mPushed = false;
    mList.PopClipRect();
}

cScopedDepthFunc::cScopedDepthFunc(cDrawList& list) : mList(list), mSaved(list.GetRenderer()->depthFunc) {}

void cScopedDepthFunc::Set(eDepthFunc func)
{
    cRenderer& renderer = *mList.GetRenderer();
    if (renderer.depthFunc == func)
        return;
    mList.FlushAll();
    renderer.SetDepthFunc(func);
}

cScopedDepthFunc::~cScopedDepthFunc()
{
    cRenderer& renderer = *mList.GetRenderer();
    if (renderer.depthFunc == mSaved)
        return;
    mList.FlushAll();
    if (renderer.depthFunc != mSaved)
        renderer.SetDepthFunc(mSaved);
}
