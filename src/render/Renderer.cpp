#include "render/Renderer.h"

#include "base/FastMath.h"
#include "render/Texture.h"

#include <algorithm>
#include <cmath>

cRenderer* gRenderer = nullptr;

namespace
{
cMatrix44 Identity44()
{
    cMatrix44 m = {};
    m.Row0.X = m.Row1.Y = m.Row2.Z = m.Row3.W = 1.0f;
    return m;
}

float SafeRatio(float a, float b) { return b != 0.0f ? a / b : 0.0f; }
} // namespace

cRenderer::cRenderer()
{
    projection = Identity44();
    screen.rotation.SetIdentity();
}

cRenderer::~cRenderer()
{
    StoreTexture(nullptr);
}

void cRenderer::OnScreenSizeChanged(float, float) {}

void cRenderer::StoreTexture(cTexture* texture)
{
    if (texture0 == texture)
        return;
    if (texture)
        AddTextureReference(texture);
    cTexture* old = texture0;
    texture0 = texture;
    if (old)
        ReleaseTextureReference(old);
}

void cRenderer::ResetState()
{
    displayScale = 1.0f;

    const cMatrix44 identity = Identity44();
    modelStack.Push(identity);
    viewStack.Push(identity);
    projectionStack.Push(identity);
    projection = identity;
    std::fill(viewport, viewport + 4, 0.0f);

    SetCullMode(kCullNone);
    SetBlendMode(kBlendOff);
    scissorEnabled = true;
    DisableScissor();
    SetDepthFunc(kDepthGreaterEqual);
    colour = 0xff000000u;
    SetColour(0xffffffffu);
    clearColour = 0xffffffffu;
    SetClearColour(0xff000000u);
    clearDepth = -1.0f;
    SetClearDepth(0.0f);

    BindTexture(0, nullptr, kSamplingLinear);

    if (screen.orientation != kOrientationUpright)
    {
        screen.orientation = kOrientationUpright;
        screen.angle = 0.0f;
        screen.orientedWidth = screen.width;
        screen.orientedHeight = screen.height;
        screen.rotation.SetRotationZ(0.0f);
        screen.aspect = SafeRatio(screen.orientedHeight, screen.orientedWidth);
        screen.inverseAspect = SafeRatio(screen.orientedWidth, screen.orientedHeight);
        cMatrix44::MultiplyRotation(projection, projectionStack.Top(), screen.rotation);
    }
}

void cRenderer::SetScreenSize(float width, float height)
{
    if (width == screen.width && height == screen.height)
        return;
    screen.width = width;
    screen.height = height;
    SetOrientation(screen.angle, screen.orientation, true);
    OnScreenSizeChanged(width, height);
    SetViewport(0, 0, uint32_t(width + 0.5f), uint32_t(height + 0.5f));
}

void cRenderer::SetOrientation(float angle, eOrientation orientation, bool force)
{
    if (orientation == screen.orientation && !force)
        return;
    screen.orientation = orientation;
    switch (orientation)
    {
    case kOrientationUpright:
    case kOrientationHalf:
        screen.angle = orientation == kOrientationUpright ? 0.0f : 2.0f * kHalfPi;
        screen.orientedWidth = screen.width;
        screen.orientedHeight = screen.height;
        break;
    case kOrientationQuarter:
    case kOrientationMinusQuarter:
        screen.angle = orientation == kOrientationQuarter ? kHalfPi : -kHalfPi;
        screen.orientedWidth = screen.height;
        screen.orientedHeight = screen.width;
        break;
    case kOrientationFree:
    {
        screen.angle = angle;
        const float w1 = FastCos(angle) * screen.width, h1 = FastSin(angle) * screen.height;
        const float w2 = FastCos(angle + kHalfPi) * screen.width, h2 = FastSin(angle + kHalfPi) * screen.height;
        screen.orientedWidth = std::sqrt(w1 * w1 + h1 * h1);
        screen.orientedHeight = std::sqrt(w2 * w2 + h2 * h2);
        break;
    }
    default:
        break;
    }
    screen.rotation.SetRotationZ(screen.angle);
    screen.aspect = SafeRatio(screen.orientedHeight, screen.orientedWidth);
    screen.inverseAspect = SafeRatio(screen.orientedWidth, screen.orientedHeight);
    cMatrix44::MultiplyRotation(projection, projectionStack.Top(), screen.rotation);
}

void cRenderer::Push2DProjection(float width, float height)
{
    if (width <= 0.0f)
        width = screen.orientedWidth;
    if (height <= 0.0f)
        height = screen.orientedHeight;

    cMatrix44 ortho = Identity44();
    ortho.Row0.X = 2.0f / width;
    ortho.Row1.Y = -2.0f / height;
    ortho.Row3.X = -1.0f;
    ortho.Row3.Y = 1.0f;
    PushProjectionMatrix(ortho);
    PushModelMatrix(Identity44());
    PushViewMatrix(Identity44());
}

