#include "instruments/pads/ui/TriggerPadPanelEdit.h"

#include "base/GenString.h"
#include "instruments/pads/TriggerPad.h"
#include "instruments/pads/ui/TriggerPadButtons.h"
#include "instruments/pads/ui/TriggerPadLayout.h"
#include "instruments/pads/ui/TriggerPadTile.h"
#include "instruments/pads/ui/TriggerPadUI.h"
#include "instruments/pads/ui/TriggerPadWidget.h"
#include "ui/ControlHelpers.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetSpinButton.h"

using namespace TriggerPadLayout;

cTriggerPadPanelEdit::cTriggerPadPanelEdit(cTriggerPadUI* owner) : cTriggerPadEditControls(owner)
{
    mBusButton = new cTriggerPadButton("BUS");
    mBusButton->minimum = 0;
    mBusButton->maximum = cTriggerPad::kBusCount - 1;
    mBusButton->labelStyle.font.Select(GetTextSize(kTextSizeToggle));
    mBusButton->clickDelegate = cDelegate(this, &cTriggerPadPanelEdit::OnBusButton);
    AddChild(mBusButton);
    mBusButton->Release();
    BuildLayout();
}

cTriggerPadPanelEdit::~cTriggerPadPanelEdit() = default;

// A column: the pad selector, the pad's and the sample's buttons, the
// selectors, the knobs and the tuning.
void cTriggerPadPanelEdit::BuildLayout()
{
    auto row = [](std::initializer_list<cLayoutItem*> items)
    {
        cLayoutLinear* layout = Row(uint32_t(items.size()));
        SetMargins(layout, 8.0f, 12.0f, 8.0f, 4.0f);
        for (cLayoutItem* item : items)
            layout->AddItem(item);
        return layout;
    };
    cLayoutLinear* padRow = row({Gap(0.5f), Item(mActions[kActionClear]), Gap(0.5f), Item(mActions[kActionCopy]),
                                 Gap(0.5f), Item(mActions[kActionPaste]), Gap(0.1f), Item(mBusButton, 0.5f),
                                 Gap(0.5f)});
    cLayoutLinear* sampleRow = row({Gap(0.5f), Item(mActions[kActionLoad]), Gap(0.5f), Item(mActions[kActionEdit]),
                                    Gap(0.5f), Item(mActions[kActionRecord]), Gap(0.1f),
                                    Item(mActions[kActionAutoBpm]), Gap(0.5f)});
    cLayoutLinear* modeRow = row({Gap(0.5f), Item(GetKeyModeButton()), Gap(0.5f), Item(GetDirectionButton()),
                                  Gap(0.5f), Item(GetGroupButton()), Gap(0.5f)});
    cLayoutLinear* knobRow = row({Gap(0.5f), Item(GetKnob(kKnobVolume)), Gap(0.5f), Item(GetKnob(kKnobPan)),
                                  Gap(0.5f), Item(GetKnob(kKnobAttack)), Gap(0.5f), Item(GetKnob(kKnobRelease)),
                                  Gap(0.5f)});
    cLayoutLinear* tuneRow =
        row({Gap(0.5f), Item(GetTransposeSpin()), Gap(0.5f), Item(GetPitchSpin()), Gap(0.5f)});
    cLayoutLinear* selectorRow = row({Gap(0.5f), Item(mPadSelector, 0.8f), Gap(0.5f)});

    cLayoutLinear* column = Column(11);
    cLayoutLinear* rows[] = {selectorRow, padRow, sampleRow, modeRow, knobRow, tuneRow};
    for (cLayoutLinear* each : rows)
    {
        if (each != selectorRow)
            column->AddItem(Gap(0.1f));
        column->AddItem(each);
    }
    SetLayout(column);
    cLayout* separated[] = {sampleRow, modeRow, knobRow, tuneRow};
    SetSeparatorRows(separated, 4);
}

void cTriggerPadPanelEdit::ShowBus(int32_t bus)
{
    cGenStringFixed<16> label;
    label.Printf("BUS %d", int(bus + 1));
    mBusButton->SetName(label.CStr());
    mBusButton->labelStyle.colour = cTriggerPadTile::BusCaptionColour(bus);
}

void cTriggerPadPanelEdit::OnStateChange()
{
    Refresh();
    cTriggerPad* module = Module();
    if (!module)
        return;
    const uint32_t id = PadParamId(GetPad(), cTriggerPadData::kParamBus);
    mBusButton->SetTag(int32_t(id));
    mBusButton->value = ClampTo(module->GetParamInt(id), 0, cTriggerPad::kBusCount - 1);
    ShowBus(mBusButton->value);
}

void cTriggerPadPanelEdit::OnBusButton(int32_t value, cWidget* button)
{
    if (cTriggerPadWidget* grid = mOwner->GetPadGrid())
        grid->ModifyFlags(kWidgetStateDirty, 0, false);
    ShowBus(value);
    OnIntControl(value, button);
}
