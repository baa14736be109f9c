#include "ui/WidgetFactories.h"

#include <cmath>

#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "ui/ControlHelpers.h"
#include "ui/HouseColours.h"
#include "ui/InputManager.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetComboBox.h"
#include "ui/WidgetEditLabel.h"
#include "ui/WidgetLabel.h"
#include "ui/WidgetList.h"
#include "ui/WidgetMultiButton.h"
#include "ui/WidgetScrollBar.h"
#include "ui/WidgetSpinButton.h"

namespace
{
// Colour-atlas entries of the house skins.
enum eSkinSprite : int
{
    kSmallDrawn = 11,
    kSmall = 12,
    kSmallTallDrawn = 13,
    kSmallTall = 14,
    kSmallSquareDrawn = 15,
    kSmallSquare = 16,
    kWideDrawn = 17,
    kWide = 18,
    kSmallLitDrawn = 19,
    kSmallLit = 20,
    kSmallTallLitDrawn = 21,
    kSmallTallLit = 22,
    kSmallSquareLitDrawn = 23,
    kSmallSquareLit = 24,
    kWideLitDrawn = 25,
    kWideLit = 26,
    kTabLit = 27,
    kToggleOffDrawn = 47,
    kToggleOff = 48,
    kToggleOn = 49,
    kCloseIcon = 53,
    kEffectButtonDrawn = 57,
    kEffectButton = 59,
    kEffectButtonLitDrawn = 60,
    kEffectIconMarker = 61,
    kEffectButtonLit = 62,
    kKnobDrawn = 63,
    kKnobSize = 64,
    kKnobPointer = 65,
    kKnobTick = 66,
    kKnobGlow = 223,
    kKnobGlowReference = 224,
    kLargeTrack = 326,
    kSmallTrack = 327,
    kLargeThumbAcross = 328,
    kSmallThumbAcross = 329,
    kLargeThumbUpright = 330,
    kSmallThumbUpright = 331,
    kLargeGripAcross = 332,
    kSmallGripAcross = 333,
    kLargeGripUpright = 334,
    kSmallGripUpright = 335,
    kSpinDownDrawn = 338,
    kSpinDown = 339,
    kSpinBoxDrawn = 340,
    kSpinBox = 341,
    kSpinUpDrawn = 342,
    kSpinUp = 343,
    kLabelBoxDrawn = 350,
    kLabelBox = 351,
    kLabelTextArea = 352,
};

constexpr int32_t kNaturalCentred = 0x11;
constexpr int32_t kStretchedAcross = 0x13;
constexpr int32_t kStretchedBoth = 0x33;
constexpr int32_t kLabelRightOfRect = 0x14;
constexpr int32_t kCaptionAbove = 0x40;
constexpr uint32_t kCursorColour = 0xffad880c;
constexpr float kIconTextGap = 6.0f;
constexpr float kIconAboveOffset = -8.0f;
constexpr float kLabelBelowIconOffset = 11.0f;
constexpr int32_t kKeyEscape = 257;
constexpr uint32_t kPressedTint = 0xff808080;
constexpr uint32_t kKnobGlowColour = 0xc83232ff;
constexpr uint32_t kListBackground = 0xff202020;
constexpr uint32_t kListEvenRow = 0xff383838;
constexpr uint32_t kListOddRow = 0xff2c2c2c;
// The menu's items are a little lower than the lit skin.
constexpr float kComboItemScale = 0.91f;
constexpr int32_t kThreePatchAcrossScaledDown = 0x23;

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }

void SetMargins(float margins[4], float left, float top, float right, float bottom)
{
    margins[0] = left;
    margins[1] = top;
    margins[2] = right;
    margins[3] = bottom;
}

void SetTextStyle(cTextStyle& style, uint32_t colour, float size)
{
    style.colour = colour;
    style.font.SetSize(size);
}

// Dark, standard-size captions straddling the top edge.
void SetCaption(cTextStyle& caption)
{
    SetTextStyle(caption, HouseColour::kDarkCaption, GetStandardTextSize());
    caption.offsetX = 0.0f;
    caption.offsetY = -GetStandardTextSize() * 0.5f;
}

void SetBothSprites(cImage& image, const cAtlasSprite* sprite) { image.SetSprites(sprite, sprite, nullptr); }

void SetSpinImages(cImage& normal, cImage& pressed, int drawn, int size)
{
    normal.SetSprites(Sprite(size), Sprite(drawn), nullptr);
    pressed.SetSprites(Sprite(size), Sprite(drawn), nullptr);
    pressed.colour = kPressedTint;
}

