#include "instruments/pads/ui/TriggerPadEditPopup.h"

#include <algorithm>

#include "instruments/pads/TriggerPad.h"
#include "instruments/pads/TriggerPadInstrument.h"
#include "instruments/pads/ui/TriggerPadButtons.h"
#include "instruments/pads/ui/TriggerPadLayout.h"
#include "instruments/pads/ui/TriggerPadSprites.h"
#include "instruments/pads/ui/TriggerPadUI.h"
#include "instruments/pads/ui/TriggerPadWidget.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "ui/ControlHelpers.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetSpinButton.h"

using namespace TriggerPadLayout;

namespace
{
constexpr float kTileAspect = 1.1f;
constexpr float kSideWidth = 130.0f;
constexpr int32_t kAuditionVelocity = 100;
} // namespace

cTriggerPadEditPopup::cTriggerPadEditPopup(cTriggerPadUI* owner) : cTriggerPadEditControls(owner)
{
    SetName("PadEditPopup");
    mDone = new cTriggerPadButton("DONE");
    mDone->clickDelegate = cDelegate(this, &cTriggerPadEditPopup::OnDone);
    mAudition = new cWidgetButton(kButtonMomentary, nullptr, nullptr);
    mAudition->ModifyFlags(kWidgetTouchWholeRect, 0, false);
    mAudition->clickDelegate = cDelegate(this, &cTriggerPadEditPopup::OnAudition);
    mBus = new cTriggerPadButton("BUS 1");
    mBus->minimum = 0;
    mBus->maximum = cTriggerPad::kBusCount - 1;
    mBus->labelStyle.font.Select(GetTextSize(kTextSizeToggle));
    mBus->clickDelegate = cDelegate(this, &cTriggerPadEditPopup::OnBusButton);
    for (cWidget* widget : {static_cast<cWidget*>(mDone), static_cast<cWidget*>(mAudition), static_cast<cWidget*>(mBus)})
    {
        AddChild(widget);
        widget->Release();
    }
    BuildLayout();
}

cTriggerPadEditPopup::~cTriggerPadEditPopup() = default;

// The controls on the left in rows, DONE and the pad to audition on the right.
void cTriggerPadEditPopup::BuildLayout()
{
    auto row = [](std::initializer_list<cLayoutItem*> items)
    {
        cLayoutLinear* layout = Row(uint32_t(items.size()));
        SetMargins(layout, 4.0f, 12.0f, 4.0f, 2.0f);
        for (cLayoutItem* item : items)
            layout->AddItem(item);
        return layout;
    };
    cLayoutLinear* selectorRow = row({Gap(0.2f), Item(mPadSelector), Gap(1.0f)});
    cLayoutLinear* buttonRow = row({Item(mActions[kActionClear]), Gap(0.2f), Item(mActions[kActionCopy]), Gap(0.2f),
                                    Item(mActions[kActionPaste]), Gap(0.5f), Item(mActions[kActionLoad]), Gap(0.2f),
                                    Item(mActions[kActionEdit]), Gap(0.2f), Item(mActions[kActionRecord]), Gap(0.2f),
                                    Item(mActions[kActionAutoBpm])});
    cLayoutLinear* modeRow = row({Item(GetKeyModeButton()), Gap(0.5f), Item(GetDirectionButton()), Gap(0.5f),
                                  Item(GetGroupButton()), Gap(0.5f), Item(mBus)});
    cLayoutLinear* knobRow =
        row({Item(GetKnob(kKnobVolume)), Gap(0.2f), Item(GetKnob(kKnobPan)), Gap(0.2f), Item(GetKnob(kKnobAttack)),
             Gap(0.2f), Item(GetKnob(kKnobRelease)), Gap(0.5f), Item(GetTransposeSpin()), Gap(0.2f),
             Item(GetPitchSpin())});
    cLayoutLinear* controls = Column(7);
    for (cLayoutLinear* each : {selectorRow, buttonRow, modeRow, knobRow})
    {
        if (each != selectorRow)
            controls->AddItem(Gap(0.1f));
        controls->AddItem(each);
    }
    cLayoutLinear* side = Column(3);
    SetMargins(side, 4.0f, 8.0f, 4.0f, 8.0f);
    // Room enough for the pad to be played with a thumb.
    side->minimum[kAxisX] = {kSideWidth, kUnitPixels};
    side->AddItem(Item(mDone));
    side->AddItem(Gap(0.1f));
    side->AddItem(Filling(mAudition, 1.0f));
    cLayoutLinear* whole = Row(2);
    whole->AddItem(Stretched(controls, 3.0f));
    whole->AddItem(Stretched(side, 1.5f));
    SetLayout(whole);
    cLayout* separated[] = {buttonRow, modeRow, knobRow};
    SetSeparatorRows(separated, 3);
}

