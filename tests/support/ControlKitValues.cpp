#include "support/ControlKitValues.h"

#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "support/ControlKit.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetComboBox.h"
#include "ui/WidgetList.h"
#include "ui/WidgetScrollBar.h"
#include "ui/WidgetSlider.h"
#include "ui/WidgetSpinButton.h"

namespace ControlKit
{
namespace
{
constexpr int kSliderTrack = 344, kSliderThumb = 345, kSliderGlow = 346;
// The scale marks stop this fraction of the track's height from its ends.
constexpr float kSliderEndInset = 0.05f;
constexpr uint32_t kSliderGlowColour = 0xff3cc8ff;

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }
} // namespace

cWidgetKnob* EffectKnob(const cWidgetKnob::cParameter& parameter, uint32_t captionColour)
{
    return CreateEffectKnob(parameter, captionColour);
}

cWidgetSpinButton* SpinButton(const char* caption) { return CreateSpinButton(caption); }

cWidgetScrollBar* ScrollBar(bool vertical, bool large) { return CreateScrollBar(vertical, large); }

cWidgetList* List(const char* caption) { return CreateList(caption); }

cWidgetComboBox* ComboBox(const char* name, int32_t capacity, int32_t comboFlags, const cDelegate& change)
{
    return CreateComboBox(name, capacity, comboFlags, change);
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