void DressLabel(cWidgetLabel* label, int32_t textSize)
{
    label->textAreaSprite = Sprite(kLabelTextArea);
    label->disabledColour = HouseColour::kDisabledText;
    SetTextStyle(label->textStyle, HouseColour::kDarkText, GetTextSize(textSize));
    SetCaption(label->captionStyle);
    label->background.SetSprites(Sprite(kLabelBox), Sprite(kLabelBoxDrawn), nullptr);
    label->ModifyFlags(kWidgetLayoutDirty, 0, false);
}
} // namespace

cButtonSkin cButtonSkin::FromStyle(uint32_t style)
{
    int drawn = kWideDrawn, size = kWide, litDrawn = kWideLitDrawn, litSize = kWideLit;
    if ((style & 1) && (style & 4))
    {
        drawn = kSmallSquareDrawn, size = kSmallSquare, litDrawn = kSmallSquareLitDrawn, litSize = kSmallSquareLit;
    }
    else if ((style & 1) && (style & 8))
    {
        drawn = kSmallDrawn, size = kSmall, litDrawn = kSmallLitDrawn, litSize = kSmallLit;
    }
    else if ((style & 2) && (style & 8))
    {
        drawn = kSmallTallDrawn, size = kSmallTall, litDrawn = kSmallTallLitDrawn, litSize = kSmallTallLit;
    }
    if (style & kButtonStyleNoShadow)
    {
        drawn = size;
        litDrawn = litSize;
    }
    return {Sprite(drawn),
            Sprite(size),
            Sprite(litDrawn),
            Sprite(litSize),
            (style & kButtonStyleStretched) ? kStretchedAcross : kNaturalCentred,
            HouseColour::kLightLabel,
            GetStandardTextSize()};
}

cWidgetButton* CreateButton(const char* label, int32_t mode, uint32_t style)
{
    const cButtonSkin skin = cButtonSkin::FromStyle(style);
    auto* button = new cWidgetButton(mode, skin.size, skin.drawn);
    button->SetName(label);
    button->litBackground.SetSprites(skin.litSize, skin.litDrawn, nullptr);
    button->background.alignment = skin.alignment;
    button->litBackground.alignment = skin.alignment;
    SetMargins(button->touchMargins, 5, 5, 5, 5);
    SetTextStyle(button->labelStyle, skin.labelColour, skin.labelTextSize);
    button->ModifyFlags(kWidgetLayoutDirty, 0, false);
    return button;
}

cWidgetMultiButton* CreateMultiButton(const char* label, int32_t columns, int32_t rows, uint32_t flags,
                                      uint32_t style)
{
    const cButtonSkin skin = cButtonSkin::FromStyle(style);
    auto* multi = new cWidgetMultiButton(columns, rows, flags);
    multi->SetName(label);
    multi->litTemplate.SetSprites(skin.litSize, skin.litDrawn, nullptr);
    multi->normalTemplate.SetSprites(skin.size, skin.drawn, nullptr);
    multi->litTemplate.alignment = skin.alignment;
    multi->normalTemplate.alignment = skin.alignment;
    multi->gap = {-1.0f, -1.0f};
    SetMargins(multi->touchMargins, 5, 5, 5, 5);
    SetCaption(multi->captionStyle);
    multi->captionStyle.alignment = kCaptionAbove;
    multi->itemStyle.font.SetSize(GetTextSize(kTextSizeStandard));
    multi->ModifyFlags(kWidgetLayoutDirty, 0, false);
    return multi;
}

cWidgetButton* CreateToggleButton(const char* label)
{
    auto* button = new cWidgetButton(kButtonCycle, Sprite(kToggleOff), Sprite(kToggleOffDrawn));
    button->SetName(label);
    button->SetContentAlignment(kAlignStart);
    SetMargins(button->touchMargins, 15, 15, 30, 15);
    SetBothSprites(button->litBackground, Sprite(kToggleOn));
    for (cImage* image : {&button->background, &button->litBackground})
    {
        image->alignment = kNaturalCentred;
        image->flags = kImageSnapLeft;
    }
    SetTextStyle(button->labelStyle, HouseColour::kDarkCaption, GetTextSize(kTextSizeToggle));
    button->labelStyle.offsetX = RoundAway(Sprite(kToggleOn)->width * 0.5f);
    button->labelStyle.offsetY = 0.0f;
    button->labelStyle.alignment = kLabelRightOfRect;
    return button;
}

