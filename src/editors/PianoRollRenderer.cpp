#include "editors/PianoRollRenderer.h"

#include <cmath>

#include "audio/KeyStripView.h"
#include "audio/Transport.h"
#include "render/DrawList.h"
#include "render/Font.h"
#include "render/Material.h"
#include "render/TextBatch.h"
#include "render/Texture.h"

namespace
{
// Both textures hold one octave, highest note at the top, in the upper three
// quarters of their height; the background covers two bars across.
constexpr float kOctaveV = 0.75f;
constexpr float kBarsPerTextureWidth = 2.0f;
constexpr float kSemitones = 12.0f;
// The key strip's rows blend into the note rows: no smoothing, rows repeat
// down; the background repeats across as well.
constexpr eSampling kKeysSampling = eSampling(256);
constexpr eSampling kBackgroundSampling = eSampling(272);
constexpr float kLineDepth = 0.01f;
constexpr uint32_t kOpaqueWhite = 0xffffffff;
// Below four octaves every octave also shows where E meets F.
constexpr float kKeyLinesBelowSpan = 4.0f * kSemitones;
constexpr float kEFBoundary = 7.0f / 12.0f; // 0.5833333 of an octave below its top
// Two lines more would pass the buffer.
constexpr int32_t kLastLineStart = cPianoRollRenderer::kLineVertexCount - 2;

// Labels: large in the middle of C's row when zoomed in, small just above
// the octave line otherwise.
constexpr float kLargeLabelBelowOctaves = 1.5f;
constexpr float kLargeLabelSize = 8.0f;
constexpr float kLargeLabelInset = 17.0f;
constexpr float kSmallLabelSize = 6.0f;
constexpr float kSmallLabelInset = 12.0f;
constexpr float kSmallLabelRaise = 4.0f;

std::unique_ptr<cMaterial> TexturedMaterial(const char* name, eSampling sampling)
{
    auto material = std::make_unique<cMaterial>(kBlendOff);
    material->sampling = sampling;
    if (cTexture* texture = cTexture::Load(name, 0))
    {
        material->SetTexture(texture);
        ReleaseTextureReference(texture);
    }
    return material;
}
} // namespace

// Where the octaves fall on screen: the octave line of L lies under the
// note 12 x L, the C at or just above the view's top.
struct cPianoRollRenderer::cOctaves
{
    explicit cOctaves(const cKeyStripView& view)
    {
        const float stripHeight = view.strip.yMax - view.strip.yMin;
        count = view.noteSpan / kSemitones;
        height = stripHeight / count;
        top = std::ceil((view.lowestNote + view.noteSpan) / kSemitones);
        lineY = view.strip.yMax - stripHeight * (kSemitones * top - view.lowestNote) / view.noteSpan - 0.5f;
    }

    float count;
    float height;
    float top;
    float lineY;
};

cPianoRollRenderer::cPianoRollRenderer()
    : mKeysMaterial(TexturedMaterial("Textures/PianoRollKeys.pvr", kKeysSampling)),
      mBackgroundMaterial(TexturedMaterial("Textures/PianoRollBG.pvr", kBackgroundSampling))
{
    for (cVertexXYZColour& vertex : mLines)
        vertex.z = kLineDepth;
}

cPianoRollRenderer::~cPianoRollRenderer() = default;

cKeyStripDrawer* cPianoRollRenderer::Create() { return new cPianoRollRenderer(); }

void cPianoRollRenderer::Draw(cDrawList& drawList, const cKeyStripView& view)
{
    if (!(view.noteSpan > 0.0f) || !(view.tickSpan > 0.0f) || !(view.strip.yMax > view.strip.yMin))
        return;
    const cOctaves octaves(view);
    DrawBackground(drawList, view, octaves);
    cScopedDepthFunc depthFunc(drawList);
    depthFunc.Set(kDepthAlways);
    DrawKeys(drawList, view, octaves);
    DrawLines(drawList, view, octaves);
}

