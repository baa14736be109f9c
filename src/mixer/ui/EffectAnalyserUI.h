#pragma once
#include <cstdint>
#include <vector>

#include "mixer/ui/EffectUI.h"

class cEffectAnalyser;
class cWidgetButton;

// The analyser's spectrum: its smoothed bins on a logarithmic frequency
// axis against decibels, with a grid and labels, a rubber-band zoom that
// glides there over 15 frames and a double tap back to the full range.
class cEffectAnalyserSpectrum : public cWidget
{
public:
    static constexpr float kLowHz = 10.0f;
    static constexpr float kHighHz = 22000.0f;
    static constexpr float kLowDb = -90.0f;
    static constexpr float kHighDb = 6.0f;
    static constexpr float kGlideStep = 1.0f / 15.0f;
    static constexpr int32_t kColumnStep = 3;

    cEffectAnalyserSpectrum();

    void SetAnalyser(cEffectAnalyser* analyser) { mAnalyser = analyser; }
    uint32_t curveColour = 0xffffffffu;

    // The frequency at a fraction of the width, and where a frequency and
    // a level lie.
    float FrequencyAt(float fraction) const;
    float XOf(float hertz);
    float YOf(float dB);
    // The grid's line positions across a width: cell edges and middles.
    static void GridLines(float length, float cell, std::vector<float>& major, std::vector<float>& minor);
    // The curve of this frame, one point per third column; none while the
    // unit is missing or off.
    const std::vector<cVector2>& BuildCurve();

    float GetLowHz() const { return mRange[0]; }
    float GetHighHz() const { return mRange[1]; }
    float GetLowDb() const { return mRange[2]; }
    float GetHighDb() const { return mRange[3]; }
    bool IsGliding() const { return mProgress > 0.0f; }

    bool Draw(cDrawList& list) override;
    void CancelInput() override { mTouchState = kIdle; }
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;

private:
    enum eTouchState : int32_t
    {
        kIdle = 0,
        kPressed = 1,
        kDragging = 2,
    };

    void GlideTo(float lowHz, float highHz, float lowDb, float highDb);
    void Advance();
    void Zoom();
    void DrawGrid(cDrawList& list);
    cVector2 Clamped(const cVector2& point);
    // The bin value at a column, by interpolation or by the largest bin.
    float ColumnValue(float lowHz, float highHz, float hertzPerBin) const;

    cEffectAnalyser* mAnalyser = nullptr;
    float mRange[4] = {kLowHz, kHighHz, kLowDb, kHighDb};
    float mStart[4] = {};
    float mTarget[4] = {};
    float mProgress = 0.0f;
    int32_t mTouchState = kIdle;
    cVector2 mPress = {0.0f, 0.0f};
    cVector2 mCurrent = {0.0f, 0.0f};
    std::vector<cVector2> mCurve;
};

// The analyser's editor ("AnalyserUI"): "ON" and the spectrum, which it
// feeds with a fresh analysis every frame it draws.
class cEffectAnalyserUI : public cEffectUI
{
public:
    explicit cEffectAnalyserUI(cEffectPackage* package);

    void SetEffect(cAudioModuleBase* effect, int32_t instance) override;
    void OnStateChange() override;
    void OnLayout() override;
    bool Draw(cDrawList& list) override;
    void CancelInput() override {}

    cEffectAnalyserSpectrum* GetSpectrum() const { return mSpectrum; }
    cWidgetButton* GetOnButton() const { return mOn; }

protected:
    ~cEffectAnalyserUI() override;

private:
    cEffectAnalyserSpectrum* mSpectrum = nullptr;
    cWidgetButton* mOn = nullptr;
};