cWidgetButton* CreateTabButton(bool alternativeLook)
{
    auto* button = new cWidgetButton(kButtonPush, Sprite(kSmallSquare), nullptr);
    SetMargins(button->touchMargins, 0, 0, 0, 0);
    const int lit = alternativeLook ? kSmallTallLit : kTabLit;
    const int unlit = alternativeLook ? kSmallTall : kSmallSquare;
    SetBothSprites(button->litBackground, Sprite(lit));
    SetBothSprites(button->background, Sprite(unlit));
    button->background.alignment = kStretchedBoth;
    button->litBackground.alignment = kStretchedBoth;
    SetTextStyle(button->labelStyle, HouseColour::kLightLabel, GetStandardTextSize());
    return button;
}

cWidgetLabel* CreateLabel(const char* caption)
{
    auto* label = new cWidgetLabel();
    label->SetName(caption);
    DressLabel(label, kTextSizeValue);
    return label;
}

cWidgetEditLabel* CreateEditLabel()
{
    auto* label = new cWidgetEditLabel();
    DressLabel(label, kTextSizeTitle);
    label->cursorColour = kCursorColour;
    return label;
}

cWidgetButton* CreateDialogueButton()
{
    auto* button = new cWidgetButton(kButtonPush, nullptr, nullptr);
    SetBothSprites(button->icon, Sprite(kCloseIcon));
    SetBothSprites(button->litIcon, Sprite(kCloseIcon));
    button->icon.colour = HouseColour::kDarkText;
    button->litIcon.colour = HouseColour::kLit;
    SetMargins(button->touchMargins, 18, 18, 18, 18);
    button->SetKeyShortcut(kKeyEscape);
    button->ModifyFlags(kWidgetLayoutDirty, 0, false);
    return button;
}

cWidgetButton* CreateEffectButton(const char* label, int32_t mode, const cAtlasSprite* icon, uint32_t labelColour)
{
    const cAtlasSprite* lit = Sprite(kEffectButtonLitDrawn);
    const cAtlasSprite* marker = Sprite(kEffectIconMarker);
    const cAtlasSprite* litSize = Sprite(kEffectButtonLit);
    auto* button = new cWidgetButton(mode, lit, nullptr);
    button->SetName(label);
    button->iconOffset = {marker->centreX - lit->centreX, marker->centreY - lit->centreY};
    SetMargins(button->touchMargins, 4, 4, 4, 4);
    // The lit size fixes the widget's size; left and top stay the owner's.
    button->SetAnchors((button->GetAnchorWord() & 0xff) | 0x1100, button->GetAnchorValue(0),
                       button->GetAnchorValue(1), litSize->width, litSize->height);
    SetTextStyle(button->labelStyle, labelColour, GetTextSize(kTextSizeToggle));
    button->labelStyle.offsetX = 0.3f * marker->width;
    button->labelStyle.offsetY = 0.0f;
    button->background.SetSprites(Sprite(kEffectButton), Sprite(kEffectButtonDrawn), nullptr);
    button->litBackground.SetSprites(litSize, lit, nullptr);
    SetBothSprites(button->icon, icon);
    SetBothSprites(button->litIcon, icon);
    button->icon.state = kImageHidden;
    return button;
}

void SetButtonIcon(cWidgetButton* button, const cAtlasSprite* icon)
{
    SetBothSprites(button->icon, icon);
    SetBothSprites(button->litIcon, icon);
    button->iconOffset = {0.0f, kIconAboveOffset};
    button->labelStyle.offsetX = 0.0f;
    button->labelStyle.offsetY = kLabelBelowIconOffset;
    button->ModifyFlags(kWidgetLayoutDirty, 0, false);
}

void SetButtonIconBeside(cWidgetButton* button, const cAtlasSprite* icon)
{
    SetBothSprites(button->icon, icon);
    SetBothSprites(button->litIcon, icon);
    button->SetIconTextGap(kIconTextGap);
}

void ClearButtonIcon(cWidgetButton* button)
{
    button->icon.SetSprites(nullptr, nullptr, nullptr);
    button->litIcon.SetSprites(nullptr, nullptr, nullptr);
    button->labelStyle.offsetX = 0.0f;
    button->labelStyle.offsetY = 0.0f;
    button->labelStyle.alignment = kNaturalCentred;
}

