#pragma once
#include "mixer/ui/EffectKnobPanel.h"
#include "ui/LevelMeter.h"

// The compressor's editor ("CompressorUI"): "ON" and "RMS", five knobs
// with their values in decibels, milliseconds or ratio on the status bar,
// and a meter panel of the threshold with the gain reduction over it, the
// input level and the output level, read from the compressor every frame.
class cEffectCompressorUI : public cEffectKnobPanel
{
public:
    // Narrow enough that the five knobs keep apart in a rack column (480 px).
    static constexpr float kMeterPanelWidth = 110.0f;
    static constexpr float kMeterPanelHeight = 36.0f;
    // A bar at rest shows this much.
    static constexpr float kRestLevel = 0.03f;

    enum eBar : int32_t
    {
        kBarThreshold = 0,
        kBarGainReduction = 1,
        kBarInput = 2,
        kBarOutput = 3,
        kBarCount = 4,
    };

    explicit cEffectCompressorUI(cEffectPackage* package);

    void OnLayout() override;
    bool Draw(cDrawList& list) override;

    const cMeterBar& GetBar(int32_t bar) const { return mBars[bar]; }
    const cRect& GetMeterPanel() const { return mMeterPanel; }
    // What each bar showed in the last frame drawn.
    float GetBarLevel(int32_t bar) const { return mLevels[bar]; }

protected:
    bool DescribeKnob(uint32_t parameter, float value, char* text, int32_t capacity) const override;
    float KnobRowLeft() const override { return 100.0f + kMeterPanelWidth; }

private:
    void PlaceMeters();
    void UpdateLevels();

    cRect mMeterPanel = {0.0f, 0.0f, 0.0f, 0.0f};
    cMeterBar mBars[kBarCount];
    float mLevels[kBarCount] = {};
};
