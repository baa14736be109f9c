#include "render/DrawList.h"

#include "render/AtlasSprite.h"
#include "render/LineSprites.h"
#include "render/Material.h"
#include "render/PathStyle.h"
#include "render/Polyline.h"
#include "render/Renderer.h"
#include "render/VertexLayouts.h"

#include <algorithm>
#include <cmath>

namespace
{
// Long strips and bands are drawn in runs that each fit one batch; runs share
// their end points, so bands stay seamless. A strip run also carries the
// corners of the segment after it, so the joint between runs is drawn too.
constexpr int kMaxStripSegments = 255;
constexpr int kMaxBandPoints = 1200;
static_assert(kMaxBandPoints * 2 * 24 <= 65536, "a run of a band fits one batch");
static_assert((kMaxStripSegments + 1) * 4 * 24 <= 65536, "a run of a strip fits one batch");

// Edges of neighbouring strip segments closer to parallel than this (the
// cross product of their directions, in pixels squared) do not cross.
constexpr float kParallelEdges = 0.00001f;

bool InUnit(float t) { return t >= 0.0f && t <= 1.0f; }

// The four corners of one segment of a thick line and its joint with the next.
struct cStripSegment
{
    cVector2 startLeft, endLeft, endRight, startRight;
    int joint[3];
    cVector2 direction, normal;
};

cStripSegment MakeStripSegment(const cVector2& from, const cVector2& to, float half)
{
    const cVector2 direction = Normalised(to - from);
    const cVector2 normal = cVector2{direction.Y, -direction.X} * half;
    return {from + normal, to + normal, to - normal, from - normal, {0, 0, 0}, direction, normal};
}

// Joins two segments at their shared point: both take the inner corner, and
// the outer side is mitred or closed by a bevel triangle.
void JoinStripSegments(cStripSegment& prev, cStripSegment& next, const cVector2& pi, ePolylineJoin join)
{
    const cVector2& d1 = prev.direction;
    const cVector2& d2 = next.direction;
    const cVector2& n1 = prev.normal;
    const cVector2& n2 = next.normal;
    if (Dot(d1, d2) >= 0.9999f)
    {
        prev.endLeft = next.startLeft = pi + n2;
        prev.endRight = next.startRight = pi - n2;
        return;
    }
    prev.endLeft = pi + n1;
    prev.endRight = pi - n1;
    next.startLeft = pi + n2;
    next.startRight = pi - n2;
    const bool innerLeft = Dot(d2, n1) > 0.0f;
    cVector2& prevInnerEnd = innerLeft ? prev.endLeft : prev.endRight;
    cVector2& nextInnerStart = innerLeft ? next.startLeft : next.startRight;
    const cVector2 prevInnerStart = innerLeft ? prev.startLeft : prev.startRight;
    const cVector2 nextInnerEnd = innerLeft ? next.endLeft : next.endRight;

    float ta, tb;
    bool crossedWithin = false;
    bool found = false;
    cVector2 inner = {0, 0};
    if (CrossLines(prevInnerStart, prevInnerEnd, nextInnerStart, nextInnerEnd, kParallelEdges, ta, tb) &&
        InUnit(ta) && InUnit(tb))
    {
        inner = Lerp(prevInnerStart, prevInnerEnd, ta);
        found = crossedWithin = true;
    }
    else if (CrossLines(prevInnerStart, prevInnerEnd, next.endLeft, next.endRight, kParallelEdges, ta, tb) &&
             InUnit(ta) && InUnit(tb))
    {
        inner = Lerp(prevInnerStart, prevInnerEnd, ta);
        found = true;
    }
    else if (CrossLines(nextInnerStart, nextInnerEnd, prev.startLeft, prev.startRight, kParallelEdges, ta, tb) &&
             InUnit(ta) && InUnit(tb))
    {
        inner = Lerp(nextInnerStart, nextInnerEnd, ta);
        found = true;
    }
    if (found)
        prevInnerEnd = nextInnerStart = inner;

    float tl, tr;
    if (join == kPolylineJoinMitre && crossedWithin && Dot(d1, d2) > -0.75f &&
        CrossLines(prev.startLeft, prev.endLeft, next.startLeft, next.endLeft, kParallelEdges, tl, tr))
    {
        const cVector2 left = Lerp(prev.startLeft, prev.endLeft, tl);
        prev.endLeft = next.startLeft = left;
        prev.endRight = next.startRight = pi * 2.0f - left;
        return;
    }
    if (innerLeft)
        prev.joint[0] = 1, prev.joint[1] = 7, prev.joint[2] = 2;
    else
        prev.joint[0] = 1, prev.joint[1] = 4, prev.joint[2] = 2;
}

uint8_t Alpha(uint32_t colour) { return uint8_t(colour >> 24); }
} // namespace

