#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

class cRendererGL11;
struct cVertexFormat;

// The OpenGL calls of one frame, kept as words instead of made at once, so
// that the frame can be compared with the one on screen and made only when it
// differs. Draws keep copies of their vertices and indices.
class cGLFrame
{
public:
    enum eCall : uint32_t
    {
        kClear,
        kViewport,
        kClearDepth,
        kClearColour,
        kEnable,
        kDisable,
        kCullFace,
        kDepthFunc,
        kColour,
        kBlendFunc,
        kMatrixMode,
        kLoadMatrix,
        kScissor,
        kBindTexture,
        kTexParameter,
        kDraw,
    };

    // Makes one call now (floats travel as their bits).
    static void Make(eCall call, const uint32_t* words);

    void Add(eCall call, std::initializer_list<uint32_t> words);
    void AddMatrix(const float* matrix);
    // colour: the constant colour in force, which a layout without colours
    // draws with.
    void AddDraw(uint32_t primitive, const cVertexFormat& format, uint32_t colour, const void* vertices,
                 uint32_t vertexCount, const uint16_t* indices, uint32_t indexCount);

    // Makes every call in order; draws go through the renderer.
    void Play(cRendererGL11& renderer) const;
    void Clear() { mWords.clear(); }
    bool IsEmpty() const { return mWords.empty(); }
    bool operator==(const cGLFrame& other) const { return mWords == other.mWords; }
    void Swap(cGLFrame& other) { mWords.swap(other.mWords); }

private:
    void AddBytes(const void* bytes, uint32_t count);

    std::vector<uint32_t> mWords;
};
