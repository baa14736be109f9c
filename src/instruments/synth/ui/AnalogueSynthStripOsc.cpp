#include "instruments/synth/ui/AnalogueSynthStripOsc.h"

#include <algorithm>
#include <cstdio>

#include "audio/AudioEvent.h"
#include "audio/WaveList.h"
#include "instruments/synth/SynthParamId.h"
#include "instruments/synth/ui/AnalogueSynthFactories.h"
#include "instruments/synth/ui/AnalogueSynthSprites.h"
#include "render/DrawList.h"
#include "ui/LayoutBuilders.h"
#include "ui/LayoutItem.h"
#include "ui/LayoutLinear.h"
#include "ui/WidgetSpinButton.h"

namespace
{
constexpr int32_t kWaveField = 0;
constexpr int32_t kTransposeField = 1;
constexpr int32_t kModeIndex = 2;
constexpr int32_t kModeSync = 3;
constexpr uint32_t kSpinStyle = 17;
constexpr int32_t kCentred = 17;
constexpr float kTopMarginMm = 1.5f;

// Without this fixed-size slot the badge would have no layout item.
class cLayoutItemFixed : public cLayoutItem
{
public:
    explicit cLayoutItemFixed(cImage* image, float width) : mImage(image), mWidth(width) {}
    void GetSizePreferences(cSizePreferences* out) override
    {
        cVector2 minimum, natural;
        mImage->GetSize(minimum, natural);
        out->minimum = out->preferred = out->maximum = {mWidth, natural.Y};
        out->policy[0] = out->policy[1] = kPolicyFixed;
    }
    void Apply() override { mImage->Layout(mRect, {0.0f, 0.0f}); }

private:
    cImage* mImage;
    float mWidth;
};
} // namespace

cAnalogueSynthStripOsc::cAnalogueSynthStripOsc(cAnalogueSynthUI* owner, int32_t oscillator)
    : cAnalogueSynthPanel(owner, kSingleGroupOsc), mOscillator(oscillator == 0 ? 0 : 1)
{
    mWaveform = CreateSynthSpin(kSpinStyle);
    mWaveform->SetName("WAVEFORM");
    mWaveform->minimum = mOscillator == 0 ? kWaveSine : kWaveOff;
    mWaveform->maximum = kWaveCount - 1;
    const char* const waveWidth[] = {"xxxxxxxxx"};
    mWaveform->SetLabelWidth(waveWidth, 1);
    mWaveform->valueDelegate.Bind(this, &cAnalogueSynthStripOsc::OnWaveChanged);
    mTranspose = CreateSynthSpin(kSpinStyle);
    mTranspose->SetName("TRANSPOSE");
    mTranspose->minimum = -kHighestTranspose;
    mTranspose->maximum = kHighestTranspose;
    const char* const transposeWidth[] = {" 12 "};
    mTranspose->SetLabelWidth(transposeWidth, 1);
    mTranspose->valueDelegate.Bind(this, &cAnalogueSynthStripOsc::OnTransposeChanged);
    const int32_t badge = mOscillator == 0 ? kSynthOsc1Badge : kSynthOsc2Badge;
    mBadge.SetSprites(SynthSprite(badge), SynthSprite(badge), nullptr);
    mBadge.alignment = kCentred;
    AddChild(mWaveform);
    AddChild(mTranspose);
    BuildLayout();
}

cAnalogueSynthStripOsc::~cAnalogueSynthStripOsc()
{
    mWaveform->Release();
    mTranspose->Release();
}

void cAnalogueSynthStripOsc::BuildLayout()
{
    auto* row = new cLayoutLinear(kAxisX, 8);
    row->margins[1].value = MillimetresToPixels(kTopMarginMm);
    AddGapItem(row, 0.3f);
    const float badgeWidth = float(std::max(SynthSprite(kSynthOsc1Badge)->width, SynthSprite(kSynthOsc2Badge)->width));
    row->AddItem(new cLayoutItemFixed(&mBadge, badgeWidth));
    AddGapItem(row, 0.5f);
    AddWidgetItem(row, mWaveform, kPolicyPref, kPolicyPref);
    AddGapItem(row, 1.0f);
    AddWidgetItem(row, mTranspose, kPolicyPref, kPolicyPref);
    AddGapItem(row, 0.4f);
    SetLayout(row);
}

uint32_t cAnalogueSynthStripOsc::FieldId(int32_t field) const
{
    return MakeSynthParamId(kSynthParamSingle, kSingleGroupOsc, mOscillator, field);
}

void cAnalogueSynthStripOsc::ShowWave(int32_t value)
{
    mWaveform->SetText(value >= 0 && value < kWaveCount ? kWaveNames[value] : "");
    mWaveform->SetValue(value);
}

void cAnalogueSynthStripOsc::ShowTranspose(int32_t value)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%d", value);
    mTranspose->SetText(text);
    mTranspose->SetValue(value);
}

void cAnalogueSynthStripOsc::OnWaveChanged(int32_t value, cWidget*)
{
    ShowWave(value);
    PostToModule(kAudioEventSetIntParam, int32_t(FieldId(kWaveField)),
                 std::clamp(value, mWaveform->minimum, mWaveform->maximum));
}

void cAnalogueSynthStripOsc::OnTransposeChanged(int32_t value, cWidget*)
{
    ShowTranspose(value);
    PostToModule(kAudioEventSetIntParam, int32_t(FieldId(kTransposeField)),
                 std::clamp(value, -kHighestTranspose, kHighestTranspose));
}

void cAnalogueSynthStripOsc::OnStateChange()
{
    ShowWave(ReadParamInt(FieldId(kWaveField)));
    ShowTranspose(ReadParamInt(FieldId(kTransposeField)));
}

bool cAnalogueSynthStripOsc::Draw(cDrawList& list)
{
    if (mOscillator == 1)
    {
        const bool shown = ReadParamInt(MakeSynthParamId(kSynthParamSingle, kSingleGroupOsc, kModeIndex)) != kModeSync;
        if (mWaveform->IsVisible() != shown)
            mWaveform->SetVisible(shown);
    }
    if (GetFlags() & kWidgetRectDirty)
        UpdateRect();
    list.DrawNinePatch(GetRect(), SynthSprite(kSynthOscStripBackground), nullptr, SynthColour::kWhite, true);
    mBadge.Draw(mBadge.drawRect, list, false);
    return false;
}
