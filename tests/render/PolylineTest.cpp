#include "render/DrawListFixture.h"

#include "render/Polyline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

TEST(Polyline, CoreAndFeatherWidths)
{
    struct cCase
    {
        float width, core, feather;
    };
    const cCase cases[] = {
        {0.5f, 0.05f * 1.1660417f, 0.768f * 1.1660417f}, // 0.0583 and 0.8955
        {1.5f, 0.215f * 1.1660417f, 0.924f * 1.1660417f},
        {1.6f, 0.248f, 0.9552f}, // from 1.6 on, no boost
        {2.0f, 0.38f, 1.08f},
        {2.5f, 0.67f, 1.08f},
        {3.5f, 1.2f, 1.08f},
        {4.5f, 1.67f, 1.08f},
        {5.5f, 2.2f, 1.08f},
        {6.5f, 2.75f, 1.08f},
    };
    for (const cCase& c : cases)
    {
        float core, feather;
        GetCoreAndFeather(c.width, core, feather);
        EXPECT_NEAR(core, c.core, 1e-4) << c.width;
        EXPECT_NEAR(feather, c.feather, 1e-4) << c.width;
    }
    EXPECT_NEAR(GetRoundJoinStep(2.0f, 1.0f), 2.8f / 3.0f, 1e-6);
    EXPECT_NEAR(GetRoundJoinStep(1.0f, 1.0f), 0.3f, 1e-6);
    EXPECT_NEAR(GetRoundJoinStep(4.0f, 1.0f), 0.84f, 1e-6);
}

namespace
{
class PolylineDraw : public DrawListFixture
{
protected:
    PolylineDraw() { list->currentMaterial = untexturedAlpha; }

    // Every triangle submitted since the last call, flushed.
    std::vector<cVertexXYZColour> Triangles()
    {
        list->FlushVertexBatch();
        std::vector<cVertexXYZColour> out;
        for (const auto& draw : renderer.draws)
        {
            EXPECT_EQ(draw.layout, "cVertexXYZColour");
            EXPECT_EQ(draw.primitive, kPrimitiveTriangles);
            EXPECT_FALSE(draw.indexed);
            for (uint32_t i = 0; i < draw.vertexCount; ++i)
                out.push_back(draw.Vertex<cVertexXYZColour>(i));
        }
        renderer.draws.clear();
        return out;
    }

