#include "instruments/pads/ui/TriggerPadPanelAutoBeat.h"

#include "audio/Transport.h"
#include "instruments/pads/TriggerPad.h"
#include "instruments/pads/TriggerPadVoices.h"
#include "instruments/pads/ui/TriggerPadFactories.h"
#include "instruments/pads/ui/TriggerPadLayout.h"
#include "instruments/pads/ui/TriggerPadSprites.h"
#include "instruments/pads/ui/TriggerPadUI.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/ControlHelpers.h"
#include "ui/DrawHelpers.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetKnob.h"

using namespace TriggerPadLayout;

namespace
{
constexpr uint32_t kLabelColour = 0xff202020;
constexpr uint32_t kCaptionColour = 0xffdcdcdc;
constexpr float kCaptionSize = 9.0f;
constexpr uint32_t kLampColour = 0xffffffff;
// Columns of the button block: 1/1, 1/4, 1/16 and 1/2, 1/8, 1/32.
constexpr int32_t kLeftColumn[] = {1, 3, 5};
constexpr int32_t kRightColumn[] = {2, 4, 6};

int32_t RepeatLength(int32_t index)
{
    return index > 0 && index < cTriggerPadVoices::kRepeatLengthCount ? cTriggerPadVoices::kRepeatLengths[index] : 0;
}

// Steps of the grid; the clock runs below zero during a count-in.
int32_t StepOf(int32_t clock, int32_t length) { return clock >= 0 ? clock / length : -((-clock + length - 1) / length); }
} // namespace

const char* const cTriggerPadPanelAutoBeat::kLengthLabels[kLengthLabelCount] = {
    "OFF", "1/1", "1/2", "1/4", "1/8", "1/16", "1/32", "1/64",
};

cTriggerPadPanelAutoBeat::cTriggerPadPanelAutoBeat(cTriggerPadUI* owner) : cTriggerPadPanel(owner)
{
    SetName("AUTO BEAT");
    for (int32_t index = 1; index <= kButtonCount; ++index)
    {
        cWidgetButton* button = CreatePadButton(kButtonCycle, nullptr);
        button->SetName(kLengthLabels[index]);
        button->SetTag(index);
        for (float& margin : button->touchMargins)
            margin = 2.0f;
        button->labelStyle.colour = kLabelColour;
        button->labelStyle.font.Select(GetTextSize(kTextSizeAlert));
        button->clickDelegate = cDelegate(this, &cTriggerPadPanelAutoBeat::OnLengthButton);
        AddChild(button);
        button->Release();
        mButtons[index - 1] = button;
    }
    mKnob = CreatePadKnob(0);
    mKnob->SetName("VELOCITY");
    mKnob->captionStyle.font.Select(GetTextSize(kTextSizeToggle));
    // The knob's name stands on the dark panel beside "AUTOBEAT": in the
    // same light caption colour, where dark text would not read.
    mKnob->captionStyle.colour = kCaptionColour;
    mKnob->valueDelegate = cDelegate(this, &cTriggerPadPanelAutoBeat::OnVelocityKnob);
    mKnob->SetValue(float(cTriggerPadUI::kDefaultVelocity) / 127.0f);
    AddChild(mKnob);
    mKnob->Release();
    BuildLayout();
}

cTriggerPadPanelAutoBeat::~cTriggerPadPanelAutoBeat() = default;

void cTriggerPadPanelAutoBeat::BuildLayout()
{
    cLayoutLinear* block = Row(3);
    SetMargins(block, 0.0f, 20.0f, 0.0f, 0.0f);
    for (const int32_t* column : {kLeftColumn, kRightColumn})
    {
        if (column == kRightColumn)
            block->AddItem(Gap(0.2f));
        cLayoutLinear* buttons = Column(3);
        for (int32_t i = 0; i < 3; ++i)
            buttons->AddItem(Item(mButtons[column[i] - 1]));
        block->AddItem(buttons);
    }
    cLayoutLinear* knobColumn = Column(3);
    knobColumn->AddItem(Gap(1.0f));
    knobColumn->AddItem(Item(mKnob));
    knobColumn->AddItem(Gap(1.0f));
    mLayout = Row(4);
    mLayout->AddItem(block);
    mLayout->AddItem(Gap(0.3f));
    mLayout->AddItem(knobColumn);
    mLayout->AddItem(Gap(0.2f));
    SetLayout(mLayout);
}

void cTriggerPadPanelAutoBeat::OnLengthButton(int32_t on, cWidgetButton* button)
{
    mRepeatLengthIndex = on ? button->GetTag() : 0;
    if (const int32_t length = RepeatLength(mRepeatLengthIndex); length > 0)
        mLampStep = StepOf(gTransport.clock.load(std::memory_order_relaxed), length);
    for (cWidgetButton* other : mButtons)
        other->value = other == button && on ? 1 : 0;
    // Note repeat is a way of playing, not an edit of the project.
    if (cTriggerPad* module = Module())
        module->PostEvent(MakeSetIntEvent(cTriggerPad::kClassRepeatLength, mRepeatLengthIndex));
}

void cTriggerPadPanelAutoBeat::OnVelocityKnob(float value, cWidgetKnob*)
{
    mOwner->SetVelocity(int32_t(value * 127.0f));
}

void cTriggerPadPanelAutoBeat::OnStateChange()
{
    cTriggerPad* module = Module();
    if (!module)
        return;
    module->WaitForEvents();
    mRepeatLengthIndex = module->GetParamInt(cTriggerPad::kClassRepeatLength);
    for (cWidgetButton* button : mButtons)
        button->value = button->GetTag() == mRepeatLengthIndex ? 1 : 0;
    mOwner->SetVelocity(cTriggerPadUI::kDefaultVelocity);
    const float knobValue = float(cTriggerPadUI::kDefaultVelocity) / 127.0f;
    if (mKnob->GetValue() != knobValue)
        mKnob->SetValue(knobValue);
    mLampAlpha = 0;
}

void cTriggerPadPanelAutoBeat::UpdateLamp()
{
    const int32_t length = RepeatLength(mRepeatLengthIndex);
    if (length <= 0)
    {
        mLampAlpha = 0;
        return;
    }
    const int32_t step = StepOf(gTransport.clock.load(std::memory_order_relaxed), length);
    if (step != mLampStep)
    {
        mLampStep = step;
        mLampAlpha = 255;
    }
    else
    {
        mLampAlpha = std::max(mLampAlpha - kLampFade, 0);
    }
}

cVector2 cTriggerPadPanelAutoBeat::GetLampCentre()
{
    return {mButtons[1]->GetRect().xMax - 5.0f, GetRect().yMin + 15.0f};
}

bool cTriggerPadPanelAutoBeat::Draw(cDrawList& list)
{
    const cRect area = mLayout->GetRect();
    list.DrawNinePatch(area, &gTex8888AtlasTable[TriggerPadSprite::kPanelBackground], nullptr, 0xffffffffu, true);
    const cFontHandle caption = cFontHandle::CopyWithSize(mOwner->GetCaptionFont(), kCaptionSize);
    list.GetTextBatch().DrawText(mButtons[0]->GetRect().xMin + 2.0f, area.yMin + 10.0f - FontSizeOf(caption) * 0.5f,
                                 list.depth, caption, kCaptionColour, "AUTOBEAT");
    UpdateLamp();
    const cVector2 lamp = GetLampCentre();
    DrawLED(list, 0, lamp.X, lamp.Y, float(mLampAlpha) / 255.0f, kLampColour);
    return false;
}
