#include "instruments/pads/ui/TriggerPadKeyStrip.h"

#include <algorithm>
#include <cmath>

#include "audio/KeyStripView.h"
#include "instruments/pads/TriggerPad.h"
#include "instruments/pads/TriggerPadInstrument.h"
#include "render/DrawList.h"
#include "render/Material.h"
#include "render/Texture.h"

namespace
{
constexpr float kFirstNote = 48.0f;
constexpr float kRowV = 0.0625f; // one of the texture's 16 rows
constexpr float kLineDepth = 0.01f;
constexpr float kLabelInset = 4.0f;
constexpr uint32_t kLabelAlignment = 0x10; // left, centred on y
// The texture repeats across the strip and is sampled without smoothing.
constexpr eSampling kRowSampling = eSampling(272);
constexpr uint32_t kOpaqueWhite = 0xFFFFFFFF;

float TextSize(float rowHeight)
{
    if (rowHeight < 15.0f)
        return 6.0f;
    return rowHeight < 25.0f ? 8.0f : 10.0f;
}
} // namespace

cTriggerPadKeyStrip::cTriggerPadKeyStrip() : mMaterial(std::make_unique<cMaterial>(kBlendOff))
{
    mMaterial->sampling = kRowSampling;
    if (cTexture* texture = cTexture::Load("Textures/PianoRollBGPads.pvr", 0))
    {
        mMaterial->SetTexture(texture);
        ReleaseTextureReference(texture);
    }
    for (cVertexXYZColour& vertex : mLines)
        vertex.z = kLineDepth;
}

cTriggerPadKeyStrip::~cTriggerPadKeyStrip() = default;

void cTriggerPadKeyStrip::AddLine(int32_t& count, float x0, float y0, float x1, float y1, uint32_t colour)
{
    if (count + 2 > kLineVertexCount)
        return;
    mLines[count].x = x0, mLines[count].y = y0, mLines[count].colour = colour;
    ++count;
    mLines[count].x = x1, mLines[count].y = y1, mLines[count].colour = colour;
    ++count;
}

// Notes grow upward from the strip's bottom edge, where the lowest visible
// note lies; the texture's rows line up with them (note 48 at v 0).
void cTriggerPadKeyStrip::Draw(cDrawList& drawList, const cKeyStripView& view, const cTriggerPadInstrument& instrument)
{
    const cRect& strip = view.strip;
    const float height = strip.yMax - strip.yMin;
    if (!(view.noteSpan > 0.0f) || !(height > 0.0f))
        return;
    const float rowHeight = height / view.noteSpan;
    const auto noteY = [&](float note) { return strip.yMax - (note - view.lowestNote) * rowHeight; };
    {
        cScopedMaterial material(drawList, mMaterial.get());
        const float topNote = view.lowestNote + view.noteSpan;
        drawList.DrawQuad(strip, {0.0f, (topNote - kFirstNote) * kRowV}, {1.0f, (view.lowestNote - kFirstNote) * kRowV},
                          kOpaqueWhite, 0);
    }
    const cTriggerPadSet& set = instrument.GetPads()->GetActiveSet();
    const float textSize = TextSize(rowHeight);
    int32_t count = 0;
    const int32_t first = std::max(0, int32_t(std::floor(view.lowestNote - kFirstNote)));
    for (int32_t pad = first; pad < cTriggerPadSet::kPadCount; ++pad)
    {
        const float bottom = noteY(kFirstNote + float(pad));
        const float top = noteY(kFirstNote + float(pad + 1));
        if (bottom <= strip.yMin)
            break;
        drawList.DrawTextF(strip.xMin + kLabelInset, 0.5f * (top + bottom), textSize, kLabelColour, kLabelAlignment,
                           "%d. %s", int(pad + 1), set.pads[pad].name.CStr());
        const uint32_t colour = (pad + 1) % 4 == 0 ? kGroupSeparatorColour : kSeparatorColour;
        AddLine(count, strip.xMin, top, view.noteArea.xMax, top, colour);
    }
    AddLine(count, strip.xMax, strip.yMin, strip.xMax, strip.yMax, kEdgeColour);
    cScopedMaterial plain(drawList, drawList.GetUntexturedMaterial());
    drawList.DrawDirect(kPrimitiveLines, cVertexXYZColour::kFormat, mLines, uint32_t(count));
}
