#pragma once
#include <cstdint>

#include "instruments/synth/ui/AnalogueSynthPanel.h"
#include "render/Image.h"

// A spring-loaded pitch-bend wheel: a vertical slot whose thumb a drag moves
// between -1 (bottom) and +1 (top). The value goes live to the module and
// the sequencer; letting go springs it back to 0. Every gesture sends a zero
// bend, a touch event (grabbed), its bends, a zero bend and a touch event
// (let go). Untouched, an owner may show the module's bend with SetValue.
class cPitchBendPanel : public cAnalogueSynthPanel
{
public:
    // The wheel takes touches this far beside it.
    static constexpr float kHitMargin = 15.0f;
    // Nothing sent since the last gesture edge.
    static constexpr float kNothingSent = 1000.0f;

    enum eGesture : int32_t
    {
        kGrabbed = 0,
        kLetGo = 1,
        kBend = 2,
    };

    explicit cPitchBendPanel(cAnalogueSynthUI* owner);

    void OnLayout() override;
    bool Draw(cDrawList& list) override;
    void CancelInput() override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;
    void GetSizePreferences(cVector2* minimum, cVector2* preferred) override;

    // Held to -1..1.
    void SetValue(float value);
    float GetValue() const { return mValue; }
    bool IsDragging() const { return mDragging; }
    // Grabbed and let go go to the sequencer; a bend to module and sequencer.
    void PostGesture(int32_t kind);

    const cRect& GetWheelRect() const { return mWheel.layoutRect; }
    const cRect& GetTrackRect() const { return mTrack; }
    // Where the thumb is drawn for the value, and its grey.
    cRect GetThumbRect() const;
    uint32_t GetThumbColour() const;

private:
    void EndGesture();

    cImage mWheel;
    cRect mTrack = {0.0f, 0.0f, 0.0f, 0.0f};
    float mTouchX = 0.0f;
    float mLastY = 0.0f;
    float mLastSent = kNothingSent;
    bool mDragging = false;
    float mValue = 0.0f;
};
