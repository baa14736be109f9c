#include "render/DrawListFixture.h"

#include "render/TextBatch.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{
const cVector2 kUV0 = {0.1f, 0.2f};
const cVector2 kUV1 = {0.3f, 0.4f};
const cRect kRect = {10, 20, 50, 60};

} // namespace

using DrawList = DrawListFixture;

TEST_F(DrawList, ShapesAreSubmittedAtAMaterialChangeAndTextAfterTheShapesPendingAtItsFlush)
{
    list->Begin();
    list->DrawQuad(kRect, kUV0, kUV1, 0xff0000ff, 0);
    list->DrawTextSized(0, 0, 0xffffffff, 0x20, "Hi", -1);
    list->currentMaterial = plain;
    list->DrawQuad(kRect, kUV0, kUV1, 0xff00ff00, 0);
    ASSERT_EQ(renderer.draws.size(), 1u) << "the first quad goes at the material change";
    EXPECT_EQ(renderer.draws[0].vertexCount, 4u);
    EXPECT_EQ(renderer.draws[0].texture, colourAtlas);
    list->End();

    // The second quad before the text, the text last (two glyphs).
    ASSERT_EQ(renderer.draws.size(), 3u);
    EXPECT_EQ(renderer.draws[1].vertexCount, 4u);
    EXPECT_EQ(renderer.draws[1].texture, plainAtlas);
    EXPECT_EQ(renderer.draws[1].blendMode, kBlendMultiply);
    EXPECT_EQ(renderer.draws[2].vertexCount, 8u);
    EXPECT_EQ(renderer.draws[2].indices.size(), 12u);
    EXPECT_EQ(list->currentMaterial, plain) << "the text flush puts the current material back";
    EXPECT_FALSE(list->IsInFrame());
    EXPECT_EQ(renderer.projectionStack.Count(), 1) << "the frame's projection was popped";
}

TEST_F(DrawList, ClipMatrixAndDirectDrawsFlushShapesThenText)
{
    const cVertexIntXY direct[2] = {{0, 0}, {5, 5}};
    const std::vector<std::function<void()>> stateChanges = {
        [&] { list->PushClipRect({0, 0, 100, 100}); },
        [&] { list->PushMatrix(cMatrix44{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {5, 5, 0, 1}}); },
        [&] { list->DrawDirect(kPrimitiveLines, cVertexIntXY::kFormat, direct, 2); },
    };
    for (size_t change = 0; change < stateChanges.size(); ++change)
    {
        renderer.draws.clear();
        renderer.calls.clear();
        list->Begin();
        list->DrawTextSized(0, 0, 0xffffffff, 0x20, "T", -1);
        list->FillRect(kRect, 0xff00ff00);
        stateChanges[change]();
        ASSERT_GE(renderer.draws.size(), 2u) << change;
        EXPECT_EQ(renderer.draws[0].vertexCount, 4u) << "the shape first";
        EXPECT_EQ(renderer.draws[0].texture, colourAtlas) << change;
        EXPECT_EQ(renderer.draws[1].vertexCount, 4u) << "the glyph second";
        EXPECT_EQ(list->GetTextBatch().GetPendingGlyphs(), 0u);
        EXPECT_EQ(list->GetVertexBatch().GetVertexCount(), 0u);
        if (change == 0)
            list->PopClipRect();
        if (change == 1)
            list->PopMatrix();
        list->End();
    }
    EXPECT_EQ(renderer.viewStack.Count(), 1);
    EXPECT_FALSE(renderer.scissorEnabled);
}

TEST_F(DrawList, PoppingTheLastClipDisablesTheScissorAndNestedClipsShrink)
{
    renderer.SetScreenSize(200, 200);
    list->Begin();
    list->PushClipRect({0, 0, 100, 100});
    list->PushClipRect({50, 50, 200, 200});
    EXPECT_TRUE(renderer.scissorEnabled);
    EXPECT_EQ(renderer.scissor.x, 50);
    EXPECT_EQ(renderer.scissor.y, 100);
    EXPECT_EQ(renderer.scissor.width, 50);
    EXPECT_EQ(renderer.scissor.height, 50);
    list->PopClipRect();
    EXPECT_EQ(renderer.scissor.width, 100);
    list->PopClipRect();
    EXPECT_FALSE(renderer.scissorEnabled);
    {
        cScopedClipRect scoped(*list, {0, 0, 10, 10});
        EXPECT_TRUE(renderer.scissorEnabled);
    }
    EXPECT_FALSE(renderer.scissorEnabled);
    list->End();
}

