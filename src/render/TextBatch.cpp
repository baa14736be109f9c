#include "render/TextBatch.h"

#include "render/DrawList.h"
#include "render/Font.h"
#include "render/FontHandle.h"
#include "render/Material.h"
#include "render/Renderer.h"
#include "render/VertexLayouts.h"

#include <algorithm>
#include <cmath>

cTextBatch::cTextBatch(cDrawList* owner)
    : mOwner(owner),
      mIndices(new uint16_t[kGlyphCapacity * 6]),
      mVertices(new cVertexXYZColourTex1[kVertexCapacity])
{
    // Glyph corners are written top-left, top-right, bottom-left, bottom-right.
    for (uint32_t g = 0; g < kGlyphCapacity; ++g)
    {
        uint16_t* index = mIndices.get() + g * 6;
        const uint16_t first = uint16_t(g * 4);
        index[0] = first;
        index[1] = uint16_t(first + 3);
        index[2] = uint16_t(first + 1);
        index[3] = uint16_t(first + 3);
        index[4] = first;
        index[5] = uint16_t(first + 2);
    }
}

cTextBatch::~cTextBatch() = default;

void cTextBatch::SetMaterial(cMaterial* material)
{
    if (material == mMaterial)
        return;
    if (mVertexCount > 0)
        Flush();
    mMaterial = material;
}

void cTextBatch::AppendGlyphQuad(float x0, float y0, float x1, float y1, const float* uv, float depth,
                                 uint32_t colour)
{
    cVertexXYZColourTex1* v = mVertices.get() + mVertexCount;
    v[0] = {x0, y0, depth, colour, uv[0], uv[1]};
    v[1] = {x1, y0, depth, colour, uv[2], uv[1]};
    v[2] = {x0, y1, depth, colour, uv[0], uv[3]};
    v[3] = {x1, y1, depth, colour, uv[2], uv[3]};
    mVertexCount += 4;
    if (mVertexCount >= kVertexCapacity)
        Flush();
}

namespace
{
cTextObserver* sObserver = nullptr;

// Places each glyph of the text with its top-left at (x, y): the pen, line
// breaks and kerning as the font gives them.
template <class tPlace>
void LayOutGlyphs(float x, float y, const cFont& font, const cFontSize& size, const char* text, tPlace&& place)
{
    const float x0 = std::floor(x + 0.5f);
    float pen = x0;
    float line = std::floor(y + 0.5f);
    uint32_t previous = 0;
    int32_t length = 0;
    for (const char* at = text; *at != '\0'; at += length)
    {
        const uint32_t code = NextFontCode(at, &length);
        if (code == ' ')
        {
            pen += font.GetGlyph(size, ' ').advance;
            previous = 0;
            continue;
        }
        if (code == '\n')
        {
            pen = x0;
            line += size.size + 2.0f;
            previous = 0;
            continue;
        }
        // Bytes outside any character have codes from 2^32 - 128 up: they
        // never kern and are found through the code ranges.
        const float kerning = font.GetKerning(previous, code);
        const float k = std::floor(pen + kerning * size.size + 0.5f);
        const cFontGlyph& glyph = font.GetGlyph(size, code);
        place(k + glyph.xOffset, line + glyph.yOffset, glyph);
        pen = k + glyph.advance;
        previous = code;
    }
}
} // namespace

void cTextBatch::SetObserver(cTextObserver* observer) { sObserver = observer; }

cRect cTextBatch::ScreenBox(float x, float y, const cFontHandle& handle, const char* text) const
{
    cRect box = {1e9f, 1e9f, -1e9f, -1e9f};
    const cMatrix44& view = mOwner->GetRenderer()->viewStack.Top();
    LayOutGlyphs(x, y, *handle.font, *handle.sizeEntry, text, [&](float left, float top, const cFontGlyph& glyph) {
        for (const cVector2& corner : {cVector2{left, top}, cVector2{left + glyph.width, top + glyph.height}})
        {
            const cVector3 at = view.TransformPoint({corner.X, corner.Y, 0.0f});
            box.xMin = std::min(box.xMin, at.X);
            box.yMin = std::min(box.yMin, at.Y);
            box.xMax = std::max(box.xMax, at.X);
            box.yMax = std::max(box.yMax, at.Y);
        }
    });
    return box;
}

