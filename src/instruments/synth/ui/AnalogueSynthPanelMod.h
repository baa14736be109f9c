#pragma once
#include <cstdint>

#include "instruments/synth/ui/AnalogueSynthPanel.h"
#include "render/FontHandle.h"

class cGenString;
class cPitchBendPanel;
class cWidgetKnob;
class cWidgetLEDCycleButton;
class cWidgetXYPad;
struct cAtlasSprite;
struct cModMatrixRow;

// The caption of a routing: "UNUSED" for one that goes nowhere, else the
// destination's name and its parameter's name.
void FormatModRouting(cGenString& text, const cModMatrixRow& row);

// The live performance controls: a pitch-bend wheel, the KNOB, two XY pads
// and the ACCEL selector that lets the device's motion drive one pad. The
// knob and the pad axes are the patch's performance controllers (module
// parameters 4 to 8), captioned with what the modulation matrix routes them
// to. Moving one sends live events to the module and the sequencer; values
// from elsewhere (MIDI controllers, playback) move the controls the user is
// not holding.
class cAnalogueSynthPanelMod : public cAnalogueSynthPanel
{
public:
    enum : int32_t
    {
        kParamBend = 0,
        kParamPad1X = 4,
        kParamPad1Y = 5,
        kParamPad2X = 6,
        kParamPad2Y = 7,
        kParamKnob = 8,
    };
    static constexpr uint32_t kAccelFlags = 0x40042;

    explicit cAnalogueSynthPanelMod(cAnalogueSynthUI* owner);

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    void OnPadMoved(int32_t index, float value);
    void OnPadTouched(int32_t index, int32_t held);
    void OnKnobChanged(float value, cWidget* sender);
    void OnKnobTouched(int32_t held, cWidget* sender);
    void OnAccelChanged(int32_t value, cWidget* sender);

    cPitchBendPanel* GetPitchBend() const { return mPitchBend; }
    cWidgetLEDCycleButton* GetAccel() const { return mAccel; }
    cWidgetKnob* GetKnob() const { return mKnob; }
    cWidgetXYPad* GetPad(int32_t index) const { return mPads[index & 1]; }
    // "XY PAD 1", or with " - ACCEL" while the motion record drives it.
    const char* GetPadTitle(int32_t index) const;
    bool IsSingleMode() const { return mSingleMode; }

protected:
    ~cAnalogueSynthPanelMod() override;

private:
    void BuildLayout();
    // Takes and clears only the changed bits of controls not held now.
    void FollowModule();
    void FeedMeters();
    void DrawCaptions(cDrawList& list);
    void DrawAxisCaptions(cDrawList& list, int32_t index);
    void DrawLogo(cDrawList& list);

    cWidgetKnob* mKnob = nullptr;
    cPitchBendPanel* mPitchBend = nullptr;
    cWidgetLEDCycleButton* mAccel = nullptr;
    cWidgetXYPad* mPads[2] = {};
    cRect mMarkerRects[2] = {};
    const cAtlasSprite* mLogo = nullptr;
    const cAtlasSprite* mMarker = nullptr;
    cFontHandle mLabelFont;
    bool mSingleMode = true;
};
