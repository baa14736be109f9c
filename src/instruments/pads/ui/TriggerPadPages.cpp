#include "instruments/pads/ui/TriggerPadPages.h"

#include "instruments/pads/ui/TriggerPadControlPanel.h"
#include "instruments/pads/ui/TriggerPadFactories.h"
#include "instruments/pads/ui/TriggerPadLayout.h"
#include "instruments/pads/ui/TriggerPadPanelAutoBeat.h"
#include "instruments/pads/ui/TriggerPadPanelBank.h"
#include "instruments/pads/ui/TriggerPadPanelEdit.h"
#include "instruments/pads/ui/TriggerPadPanelOutput.h"
#include "instruments/pads/ui/TriggerPadPanelPadSelect.h"
#include "instruments/pads/ui/TriggerPadSprites.h"
#include "instruments/pads/ui/TriggerPadTile.h"
#include "instruments/pads/ui/TriggerPadUI.h"
#include "platform/DisplayMetrics.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "ui/WidgetButton.h"

using namespace TriggerPadLayout;

namespace
{
bool IsPhone() { return GetDisplayMetrics().deviceClass == kDeviceClassPhone; }

// A panel that fills its page.
template <class T>
T* AddFilling(cWidget* page, T* panel)
{
    page->AddChild(panel);
    panel->Release();
    return panel;
}

const char* const kBusLabels[] = {"1", "2", "3"};
constexpr int32_t kBusLitSprites[] = {TriggerPadSprite::kPadLitBus1, TriggerPadSprite::kPadLitBus2,
                                      TriggerPadSprite::kPadLitBus3};
} // namespace

// ---------------------------------------------------------------------- base

cTriggerPadPage::cTriggerPadPage(cTriggerPadUI* owner) : mOwner(owner) {}

cTriggerPadPage::~cTriggerPadPage() = default;

void cTriggerPadPage::ResetPlaying()
{
    mOwner->StopNoteRepeat();
    mOwner->SetVelocity(cTriggerPadUI::kDefaultVelocity);
}

// ---------------------------------------------------------------------- home

cTriggerPadPageHome::cTriggerPadPageHome(cTriggerPadUI* owner) : cTriggerPadPage(owner)
{
    mBank = AddFilling(this, new cTriggerPadPanelBank(owner));
    if (IsPhone())
        return;
    mAutoBeat = AddFilling(this, new cTriggerPadPanelAutoBeat(owner));
    cLayoutLinear* column = Column(3);
    column->AddItem(Filling(mBank, 0.5f));
    column->AddItem(Gap(0.05f));
    column->AddItem(Filling(mAutoBeat, 0.45f));
    SetLayout(column);
}

cTriggerPadPageHome::~cTriggerPadPageHome() = default;

// The tablet's home page holds the auto-beat panel: repeat goes on there.
void cTriggerPadPageHome::OnStateChange()
{
    if (IsPhone())
        ResetPlaying();
}

// ---------------------------------------------------------------------- edit

cTriggerPadPageEdit::cTriggerPadPageEdit(cTriggerPadUI* owner) : cTriggerPadPage(owner)
{
    if (IsPhone())
        mChooser = AddFilling(this, new cTriggerPadPanelPadSelect(owner));
    else
        mEdit = AddFilling(this, new cTriggerPadPanelEdit(owner));
}

cTriggerPadPageEdit::~cTriggerPadPageEdit() = default;

void cTriggerPadPageEdit::OnStateChange() { ResetPlaying(); }

void cTriggerPadPageEdit::SelectPad(int32_t pad)
{
    if (mEdit)
        mEdit->SelectPad(pad);
}

int32_t cTriggerPadPageEdit::GetPad() const { return mEdit ? mEdit->GetPad() : -1; }

// ----------------------------------------------------------------- auto-beat

cTriggerPadPageAutoBeat::cTriggerPadPageAutoBeat(cTriggerPadUI* owner) : cTriggerPadPage(owner)
{
    mAutoBeat = AddFilling(this, new cTriggerPadPanelAutoBeat(owner));
}

