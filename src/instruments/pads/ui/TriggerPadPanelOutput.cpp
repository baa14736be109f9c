#include "instruments/pads/ui/TriggerPadPanelOutput.h"

#include "audio/AudioEvent.h"
#include "base/ProjectModified.h"
#include "instruments/pads/TriggerPad.h"
#include "instruments/pads/TriggerPadInstrument.h"
#include "instruments/pads/TriggerPadOutput.h"
#include "instruments/pads/ui/TriggerPadButtons.h"
#include "instruments/pads/ui/TriggerPadFactories.h"
#include "instruments/pads/ui/TriggerPadLayout.h"
#include "instruments/pads/ui/TriggerPadSprites.h"
#include "instruments/pads/ui/TriggerPadTile.h"
#include "instruments/pads/ui/TriggerPadUI.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "sequencer/Sequencer.h"
#include "ui/ControlHelpers.h"
#include "ui/DrawHelpers.h"
#include "ui/WidgetKnob.h"

using namespace TriggerPadLayout;

namespace
{
const char* const kKnobLabels[cTriggerPadPanelOutput::kKnobCount] = {"SEND 1", "SEND 2", "CUTOFF", "Q"};
constexpr float kLabelSize = 9.0f;
constexpr float kBoxMargin = 6.0f;
// Above the knobs' labels: the bus's name, clear of the box's rim and of
// the labels under it.
constexpr float kCaptionRoom = 30.0f;
const char* const kBusNames[] = {"BUS 1", "BUS 2", "BUS 3"};

uint32_t OutputParamId(int32_t bus, int32_t parameter)
{
    return cTriggerPad::MakeSetId(cTriggerPadSet::MakeAddress(cTriggerPadSet::kKindOutput, bus, parameter));
}
} // namespace

cTriggerPadPanelOutput::cTriggerPadPanelOutput(cTriggerPadUI* owner) : cTriggerPadPanel(owner)
{
    for (int32_t knob = 0; knob < kKnobCount; ++knob)
    {
        mKnobs[knob] = CreatePadKnob(0);
        mKnobs[knob]->SetName(kKnobLabels[knob]);
        mKnobs[knob]->captionStyle.font.Select(kLabelSize);
        // The knob factory's light label colour: the panel is dark under it,
        // as under "FILTER" and "TYPE".
        if (knob < kModuleKnobCount)
        {
            mKnobs[knob]->valueDelegate = cDelegate(this, &cTriggerPadPanelOutput::OnModuleKnob);
            mKnobs[knob]->touchDelegate = cDelegate(this, &cTriggerPadPanelOutput::OnKnobHeld);
        }
        else
        {
            mKnobs[knob]->valueDelegate = cDelegate(this, &cTriggerPadPanel::OnFloatControl);
        }
        AddChild(mKnobs[knob]);
        mKnobs[knob]->Release();
    }
    mFilter = new cTriggerPadButton1LED("FILTER");
    mFilter->maximum = 1;
    mFilterType = new cTriggerPadButton3LED("TYPE", false);
    mFilterType->minimum = cTriggerPadFilterSettings::kTypeLowPass;
    mFilterType->maximum = cTriggerPadFilterSettings::kTypeHighPass;
    const char* types[] = {"LP", "BP", "HP"};
    for (int32_t position = 0; position < 3; ++position)
        mFilterType->SetCaption(position, types[position]);
    for (cTriggerPadButton* button : {static_cast<cTriggerPadButton*>(mFilter), static_cast<cTriggerPadButton*>(mFilterType)})
    {
        button->clickDelegate = cDelegate(this, &cTriggerPadPanel::OnIntControl);
        AddChild(button);
        button->Release();
    }
    BuildLayouts();
    UseShortLayout(false);
}

cTriggerPadPanelOutput::~cTriggerPadPanelOutput()
{
    // The widget deletes the arrangement in use; the other is ours.
    delete (mUsesShort ? mTall : mShort);
}

void cTriggerPadPanelOutput::BuildLayouts()
{
    auto pair = [](cLayoutLinear* line, cLayoutItem* first, cLayoutItem* second)
    {
        line->AddItem(Gap(1.0f));
        line->AddItem(first);
        line->AddItem(Gap(1.0f));
        line->AddItem(second);
        line->AddItem(Gap(1.0f));
        return line;
    };
    mTallBox = Column(5);
    SetMargins(mTallBox, kBoxMargin, kCaptionRoom, kBoxMargin, kBoxMargin);
    mTallBox->AddItem(pair(Row(5), Item(mKnobs[kKnobSend1]), Item(mKnobs[kKnobSend2])));
    mTallBox->AddItem(Gap(0.3f));
    mTallBox->AddItem(pair(Row(5), Item(mFilter), Item(mFilterType)));
    mTallBox->AddItem(Gap(0.3f));
    mTallBox->AddItem(pair(Row(5), Item(mKnobs[kKnobCutoff]), Item(mKnobs[kKnobQ])));
    mTall = Column(1);
    mTall->AddItem(mTallBox);

    cLayoutLinear* sends = Column(3);
    sends->AddItem(Item(mKnobs[kKnobSend1]));
    sends->AddItem(Gap(0.2f));
    sends->AddItem(Item(mKnobs[kKnobSend2]));
    cLayoutLinear* filter = pair(Column(5), Item(mFilter), Item(mFilterType));
    mShortBox = Row(8);
    SetMargins(mShortBox, kBoxMargin, kCaptionRoom, kBoxMargin, kBoxMargin);
    mShortBox->AddItem(sends);
    mShortBox->AddItem(Gap(0.5f));
    mShortBox->AddItem(filter);
    mShortBox->AddItem(Gap(0.5f));
    mShortBox->AddItem(Item(mKnobs[kKnobCutoff]));
    mShortBox->AddItem(Gap(0.5f));
    mShortBox->AddItem(Item(mKnobs[kKnobQ]));
    mShortBox->AddItem(Gap(0.5f));
    mShort = Column(1);
    mShort->AddItem(mShortBox);
}

