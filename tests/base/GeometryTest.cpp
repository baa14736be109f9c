#include "base/Geometry.h"

#include <gtest/gtest.h>

namespace
{
// The unit cube around the origin, bit 0 right, bit 1 top, bit 2 far.
void UnitCube(cVector3 corners[8])
{
    for (int i = 0; i < 8; ++i)
        corners[i] = {(i & 1) ? 1.0f : -1.0f, (i & 2) ? 1.0f : -1.0f, (i & 4) ? 1.0f : -1.0f};
}
} // namespace

TEST(Geometry, PlaneFromPoints)
{
    const cPlane plane = cPlane::FromPoints({0, 0, 2}, {1, 0, 2}, {0, 1, 2});
    EXPECT_NEAR(plane.SignedDistance({5, 5, 2}), 0.0f, 1e-6f);
    EXPECT_NEAR(std::abs(plane.SignedDistance({0, 0, 5})), 3.0f, 1e-6f);

    const cPlane collinear = cPlane::FromPoints({0, 0, 0}, {1, 1, 1}, {2, 2, 2});
    EXPECT_EQ(collinear.Norm.X, 0.0f);
    EXPECT_EQ(collinear.Norm.Y, 0.0f);
    EXPECT_EQ(collinear.Norm.Z, 0.0f);
    EXPECT_EQ(collinear.Dist, 0.0f);
}

TEST(Geometry, FrustumTestsPointsAndSpheres)
{
    cVector3 corners[8];
    UnitCube(corners);
    cFrustum box;
    box.BuildFromCorners(corners);

    EXPECT_TRUE(box.TestPoint({0, 0, 0}));
    EXPECT_TRUE(box.TestPoint({1, 1, 1}));
    EXPECT_FALSE(box.TestPoint({0, 1.5f, 0}));

    const struct
    {
        cSphere sphere;
        cFrustum::eSphereClass expected;
    } cases[] = {
        {{{0, 0, 0}, 0.5f}, cFrustum::kInside},
        {{{0, 0, 3}, 1.0f}, cFrustum::kOutside},
        {{{0, 0, 1}, 0.5f}, cFrustum::kCrossingFar},
        {{{0, 0, -1}, 0.5f}, cFrustum::kCrossingNear},
        {{{1, 0, 0}, 0.5f}, cFrustum::kCrossingSide},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(box.ClassifySphere(c.sphere), c.expected) << c.sphere.Pos.X << "," << c.sphere.Pos.Z;
        EXPECT_EQ(box.TestSphere(c.sphere), c.expected != cFrustum::kOutside);
    }
}

TEST(Geometry, FrustumThroughAQuad)
{
    const cVector3 quad[4] = {{-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}};
    cFrustum view;
    view.BuildFromQuad(quad, {0, 0, 0});
    EXPECT_TRUE(view.TestPoint({0, 0, 100}));
    EXPECT_TRUE(view.TestPoint({4, 0, 5}));
    EXPECT_FALSE(view.TestPoint({6, 0, 5}));
    EXPECT_FALSE(view.TestPoint({0, 0, 0.5f})); // between eye and quad

    view.BuildFromQuad(quad, {0, 0, 0}, {0, 0, 2}, 2.0f, 10.0f);
    EXPECT_FALSE(view.TestPoint({0, 0, 1.5f}));
    EXPECT_TRUE(view.TestPoint({0, 0, 5}));
    EXPECT_FALSE(view.TestPoint({0, 0, 11}));
}

TEST(Geometry, ClosestPoints)
{
    cVector3 closest;
    EXPECT_NEAR(ClosestPointOnLine({2, 0, 0}, {0, 0, 0}, {1, 5, 0}, closest), 0.5f, 1e-6f);
    EXPECT_EQ(closest.X, 1.0f);
    EXPECT_NEAR(ClosestPointOnLine({2, 0, 0}, {0, 0, 0}, {6, 1, 0}, closest), 3.0f, 1e-6f);
    EXPECT_EQ(ClosestPointOnSegment({2, 0, 0}, {0, 0, 0}, {6, 1, 0}, closest), 1.0f);
    EXPECT_EQ(closest.X, 2.0f); // beyond the far end: a
    EXPECT_EQ(ClosestPointOnSegment({2, 0, 0}, {0, 0, 0}, {-6, 1, 0}, closest), 0.0f);
    EXPECT_EQ(closest.X, 0.0f); // before the start: b
}

TEST(Geometry, TwoDimensionalIntersections)
{
    EXPECT_TRUE(SegmentsIntersect2D({0, 0}, {2, 2}, {0, 2}, {2, 0}));
    EXPECT_FALSE(SegmentsIntersect2D({0, 0}, {1, 1}, {2, 0}, {3, -1}));
    EXPECT_FALSE(SegmentsIntersect2D({0, 0}, {2, 2}, {1, 0}, {3, 2})); // parallel
    EXPECT_TRUE(SegmentsIntersect2D({0, 0}, {2, 0}, {1, 0}, {3, 0}));  // overlapping on a line

    const cRect rect = {0, 0, 10, 10};
    EXPECT_TRUE(SegmentCrossesRect2D({-5, 5}, {5, 5}, rect));
    EXPECT_FALSE(SegmentCrossesRect2D({2, 2}, {8, 8}, rect)); // wholly inside: no edge crossed
    EXPECT_FALSE(SegmentCrossesRect2D({-5, -5}, {-1, 20}, rect));

    cVector2 hit;
    ASSERT_TRUE(IntersectLines2D({0, 0}, {1, 0}, {5, -5}, {0, 1}, hit));
    EXPECT_EQ(hit.X, 5.0f);
    EXPECT_EQ(hit.Y, 0.0f);
    EXPECT_FALSE(IntersectLines2D({0, 0}, {1, 1}, {0, 1}, {2, 2}, hit));

    ASSERT_TRUE(IntersectSegments2D({0, 0}, {4, 4}, {0, 4}, {4, 0}, hit));
    EXPECT_EQ(hit.X, 2.0f);
    EXPECT_FALSE(IntersectSegments2D({0, 0}, {1, 1}, {0, 4}, {4, 0}, hit));

    EXPECT_TRUE(IsLeftOfLine2D({0, 0}, {1, 0}, {0, 1}));
    EXPECT_FALSE(IsLeftOfLine2D({0, 0}, {1, 0}, {0, -1}));
    EXPECT_FALSE(IsLeftOfLine2D({0, 0}, {1, 0}, {5, 0}));
}
