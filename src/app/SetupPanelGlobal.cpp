#include "app/SetupPanelGlobal.h"

#include <cmath>

#include "app/GlobalSettings.h"
#include "audio/AudioManager.h"
#include "base/Serialise.h"
#include "platform/GlobalSettingValues.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "ui/LayoutBuilders.h"
#include "ui/LayoutLinear.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetSpinButton.h"

namespace
{
// The standard button's height: switch rows and the column-levelling gaps.
constexpr int kStandardButtonSprite = 12;
constexpr float kTopMargin = 18.0f;
constexpr float kSideStretch = 0.15f;
constexpr float kDividerStretch = 0.4f;
constexpr float kEndStretch = 0.1f;

float StandardButtonHeight() { return gTex8888AtlasTable[kStandardButtonSprite].height; }

void AddSpinItem(cLayoutLinear* column, cWidgetSpinButton* spin) { AddWidgetItem(column, spin, kPolicyPref, kPolicyFixed); }

void AddSwitchItem(cLayoutLinear* column, cWidgetButton* button)
{
    cLayoutItemWidget* item = AddWidgetItem(column, button, kPolicyPref, kPolicyPref);
    item->minimum[kAxisY] = {StandardButtonHeight(), kUnitPixels};
    item->maximum[kAxisY] = {StandardButtonHeight(), kUnitPixels};
}
} // namespace

cSetupPanelGlobal::cSetupPanelGlobal()
{
    BuildAlert();
    mKeyWidth = AddSpin("Key Width", 3);
    mKnobControl = AddSpin("Knob Control", 1);
    mSensitivity = AddSpin("Control Sensitivity", 2);
    mBufferLatency = AddSpin("Buffer Latency", 4);
    mAudioQuality = AddSpin("Audio Quality", 2);
    AddSwitch("Lock orientation", kLockOrientation);
    AddSwitch("Stop samples when song stops", kStopSamples);
    AddSwitch("Always start on project page", kStartOnProjectPage);
    AddSwitch("Maximize audio CPU", kDynamicCPUBoost);
    AddSwitch("Play audio when in background", kBackgroundAudio);
    BuildLayout();
    // Nothing on this platform needs them; they keep their stored values.
    for (cWidget* hidden : {static_cast<cWidget*>(mSwitches[kLockOrientation]), static_cast<cWidget*>(mAudioQuality),
                            static_cast<cWidget*>(mSwitches[kDynamicCPUBoost]),
                            static_cast<cWidget*>(mSwitches[kBackgroundAudio])})
        hidden->SetVisible(false);
    ModifyFlags(kWidgetRectAndLayoutDirty, 0, false);
}

cSetupPanelGlobal::~cSetupPanelGlobal()
{
    for (cWidget* widget : {static_cast<cWidget*>(mKeyWidth), static_cast<cWidget*>(mKnobControl),
                            static_cast<cWidget*>(mSensitivity), static_cast<cWidget*>(mBufferLatency),
                            static_cast<cWidget*>(mAudioQuality)})
        widget->Release();
    for (cWidgetButton* button : mSwitches)
        button->Release();
    mBackgroundAudioAlert->Release();
}

void cSetupPanelGlobal::BuildAlert()
{
    mBackgroundAudioAlert = new cWidgetAlert();
    mBackgroundAudioAlert->Reset(kAlertIconOnOK);
    mBackgroundAudioAlert->SetName("Play Audio When In Background");
    mBackgroundAudioAlert->firstLine = "Enabling this feature will increase battery drain when";
    mBackgroundAudioAlert->secondLine = "Quilwright is running in the background.";
    mBackgroundAudioAlert->SetButton(kAlertOK, "OK");
}

cWidgetSpinButton* cSetupPanelGlobal::AddSpin(const char* label, int32_t maximum)
{
    cWidgetSpinButton* spin = CreateSpinButton(label);
    spin->valueDelegate = cDelegate(this, &cSetupPanelGlobal::OnSpinChanged);
    spin->minimum = 0;
    spin->maximum = maximum;
    spin->SetValue(spin->GetValue());
    AddChild(spin);
    return spin;
}

cWidgetButton* cSetupPanelGlobal::AddSwitch(const char* label, int32_t tag)
{
    cWidgetButton* button = CreateToggleButton(label);
    button->SetTag(tag);
    button->clickDelegate = cDelegate(this, &cSetupPanelGlobal::OnToggle);
    AddChild(button);
    mSwitches[tag] = button;
    return button;
}

