#include "support/ControlKit.h"

#include <algorithm>
#include <cmath>

#include "platform/DisplayMetrics.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "ui/ControlHelpers.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetEditLabel.h"
#include "ui/WidgetLEDCycleButton.h"
#include "ui/WidgetLabel.h"
#include "ui/WidgetMultiButton.h"

namespace ControlKit
{
namespace
{
constexpr float kPhoneAndDesktopSizes[7] = {10, 11, 9, 12, 6, 7, 8};
constexpr float kTabletSizes[7] = {12, 13, 11, 15, 7, 8, 9};
constexpr int kStandardTextSize = 2;
constexpr int kToggleTextSize = 6;
constexpr int kLabelTextSize = 1;
constexpr int kEditTextSize = 3;
constexpr uint32_t kLabelText = 0xff202020;
constexpr uint32_t kLabelDisabledText = 0xff808080;
constexpr uint32_t kCursorColour = 0xffad880c;
// The instrument pages' dark red for lamp-button texts.
constexpr uint32_t kLampText = 0xff1a1a8c;
constexpr float kLampTextSize = 6.0f;

constexpr int kToggleOffDrawn = 47;
constexpr int kToggleOffSize = 48;
constexpr int kToggleOn = 49;
constexpr int kTabSize = 16;
constexpr int kTabLit = 27;
constexpr int kAltTabBackground = 14;
constexpr int kAltTabLit = 22;
constexpr int kLabelBoxDrawn = 350;
constexpr int kLabelBox = 351;
constexpr int kLabelTextArea = 352;
constexpr int kLampOffDrawn = 104;
constexpr int kLampOff = 105;
constexpr int kLampLitDrawn = 100;
constexpr int kLampLit = 103;
constexpr int kLampCycleLitDrawn = 101;
constexpr int kLampCycleLit = 102;
constexpr int kLEDUnlit = 126;
constexpr int kLEDLit = 127;

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }

void SetMargins(cWidgetButton* button, float left, float top, float right, float bottom)
{
    button->touchMargins[0] = left;
    button->touchMargins[1] = top;
    button->touchMargins[2] = right;
    button->touchMargins[3] = bottom;
}

void SetLabel(cWidgetButton* button, uint32_t colour, int textSize)
{
    button->labelStyle.colour = colour;
    button->labelStyle.font.SetSize(TextSize(textSize));
}

// Dark, standard-size captions straddling the top edge.
void SetCaption(cTextStyle& caption)
{
    caption.colour = kDarkCaption;
    caption.font.SetSize(TextSize(kStandardTextSize));
    caption.offsetX = 0.0f;
    caption.offsetY = -TextSize(kStandardTextSize) * 0.5f;
}

void DressLabel(cWidgetLabel* label, int textSize)
{
    label->textAreaSprite = Sprite(kLabelTextArea);
    label->disabledColour = kLabelDisabledText;
    label->textStyle.colour = kLabelText;
    label->textStyle.font.SetSize(TextSize(textSize));
    SetCaption(label->captionStyle);
    label->background.SetSprites(Sprite(kLabelBox), Sprite(kLabelBoxDrawn), nullptr);
    label->ModifyFlags(kWidgetLayoutDirty, 0, false);
}

// Lamp-button texts hang half a line above their rects.
void SetLampText(cTextStyle& style, int32_t alignment)
{
    style.font.SetSize(kLampTextSize);
    style.colour = kLampText;
    style.alignment = alignment;
    style.offsetX = 0.0f;
    style.offsetY = -FontSizeOf(style.font) * 0.5f;
}
} // namespace

float TextSize(int index)
{
    const bool tablet = gDisplayMetrics.deviceClass == kDeviceClassTablet;
    return (tablet ? kTabletSizes : kPhoneAndDesktopSizes)[index];
}

cButtonSkin cButtonSkin::FromStyle(uint32_t style)
{
    cButtonSkin skin = {17, 18, 25, 26, 0x11};
    if ((style & 1) && (style & 4))
        skin = {15, 16, 23, 24, 0x11};
    else if ((style & 1) && (style & 8))
        skin = {11, 12, 19, 20, 0x11};
    else if ((style & 2) && (style & 8))
        skin = {13, 14, 21, 22, 0x11};
    if (style & kStyleNoShadow)
    {
        skin.drawn = skin.size;
        skin.litDrawn = skin.litSize;
    }
    if (style & kStyleStretched)
        skin.alignment = 0x13;
    return skin;
}

cWidgetButton* Button(const char* label, int32_t mode, uint32_t style)
{
    const cButtonSkin skin = cButtonSkin::FromStyle(style);
    auto* button = new cWidgetButton(mode, Sprite(skin.size), Sprite(skin.drawn));
    button->SetName(label);
    button->litBackground.SetSprites(Sprite(skin.litSize), Sprite(skin.litDrawn), nullptr);
    button->background.alignment = skin.alignment;
    button->litBackground.alignment = skin.alignment;
    SetMargins(button, 5, 5, 5, 5);
    SetLabel(button, kLightLabel, kStandardTextSize);
    button->ModifyFlags(kWidgetLayoutDirty, 0, false);
    return button;
}

