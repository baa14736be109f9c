#include "editors/EditGeometryBatch.h"

cEditGeometryBatch::cEditGeometryBatch()
{
    fillVertices.Resize(kRectangles * kVerticesPerRectangle);
    outlineVertices.Resize(kRectangles * kVerticesPerRectangle);
    triangleIndices.Resize(kRectangles * kTriangleIndicesPerRectangle);
    outlineIndices.Resize(kRectangles * kOutlineIndicesPerRectangle);
    for (cVertexXYZColour& vertex : lineVertices)
        vertex = {0.0f, 0.0f, 0.0f, kLineColour};
    FillIndices();
}

// Two triangles share the top-right and bottom-left corners; the outline
// runs top, right, bottom, left.
void cEditGeometryBatch::FillIndices()
{
    for (uint32_t i = 0; i < kRectangles; ++i)
    {
        const uint16_t b = static_cast<uint16_t>(i * kVerticesPerRectangle);
        const uint16_t triangles[kTriangleIndicesPerRectangle] = {b, uint16_t(b + 1), uint16_t(b + 2),
                                                                  uint16_t(b + 3), uint16_t(b + 1), uint16_t(b + 2)};
        const uint16_t outline[kOutlineIndicesPerRectangle] = {b,              uint16_t(b + 1), uint16_t(b + 1),
                                                               uint16_t(b + 3), uint16_t(b + 2), uint16_t(b + 3),
                                                               uint16_t(b + 2), b};
        for (uint32_t k = 0; k < kTriangleIndicesPerRectangle; ++k)
            triangleIndices[i * kTriangleIndicesPerRectangle + k] = triangles[k];
        for (uint32_t k = 0; k < kOutlineIndicesPerRectangle; ++k)
            outlineIndices[i * kOutlineIndicesPerRectangle + k] = outline[k];
    }
}
