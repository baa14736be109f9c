#include "render/Image.h"

#include "render/AtlasSprite.h"
#include "render/DrawList.h"

#include <algorithm>
#include <cmath>

int32_t gBlinkAlpha = 0;

namespace
{
// One axis of a layout: where the image lies and whether it is patched.
struct cAxis
{
    float low, high;
    bool patched;
};

void CentreSpan(float& low, float& high, float centre, float length)
{
    low = centre - length * 0.5f;
    high = centre + length * 0.5f;
}

// Fits one axis: own size, patch or scale, by its alignment nibble.
cAxis FitAxis(float low, float high, float centre, float spriteLength, float innerLength, bool hasInner,
              bool ownSize, bool patch, float tolerance, bool shrinkToCaps)
{
    cAxis axis = {low, high, false};
    const float length = high - low;
    if (ownSize || std::fabs(length - spriteLength) < tolerance)
    {
        CentreSpan(axis.low, axis.high, centre, spriteLength);
        return axis;
    }
    if (!patch)
        return axis;
    const float fixed = hasInner ? spriteLength - innerLength : spriteLength;
    if (length >= fixed)
        axis.patched = true;
    else if (shrinkToCaps)
    {
        CentreSpan(axis.low, axis.high, centre, fixed);
        axis.patched = true;
    }
    return axis;
}

void MoveRect(cRect& rect, float dx, float dy)
{
    rect.xMin += dx;
    rect.xMax += dx;
    rect.yMin += dy;
    rect.yMax += dy;
}

void SnapRect(cRect& rect)
{
    rect.xMin = std::floor(rect.xMin + 0.5f);
    rect.yMin = std::floor(rect.yMin + 0.5f);
    rect.xMax = std::floor(rect.xMax + 0.5f);
    rect.yMax = std::floor(rect.yMax + 0.5f);
}
} // namespace

void cImage::SetSprites(const cAtlasSprite* newSprite, const cAtlasSprite* newDrawSprite,
                        const cAtlasSprite* newInnerSprite)
{
    sprite = newSprite;
    drawSprite = newDrawSprite ? newDrawSprite : newSprite;
    innerSprite = newInnerSprite;
}

void cImage::GetSize(cVector2& minimum, cVector2& natural) const
{
    if (!sprite)
    {
        minimum = natural = {0.0f, 0.0f};
        return;
    }
    natural = {sprite->width, sprite->height};
    minimum = natural;
    if (innerSprite)
        minimum = {natural.X - innerSprite->width, natural.Y - innerSprite->height};
}

void cImage::Layout(const cRect& rect, const cVector2& offset)
{
    const float cx = (rect.xMin + rect.xMax) * 0.5f, cy = (rect.yMin + rect.yMax) * 0.5f;
    cRect layout = rect;
    if (!sprite)
    {
        layout = {cx, cy, cx, cy};
        drawRect = layout;
        type = kImageTypeNone;
    }
    else if (!drawSprite)
    {
        drawRect = rect;
        type = kImageTypeQuad;
    }
    else
    {
        const cAtlasSprite& s = *sprite;
        const int32_t h = alignment & 0x0f, v = alignment & 0xf0;
        if ((flags & kImageKeepAspect) && s.width >= 1.0f && s.height >= 1.0f)
        {
            if (h == 1 && v == 0x10)
            {
            }
            else if (h == 1)
                CentreSpan(layout.yMin, layout.yMax, cy, s.height);
            else if (v == 0x10)
                CentreSpan(layout.xMin, layout.xMax, cx, s.width);
            else if (layout.yMax - layout.yMin > 0.0f)
            {
                float height = layout.yMax - layout.yMin, width = height * s.width / s.height;
                const float available = layout.xMax - layout.xMin;
                if (width > available)
                {
                    height *= available / width;
                    width = available;
                }
                CentreSpan(layout.xMin, layout.xMax, cx, width);
                CentreSpan(layout.yMin, layout.yMax, cy, height);
            }
        }
        const bool shrink = (flags & kImageShrinkToCaps) != 0;
        const bool hasInner = innerSprite != nullptr;
        const cAxis x = FitAxis(layout.xMin, layout.xMax, cx, s.width, hasInner ? innerSprite->width : 0.0f,
                                hasInner, h == 1, h == 3, toleranceX, shrink);
        const cAxis y = FitAxis(layout.yMin, layout.yMax, cy, s.height, hasInner ? innerSprite->height : 0.0f,
                                hasInner, v == 0x10, v == 0x30, toleranceY, shrink);
        layout = {x.low, y.low, x.high, y.high};

        // A sprite without extent has no registration to scale.
        const float sx = x.patched || s.width <= 0.0f ? 1.0f : (layout.xMax - layout.xMin) / s.width;
        const float sy = y.patched || s.height <= 0.0f ? 1.0f : (layout.yMax - layout.yMin) / s.height;
        const cAtlasSprite& d = *drawSprite;
        drawRect = {layout.xMin + (d.x0 - s.x0) * sx, layout.yMin + (d.y0 - s.y0) * sy,
                    layout.xMax + (d.x1 - s.x1) * sx, layout.yMax + (d.y1 - s.y1) * sy};
        type = x.patched ? (y.patched ? kImageTypeNinePatch : kImageTypeThreePatchH)
                         : (y.patched ? kImageTypeThreePatchV : kImageTypeQuad);
    }

    float dx = offset.X, dy = offset.Y;
    if (flags & kImageSnapLeft)
        dx += rect.xMin - layout.xMin;
    else if (flags & kImageSnapRight)
        dx += rect.xMax - layout.xMax;
    if (flags & kImageSnapTop)
        dy += rect.yMin - layout.yMin;
    else if (flags & kImageSnapBottom)
        dy += rect.yMax - layout.yMax;
    MoveRect(layout, dx, dy);
    MoveRect(drawRect, dx, dy);
    if (!(flags & kImageNoPixelSnap))
    {
        SnapRect(layout);
        SnapRect(drawRect);
    }
    layoutRect = layout;
}

void cImage::Draw(const cRect& rect, cDrawList& list, bool pressed) const
{
    if (!drawSprite || state == kImageHidden)
        return;
    uint32_t tint = colour;
    if (state == kImageBlinking)
    {
        const uint32_t blink = uint32_t(std::clamp(gBlinkAlpha, 0, 255));
        const uint32_t alpha = (tint >> 24) * blink / 255;
        tint = (tint & 0x00ffffffu) | (alpha << 24);
    }
    if (pressed)
        tint = (tint & 0xff000000u) | ((tint >> 1) & 0x007f7f7fu);

    const cAtlasSprite& d = *drawSprite;
    switch (type)
    {
    case kImageTypeNone: break;
    case kImageTypeThreePatchV: list.DrawThreePatchV(rect, &d, innerSprite, tint); break;
    case kImageTypeThreePatchH: list.DrawThreePatchH(rect, &d, innerSprite, tint); break;
    case kImageTypeNinePatch: list.DrawNinePatch(rect, &d, innerSprite, tint, true); break;
    default:
        list.DrawQuad(rect, {d.u0, d.v0}, {d.u1, d.v1}, tint, (flags & kImageTurnAnticlockwise) ? -1 : 0);
        break;
    }
}
