#include "instruments/pads/ui/TriggerPadUI.h"

#include <algorithm>

#include "audio/AudioEvent.h"
#include "instruments/pads/TriggerPad.h"
#include "instruments/pads/TriggerPadInstrument.h"
#include "instruments/pads/ui/TriggerPadControlPanel.h"
#include "instruments/pads/ui/TriggerPadEditPopup.h"
#include "instruments/pads/ui/TriggerPadPages.h"
#include "instruments/pads/ui/TriggerPadSprites.h"
#include "instruments/pads/ui/TriggerPadWidget.h"
#include "platform/DisplayMetrics.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/Material.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetManager.h"

namespace
{
constexpr float kCaptionSize = 8.0f;
constexpr float kPanelWidthPhone = 160.0f;
constexpr float kPanelWidth = 260.0f;
constexpr float kPanelWidthShare = 0.275f;
constexpr float kBackgroundOverhang = 10.0f;
constexpr float kFrameMargin = 10.0f;

bool IsPhone() { return GetDisplayMetrics().deviceClass == kDeviceClassPhone; }

void Show(cWidget* widget, bool show)
{
    if (widget && widget->IsVisible() != show)
        widget->SetVisible(show);
}
} // namespace

cTriggerPadUI::cTriggerPadUI()
{
    SetName("TriggerPadUI");
    ModifyFlags(kWidgetAcceptsKeys, 0, false);
    mMonoMaterial = gMaterialRegistry ? gMaterialRegistry->Find("TexturedMono") : nullptr;
    mCaptionFont.Select(kCaptionSize);
    mControlPanel = new cTriggerPadControlPanel(this);
    mControlPanel->SetName("PanelCtr");
    AddChild(mControlPanel);
    mPadGrid = new cTriggerPadWidget(this);
    AddChild(mPadGrid);
    if (IsPhone())
    {
        mEditPopup = new cTriggerPadEditPopup(this);
        AddChild(mEditPopup);
        mEditPopup->SetVisible(false);
    }
    // Shown only with an instrument.
    SetVisible(false);
}

// The children go with the widget; this lets go of the builder's holds.
cTriggerPadUI::~cTriggerPadUI()
{
    if (mEditPopup)
        mEditPopup->Release();
    mPadGrid->Release();
    mControlPanel->Release();
    mInstrument = nullptr;
}

cTriggerPad* cTriggerPadUI::GetModule() const { return mInstrument ? mInstrument->GetPads() : nullptr; }

void cTriggerPadUI::SetInstrument(cTriggerPadInstrument* instrument)
{
    if (instrument == mInstrument)
        return;
    if (mInstrument)
    {
        // The pads held down end on the instrument they were played on.
        CancelInput();
        for (cWidget* child = GetFirstChild(); child; child = child->GetNext())
            child->CancelInputRecursive(true);
        if (cWidgetManager* manager = cWidgetManager::GetInstance())
            manager->ReleaseCapture(this);
    }
    mInstrument = instrument;
    SetVisible(instrument != nullptr);
    ModifyFlags(kWidgetStateDirty, 0, true);
}

void cTriggerPadUI::CancelHeldPads()
{
    mPadGrid->CancelInputRecursive(true);
    if (cWidgetManager* manager = cWidgetManager::GetInstance())
        manager->ReleaseCapture(mPadGrid);
}

void cTriggerPadUI::DrawKeyStrip(cDrawList& drawList, const cKeyStripView& view,
                                 const cTriggerPadInstrument& instrument)
{
    mKeyStrip.Draw(drawList, view, instrument);
}

void cTriggerPadUI::SetVelocity(int32_t velocity)
{
    mVelocity = std::clamp(velocity, kMinimumVelocity, kMaximumVelocity);
    if (cTriggerPad* module = GetModule())
        module->PostEvent(MakeSetIntEvent(cTriggerPad::kClassRepeatVelocity, mVelocity));
}