cWidgetList* CreateList(const char* caption)
{
    auto* list = new cWidgetList();
    list->SetName(caption);
    SetCaption(list->captionStyle);
    const uint32_t colours[3] = {kListBackground, kListEvenRow, kListOddRow};
    cImage* images[3] = {&list->backgroundImage, &list->evenRowImage, &list->oddRowImage};
    for (int i = 0; i < 3; ++i)
    {
        SetBothSprites(*images[i], Sprite(kTex8888SolidFill));
        images[i]->colour = colours[i];
    }
    cWidgetScrollBar* bar = CreateScrollBar(true, false);
    list->SetScrollBar(bar);
    bar->Release();
    SetMargins(list->GetScrollHelper().insets, 1, 1, 0, 1);
    return list;
}

cWidgetSpinButton* CreateSpinButton(const char* caption)
{
    auto* spin = new cWidgetSpinButton(kSpinDragAnywhere);
    SetSpinImages(spin->upImage, spin->upImagePressed, kSpinUpDrawn, kSpinUp);
    SetSpinImages(spin->downImage, spin->downImagePressed, kSpinDownDrawn, kSpinDown);
    spin->valueBoxImage.SetSprites(Sprite(kSpinBox), Sprite(kSpinBoxDrawn), nullptr);
    spin->SetName(caption);
    spin->zoneMargin = 5.0f;
    SetTextStyle(spin->valueTextStyle, HouseColour::kValue, GetTextSize(kTextSizeValue));
    SetCaption(spin->captionStyle);
    return spin;
}

cWidgetScrollBar* CreateScrollBar(bool vertical, bool large)
{
    auto* bar = new cWidgetScrollBar(vertical);
    bar->trackSprite = Sprite(large ? kLargeTrack : kSmallTrack);
    if (large)
    {
        bar->thumbSprite = Sprite(vertical ? kLargeThumbUpright : kLargeThumbAcross);
        bar->gripSprite = Sprite(vertical ? kLargeGripUpright : kLargeGripAcross);
    }
    else
    {
        bar->thumbSprite = Sprite(vertical ? kSmallThumbUpright : kSmallThumbAcross);
        bar->gripSprite = Sprite(vertical ? kSmallGripUpright : kSmallGripAcross);
    }
    bar->thumbEndInset = large ? 5.0f : 1.0f;
    bar->thumbSideInset = large ? 6.0f : 1.0f;
    return bar;
}

cWidgetComboBox* CreateComboBox(const char* name, int32_t capacity, int32_t comboFlags, const cDelegate& change)
{
    auto* combo = new cWidgetComboBox(capacity, comboFlags);
    combo->SetName(name);
    combo->clickDelegate = change;
    combo->itemHeight = RoundAway(Sprite(kSmallTallLit)->height * kComboItemScale);
    combo->minimumMenuWidth = combo->itemHeight * 2.0f;
    combo->itemGap = -1.0f;
    SetTextStyle(combo->labelStyle, HouseColour::kLightLabel, GetTextSize(kTextSizeAlert));
    SetBothSprites(combo->litBackground, Sprite(kSmallTallLit));
    SetBothSprites(combo->highlightedItemImage, Sprite(kSmallTallLit));
    SetBothSprites(combo->background, Sprite(kSmallTall));
    SetBothSprites(combo->itemImage, Sprite(kSmallTall));
    for (cImage* image : {&combo->litBackground, &combo->highlightedItemImage, &combo->background, &combo->itemImage})
        image->alignment = kThreePatchAcrossScaledDown;
    return combo;
}

cWidgetKnob* CreateEffectKnob(const cWidgetKnob::cParameter& parameter, uint32_t captionColour)
{
    auto* knob = new cWidgetKnob(0);
    knob->SetParameter(parameter);
    knob->highlightSprite = Sprite(kKnobGlow);
    knob->highlightReferenceSprite = Sprite(kKnobGlowReference);
    knob->highlightColour = kKnobGlowColour;
    knob->highlightScale = 1.0f;
    knob->pointerSprite = Sprite(kKnobPointer);
    knob->pointerRadius = 0.8f;
    knob->pointerStyle = kKnobPointerRotated;
    knob->tickSprite = Sprite(kKnobTick);
    knob->tickRadius = 1.15f;
    knob->knobImage.SetSprites(Sprite(kKnobSize), Sprite(kKnobDrawn), nullptr);
    knob->knobImage.alignment = kNaturalCentred;
    knob->captionStyle.colour = captionColour;
    knob->captionStyle.offsetY = -0.4f * FontSizeOf(knob->captionStyle.font);
    knob->ModifyFlags(kWidgetLayoutDirty | kWidgetStateDirty, 0, false);
    return knob;
}
