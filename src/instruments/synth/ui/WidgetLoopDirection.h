#pragma once
#include <cstdint>

#include "render/Image.h"
#include "ui/WidgetButton.h"

struct cAtlasSprite;

// The sample layer's loop direction: a lamp that steps 0, 1, 2, 3, 0 on
// each press and shows the current direction as an icon in a frame beside
// it. The skin (images, icon places) is set by CreateSynthLoopDirection.
class cWidgetLoopDirection : public cWidgetButton
{
public:
    static constexpr int32_t kDirectionCount = 4;

    struct cIcon
    {
        // Marks, inside the frame's sprite, where the icon's centre goes.
        const cAtlasSprite* position = nullptr;
        cImage image;
    };

    cWidgetLoopDirection();

    void OnLayout() override;
    bool Draw(cDrawList& list) override;
    void GetSizePreferences(cVector2* minimum, cVector2* preferred) override;

    cImage iconFrame;
    cVector2 iconFrameOffset = {0.0f, 0.0f};
    cIcon icons[kDirectionCount];

protected:
    ~cWidgetLoopDirection() override = default;
};
