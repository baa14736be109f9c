#pragma once

#include "render/Polyline.h"

#include <cstdint>

struct cAtlasSprite;

enum ePathMode : int32_t
{
    kPathNone = 0,
    kPathHairline = 1,
    kPathPolylineAA = 2,
    kPathThickLine = 3,
};

// How paths and outlined rectangles are stroked. A colour with alpha 0 draws
// nothing.
struct cPathStyle
{
    ePathMode mode = kPathNone;
    uint32_t colour = 0;
    float width = 1.0f;
    const cAtlasSprite* sprite = nullptr;
    // Thick lines: 0 mitred joints, any other value bevelled. Anti-aliased
    // polylines: the polyline join code.
    ePolylineJoin join = kPolylineJoinMitre;
};
