#pragma once
#include <cstdint>
#include <memory>

#include "render/VertexLayouts.h"

class cDrawList;
class cMaterial;
class cTriggerPadInstrument;
struct cKeyStripView;

// The piano roll's key strip for pad parts: the pad-row texture over the
// strip, each visible pad's number and name, a separator at every row's top
// edge (brown after every fourth pad) across the strip and the note area,
// and a line down the strip's right edge. The lines are one batch from a
// fixed buffer, so drawing allocates nothing.
class cTriggerPadKeyStrip
{
public:
    static constexpr int32_t kLineVertexCount = 40;
    static constexpr uint32_t kLabelColour = 0x64FFFFFF;
    static constexpr uint32_t kSeparatorColour = 0xFF000000;
    static constexpr uint32_t kGroupSeparatorColour = 0xFF64503C;
    static constexpr uint32_t kEdgeColour = 0xFF6E6E6E;

    // Loads "Textures/PianoRollBGPads.pvr" (none when it is missing).
    cTriggerPadKeyStrip();
    ~cTriggerPadKeyStrip();
    cTriggerPadKeyStrip(const cTriggerPadKeyStrip&) = delete;
    cTriggerPadKeyStrip& operator=(const cTriggerPadKeyStrip&) = delete;

    void Draw(cDrawList& drawList, const cKeyStripView& view, const cTriggerPadInstrument& instrument);

private:
    void AddLine(int32_t& count, float x0, float y0, float x1, float y1, uint32_t colour);

    std::unique_ptr<cMaterial> mMaterial;
    cVertexXYZColour mLines[kLineVertexCount];
};
