#include "instruments/pads/ui/TriggerPadControlPanel.h"

#include "instruments/pads/TriggerPadInstrument.h"
#include "instruments/pads/ui/TriggerPadFactories.h"
#include "instruments/pads/ui/TriggerPadPages.h"
#include "instruments/pads/ui/TriggerPadSprites.h"
#include "instruments/pads/ui/TriggerPadUI.h"
#include "instruments/pads/ui/TriggerPadUIHost.h"
#include "platform/DisplayMetrics.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "ui/WidgetButton.h"

namespace
{
const char* const kTabLabels[cTriggerPadControlPanel::kPageCount] = {"HOME", "EDIT", "AUTOBEAT", "OUTPUTS"};
constexpr int kTabIcons[cTriggerPadControlPanel::kPageCount] = {
    TriggerPadSprite::kTabHome, TriggerPadSprite::kTabEdit, TriggerPadSprite::kTabAutoBeat,
    TriggerPadSprite::kTabOutputs};
const char* const kTitles[cTriggerPadControlPanel::kPageCount] = {"%s - Home", "%s - Edit pad", "%s - Performance",
                                                                  "%s - Output Bus"};
constexpr float kTabTextOffset = 9.0f;
constexpr float kTabIconRise = -8.0f;
constexpr float kStripGap = 4.0f;
constexpr int32_t kStretched = 0x33;

bool IsPhone() { return GetDisplayMetrics().deviceClass == kDeviceClassPhone; }

int32_t ClampPage(int32_t page)
{
    return page >= 0 && page < cTriggerPadControlPanel::kPageCount ? page : cTriggerPadControlPanel::kPageHome;
}

// With its label below the icon off the phone, its icon alone on it.
void DressTab(cWidgetButton* button, const char* label)
{
    if (IsPhone())
        return;
    button->SetName(label);
    button->iconOffset = {0.0f, kTabIconRise};
    button->labelStyle.offsetY = kTabTextOffset;
}

template <class T>
T* AddPage(cWidget* panel, T* page)
{
    page->SetVisible(false);
    page->SetAnchors(kAnchorsFillParent, cTriggerPadControlPanel::kSideInset, cTriggerPadControlPanel::kTabStripHeight,
                     -cTriggerPadControlPanel::kSideInset, -cTriggerPadControlPanel::kSwitchStripHeight);
    panel->AddChild(page);
    page->Release();
    return page;
}
} // namespace

cTriggerPadControlPanel::cTriggerPadControlPanel(cTriggerPadUI* owner) : mOwner(owner)
{
    mPages[kPageHome] = AddPage(this, new cTriggerPadPageHome(owner));
    mPages[kPageEdit] = AddPage(this, new cTriggerPadPageEdit(owner));
    mPages[kPageAutoBeat] = AddPage(this, new cTriggerPadPageAutoBeat(owner));
    mPages[kPageOutput] = AddPage(this, new cTriggerPadPageOutput(owner));
    for (int32_t page = 0; page < kPageCount; ++page)
    {
        cWidgetButton* tab = CreatePadButton(kButtonPush, &gTex8888AtlasTable[kTabIcons[page]]);
        tab->SetTag(page);
        DressTab(tab, kTabLabels[page]);
        tab->clickDelegate = cDelegate(this, &cTriggerPadControlPanel::OnTabButton);
        AddChild(tab);
        tab->Release();
        mTabs[page] = tab;
    }
    // The auto-beat panel sits on the home page off the phone.
    if (!IsPhone())
        mTabs[kPageAutoBeat]->SetVisible(false);
    mMuteButton = CreatePadButton(kButtonCycle, &gTex8888AtlasTable[TriggerPadSprite::kMuteMode]);
    if (!IsPhone())
        DressTab(mMuteButton, "MUTE");
    AddChild(mMuteButton);
    mMuteButton->Release();
    for (cWidgetButton* button : {mTabs[0], mTabs[1], mTabs[2], mTabs[3], mMuteButton})
        button->background.alignment = button->litBackground.alignment = kStretched;
}

cTriggerPadControlPanel::~cTriggerPadControlPanel() = default;

int32_t cTriggerPadControlPanel::GetShownPage() const
{
    cTriggerPadInstrument* instrument = mOwner->GetInstrument();
    return instrument ? ClampPage(instrument->GetMainPage()) : kPageHome;
}

cRect cTriggerPadControlPanel::GetContentRect()
{
    cRect rect = GetRect();
    rect.Grow(-kSideInset, -kTabStripHeight, -kSideInset, -kSwitchStripHeight);
    return rect;
}

void cTriggerPadControlPanel::OnTabButton(int32_t, cWidgetButton* button)
{
    cTriggerPadInstrument* instrument = mOwner->GetInstrument();
    if (!instrument)
        return;
    instrument->SetMainPage(button->GetTag());
    ModifyFlags(kWidgetStateDirty, 0, false);
}

// The tabs across the top, the mute switch across the bottom.
void cTriggerPadControlPanel::OnLayout()
{
    const cRect rect = GetRect();
    int32_t shown = 0;
    for (cWidgetButton* tab : mTabs)
        shown += tab->IsVisible() ? 1 : 0;
    const float width = (rect.xMax - rect.xMin - kSideInset * 2.0f - kStripGap * float(shown - 1)) / float(shown);
    float left = rect.xMin + kSideInset;
    for (cWidgetButton* tab : mTabs)
    {
        if (!tab->IsVisible())
            continue;
        tab->SetAnchors(kAnchorsAbsoluteRect, left, rect.yMin + kSideInset, width, kTabStripHeight - 2.0f * kSideInset);
        left += width + kStripGap;
    }
    mMuteButton->SetAnchors(kAnchorsAbsoluteRect, rect.xMin + kSideInset, rect.yMax - kSwitchStripHeight + kSideInset,
                            rect.xMax - rect.xMin - 2.0f * kSideInset, kSwitchStripHeight - 2.0f * kSideInset);
    for (cTriggerPadPage* page : mPages)
        page->ModifyFlags(kWidgetRectAndLayoutDirty, 0, true);
}

void cTriggerPadControlPanel::OnStateChange()
{
    if (!mOwner->GetInstrument())
        return;
    const int32_t shown = GetShownPage();
    for (int32_t page = 0; page < kPageCount; ++page)
    {
        mTabs[page]->value = page == shown ? 1 : 0;
        mPages[page]->SetVisible(page == shown);
    }
    UpdateTitle();
}

// Off the phone the edit page keeps the pad it edits in the title.
void cTriggerPadControlPanel::UpdateTitle()
{
    cTriggerPadInstrument* instrument = mOwner->GetInstrument();
    const char* name = instrument ? instrument->GetName() : "";
    const int32_t shown = GetShownPage();
    const int32_t pad = static_cast<cTriggerPadPageEdit*>(mPages[kPageEdit])->GetPad();
    if (shown == kPageEdit && pad >= 0)
        mTitle.Printf("%s - Edit pad %02d", name, int(pad + 1));
    else
        mTitle.Printf(kTitles[shown], name);
}

bool cTriggerPadControlPanel::Draw(cDrawList&)
{
    mMuteButton->SetVisible(mPages[GetShownPage()]->ShowsMuteButton());
    UpdateTitle();
    GetTriggerPadUIHost().SetTitle(mTitle.CStr());
    return false;
}
