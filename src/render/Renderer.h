#pragma once

#include "base/Math.h"
#include "render/VertexFormat.h"

#include <cstdint>

class cTexture;
class cDeviceTexture;
struct cPVRImage;

enum eClearFlags : uint32_t
{
    kClearColour = 1,
    kClearDepth = 2,
    kClearStencil = 4,
};

enum ePrimitive : int32_t
{
    kPrimitivePoints = 0,
    kPrimitiveLines = 1,
    kPrimitiveLineStrip = 2,
    kPrimitiveTriangles = 3,
    kPrimitiveTriangleStrip = 4,
};

enum eCullMode : int32_t
{
    kCullNone = 0,
    kCullFront = 1,
    kCullBack = 2,
};

enum eDepthFunc : int32_t
{
    kDepthOff = 0,
    kDepthNever = 1,
    kDepthLess = 2,
    kDepthEqual = 3,
    kDepthLessEqual = 4,
    kDepthGreater = 5,
    kDepthNotEqual = 6,
    kDepthGreaterEqual = 7,
    kDepthAlways = 8,
};

enum eBlendMode : int32_t
{
    kBlendOff = 0,
    kBlendAlpha = 1,            // src * src alpha + dst * (1 - src alpha)
    kBlendMultiply = 2,         // dst * src colour
    kBlendAdditiveAlpha = 3,    // src * src alpha + dst
    kBlendSquare = 4,           // src * src colour + dst * dst colour
    kBlendCrossMultiply = 5,    // src * dst colour + dst * src colour
};

// Texture sampling mode: filter in bits 0..3 (0 nearest, 1 linear, 2 linear with
// linear mip-maps), wrap in s in bits 4..7 and in t in bits 8..11 (0 clamp,
// 1 repeat). Any other field value leaves that setting as it was.
enum eSampling : int32_t
{
    kSamplingNearest = 0x000,
    kSamplingLinear = 0x001,
    kSamplingLinearRepeat = 0x111,
};

enum eOrientation : int32_t
{
    kOrientationUpright = 0,
    kOrientationQuarter = 1,
    kOrientationHalf = 2,
    kOrientationMinusQuarter = 3,
    kOrientationFree = 4,
};

// A scissor rectangle in unscaled window pixels, origin at the bottom-left.
struct cClipRect
{
    float x, y, width, height;
};

// A stack of at most six entries. A push beyond the capacity is refused and
// remembered, so that its paired pop is absorbed and the stack stays in step
// with its callers.
template <class T>
class cBoundedStack
{
public:
    static constexpr int kCapacity = 6;

    bool Push(const T& entry)
    {
        if (mCount == kCapacity)
        {
            ++mRefused;
            return false;
        }
        mEntries[mCount++] = entry;
        return true;
    }
    // True when an entry was removed (the caller then reloads the new top).
    bool Pop()
    {
        if (mRefused > 0)
        {
            --mRefused;
            return false;
        }
        if (mCount == 0)
            return false;
        --mCount;
        return true;
    }
    const T& Top() const { return mEntries[mCount > 0 ? mCount - 1 : 0]; }
    int Count() const { return mCount; }

private:
    T mEntries[kCapacity] = {};
    int mCount = 0;
    int mRefused = 0;
};

using cMatrixStack = cBoundedStack<cMatrix44>;
using cClipStack = cBoundedStack<cClipRect>;

struct cScreen
{
    float width = 0;
    float height = 0;
    int32_t orientation = -1;
    cMatrix33 rotation;
    float angle = 0;
    float orientedWidth = 0;
    float orientedHeight = 0;
    float aspect = 0;        // oriented height / oriented width
    float inverseAspect = 0; // oriented width / oriented height
};

// The abstract drawing device. Its state is shared: drawing code reads the
// caches and calls an operation only when a value really differs, and every
// operation that changes state records the new value.
class cRenderer
{
public:
    cRenderer();
    cRenderer(const cRenderer&) = delete;
    cRenderer& operator=(const cRenderer&) = delete;

