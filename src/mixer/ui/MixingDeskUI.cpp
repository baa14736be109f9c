#include "mixer/ui/MixingDeskUI.h"

#include <algorithm>
#include <cmath>

#include "base/CriticalSection.h"
#include "mixer/Mixer.h"
#include "mixer/MixerChannel.h"
#include "mixer/MixingDeskInstrument.h"
#include "mixer/ui/MixingDeskPanelCheek.h"
#include "mixer/ui/MixingDeskPanelMixer.h"
#include "mixer/ui/MixingDeskUIHost.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "ui/InputManager.h"
#include "ui/NavButtonSprites.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetNavButtonUpDown.h"

namespace
{
constexpr float kClipLampLevel = 0.1f;
// The buttons' arrows point across the desk's cheeks.
constexpr int32_t kArrowFlip = 1;
constexpr float kButtonTop = 12.0f;

cCriticalSection* FrameLock()
{
    cWidgetManager* manager = cWidgetManager::GetInstance();
    return manager ? manager->GetFrameLock() : nullptr;
}

cWidgetNavButtonUpDown* MakeButton(cWidget* cheek)
{
    auto* button = new cWidgetNavButtonUpDown();
    button->arrowFlip = kArrowFlip;
    cheek->AddChild(button);
    return button;
}
} // namespace

cMixingDeskUI::cMixingDeskUI()
{
    SetName("MixingDesk");
    ModifyFlags(kWidgetAcceptsKeys, 0, false);
    mPanel = new cMixingDeskPanelMixer(this);
    AddChild(mPanel);
    mLeftCheek = new cMixingDeskPanelCheek(cMixingDeskPanelCheek::kLeft);
    AddChild(mLeftCheek);
    mRightCheek = new cMixingDeskPanelCheek(cMixingDeskPanelCheek::kRight);
    AddChild(mRightCheek);
    mPageButton = MakeButton(mLeftCheek);
    mPageButton->repeatDelegate = cDelegate(this, &cMixingDeskUI::OnPageButton);
    mPageButton->swipeDelegate = cDelegate(this, &cMixingDeskUI::OnPageButtonHeld);
    mViewButton = MakeButton(mRightCheek);
    mViewButton->repeatDelegate = cDelegate(this, &cMixingDeskUI::OnViewButton);
    mViewButton->swipeDelegate = cDelegate(this, &cMixingDeskUI::OnViewButtonHeld);
}

cMixingDeskUI::~cMixingDeskUI()
{
    mPageButton->Release();
    mViewButton->Release();
    mLeftCheek->Release();
    mRightCheek->Release();
    mPanel->Release();
}

cMixingDeskEditor* cMixingDeskUI::Create() { return new cMixingDeskUI(); }

// A deleted instrument stops being shown at once, whichever thread deletes it.
void cMixingDeskUI::ShowInstrument(cMixingDeskInstrument* instrument)
{
    cScopedLockIfAny lock(FrameLock());
    if (instrument == mInstrument)
        return;
    mInstrument = instrument;
    mListVersion = instrument ? instrument->GetMixer()->GetListVersion() : 0;
    mLastSelection = INT32_MAX;
    CancelInputRecursive(true);
    mPanel->OnStateChange();
    ModifyFlags(kWidgetStateDirty, 0, true);
}

void cMixingDeskUI::ResetSelection()
{
    cScopedLockIfAny lock(FrameLock());
    if (mInstrument)
        mPanel->ResetSelection();
}

void cMixingDeskUI::RebindIfChanged()
{
    if (!mInstrument || mInstrument->GetMixer()->GetListVersion() == mListVersion)
        return;
    mListVersion = mInstrument->GetMixer()->GetListVersion();
    CancelInputRecursive(true);
    OnStateChange();
    mPanel->OnStateChange();
}

intptr_t cMixingDeskUI::OnPageButton(bool forward, cWidgetNavButtonUpDown*)
{
    forward ? mPanel->PageForward() : mPanel->PageBack();
    RefreshButtons();
    return 0;
}

intptr_t cMixingDeskUI::OnPageButtonHeld(bool forward, cWidgetNavButtonUpDown*)
{
    forward ? mPanel->PageToEnd() : mPanel->PageToStart();
    RefreshButtons();
    return 0;
}

intptr_t cMixingDeskUI::OnViewButton(bool up, cWidgetNavButtonUpDown*)
{
    up ? mPanel->ShowFaders() : mPanel->ShowInsertChain();
    RefreshButtons();
    return 0;
}

intptr_t cMixingDeskUI::OnViewButtonHeld(bool up, cWidgetNavButtonUpDown*)
{
    up ? mPanel->ShowFadersAtTop() : mPanel->ShowInsertChainAtEnd();
    RefreshButtons();
    return 0;
}

