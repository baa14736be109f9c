#include "instruments/synth/ui/AnalogueSynthPanelPreset.h"

#include <cmath>

#include "audio/AudioEvent.h"
#include "instruments/synth/AnalogueSynth.h"
#include "instruments/synth/SynthParamId.h"
#include "instruments/synth/ui/AnalogueSynthFactories.h"
#include "instruments/synth/ui/AnalogueSynthPresetWrite.h"
#include "instruments/synth/ui/AnalogueSynthSprites.h"
#include "instruments/synth/ui/AnalogueSynthUI.h"
#include "instruments/synth/ui/WidgetBankPreset.h"
#include "project/Project.h"
#include "project/ProjectList.h"
#include "render/AtlasProfiles.h"
#include "render/DrawList.h"
#include "ui/LayoutBuilders.h"
#include "ui/LayoutLinear.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetPanelScroller.h"

namespace
{
constexpr int32_t kLogoSprite = 1; // of the mono atlas
constexpr const char* kButtonNames[cAnalogueSynthPanelPreset::kButtonCount] = {"SINGLE", "MULTI", "COMPARE",
                                                                               "WRITE"};
constexpr int32_t kButtonStyles[cAnalogueSynthPanelPreset::kButtonCount] = {0, 0, 3, 3};
constexpr float kBandMarginMillimetres = 2.0f;
constexpr float kCaptionRoom = 28.0f;

float Round(float value) { return std::floor(value + 0.5f); }

void MarkProjectModified()
{
    cProjectList* projects = cProjectList::GetInstance();
    if (cProject* project = projects ? projects->GetCurrentProject() : nullptr)
        project->SetModified(true);
}
} // namespace

cAnalogueSynthPanelPreset::cAnalogueSynthPanelPreset(cAnalogueSynthUI* owner) : cAnalogueSynthPanel(owner, 0)
{
    mChooser = new cWidgetBankPreset();
    mChooser->changedDelegate.Bind(this, &cAnalogueSynthPanelPreset::OnChooserChanged);
    AddChild(mChooser);
    for (int32_t tag = 0; tag < kButtonCount; ++tag)
    {
        cWidgetButton* button = CreateSynthButton(kButtonPush, kButtonStyles[tag]);
        button->SetName(kButtonNames[tag]);
        button->SetTag(tag);
        button->clickDelegate.Bind(this, &cAnalogueSynthPanelPreset::OnButton);
        AddChild(button);
        mButtons[tag] = button;
    }
    // Single and multi mode are not switched here.
    mButtons[kSingle]->SetVisible(false);
    mButtons[kMulti]->SetVisible(false);
    mButtons[kWrite]->litBackground.state = kImageBlinking;
    mWrite = new cAnalogueSynthPresetWrite(owner);
    AddChild(mWrite);

    mLogo.SetSprites(&gTex8AtlasTable[kLogoSprite], nullptr, nullptr);
    mLogo.colour = SynthColour::kDarkRed;
    BuildFullPage();
    BuildTopBand();
    SetLayout(mFullPage);
}

cAnalogueSynthPanelPreset::~cAnalogueSynthPanelPreset()
{
    // The layout not installed is ours; the widget deletes the other.
    delete (mWide ? mFullPage : mTopBand);
    mChooser->Release();
    for (cWidgetButton* button : mButtons)
        button->Release();
    mWrite->Release();
}

void cAnalogueSynthPanelPreset::BuildFullPage()
{
    mFullPage = new cLayoutLinear(kAxisY, 3);
    AddGapItem(mFullPage, 1.0f);
    auto* row = AddLayoutItem(mFullPage, new cLayoutLinear(kAxisX, 5), kPolicyExpand, kPolicyPref);
    row->stretch.Y = 0.7f;
    AddGapItem(mFullPage, 1.0f);
    AddGapItem(row, 0.25f);
    auto* side = AddLayoutItem(row, new cLayoutLinear(kAxisY, 2), kPolicyFixed, kPolicyFixed);
    auto* buttons = AddLayoutItem(side, new cLayoutLinear(kAxisX, 2), kPolicyFixed, kPolicyFixed);
    buttons->itemSpacing = kCaptionRoom;
    AddWidgetItem(buttons, mButtons[kCompare], kPolicyFixed, kPolicyFixed);
    AddWidgetItem(buttons, mButtons[kWrite], kPolicyFixed, kPolicyFixed);
    cVector2 minimum, size;
    mLogo.GetSize(minimum, size);
    mLogoSlot = new cLayoutItemSpacer(kPolicyFixed, kPolicyFixed, {size.X, kUnitPixels}, {size.Y, kUnitPixels});
    side->AddItem(mLogoSlot);
    AddGapItem(row, 0.05f);
    AddWidgetItem(row, mChooser, kPolicyPref, kPolicyPref);
    AddGapItem(row, 0.25f);
}

