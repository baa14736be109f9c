#include "render/DrawListFixture.h"

#include "render/AtlasProfiles.h"
#include "render/LineSprites.h"
#include "render/PathStyle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace
{
// A line sprite 4 pixels high: half-thickness 2 at scale 1.
const cAtlasSprite kLine = {0.5f, 0.25f, 0.75f, 0.5f, 0, 0, 8, 4, 8, 4, 4, 2};
constexpr ePolylineJoin kMitre = kPolylineJoinMitre;
constexpr ePolylineJoin kBevel = kPolylineJoinBevel;

std::vector<uint16_t> Slice(const std::vector<uint16_t>& v, size_t from, size_t count)
{
    return {v.begin() + long(from), v.begin() + long(from + count)};
}
} // namespace

using Strokes = DrawListFixture;

TEST(LineSprites, WidthPicksTheSpriteTwoPixelsWider)
{
    struct cCase
    {
        float width;
        int entry;
        float size;
    };
    const cCase cases[] = {
        {0.4f, 7, 3},   {-5.0f, 7, 3}, {1.0f, 7, 3},   {2.0f, 9, 4},   {9.0f, 16, 11},
        {10.0f, 0, 12}, {16.4f, 6, 18}, {16.6f, 8, 22}, {100.0f, 8, 22},
        {std::numeric_limits<float>::quiet_NaN(), 7, 3},
    };
    for (const cCase& c : cases)
    {
        const cAtlasSprite* sprite = GetLineSpriteForWidth(c.width);
        EXPECT_EQ(sprite, &gFillAtlasTable[c.entry]) << c.width;
        EXPECT_EQ(sprite->width, c.size) << c.width;
        EXPECT_EQ(sprite->height, c.size) << c.width;
    }
}

TEST_F(Strokes, ThickLineJointsMitreBevelOrContinue)
{
    struct cCase
    {
        const char* what;
        std::vector<cVector2> points;
        ePolylineJoin join;
        std::vector<uint16_t> joint;
        cVector2 prevEndLeft, prevEndRight, nextStartLeft, nextStartRight;
    };
    const cCase cases[] = {
        {"straight on", {{0, 0}, {10, 0}, {20, 0}}, kMitre, {0, 0, 0}, {10, -2}, {10, 2}, {10, -2}, {10, 2}},
        {"right angle, mitred", {{0, 0}, {10, 0}, {10, 10}}, kMitre, {0, 0, 0}, {12, -2}, {8, 2}, {12, -2}, {8, 2}},
        {"right angle, bevelled", {{0, 0}, {10, 0}, {10, 10}}, kBevel, {1, 4, 2}, {10, -2}, {8, 2}, {12, 0}, {8, 2}},
        {"left turn, bevelled", {{0, 0}, {10, 0}, {10, -10}}, kBevel, {1, 7, 2}, {8, -2}, {10, 2}, {8, -2}, {12, 0}},
        {"turning back is bevelled all the same", {{0, 0}, {10, 0}, {1, 3}}, kMitre, {1, 4, 2}, {10, -2}, {}, {}, {}},
    };
    for (const cCase& c : cases)
    {
        renderer.draws.clear();
        list->DrawThickLineStrip(c.points.data(), int(c.points.size()), c.join, &kLine, 0xff00ff00, 1.0f);
        list->FlushVertexBatch();
        ASSERT_EQ(renderer.draws.size(), 1u) << c.what;
        const auto& draw = renderer.draws[0];
        ASSERT_EQ(draw.vertexCount, 8u) << c.what;
        ASSERT_EQ(draw.indices.size(), 18u) << c.what;
        EXPECT_EQ(Slice(draw.indices, 0, 3), c.joint) << c.what;
        EXPECT_EQ(Slice(draw.indices, 3, 6), (std::vector<uint16_t>{0, 1, 2, 2, 3, 0})) << c.what;
        EXPECT_EQ(Slice(draw.indices, 9, 9), (std::vector<uint16_t>{4, 4, 4, 4, 5, 6, 6, 7, 4})) << c.what;
        const cVector2 expected[4] = {c.prevEndLeft, c.prevEndRight, c.nextStartLeft, c.nextStartRight};
        const int vertex[4] = {1, 2, 4, 7};
        for (int i = 0; i < (c.nextStartLeft.X == 0 && c.nextStartLeft.Y == 0 ? 1 : 4); ++i)
        {
            EXPECT_NEAR(V(0, vertex[i]).x, expected[i].X, 1e-4) << c.what << " vertex " << vertex[i];
            EXPECT_NEAR(V(0, vertex[i]).y, expected[i].Y, 1e-4) << c.what << " vertex " << vertex[i];
        }
        for (int i = 0; i < 8; ++i)
        {
            EXPECT_EQ(V(0, i).u, 0.625f);
            EXPECT_EQ(V(0, i).v, (i % 4 == 0 || i % 4 == 1) ? 0.25f : 0.5f) << "left side v0, right side v1";
        }
    }
}

