#include "instruments/synth/ui/AnalogueSynthPanelPerform.h"

#include <strings.h>

#include "instruments/synth/AnalogueSynth.h"
#include "instruments/synth/AnalogueSynthInstrument.h"
#include "instruments/synth/ui/AnalogueSynthPanelKeyboard.h"
#include "instruments/synth/ui/AnalogueSynthPanelMod.h"
#include "instruments/synth/ui/AnalogueSynthSprites.h"
#include "instruments/synth/ui/AnalogueSynthUI.h"
#include "instruments/synth/ui/PitchBendPanel.h"
#include "instruments/synth/ui/WidgetXYPad.h"
#include "render/DrawList.h"
#include "render/Font.h"
#include "render/TextBatch.h"
#include "ui/LayoutBuilders.h"
#include "ui/LayoutLinear.h"
#include "ui/WidgetPanelScroller.h"

namespace
{
constexpr float kCaptionSize = 8.0f;
constexpr float kCaptionGap = 5.0f;
constexpr int32_t kBendIndex = 0;
} // namespace

cAnalogueSynthPanelPerform::cAnalogueSynthPanelPerform(cAnalogueSynthUI* owner) : cAnalogueSynthPage(owner)
{
    mPitchBend = new cPitchBendPanel(owner);
    AddChild(mPitchBend);
    mScroller = new cWidgetPanelScroller();
    mScroller->SetName("KeyboardPanelCtr");
    AddChild(mScroller);
    mMod = new cAnalogueSynthPanelMod(owner);
    mMod->SetName("Mod");
    mMod->GetPitchBend()->SetVisible(false);
    mScroller->AddChild(mMod);
    mKeyboard = new cAnalogueSynthPanelKeyboard(owner, cAnalogueSynthPanelKeyboard::kClipToPages);
    mKeyboard->SetName("Keys");
    mScroller->AddChild(mKeyboard);
    mScroller->JumpToPanel(mMod);

    auto* row = new cLayoutLinear(kAxisX, 2);
    AddWidgetItem(row, mPitchBend, kPolicyFixed, kPolicyFixed);
    AddWidgetItem(row, mScroller, kPolicyPref, kPolicyPref);
    SetLayout(row);
}

cAnalogueSynthPanelPerform::~cAnalogueSynthPanelPerform()
{
    mMod->Release();
    mKeyboard->Release();
    mScroller->Release();
    mPitchBend->Release();
}

void cAnalogueSynthPanelPerform::ShowFirstPanel(bool animate) { mScroller->GoToFirst(animate); }

void cAnalogueSynthPanelPerform::ShowLastPanel(bool animate) { mScroller->GoToLast(animate); }

void cAnalogueSynthPanelPerform::StepBack() { mScroller->ScrollToPrevious(); }

void cAnalogueSynthPanelPerform::StepForward() { mScroller->ScrollToNext(); }

bool cAnalogueSynthPanelPerform::IsAtFirstPanel() const { return mScroller->IsAtFirst(); }

bool cAnalogueSynthPanelPerform::IsAtLastPanel() const { return mScroller->IsAtLast(); }

bool cAnalogueSynthPanelPerform::ShowPanel(const char* name)
{
    for (cWidget* panel = mScroller->GetFirstChild(); panel; panel = panel->GetNext())
        if (strcasecmp(panel->GetName(), name ? name : "") == 0)
        {
            mScroller->JumpToPanel(panel);
            return true;
        }
    return false;
}

const char* cAnalogueSynthPanelPerform::GetCurrentPanelName() const
{
    const cWidget* target = mScroller->GetTargetPanel();
    return target ? target->GetName() : "";
}

void cAnalogueSynthPanelPerform::OnLayout()
{
    // The caption below reads the Mod panel's pads even while the keyboard
    // is on show, when the scroller does not lay the Mod panel out.
    if (mScroller->GetCurrentPanel() == mMod)
        return;
    mMod->UpdateRect();
    mMod->SetLayoutRect(mMod->GetRect());
}

void cAnalogueSynthPanelPerform::FollowModuleBend()
{
    cAnalogueSynth* module = mOwner && mOwner->GetInstrument() ? mOwner->GetInstrument()->GetSynth() : nullptr;
    if (!module || mPitchBend->IsDragging())
        return;
    // Only the bend's bit: the Mod panel takes the others.
    if (!module->TakeChangedBits(1u << kBendIndex))
        return;
    mPitchBend->SetValue(module->GetParamCount() > kBendIndex ? module->GetParamValue(kBendIndex) : 0.0f);
}

bool cAnalogueSynthPanelPerform::Draw(cDrawList& list)
{
    FollowModuleBend();
    // The caption lies on the wheel's panel: drawn after it, not under it.
    DrawChildren(list);
    const cFontHandle font = cFontHandle::CopyWithSize(list.fontHandle, kCaptionSize);
    const float lineHeight = font.sizeEntry ? font.sizeEntry->size : kCaptionSize;
    const cRect& wheel = mPitchBend->GetRect();
    const float top = mMod->GetPad(1)->GetRect().yMin - kCaptionGap - lineHeight;
    list.GetTextBatch().DrawTextAligned(0.5f * (wheel.xMin + wheel.xMax), top, list.depth, font,
                                        SynthColour::kDarkRed, kTextAlignCentreX | kTextAlignTop, "PITCH");
    return true;
}