void cTextBatch::DrawText(float x, float y, float depth, const cFontHandle& handle, uint32_t colour,
                          const char* text)
{
    if (!text || !handle.IsValid())
        return;
    if (sObserver && !sObserver->OnText(ScreenBox(x, y, handle, text), colour, handle.sizeEntry->size, text))
        return;
    const cFont& font = *handle.font;
    SetMaterial(font.GetMaterial());
    LayOutGlyphs(x, y, font, *handle.sizeEntry, text, [&](float left, float top, const cFontGlyph& glyph) {
        const float uv[4] = {glyph.u0, glyph.v0, glyph.u1, glyph.v1};
        AppendGlyphQuad(left, top, left + glyph.width, top + glyph.height, uv, depth, colour);
    });
}

void cTextBatch::DrawTextAligned(float x, float y, float depth, const cFontHandle& handle, uint32_t colour,
                                 uint32_t alignment, const char* text)
{
    if (!text || *text == '\0' || !handle.IsValid())
        return;
    const uint32_t horizontal = alignment & 0x0f, vertical = alignment & 0xf0;
    if (horizontal == kTextAlignCentreX)
        x -= handle.GetTextWidth(text) * 0.5f;
    else if (horizontal == kTextAlignRight)
        x -= handle.GetTextWidth(text);
    const float size = handle.sizeEntry->size;
    if (vertical == kTextAlignBottom)
        y -= size;
    else if (vertical == kTextAlignCentreY)
        y -= size * 0.5f;
    DrawText(x, y, depth, handle, colour, text);
}

void cTextBatch::DrawTextInRect(const cRect& rect, const cFontHandle& handle, float depth, uint32_t colour,
                                uint32_t alignment, const char* text)
{
    if (!text || *text == '\0' || !handle.IsValid())
        return;
    const uint32_t horizontal = alignment & 0x0f, vertical = alignment & 0xf0, shorten = alignment & 0xf00;
    if (shorten != 0 && horizontal != kTextAlignOutsideLeft && horizontal != kTextAlignOutsideRight)
    {
        mScratch = text;
        const float width = rect.xMax - rect.xMin;
        if (shorten == kTextShortenStart)
            handle.TruncateStart(mScratch, width);
        else if (shorten == kTextShortenMiddle)
            handle.TruncateMiddle(mScratch, width);
        else if (shorten == kTextShortenEnd)
            handle.TruncateEnd(mScratch, width);
        text = mScratch.CStr();
    }

    float x = rect.xMin;
    switch (horizontal)
    {
    case kTextAlignCentreX: x = (rect.xMin + rect.xMax) * 0.5f - handle.GetTextWidth(text) * 0.5f; break;
    case kTextAlignRight: x = rect.xMax - handle.GetTextWidth(text); break;
    case kTextAlignOutsideLeft: x = rect.xMin - handle.GetTextWidth(text); break;
    case kTextAlignOutsideRight: x = rect.xMax; break;
    default: break;
    }
    const float size = handle.sizeEntry->size;
    float y = rect.yMin;
    switch (vertical)
    {
    case kTextAlignBottom: y = rect.yMax - size; break;
    case kTextAlignCentreY: y = (rect.yMin + rect.yMax) * 0.5f - size * 0.5f; break;
    case kTextAlignBelow: y = rect.yMax; break;
    case kTextAlignAbove: y = rect.yMin - size; break;
    default: break;
    }
    DrawText(x, y, depth, handle, colour, text);
}

void cTextBatch::Flush()
{
    if (mVertexCount == 0)
        return;
    cMaterial* previous = mOwner->currentMaterial;
    if (mMaterial)
        mOwner->currentMaterial = mMaterial;
    const uint32_t vertexCount = mVertexCount;
    mVertexCount = 0;
    mOwner->FlushVertexBatch();
    if (mOwner->currentMaterial)
        mOwner->currentMaterial->Apply();
    mOwner->GetRenderer()->DrawIndexed(kPrimitiveTriangles, cVertexXYZColourTex1::kFormat, mVertices.get(),
                                       vertexCount, mIndices.get(), vertexCount / 4 * 6);
    mOwner->currentMaterial = previous;
}
