#pragma once

#include <cstdint>

// Element usages and component types of a vertex layout.
enum eVertexUsage : uint32_t
{
    kVertexUsagePosition = 1,
    kVertexUsageColour = 2,
    kVertexUsageTexCoord = 3,
};

enum eVertexComponentType : uint32_t
{
    kVertexComponentUByte = 0,
    kVertexComponentShort = 1,
    kVertexComponentFloat = 2,
};

// Component word of an element: type in the low byte, count in the next.
constexpr uint32_t VertexComponents(eVertexComponentType type, uint32_t count) { return uint32_t(type) | (count << 8); }

struct cVertexElement
{
    uint32_t usage;
    uint32_t usageIndex;
    uint32_t components;
    uint32_t offset;
};

// A vertex layout; the caller owns it (usually a static record).
struct cVertexFormat
{
    const cVertexElement* elements;
    uint32_t elementCount;
    uint32_t stride;
    const char* name;
};
