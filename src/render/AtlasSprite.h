#pragma once

// One entry of an atlas sprite table: where a sprite lies in its atlas image.
struct cAtlasSprite
{
    float u0, v0, u1, v1; // texture-coordinate rectangle
    float x0, y0, x1, y1; // pixel rectangle inside the atlas image
    float width, height;  // x1 - x0, y1 - y0
    float centreX, centreY;
};
static_assert(sizeof(cAtlasSprite) == 12 * sizeof(float), "twelve floats per entry");
