#pragma once

#include "base/Math.h"

// Plane n . p + Dist = 0.
struct cPlane
{
    cVector3 Norm;
    float Dist;

    // Normal (a - b) x (a - c) normalised; all zero for collinear points.
    static cPlane FromPoints(const cVector3& a, const cVector3& b, const cVector3& c);
    float SignedDistance(const cVector3& p) const { return Dot(Norm, p) + Dist; }
};

struct cSphere
{
    cVector3 Pos;
    float Rad;
};

struct cBox
{
    float XMin, YMin, ZMin, XMax, YMax, ZMax;
};

// A convex volume of six planes whose normals point outwards: plane 0 near,
// plane 1 far, planes 2-5 the sides. Tests cache each plane's signed distance
// from the last tested point or sphere centre.
struct cFrustum
{
    enum eSphereClass
    {
        kOutside = 0,
        kInside = 1,
        kCrossingFar = 2,  // crosses plane 1
        kCrossingNear = 3, // crosses plane 0
        kCrossingSide = 4,
    };

    cVector4 Planes[6];
    float Distances[6];

    // Corner i of the volume: bit 0 right, bit 1 top, bit 2 far.
    void BuildFromCorners(const cVector3 corners[8]);
    // The volume seen from eye through the quad (corners in order around
    // it), beginning at the quad, without a far end.
    void BuildFromQuad(const cVector3 quad[4], const cVector3& eye);
    // The same, limited to near..far along the viewing direction.
    void BuildFromQuad(const cVector3 quad[4], const cVector3& eye, const cVector3& direction, float nearDistance,
                       float farDistance);

    bool TestPoint(const cVector3& p);
    // False as soon as the sphere lies wholly outside one plane.
    bool TestSphere(const cSphere& sphere);
    eSphereClass ClassifySphere(const cSphere& sphere);

private:
    void SetPlaneOutwards(int index, const cVector3& a, const cVector3& b, const cVector3& c, const cVector3& inside);
    void SetPlane(int index, const cVector3& normal, const cVector3& point);
    float Distance(int index, const cVector3& p) const;
};

// The closest point to p on the line through a and b, as b + t (a - b);
// returns t.
float ClosestPointOnLine(const cVector3& a, const cVector3& b, const cVector3& p, cVector3& closest);
// The same on the segment: t <= 0 gives b, t >= 1 gives a.
float ClosestPointOnSegment(const cVector3& a, const cVector3& b, const cVector3& p, cVector3& closest);

bool SegmentsIntersect2D(const cVector2& a0, const cVector2& a1, const cVector2& b0, const cVector2& b1);
// True when the segment crosses any edge of the rectangle.
bool SegmentCrossesRect2D(const cVector2& a, const cVector2& b, const cRect& rect);
// Lines through p with direction d; false when (nearly) parallel.
bool IntersectLines2D(const cVector2& p0, const cVector2& d0, const cVector2& p1, const cVector2& d1,
                      cVector2& hit);
bool IntersectSegments2D(const cVector2& a0, const cVector2& a1, const cVector2& b0, const cVector2& b1,
                         cVector2& hit);
// True when p lies left of the line from a to b (positive cross product).
bool IsLeftOfLine2D(const cVector2& a, const cVector2& b, const cVector2& p);