void cTriggerPadUI::StopNoteRepeat()
{
    cTriggerPad* module = GetModule();
    if (!module)
        return;
    module->PostEvent(MakeSetIntEvent(cTriggerPad::kClassRepeatLength, 0));
    mControlPanel->ModifyFlags(kWidgetStateDirty, 0, false);
}

bool cTriggerPadUI::IsMuteMode() const { return mControlPanel->GetMuteButton()->value != 0; }

bool cTriggerPadUI::IsEditTabOn() const
{
    return mInstrument && mControlPanel->GetShownPage() == cTriggerPadControlPanel::kPageEdit;
}

bool cTriggerPadUI::HandlePadSelect(int32_t pad)
{
    if (!IsSelectMode())
        return true;
    if (IsPhone())
    {
        OpenEditPopup(pad);
        return false;
    }
    if (GetEditedPad() == pad)
        return true;
    static_cast<cTriggerPadPageEdit*>(mControlPanel->GetPage(cTriggerPadControlPanel::kPageEdit))->SelectPad(pad);
    return false;
}

int32_t cTriggerPadUI::GetEditedPad() const
{
    if (IsPhone() || !IsEditTabOn())
        return -1;
    return static_cast<cTriggerPadPageEdit*>(mControlPanel->GetPage(cTriggerPadControlPanel::kPageEdit))->GetPad();
}

void cTriggerPadUI::OpenEditPopup(int32_t pad)
{
    if (!mEditPopup)
        return;
    mEditPopup->SelectPad(pad);
    Show(mControlPanel, false);
    Show(mPadGrid, false);
    Show(mEditPopup, true);
}

void cTriggerPadUI::CloseEditPopup()
{
    if (!mEditPopup)
        return;
    Show(mControlPanel, true);
    Show(mPadGrid, true);
    Show(mEditPopup, false);
}

// The control panel on the left, at least a quarter of the width; the
// grid fills the rest. The phone's pop-up covers both.
void cTriggerPadUI::OnLayout()
{
    const cRect& rect = GetRect();
    const float width = rect.xMax - rect.xMin;
    const float panel = std::max(IsPhone() ? kPanelWidthPhone : kPanelWidth, kPanelWidthShare * width);
    mPadGrid->SetAnchors(kAnchorsFillParent, panel + 4.0f, 0.0f, 0.0f, 0.0f);
    // Its frame stays inside the editor.
    mControlPanel->SetAnchors(kAnchorsAbsoluteRect, rect.xMin + 5.0f, rect.yMin + kFrameMargin, panel - 13.0f,
                              rect.yMax - rect.yMin - 2.0f * kFrameMargin);
    if (mEditPopup)
        mEditPopup->SetAnchors(kAnchorsFillParent, 0.0f, 0.0f, 0.0f, 0.0f);
    mPadGrid->ModifyFlags(kWidgetRectAndLayoutDirty, 0, true);
    mControlPanel->ModifyFlags(kWidgetRectAndLayoutDirty, 0, true);
}

// Reads after the events posted so far have reached the module.
void cTriggerPadUI::OnStateChange()
{
    if (cTriggerPad* module = GetModule())
        module->WaitForEvents();
}

bool cTriggerPadUI::Draw(cDrawList& list)
{
    cRect background = GetRect();
    background.Grow(kBackgroundOverhang, 0.0f, kBackgroundOverhang, 0.0f);
    list.DrawNinePatch(background, &gTex8888AtlasTable[TriggerPadSprite::kEditorBackground], nullptr, 0xffffffffu,
                       true);
    if (!mEditPopup || !mEditPopup->IsVisible())
    {
        cRect frame = mControlPanel->GetRect();
        frame.Grow(kFrameMargin, kFrameMargin, kFrameMargin, kFrameMargin);
        list.DrawNinePatch(frame, &gTex8888AtlasTable[TriggerPadSprite::kPanelFrame], nullptr, 0xffffffffu, true);
    }
    return mInstrument == nullptr;
}

void InstallTriggerPadEditorFactory()
{
    SetTriggerPadEditorFactory([]() -> cTriggerPadEditor* { return new cTriggerPadUI(); });
}
