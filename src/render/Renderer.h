#pragma once

#include "base/Math.h"
#include "render/RenderStates.h"
#include "render/VertexFormat.h"

#include <cstdint>

class cTexture;
class cDeviceTexture;
struct cPVRImage;

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
    eOrientation orientation = kOrientationNone;
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
    virtual void DrawArrays(ePrimitive primitive, const cVertexFormat& format, const void* vertices,
                            uint32_t vertexCount) = 0;
    virtual void DrawIndexed(ePrimitive primitive, const cVertexFormat& format, const void* vertices,
                             uint32_t vertexCount, const uint16_t* indices, uint32_t indexCount) = 0;
    virtual ~cRenderer();
    virtual void SetClearDepth(float depth) = 0;
    virtual void SetClearColour(uint32_t colour) = 0;
    virtual void SetCullMode(eCullMode mode) = 0;
    virtual void SetDepthFunc(eDepthFunc func) = 0;
    virtual void SetColour(uint32_t colour) = 0;
    virtual void SetBlendMode(eBlendMode mode) = 0;
    virtual void SetProjectionMatrix(const cMatrix44& matrix) = 0;
    virtual void SetModelMatrix(const cMatrix44& matrix) = 0;
    virtual void SetViewMatrix(const cMatrix44& matrix) = 0;
    virtual void SetScissor(const cClipRect& rect) = 0;
    virtual void DisableScissor() = 0;
    virtual void OnScreenSizeChanged(float width, float height);
    virtual void BindTexture(int unit, cTexture* texture, eSampling sampling) = 0;
    virtual void SetTextureSampling(int unit, eSampling sampling) = 0;

    void ResetState();
    void SetScreenSize(float width, float height);
    void SetOrientation(float angle, eOrientation orientation, bool force);
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
    eBlendMode SetBlendModeIfDifferent(eBlendMode mode);
    eCullMode SetCullModeIfDifferent(eCullMode mode);
    uint32_t SetColourIfDifferent(uint32_t colour);
    void BindTextureIfDifferent(cTexture* texture, eSampling sampling, bool force);
    void SetTextureSamplingIfDifferent(eSampling sampling);

    bool ready = false;
    int32_t pixelConvention = -1;
    cMatrixStack modelStack;
    cMatrixStack viewStack;
    cMatrixStack projectionStack;
    cMatrix44 projection;
    float viewport[4] = {0, 0, 0, 0};
    float clearDepth = 0;
    uint32_t clearColour = 0;
    eCullMode cullMode = kCullNone;
    eDepthFunc depthFunc = kDepthOff;
    cScreen screen;
    eBlendMode blendMode = kBlendOff;
    bool scissorEnabled = false;
    uint32_t colour = 0;
    cTexture* texture0 = nullptr; // counted reference
    eSampling sampling0 = kSamplingNearest;
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
