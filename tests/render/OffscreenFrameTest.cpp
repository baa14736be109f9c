#include "support/OffscreenGL.h"

#include "render/DeviceTexture.h"
#include "render/PVRImage.h"
#include "render/Renderer.h"
#include "render/Texture.h"
#include "render/VertexLayouts.h"

#include "PvrWriter.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
using cVertex = cVertexXYZColourTex1;

void DrawQuad(cRenderer& renderer, float x0, float y0, float x1, float y1, uint32_t colour)
{
    const cVertex vertices[4] = {
        {x0, y0, 0.05f, colour, 0, 0},
        {x1, y0, 0.05f, colour, 1, 0},
        {x0, y1, 0.05f, colour, 0, 1},
        {x1, y1, 0.05f, colour, 1, 1},
    };
    const uint16_t indices[6] = {0, 1, 2, 2, 1, 3};
    renderer.DrawIndexed(kPrimitiveTriangles, cVertex::kFormat, vertices, 4, indices, 6);
}

cTexture* MakeTexture(cRenderer& renderer, const char* name, ePvrType type, uint32_t width, uint32_t height,
                      const std::vector<uint8_t>& pixels, uint32_t flags)
{
    const std::vector<uint8_t> file = BuildPvrFile(type, width, height, pixels);
    std::unique_ptr<uint8_t[]> bytes(new uint8_t[file.size()]);
    std::memcpy(bytes.get(), file.data(), file.size());
    const auto image = DecodePVRImage(std::move(bytes), file.size(), flags);
    return image ? new cTexture(name, renderer.CreateDeviceTexture(*image)) : nullptr;
}

// Channels may differ by a step or two after blending and filtering.
void ExpectColour(uint32_t actual, uint32_t expected, const char* where)
{
    for (int shift = 0; shift < 24; shift += 8)
    {
        const int a = int((actual >> shift) & 0xff), e = int((expected >> shift) & 0xff);
        EXPECT_NEAR(a, e, 2) << where << std::hex << ": got 0x" << actual << ", expected 0x" << expected;
    }
}
} // namespace

TEST(OffscreenFrame, DrawnThroughOpenGLShowsTheExpectedColours)
{
    cOffscreenGL gl(200, 150);
    ASSERT_TRUE(gl.IsReady()) << gl.Error();
    cRenderer& renderer = gl.Renderer();

    // A 2 x 2 colour texture drawn with nearest sampling, and an alpha texture.
    cTexture* quadrants = MakeTexture(renderer, "Test/Quadrants.pvr", ePvrType::RGBA8888, 2, 2,
                                      {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255}, 0);
    cTexture* mask = MakeTexture(renderer, "Test/Mask.pvr", ePvrType::Intensity8, 1, 1, {128},
                                 kTextureIntensityAsAlpha);
    ASSERT_NE(quadrants, nullptr);
    ASSERT_NE(mask, nullptr);
    ASSERT_TRUE(quadrants->GetDeviceTexture()->IsUploaded());

    renderer.SetClearColour(0xff402010);
    renderer.Clear(kClearColour | kClearDepth);
    renderer.Push2DProjection(-1, -1);

    renderer.SetBlendMode(kBlendOff);
    renderer.BindTexture(0, nullptr, kSamplingLinear);
    DrawQuad(renderer, 10, 10, 60, 60, 0xff0000ff); // red, untextured

    renderer.BindTexture(0, quadrants, kSamplingNearest);
    DrawQuad(renderer, 100, 10, 180, 90, 0xffffffff);

    renderer.SetBlendMode(kBlendAlpha);
    renderer.BindTexture(0, mask, kSamplingLinear);
    DrawQuad(renderer, 10, 70, 60, 90, 0xff00ffff); // yellow at half alpha over the clear colour

    renderer.BindTexture(0, nullptr, kSamplingLinear);
    ASSERT_TRUE(renderer.PushClipRect({0, 100, 100, 150}, {0, 0, 200, 150}));
    DrawQuad(renderer, 0, 0, 200, 150, 0xff00ff00); // green, clipped to the bottom-left corner
    renderer.PopClipRect();

    const std::vector<uint8_t> frame = gl.ReadPixels();
    gl.SaveFrame("offscreen-frame");

    ExpectColour(gl.PixelAt(frame, 35, 35), 0xff0000ff, "untextured quad");
    ExpectColour(gl.PixelAt(frame, 120, 30), 0xff0000ff, "texture top-left");
    ExpectColour(gl.PixelAt(frame, 160, 30), 0xff00ff00, "texture top-right");
    ExpectColour(gl.PixelAt(frame, 120, 70), 0xffff0000, "texture bottom-left");
    ExpectColour(gl.PixelAt(frame, 160, 70), 0xffffffff, "texture bottom-right");
    ExpectColour(gl.PixelAt(frame, 35, 80), 0xff209088, "alpha-blended quad");
    ExpectColour(gl.PixelAt(frame, 11, 71), 0xff209088, "alpha-blended quad at its edge");
    ExpectColour(gl.PixelAt(frame, 50, 125), 0xff00ff00, "inside the clip");
    ExpectColour(gl.PixelAt(frame, 150, 125), 0xff402010, "outside the clip");
    ExpectColour(gl.PixelAt(frame, 190, 5), 0xff402010, "background");

    renderer.PopViewMatrix();
    renderer.PopModelMatrix();
    renderer.PopProjectionMatrix();
    ReleaseTextureReference(quadrants);
    ReleaseTextureReference(mask);
}