bool cRenderer::PushClipRect(const cRect& rect, const cRect& bounds)
{
    const cMatrix44& view = viewStack.Top();
    float x0 = rect.xMin + view.Row3.X, y0 = rect.yMin + view.Row3.Y;
    float x1 = rect.xMax + view.Row3.X, y1 = rect.yMax + view.Row3.Y;
    x0 = std::max(x0, bounds.xMin);
    x1 = std::min(x1, bounds.xMax);
    y0 = std::max(y0, bounds.yMin);
    y1 = std::min(y1, bounds.yMax);
    x1 = std::max(x1, x0);
    y1 = std::max(y1, y0);
    return PushWindowClipRect(x0, y0, x1, y1);
}

bool cRenderer::PushProjectedClipRect(const cRect& rect)
{
    return PushWindowClipRect(rect.xMin, rect.yMin, rect.xMax, rect.yMax);
}

bool cRenderer::PushWindowClipRect(float x0, float y0, float x1, float y1)
{
    const cMatrix44& p = projection;
    const float vx = viewport[0], vy = viewport[1], vw = viewport[2], vh = viewport[3];
    // Projected x and y run from -1 to 1 across the viewport.
    auto toWindowX = [&](float x, float y) {
        return vw * 0.5f * (x * p.Row0.X + y * p.Row1.X + p.Row3.X) + vx + vw * 0.5f;
    };
    auto toWindowY = [&](float x, float y) {
        return vh * 0.5f * (x * p.Row0.Y + y * p.Row1.Y + p.Row3.Y) + vy + vh * 0.5f;
    };

    float sx0 = toWindowX(x0, y0), sy0 = toWindowY(x0, y0);
    float sx1 = toWindowX(x1, y1), sy1 = toWindowY(x1, y1);
    if (sx0 > sx1)
        std::swap(sx0, sx1);
    if (sy0 > sy1)
        std::swap(sy0, sy1);

    if (clipStack.Count() > 0)
    {
        const cClipRect& top = clipStack.Top();
        sx0 = std::max(sx0, top.x);
        sx1 = std::min(sx1, top.x + top.width);
        sy0 = std::max(sy0, top.y);
        sy1 = std::min(sy1, top.y + top.height);
        sx1 = std::max(sx1, sx0);
        sy1 = std::max(sy1, sy0);
    }

    const cClipRect clip = {sx0, sy0, sx1 - sx0, sy1 - sy0};
    if (!clipStack.Push(clip))
        return false;
    SetScissor(clip);
    return true;
}

void cRenderer::PopClipRect()
{
    if (!clipStack.Pop())
        return;
    if (clipStack.Count() == 0)
        DisableScissor();
    else
        SetScissor(clipStack.Top());
}

void cRenderer::PushModelMatrix(const cMatrix44& matrix)
{
    if (modelStack.Push(matrix))
        SetModelMatrix(matrix);
}

void cRenderer::PopModelMatrix()
{
    if (modelStack.Pop() && modelStack.Count() > 0)
        SetModelMatrix(modelStack.Top());
}

void cRenderer::PushViewMatrix(const cMatrix44& matrix)
{
    if (viewStack.Push(matrix))
        SetViewMatrix(matrix);
}

void cRenderer::PopViewMatrix()
{
    if (viewStack.Pop() && viewStack.Count() > 0)
        SetViewMatrix(viewStack.Top());
}

void cRenderer::PushProjectionMatrix(const cMatrix44& matrix)
{
    if (projectionStack.Push(matrix))
        SetProjectionMatrix(matrix);
}

void cRenderer::PopProjectionMatrix()
{
    if (projectionStack.Pop() && projectionStack.Count() > 0)
        SetProjectionMatrix(projectionStack.Top());
}

void cRenderer::SetClearDepthIfDifferent(float depth)
{
    if (depth != clearDepth)
        SetClearDepth(depth);
}

void cRenderer::SetClearColourIfDifferent(uint32_t value)
{
    if (value != clearColour)
        SetClearColour(value);
}

eBlendMode cRenderer::SetBlendModeIfDifferent(eBlendMode mode)
{
    const eBlendMode previous = blendMode;
    if (mode != previous)
        SetBlendMode(mode);
    return previous;
}

eCullMode cRenderer::SetCullModeIfDifferent(eCullMode mode)
{
    const eCullMode previous = cullMode;
    if (mode != previous)
        SetCullMode(mode);
    return previous;
}

uint32_t cRenderer::SetColourIfDifferent(uint32_t value)
{
    const uint32_t previous = colour;
    if (value != previous)
        SetColour(value);
    return previous;
}

void cRenderer::BindTextureIfDifferent(cTexture* texture, eSampling sampling, bool force)
{
    if (force || texture != texture0 || sampling != sampling0)
        BindTexture(0, texture, sampling);
}

void cRenderer::SetTextureSamplingIfDifferent(eSampling sampling)
{
    if (sampling != sampling0)
        SetTextureSampling(0, sampling);
}
