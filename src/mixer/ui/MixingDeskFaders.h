#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ui/LevelMeter.h"
#include "ui/Widget.h"

class cEffectRackUI;
class cMixer;
class cMixerChannel;
class cMixingDeskPanelMixer;
class cWidgetKnob;
class cWidgetSlider;

// The base of the desk's strips: each knows the mixer panel it sits in.
class cMixingDeskStrip : public cWidget
{
public:
    explicit cMixingDeskStrip(cMixingDeskPanelMixer* panel) : mPanel(panel) {}

protected:
    cMixingDeskPanelMixer* mPanel;
};

// One channel's fader strip: the pan knob above the volume slider, a stereo
// meter beside it. The controls move the owning instrument's volume and pan
// parameters through its module's ring (and the song's, which records
// them); a press on the strip selects the channel's insert chain.
class cMixingDeskFader : public cMixingDeskStrip
{
public:
    static constexpr float kUnityValue = 0.79f; // the slider value of 0 dB
    static constexpr float kStatusSeconds = 1.5f;

    cMixingDeskFader(cMixingDeskPanelMixer* panel, int32_t position);

    // -1 the master, 0 and above the mixer's list; the strip reads the
    // channel's values at once.
    void Bind(int32_t position);
    // The controls take the owner's volume and pan where they changed (or
    // always, forced), unless the user holds them.
    void Refresh(bool force);

    void OnVolumeChanged(float value, cWidgetSlider* slider);
    void OnPanChanged(float value, cWidgetKnob* knob);
    void OnControlTouched(int32_t state, cWidget* control);

    int32_t GetPosition() const { return mPosition; }
    cMixerChannel* GetChannel() const { return mChannel; }
    cWidgetSlider* GetSlider() const { return mSlider; }
    cWidgetKnob* GetKnob() const { return mKnob; }
    const cLevelMeter& GetMeter() const { return mMeter; }

    // "Gain = %.1fdB" and the pan texts for a control value.
    static void FormatGain(char* text, int32_t capacity, float value);
    static void FormatPan(char* text, int32_t capacity, float value);

    void OnLayout() override;
    bool Draw(cDrawList& list) override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;

protected:
    ~cMixingDeskFader() override;

private:
    void PostParam(int32_t paramIndex, uint32_t selector, float value);

    int32_t mPosition;
    cMixerChannel* mChannel = nullptr;
    cLevelMeter mMeter;
    cWidgetSlider* mSlider;
    cWidgetKnob* mKnob;
    bool mSliderHeld = false;
    bool mKnobHeld = false;
};

// The row of input faders from the paging position on; one more than the
// strips shown, for the glide between pages.
class cMixingDeskInputFaders : public cMixingDeskStrip
{
public:
    explicit cMixingDeskInputFaders(cMixingDeskPanelMixer* panel) : cMixingDeskStrip(panel) {}

    void SetStripCount(int32_t count);
    void SetPosition(float position, bool force);
    int32_t GetStripCount() const { return int32_t(mFaders.size()) - 1; }
    cMixingDeskFader* GetFader(int32_t index) const { return mFaders[size_t(index)]; }
    float GetStripWidth() const { return mStripWidth; }

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

protected:
    ~cMixingDeskInputFaders() override;

private:
    void PlaceFaders();

    std::vector<cMixingDeskFader*> mFaders;
    int32_t mFirst = 0;
    float mStripWidth = 0.0f;
    float mOffset = 0.0f;
};

// The insert-chain editor of the selected channel.
class cMixingDeskInputInsertFX : public cMixingDeskStrip
{
public:
    explicit cMixingDeskInputInsertFX(cMixingDeskPanelMixer* panel);

    // The master's rack for -1, a list channel's for a valid position, none
    // otherwise.
    void Bind(int32_t position);
    cEffectRackUI* GetChainEditor() const { return mChainEditor; }

    void OnLayout() override;

protected:
    ~cMixingDeskInputInsertFX() override;

private:
    cEffectRackUI* mChainEditor;
};

// The master's fader at the right end of the faders row.
class cMixingDeskOutputFader : public cMixingDeskStrip
{
public:
    explicit cMixingDeskOutputFader(cMixingDeskPanelMixer* panel);

    cMixingDeskFader* GetFader() const { return mFader; }

    void OnStateChange() override;

protected:
    ~cMixingDeskOutputFader() override;

private:
    cMixingDeskFader* mFader;
};
