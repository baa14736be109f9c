#include "support/ControlKit.h"

#include <algorithm>

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
// The instrument pages' dark red for lamp-button texts.
constexpr uint32_t kLampText = 0xff1a1a8c;
constexpr float kLampTextSize = 6.0f;

constexpr int kLampOffDrawn = 104;
constexpr int kLampOff = 105;
constexpr int kLampLitDrawn = 100;
constexpr int kLampLit = 103;
constexpr int kLampCycleLitDrawn = 101;
constexpr int kLampCycleLit = 102;
constexpr int kLEDUnlit = 126;
constexpr int kLEDLit = 127;

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }

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

cWidgetButton* Button(const char* label, int32_t mode, uint32_t style) { return CreateButton(label, mode, style); }

cWidgetButton* ToggleButton(const char* label) { return CreateToggleButton(label); }

cWidgetButton* TabButton(bool alternativeLook) { return CreateTabButton(alternativeLook); }

cWidgetMultiButton* MultiButton(const char* label, int32_t columns, int32_t rows, uint32_t flags, uint32_t style)
{
    return CreateMultiButton(label, columns, rows, flags, style);
}

cWidgetLabel* Label(const char* caption) { return CreateLabel(caption); }

cWidgetEditLabel* EditLabel() { return CreateEditLabel(); }

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

void SetButtonIcon(cWidgetButton* button, int sprite) { ::SetButtonIcon(button, Sprite(sprite)); }

void SetButtonIconBeside(cWidgetButton* button, int sprite) { ::SetButtonIconBeside(button, Sprite(sprite)); }
} // namespace ControlKit
