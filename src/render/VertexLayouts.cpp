#include "render/VertexLayouts.h"

namespace
{
const cVertexElement kXYZColourTex1[] = {
    {kVertexUsagePosition, 0, VertexComponents(kVertexComponentFloat, 3), 0},
    {kVertexUsageColour, 0, VertexComponents(kVertexComponentUByte, 4), 12},
    {kVertexUsageTexCoord, 0, VertexComponents(kVertexComponentFloat, 2), 16},
};
const cVertexElement kXYZColour[] = {
    {kVertexUsagePosition, 0, VertexComponents(kVertexComponentFloat, 3), 0},
    {kVertexUsageColour, 0, VertexComponents(kVertexComponentUByte, 4), 12},
};
const cVertexElement kIntXYColour[] = {
    {kVertexUsagePosition, 0, VertexComponents(kVertexComponentShort, 2), 0},
    {kVertexUsageColour, 0, VertexComponents(kVertexComponentUByte, 4), 4},
};
const cVertexElement kIntXY[] = {
    {kVertexUsagePosition, 0, VertexComponents(kVertexComponentShort, 2), 0},
};
} // namespace

const cVertexFormat cVertexXYZColourTex1::kFormat = {kXYZColourTex1, 3, 24, "cVertexXYZColourTex1"};
const cVertexFormat cVertexXYZColour::kFormat = {kXYZColour, 2, 16, "cVertexXYZColour"};
const cVertexFormat cVertexIntXYColour::kFormat = {kIntXYColour, 2, 8, "cVertexIntXYColour"};
const cVertexFormat cVertexIntXY::kFormat = {kIntXY, 1, 4, "cVertexIntXY"};
