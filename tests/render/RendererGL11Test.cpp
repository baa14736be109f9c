#include "render/opengl11/RendererGL11.h"

#include "render/DeviceTexture.h"
#include "support/OffscreenGL.h"
#include "render/PVRImage.h"
#include "render/Texture.h"
#include "render/opengl11/DeviceTextureGL.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>

namespace
{
const cVertexElement kPositionElements[] = {{kVertexUsagePosition, 0, VertexComponents(kVertexComponentFloat, 2), 0}};
const cVertexFormat kPositions = {kPositionElements, 1, 8, "positions"};
const cVertexElement kColouredElements[] = {
    {kVertexUsagePosition, 0, VertexComponents(kVertexComponentShort, 2), 0},
    {kVertexUsageColour, 0, VertexComponents(kVertexComponentUByte, 4), 4},
};
const cVertexFormat kColoured = {kColouredElements, 2, 8, "coloured"};

void* VertexPointer()
{
    void* pointer = nullptr;
    glGetPointerv(GL_VERTEX_ARRAY_POINTER, &pointer);
    return pointer;
}

GLint TextureParameter(GLenum name)
{
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

GLint BoundTexture()
{
    GLint name = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return name;
}

// An RGBA image with its level chain, levels held by the test.
struct cImageWithLevels
{
    cPVRImage image;
    std::vector<std::vector<uint8_t>> pixels;

    cImageWithLevels(uint32_t width, uint32_t height, uint32_t levels)
    {
        image.pixelFormat = kPixelFormatRGBA8;
        image.width = width;
        image.height = height;
        image.bitsPerPixel = 32;
        image.surfaceCount = 1;
        image.levelCount = levels;
        image.surfaces.reset(new cPVRSurface[1]);
        image.surfaces[0].levelCount = levels;
        image.surfaces[0].levels.reset(new cPVRLevel[levels]);
        for (uint32_t i = 0, w = width, h = height; i < levels; ++i, w = std::max(1u, w / 2), h = std::max(1u, h / 2))
        {
            pixels.emplace_back(w * h * 4, uint8_t(0x40 * i));
            image.surfaces[0].levels[i].pixels = pixels.back().data();
        }
    }
};

class RendererGL11Test : public ::testing::Test
{
protected:
    RendererGL11Test() : gl(64, 64) {}

    void SetUp() override { ASSERT_TRUE(gl.IsReady()) << gl.Error(); }

    cOffscreenGL gl;
};
} // namespace

TEST_F(RendererGL11Test, VertexArraysAreSetOnlyWhenTheyChange)
{
    auto& renderer = static_cast<cRendererGL11&>(gl.Renderer());
    const float a[8] = {0, 0, 1, 0, 0, 1, 1, 1};
    const float b[8] = {0, 0, 1, 0, 0, 1, 1, 1};
    const uint16_t indices[3] = {0, 1, 2};
    // The context is shared with earlier tests: start from known array state.
    glDisableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, nullptr);

