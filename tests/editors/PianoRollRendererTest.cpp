#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "audio/KeyStripView.h"
#include "audio/TestInstrument.h"
#include "audio/Transport.h"
#include "editors/PianoRollRenderer.h"
#include "instruments/synth/AnalogueSynthPackage.h"
#include "mixer/MixingDeskPackage.h"
#include "render/DrawListFixture.h"

namespace
{
// Notes what depth function each draw was made under.
class cDepthRecordingRenderer : public cCaptureRenderer
{
public:
    void DrawArrays(ePrimitive primitive, const cVertexFormat& format, const void* data, uint32_t count) override
    {
        drawDepthFuncs.push_back(depthFunc);
        cCaptureRenderer::DrawArrays(primitive, format, data, count);
    }
    void DrawIndexed(ePrimitive primitive, const cVertexFormat& format, const void* data, uint32_t count,
                     const uint16_t* indices, uint32_t indexCount) override
    {
        drawDepthFuncs.push_back(depthFunc);
        cCaptureRenderer::DrawIndexed(primitive, format, data, count, indices, indexCount);
    }

    std::vector<eDepthFunc> drawDepthFuncs;
};

struct cLabel
{
    std::string text;
    float x, y;
    uint32_t colour;
};

// The key strip of a strip 320 pixels high beside a note area 640 wide,
// drawn into a captured list whose textures stand in for the generated ones.
class PianoRollRendererTest : public DrawListFixture
{
protected:
    PianoRollRendererTest()
        : keys(new cTexture("Textures/PianoRollKeys.pvr", nullptr)),
          rows(new cTexture("Textures/PianoRollBG.pvr", nullptr))
    {
        gRenderer = &depthRenderer;
        list = std::make_unique<cDrawList>(&depthRenderer);
        list->currentMaterial = texturedColour;
        list->fontHandle.Select(10.0f);
        depthRenderer.SetDepthFunc(kDepthGreaterEqual);
        view.strip = {0.0f, 0.0f, 60.0f, 320.0f};
        view.noteArea = {60.0f, 0.0f, 700.0f, 320.0f};
        view.firstTick = 0.0f;
        view.tickSpan = 4096.0f;
        view.gridEndTick = 4096.0f;
    }
    ~PianoRollRendererTest() override
    {
        list.reset();
        depthRenderer.BindTexture(0, nullptr, kSamplingLinear);
        gRenderer = &renderer;
        ReleaseTextureReference(keys);
        ReleaseTextureReference(rows);
    }

    void Draw(float lowest, float span)
    {
        view.lowestNote = lowest;
        view.noteSpan = span;
        cPianoRollRenderer strip;
        strip.Draw(*list, view);
        list->FlushAll();
    }

    std::vector<const cCaptureRenderer::cDraw*> DrawsOf(const cTexture* texture) const
    {
        std::vector<const cCaptureRenderer::cDraw*> found;
        for (const auto& draw : depthRenderer.draws)
            if (draw.texture == texture && draw.layout == "cVertexXYZColourTex1")
                found.push_back(&draw);
        return found;
    }

    // Quads of a texture: their top-left corners.
    std::vector<cVertexXYZColourTex1> QuadsOf(const cTexture* texture) const
    {
        std::vector<cVertexXYZColourTex1> corners;
        for (const auto* draw : DrawsOf(texture))
            for (uint32_t q = 0; q + 3 < draw->vertexCount; q += 4)
                if (draw->Vertex<cVertexXYZColourTex1>(q).u < 32.0f)
                    corners.push_back(draw->Vertex<cVertexXYZColourTex1>(q));
        return corners;
    }

    std::vector<cLabel> Labels() const
    {
        std::vector<cLabel> labels;
        for (const auto& draw : depthRenderer.draws)
        {
            if (draw.layout != "cVertexXYZColourTex1")
                continue;
            for (uint32_t q = 0; q + 3 < draw.vertexCount; q += 4)
            {
                const auto& v = draw.Vertex<cVertexXYZColourTex1>(q);
                if (v.u < 32.0f)
                    continue;
                if (labels.empty() || labels.back().y != v.y)
                    labels.push_back({"", v.x, v.y, v.colour});
                labels.back().text += char(int(v.u));
            }
        }
        return labels;
    }