void cDrawList::DrawThickLineStrip(const cVector2* points, int count, ePolylineJoin join, const cAtlasSprite* sprite,
                                   uint32_t colour, float widthScale)
{
    if (!points || count < 2 || !sprite)
        return;
    const float half = widthScale * 0.5f * sprite->height;
    const float u = (sprite->u0 + sprite->u1) * 0.5f;
    const int segmentCount = count - 1;
    cStripSegment seg[kMaxStripSegments + 1];
    seg[0] = MakeStripSegment(points[0], points[1], half);
    for (int first = 0; first < segmentCount; first += kMaxStripSegments)
    {
        const int segments = std::min(kMaxStripSegments, segmentCount - first);
        // The segment after the run is joined here and starts the next run; its
        // corners go out with this run for the joint triangle to reach.
        const bool more = first + segments < segmentCount;
        const int made = segments + (more ? 1 : 0);
        for (int i = 1; i < made; ++i)
            seg[i] = MakeStripSegment(points[first + i], points[first + i + 1], half);
        for (int i = 1; i < made; ++i)
            JoinStripSegments(seg[i - 1], seg[i], points[first + i], join);

        SetBatchState(kPrimitiveTriangles, cVertexXYZColourTex1::kFormat);
        auto* v = static_cast<cVertexXYZColourTex1*>(Reserve(uint32_t(made) * 4, uint32_t(segments) * 9));
        if (!v)
            return;
        uint16_t* index = mReservedIndices;
        for (int i = 0; i < made; ++i)
        {
            const cStripSegment& s = seg[i];
            v[4 * i + 0] = {s.startLeft.X, s.startLeft.Y, depth, colour, u, sprite->v0};
            v[4 * i + 1] = {s.endLeft.X, s.endLeft.Y, depth, colour, u, sprite->v0};
            v[4 * i + 2] = {s.endRight.X, s.endRight.Y, depth, colour, u, sprite->v1};
            v[4 * i + 3] = {s.startRight.X, s.startRight.Y, depth, colour, u, sprite->v1};
            if (i == segments)
                break;
            const uint16_t base = uint16_t(mReservedBase + 4 * i);
            const int local[9] = {s.joint[0], s.joint[1], s.joint[2], 0, 1, 2, 2, 3, 0};
            for (int k = 0; k < 9; ++k)
                *index++ = uint16_t(base + local[k]);
        }
        if (more)
            seg[0] = seg[segments];
    }
}

void cDrawList::DrawThickLineStripSolid(const cVector2* points, int count, ePolylineJoin join,
                                        const cAtlasSprite* sprite, uint32_t colour, float width)
{
    if (sprite)
    {
        DrawThickLineStrip(points, count, join, sprite, colour, width);
        return;
    }
    cScopedMaterial fill(*this, mFill);
    DrawThickLineStrip(points, count, join, GetLineSpriteForWidth(width), colour, 1.0f);
}

void cDrawList::DrawFilledBand(const cVector2* points, int count, const cRect& rect, float u0, float v0, float u1,
                               float v1, uint32_t colour)
{
    const float width = rect.xMax - rect.xMin;
    const float uPerPixel = width != 0.0f ? (u1 - u0) / width : 0.0f;
    const float v = (v0 + v1) * 0.5f;
    for (int first = 0; first < count - 1; first += kMaxBandPoints - 1)
    {
        const int n = std::min(kMaxBandPoints, count - first);
        SetBatchState(kPrimitiveTriangles, cVertexXYZColourTex1::kFormat);
        auto* out = static_cast<cVertexXYZColourTex1*>(Reserve(uint32_t(n) * 2, uint32_t(n - 1) * 6));
        if (!out)
            return;
        for (int i = 0; i < n; ++i)
        {
            const cVector2& p = points[first + i];
            const float u = first + i == 0 ? u0 : u0 + (p.X - rect.xMin) * uPerPixel;
            out[2 * i] = {p.X, p.Y, depth, colour, u, v};
            out[2 * i + 1] = {p.X, rect.yMax, depth, colour, u, v};
        }
        uint16_t* index = mReservedIndices;
        for (int i = 0; i < n - 1; ++i)
        {
            const uint16_t base = uint16_t(mReservedBase + 2 * i);
            for (int local : {1, 0, 2, 2, 3, 1})
                *index++ = uint16_t(base + local);
        }
    }
}

