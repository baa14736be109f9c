#include "support/ControlKitValues.h"

#include <cmath>

#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "support/ControlKit.h"
#include "ui/ControlHelpers.h"
#include "ui/WidgetComboBox.h"
#include "ui/WidgetList.h"
#include "ui/WidgetScrollBar.h"
#include "ui/WidgetSlider.h"
#include "ui/WidgetSpinButton.h"

namespace ControlKit
{
namespace
{
constexpr int kStandardTextSize = 2;
constexpr int kValueTextSize = 1;
constexpr int kComboTextSize = 0;
constexpr uint32_t kPressedTint = 0xff808080;

// Effect knob: body, pointer, tick, glow and the body width the glow fits.
constexpr int kKnobDrawn = 63, kKnobSize = 64, kKnobPointer = 65, kKnobTick = 66;
constexpr int kKnobGlowSprite = 223, kKnobGlowReference = 224;

constexpr int kSpinDownDrawn = 338, kSpinDownSize = 339, kSpinBoxDrawn = 340, kSpinBoxSize = 341;
constexpr int kSpinUpDrawn = 342, kSpinUpSize = 343;

// Scroll bars: large and small tracks, thumbs and grips, horizontal then vertical.
constexpr int kLargeTrack = 326, kSmallTrack = 327;
constexpr int kLargeThumb[2] = {328, 330}, kSmallThumb[2] = {329, 331};
constexpr int kLargeGrip[2] = {332, 334}, kSmallGrip[2] = {333, 335};

constexpr int kSolidFill = 465;
constexpr uint32_t kListBackground = 0xff202020, kListEvenRow = 0xff383838, kListOddRow = 0xff2c2c2c;

constexpr int kComboUnlit = 14, kComboLit = 22;
// The menu's items are a little lower than the lit skin.
constexpr float kComboItemScale = 0.91f;

constexpr int kSliderTrack = 344, kSliderThumb = 345, kSliderGlow = 346;
// The scale marks stop this fraction of the track's height from its ends.
constexpr float kSliderEndInset = 0.05f;
constexpr uint32_t kSliderGlowColour = 0xff3cc8ff;

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }

void SetCaption(cTextStyle& style, float size)
{
    style.colour = kDarkCaption;
    style.font.SetSize(size);
    style.offsetX = 0.0f;
    style.offsetY = -std::round(FontSizeOf(style.font) * 0.5f);
}

void SetSpinImages(cImage& normal, cImage& pressed, int drawn, int size)
{
    normal.SetSprites(Sprite(size), Sprite(drawn), nullptr);
    pressed.SetSprites(Sprite(size), Sprite(drawn), nullptr);
    pressed.colour = kPressedTint;
}
} // namespace

cWidgetKnob* EffectKnob(const cWidgetKnob::cParameter& parameter, uint32_t captionColour)
{
    auto* knob = new cWidgetKnob(0);
    knob->SetParameter(parameter);
    knob->highlightSprite = Sprite(kKnobGlowSprite);
    knob->highlightReferenceSprite = Sprite(kKnobGlowReference);
    knob->highlightColour = kKnobGlow;
    knob->highlightScale = 1.0f;
    knob->pointerSprite = Sprite(kKnobPointer);
    knob->pointerRadius = 0.8f;
    knob->pointerStyle = kKnobPointerRotated;
    knob->tickSprite = Sprite(kKnobTick);
    knob->tickRadius = 1.15f;
    knob->knobImage.SetSprites(Sprite(kKnobSize), Sprite(kKnobDrawn), nullptr);
    knob->knobImage.alignment = 17;
    knob->captionStyle.colour = captionColour;
    knob->captionStyle.offsetY = -0.4f * FontSizeOf(knob->captionStyle.font);
    knob->ModifyFlags(kWidgetLayoutDirty | kWidgetStateDirty, 0, false);
    return knob;
}

