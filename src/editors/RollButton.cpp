#include "editors/RollButton.h"

#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetButton.h"

namespace
{
constexpr int32_t kAcrossNaturalHeight = 0x13; // three-patch across, the sprite's own height
constexpr int32_t kStretchedBothWays = 0x33;
constexpr uint32_t kLabelColour = 0xffdcdcdc;
// The icon sits above the middle, the label below it.
constexpr cVector2 kIconOffset = {0.0f, -8.0f};
constexpr float kLabelOffset = 11.0f;

const cAtlasSprite* Sprite(int32_t index) { return &gTex8888AtlasTable[index]; }
} // namespace

cWidgetButton* CreateRollButton(const char* name, int32_t mode, int32_t id, const cDelegate& click, int32_t skinSprite,
                                int32_t litSprite)
{
    auto* button = new cWidgetButton(mode, Sprite(skinSprite), Sprite(skinSprite));
    button->SetName(name);
    button->clickDelegate = click;
    button->SetTag(id);
    button->litBackground.SetSprites(Sprite(litSprite), Sprite(litSprite), nullptr);
    button->background.alignment = kAcrossNaturalHeight;
    button->litBackground.alignment = kAcrossNaturalHeight;
    button->iconOffset = {0.0f, 0.0f};
    button->labelStyle.offsetX = 0.0f;
    button->labelStyle.offsetY = 0.0f;
    button->labelStyle.colour = kLabelColour;
    // The first of the font's sizes at least as large, else its largest.
    button->labelStyle.font.Select(GetStandardTextSize());
    button->ModifyFlags(kWidgetLayoutDirty, 0, false);
    return button;
}

void SetRollButtonIcon(cWidgetButton* button, int32_t sprite)
{
    button->icon.SetSprites(Sprite(sprite), Sprite(sprite), nullptr);
    button->litIcon.SetSprites(Sprite(sprite), Sprite(sprite), nullptr);
    button->iconOffset = kIconOffset;
    button->labelStyle.offsetX = 0.0f;
    button->labelStyle.offsetY = kLabelOffset;
    button->ModifyFlags(kWidgetLayoutDirty, 0, false);
}

void FitRollButtonSkin(cWidgetButton* button)
{
    button->background.alignment = kStretchedBothWays;
    button->litBackground.alignment = kStretchedBothWays;
    button->ModifyFlags(kWidgetLayoutDirty, 0, false);
}
