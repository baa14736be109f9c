#pragma once

#include "base/Math.h"

#include <cstdint>

class cDrawList;
struct cAtlasSprite;

// The shared blink level 0..255 that blinking images fade with; the widget
// manager advances it once per drawn frame.
extern int32_t gBlinkAlpha;

enum eImageState : int32_t
{
    kImageNormal = 0,
    kImageBlinking = 1,
    kImageHidden = 2,
};

enum eImageFlags : int32_t
{
    kImageSnapTop = 0x01,
    kImageSnapBottom = 0x02,
    kImageSnapLeft = 0x04,
    kImageSnapRight = 0x08,
    kImageTurnAnticlockwise = 0x10,
    kImageNoPixelSnap = 0x20,
    kImageKeepAspect = 0x40,
    kImageShrinkToCaps = 0x80,
};

enum eImageType : int32_t
{
    kImageTypeNone = 0,
    kImageTypeQuad = 1,
    kImageTypeThreePatchV = 2,
    kImageTypeThreePatchH = 3,
    kImageTypeNinePatch = 4,
};

// A skin image that a widget embeds: an atlas sprite fitted into a rect by
// its alignment codes (horizontal nibble 1 own width, 3 patch, else scale;
// vertical 0x10 own height, 0x30 patch, else scale), tinted and drawn. The
// sprites belong to the atlas tables.
class cImage
{
public:
    // An empty draw sprite means the sprite itself.
    void SetSprites(const cAtlasSprite* sprite, const cAtlasSprite* drawSprite, const cAtlasSprite* innerSprite);
    void GetSize(cVector2& minimum, cVector2& natural) const;
    void Layout(const cRect& rect, const cVector2& offset);
    void Draw(const cRect& rect, cDrawList& list, bool pressed) const;

    int32_t state = kImageNormal;
    int32_t flags = 0;
    uint32_t colour = 0xffffffffu;
    float toleranceX = 0.5f;
    float toleranceY = 0.5f;
    const cAtlasSprite* sprite = nullptr;
    const cAtlasSprite* drawSprite = nullptr;
    const cAtlasSprite* innerSprite = nullptr;
    int32_t alignment = 0x11;
    int32_t type = kImageTypeNone;
    cRect layoutRect = {0, 0, 0, 0};
    cRect drawRect = {0, 0, 0, 0};
};