// Layers and scrolled panels move within whatever moved their container.
TEST_F(DrawList, TransformsComposeWithTheViewAndMovedClipsFollowIt)
{
    renderer.SetScreenSize(200, 200);
    list->Begin();
    list->PushMatrix(cMatrix44{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {5, 5, 0, 1}});
    list->PushTransform(cMatrix44{{2, 0, 0, 0}, {0, 2, 0, 0}, {0, 0, 1, 0}, {10, 0, 0, 1}});
    const cMatrix44& view = renderer.viewStack.Top();
    EXPECT_FLOAT_EQ(view.Row0.X, 2);
    EXPECT_FLOAT_EQ(view.Row3.X, 15);
    EXPECT_FLOAT_EQ(view.Row3.Y, 5);

    list->FillRect(kRect, 0xff00ff00);
    EXPECT_TRUE(list->PushMovedClipRect({0, 0, 50, 50}, {0, 0, 60, 200}));
    EXPECT_EQ(renderer.draws.size(), 1u) << "what was drawn before the clip is flushed";
    EXPECT_NEAR(renderer.scissor.x, 15, 0.001f);
    EXPECT_NEAR(renderer.scissor.width, 45, 0.001f) << "within the bounds";
    EXPECT_NEAR(renderer.scissor.y, 200 - 55, 0.001f);
    EXPECT_NEAR(renderer.scissor.height, 50, 0.001f);
    list->PopClipRect();
    list->PopMatrix();
    EXPECT_FLOAT_EQ(renderer.viewStack.Top().Row3.X, 5);
    list->PopMatrix();
    list->End();
    EXPECT_EQ(renderer.viewStack.Count(), 1);
    EXPECT_FALSE(renderer.scissorEnabled);
}

TEST_F(DrawList, QuadOrientationChoosesTheTextureCorners)
{
    struct cCase
    {
        int orientation;
        cVector2 uv[4]; // top-left, top-right, bottom-left, bottom-right
    };
    const cCase cases[] = {
        {0, {{0.1f, 0.2f}, {0.3f, 0.2f}, {0.1f, 0.4f}, {0.3f, 0.4f}}},
        {-1, {{0.3f, 0.2f}, {0.3f, 0.4f}, {0.1f, 0.2f}, {0.1f, 0.4f}}},
        {1, {{0.1f, 0.4f}, {0.1f, 0.2f}, {0.3f, 0.4f}, {0.3f, 0.2f}}},
        {2, {{0.1f, 0.4f}, {0.1f, 0.2f}, {0.3f, 0.4f}, {0.3f, 0.2f}}},
        {5, {{0.1f, 0.4f}, {0.1f, 0.2f}, {0.3f, 0.4f}, {0.3f, 0.2f}}},
    };
    for (const cCase& c : cases)
    {
        renderer.draws.clear();
        list->DrawQuad(kRect, kUV0, kUV1, 0x80402010, c.orientation);
        list->FlushVertexBatch();
        ASSERT_EQ(renderer.draws.size(), 1u);
        const float x[4] = {10, 50, 10, 50}, y[4] = {20, 20, 60, 60};
        for (int i = 0; i < 4; ++i)
        {
            EXPECT_EQ(V(0, i).x, x[i]);
            EXPECT_EQ(V(0, i).y, y[i]);
            EXPECT_EQ(V(0, i).z, 0.05f);
            EXPECT_EQ(V(0, i).colour, 0x80402010u);
            EXPECT_EQ(V(0, i).u, c.uv[i].X) << "orientation " << c.orientation << " corner " << i;
            EXPECT_EQ(V(0, i).v, c.uv[i].Y) << "orientation " << c.orientation << " corner " << i;
        }
        EXPECT_EQ(renderer.draws[0].indices, (std::vector<uint16_t>{0, 1, 2, 3, 1, 2}));
    }
}