    std::vector<cVertexXYZColour> Lines() const
    {
        for (const auto& draw : depthRenderer.draws)
            if (draw.primitive == kPrimitiveLines && draw.layout == "cVertexXYZColour")
            {
                std::vector<cVertexXYZColour> lines(draw.vertexCount);
                for (uint32_t i = 0; i < draw.vertexCount; ++i)
                    lines[i] = draw.Vertex<cVertexXYZColour>(i);
                return lines;
            }
        return {};
    }

    cDepthRecordingRenderer depthRenderer;
    cTexture* keys;
    cTexture* rows;
    cKeyStripView view;
};
} // namespace

// Two octaves from C3: three octave lines, the first on the strip's top
// edge less half a pixel; labels "C5", "C4", "C3" just above each line; the
// row of note 60 is C4's.
TEST_F(PianoRollRendererTest, OctavesAreLabelledAboveTheirLines)
{
    Draw(48.0f, 24.0f);
    const std::vector<cVertexXYZColour> lines = Lines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0].x, 60.0f);
    EXPECT_EQ(lines[0].y, 0.0f);
    EXPECT_EQ(lines[1].y, 320.0f);
    EXPECT_EQ(lines[0].colour, 0xff000000u) << "the strip's edge";
    EXPECT_FLOAT_EQ(lines[2].y, -0.5f) << "a view topped by a C";
    EXPECT_EQ(lines[2].x, 0.0f);
    EXPECT_EQ(lines[3].x, 700.0f) << "across the note area";
    EXPECT_EQ(lines[2].colour, 0xff64503cu);
    EXPECT_EQ(lines[2].z, 0.01f);

    const std::vector<cLabel> labels = Labels();
    ASSERT_EQ(labels.size(), 3u) << "the last octave starts half a pixel above the strip's bottom";
    EXPECT_EQ(labels[0].text, "C5");
    EXPECT_EQ(labels[1].text, "C4");
    EXPECT_EQ(labels[2].text, "C3");
    for (const cLabel& label : labels)
    {
        EXPECT_EQ(label.x, 60.0f - 12.0f) << "small labels at two octaves";
        EXPECT_EQ(label.colour, 0xff404040u);
    }
    // Size 6 takes the test font's first size of at least 6, 10 pixels high,
    // centred 4 pixels above the octave line under note 60; glyphs land on
    // whole pixels.
    const float line60 = 320.0f - 320.0f * 12.0f / 24.0f - 0.5f;
    EXPECT_NEAR(labels[1].y, line60 - 4.0f - 5.0f, 0.5f);

    const std::vector<cVertexXYZColourTex1> keyQuads = QuadsOf(keys);
    ASSERT_EQ(keyQuads.size(), 3u) << "one quad per octave down the strip";
    EXPECT_FLOAT_EQ(keyQuads[0].y, -0.5f);
    EXPECT_EQ(keyQuads[0].v, 0.0f);
}

// Zoomed in below an octave and a half, the labels grow and sit in the
// middle of C's row.
TEST_F(PianoRollRendererTest, ZoomedInTheLabelsSitInTheRowOfC)
{
    Draw(55.0f, 12.0f);
    const std::vector<cLabel> labels = Labels();
    ASSERT_FALSE(labels.empty());
    EXPECT_EQ(labels[0].text, "C5");
    EXPECT_EQ(labels[0].x, 60.0f - 17.0f);
    const float octave = 320.0f;
    const float line72 = 320.0f - 320.0f * (72.0f - 55.0f) / 12.0f - 0.5f;
    EXPECT_NEAR(labels[0].y, line72 - octave / 24.0f - 5.0f, 0.5f) << "size 8 takes the 10-pixel size";
}