void cDrawList::DrawFilledCurve(const cVector2* points, int count, const cRect& rect, const cAtlasSprite* sprite,
                                uint32_t colour)
{
    if (!points || count < 2)
        return;
    if (sprite)
    {
        DrawFilledBand(points, count, rect, sprite->u0, sprite->v0, sprite->u1, sprite->v1, colour);
        return;
    }
    cVector2 uv0, uv1;
    cMaterial* previous = BeginSolidFill(uv0, uv1);
    DrawFilledBand(points, count, rect, uv0.X, uv0.Y, uv1.X, uv1.Y, colour);
    currentMaterial = previous;
}

void cDrawList::DrawFilledCurveClipped(const cVector2* points, int count, const cRect& rect,
                                       const cAtlasSprite* sprite, uint32_t colour)
{
    if (!sprite)
    {
        DrawFilledCurve(points, count, rect, sprite, colour);
        return;
    }
    // A rect narrower than the sprite takes only its share of the strip.
    cAtlasSprite clipped = *sprite;
    const float width = rect.xMax - rect.xMin;
    if (width < sprite->width && sprite->width > 0.0f)
        clipped.u1 = sprite->u0 + (sprite->u1 - sprite->u0) * width / sprite->width;
    DrawFilledCurve(points, count, rect, &clipped, colour);
}

void cDrawList::DrawPath(const cVector2* points, int count, const cPathStyle& style)
{
    if (!points || count < 2 || style.mode == kPathNone || Alpha(style.colour) == 0)
        return;
    switch (style.mode)
    {
    case kPathHairline:
    {
        cScopedMaterial untextured(*this, mUntexturedAlpha);
        for (int first = 0; first < count - 1; first += kMaxBandPoints - 1)
        {
            const int n = std::min(kMaxBandPoints, count - first);
            SetBatchState(kPrimitiveLines, cVertexXYZColourTex1::kFormat);
            auto* v = static_cast<cVertexXYZColourTex1*>(Reserve(uint32_t(n), uint32_t(n - 1) * 2));
            if (!v)
                return;
            for (int i = 0; i < n; ++i)
                v[i] = {points[first + i].X, points[first + i].Y, depth, style.colour, 0.0f, 0.0f};
            for (int i = 0; i < n - 1; ++i)
            {
                mReservedIndices[2 * i] = uint16_t(mReservedBase + i);
                mReservedIndices[2 * i + 1] = uint16_t(mReservedBase + i + 1);
            }
        }
        break;
    }
    case kPathPolylineAA:
    {
        cScopedMaterial untextured(*this, mUntexturedAlpha);
        const cPolylineOptions options = {style.join, kPolylineCapFeatheredButt, false, 2.0f, false, false};
        DrawPolylineAA(*this, points, count, style.colour, style.width, options);
        break;
    }
    case kPathThickLine:
        DrawThickLineStripSolid(points, count, style.join, style.sprite, style.colour, style.width);
        break;
    default: break;
    }
}

void cDrawList::DrawStyledRect(const cPathStyle& style, uint32_t fillColour, cRect rect)
{
    if (rect.xMin > rect.xMax)
        std::swap(rect.xMin, rect.xMax);
    if (rect.yMin > rect.yMax)
        std::swap(rect.yMin, rect.yMax);

    // The outline starts and ends in the middle of a long edge, so no cap
    // falls on a corner.
    cVector2 outline[6];
    int topRight, topLeft;
    if (rect.xMax - rect.xMin > rect.yMax - rect.yMin)
    {
        const float middle = (rect.xMin + rect.xMax) * 0.5f;
        const cVector2 points[6] = {{middle, rect.yMin}, {rect.xMax, rect.yMin}, {rect.xMax, rect.yMax},
                                    {rect.xMin, rect.yMax}, {rect.xMin, rect.yMin}, {middle, rect.yMin}};
        std::copy(points, points + 6, outline);
        topRight = 1;
        topLeft = 4;
    }
    else
    {
        const float middle = (rect.yMin + rect.yMax) * 0.5f;
        const cVector2 points[6] = {{rect.xMin, middle}, {rect.xMin, rect.yMin}, {rect.xMax, rect.yMin},
                                    {rect.xMax, rect.yMax}, {rect.xMin, rect.yMax}, {rect.xMin, middle}};
        std::copy(points, points + 6, outline);
        topRight = 2;
        topLeft = 1;
    }
    // A hairline loop needs one corner moved by a pixel to rasterise closed.
    if (style.mode == kPathHairline)
    {
        if (mRenderer->pixelConvention == 0)
            outline[topRight].Y -= 1.0f;
        else
            outline[topLeft].X -= 1.0f;
    }
    DrawPath(outline, 6, style);

    if (Alpha(fillColour) != 0)
        FillRect(rect, fillColour);
}
