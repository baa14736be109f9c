#pragma once
#include <cstdint>
#include <memory>

#include "audio/KeyStripDrawer.h"
#include "render/VertexLayouts.h"

class cMaterial;

// The part of the piano roll that belongs to a keyboard instrument: the
// piano keys down the strip at the left, labelled at every C, and the note
// rows behind the events, one textured octave at a time, with a line at
// every octave (and, zoomed in, between E and F). Each package that shows a
// keyboard owns one; its instruments hand the piano roll's view straight to
// Draw. Drawing allocates nothing: the lines come from a fixed buffer.
class cPianoRollRenderer : public cKeyStripDrawer
{
public:
    static constexpr int32_t kLineVertexCount = 40;
    static constexpr uint32_t kLabelColour = 0xff404040;
    static constexpr uint32_t kStripEdgeColour = 0xff000000;
    static constexpr uint32_t kOctaveLineColour = 0xff64503c;
    static constexpr uint32_t kKeyLineColour = 0xffc0c0c0;

    // Loads "Textures/PianoRollKeys.pvr" and "Textures/PianoRollBG.pvr"
    // (a missing texture draws untextured).
    cPianoRollRenderer();
    ~cPianoRollRenderer() override;
    cPianoRollRenderer(const cPianoRollRenderer&) = delete;
    cPianoRollRenderer& operator=(const cPianoRollRenderer&) = delete;

    // The factory the application installs for the packages.
    static cKeyStripDrawer* Create();

    void Draw(cDrawList& drawList, const cKeyStripView& view) override;

    const cMaterial* GetKeysMaterial() const { return mKeysMaterial.get(); }
    const cMaterial* GetBackgroundMaterial() const { return mBackgroundMaterial.get(); }

private:
    struct cOctaves;

    void DrawBackground(cDrawList& drawList, const cKeyStripView& view, const cOctaves& octaves);
    void DrawKeys(cDrawList& drawList, const cKeyStripView& view, const cOctaves& octaves);
    void DrawLines(cDrawList& drawList, const cKeyStripView& view, const cOctaves& octaves);
    void AddLine(int32_t& count, float x0, float y, float x1, uint32_t colour);

    std::unique_ptr<cMaterial> mKeysMaterial;
    std::unique_ptr<cMaterial> mBackgroundMaterial;
    cVertexXYZColour mLines[kLineVertexCount];
};
