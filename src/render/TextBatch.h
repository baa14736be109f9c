#pragma once

#include "base/GenString.h"
#include "base/Math.h"

#include <cstdint>
#include <memory>

class cDrawList;
class cFontHandle;
class cMaterial;
struct cVertexXYZColourTex1;

// Alignment codes of text: horizontal in 0x0F, vertical in 0xF0, shortening
// (only in a rect) in 0xF00.
enum eTextAlign : uint32_t
{
    kTextAlignLeft = 0x0,
    kTextAlignCentreX = 0x1,
    kTextAlignRight = 0x2,
    kTextAlignOutsideLeft = 0x3,
    kTextAlignOutsideRight = 0x4,
    kTextAlignBottom = 0x00,
    kTextAlignCentreY = 0x10,
    kTextAlignTop = 0x20,
    kTextAlignBelow = 0x30,
    kTextAlignAbove = 0x40,
    kTextShortenStart = 0x100,
    kTextShortenMiddle = 0x200,
    kTextShortenEnd = 0x300,
};

// Told of each text as it is laid out, with its glyph box in screen pixels,
// its colour and its font's size; tests read the screens through it. Returning
// false leaves the text undrawn, which shows the ground under it.
class cTextObserver
{
public:
    virtual bool OnText(const cRect& screenBox, uint32_t colour, float size, const char* text) = 0;

protected:
    ~cTextObserver() = default;
};

// Lays glyphs out as textured quads and submits them in large indexed runs,
// after the shapes pending at the time of the flush.
class cTextBatch
{
public:
    static constexpr uint32_t kGlyphCapacity = 2048;
    static constexpr uint32_t kVertexCapacity = kGlyphCapacity * 4;

    explicit cTextBatch(cDrawList* owner);
    ~cTextBatch();
    cTextBatch(const cTextBatch&) = delete;
    cTextBatch& operator=(const cTextBatch&) = delete;

    // The top-left of the first line at (x, y).
    void DrawText(float x, float y, float depth, const cFontHandle& font, uint32_t colour, const char* text);
    void DrawTextAligned(float x, float y, float depth, const cFontHandle& font, uint32_t colour,
                         uint32_t alignment, const char* text);
    void DrawTextInRect(const cRect& rect, const cFontHandle& font, float depth, uint32_t colour,
                        uint32_t alignment, const char* text);

    void Flush();
    void SetMaterial(cMaterial* material);

    uint32_t GetPendingGlyphs() const { return mVertexCount / 4; }

    // One process-wide observer, or none; main thread only.
    static void SetObserver(cTextObserver* observer);

private:
    cRect ScreenBox(float x, float y, const cFontHandle& handle, const char* text) const;
    void AppendGlyphQuad(float x0, float y0, float x1, float y1, const float* uv, float depth, uint32_t colour);

    cDrawList* mOwner;
    uint32_t mVertexCount = 0;
    cMaterial* mMaterial = nullptr;
    cGenStringFixed<4096> mScratch;
    std::unique_ptr<uint16_t[]> mIndices;
    std::unique_ptr<cVertexXYZColourTex1[]> mVertices;
};