    virtual cDeviceTexture* CreateDeviceTexture(const cPVRImage& image) = 0;
    virtual void Clear(uint32_t flags) = 0;
    virtual void Present() = 0;
    virtual void SetViewport(uint32_t x, uint32_t y, uint32_t width, uint32_t height) = 0;
    virtual void DrawArrays(int32_t primitive, const cVertexFormat& format, const void* vertices,
                            uint32_t vertexCount) = 0;
    virtual void DrawIndexed(int32_t primitive, const cVertexFormat& format, const void* vertices,
                             uint32_t vertexCount, const uint16_t* indices, uint32_t indexCount) = 0;
    virtual ~cRenderer();
    virtual void SetClearDepth(float depth) = 0;
    virtual void SetClearColour(uint32_t colour) = 0;
    virtual void SetCullMode(int32_t mode) = 0;
    virtual void SetDepthFunc(int32_t func) = 0;
    virtual void SetColour(uint32_t colour) = 0;
    virtual void SetBlendMode(int32_t mode) = 0;
    virtual void SetProjectionMatrix(const cMatrix44& matrix) = 0;
    virtual void SetModelMatrix(const cMatrix44& matrix) = 0;
    virtual void SetViewMatrix(const cMatrix44& matrix) = 0;
    virtual void SetScissor(const cClipRect& rect) = 0;
    virtual void DisableScissor() = 0;
    virtual void OnScreenSizeChanged(float width, float height);
    virtual void BindTexture(int unit, cTexture* texture, int32_t sampling) = 0;
    virtual void SetTextureSampling(int unit, int32_t sampling) = 0;

    void ResetState();
    void SetScreenSize(float width, float height);
    void SetOrientation(float angle, int32_t orientation, bool force);
    void Push2DProjection(float width, float height);

    // Clip rectangles in drawing coordinates ({x0, y0, x1, y1}); each level only
    // ever shrinks the enclosing one. False when the stack is full: the push is
    // refused, the enclosing clip stays, and the paired pop is absorbed.
    bool PushClipRect(const cRect& rect, const cRect& bounds);
    bool PushProjectedClipRect(const cRect& rect);
    void PopClipRect();

    // Matrix stack pushes load the new top; pops reload the entry below.
    void PushModelMatrix(const cMatrix44& matrix);
    void PopModelMatrix();
    void PushViewMatrix(const cMatrix44& matrix);
    void PopViewMatrix();
    void PushProjectionMatrix(const cMatrix44& matrix);
    void PopProjectionMatrix();

    void SetClearDepthIfDifferent(float depth);
    void SetClearColourIfDifferent(uint32_t colour);
    // These three return the value in force before the call.
    int32_t SetBlendModeIfDifferent(int32_t mode);
    int32_t SetCullModeIfDifferent(int32_t mode);
    uint32_t SetColourIfDifferent(uint32_t colour);
    void BindTextureIfDifferent(cTexture* texture, int32_t sampling, bool force);
    void SetTextureSamplingIfDifferent(int32_t sampling);

    bool ready = false;
    int32_t pixelConvention = -1;
    cMatrixStack modelStack;
    cMatrixStack viewStack;
    cMatrixStack projectionStack;
    cMatrix44 projection;
    float viewport[4] = {0, 0, 0, 0};
    float clearDepth = 0;
    uint32_t clearColour = 0;
    int32_t cullMode = 0;
    int32_t depthFunc = 0;
    cScreen screen;
    int32_t blendMode = 0;
    bool scissorEnabled = false;
    uint32_t colour = 0;
    cTexture* texture0 = nullptr; // counted reference
    int32_t sampling0 = 0;
    cClipStack clipStack;
    float displayScale = 1.0f;

protected:
    // Stores the texture of a unit, holding one reference to it.
    void StoreTexture(cTexture* texture);

private:
    bool PushWindowClipRect(float x0, float y0, float x1, float y1);
};

// The one renderer of the process; null until the window layer creates it.
extern cRenderer* gRenderer;