// Two columns whose rows stay level, the divider between them.
void cSetupPanelGlobal::BuildLayout()
{
    auto* left = new cLayoutLinear(kAxisY, 7);
    AddSpinItem(left, mKeyWidth);
    AddGapItem(left, 1.0f);
    AddSpinItem(left, mKnobControl);
    AddGapItem(left, 1.0f);
    AddSpinItem(left, mSensitivity);
    AddGapItem(left, 1.0f);
    AddSwitchItem(left, mSwitches[kStartOnProjectPage]);

    auto* right = new cLayoutLinear(kAxisY, 7);
    AddSpinItem(right, mBufferLatency);
    AddGapItem(right, 1.0f);
    AddSwitchItem(right, mSwitches[kStopSamples]);
    AddGapItem(right, 1.0f);
    AddFixedGapItem(right, StandardButtonHeight());
    AddGapItem(right, 1.0f);
    AddFixedGapItem(right, StandardButtonHeight());

    auto* row = new cLayoutLinear(kAxisX, 5);
    AddGapItem(row, kSideStretch);
    row->AddItem(left);
    mDivider = AddGapItem(row, kDividerStretch);
    row->AddItem(right);
    AddGapItem(row, kSideStretch);

    auto* outer = new cLayoutLinear(kAxisY, 3);
    AddGapItem(outer, kEndStretch);
    outer->AddItem(row);
    AddGapItem(outer, kEndStretch);
    outer->margins[1] = {kTopMargin, kUnitPixels};
    SetLayout(outer);
}

cRect cSetupPanelGlobal::GetDividerGapRect() const { return mDivider->GetRect(); }

void cSetupPanelGlobal::ShowSettingValue(cWidgetSpinButton* spin, const Base::cEnumTable& names, int32_t value)
{
    spin->SetText(cGlobalSettings::FindName(names, value));
    spin->SetValue(value);
}

void cSetupPanelGlobal::OnStateChange()
{
    const cWidgetManager* ui = cWidgetManager::GetInstance();
    ShowSettingValue(mBufferLatency, cGlobalSettings::GetBufferLatencyNames(), gSettings.bufferLatency);
    ShowSettingValue(mAudioQuality, cGlobalSettings::GetAudioQualityNames(), gSettings.audioQuality);
    ShowSettingValue(mKeyWidth, cGlobalSettings::GetKeyWidthNames(), gSettings.keyWidth);
    ShowSettingValue(mKnobControl, cGlobalSettings::GetKnobControlNames(), ui ? ui->knobControl : 0);
    ShowSettingValue(mSensitivity, cGlobalSettings::GetSensitivityNames(), ui ? ui->sensitivity : 1);
    for (int32_t tag = 0; tag < kSwitchCount; ++tag)
        mSwitches[tag]->value = *SwitchSetting(tag) != 0 ? 1 : 0;
}

int32_t* cSetupPanelGlobal::SwitchSetting(int32_t tag)
{
    switch (tag)
    {
    case kLockOrientation:
        return &gSettings.lockOrientation;
    case kStopSamples:
        return &gSettings.stopSamples;
    case kStartOnProjectPage:
        return &gSettings.startOnProjectPage;
    case kBackgroundAudio:
        return &gSettings.backgroundAudio;
    default:
        return &gSettings.dynamicCPUBoost;
    }
}

void cSetupPanelGlobal::OnSpinChanged(int32_t value, cWidgetSpinButton* spin)
{
    cWidgetManager* ui = cWidgetManager::GetInstance();
    if (spin == mBufferLatency)
    {
        ShowSettingValue(spin, cGlobalSettings::GetBufferLatencyNames(), value);
        gSettings.bufferLatency = value;
        // The audio thread keeps the new depth queued from its next buffer on.
        if (cAudioManager* audio = cAudioManager::Get())
            audio->SetLatencyIndex(value);
    }
    else if (spin == mAudioQuality)
    {
        ShowSettingValue(spin, cGlobalSettings::GetAudioQualityNames(), value);
        gSettings.audioQuality = value;
        if (cAudioManager* audio = cAudioManager::Get())
            audio->SetQuality(value);
    }
    else if (spin == mKeyWidth)
    {
        gSettings.keyWidth = value;
        ShowSettingValue(spin, cGlobalSettings::GetKeyWidthNames(), value);
    }
    else if (spin == mKnobControl)
    {
        if (ui)
            ui->knobControl = value;
        ShowSettingValue(spin, cGlobalSettings::GetKnobControlNames(), value);
    }
    else if (spin == mSensitivity)
    {
        if (ui)
            ui->sensitivity = value;
        ShowSettingValue(spin, cGlobalSettings::GetSensitivityNames(), value);
    }
}

void cSetupPanelGlobal::OnToggle(int32_t lit, cWidgetButton* button)
{
    const int32_t tag = button->GetTag();
    *SwitchSetting(tag) = lit != 0 ? 1 : 0;
    if (tag == kBackgroundAudio && lit != 0)
        mBackgroundAudioAlert->Show(cDelegate());
}

bool cSetupPanelGlobal::Draw(cDrawList& list)
{
    DrawBackground(list);
    const cRect gap = mDivider->GetRect();
    const float x = std::floor((gap.xMin + gap.xMax) * 0.5f + 0.5f);
    list.FillRect({x, gap.yMin, x + 1.0f, gap.yMax}, kDividerColour);
    SetStatusTitle("Global Settings");
    return false;
}
