#pragma once
#include <cstdint>

#include "base/HeapArray.h"
#include "render/VertexLayouts.h"

// The vertex store both rolls draw their rectangles (event bars, part boxes)
// and grid lines from, one draw call each. The sequencer page owns it and
// lends it to the edit models. Rectangle i owns vertices 5i..5i+4: the
// corners top-left, top-right, bottom-left, bottom-right and one that only
// pads the stride. The index arrays never change after construction; a frame
// writes only vertex positions and colours.
class cEditGeometryBatch
{
public:
    static constexpr uint32_t kRectangles = 1000;
    static constexpr uint32_t kVerticesPerRectangle = 5;
    static constexpr uint32_t kTriangleIndicesPerRectangle = 6;
    static constexpr uint32_t kOutlineIndicesPerRectangle = 8;
    static constexpr uint32_t kLineVertices = 512; // 256 grid lines
    static constexpr uint32_t kLineColour = 0xff464646;

    cEditGeometryBatch();
    cEditGeometryBatch(const cEditGeometryBatch&) = delete;
    cEditGeometryBatch& operator=(const cEditGeometryBatch&) = delete;

    cHeapArray<cVertexIntXYColour> fillVertices;
    cHeapArray<cVertexIntXY> outlineVertices;
    cHeapArray<uint16_t> triangleIndices;
    cHeapArray<uint16_t> outlineIndices;
    // Pairs form lines; z stays 0.
    cVertexXYZColour lineVertices[kLineVertices];

private:
    void FillIndices();
};