// One quad per octave from the top line down, across the note area up to
// the grid's end; the texture repeats every two bars.
void cPianoRollRenderer::DrawBackground(cDrawList& drawList, const cKeyStripView& view, const cOctaves& octaves)
{
    cScopedMaterial material(drawList, mBackgroundMaterial.get());
    cScopedDrawListValue depth(drawList);
    drawList.depth = 0.0f;
    const cRect& area = view.noteArea;
    const float right = area.xMin + (view.gridEndTick - view.firstTick) / view.tickSpan * (area.xMax - area.xMin);
    const float uPerTick = 1.0f / (kBarsPerTextureWidth * gTransport.ticksPerBarFloat.load());
    const cVector2 uv0 = {view.firstTick * uPerTick, 0.0f};
    const cVector2 uv1 = {view.gridEndTick * uPerTick, kOctaveV};
    for (float y = octaves.lineY; y < area.yMax; y += octaves.height)
        drawList.DrawQuad({area.xMin, y, right, y + octaves.height}, uv0, uv1, kOpaqueWhite, 0);
}

// A keyboard octave per row of the strip, each labelled "C" and its octave
// digit (note 60 is C4).
void cPianoRollRenderer::DrawKeys(cDrawList& drawList, const cKeyStripView& view, const cOctaves& octaves)
{
    const cRect& strip = view.strip;
    const bool large = octaves.count < kLargeLabelBelowOctaves;
    const float labelX = strip.xMax - (large ? kLargeLabelInset : kSmallLabelInset);
    float labelCentre = large ? octaves.lineY - octaves.height / 24.0f : octaves.lineY - kSmallLabelRaise;
    const cFontHandle font = cFontHandle::CopyWithSize(drawList.fontHandle, large ? kLargeLabelSize : kSmallLabelSize);
    const float fontHeight = font.IsValid() ? font.sizeEntry->size : 0.0f;

    cScopedMaterial material(drawList, mKeysMaterial.get());
    cScopedDrawListValue depth(drawList);
    drawList.depth = 0.0f;
    char label[3] = {'C', '0', '\0'};
    float y = octaves.lineY;
    for (int32_t octave = int32_t(octaves.top - 0.5f); octave >= 0 && y < strip.yMax; --octave)
    {
        drawList.DrawQuad({strip.xMin, y, strip.xMax, y + octaves.height}, {0.0f, 0.0f}, {1.0f, kOctaveV},
                          kOpaqueWhite, 0);
        label[1] = char('0' + octave % 10);
        if (font.IsValid())
            drawList.GetTextBatch().DrawText(labelX, labelCentre - fontHeight * 0.5f, drawList.depth, font,
                                             kLabelColour, label);
        y += octaves.height;
        labelCentre += octaves.height;
    }
}

void cPianoRollRenderer::AddLine(int32_t& count, float x0, float y, float x1, uint32_t colour)
{
    mLines[count] = {x0, y, kLineDepth, colour};
    mLines[count + 1] = {x1, y, kLineDepth, colour};
    count += 2;
}

// The strip's edge, then an octave line across strip and note area at every
// octave, with the E/F line across the strip when zoomed in; one draw in
// the vertices' own colours.
void cPianoRollRenderer::DrawLines(cDrawList& drawList, const cKeyStripView& view, const cOctaves& octaves)
{
    const cRect& strip = view.strip;
    mLines[0] = {strip.xMax, strip.yMin, kLineDepth, kStripEdgeColour};
    mLines[1] = {strip.xMax, strip.yMax, kLineDepth, kStripEdgeColour};
    int32_t count = 2;
    const bool keyLines = view.noteSpan < kKeyLinesBelowSpan;
    float y = octaves.lineY;
    float yF = octaves.lineY + octaves.height * kEFBoundary;
    while (y < strip.yMax && count < kLastLineStart)
    {
        AddLine(count, strip.xMin, y, view.noteArea.xMax, kOctaveLineColour);
        if (keyLines)
            AddLine(count, strip.xMin, yF, strip.xMax, kKeyLineColour);
        y += octaves.height;
        yF += octaves.height;
    }
    cScopedMaterial plain(drawList, drawList.GetUntexturedMaterial());
    drawList.DrawDirect(kPrimitiveLines, cVertexXYZColour::kFormat, mLines, uint32_t(count));
}