TEST_F(DrawList, ShapesShareOneIndexedBatchWithIndicesRelativeToTheirBaseVertex)
{
    const float corners[8] = {0, 10, 0, 10, 0, 0, 10, 10};
    list->DrawQuad(kRect, kUV0, kUV1, 1, 0);
    list->DrawGradientQuad(kRect, kUV0, kUV1, 1, 2, 3, 4);
    list->DrawFreeQuad(corners, kUV0, kUV1, 5);
    list->FlushVertexBatch();
    ASSERT_EQ(renderer.draws.size(), 1u);
    const auto& draw = renderer.draws[0];
    EXPECT_EQ(draw.vertexCount, 12u);
    EXPECT_EQ(draw.indices, (std::vector<uint16_t>{0, 1, 2, 3, 1, 2, 4, 5, 6, 7, 5, 6, 8, 9, 10, 11, 9, 10}));
    EXPECT_EQ(V(0, 5).colour, 2u);
    EXPECT_EQ(V(0, 6).colour, 3u);
    EXPECT_EQ(V(0, 9).x, 10.0f);
    EXPECT_EQ(V(0, 10).y, 10.0f);
}

TEST_F(DrawList, NinePatchVerticesAndIndexOrder)
{
    // A 30 x 20 sprite at (100, 50) whose stretchable part leaves margins of
    // 4 left, 3 top, 6 right and 5 bottom.
    const cAtlasSprite sprite = {0.0f, 0.0f, 0.3f, 0.2f, 100, 50, 130, 70, 30, 20, 115, 60};
    const cAtlasSprite inner = {0.04f, 0.03f, 0.24f, 0.15f, 104, 53, 124, 65, 20, 12, 114, 59};
    list->DrawNinePatch({0, 0, 100, 80}, &sprite, &inner, 0xffffffff, true);
    list->DrawNinePatch({0, 0, 100, 80}, &sprite, &inner, 0xffffffff, false);
    list->FlushVertexBatch();
    ASSERT_EQ(renderer.draws.size(), 1u);
    const auto& draw = renderer.draws[0];
    ASSERT_EQ(draw.vertexCount, 32u);
    ASSERT_EQ(draw.indices.size(), 54u + 48u);

    const float xs[4] = {0, 4, 94, 100}, ys[4] = {0, 3, 75, 80};
    const float us[4] = {0.0f, 0.04f, 0.24f, 0.3f}, vs[4] = {0.0f, 0.03f, 0.15f, 0.2f};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
        {
            const int vertex = c < 2 ? 2 * r + c : 8 + 2 * r + (c - 2);
            EXPECT_EQ(V(0, vertex).x, xs[c]) << r << "," << c;
            EXPECT_EQ(V(0, vertex).y, ys[r]) << r << "," << c;
            EXPECT_EQ(V(0, vertex).u, us[c]) << r << "," << c;
            EXPECT_EQ(V(0, vertex).v, vs[r]) << r << "," << c;
        }
    const std::vector<uint16_t> withCentre = {
        0, 1, 2, 2, 1, 3, 2, 3, 4, 4, 3, 5, 4, 5, 6, 6, 5, 7,                  // left column
        1, 8, 3, 3, 8, 10, 3, 10, 5, 5, 10, 12, 5, 12, 7, 7, 12, 14,           // middle column
        8, 9, 10, 10, 9, 11, 10, 11, 12, 12, 11, 13, 12, 13, 14, 14, 13, 15}; // right column
    EXPECT_EQ(std::vector<uint16_t>(draw.indices.begin(), draw.indices.begin() + 54), withCentre);
    std::vector<uint16_t> hollow;
    for (size_t i = 0; i < withCentre.size(); ++i)
        if (i < 24 || i >= 30)
            hollow.push_back(uint16_t(withCentre[i] + 16));
    EXPECT_EQ(std::vector<uint16_t>(draw.indices.begin() + 54, draw.indices.end()), hollow)
        << "without the centre the middle patch is left out";
}