TEST_F(Strokes, EveryJointOfALongStripIsJoined)
{
    // A staircase of 600 points that turns a right angle at every inner point:
    // more points than one run of the batch takes.
    std::vector<cVector2> stairs;
    for (int i = 0; i < 600; ++i)
        stairs.push_back({float((i + 1) / 2) * 10, float(i / 2) * 10});
    const int segments = int(stairs.size()) - 1;
    for (ePolylineJoin join : {kMitre, kBevel})
    {
        renderer.draws.clear();
        list->DrawThickLineStrip(stairs.data(), int(stairs.size()), join, &kLine, 0xffffffff, 1.0f);
        list->FlushVertexBatch();
        int triangles = 0;
        std::vector<cVector2> corners;
        for (const auto& draw : renderer.draws)
            for (size_t i = 0; i + 2 < draw.indices.size(); i += 3)
            {
                const uint16_t* t = &draw.indices[i];
                if (t[0] == t[1] && t[1] == t[2])
                    continue;
                ++triangles;
                for (int k = 0; k < 3; ++k)
                {
                    const auto& v = draw.Vertex<cVertexXYZColourTex1>(t[k]);
                    corners.push_back({v.x, v.y});
                }
            }
        if (join == 1)
        {
            EXPECT_EQ(triangles, 3 * segments - 1) << "two per segment and one bevel per joint";
            continue;
        }
        EXPECT_EQ(triangles, 2 * segments) << "mitres add no triangle";
        // Both mitre corners of every inner point are drawn.
        for (int i = 1; i < segments; ++i)
            for (const cVector2 corner : {cVector2{stairs[i].X + 2, stairs[i].Y - 2},
                                          cVector2{stairs[i].X - 2, stairs[i].Y + 2}})
            {
                const bool found = std::any_of(corners.begin(), corners.end(), [&](const cVector2& c) {
                    return std::fabs(c.X - corner.X) < 1e-3f && std::fabs(c.Y - corner.Y) < 1e-3f;
                });
                EXPECT_TRUE(found) << "point " << i << " corner " << corner.X << "," << corner.Y;
            }
    }
}

TEST_F(Strokes, SolidThickLinesUseTheLineSpriteOfTheirWidthInTheFillMaterial)
{
    const cVector2 points[2] = {{0, 10}, {100, 10}};
    list->DrawThickLineStripSolid(points, 2, kMitre, nullptr, 0xffffffff, 6.0f);
    list->DrawThickLineStripSolid(points, 1, kMitre, nullptr, 0xffffffff, 6.0f);
    EXPECT_EQ(list->currentMaterial, texturedColour);
    list->DrawThickLineStripSolid(points, 2, kMitre, &kLine, 0xffffffff, 3.0f);
    list->FlushVertexBatch();
    ASSERT_EQ(renderer.draws.size(), 2u);
    EXPECT_EQ(renderer.draws[0].texture, fillAtlas);
    EXPECT_EQ(renderer.draws[0].vertexCount, 4u);
    EXPECT_FLOAT_EQ(V(0, 0).y, 6.0f) << "the 8-pixel sprite of width 6, at scale 1";
    EXPECT_EQ(renderer.draws[1].texture, colourAtlas);
    EXPECT_FLOAT_EQ(renderer.draws[1].Vertex<cVertexXYZColourTex1>(0).y, 4.0f) << "the given sprite at scale 3";
}

TEST_F(Strokes, FilledCurvesShadeTheBandDownToTheRectBottom)
{
    const cVector2 points[3] = {{0, 30}, {50, 10}, {100, 20}};
    const cAtlasSprite sprite = {0.2f, 0.4f, 0.6f, 0.5f, 0, 0, 200, 10, 200, 10, 100, 5};
    list->DrawFilledCurve(points, 3, {0, 0, 100, 50}, &sprite, 0xff0000ff);
    list->DrawFilledCurveClipped(points, 3, {0, 0, 100, 50}, &sprite, 0xff0000ff);
    list->DrawFilledCurve(points, 1, {0, 0, 100, 50}, &sprite, 0xff0000ff);
    list->FlushVertexBatch();
    ASSERT_EQ(renderer.draws.size(), 1u);
    const auto& draw = renderer.draws[0];
    ASSERT_EQ(draw.vertexCount, 12u);
    EXPECT_EQ(Slice(draw.indices, 0, 12), (std::vector<uint16_t>{1, 0, 2, 2, 3, 1, 3, 2, 4, 4, 5, 3}));
    const float ys[6] = {30, 50, 10, 50, 20, 50};
    const float us[3] = {0.2f, 0.4f, 0.6f};
    const float clippedUs[3] = {0.2f, 0.3f, 0.4f}; // the rect is half the sprite's width
    for (int i = 0; i < 6; ++i)
    {
        EXPECT_EQ(V(0, i).x, points[i / 2].X);
        EXPECT_EQ(V(0, i).y, ys[i]);
        EXPECT_NEAR(V(0, i).u, us[i / 2], 1e-6);
        EXPECT_NEAR(V(0, 6 + i).u, clippedUs[i / 2], 1e-6);
        EXPECT_FLOAT_EQ(V(0, i).v, 0.45f);
    }

    renderer.draws.clear();
    list->currentMaterial = plain;
    list->DrawFilledCurve(points, 3, {0, 0, 100, 50}, nullptr, 0xff0000ff);
    EXPECT_EQ(list->currentMaterial, plain);
    list->FlushVertexBatch();
    ASSERT_EQ(renderer.draws.size(), 1u);
    EXPECT_EQ(renderer.draws[0].texture, fillAtlas) << "without a sprite in solid colour";
    EXPECT_FLOAT_EQ(V(0, 0).u, fillSolid.u0);
}