void cTriggerPadPanelOutput::UseShortLayout(bool shortLayout)
{
    if (GetLayout() && shortLayout == mUsesShort)
        return;
    mUsesShort = shortLayout;
    SetLayout(shortLayout ? mShort : mTall);
    ModifyFlags(kWidgetLayoutDirty, 0, true);
}

void cTriggerPadPanelOutput::SetBus(int32_t bus)
{
    if (bus == mBus)
        return;
    CancelInputRecursive(true);
    mBus = bus;
    for (int32_t knob = 0; knob < kModuleKnobCount; ++knob)
        mKnobs[knob]->SetTag(cTriggerPad::Send1Param(bus) + knob);
    mKnobs[kKnobQ]->SetTag(int32_t(OutputParamId(bus, cTriggerPadOutput::kParamQ)));
    mFilter->SetTag(int32_t(OutputParamId(bus, cTriggerPadOutput::kParamEnable)));
    mFilterType->SetTag(int32_t(OutputParamId(bus, cTriggerPadOutput::kParamType)));
    ModifyFlags(kWidgetStateDirty, 0, true);
}

int32_t cTriggerPadPanelOutput::Slot() const
{
    cTriggerPadInstrument* instrument = mOwner ? mOwner->GetInstrument() : nullptr;
    return instrument ? instrument->GetSlot() : -1;
}

// The sends and cutoff go to the bus and to the song, which records them.
void cTriggerPadPanelOutput::OnModuleKnob(float value, cWidgetKnob* knob)
{
    MarkProjectModified();
    cTriggerPad* module = Module();
    if (!module)
        return;
    cAudioEvent event;
    event.type = kAudioEventModuleParam;
    event.slot = uint8_t(Slot());
    event.wordA = 0;
    event.wordB = uint32_t(knob->GetTag());
    event.valueF = value;
    module->PostEvent(event);
    if (cSequencer* sequencer = cSequencer::GetInstance())
        sequencer->PostEvent(event);
}

// While a knob is held its recorded values are not played back.
void cTriggerPadPanelOutput::OnKnobHeld(int32_t held, cWidgetKnob* knob)
{
    cSequencer* sequencer = cSequencer::GetInstance();
    if (!Module() || !sequencer)
        return;
    cAudioEvent event;
    event.type = kAudioEventParamTouch;
    event.slot = uint8_t(Slot());
    event.wordA = uint32_t(knob->GetTag());
    event.wordB = uint32_t(held != 0);
    sequencer->PostEvent(event);
}

void cTriggerPadPanelOutput::RefreshKnob(int32_t index, bool forced)
{
    cWidgetKnob* knob = mKnobs[index];
    cTriggerPad* module = Module();
    if (!module || (!forced && knob->IsTouching()))
        return;
    const int32_t parameter = knob->GetTag();
    if (!forced && !module->TakeChangedBit(parameter))
        return;
    knob->SetValue(parameter >= 0 && parameter < module->GetParamCount() ? module->GetParamValue(parameter) : 0.0f);
}

void cTriggerPadPanelOutput::OnStateChange()
{
    cTriggerPad* module = Module();
    if (!module || mBus < 0)
        return;
    module->WaitForEvents();
    for (int32_t knob = 0; knob < kModuleKnobCount; ++knob)
        RefreshKnob(knob, true);
    mFilter->value = module->GetParamInt(uint32_t(mFilter->GetTag())) != 0 ? 1 : 0;
    mFilterType->value = ClampTo(module->GetParamInt(uint32_t(mFilterType->GetTag())), mFilterType->minimum,
                                 mFilterType->maximum);
    mKnobs[kKnobQ]->SetValue(module->GetParamFloat(uint32_t(mKnobs[kKnobQ]->GetTag())));
}

bool cTriggerPadPanelOutput::Draw(cDrawList& list)
{
    const cRect box = (mUsesShort ? mShortBox : mTallBox)->GetRect();
    // The bus's colour rims a plain panel, which keeps the labels readable.
    list.DrawNinePatch(box, &gTex8888AtlasTable[TriggerPadSprite::kPanelBackground], nullptr, 0xffffffffu, true);
    list.DrawNinePatch(box, &gTex8888AtlasTable[TriggerPadSprite::kBusPanelBackground], nullptr,
                       cTriggerPadTile::BusTextColour(mBus), true);
    // Which bus this is, where three stand one above the other.
    list.GetTextBatch().DrawText(box.xMin + kBoxMargin, box.yMin + kBoxMargin, list.depth, mOwner->GetCaptionFont(),
                                 cTriggerPadTile::BusCaptionColour(mBus), kBusNames[ClampTo(mBus, 0, 2)]);
    for (int32_t knob = 0; knob < kModuleKnobCount; ++knob)
        RefreshKnob(knob, false);
    DrawChildren(list);
    for (int32_t knob = 0; knob < kModuleKnobCount; ++knob)
        if (mKnobs[knob]->IsVisible())
        {
            const cVector2 centre = RectCentre(mKnobs[knob]->knobImage.layoutRect);
            DrawRecordBlinkMarker(list, centre.X, centre.Y);
        }
    return true;
}
