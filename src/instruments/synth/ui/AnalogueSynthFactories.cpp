#include "instruments/synth/ui/AnalogueSynthFactories.h"

#include <algorithm>
#include <cmath>

#include "instruments/synth/ui/AnalogueSynthSprites.h"
#include "instruments/synth/ui/WidgetLoopDirection.h"
#include "render/Font.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetLEDCycleButton.h"
#include "ui/WidgetLabel.h"
#include "ui/WidgetMultiButton.h"
#include "ui/WidgetSpinButton.h"

namespace
{
constexpr int32_t kNaturalCentred = 17;
constexpr int32_t kNaturalAcross = 19;
constexpr int32_t kLampLabelAlignment = 65;
constexpr int32_t kLEDLabelAlignment = 64;
constexpr uint32_t kLEDCycleFlag = 0x40000;

// The line height of the style's font; the size asked for when no font is loaded.
float LineHeight(const cTextStyle& style, float size)
{
    return style.font.sizeEntry ? style.font.sizeEntry->size : size;
}

void SetText(cTextStyle& style, float size, uint32_t colour)
{
    style.font.Select(size);
    style.colour = colour;
}

// Raised by half a line, as the lamp buttons' and spins' captions sit.
void SetRaisedText(cTextStyle& style, float size, uint32_t colour, int32_t alignment)
{
    SetText(style, size, colour);
    style.alignment = alignment;
    style.offsetX = 0.0f;
    style.offsetY = -0.5f * LineHeight(style, size);
}

void SetImage(cImage& image, int32_t layout, int32_t drawn)
{
    image.SetSprites(SynthSprite(layout), SynthSprite(drawn), nullptr);
    image.alignment = kNaturalCentred;
}

void DressSpin(cWidgetSpinButton* spin)
{
    spin->upImagePressed.SetSprites(SynthSprite(kSynthSpinUpPressed), SynthSprite(kSynthSpinUpPressedDrawn), nullptr);
    spin->upImage.SetSprites(SynthSprite(kSynthSpinUp), SynthSprite(kSynthSpinUpDrawn), nullptr);
    spin->downImagePressed.SetSprites(SynthSprite(kSynthSpinDownPressed), SynthSprite(kSynthSpinDownPressedDrawn),
                                      nullptr);
    spin->downImage.SetSprites(SynthSprite(kSynthSpinDown), SynthSprite(kSynthSpinDownDrawn), nullptr);
    SetRaisedText(spin->captionStyle, 9.0f, SynthColour::kDarkRed, spin->captionStyle.alignment);
    SetText(spin->valueTextStyle, 11.0f, SynthColour::kCyan);
    spin->ModifyFlags(kWidgetLayoutDirty, 0, false);
}
} // namespace

cWidgetButton* CreateSynthButton(int32_t mode, int32_t style)
{
    auto* button = new cWidgetButton(mode, nullptr, nullptr);
    if (style == 0)
    {
        SetImage(button->background, kSynthPush, kSynthPushDrawn);
        SetImage(button->litBackground, kSynthPushLit, kSynthPushLitDrawn);
        SetText(button->labelStyle, 8.0f, SynthColour::kGrey);
    }
    else
    {
        SetImage(button->background, kSynthLamp, kSynthLampDrawn);
        if (style == 3)
            SetImage(button->litBackground, kSynthLampLitA, kSynthLampLitADrawn);
        else
            SetImage(button->litBackground, kSynthLampLitB, kSynthLampLitBDrawn);
        SetRaisedText(button->labelStyle, 8.0f, SynthColour::kDarkRed, kLampLabelAlignment);
    }
    button->ModifyFlags(kWidgetLayoutDirty, 0, false);
    return button;
}

cWidgetLEDCycleButton* CreateSynthLEDButton(int32_t highestValue, uint32_t flags)
{
    auto* button = new cWidgetLEDCycleButton(flags);
    button->maximum = highestValue;
    button->value = std::clamp(button->value, button->minimum, std::max(button->minimum, highestValue));
    button->lineColour = SynthColour::kTeal;
    SetRaisedText(button->labelStyle, 6.0f, SynthColour::kDarkRed, kLEDLabelAlignment);
    SetRaisedText(button->GetLEDTextStyle(), 6.0f, SynthColour::kDarkRed, kLampLabelAlignment);
    SetImage(button->background, kSynthLamp, kSynthLampDrawn);
    if (flags & kLEDCycleFlag)
        SetImage(button->litBackground, kSynthLampLitA, kSynthLampLitADrawn);
    else
        SetImage(button->litBackground, kSynthLampLitB, kSynthLampLitBDrawn);
    button->ledImage.SetSprites(SynthSprite(kSynthLEDUnlit), SynthSprite(kSynthLEDUnlit), nullptr);
    button->litLEDImage.SetSprites(SynthSprite(kSynthLEDLit), SynthSprite(kSynthLEDLit), nullptr);
    button->ModifyFlags(kWidgetLayoutDirty, 0, false);
    return button;
}