void cAnalogueSynthPanelPreset::BuildTopBand()
{
    mTopBand = new cLayoutLinear(kAxisX, 3);
    mTopBand->policy[kAxisY] = kPolicyFixed;
    mTopBand->margins[3] = {MillimetresToPixels(kBandMarginMillimetres), kUnitPixels};
    // The lamp buttons' captions are wider than the lamps.
    mTopBand->itemSpacing = kCaptionRoom;
    mTopBand->margins[0] = {kCaptionRoom * 0.5f, kUnitPixels};
    AddWidgetItem(mTopBand, mButtons[kCompare], kPolicyFixed, kPolicyFixed);
    AddWidgetItem(mTopBand, mButtons[kWrite], kPolicyFixed, kPolicyFixed);
    AddWidgetItem(mTopBand, mChooser, kPolicyExpand, kPolicyPref)->stretch.X = 6.0f;
}

void cAnalogueSynthPanelPreset::SetWide(bool wide)
{
    if (wide != mWide)
    {
        mWide = wide;
        SetLayout(wide ? mTopBand : mFullPage);
        ModifyFlags(kWidgetLayoutDirty, 0, true);
    }
    mChooser->SetSideBySide(wide);
}

void cAnalogueSynthPanelPreset::RefreshEditor()
{
    if (mOwner)
        mOwner->ModifyFlags(kWidgetStateDirty, 0, true);
    else
        ModifyFlags(kWidgetStateDirty, 0, true);
}

void cAnalogueSynthPanelPreset::OnChooserChanged(int32_t id, cWidget*)
{
    PostToModule(kAudioEventSetIntParam, int32_t(MakeSynthParamId(kSynthParamPreset)), id);
    RefreshEditor();
    MarkProjectModified();
}

void cAnalogueSynthPanelPreset::OnButton(int32_t, cWidget* sender)
{
    switch (sender->GetTag())
    {
    case kSingle:
    case kMulti:
        RefreshEditor();
        PostToModule(kAudioEventSetIntParam, int32_t(MakeSynthParamId(kSynthParamMode)), sender->GetTag());
        break;
    case kCompare:
        PostToModule(kAudioEventSetIntParam, int32_t(MakeSynthParamId(kSynthParamCompare)), 0);
        RefreshEditor();
        break;
    case kWrite:
        OpenWriteDialogue();
        break;
    default:
        break;
    }
}

void cAnalogueSynthPanelPreset::OpenWriteDialogue()
{
    CancelInputRecursive(true);
    mWrite->SetVisible(true);
    mWrite->ModifyFlags(kWidgetStateDirty | kWidgetLayoutDirty, 0, true);
}

void cAnalogueSynthPanelPreset::OnLayout()
{
    cWidget* scroller = mOwner ? mOwner->GetScroller() : nullptr;
    const cRect area = scroller ? scroller->GetRect() : GetRect();
    const float centreX = 0.5f * (area.xMin + area.xMax);
    const float centreY = 0.5f * (area.yMin + area.yMax);
    const float left = Round(centreX - 0.5f * cAnalogueSynthPresetWrite::kWidth);
    const float top = Round(centreY - 0.5f * cAnalogueSynthPresetWrite::kHeight);
    const float right = Round(left + cAnalogueSynthPresetWrite::kWidth);
    const float bottom = Round(top + cAnalogueSynthPresetWrite::kHeight);
    mWrite->SetAnchors(kAnchorsAbsoluteRect, left, top, right - left, bottom - top);
    mWrite->ModifyFlags(kWidgetRectAndLayoutDirty, 0, true);
    if (!mWide)
        mLogo.Layout(mLogoSlot->GetRect(), {0.0f, 0.0f});
}

void cAnalogueSynthPanelPreset::OnStateChange()
{
    mWrite->Close();
    WaitForModule();
    const int32_t mode = ReadParamInt(MakeSynthParamId(kSynthParamMode));
    mButtons[kSingle]->value = mode == cAnalogueSynth::kModeSingle ? 1 : 0;
    mButtons[kMulti]->value = mode != cAnalogueSynth::kModeSingle ? 1 : 0;
    mChooser->kind = mode;
    mChooser->SetPresetId(ReadParamInt(MakeSynthParamId(kSynthParamPreset)));
}

bool cAnalogueSynthPanelPreset::Draw(cDrawList& list)
{
    cAnalogueSynthPanel::Draw(list);
    if (!mWide)
    {
        list.FlushVertexBatch();
        cScopedMaterial mono(list, mOwner ? mOwner->GetTextMaterial() : nullptr);
        mLogo.Draw(mLogo.drawRect, list, false);
        list.FlushVertexBatch();
    }
    mButtons[kCompare]->value = ReadParamInt(MakeSynthParamId(kSynthParamCompare)) != 0 ? 1 : 0;
    mButtons[kWrite]->value = ReadParamInt(MakeSynthParamId(kSynthParamModified)) != 0 ? 1 : 0;
    mWrite->SaveWrittenBank();
    return false;
}

bool cAnalogueSynthPanelPreset::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (mWrite->IsVisible())
        return mWrite->HandleTouch(type, touch, captor);
    return cAnalogueSynthPanel::HandleTouch(type, touch, captor);
}