TEST_F(DrawList, PatchesWithoutInnerSpriteStretchTheMiddleTexelAndKeepCapsAtFullSize)
{
    const cAtlasSprite sprite = {0.0f, 0.0f, 0.2f, 0.1f, 0, 0, 20, 10, 20, 10, 10, 5};
    list->DrawNinePatch({0, 0, 8, 6}, &sprite, nullptr, 0xffffffff, true);
    list->DrawThreePatchH({0, 0, 100, 10}, &sprite, nullptr, 0xffffffff);
    list->DrawThreePatchV({0, 0, 10, 100}, &sprite, nullptr, 0xffffffff);
    list->FlushVertexBatch();
    ASSERT_EQ(renderer.draws.size(), 1u);
    // Nine-patch in a rect smaller than its margins: the caps keep 10 x 5.
    EXPECT_EQ(V(0, 1).x, 10.0f);
    EXPECT_EQ(V(0, 8).x, -2.0f);
    EXPECT_EQ(V(0, 2).y, 5.0f);
    EXPECT_EQ(V(0, 4).y, 1.0f);
    EXPECT_EQ(V(0, 1).u, 0.1f);
    EXPECT_EQ(V(0, 8).u, 0.1f);
    EXPECT_EQ(V(0, 2).v, 0.05f);

    // Horizontal three-patch: columns top then bottom.
    const float hx[8] = {0, 0, 10, 10, 90, 90, 100, 100};
    const float hu[8] = {0, 0, 0.1f, 0.1f, 0.1f, 0.1f, 0.2f, 0.2f};
    for (int i = 0; i < 8; ++i)
    {
        EXPECT_EQ(V(0, 16 + i).x, hx[i]);
        EXPECT_EQ(V(0, 16 + i).y, i % 2 ? 10.0f : 0.0f);
        EXPECT_EQ(V(0, 16 + i).u, hu[i]);
        EXPECT_EQ(V(0, 16 + i).v, i % 2 ? 0.1f : 0.0f);
    }
    // Vertical three-patch: rows left then right.
    const float vy[8] = {0, 0, 5, 5, 95, 95, 100, 100};
    for (int i = 0; i < 8; ++i)
    {
        EXPECT_EQ(V(0, 24 + i).y, vy[i]);
        EXPECT_EQ(V(0, 24 + i).x, i % 2 ? 10.0f : 0.0f);
    }
    const auto& indices = renderer.draws[0].indices;
    const std::vector<uint16_t> three = {0, 1, 2, 2, 1, 3, 2, 3, 4, 4, 3, 5, 4, 5, 6, 6, 5, 7};
    for (size_t i = 0; i < 18; ++i)
    {
        EXPECT_EQ(indices[54 + i], three[i] + 16);
        EXPECT_EQ(indices[72 + i], three[i] + 24);
    }
}

TEST_F(DrawList, SolidFillKeepsOrSwitchesTheMaterial)
{
    cVector2 uv0, uv1;
    struct cCase
    {
        cMaterial* current;
        cMaterial* drawnWith;
        float u0;
    };
    const cCase cases[] = {
        {texturedColour, texturedColour, 0.01f}, // its own solid-fill sprite
        {untexturedAlpha, untexturedAlpha, 0.11f},
        {fill, fill, 0.11f},
        {plain, fill, 0.11f}, // a texture without a solid-fill sprite
        {untextured, fill, 0.11f},
        {nullptr, fill, 0.11f},
    };
    for (const cCase& c : cases)
    {
        list->currentMaterial = c.current;
        cMaterial* previous = list->BeginSolidFill(uv0, uv1);
        EXPECT_EQ(previous, c.current);
        EXPECT_EQ(list->currentMaterial, c.drawnWith);
        EXPECT_EQ(uv0.X, c.u0);
        list->currentMaterial = previous;

        renderer.draws.clear();
        list->FillRect(kRect, 0xff123456);
        list->DrawNinePatch(kRect, nullptr, nullptr, 0xff123456, true);
        list->FlushVertexBatch();
        ASSERT_EQ(renderer.draws.size(), 1u);
        EXPECT_EQ(renderer.draws[0].vertexCount, 8u) << "a patch without sprite is a filled rect";
        EXPECT_FLOAT_EQ(V(0, 7).u, c.u0 + 0.01f);
        EXPECT_EQ(list->currentMaterial, c.current);
    }
}

TEST_F(DrawList, AShapeThatCanNeverFitIsDroppedAfterWhatWasPendingIsSubmitted)
{
    list->DrawQuad(kRect, kUV0, kUV1, 1, 0);
    std::vector<cVertexXYZColourTex1> vertices(2731, cVertexXYZColourTex1{0, 0, 0, 0, 0, 0});
    std::vector<uint16_t> indices(3, 0);
    list->AppendVertices(vertices.data(), 2731, indices.data(), 3);
    ASSERT_EQ(renderer.draws.size(), 1u);
    EXPECT_EQ(renderer.draws[0].vertexCount, 4u);
    EXPECT_EQ(list->GetVertexBatch().GetVertexCount(), 0u);

    std::vector<uint16_t> tooManyIndices(8193, 0);
    list->AppendVertices(vertices.data(), 3, tooManyIndices.data(), 8193);
    EXPECT_EQ(list->GetVertexBatch().GetVertexCount(), 0u);

    // The largest shape that fits goes out in one draw, with its indices
    // moved past what was pending.
    list->DrawQuad(kRect, kUV0, kUV1, 1, 0);
    list->AppendVertices(vertices.data(), 2730, indices.data(), 3);
    list->FlushVertexBatch();
    ASSERT_EQ(renderer.draws.size(), 3u);
    EXPECT_EQ(renderer.draws[1].vertexCount, 4u) << "a full batch is flushed first";
    EXPECT_EQ(renderer.draws[2].vertexCount, 2730u);
}

