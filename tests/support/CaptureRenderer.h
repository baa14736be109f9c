#pragma once

#include "render/Material.h"
#include "support/RecordingRenderer.h"
#include "render/VertexFormat.h"

#include <cstring>
#include <string>
#include <vector>

// A recording renderer that also keeps a copy of every submitted draw, with
// the render state it was drawn in.
class cCaptureRenderer : public cRecordingRenderer
{
public:
    struct cDraw
    {
        ePrimitive primitive;
        std::string layout;
        uint32_t vertexCount;
        std::vector<uint8_t> vertices;
        std::vector<uint16_t> indices;
        bool indexed;
        cTexture* texture;
        eBlendMode blendMode;

        template <class V>
        const V& Vertex(size_t i) const
        {
            return reinterpret_cast<const V*>(vertices.data())[i];
        }
    };

    void DrawArrays(ePrimitive primitive, const cVertexFormat& format, const void* data, uint32_t count) override
    {
        Record(primitive, format, data, count, nullptr, 0);
        calls.push_back("DrawArrays");
    }
    void DrawIndexed(ePrimitive primitive, const cVertexFormat& format, const void* data, uint32_t count,
                     const uint16_t* indices, uint32_t indexCount) override
    {
        Record(primitive, format, data, count, indices, indexCount);
        calls.push_back("DrawIndexed");
    }

    std::vector<cDraw> draws;

private:
    void Record(ePrimitive primitive, const cVertexFormat& format, const void* data, uint32_t count,
                const uint16_t* indices, uint32_t indexCount)
    {
        cDraw draw{primitive, format.name, count, {}, {}, indices != nullptr, texture0, blendMode};
        const auto* bytes = static_cast<const uint8_t*>(data);
        draw.vertices.assign(bytes, bytes + size_t(count) * format.stride);
        if (indices)
            draw.indices.assign(indices, indices + indexCount);
        draws.push_back(std::move(draw));
    }
};
