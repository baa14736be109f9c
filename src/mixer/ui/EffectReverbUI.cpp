#include "mixer/ui/EffectReverbUI.h"

#include <algorithm>

#include "mixer/EffectReverb.h"
#include "render/DrawList.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetSpinButton.h"

namespace
{
constexpr uint32_t kSwitchLabelColour = 0xff202020;
constexpr uint32_t kKnobCaptionColour = 0xffdcdcdc;
constexpr uint32_t kMixValueColour = 0xc83232ff;
constexpr uint32_t kPanelColour = 0xff4a4a4a;
constexpr int32_t kLastPreset = cReverbParams::kPresetCount - 1;
constexpr float kNameSize = 16.0f;
constexpr float kSelectorWidth = 80.0f;
} // namespace

cEffectReverbUI::cEffectReverbUI(cEffectPackage* package) : cEffectUI(package)
{
    SetName("ReverbUI");
    mSwitch = CreateEffectButton("ON", kButtonCycle, nullptr, kSwitchLabelColour);
    mSwitch->SetTag(int32_t(cEffectReverb::kParamEnable));
    mSwitch->clickDelegate = cDelegate(this, &cEffectReverbUI::OnSwitch);
    mPreset = CreateSpinButton("");
    mPreset->minimum = 0;
    mPreset->maximum = kLastPreset;
    mPreset->SetTag(int32_t(cEffectReverb::kParamPreset));
    mPreset->valueDelegate = cDelegate(this, &cEffectReverbUI::OnPresetChanged);
    mMix = CreateEffectKnob({"Dry/Wet Mix", kKnobContinuous, 0, 0, nullptr, 0, 0}, kKnobCaptionColour);
    mMix->highlightColour = kMixValueColour;
    mMix->SetTag(int32_t(cEffectReverb::kParamDryWet));
    mMix->valueDelegate = cDelegate(this, &cEffectUI::OnFloatControlChanged);
    for (cWidget* widget : {static_cast<cWidget*>(mSwitch), static_cast<cWidget*>(mPreset), static_cast<cWidget*>(mMix)})
        AddChild(widget);
}

cEffectReverbUI::~cEffectReverbUI()
{
    mSwitch->Release();
    mPreset->Release();
    mMix->Release();
}

bool cEffectReverbUI::IsEffectOn() const
{
    return mEffect && mEffect->GetParamInt(MakeParamId(cEffectReverb::kParamEnable)) != 0;
}

void cEffectReverbUI::OnPresetChanged(int32_t preset, cWidgetSpinButton* selector)
{
    if (IsEffectOn())
        OnIntControlChanged(preset, selector);
}

void cEffectReverbUI::OnSwitch(int32_t on, cWidgetButton* button)
{
    OnIntControlChanged(on, button);
    ModifyFlags(kWidgetStateDirty, 0, false);
}

void cEffectReverbUI::OnStateChange()
{
    if (!mEffect)
        return;
    WaitForEffect();
    mSwitch->SetTag(int32_t(MakeParamId(cEffectReverb::kParamEnable)));
    mPreset->SetTag(int32_t(MakeParamId(cEffectReverb::kParamPreset)));
    mMix->SetTag(int32_t(MakeParamId(cEffectReverb::kParamDryWet)));
    mSwitch->value = IsEffectOn() ? 1 : 0;
    mPreset->SetValue(std::clamp(mEffect->GetParamInt(uint32_t(mPreset->GetTag())), 0, kLastPreset));
    mMix->SetValue(mEffect->GetParamFloat(uint32_t(mMix->GetTag())));
}

// The switch, the display window with the selector at its right, the knob.
void cEffectReverbUI::OnLayout()
{
    const cRect& rect = GetRect();
    const float width = rect.xMax - rect.xMin, height = rect.yMax - rect.yMin;
    PlaceAtOwnSize(mSwitch, 12.0f, height * 0.5f - 16.0f);
    mWindow = {rect.xMin + 90.0f, rect.yMin + 12.0f, rect.xMin + width - 110.0f, rect.yMax - 12.0f};
    Place(mPreset, mWindow.xMax - rect.xMin - kSelectorWidth - 4.0f, 16.0f, kSelectorWidth, height - 32.0f);
    Place(mMix, width - 90.0f, (height - 52.0f) * 0.5f + 6.0f, 52.0f, 52.0f);
}

const char* cEffectReverbUI::GetShownPresetName() const
{
    return IsEffectOn() ? cEffectReverb::GetPresetName(mPreset->GetValue()) : "";
}

// Nothing at all while unbound; the window is dimmed and nameless while off.
bool cEffectReverbUI::Draw(cDrawList& list)
{
    if (!mEffect)
        return true;
    list.FillRect(GetRect(), kPanelColour);
    const bool on = IsEffectOn();
    list.FillRect(mWindow, on ? kWindowOn : kWindowOff);
    if (on)
        list.DrawTextSized((mWindow.xMin + mWindow.xMax - kSelectorWidth) * 0.5f, (mWindow.yMin + mWindow.yMax) * 0.5f,
                           kPresetNameColour, 0x11, GetShownPresetName(), kNameSize);
    return false;
}
