#include "instruments/pads/ui/TriggerPadFactories.h"

#include "instruments/pads/ui/TriggerPadSprites.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "ui/ControlHelpers.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetSpinButton.h"

namespace
{
constexpr uint32_t kButtonLabelColour = 0xff202020;
constexpr float kButtonLabelSize = 6.0f;
constexpr int32_t kCentred = 17;
constexpr uint32_t kIconColour = 0xff202020;
constexpr uint32_t kKnobGlowColour = 0xc83232ff;
constexpr uint32_t kKnobLabelColour = 0xffdcdcdc;
constexpr float kKnobLabelSize = 8.0f;
constexpr float kKnobLabelRise = 0.4f;
constexpr uint32_t kSpinValueColour = 0xff2424f0;
constexpr float kSpinValueSize = 12.0f;
constexpr float kSpinCaptionSize = 8.0f;
constexpr uint32_t kSpinPressedTint = 0xff808080;
constexpr int32_t kThreePatchAcross = 19;
// The toolkit's knob pointer, tick and glow serve the pad knobs too.
constexpr int kKnobPointer = 65;
constexpr int kKnobTick = 66;
constexpr int kKnobGlow = 223;
constexpr int kKnobGlowReference = 224;

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }

void SetBoth(cImage& image, const cAtlasSprite* sprite) { image.SetSprites(sprite, sprite, nullptr); }

void SetSpinImages(cImage& normal, cImage& pressed, int sprite)
{
    SetBoth(normal, Sprite(sprite));
    SetBoth(pressed, Sprite(sprite));
    pressed.colour = kSpinPressedTint;
}
} // namespace

cWidgetButton* CreatePadButton(int32_t mode, const cAtlasSprite* icon)
{
    auto* button = new cWidgetButton(mode, Sprite(TriggerPadSprite::kPad), nullptr);
    SetBoth(button->litBackground, Sprite(TriggerPadSprite::kPadLitBus1));
    for (float& margin : button->touchMargins)
        margin = 5.0f;
    button->labelStyle.colour = kButtonLabelColour;
    button->labelStyle.font.Select(kButtonLabelSize);
    button->labelStyle.alignment = kCentred;
    if (icon)
    {
        SetBoth(button->icon, icon);
        SetBoth(button->litIcon, icon);
        button->icon.colour = button->litIcon.colour = kIconColour;
    }
    button->ModifyFlags(kWidgetLayoutDirty, 0, false);
    return button;
}

cWidgetKnob* CreatePadKnob(uint32_t style)
{
    auto* knob = new cWidgetKnob(style);
    SetBoth(knob->knobImage, Sprite(TriggerPadSprite::kKnobBody));
    knob->knobImage.alignment = kCentred;
    knob->pointerSprite = Sprite(kKnobPointer);
    knob->pointerRadius = 0.8f;
    knob->pointerStyle = kKnobPointerRotated;
    knob->tickSprite = Sprite(kKnobTick);
    knob->tickRadius = 1.15f;
    knob->highlightSprite = Sprite(kKnobGlow);
    knob->highlightReferenceSprite = Sprite(kKnobGlowReference);
    knob->highlightColour = kKnobGlowColour;
    knob->captionStyle.colour = kKnobLabelColour;
    knob->captionStyle.font.Select(kKnobLabelSize);
    knob->captionStyle.offsetY = -kKnobLabelRise * FontSizeOf(knob->captionStyle.font);
    knob->ModifyFlags(kWidgetLayoutDirty | kWidgetStateDirty, 0, false);
    return knob;
}

cWidgetSpinButton* CreatePadSpinButton()
{
    auto* spin = new cWidgetSpinButton(kSpinDragAnywhere);
    SetSpinImages(spin->upImage, spin->upImagePressed, TriggerPadSprite::kSpinUp);
    SetSpinImages(spin->downImage, spin->downImagePressed, TriggerPadSprite::kSpinDown);
    SetBoth(spin->valueBoxImage, Sprite(TriggerPadSprite::kSpinBox));
    spin->valueBoxImage.alignment = kThreePatchAcross;
    spin->zoneMargin = 5.0f;
    spin->valueTextStyle.colour = kSpinValueColour;
    spin->valueTextStyle.font.Select(kSpinValueSize);
    spin->captionStyle.colour = kKnobLabelColour;
    spin->captionStyle.font.Select(kSpinCaptionSize);
    spin->ModifyFlags(kWidgetLayoutDirty | kWidgetStateDirty, 0, false);
    return spin;
}
