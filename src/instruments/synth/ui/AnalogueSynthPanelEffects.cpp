#include "instruments/synth/ui/AnalogueSynthPanelEffects.h"

#include "instruments/synth/AnalogueSynth.h"
#include "instruments/synth/ui/AnalogueSynthSprites.h"
#include "instruments/synth/ui/AnalogueSynthUI.h"
#include "mixer/EffectRegistry.h"
#include "mixer/ui/EffectUI.h"
#include "render/DrawList.h"
#include "ui/LayoutBuilders.h"
#include "ui/LayoutItem.h"
#include "ui/LayoutLinear.h"

namespace
{
constexpr uint32_t kRuleColour = 0xff000000u;
constexpr float kCaptionRoom = 28.0f;
constexpr float kCaptionRise = 20.0f;

float Height(const cRect& rect) { return rect.yMax - rect.yMin; }
float SpriteHeight(int32_t index) { return SynthSprite(index)->height; }
} // namespace

cAnalogueSynthPanelEffects::cAnalogueSynthPanelEffects(cAnalogueSynthUI* owner) : cAnalogueSynthPanel(owner, 0)
{
    BuildLayout();
}

cAnalogueSynthPanelEffects::~cAnalogueSynthPanelEffects()
{
    if (mDrive)
        mDrive->Release();
    if (mChorusDelay)
        mChorusDelay->Release();
}

cEffectUI* cAnalogueSynthPanelEffects::CreateEditor(const char* unit)
{
    cEffectPackage* package = gEffectRegistry ? gEffectRegistry->FindPackage(unit) : nullptr;
    cEffectUI* editor = package ? package->CreateEditor() : nullptr;
    if (editor)
        AddChild(editor);
    return editor;
}

bool cAnalogueSynthPanelEffects::FindEditors()
{
    const bool missing = !mDrive || !mChorusDelay;
    if (!mDrive)
        mDrive = CreateEditor("9TH HARBOR");
    if (!mChorusDelay)
        mChorusDelay = CreateEditor("VELTRIX");
    const bool found = mDrive && mChorusDelay;
    if (missing && found)
        BuildLayout();
    return found;
}

void cAnalogueSynthPanelEffects::BuildLayout()
{
    auto* column = new cLayoutLinear(kAxisY, 5);
    column->margins[2].value = 1.0f;
    mGaps[0] = AddGapItem(column, 1.0f);
    if (mDrive)
        AddWidgetItem(column, mDrive, kPolicyPref, kPolicyFixed);
    mGaps[1] = AddGapItem(column, 1.0f);
    if (mChorusDelay)
        AddWidgetItem(column, mChorusDelay, kPolicyPref, kPolicyFixed);
    mGaps[2] = AddGapItem(column, 1.0f);
    // The widget does not own a layout it is given anew: the one without the
    // editors goes here.
    cLayout* previous = GetLayout();
    SetLayout(column);
    delete previous;
}

void cAnalogueSynthPanelEffects::OnStateChange()
{
    cAnalogueSynth* module = GetModule();
    if (mDrive)
        mDrive->SetEffect(module, kDriveInstance);
    if (mChorusDelay)
        mChorusDelay->SetEffect(module, kChorusDelayInstance);
}

void cAnalogueSynthPanelEffects::DrawTopGap(cDrawList& list)
{
    const cRect gap = mGaps[0]->GetRect();
    const float h = Height(gap);
    if (h < 1.0f)
        return;
    list.FillRect({gap.xMin, gap.yMax - 1.0f, gap.xMax, gap.yMax}, kRuleColour);
    ++mRulesDrawn;
    const float shade = SpriteHeight(kSynthLowerShading);
    if (h - 1.0f <= shade)
        return;
    list.DrawNinePatch({gap.xMin, gap.yMax - 1.0f - shade, gap.xMax, gap.yMax - 1.0f}, SynthSprite(kSynthLowerShading),
                       nullptr, SynthColour::kWhite, true);
    if (h - 1.0f - shade <= kCaptionRoom || !mOwner)
        return;
    mOwner->DrawLabelBox(gap.xMin, gap.yMax - 1.0f - shade - kCaptionRise, list, gap.xMax, "INSERT 1 : WAVESHAPER");
    mFirstCaption = true;
    ++mCaptionsDrawn;
}

void cAnalogueSynthPanelEffects::DrawMiddleGap(cDrawList& list)
{
    const cRect gap = mGaps[1]->GetRect();
    const float h = Height(gap);
    if (h < 2.0f)
        return;
    list.FillRect({gap.xMin, gap.yMin, gap.xMax, gap.yMin + 1.0f}, kRuleColour);
    list.FillRect({gap.xMin, gap.yMax - 1.0f, gap.xMax, gap.yMax}, kRuleColour);
    mRulesDrawn += 2;
    const float upper = SpriteHeight(kSynthUpperShading), lower = SpriteHeight(kSynthLowerShading);
    if (h - 2.0f <= upper + lower)
        return;
    list.DrawNinePatch({gap.xMin, gap.yMin + 1.0f, gap.xMax, gap.yMin + 1.0f + upper}, SynthSprite(kSynthUpperShading),
                       nullptr, SynthColour::kWhite, true);
    list.DrawNinePatch({gap.xMin, gap.yMax - 1.0f - lower, gap.xMax, gap.yMax - 1.0f}, SynthSprite(kSynthLowerShading),
                       nullptr, SynthColour::kWhite, true);
    if (!mFirstCaption || !mOwner)
        return;
    mOwner->DrawLabelBox(gap.xMin, gap.yMax - 1.0f - lower - kCaptionRise, list, gap.xMax, "INSERT 2 : CHORUS/DELAY");
    ++mCaptionsDrawn;
}

void cAnalogueSynthPanelEffects::DrawBottomGap(cDrawList& list)
{
    const cRect gap = mGaps[2]->GetRect();
    const float h = Height(gap);
    if (h < 1.0f)
        return;
    list.FillRect({gap.xMin, gap.yMin, gap.xMax, gap.yMin + 1.0f}, kRuleColour);
    ++mRulesDrawn;
    const float shade = SpriteHeight(kSynthUpperShading);
    if (h - 1.0f > shade)
        list.DrawNinePatch({gap.xMin, gap.yMin + 1.0f, gap.xMax, gap.yMin + 1.0f + shade},
                           SynthSprite(kSynthUpperShading), nullptr, SynthColour::kWhite, true);
}

bool cAnalogueSynthPanelEffects::Draw(cDrawList& list)
{
    cAnalogueSynthPanel::Draw(list);
    mFirstCaption = false;
    mCaptionsDrawn = 0;
    mRulesDrawn = 0;
    DrawTopGap(list);
    DrawMiddleGap(list);
    DrawBottomGap(list);
    return false;
}
