#pragma once

#include <cstdint>

// The renderer's state values, apart from the renderer so that materials,
// batches and draw code can name them cheaply. Each keeps a 32-bit width.

enum eClearFlags : uint32_t
{
    kClearColour = 1,
    kClearDepth = 2,
    kClearStencil = 4,
};

enum ePrimitive : int32_t
{
    kPrimitiveNone = -1, // an empty batch has none yet
    kPrimitivePoints = 0,
    kPrimitiveLines = 1,
    kPrimitiveLineStrip = 2,
    kPrimitiveTriangles = 3,
    kPrimitiveTriangleStrip = 4,
};

enum eCullMode : int32_t
{
    kCullNone = 0,
    kCullFront = 1,
    kCullBack = 2,
};

enum eDepthFunc : int32_t
{
    kDepthOff = 0,
    kDepthNever = 1,
    kDepthLess = 2,
    kDepthEqual = 3,
    kDepthLessEqual = 4,
    kDepthGreater = 5,
    kDepthNotEqual = 6,
    kDepthGreaterEqual = 7,
    kDepthAlways = 8,
};

enum eBlendMode : int32_t
{
    kBlendOff = 0,
    kBlendAlpha = 1,            // src * src alpha + dst * (1 - src alpha)
    kBlendMultiply = 2,         // dst * src colour
    kBlendAdditiveAlpha = 3,    // src * src alpha + dst
    kBlendSquare = 4,           // src * src colour + dst * dst colour
    kBlendCrossMultiply = 5,    // src * dst colour + dst * src colour
};

// Texture sampling mode: filter in bits 0..3 (0 nearest, 1 linear, 2 linear with
// linear mip-maps), wrap in s in bits 4..7 and in t in bits 8..11 (0 clamp,
// 1 repeat). Any other field value leaves that setting as it was.
enum eSampling : int32_t
{
    kSamplingNearest = 0x000,
    kSamplingLinear = 0x001,
    kSamplingLinearRepeat = 0x111,
};

enum eOrientation : int32_t
{
    kOrientationNone = -1, // before the first orientation is set
    kOrientationUpright = 0,
    kOrientationQuarter = 1,
    kOrientationHalf = 2,
    kOrientationMinusQuarter = 3,
    kOrientationFree = 4,
};
