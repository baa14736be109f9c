#include "render/Polyline.h"

#include "render/DrawList.h"
#include "render/Renderer.h"
#include "render/VertexLayouts.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{
constexpr float kTiny = 1e-11f;
// The tessellator's tuning, kept from its width profile:
// - below 1.6 pixels a joint piece is too small to see, so anchors are drawn
//   as two plain segments, and such lines are widened by 1.1660417 so that
//   they keep the weight of the profile's 1.6-pixel line;
// - a mitre whose legs meet closer than about 11.7 degrees (the cosine
//   0.979386) would reach about ten half-widths out, so it is bevelled.
constexpr float kThinLineWidth = 1.6f;
constexpr float kThinLineWidening = 1.1660417f;
constexpr float kMitreLimitCosine = 0.979386f;
constexpr float kPi = 3.14159265f;
constexpr int kMaxArcSteps = 102;


uint32_t Transparent(uint32_t colour) { return colour & 0x00ffffffu; }

uint32_t ScaleAlpha(uint32_t colour, float factor)
{
    factor = std::clamp(factor, 0.0f, 1.0f);
    const uint32_t alpha = uint32_t(float(colour >> 24) * factor);
    return (colour & 0x00ffffffu) | (alpha << 24);
}

// Parabolic sine: cheap and smooth enough for arc steps of a few pixels.
float ParabolicSin(float x)
{
    x -= 2.0f * kPi * std::floor((x + kPi) / (2.0f * kPi));
    float y = 1.2732395f * x - 0.40528473f * x * std::fabs(x);
    return y + 0.225f * (y * std::fabs(y) - y);
}

float ParabolicCos(float x) { return ParabolicSin(x + kPi * 0.5f); }

// Angle of a unit vector, counted with y pointing up the screen.
float AngleOf(const cVector2& v)
{
    const float angle = std::acos(std::clamp(v.X, -1.0f, 1.0f));
    return v.Y > 0.0f ? 2.0f * kPi - angle : angle;
}

cVector2 DirectionAt(float angle) { return {ParabolicCos(angle), -ParabolicSin(angle)}; }

// Crossing of the infinite lines a0-a1 and b0-b1, with the parameters along each.
bool CrossLines(const cVector2& a0, const cVector2& a1, const cVector2& b0, const cVector2& b1, cVector2& at,
                float& ta, float& tb)
{
    if (!CrossLines(a0, a1, b0, b1, kTiny, ta, tb))
        return false;
    at = a0 + (a1 - a0) * ta;
    return true;
}

bool Within(float t) { return t >= 0.0f && t <= 1.0f; }

// Triangles of one joint or segment on their way to the draw list.
class vertex_array_holder
{
public:
    static constexpr int kCapacity = 256;

    vertex_array_holder(cDrawList& list, ePrimitive primitive) : mList(list), mPrimitive(primitive) {}

    void push(const cVector2& p, uint32_t colour, bool transparent = false)
    {
        pushVertex({p.X, p.Y, mList.depth, transparent ? Transparent(colour) : colour});
        if (mJump)
        {
            mJump = false;
            pushVertex(mVertices[mCount - 1]);
        }
    }

    // One triangle; each corner says whether it is transparent.
    void push3(const cVector2& a, bool ta, const cVector2& b, bool tb, const cVector2& c, bool tc, uint32_t colour)
    {
        push(a, colour, ta);
        push(b, colour, tb);
        push(c, colour, tc);
    }

    // Strips only: repeat the last vertex and the next one, so the strip jumps.
    void jump()
    {
        if (mPrimitive != kPrimitiveTriangleStrip || mCount == 0)
            return;
        pushVertex(mVertices[mCount - 1]);
        mJump = true;
    }

    // Appends another holder; a strip becomes one triangle per strip step.
    void merge(const vertex_array_holder& other)
    {
        if (other.mPrimitive == mPrimitive)
        {
            for (int i = 0; i < other.mCount; ++i)
                pushVertex(other.mVertices[i]);
        }
        else if (mPrimitive == kPrimitiveTriangles && other.mPrimitive == kPrimitiveTriangleStrip)
        {
            for (int i = 2; i < other.mCount; ++i)
            {
                pushVertex(other.mVertices[i - 2]);
                pushVertex(other.mVertices[i - 1]);
                pushVertex(other.mVertices[i]);
            }
        }
    }

