#pragma once

#include "render/VertexFormat.h"

#include <cstdint>

// The vertex layouts of 2D drawing. Colours are stored as red, green, blue,
// alpha bytes, which is a packed colour word (red lowest) on this machine.

struct cVertexXYZColourTex1
{
    float x, y, z;
    uint32_t colour;
    float u, v;

    static const cVertexFormat kFormat;
};
static_assert(sizeof(cVertexXYZColourTex1) == 24);

struct cVertexXYZColour
{
    float x, y, z;
    uint32_t colour;

    static const cVertexFormat kFormat;
};
static_assert(sizeof(cVertexXYZColour) == 16);

// Integer positions go to the device as they are: editors draw with 0x8000 and
// 0x7fff as clip-edge sentinels, so nothing may clamp or convert them.
struct cVertexIntXYColour
{
    int16_t x, y;
    uint32_t colour;

    static const cVertexFormat kFormat;
};
static_assert(sizeof(cVertexIntXYColour) == 8);

struct cVertexIntXY
{
    int16_t x, y;

    static const cVertexFormat kFormat;
};
static_assert(sizeof(cVertexIntXY) == 4);
