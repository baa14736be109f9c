#include "base/Geometry.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace
{
constexpr float kParallelLimit = 1e-5f;

cVector3 Centroid(const cVector3* points, int count)
{
    cVector3 sum = {0.0f, 0.0f, 0.0f};
    for (int i = 0; i < count; ++i)
        sum += points[i];
    return sum / float(count);
}

// A point inside the volume that the eye sees through the quad.
cVector3 PointBeyondQuad(const cVector3 quad[4], const cVector3& eye)
{
    const cVector3 centre = Centroid(quad, 4);
    return centre + (centre - eye);
}
} // namespace

cPlane cPlane::FromPoints(const cVector3& a, const cVector3& b, const cVector3& c)
{
    cVector3 normal = Cross(a - b, a - c);
    if (normal.LengthSquared() == 0.0f)
        return {{0.0f, 0.0f, 0.0f}, 0.0f};
    normal.NormaliseUnchecked();
    return {normal, -Dot(normal, a)};
}

void cFrustum::SetPlane(int index, const cVector3& normal, const cVector3& point)
{
    Planes[index] = {normal.X, normal.Y, normal.Z, -Dot(normal, point)};
}

void cFrustum::SetPlaneOutwards(int index, const cVector3& a, const cVector3& b, const cVector3& c,
                                const cVector3& inside)
{
    cPlane plane = cPlane::FromPoints(a, b, c);
    if (plane.SignedDistance(inside) > 0.0f)
        plane = {-plane.Norm, -plane.Dist};
    Planes[index] = {plane.Norm.X, plane.Norm.Y, plane.Norm.Z, plane.Dist};
}

float cFrustum::Distance(int index, const cVector3& p) const
{
    const cVector4& plane = Planes[index];
    return plane.X * p.X + plane.Y * p.Y + plane.Z * p.Z + plane.W;
}

void cFrustum::BuildFromCorners(const cVector3 corners[8])
{
    const cVector3 inside = Centroid(corners, 8);
    SetPlaneOutwards(0, corners[0], corners[1], corners[2], inside);
    SetPlaneOutwards(1, corners[4], corners[5], corners[6], inside);
    SetPlaneOutwards(2, corners[0], corners[2], corners[4], inside);
    SetPlaneOutwards(3, corners[1], corners[3], corners[5], inside);
    SetPlaneOutwards(4, corners[0], corners[1], corners[4], inside);
    SetPlaneOutwards(5, corners[2], corners[3], corners[6], inside);
    std::fill(Distances, Distances + 6, 0.0f);
}

void cFrustum::BuildFromQuad(const cVector3 quad[4], const cVector3& eye)
{
    const cVector3 inside = PointBeyondQuad(quad, eye);
    SetPlaneOutwards(0, quad[0], quad[1], quad[2], inside);
    // No far end: a plane every point lies far behind.
    Planes[1] = {0.0f, 0.0f, 0.0f, -FLT_MAX};
    for (int i = 0; i < 4; ++i)
        SetPlaneOutwards(2 + i, eye, quad[i], quad[(i + 1) % 4], inside);
    std::fill(Distances, Distances + 6, 0.0f);
}

void cFrustum::BuildFromQuad(const cVector3 quad[4], const cVector3& eye, const cVector3& direction,
                             float nearDistance, float farDistance)
{
    BuildFromQuad(quad, eye);
    cVector3 forward = direction;
    forward.Normalise();
    SetPlane(0, -forward, eye + forward * nearDistance);
    SetPlane(1, forward, eye + forward * farDistance);
}

bool cFrustum::TestPoint(const cVector3& p)
{
    bool inside = true;
    for (int i = 0; i < 6; ++i)
    {
        Distances[i] = Distance(i, p);
        inside = inside && Distances[i] <= 0.0f;
    }
    return inside;
}