    static bool Inside(const cVertexXYZColour* t, float x, float y)
    {
        auto side = [&](const cVertexXYZColour& a, const cVertexXYZColour& b) {
            return (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
        };
        const float d0 = side(t[0], t[1]), d1 = side(t[1], t[2]), d2 = side(t[2], t[0]);
        const bool negative = d0 < 0 || d1 < 0 || d2 < 0, positive = d0 > 0 || d1 > 0 || d2 > 0;
        return !(negative && positive);
    }

    // Whether any triangle with at least one opaque corner covers the point.
    static bool Covered(const std::vector<cVertexXYZColour>& triangles, float x, float y)
    {
        for (size_t i = 0; i + 2 < triangles.size(); i += 3)
        {
            const bool anyOpaque = (triangles[i].colour >> 24) || (triangles[i + 1].colour >> 24) ||
                                   (triangles[i + 2].colour >> 24);
            if (anyOpaque && Inside(&triangles[i], x, y))
                return true;
        }
        return false;
    }
};

float DistanceToPath(const std::vector<cVector2>& points, float x, float y)
{
    float best = 1e9f;
    for (size_t i = 0; i + 1 < points.size(); ++i)
    {
        const float dx = points[i + 1].X - points[i].X, dy = points[i + 1].Y - points[i].Y;
        float t = ((x - points[i].X) * dx + (y - points[i].Y) * dy) / (dx * dx + dy * dy);
        t = std::fmax(0.0f, std::fmin(1.0f, t));
        best = std::fmin(best, std::hypot(x - points[i].X - t * dx, y - points[i].Y - t * dy));
    }
    return best;
}
} // namespace

TEST_F(PolylineDraw, FewerThanTwoPointsDrawNothingAndTwoDrawOneCappedSegment)
{
    const cVector2 points[2] = {{10, 10}, {50, 10}};
    const cPolylineOptions options;
    DrawPolylineAA(*list, points, 0, 0xff0000ff, 2.0f, options);
    DrawPolylineAA(*list, points, 1, 0xff0000ff, 2.0f, options);
    EXPECT_TRUE(Triangles().empty());

    list->depth = 0.3f;
    DrawPolylineAA(*list, points, 2, 0xff0000ff, 2.0f, options);
    const auto triangles = Triangles();
    EXPECT_EQ(triangles.size(), 6u * 3 + 2 * 4 * 3) << "body of six triangles and two caps of four";
    float minX = 1e9f, maxX = -1e9f, maxOpaqueY = 0;
    for (const auto& v : triangles)
    {
        EXPECT_EQ(v.z, 0.3f);
        EXPECT_TRUE((v.colour >> 24) == 0 || (v.colour >> 24) == 0xff);
        EXPECT_EQ(v.colour & 0xffffff, 0x0000ffu);
        minX = std::fmin(minX, v.x);
        maxX = std::fmax(maxX, v.x);
        if (v.colour >> 24)
            maxOpaqueY = std::fmax(maxOpaqueY, v.y);
    }
    EXPECT_FLOAT_EQ(minX, 9.0f) << "a feathered butt fades one pixel beyond the end";
    EXPECT_FLOAT_EQ(maxX, 51.0f);
    EXPECT_FLOAT_EQ(maxOpaqueY, 10.38f) << "the core is 0.76 wide";
}

TEST_F(PolylineDraw, ThinLinesTakeAlphaFromTheirWidth)
{
    const cVector2 points[2] = {{10, 10}, {50, 30}};
    DrawPolylineAA(*list, points, 2, 0xff00ff00, 0.5f, cPolylineOptions());
    for (const auto& v : Triangles())
        EXPECT_TRUE((v.colour >> 24) == 0 || (v.colour >> 24) == 127) << std::hex << v.colour;
}

TEST_F(PolylineDraw, JoinsAndCapsCoverThePathWithoutGapsOrSpikes)
{
    const std::vector<std::vector<cVector2>> paths = {
        {{10, 10}, {50, 10}, {90, 10}},                        // straight on
        {{10, 10}, {50, 10}, {50, 50}},                        // right angle
        {{10, 50}, {50, 10}, {90, 50}, {130, 10}},             // zigzag
        {{10, 10}, {60, 12}, {10, 14}},                        // sharp turn
        {{10, 40}, {30, 35}, {50, 20}, {70, 18}, {90, 30}},    // a curve
    };
    for (ePolylineJoin join : {kPolylineJoinMitre, kPolylineJoinBevel, kPolylineJoinRound})
        for (float width : {1.0f, 2.0f, 6.0f})
            for (const auto& path : paths)
            {
                cPolylineOptions options;
                options.join = join;
                options.cap = join == kPolylineJoinRound ? kPolylineCapRound : kPolylineCapFeatheredButt;
                DrawPolylineAA(*list, path.data(), int(path.size()), 0xffffffff, width, options);
                const auto triangles = Triangles();
                float core, feather;
                GetCoreAndFeather(width, core, feather);
                // Every point of the path is drawn.
                for (size_t i = 0; i + 1 < path.size(); ++i)
                    for (float s = 0; s <= 1.0f; s += 0.05f)
                    {
                        const float x = path[i].X + (path[i + 1].X - path[i].X) * s;
                        const float y = path[i].Y + (path[i + 1].Y - path[i].Y) * s;
                        EXPECT_TRUE(Covered(triangles, x, y))
                            << "gap at " << x << "," << y << " join " << join << " width " << width;
                    }
                // Nothing reaches far from it, apart from a mitre's corner.
                const float reach = join == kPolylineJoinMitre ? 8.0f * (core + feather) : core + feather + 1.5f;
                for (const auto& v : triangles)
                    EXPECT_LE(DistanceToPath(path, v.x, v.y), reach)
                        << "spike at " << v.x << "," << v.y << " join " << join << " width " << width;
            }
}

TEST_F(PolylineDraw, AStraightContinuationHasNoJointPieceAndAFoldIsTwoSegments)
{
    cPolylineOptions options;
    options.join = kPolylineJoinMitre;
    const cVector2 straight[3] = {{10, 10}, {30, 10}, {50, 10}};
    DrawPolylineAA(*list, straight, 3, 0xffffffff, 2.0f, options);
    const size_t plain = Triangles().size();
    EXPECT_EQ(plain, 2u * 18 + 2u * 12) << "two legs of core and feather and two caps";

    const cVector2 corner[3] = {{10, 10}, {30, 10}, {30, 30}};
    DrawPolylineAA(*list, corner, 3, 0xffffffff, 2.0f, options);
    EXPECT_EQ(Triangles().size(), plain + 18) << "a mitre adds core and feather";
    options.join = kPolylineJoinBevel;
    DrawPolylineAA(*list, corner, 3, 0xffffffff, 2.0f, options);
    EXPECT_EQ(Triangles().size(), plain + 9) << "a bevel adds one core triangle and a band";

    // Folding straight back: no spike beyond the turning point.
    options.join = kPolylineJoinMitre;
    const cVector2 fold[3] = {{10, 10}, {40, 10}, {10, 10}};
    DrawPolylineAA(*list, fold, 3, 0xffffffff, 2.0f, options);
    for (const auto& v : Triangles())
        EXPECT_LE(v.x, 40.0f);
}

TEST_F(PolylineDraw, CapsEndTheLineWhereTheirKindSays)
{
    const cVector2 points[2] = {{10, 10}, {50, 10}};
    const struct
    {
        ePolylineCap cap;
        float reach; // how far the drawing goes beyond each end
    } cases[] = {
        {kPolylineCapFeatheredButt, 1.0f},
        {kPolylineCapButt, 0.0f},
        {kPolylineCapSquare, 0.38f + 1.08f},
        {kPolylineCapRound, 0.38f + 1.08f},
    };
    for (const auto& c : cases)
    {
        cPolylineOptions options;
        options.cap = c.cap;
        DrawPolylineAA(*list, points, 2, 0xffffffff, 2.0f, options);
        float minX = 1e9f, maxX = -1e9f;
        for (const auto& v : Triangles())
        {
            minX = std::fmin(minX, v.x);
            maxX = std::fmax(maxX, v.x);
        }
        EXPECT_NEAR(minX, 10.0f - c.reach, 0.02f) << "cap " << c.cap;
        EXPECT_NEAR(maxX, 50.0f + c.reach, 0.02f) << "cap " << c.cap;
    }
}

TEST_F(PolylineDraw, ThinHalvesMeetAtTheMiddlePointWithoutFadingThere)
{
    // A fade at every inner point would dot a thin line; only the line's own
    // ends are capped, and a round join closes the corner with round ends.
    const cVector2 corner[3] = {{10, 10}, {30, 10}, {30, 30}};
    for (ePolylineJoin join : {kPolylineJoinBevel, kPolylineJoinRound})
    {
        cPolylineOptions options;
        options.join = join;
        DrawPolylineAA(*list, corner, 3, 0xffffffff, 1.0f, options);
        const auto triangles = Triangles();
        if (join == kPolylineJoinBevel)
        {
            EXPECT_EQ(triangles.size(), 2u * (6 + 4) * 3) << "two bodies and the two end caps";
        }
        // The core of each half runs solid up to the middle point.
        for (const cVector2 p : {cVector2{29.6f, 10}, cVector2{30, 10.4f}})
        {
            bool solid = false;
            for (size_t i = 0; i + 2 < triangles.size() && !solid; i += 3)
                solid = (triangles[i].colour >> 24) && (triangles[i + 1].colour >> 24) &&
                        (triangles[i + 2].colour >> 24) && Inside(&triangles[i], p.X, p.Y);
            EXPECT_TRUE(solid) << p.X << "," << p.Y << " join " << join;
        }
    }
}
