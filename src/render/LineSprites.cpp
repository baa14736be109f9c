#include "render/LineSprites.h"

#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"

namespace
{
// Fill atlas entries of the line sprites for widths 1..16.
constexpr int kLineSpriteForWidth[17] = {7, 7, 9, 10, 11, 12, 13, 14, 15, 16, 0, 1, 2, 3, 4, 5, 6};
constexpr int kWideLineSprite = 8;
} // namespace

const cAtlasSprite* GetLineSpriteForWidth(float width)
{
    // Compared as a float first, so that huge or undefined widths stay in range.
    const float rounded = width + 0.5f;
    int n = 1;
    if (rounded >= 20.0f)
        n = 20;
    else if (rounded >= 1.0f)
        n = int(rounded);
    return &gFillAtlasTable[n <= 16 ? kLineSpriteForWidth[n] : kWideLineSprite];
}