bool cFrustum::TestSphere(const cSphere& sphere)
{
    for (int i = 0; i < 6; ++i)
    {
        Distances[i] = Distance(i, sphere.Pos);
        if (Distances[i] >= sphere.Rad)
            return false;
    }
    return true;
}

cFrustum::eSphereClass cFrustum::ClassifySphere(const cSphere& sphere)
{
    if (!TestSphere(sphere))
        return kOutside;
    const float reach = -sphere.Rad;
    if (Distances[1] > reach)
        return kCrossingFar;
    if (Distances[0] > reach)
        return kCrossingNear;
    for (int i = 2; i < 6; ++i)
    {
        if (Distances[i] > reach)
            return kCrossingSide;
    }
    return kInside;
}

float ClosestPointOnLine(const cVector3& a, const cVector3& b, const cVector3& p, cVector3& closest)
{
    const cVector3 along = a - b;
    const float lengthSquared = along.LengthSquared();
    const float t = lengthSquared > 0.0f ? Dot(p - b, along) / lengthSquared : 0.0f;
    closest = b + along * t;
    return t;
}

float ClosestPointOnSegment(const cVector3& a, const cVector3& b, const cVector3& p, cVector3& closest)
{
    const float t = std::clamp(ClosestPointOnLine(a, b, p, closest), 0.0f, 1.0f);
    closest = b + (a - b) * t;
    return t;
}

bool SegmentsIntersect2D(const cVector2& a0, const cVector2& a1, const cVector2& b0, const cVector2& b1)
{
    if (std::max(a0.X, a1.X) < std::min(b0.X, b1.X) || std::max(b0.X, b1.X) < std::min(a0.X, a1.X) ||
        std::max(a0.Y, a1.Y) < std::min(b0.Y, b1.Y) || std::max(b0.Y, b1.Y) < std::min(a0.Y, a1.Y))
        return false;
    const cVector2 da = a1 - a0;
    const cVector2 db = b1 - b0;
    const float side0 = Cross(da, b0 - a0);
    const float side1 = Cross(da, b1 - a0);
    const float side2 = Cross(db, a0 - b0);
    const float side3 = Cross(db, a1 - b0);
    return side0 * side1 <= 0.0f && side2 * side3 <= 0.0f;
}

bool SegmentCrossesRect2D(const cVector2& a, const cVector2& b, const cRect& rect)
{
    const cVector2 corners[4] = {
        {rect.xMin, rect.yMin}, {rect.xMax, rect.yMin}, {rect.xMax, rect.yMax}, {rect.xMin, rect.yMax}};
    for (int i = 0; i < 4; ++i)
    {
        if (SegmentsIntersect2D(a, b, corners[i], corners[(i + 1) % 4]))
            return true;
    }
    return false;
}

bool IntersectLines2D(const cVector2& p0, const cVector2& d0, const cVector2& p1, const cVector2& d1, cVector2& hit)
{
    const float cross = Cross(d0, d1);
    if (std::fabs(cross) < kParallelLimit)
        return false;
    const float t = Cross(p1 - p0, d1) / cross;
    hit = {p0.X + d0.X * t, p0.Y + d0.Y * t};
    return true;
}

bool IntersectSegments2D(const cVector2& a0, const cVector2& a1, const cVector2& b0, const cVector2& b1,
                         cVector2& hit)
{
    const cVector2 da = a1 - a0;
    const cVector2 db = b1 - b0;
    const float cross = Cross(da, db);
    if (std::fabs(cross) < kParallelLimit)
        return false;
    const cVector2 offset = b0 - a0;
    const float t = Cross(offset, db) / cross;
    const float u = Cross(offset, da) / cross;
    if (t < 0.0f || t > 1.0f || u < 0.0f || u > 1.0f)
        return false;
    hit = {a0.X + da.X * t, a0.Y + da.Y * t};
    return true;
}

bool IsLeftOfLine2D(const cVector2& a, const cVector2& b, const cVector2& p)
{
    return Cross(b - a, p - a) > 0.0f;
}