void cTriggerPadEditPopup::ShowBus(int32_t bus)
{
    cGenStringFixed<16> label;
    label.Printf("BUS %d", int(bus + 1));
    mBus->SetName(label.CStr());
    mBus->labelStyle.colour = cTriggerPadTile::BusCaptionColour(bus);
    mTile.bus = bus;
}

void cTriggerPadEditPopup::OnStateChange()
{
    Refresh();
    cTriggerPad* module = Module();
    if (!module)
        return;
    mOwner->StopNoteRepeat();
    mOwner->SetVelocity(cTriggerPadUI::kDefaultVelocity);
    const int32_t pad = GetPad();
    const uint32_t id = PadParamId(pad, cTriggerPadData::kParamBus);
    mBus->SetTag(int32_t(id));
    mBus->value = ClampTo(module->GetParamInt(id), 0, cTriggerPad::kBusCount - 1);
    ShowBus(mBus->value);
    mTile.padIndex = pad;
    mTile.numberText.Printf("%d", int(pad + 1));
    mTile.SetName(module->GetActiveSet().pads[pad].name.CStr(), module->GetSample(pad) == nullptr);
}

// The pad is drawn over the audition button, a little wider than high.
void cTriggerPadEditPopup::PlaceTile()
{
    const cRect button = mAudition->GetRect();
    if (button.xMin == mTileButtonRect.xMin && button.yMin == mTileButtonRect.yMin &&
        button.xMax == mTileButtonRect.xMax && button.yMax == mTileButtonRect.yMax)
        return;
    mTileButtonRect = button;
    const float height = std::min(button.xMax - button.xMin, button.yMax - button.yMin);
    const cRect tile = CentredRect(RectCentre(button), height * kTileAspect, height);
    mTile.SetRect(tile.xMin, tile.yMin, tile.xMax, tile.yMax);
}

void cTriggerPadEditPopup::OnDone(int32_t, cWidget*) { mOwner->CloseEditPopup(); }

void cTriggerPadEditPopup::OnAudition(int32_t value, cWidget*)
{
    cTriggerPad* module = Module();
    if (!module || (value != 0) == mHeld)
        return;
    mHeld = value != 0;
    if (mHeld)
    {
        cTriggerPadInstrument* instrument = mOwner->GetInstrument();
        mAuditionNote = cAudioEvent();
        mAuditionNote.type = kAudioEventNoteOn;
        mAuditionNote.flags = kAuditionFlags;
        mAuditionNote.slot = uint8_t(instrument ? instrument->GetSlot() : 0);
        mAuditionNote.SetNote(uint8_t(cTriggerPadWidget::kFirstNote + GetPad()), kAuditionVelocity);
        mAuditionNote.wordB = MakeVoiceId(kVoiceSourceUser);
    }
    else
    {
        mAuditionNote.type = kAudioEventNoteOff;
        mAuditionNote.flags = kAuditionOffFlags;
    }
    module->PostEvent(mAuditionNote);
}

void cTriggerPadEditPopup::OnBusButton(int32_t value, cWidget* button)
{
    ShowBus(value);
    OnIntControl(value, button);
}

bool cTriggerPadEditPopup::Draw(cDrawList& list)
{
    cTriggerPadEditControls::Draw(list);
    DrawChildren(list);
    PlaceTile();
    cTriggerPad* module = Module();
    const uint32_t sounding = module ? uint32_t(module->GetParamInt(cTriggerPad::kClassSoundingPads)) : 0u;
    cTriggerPadWidget* grid = mOwner->GetPadGrid();
    const bool muted = grid && ((grid->GetMuteMask() >> GetPad()) & 1u);
    mTile.Draw(list, (sounding >> GetPad()) & 1u, muted ? 255 : 0);
    return true;
}
