#include "editors/QuantizeSettingsUI.h"

#include <algorithm>

#include "base/GenString.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "ui/LayoutItem.h"
#include "ui/LayoutLinear.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetMultiButton.h"
#include "ui/WidgetSpinButton.h"

namespace
{
constexpr uint32_t kSkinStyle = 37; // small square buttons, stretched across
constexpr float kDepth = 0.2f;
constexpr float kTopMargin = 10.0f;
constexpr int kDottedIcon = 186;
constexpr int kTripletIcon = 220;
constexpr int kQuantizeIcon = 222;
constexpr int32_t kFirstType = 1;
constexpr int32_t kLastType = 3;
constexpr int32_t kFullSwing = 100; // percent

constexpr const char* kIntervalLabels[cQuantizeSettings::kIntervalCount] = {"OFF", "1/1", "1/2", "1/4",
                                                                            "1/8", "1/16", "1/32", "1/64"};
constexpr const char* kTypeNames[] = {"None", "Event Position", "Note Length", "Note End"};

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }

int32_t SwingPercent(float swing) { return int32_t(swing * 100.0f + 0.5f); }

cLayoutItem* Gap(int32_t axis, float stretch)
{
    auto* gap = new cLayoutItemSpacer(kPolicyPref, kPolicyPref, cLayoutValue(), cLayoutValue());
    AxisOf(gap->stretch, axis) = stretch;
    return gap;
}

cLayoutItem* Item(cWidget* widget, int32_t policyY = kPolicyPref)
{
    return new cLayoutItemWidget(widget, kPolicyPref, policyY);
}
} // namespace

cQuantizeSettingsUI::cQuantizeSettingsUI(int32_t style) : mStyle(style)
{
    ModifyFlags(kWidgetAbsoluteDepth, 0, false);
    SetDepth(kDepth);

    mInterval = CreateMultiButton("Interval", 4, 2, kMultiSpriteHeight, kSkinStyle);
    for (int32_t i = 0; i < cQuantizeSettings::kIntervalCount; ++i)
        mInterval->items[size_t(i)].text.AssignCStr(kIntervalLabels[i]);
    mInterval->SetFirstItemVisible((style & kShowOff) != 0);
    mInterval->selectionDelegate.Bind(this, &cQuantizeSettingsUI::OnInterval);

    mFeel = CreateMultiButton("", 2, 1, kMultiSpriteHeight | kMultiDeselect, kSkinStyle);
    mFeel->items[0].icon = Sprite(kDottedIcon);
    mFeel->items[1].icon = Sprite(kTripletIcon);
    mFeel->selectionDelegate.Bind(this, &cQuantizeSettingsUI::OnFeel);

    if (style & kTypeSpin)
    {
        mType = CreateSpinButton("Type");
        mType->minimum = kFirstType;
        mType->maximum = kLastType;
        mType->valueDelegate.Bind(this, &cQuantizeSettingsUI::OnType);
    }
    mSwing = CreateSpinButton("Swing");
    mSwing->minimum = 0;
    mSwing->maximum = kFullSwing;
    mSwing->valueDelegate.Bind(this, &cQuantizeSettingsUI::OnSwing);

    if (style & kQuantizeButton)
    {
        mQuantize = CreateButton("Quantize", kButtonPush, kSkinStyle);
        SetButtonIconBeside(mQuantize, Sprite(kQuantizeIcon));
        mQuantize->clickDelegate.Bind(this, &cQuantizeSettingsUI::OnQuantize);
    }

    // The parent holds the controls' references from here on.
    for (cWidget* control : {static_cast<cWidget*>(mInterval), static_cast<cWidget*>(mFeel),
                             static_cast<cWidget*>(mType), static_cast<cWidget*>(mSwing),
                             static_cast<cWidget*>(mQuantize)})
        if (control)
        {
            AddChild(control);
            control->Release();
        }
    BuildLayout();
}

cQuantizeSettingsUI::~cQuantizeSettingsUI() = default;

// The interval (and the type) on the left, the swing and feel (and the
// button) on the right.
void cQuantizeSettingsUI::BuildLayout()
{
    auto* first = new cLayoutLinear(kAxisY, 3);
    first->AddItem(Item(mInterval));
    if (mType)
    {
        first->AddItem(Gap(kAxisY, 2.0f));
        first->AddItem(Item(mType));
    }
    auto* second = new cLayoutLinear(kAxisY, 5);
    second->AddItem(Item(mSwing, kPolicyFixed));
    second->AddItem(Gap(kAxisY, 1.0f));
    second->AddItem(Item(mFeel));
    if (mQuantize)
    {
        second->AddItem(Gap(kAxisY, 2.0f));
        second->AddItem(Item(mQuantize));
    }
    auto* row = new cLayoutLinear(kAxisX, 3);
    row->margins[1].value = kTopMargin;
    row->AddItem(first);
    row->AddItem(Gap(kAxisX, 0.5f));
    row->AddItem(second);
    SetLayout(row);
}

void cQuantizeSettingsUI::SetSettings(const cQuantizeSettings& shown)
{
    settings = shown;
    ModifyFlags(kWidgetStateDirty, 0, false);
}

void cQuantizeSettingsUI::OnStateChange()
{
    // Indexes outside the tables (a damaged song) show as none chosen.
    const bool knownInterval = settings.interval >= 0 && settings.interval < cQuantizeSettings::kIntervalCount;
    mInterval->selectedItem = knownInterval ? settings.interval : -1;
    const bool shaped = settings.type == cQuantizeSettings::kDotted || settings.type == cQuantizeSettings::kTriplet;
    mFeel->selectedItem = shaped ? settings.type - 1 : -1;
    ShowType();
    ShowSwing();
}

void cQuantizeSettingsUI::ShowSwing()
{
    const int32_t percent = SwingPercent(settings.swing);
    cGenStringFixed<16> text;
    if (percent == 0)
        text.AssignCStr("OFF");
    else
        text.Printf("%d%%", int(percent));
    mSwing->SetText(text.CStr());
    mSwing->SetValue(std::clamp(percent, 0, kFullSwing));
    mSwing->SetEnabled(settings.type == cQuantizeSettings::kStraight);
}

void cQuantizeSettingsUI::ShowType()
{
    if (!mType)
        return;
    const int32_t type = std::clamp(settings.on, kFirstType, kLastType);
    mType->SetText(kTypeNames[type]);
    mType->SetValue(type);
}

void cQuantizeSettingsUI::Changed()
{
    if (!mQuantize)
        changeDelegate.Invoke(&settings, this);
}

void cQuantizeSettingsUI::OnInterval(int32_t cell, cWidgetMultiButton*)
{
    if (cell < 0)
        return;
    settings.interval = cell;
    Changed();
}

void cQuantizeSettingsUI::OnFeel(int32_t cell, cWidgetMultiButton*)
{
    settings.type = cell < 0 ? cQuantizeSettings::kStraight : cell + 1;
    mSwing->SetEnabled(settings.type == cQuantizeSettings::kStraight);
    Changed();
}

void cQuantizeSettingsUI::OnSwing(int32_t value, cWidgetSpinButton*)
{
    settings.swing = std::clamp(float(value) * 0.01f, 0.0f, 1.0f);
    ShowSwing();
    Changed();
}

void cQuantizeSettingsUI::OnType(int32_t value, cWidgetSpinButton*)
{
    settings.on = std::clamp(value, kFirstType, kLastType);
    ShowType();
    Changed();
}

void cQuantizeSettingsUI::OnQuantize(int32_t, cWidgetButton*) { changeDelegate.Invoke(&settings, this); }