cTriggerPadPageAutoBeat::~cTriggerPadPageAutoBeat() = default;

// -------------------------------------------------------------------- output

cTriggerPadPageOutput::cTriggerPadPageOutput(cTriggerPadUI* owner) : cTriggerPadPage(owner)
{
    ModifyFlags(kWidgetNoAutoLayout, 0, false);
    mStackedLayout = Column(5);
    auto* single = new cLayoutItemWidget(nullptr, kPolicyExpand, kPolicyExpand);
    for (int32_t bus = 0; bus < kBusCount; ++bus)
    {
        auto* panel = new cTriggerPadPanelOutput(owner);
        panel->SetBus(bus);
        AddChild(panel);
        panel->Release();
        mPanels[bus] = panel;
        if (bus > 0)
            mStackedLayout->AddItem(Gap(0.3f));
        mStackedLayout->AddItem(Filling(panel, 1.0f));
        single->AddWidget(panel);
    }
    mSingleLayout = Column(1);
    mSingleLayout->AddItem(single);

    mBusRow = Row(kBusCount);
    mBusRow->itemSpacing = 1.0f;
    for (int32_t bus = 0; bus < kBusCount; ++bus)
    {
        cWidgetButton* button = CreatePadButton(kButtonCycle, nullptr);
        button->SetName(kBusLabels[bus]);
        button->SetTag(bus);
        button->touchMargins[0] = button->touchMargins[2] = 0.0f;
        button->touchMargins[1] = button->touchMargins[3] = 5.0f;
        button->background.colour = cTriggerPadTile::BusTint(bus);
        const cAtlasSprite* lit = &gTex8888AtlasTable[kBusLitSprites[bus]];
        button->litBackground.SetSprites(lit, lit, nullptr);
        button->clickDelegate = cDelegate(this, &cTriggerPadPageOutput::OnBusButton);
        AddChild(button);
        button->Release();
        mBusButtons[bus] = button;
        mBusRow->AddItem(Filling(button, 1.0f));
    }
    SetLayout(mStackedLayout);
}

cTriggerPadPageOutput::~cTriggerPadPageOutput()
{
    delete (mStacked ? mSingleLayout : mStackedLayout);
    delete mBusRow;
}

void cTriggerPadPageOutput::SelectBus(int32_t bus)
{
    mSelectedBus = bus;
    ShowBusPanels();
}

void cTriggerPadPageOutput::OnBusButton(int32_t, cWidgetButton* button) { SelectBus(button->GetTag()); }

void cTriggerPadPageOutput::ShowBusPanels()
{
    for (int32_t bus = 0; bus < kBusCount; ++bus)
    {
        mPanels[bus]->SetVisible(mStacked || bus == mSelectedBus);
        mBusButtons[bus]->SetVisible(!mStacked);
        mBusButtons[bus]->value = bus == mSelectedBus ? 1 : 0;
    }
}

void cTriggerPadPageOutput::OnLayout()
{
    mPanels[0]->UseShortLayout(true);
    cVector2 minimum, preferred;
    mPanels[0]->GetSizePreferences(&minimum, &preferred);
    const cRect& rect = GetRect();
    const bool stacked = rect.yMax - rect.yMin > kStackedHeights * preferred.Y;
    if (stacked != mStacked || !GetLayout())
    {
        mStacked = stacked;
        SetLayout(stacked ? mStackedLayout : mSingleLayout);
        ModifyFlags(kWidgetLayoutDirty, 0, true);
    }
    for (cTriggerPadPanelOutput* panel : mPanels)
        panel->UseShortLayout(mStacked);
    if (cTriggerPadControlPanel* panel = mOwner->GetControlPanel())
        mBusRow->SetRect(panel->GetMuteButton()->GetRect());
    GetLayout()->SetRect(rect);
    ShowBusPanels();
}

void cTriggerPadPageOutput::OnStateChange()
{
    ResetPlaying();
    ShowBusPanels();
}