    void draw()
    {
        if (mCount == 0)
            return;
        mList.SetBatchState(mPrimitive, cVertexXYZColour::kFormat);
        if (void* room = mList.ReserveVertices(uint32_t(mCount)))
            std::memcpy(room, mVertices, sizeof(cVertexXYZColour) * size_t(mCount));
    }

    // Submits what is held and keeps the vertices of an unfinished triangle.
    void drawAndContinue()
    {
        draw();
        const int keep = mPrimitive == kPrimitiveTriangleStrip ? std::min(mCount, 2) : 0;
        std::memmove(mVertices, mVertices + mCount - keep, sizeof(cVertexXYZColour) * size_t(keep));
        mCount = keep;
    }

    int count() const { return mCount; }

private:
    void pushVertex(const cVertexXYZColour& vertex)
    {
        // 255 is a whole number of triangles, so nothing is carried over.
        if (mCount >= kCapacity - 1)
            drawAndContinue();
        mVertices[mCount++] = vertex;
    }

    cDrawList& mList;
    ePrimitive mPrimitive;
    int mCount = 0;
    bool mJump = false;
    cVertexXYZColour mVertices[kCapacity];
};

// Core and feather of one point of a line, with the options applied.
struct cWidthProfile
{
    float t, R;
};

cWidthProfile ProfileFor(float width, const cPolylineOptions& options)
{
    cWidthProfile profile;
    GetCoreAndFeather(width, profile.t, profile.R);
    if (options.feather && !options.noFeatherAtCore && options.feathering != 1.0f)
        profile.R *= options.feathering;
    return profile;
}

float CapScale(const cPolylineOptions& options)
{
    return options.feather && !options.noFeatherAtCap ? options.feathering : 1.0f;
}

uint32_t ColourForWidth(uint32_t colour, float width)
{
    return width < 1.0f ? ScaleAlpha(colour, width) : colour;
}

// A circular piece around the centre: a fan of core and a ring of feather.
void EmitArc(vertex_array_holder& out, cDrawList& list, const cVector2& centre, float startAngle, float sweep,
             const cWidthProfile& w, uint32_t colour)
{
    const float step = GetRoundJoinStep(w.t, w.R);
    int steps = int(std::ceil(std::fabs(sweep) / step));
    steps = std::clamp(steps, 1, kMaxArcSteps);
    vertex_array_holder ring(list, kPrimitiveTriangleStrip);
    cVector2 previousEdge = {0, 0};
    for (int k = 0; k <= steps; ++k)
    {
        const cVector2 u = DirectionAt(startAngle + sweep * float(k) / float(steps));
        const cVector2 edge = centre + u * w.t;
        if (k > 0)
            out.push3(centre, false, previousEdge, false, edge, false, colour);
        ring.push(edge, colour);
        ring.push(centre + u * (w.t + w.R), colour, true);
        previousEdge = edge;
    }
    out.merge(ring);
}

// Closes an open end at p, where t and f are the core and feather offsets and
// s the outward cap vector.
void EmitCap(vertex_array_holder& out, cDrawList& list, const cVector2& p, const cVector2& t, const cVector2& f,
             const cVector2& s, ePolylineCap kind, const cWidthProfile& w, uint32_t colour)
{
    if (kind == kPolylineCapRound)
    {
        const cVector2 unitCore = Normalised(t);
        const float start = AngleOf(unitCore);
        const float sweep = Dot(DirectionAt(start + kPi * 0.5f), s) > 0.0f ? kPi : -kPi;
        EmitArc(out, list, p, start, sweep, w, colour);
        return;
    }
    const cVector2 a = p + t + f, b = a + s, c = p + t;
    const cVector2 e = p - t, g = e - f, d = g + s;
    out.push3(a, true, b, true, c, false, colour);
    out.push3(b, true, c, false, d, true, colour);
    out.push3(c, false, d, true, e, false, colour);
    out.push3(d, true, e, false, g, true, colour);
}

// The end point a capped end is drawn to: pushed out for square caps, pulled
// back by the cap vector for butt and square caps.
cVector2 CappedEnd(const cVector2& p, const cVector2& outward, const cVector2& s, ePolylineCap kind,
                   const cWidthProfile& w)
{
    cVector2 end = p;
    if (kind == kPolylineCapSquare)
        end = end + outward * (w.t + w.R);
    if (kind == kPolylineCapButt || kind == kPolylineCapSquare)
        end = end - s;
    return end;
}