cWidgetButton* ToggleButton(const char* label)
{
    auto* button = new cWidgetButton(kButtonCycle, Sprite(kToggleOffSize), Sprite(kToggleOffDrawn));
    button->SetName(label);
    button->SetContentAlignment(kAlignStart);
    SetMargins(button, 15, 15, 30, 15);
    button->litBackground.SetSprites(Sprite(kToggleOn), Sprite(kToggleOn), nullptr);
    for (cImage* image : {&button->background, &button->litBackground})
    {
        image->alignment = 0x11;
        image->flags = kImageSnapLeft;
    }
    SetLabel(button, kDarkCaption, kToggleTextSize);
    button->labelStyle.offsetX = std::round(Sprite(kToggleOn)->width * 0.5f);
    button->labelStyle.alignment = 0x14;
    return button;
}

cWidgetButton* TabButton(bool alternativeLook)
{
    auto* button = new cWidgetButton(kButtonPush, Sprite(kTabSize), nullptr);
    SetMargins(button, 0, 0, 0, 0);
    const int lit = alternativeLook ? kAltTabLit : kTabLit;
    const int unlit = alternativeLook ? kAltTabBackground : kTabSize;
    button->litBackground.SetSprites(Sprite(lit), Sprite(lit), nullptr);
    button->background.SetSprites(Sprite(unlit), Sprite(unlit), nullptr);
    button->background.alignment = 0x33;
    button->litBackground.alignment = 0x33;
    SetLabel(button, kLightLabel, kStandardTextSize);
    return button;
}

cWidgetMultiButton* MultiButton(const char* label, int32_t columns, int32_t rows, uint32_t flags, uint32_t style)
{
    const cButtonSkin skin = cButtonSkin::FromStyle(style);
    auto* multi = new cWidgetMultiButton(columns, rows, flags);
    multi->SetName(label);
    multi->litTemplate.SetSprites(Sprite(skin.litSize), Sprite(skin.litDrawn), nullptr);
    multi->normalTemplate.SetSprites(Sprite(skin.size), Sprite(skin.drawn), nullptr);
    multi->litTemplate.alignment = skin.alignment;
    multi->normalTemplate.alignment = skin.alignment;
    multi->gap = {-1.0f, -1.0f};
    for (float& margin : multi->touchMargins)
        margin = 5.0f;
    SetCaption(multi->captionStyle);
    multi->captionStyle.alignment = 0x40;
    multi->itemStyle.font.SetSize(TextSize(kStandardTextSize));
    multi->ModifyFlags(kWidgetLayoutDirty, 0, false);
    return multi;
}

cWidgetLabel* Label(const char* caption)
{
    auto* label = new cWidgetLabel();
    label->SetName(caption);
    DressLabel(label, kLabelTextSize);
    return label;
}

cWidgetEditLabel* EditLabel()
{
    auto* label = new cWidgetEditLabel();
    DressLabel(label, kEditTextSize);
    label->cursorColour = kCursorColour;
    return label;
}

cWidgetLEDCycleButton* LEDCycleButton(int32_t maximum, uint32_t flags)
{
    auto* button = new cWidgetLEDCycleButton(flags);
    button->maximum = maximum;
    button->value = std::clamp(button->value, button->minimum, button->maximum);
    SetLampText(button->labelStyle, 0x40);
    SetLampText(button->GetLEDTextStyle(), 0x41);
    const bool cycleLook = (flags & kLEDCycleLitLook) != 0;
    button->background.SetSprites(Sprite(kLampOff), Sprite(kLampOffDrawn), nullptr);
    button->litBackground.SetSprites(Sprite(cycleLook ? kLampCycleLit : kLampLit),
                                     Sprite(cycleLook ? kLampCycleLitDrawn : kLampLitDrawn), nullptr);
    button->background.alignment = 0x11;
    button->litBackground.alignment = 0x11;
    button->ledImage.SetSprites(Sprite(kLEDUnlit), Sprite(kLEDUnlit), nullptr);
    button->litLEDImage.SetSprites(Sprite(kLEDLit), Sprite(kLEDLit), nullptr);
    button->ModifyFlags(kWidgetLayoutDirty, 0, false);
    return button;
}

void SetButtonIcon(cWidgetButton* button, int sprite)
{
    button->icon.SetSprites(Sprite(sprite), Sprite(sprite), nullptr);
    button->litIcon.SetSprites(Sprite(sprite), Sprite(sprite), nullptr);
    button->iconOffset = {0.0f, -8.0f};
    button->labelStyle.offsetX = 0.0f;
    button->labelStyle.offsetY = 11.0f;
    button->ModifyFlags(kWidgetLayoutDirty, 0, false);
}

void SetButtonIconBeside(cWidgetButton* button, int sprite)
{
    button->icon.SetSprites(Sprite(sprite), Sprite(sprite), nullptr);
    button->litIcon.SetSprites(Sprite(sprite), Sprite(sprite), nullptr);
    button->SetIconTextGap(6.0f);
}
} // namespace ControlKit