TEST_F(Strokes, PathsDrawInTheirStyle)
{
    const cVector2 points[3] = {{0, 0}, {10, 0}, {10, 10}};
    cPathStyle style;
    style.colour = 0xff00ff00;
    style.width = 2.0f;
    for (ePathMode mode : {kPathNone, kPathHairline})
    {
        style.mode = mode;
        style.colour = mode == kPathNone ? 0xff00ff00 : 0x0000ff00;
        list->DrawPath(points, 3, style);
    }
    style.colour = 0xff00ff00;
    style.mode = kPathHairline;
    list->DrawPath(points, 1, style);
    list->FlushVertexBatch();
    EXPECT_TRUE(renderer.draws.empty()) << "no mode, a transparent colour or a single point draw nothing";

    const struct
    {
        ePathMode mode;
        ePrimitive primitive;
        const char* layout;
        cTexture* texture;
    } cases[] = {
        {kPathHairline, kPrimitiveLines, "cVertexXYZColourTex1", nullptr},
        {kPathPolylineAA, kPrimitiveTriangles, "cVertexXYZColour", nullptr},
        {kPathThickLine, kPrimitiveTriangles, "cVertexXYZColourTex1", fillAtlas},
    };
    for (const auto& c : cases)
    {
        renderer.draws.clear();
        style.mode = c.mode;
        list->DrawPath(points, 3, style);
        EXPECT_EQ(list->currentMaterial, texturedColour);
        list->FlushVertexBatch();
        ASSERT_EQ(renderer.draws.size(), 1u) << c.mode;
        EXPECT_EQ(renderer.draws[0].primitive, c.primitive) << c.mode;
        EXPECT_EQ(renderer.draws[0].layout, c.layout) << c.mode;
        EXPECT_EQ(renderer.draws[0].texture, c.texture) << c.mode;
        EXPECT_EQ(renderer.draws[0].blendMode, kBlendAlpha) << c.mode;
        if (c.mode == kPathHairline)
        {
            EXPECT_EQ(renderer.draws[0].indices, (std::vector<uint16_t>{0, 1, 1, 2}));
        }
    }
}

TEST_F(Strokes, StyledRectOutlinesStartMidEdgeAndFillAfterwards)
{
    cPathStyle style;
    style.mode = kPathHairline;
    style.colour = 0xffffffff;
    struct cCase
    {
        cRect rect;
        int32_t pixelConvention;
        std::vector<cVector2> outline;
    };
    const cCase cases[] = {
        {{0, 0, 20, 20}, -1, {{0, 10}, {-1, 0}, {20, 0}, {20, 20}, {0, 20}, {0, 10}}},
        {{20, 20, 0, 0}, -1, {{0, 10}, {-1, 0}, {20, 0}, {20, 20}, {0, 20}, {0, 10}}},
        {{0, 0, 40, 10}, -1, {{20, 0}, {40, 0}, {40, 10}, {0, 10}, {-1, 0}, {20, 0}}},
        {{0, 0, 40, 10}, 0, {{20, 0}, {40, -1}, {40, 10}, {0, 10}, {0, 0}, {20, 0}}},
    };
    for (const cCase& c : cases)
    {
        renderer.draws.clear();
        renderer.pixelConvention = c.pixelConvention;
        list->DrawStyledRect(style, 0x80ff0000, c.rect);
        list->FlushVertexBatch();
        ASSERT_EQ(renderer.draws.size(), 2u);
        ASSERT_EQ(renderer.draws[0].vertexCount, 6u);
        for (int i = 0; i < 6; ++i)
        {
            EXPECT_EQ(V(0, i).x, c.outline[size_t(i)].X) << i;
            EXPECT_EQ(V(0, i).y, c.outline[size_t(i)].Y) << i;
        }
        EXPECT_EQ(renderer.draws[1].vertexCount, 4u) << "the fill after the outline";
        EXPECT_EQ(V(1, 0).colour, 0x80ff0000u);
        EXPECT_EQ(V(1, 0).x, 0.0f);
    }
}