cWidgetSpinButton* SpinButton(const char* caption)
{
    auto* spin = new cWidgetSpinButton(kSpinDragAnywhere);
    SetSpinImages(spin->upImage, spin->upImagePressed, kSpinUpDrawn, kSpinUpSize);
    SetSpinImages(spin->downImage, spin->downImagePressed, kSpinDownDrawn, kSpinDownSize);
    spin->valueBoxImage.SetSprites(Sprite(kSpinBoxSize), Sprite(kSpinBoxDrawn), nullptr);
    spin->SetName(caption);
    spin->zoneMargin = 5.0f;
    spin->valueTextStyle.colour = kValueText;
    spin->valueTextStyle.font.SetSize(TextSize(kValueTextSize));
    SetCaption(spin->captionStyle, TextSize(kStandardTextSize));
    return spin;
}

cWidgetScrollBar* ScrollBar(bool vertical, bool large)
{
    auto* bar = new cWidgetScrollBar(vertical);
    bar->trackSprite = Sprite(large ? kLargeTrack : kSmallTrack);
    bar->thumbSprite = Sprite((large ? kLargeThumb : kSmallThumb)[vertical ? 1 : 0]);
    bar->gripSprite = Sprite((large ? kLargeGrip : kSmallGrip)[vertical ? 1 : 0]);
    bar->thumbEndInset = large ? 5.0f : 1.0f;
    bar->thumbSideInset = large ? 6.0f : 1.0f;
    return bar;
}

cWidgetList* List(const char* caption)
{
    auto* list = new cWidgetList();
    list->SetName(caption);
    SetCaption(list->captionStyle, TextSize(kStandardTextSize));
    const uint32_t colours[3] = {kListBackground, kListEvenRow, kListOddRow};
    cImage* images[3] = {&list->backgroundImage, &list->evenRowImage, &list->oddRowImage};
    for (int i = 0; i < 3; ++i)
    {
        images[i]->SetSprites(Sprite(kSolidFill), Sprite(kSolidFill), nullptr);
        images[i]->colour = colours[i];
    }
    cWidgetScrollBar* bar = ScrollBar(true, false);
    list->SetScrollBar(bar);
    bar->Release();
    cScrollHelper& scroll = list->GetScrollHelper();
    scroll.insets[0] = 1.0f;
    scroll.insets[1] = 1.0f;
    scroll.insets[2] = 0.0f;
    scroll.insets[3] = 1.0f;
    return list;
}

cWidgetComboBox* ComboBox(const char* name, int32_t capacity, int32_t comboFlags, const cDelegate& change)
{
    auto* combo = new cWidgetComboBox(capacity, comboFlags);
    combo->SetName(name);
    combo->clickDelegate = change;
    combo->itemHeight = std::round(Sprite(kComboLit)->height * kComboItemScale);
    combo->minimumMenuWidth = combo->itemHeight * 2.0f;
    combo->itemGap = -1.0f;
    combo->labelStyle.colour = kLightLabel;
    combo->labelStyle.font.SetSize(TextSize(kComboTextSize));
    combo->litBackground.SetSprites(Sprite(kComboLit), Sprite(kComboLit), nullptr);
    combo->highlightedItemImage.SetSprites(Sprite(kComboLit), Sprite(kComboLit), nullptr);
    combo->background.SetSprites(Sprite(kComboUnlit), Sprite(kComboUnlit), nullptr);
    combo->itemImage.SetSprites(Sprite(kComboUnlit), Sprite(kComboUnlit), nullptr);
    for (cImage* image : {&combo->litBackground, &combo->highlightedItemImage, &combo->background, &combo->itemImage})
        image->alignment = 0x23;
    return combo;
}

cWidgetSlider* Slider()
{
    auto* slider = new cWidgetSlider();
    const cAtlasSprite* track = Sprite(kSliderTrack);
    slider->trackImage.SetSprites(track, track, nullptr);
    slider->thumbImage.SetSprites(Sprite(kSliderThumb), Sprite(kSliderThumb), nullptr);
    slider->thumbOffset = {track->width * 0.5f, track->height * 0.5f};
    slider->travel = track->height * (1.0f - 2.0f * kSliderEndInset);
    slider->glowSprite = Sprite(kSliderGlow);
    slider->glowWidth = Sprite(kSliderGlow)->width;
    slider->glowColour = kSliderGlowColour;
    return slider;
}
} // namespace ControlKit