    renderer.DrawIndexed(kPrimitiveTriangles, kPositions, a, 4, indices, 0);
    EXPECT_NE(VertexPointer(), a) << "nothing to draw sets no arrays";
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));

    renderer.DrawIndexed(kPrimitiveTriangles, kPositions, a, 4, indices, 3);
    EXPECT_EQ(VertexPointer(), a);
    EXPECT_TRUE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));

    // The same layout over other data re-points the arrays and leaves the switches.
    glDisableClientState(GL_VERTEX_ARRAY);
    renderer.DrawArrays(kPrimitiveTriangles, kPositions, b, 3);
    EXPECT_EQ(VertexPointer(), b);
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    glEnableClientState(GL_VERTEX_ARRAY);

    const int16_t coloured[8] = {0, 0, 0, 0, 1, 1, 0, 0};
    renderer.DrawArrays(kPrimitiveLines, kColoured, coloured, 2);
    EXPECT_TRUE(glIsEnabled(GL_COLOR_ARRAY));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(RendererGL11Test, SamplingFieldsAreReadOnTheirOwn)
{
    auto& renderer = gl.Renderer();
    cImageWithLevels levels(4, 4, 1);
    cTexture* texture = new cTexture("Test/Sampling", renderer.CreateDeviceTexture(levels.image));

    renderer.BindTexture(0, texture, kSamplingLinearRepeat);
    EXPECT_EQ(TextureParameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
    renderer.SetTextureSampling(0, eSampling(0x201));
    EXPECT_EQ(TextureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_NE(TextureParameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(TextureParameter(GL_TEXTURE_WRAP_T), GL_REPEAT) << "field value 2 leaves the wrap in t";
    renderer.SetTextureSampling(0, eSampling(0x2));
    EXPECT_EQ(TextureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(TextureParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);

    // Binding the bound texture again still binds it and applies the mode.
    glBindTexture(GL_TEXTURE_2D, 0);
    renderer.BindTexture(0, texture, kSamplingNearest);
    EXPECT_EQ(BoundTexture(), GLint(static_cast<cDeviceTextureGL*>(texture->GetDeviceTexture())->GetName()));
    EXPECT_EQ(TextureParameter(GL_TEXTURE_MAG_FILTER), GL_NEAREST);

    renderer.BindTexture(0, nullptr, kSamplingLinear);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(texture->GetRefCount(), 1);
    ReleaseTextureReference(texture);
}

TEST_F(RendererGL11Test, TexturesUploadEveryLevelAndKeepTheBinding)
{
    auto& renderer = gl.Renderer();
    cImageWithLevels bound(2, 2, 1);
    cTexture* previous = new cTexture("Test/Previous", renderer.CreateDeviceTexture(bound.image));
    renderer.BindTexture(0, previous, kSamplingNearest);
    const GLint previousName = BoundTexture();

    cImageWithLevels levels(5, 3, 3);
    cTexture* texture = new cTexture("Test/Levels", renderer.CreateDeviceTexture(levels.image));
    auto* device = static_cast<cDeviceTextureGL*>(texture->GetDeviceTexture());
    ASSERT_TRUE(device->IsUploaded());
    EXPECT_EQ(BoundTexture(), previousName) << "the upload puts the previous binding back";
    EXPECT_EQ(renderer.texture0, previous);
    EXPECT_EQ(renderer.sampling0, kSamplingNearest);

    glBindTexture(GL_TEXTURE_2D, device->GetName());
    const GLint expected[3][2] = {{5, 3}, {2, 1}, {1, 1}};
    for (int level = 0; level < 3; ++level)
    {
        GLint width = 0, height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
        EXPECT_EQ(width, expected[level][0]) << "level " << level;
        EXPECT_EQ(height, expected[level][1]) << "level " << level;
    }

    // A later upload replaces only the levels it has pixels for.
    levels.image.surfaces[0].levels[0].pixels = nullptr;
    EXPECT_TRUE(device->Upload(levels.image));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    renderer.BindTexture(0, nullptr, kSamplingLinear);
    ReleaseTextureReference(texture);
    ReleaseTextureReference(previous);
}

// Between BeginFrame and EndFrame the OpenGL calls are recorded: a frame
// identical to the one on screen is not made again unless it must be shown,
// and a recorded frame, when made, draws what immediate calls would have.
TEST_F(RendererGL11Test, AFrameLikeTheOneOnScreenIsNotMadeAgain)
{
    auto& renderer = static_cast<cRendererGL11&>(gl.Renderer());
    const float quad[8] = {-1, -1, 1, -1, -1, 1, 1, 1};
    auto frame = [&](uint32_t clearColour, uint32_t quadColour) {
        renderer.BeginFrame();
        renderer.SetClearColour(clearColour);
        renderer.Clear(kClearColour);
        if (quadColour != 0)
        {
            renderer.SetColour(quadColour);
            renderer.DrawArrays(kPrimitiveTriangleStrip, kPositions, quad, 4);
            // A later colour does not reach the recorded draw.
            renderer.SetColour(0xffffffffu);
        }
    };
    renderer.SetBlendMode(kBlendOff);
    renderer.BindTexture(0, nullptr, kSamplingLinear);

    frame(0xff0000ffu, 0);
    EXPECT_TRUE(renderer.EndFrame(false));
    EXPECT_EQ(gl.PixelAt(gl.ReadPixels(), 10, 10), 0xff0000ffu);

    frame(0xff0000ffu, 0);
    EXPECT_FALSE(renderer.EndFrame(false)) << "unchanged";
    frame(0xff0000ffu, 0);
    EXPECT_TRUE(renderer.EndFrame(true)) << "unchanged, but the window asked for it";

    frame(0xff0000ffu, 0xff00ff00u);
    EXPECT_TRUE(renderer.EndFrame(false));
    EXPECT_EQ(gl.PixelAt(gl.ReadPixels(), 10, 10), 0xff00ff00u) << "drawn in the colour of its time";
    frame(0xff0000ffu, 0xff00ff00u);
    EXPECT_FALSE(renderer.EndFrame(false));

    // A texture made during the frame makes what was recorded at once; the
    // frame is shown, and the next one cannot be taken for it.
    frame(0xff0000ffu, 0xff00ff00u);
    cImageWithLevels levels(4, 4, 1);
    cTexture* texture = new cTexture("Test/DuringAFrame", renderer.CreateDeviceTexture(levels.image));
    renderer.SetColour(0xffff0000u);
    renderer.DrawArrays(kPrimitiveTriangleStrip, kPositions, quad, 4);
    EXPECT_TRUE(renderer.EndFrame(false));
    EXPECT_EQ(gl.PixelAt(gl.ReadPixels(), 10, 10), 0xffff0000u);
    frame(0xff0000ffu, 0xff00ff00u);
    EXPECT_TRUE(renderer.EndFrame(false));
    ReleaseTextureReference(texture);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
