#pragma once
#include <cstdint>

#include "base/Math.h"
#include "render/Image.h"
#include "ui/Widget.h"

// The shape of an envelope drawn from its strip's knob values: a framed box
// with a filled, outlined line through attack, decay, sustain and release.
// The sustain always takes one time unit; the shape is a picture, not the
// envelope's real time scale. It takes no input.
class cWidgetADSR : public cWidget
{
public:
    static constexpr int32_t kMaxPoints = 6;

    cWidgetADSR();

    // Values 0..1 as the knobs hold them.
    void SetEnvelope(float amount, float attack, float decay, float sustain, float release, bool invert);

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;
    void GetSizePreferences(cVector2* minimum, cVector2* preferred) override;

    int32_t GetPointCount() const { return mPointCount; }
    const cVector2* GetPoints() const { return mPoints; }
    const cRect& GetGraphRect() const { return mGraphRect; }

protected:
    ~cWidgetADSR() override = default;

private:
    void RebuildPoints();

    cImage mFrame;
    cRect mGraphRect = {0.0f, 0.0f, 0.0f, 0.0f};
    float mAmount = 0.0f;
    float mAttack = 0.0f;
    float mDecay = 0.0f;
    float mSustain = 0.0f;
    float mRelease = 0.0f;
    bool mInvert = false;
    cVector2 mPoints[kMaxPoints] = {};
    int32_t mPointCount = 0;
};
