#include "instruments/synth/ui/WidgetLoopDirection.h"

#include <algorithm>

#include "render/AtlasSprite.h"

cWidgetLoopDirection::cWidgetLoopDirection() : cWidgetButton(kButtonCyclePressedLook, nullptr, nullptr)
{
    maximum = kDirectionCount - 1;
}

void cWidgetLoopDirection::OnLayout()
{
    cWidgetButton::OnLayout();
    iconFrame.Layout(litBackground.layoutRect, iconFrameOffset);
    const cAtlasSprite* frame = iconFrame.sprite;
    if (!frame)
        return;
    for (cIcon& icon : icons)
    {
        if (!icon.position)
            continue;
        const float x = icon.position->x0 - frame->x0 + iconFrame.layoutRect.xMin;
        const float y = icon.position->y0 - frame->y0 + iconFrame.layoutRect.yMin;
        icon.image.Layout({x, y, x, y}, {0.0f, 0.0f});
    }
}

bool cWidgetLoopDirection::Draw(cDrawList& list)
{
    cWidgetButton::Draw(list);
    iconFrame.Draw(iconFrame.drawRect, list, false);
    const cImage& icon = icons[std::clamp(value, 0, kDirectionCount - 1)].image;
    icon.Draw(icon.drawRect, list, false);
    return false;
}

void cWidgetLoopDirection::GetSizePreferences(cVector2* minimum, cVector2* preferred)
{
    cVector2 litMinimum, litPreferred, frameMinimum, framePreferred;
    litBackground.GetSize(litMinimum, litPreferred);
    iconFrame.GetSize(frameMinimum, framePreferred);
    *minimum = {std::max(litMinimum.X, frameMinimum.X), std::max(litMinimum.Y, frameMinimum.Y)};
    *preferred = {std::max(litPreferred.X, framePreferred.X), std::max(litPreferred.Y, framePreferred.Y)};
}