// A band along a leg: core between the two core offsets, feather on each side.
// The far corners of the inner side may be replaced by shared crossing points.
struct cLegEnds
{
    cVector2 p0, p1;
    cVector2 t0, t1, f0, f1;
    uint32_t c0, c1;
};

void EmitLeg(vertex_array_holder& out, const cLegEnds& leg, const cVector2& innerCore1, const cVector2& innerFeather1)
{
    const cVector2 outer0 = leg.p0 + leg.t0, inner0 = leg.p0 - leg.t0;
    const cVector2 outer1 = leg.p1 + leg.t1;
    out.push(outer0, leg.c0);
    out.push(inner0, leg.c0);
    out.push(outer1, leg.c1);
    out.push(inner0, leg.c0);
    out.push(outer1, leg.c1);
    out.push(innerCore1, leg.c1);

    const cVector2 outerFeather0 = outer0 + leg.f0, outerFeather1 = outer1 + leg.f1;
    out.push(outer0, leg.c0);
    out.push(outerFeather0, leg.c0, true);
    out.push(outer1, leg.c1);
    out.push(outerFeather0, leg.c0, true);
    out.push(outer1, leg.c1);
    out.push(outerFeather1, leg.c1, true);

    const cVector2 innerFeather0 = inner0 - leg.f0;
    out.push(inner0, leg.c0);
    out.push(innerFeather0, leg.c0, true);
    out.push(innerCore1, leg.c1);
    out.push(innerFeather0, leg.c0, true);
    out.push(innerCore1, leg.c1);
    out.push(innerFeather1, leg.c1, true);
}

struct cAnchor
{
    cVector2 p[3];
    uint32_t colour[3];
    float width[3];
    bool capStart, capEnd;
};

void DrawThinAnchor(cDrawList& list, const cAnchor& a, const cPolylineOptions& options)
{
    // Both halves meet at the middle point; a round join closes it with round ends.
    const bool round = options.join == kPolylineJoinRound;
    DrawPolylineSegment(list, a.p[0], a.p[1], a.colour[0], a.colour[1], a.width[0], a.width[1], options,
                        a.capStart, round, kPolylineCapRound);
    cPolylineOptions second = options;
    if (round)
        second.cap = kPolylineCapRound;
    DrawPolylineSegment(list, a.p[1], a.p[2], a.colour[1], a.colour[2], a.width[1], a.width[2], second, round,
                        a.capEnd, options.cap);
}