cWidgetKnob* CreateSynthKnob()
{
    auto* knob = new cWidgetKnob(0);
    knob->highlightSprite = SynthSprite(kSynthKnobGlow);
    knob->highlightReferenceSprite = SynthSprite(kSynthKnobGlowReference);
    knob->highlightColour = SynthColour::kValueRed;
    knob->highlightScale = 1.0f;
    knob->pointerSprite = SynthSprite(kSynthKnobPointer);
    knob->pointerRadius = 0.55f;
    knob->pointerStyle = kKnobPointerDot;
    knob->tickSprite = SynthSprite(kSynthKnobTick);
    knob->tickRadius = 1.05f;
    SetImage(knob->knobImage, kSynthKnob, kSynthKnobDrawn);
    SetText(knob->captionStyle, 8.0f, SynthColour::kDarkRed);
    knob->captionStyle.offsetX = 0.0f;
    knob->captionStyle.offsetY = 1.0f;
    knob->ModifyFlags(kWidgetLayoutDirty | kWidgetStateDirty, 0, true);
    return knob;
}

cWidgetKnob* CreateSynthKnob(const char* label, uint32_t style)
{
    cWidgetKnob* knob = CreateSynthKnob();
    knob->SetParameter({label, kKnobContinuous, 0, 0, nullptr, 0, style});
    return knob;
}

cWidgetSpinButton* CreateSynthModMatrixSpin()
{
    auto* spin = new cWidgetSpinButton(16);
    DressSpin(spin);
    return spin;
}

cWidgetSpinButton* CreateSynthSpin(uint32_t flags)
{
    auto* spin = new cWidgetSpinButton(flags);
    DressSpin(spin);
    spin->valueBoxImage.SetSprites(SynthSprite(kSynthValueBox), SynthSprite(kSynthValueBoxDrawn), nullptr);
    spin->gap = std::round(0.16f * SynthSprite(kSynthSpinUpPressed)->width);
    spin->textInset = SynthSprite(kSynthValueTextArea)->x0 - SynthSprite(kSynthValueBoxDrawn)->x0;
    return spin;
}

cWidgetLabel* CreateSynthValueLabel()
{
    auto* label = new cWidgetLabel();
    label->background.SetSprites(SynthSprite(kSynthValueBox), SynthSprite(kSynthValueBoxDrawn), nullptr);
    label->textAreaSprite = SynthSprite(kSynthValueTextArea);
    label->captionStyle.colour = SynthColour::kDarkRed;
    label->captionStyle.offsetX = 0.0f;
    label->captionStyle.offsetY = -0.5f * LineHeight(label->captionStyle, 9.0f);
    label->textStyle.colour = SynthColour::kCyan;
    label->ModifyFlags(kWidgetLayoutDirty, 0, false);
    return label;
}

cWidgetMultiButton* CreateSynthMultiButton(int32_t columns, int32_t rows, uint32_t flags)
{
    auto* multi = new cWidgetMultiButton(columns, rows, flags);
    multi->normalTemplate.SetSprites(SynthSprite(kSynthPush), SynthSprite(kSynthPushDrawn), nullptr);
    multi->litTemplate.SetSprites(SynthSprite(kSynthPushLit), SynthSprite(kSynthPushLitDrawn), nullptr);
    multi->normalTemplate.alignment = kNaturalAcross;
    multi->litTemplate.alignment = kNaturalAcross;
    SetText(multi->itemStyle, 8.0f, SynthColour::kDarkRed);
    SetText(multi->captionStyle, 8.0f, SynthColour::kGrey);
    multi->ModifyFlags(kWidgetLayoutDirty, 0, false);
    return multi;
}

void SetTouchMargins(cWidgetButton* button, float left, float top, float right, float bottom)
{
    button->touchMargins[0] = left;
    button->touchMargins[1] = top;
    button->touchMargins[2] = right;
    button->touchMargins[3] = bottom;
}

namespace
{
struct cLoopIconSkin
{
    int32_t layout, drawn, position;
};
// By direction value: the icon's sprites and the marker of its place.
constexpr cLoopIconSkin kLoopIcons[cWidgetLoopDirection::kDirectionCount] = {
    {kSynthLoopIcon0, kSynthLoopIcon0Drawn, kSynthLoopMark0},
    {kSynthLoopIcon1, kSynthLoopIcon1Drawn, kSynthLoopMark1},
    {kSynthLoopIcon2, kSynthLoopIcon2Drawn, kSynthLoopMark2},
    {kSynthLoopIcon3, kSynthLoopIcon3Drawn, kSynthLoopMark3}};
constexpr int32_t kLoopLabelAlignment = 66;
} // namespace

cWidgetLoopDirection* CreateSynthLoopDirection()
{
    auto* button = new cWidgetLoopDirection();
    SetImage(button->background, kSynthLamp, kSynthLampDrawn);
    SetImage(button->litBackground, kSynthLampLitB, kSynthLampLitBDrawn);
    SetImage(button->iconFrame, kSynthLoopFrame, kSynthLoopFrame);
    button->iconFrameOffset = {-SynthSprite(kSynthLoopFrame)->width, 0.0f};
    for (int32_t i = 0; i < cWidgetLoopDirection::kDirectionCount; ++i)
    {
        SetImage(button->icons[i].image, kLoopIcons[i].layout, kLoopIcons[i].drawn);
        button->icons[i].position = SynthSprite(kLoopIcons[i].position);
    }
    SetRaisedText(button->labelStyle, 8.0f, SynthColour::kDarkRed, kLoopLabelAlignment);
    button->ModifyFlags(kWidgetLayoutDirty, 0, false);
    return button;
}