TEST_F(DrawList, DirectDrawsPassIntegerVerticesThroughUnchanged)
{
    const cVertexIntXYColour vertices[3] = {{int16_t(0x8000), 0x7fff, 0xff0000ff},
                                            {0x7fff, int16_t(0x8000), 0xff00ff00},
                                            {10, 20, 0xffff0000}};
    const uint16_t indices[3] = {2, 1, 0};
    list->currentMaterial = untexturedAlpha;
    list->DrawDirect(kPrimitiveTriangles, cVertexIntXYColour::kFormat, vertices, 3, indices, 3);
    ASSERT_EQ(renderer.draws.size(), 1u);
    const auto& draw = renderer.draws[0];
    EXPECT_EQ(draw.layout, "cVertexIntXYColour");
    EXPECT_EQ(draw.texture, nullptr) << "the current material was applied";
    EXPECT_EQ(draw.vertices, std::vector<uint8_t>(reinterpret_cast<const uint8_t*>(vertices),
                                                  reinterpret_cast<const uint8_t*>(vertices) + sizeof(vertices)));
    EXPECT_EQ(draw.indices, (std::vector<uint16_t>{2, 1, 0}));

    const cVertexIntXY points[2] = {{int16_t(0x8000), 0}, {0x7fff, 0}};
    list->DrawDirect(kPrimitiveLines, cVertexIntXY::kFormat, points, 2);
    ASSERT_EQ(renderer.draws.size(), 2u);
    EXPECT_FALSE(renderer.draws[1].indexed);
    EXPECT_EQ(renderer.draws[1].Vertex<cVertexIntXY>(0).x, int16_t(0x8000));
    EXPECT_EQ(renderer.draws[1].Vertex<cVertexIntXY>(1).x, 0x7fff);
}

TEST_F(DrawList, ScopeGuardsPutStateBack)
{
    list->depth = 0.25f;
    {
        cScopedMaterial material(*list, plain);
        cScopedDrawListValue depth(*list);
        list->depth = 0.5f;
        EXPECT_EQ(list->currentMaterial, plain);
    }
    EXPECT_EQ(list->currentMaterial, texturedColour);
    EXPECT_EQ(list->depth, 0.25f);
    {
        cScopedMaterial nothing(*list, nullptr);
        list->currentMaterial = fill;
    }
    EXPECT_EQ(list->currentMaterial, fill) << "nothing was saved, nothing is put back";

    renderer.SetDepthFunc(kDepthLessEqual);
    {
        cScopedDepthFunc depthFunc(*list);
        list->FillRect(kRect, 1);
        renderer.SetDepthFunc(kDepthAlways);
    }
    EXPECT_EQ(renderer.depthFunc, kDepthLessEqual);
    EXPECT_EQ(renderer.draws.size(), 1u) << "what was drawn under the changed function went first";
}

TEST_F(DrawList, FormattedTextIsPlacedLikeAlignedText)
{
    list->DrawTextF(100, 50, 12, 0xffffffff, 0x11, "%d%s", 42, "x");
    list->DrawTextF(100, 50, 12, 0xffffffff, 0x11, "%s", "");
    list->FlushText();
    ASSERT_EQ(renderer.draws.size(), 1u);
    ASSERT_EQ(renderer.draws[0].vertexCount, 12u);
    // Three glyphs of 6 pixels at size 12, centred both ways on (100, 50).
    EXPECT_EQ(V(0, 0).x, 91.0f);
    EXPECT_EQ(V(0, 0).y, 44.0f);
    EXPECT_EQ(V(0, 11).x, 109.0f);
    EXPECT_EQ(V(0, 11).y, 56.0f);

    // A text longer than the buffer is cut, not written past it.
    std::string longText(20000, 'x');
    list->DrawTextF(0, 0, 10, 0xffffffff, 0x20, "%s", longText.c_str());
    list->FlushText();
    size_t glyphs = 0;
    for (size_t i = 1; i < renderer.draws.size(); ++i)
        glyphs += renderer.draws[i].vertexCount / 4;
    EXPECT_EQ(glyphs, 16382u);
}