void DrawAnchor(cDrawList& list, const cAnchor& a, const cPolylineOptions& options)
{
    if (a.width[0] < kThinLineWidth && a.width[1] < kThinLineWidth && a.width[2] < kThinLineWidth)
    {
        DrawThinAnchor(list, a, options);
        return;
    }
    const cVector2 legA = a.p[1] - a.p[0], legB = a.p[2] - a.p[1];
    const cVector2 dA = Normalised(legA), dB = Normalised(legB);
    const float c = Dot(-dA, dB);
    if (Length(legA) <= kTiny || Length(legB) <= kTiny || std::fabs(c - 1.0f) <= kTiny)
    {
        // Folding straight back, or no direction to join: two plain pieces.
        DrawThinAnchor(list, a, options);
        return;
    }

    const cWidthProfile w[3] = {ProfileFor(a.width[0], options), ProfileFor(a.width[1], options),
                                ProfileFor(a.width[2], options)};
    const float capScale = CapScale(options);
    const cVector2 sStart = -dA * capScale, sEnd = dB * capScale;
    const cVector2 p0 = a.capStart ? CappedEnd(a.p[0], -dA, sStart, options.cap, w[0]) : a.p[0];
    const cVector2 p1 = a.p[1];
    const cVector2 p2 = a.capEnd ? CappedEnd(a.p[2], dB, sEnd, options.cap, w[2]) : a.p[2];

    // Offsets point to the outside of the turn.
    cVector2 nA = Perpendicular(dA), nB = Perpendicular(dB);
    if (Dot(nA, a.p[1] - a.p[2]) <= 0.0f)
        nA = -nA;
    if (Dot(nB, a.p[1] - a.p[0]) <= 0.0f)
        nB = -nB;
    const cLegEnds A = {p0, p1, nA * w[0].t, nA * w[1].t, nA * w[0].R, nA * w[1].R,
                        a.colour[0], a.colour[1]};
    const cLegEnds B = {p2, p1, nB * w[2].t, nB * w[1].t, nB * w[2].R, nB * w[1].R,
                        a.colour[2], a.colour[1]};
    const uint32_t c1 = a.colour[1];

    vertex_array_holder out(list, kPrimitiveTriangles);
    const bool straight = c < -0.9999f;
    cVector2 innerCore, innerFeather;
    float ta, tb, fa, fb;
    const bool coreCross = CrossLines(A.p0 - A.t0, A.p1 - A.t1, B.p1 - B.t1, B.p0 - B.t0,
                                      innerCore, ta, tb);
    const bool featherCross =
        CrossLines(A.p0 - A.t0 - A.f0, A.p1 - A.t1 - A.f1, B.p1 - B.t1 - B.f1,
                   B.p0 - B.t0 - B.f0, innerFeather, fa, fb);
    if (straight || !coreCross)
    {
        EmitLeg(out, A, A.p1 - A.t1, A.p1 - A.t1 - A.f1);
        EmitLeg(out, B, B.p1 - B.t1, B.p1 - B.t1 - B.f1);
    }
    else
    {
        // Where the inner edges cross within both legs, both legs end there.
        const bool shared = featherCross && Within(ta) && Within(tb) && Within(fa) && Within(fb);
        if (!shared)
        {
            innerCore = p1;
            innerFeather = p1;
        }
        EmitLeg(out, A, shared ? innerCore : A.p1 - A.t1, shared ? innerFeather : A.p1 - A.t1 - A.f1);
        EmitLeg(out, B, shared ? innerCore : B.p1 - B.t1, shared ? innerFeather : B.p1 - B.t1 - B.f1);

        ePolylineJoin join = options.join;
        if (join == kPolylineJoinMitre && c >= kMitreLimitCosine)
            join = kPolylineJoinBevel;
        const cVector2 outerA = p1 + A.t1, outerB = p1 + B.t1;
        const cVector2 featherA = outerA + A.f1, featherB = outerB + B.f1;
        cVector2 mitreCore, mitreFeather;
        float m0, m1;
        if (join == kPolylineJoinMitre &&
            CrossLines(A.p0 + A.t0, outerA, outerB, B.p0 + B.t0, mitreCore, m0, m1) &&
            CrossLines(A.p0 + A.t0 + A.f0, featherA, featherB, B.p0 + B.t0 + B.f0, mitreFeather,
                       m0, m1))
        {
            out.push3(innerCore, false, outerA, false, mitreCore, false, c1);
            out.push3(innerCore, false, mitreCore, false, outerB, false, c1);
            out.push3(outerA, false, featherA, true, mitreCore, false, c1);
            out.push3(featherA, true, mitreCore, false, mitreFeather, true, c1);
            out.push3(mitreCore, false, mitreFeather, true, outerB, false, c1);
            out.push3(mitreFeather, true, outerB, false, featherB, true, c1);
        }
        else if (join == kPolylineJoinRound)
        {
            if (shared)
            {
                out.push3(innerCore, false, outerA, false, p1, false, c1);
                out.push3(innerCore, false, p1, false, outerB, false, c1);
            }
            const float start = AngleOf(Normalised(A.t1));
            float end = AngleOf(Normalised(B.t1));
            while (end - start > kPi)
                end -= 2.0f * kPi;
            while (end - start < -kPi)
                end += 2.0f * kPi;
            EmitArc(out, list, p1, start, end - start, w[1], c1);
        }
        else
        {
            out.push3(innerCore, false, outerA, false, outerB, false, c1);
            out.push3(outerA, false, featherA, true, outerB, false, c1);
            out.push3(featherA, true, outerB, false, featherB, true, c1);
        }
    }

    if (a.capStart)
        EmitCap(out, list, p0, A.t0, A.f0, sStart, options.cap, w[0], a.colour[0]);
    if (a.capEnd)
        EmitCap(out, list, p2, B.t0, B.f0, sEnd, options.cap, w[2], a.colour[2]);
    out.draw();
}
} // namespace