// E/F lines across the strip only below four octaves; never more than 40
// line vertices however far out the view is zoomed.
TEST_F(PianoRollRendererTest, KeyLinesBelowFourOctavesAndFortyVerticesAtMost)
{
    struct
    {
        float span;
        bool keyLines;
    } cases[] = {{24.0f, true}, {47.9f, true}, {48.0f, false}, {84.0f, false}};
    for (const auto& c : cases)
    {
        depthRenderer.draws.clear();
        Draw(36.0f, c.span);
        const std::vector<cVertexXYZColour> lines = Lines();
        const bool any = std::any_of(lines.begin(), lines.end(),
                                     [](const cVertexXYZColour& v) { return v.colour == 0xffc0c0c0u; });
        EXPECT_EQ(any, c.keyLines) << c.span;
        for (const cVertexXYZColour& v : lines)
        {
            if (v.colour == 0xffc0c0c0u)
            {
                EXPECT_EQ(std::max(lines[0].x, v.x), 60.0f) << "across the strip only";
            }
        }
    }
    // Forty octaves down a tall strip.
    depthRenderer.draws.clear();
    view.strip.yMax = view.noteArea.yMax = 4000.0f;
    Draw(0.0f, 480.0f);
    EXPECT_EQ(Lines().size(), 38u) << "the edge and 18 octave lines, a pair short of the 40";
}

// The rows go up to the grid's end, textured two bars to a repeat; the
// strip's keys and lines are drawn with depth function 8, which is put back.
TEST_F(PianoRollRendererTest, RowsEndAtTheGridAndTheDepthFunctionIsPutBack)
{
    view.firstTick = 1024.0f;
    view.gridEndTick = 3072.0f;
    Draw(48.0f, 24.0f);
    const std::vector<cVertexXYZColourTex1> background = QuadsOf(rows);
    ASSERT_EQ(background.size(), 3u) << "from the octave line above the view down past its bottom";
    EXPECT_FLOAT_EQ(background[0].u, 1024.0f * 0.5f / 1024.0f);
    const auto* draw = DrawsOf(rows)[0];
    EXPECT_FLOAT_EQ(draw->Vertex<cVertexXYZColourTex1>(1).x, 60.0f + 2048.0f / 4096.0f * 640.0f);
    EXPECT_FLOAT_EQ(draw->Vertex<cVertexXYZColourTex1>(1).u, 3072.0f * 0.5f / 1024.0f);
    EXPECT_EQ(draw->Vertex<cVertexXYZColourTex1>(0).z, 0.0f) << "at depth 0";

    ASSERT_EQ(depthRenderer.draws.size(), depthRenderer.drawDepthFuncs.size());
    for (size_t i = 0; i < depthRenderer.draws.size(); ++i)
    {
        const bool background = depthRenderer.draws[i].texture == rows;
        EXPECT_EQ(depthRenderer.drawDepthFuncs[i], background ? kDepthGreaterEqual : kDepthAlways) << i;
    }
    EXPECT_EQ(depthRenderer.depthFunc, kDepthGreaterEqual);
}

// A grid ending before the view gives rows of negative width; the desk's
// and the synthesizer's instruments draw their strips through the renderer;
// without the factory a package draws none.
TEST_F(PianoRollRendererTest, KeyboardPackagesDrawThroughTheRenderer)
{
    view.firstTick = 2048.0f;
    view.gridEndTick = 1024.0f;
    view.lowestNote = 48.0f;
    view.noteSpan = 24.0f;
    SetKeyStripDrawerFactory(&cPianoRollRenderer::Create);
    {
        cMixingDeskPackage desk;
        cInstrument* instrument = desk.CreateInstrument(0);
        ASSERT_NE(desk.GetKeyStripDrawer(), nullptr);
        instrument->DrawKeyStrip(*list, view);
        list->FlushAll();
        EXPECT_EQ(Lines().size(), 14u) << "the edge and three octave lines, each with its E/F line";
        const auto* row = DrawsOf(rows).at(0);
        EXPECT_LT(row->Vertex<cVertexXYZColourTex1>(1).x, row->Vertex<cVertexXYZColourTex1>(0).x);
        desk.DestroyInstrument(instrument);
    }
    {
        cAnalogueSynthPackage kest;
        cInstrument* instrument = kest.CreateInstrument(0);
        depthRenderer.draws.clear();
        instrument->DrawKeyStrip(*list, view);
        list->FlushAll();
        EXPECT_EQ(Labels().size(), 3u);
        EXPECT_EQ(Lines().size(), 14u);
        kest.DestroyInstrument(instrument);
    }
    SetKeyStripDrawerFactory(nullptr);
    cMixingDeskPackage plain;
    EXPECT_EQ(plain.GetKeyStripDrawer(), nullptr);
}