void cMixingDeskUI::RefreshButtons()
{
    mPageButton->upEnabled = mPanel->CanPageForward();
    mPageButton->downEnabled = mPanel->CanPageBack();
    mPageButton->SetActive(mPageButton->upEnabled || mPageButton->downEnabled);
    mViewButton->upEnabled = mPanel->CanShowFaders();
    mViewButton->downEnabled = mPanel->CanShowInsertChain();
    mViewButton->SetActive(mViewButton->upEnabled || mViewButton->downEnabled);
}

void cMixingDeskUI::OnLayout()
{
    const cRect& rect = GetRect();
    cVector2 minimum, cheek;
    mLeftCheek->GetSizePreferences(&minimum, &cheek);
    const float height = rect.yMax - rect.yMin;
    mLeftCheek->SetAnchors(kAnchorsAbsoluteRect, rect.xMin, rect.yMin, cheek.X, height);
    mRightCheek->SetAnchors(kAnchorsAbsoluteRect, rect.xMax - cheek.X, rect.yMin, cheek.X, height);
    mPanel->SetAnchors(kAnchorsAbsoluteRect, rect.xMin + cheek.X, rect.yMin,
                       std::max(0.0f, rect.xMax - rect.xMin - 2.0f * cheek.X), height);
    const cAtlasSprite& body = gTex8888AtlasTable[NavButtonSprite::kBackground];
    const float buttonLeft = std::floor((cheek.X - body.width) * 0.5f);
    mPageButton->SetAnchors(kAnchorsAbsoluteRect, rect.xMin + buttonLeft, rect.yMin + kButtonTop, body.width,
                            body.height);
    mViewButton->SetAnchors(kAnchorsAbsoluteRect, rect.xMax - cheek.X + buttonLeft, rect.yMin + kButtonTop,
                            body.width, body.height);
    for (cWidget* child : {static_cast<cWidget*>(mPanel), static_cast<cWidget*>(mLeftCheek),
                           static_cast<cWidget*>(mRightCheek), static_cast<cWidget*>(mPageButton),
                           static_cast<cWidget*>(mViewButton)})
        child->ModifyFlags(kWidgetRectAndLayoutDirty, 0, false);
    RefreshButtons();
}

// "InsertFX" is kept inside the list as it is now.
void cMixingDeskUI::OnStateChange()
{
    if (mInstrument)
    {
        const int32_t last = mInstrument->GetMixer()->GetChannelCount() - 1;
        mInstrument->SetInsertChannel(std::clamp(mInstrument->GetInsertChannel(), -1, last));
        GetMixingDeskUIHost().SetTitle("Mixer");
    }
    mPanel->ModifyFlags(kWidgetStateDirty, 0, false);
    RefreshButtons();
    mLastSelection = INT32_MAX;
}

void cMixingDeskUI::UpdateCheekMeter()
{
    mLeftCheek->SetMeterOpacity(mPanel->GetViewMode() == cMixingDeskPanelMixer::kModeInsert ? 255 : 0);
    const int32_t selection = mPanel->GetSelectedChannel();
    if (selection != mLastSelection)
    {
        mLastSelection = selection;
        mLeftCheek->SetMeterRange(selection < 0);
        RefreshButtons();
    }
    if (!mInstrument)
        return;
    cMixer* mixer = mInstrument->GetMixer();
    const cMixerChannel* channel = selection < 0 ? mInstrument->GetMaster() : mixer->GetChannel(selection);
    if (!channel)
        return;
    const bool master = selection < 0;
    mLeftCheek->SetMeterValues(channel->meterLeft, channel->meterRight,
                               master && mixer->GetClipHoldLeft() > kClipLampLevel,
                               master && mixer->GetClipHoldRight() > kClipLampLevel);
}

bool cMixingDeskUI::Draw(cDrawList&)
{
    RebindIfChanged();
    UpdateCheekMeter();
    return false;
}

// Hidden, the desk binds again when next drawn: rebinding here would write
// its title over the page shown.
bool cMixingDeskUI::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!HasFlags(kWidgetShown))
        return false;
    RebindIfChanged();
    return cWidget::HandleTouch(type, touch, captor);
}

bool cMixingDeskUI::HandleKey(const cKeyEvent* event)
{
    if (!HasFlags(kWidgetTakesKeys) || event->action != 1)
        return cWidget::HandleKey(event);
    switch (event->keyCode)
    {
    case kKeyUp: mPanel->ShowFaders(); break;
    case kKeyDown: mPanel->ShowInsertChain(); break;
    case kKeyLeft: mPanel->PageBack(); break;
    case kKeyRight: mPanel->PageForward(); break;
    default: return cWidget::HandleKey(event);
    }
    RefreshButtons();
    return true;
}

void InstallMixingDeskEditorFactory() { SetMixingDeskEditorFactory(&cMixingDeskUI::Create); }