void GetCoreAndFeather(float width, float& core, float& feather)
{
    const float f = width - std::floor(width);
    if (width < 1.0f)
        core = 0.05f, feather = 0.768f;
    else if (width < 2.0f)
        core = 0.05f + 0.33f * f, feather = 0.768f + 0.312f * f;
    else if (width < 3.0f)
        core = 0.38f + 0.58f * f, feather = 1.08f;
    else if (width < 4.0f)
        core = 0.96f + 0.48f * f, feather = 1.08f;
    else if (width < 5.0f)
        core = 1.44f + 0.46f * f, feather = 1.08f;
    else if (width < 6.0f)
        core = 1.9f + 0.6f * f, feather = 1.08f;
    else
        core = 2.5f + 0.5f * (width - 6.0f), feather = 1.08f;
    if (width > 0.0f && width < kThinLineWidth)
    {
        core *= kThinLineWidening;
        feather *= kThinLineWidening;
    }
}

float GetRoundJoinStep(float core, float feather)
{
    const float radius = core + feather;
    if (radius <= 2.52f)
        return 0.6f / radius;
    if (radius <= 4.33f)
        return 2.8f / radius;
    return 4.2f / radius;
}

void DrawPolylineSegment(cDrawList& list, const cVector2& p0, const cVector2& p1, uint32_t colour0,
                         uint32_t colour1, float width0, float width1, const cPolylineOptions& options,
                         bool capStart, bool capEnd, ePolylineCap endCap)
{
    const ePolylineCap startKind = options.cap;
    const ePolylineCap endKind = endCap == kPolylineCapAsOptions ? options.cap : endCap;
    const uint32_t c0 = ColourForWidth(colour0, width0), c1 = ColourForWidth(colour1, width1);
    const cVector2 d = Normalised(p1 - p0);
    cWidthProfile w0 = ProfileFor(width0, options), w1 = ProfileFor(width1, options);
    // A thin line along an axis is drawn crisp, one pixel wide.
    if (std::max(width0, width1) <= 1.0f && (std::fabs(d.X) <= kTiny || std::fabs(d.Y) <= kTiny))
        w0 = w1 = {0.5f, 0.05f};

    const float capScale = CapScale(options);
    const cVector2 sStart = -d * capScale, sEnd = d * capScale;
    const cVector2 a = capStart ? CappedEnd(p0, -d, sStart, startKind, w0) : p0;
    const cVector2 b = capEnd ? CappedEnd(p1, d, sEnd, endKind, w1) : p1;
    const cVector2 n = Perpendicular(d);
    const cVector2 t0 = n * w0.t, t1 = n * w1.t, f0 = n * w0.R, f1 = n * w1.R;

    vertex_array_holder out(list, kPrimitiveTriangles);
    out.push(a + t0, c0);
    out.push(a - t0, c0);
    out.push(b + t1, c1);
    out.push(a - t0, c0);
    out.push(b + t1, c1);
    out.push(b - t1, c1);
    for (float side : {1.0f, -1.0f})
    {
        const cVector2 core0 = a + t0 * side, core1 = b + t1 * side;
        const cVector2 edge0 = core0 + f0 * side, edge1 = core1 + f1 * side;
        out.push(core0, c0);
        out.push(edge0, c0, true);
        out.push(core1, c1);
        out.push(edge0, c0, true);
        out.push(core1, c1);
        out.push(edge1, c1, true);
    }
    if (capStart)
        EmitCap(out, list, a, t0, f0, sStart, startKind, w0, c0);
    if (capEnd)
        EmitCap(out, list, b, t1, f1, sEnd, endKind, w1, c1);
    out.draw();
}

void DrawPolylineAA(cDrawList& list, const cVector2* points, int count, uint32_t colour, float width,
                    const cPolylineOptions& options)
{
    if (!points || count < 2)
        return;
    if (count == 2)
    {
        DrawPolylineSegment(list, points[0], points[1], colour, colour, width, width, options, true, true);
        return;
    }
    // Cut at the middles of the inner segments: one anchor per inner point,
    // meeting its neighbours seamlessly on straight pieces.
    cVector2 start = points[0];
    for (int i = 1; i <= count - 2; ++i)
    {
        const bool last = i == count - 2;
        const cVector2 end = last ? points[count - 1] : Midpoint(points[i], points[i + 1]);
        const cAnchor anchor = {{start, points[i], end}, {colour, colour, colour}, {width, width, width},
                                i == 1, last};
        DrawAnchor(list, anchor, options);
        start = end;
    }
}
