#include "render/RenderStartup.h"

#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DeviceTexture.h"
#include "render/Font.h"
#include "render/FontHandle.h"
#include "render/Material.h"
#include "support/OffscreenGL.h"
#include "render/Renderer.h"
#include "support/ResMount.h"
#include "render/Texture.h"
#include "render/VertexLayouts.h"

#include <gtest/gtest.h>


namespace
{
using cVertex = cVertexXYZColourTex1;

// A flat quad drawn through a material with its texture's solid-fill sprite.
void DrawSolid(cRenderer& renderer, const char* materialName, float x0, float x1, uint32_t colour)
{
    const cMaterial* material = gMaterialRegistry->Find(materialName);
    ASSERT_NE(material, nullptr);
    ASSERT_NE(material->GetTexture(), nullptr);
    const cAtlasSprite* solid = material->GetTexture()->GetSolidFillSprite();
    ASSERT_NE(solid, nullptr);
    const float u = (solid->u0 + solid->u1) * 0.5f, v = (solid->v0 + solid->v1) * 0.5f;
    const cVertex vertices[4] = {
        {x0, 10, 0.05f, colour, u, v}, {x1, 10, 0.05f, colour, u, v},
        {x0, 50, 0.05f, colour, u, v}, {x1, 50, 0.05f, colour, u, v},
    };
    material->Apply();
    renderer.DrawArrays(kPrimitiveTriangleStrip, cVertex::kFormat, vertices, 4);
}

class ContentStartupTest : public ::testing::TestWithParam<int32_t>
{
};
} // namespace

TEST_P(ContentStartupTest, GeneratedAtlasesMaterialsAndFontLoad)
{
    const int32_t deviceClass = GetParam();
    cOffscreenGL gl(160, 60);
    ASSERT_TRUE(gl.IsReady()) << gl.Error();
    cResMount mount(GeneratedResourceFolder());

    // How long this takes is measured by bench_content.
    SelectTextureProfiles(deviceClass);
    const bool materials = CreateMaterials(deviceClass);
    const bool fonts = CreateFonts();
    ASSERT_TRUE(materials) << "atlases missing in " << mount.Root();
    ASSERT_TRUE(fonts);

    for (const char* name : {"TexturedColour", "TexturedMono", "Fill"})
    {
        const cMaterial* material = gMaterialRegistry->Find(name);
        ASSERT_NE(material, nullptr) << name;
        ASSERT_NE(material->GetTexture(), nullptr) << name;
        EXPECT_TRUE(material->GetTexture()->GetDeviceTexture()->IsUploaded()) << name;
        EXPECT_EQ(material->blendMode, kBlendAlpha);
    }
    EXPECT_EQ(gMaterialRegistry->Find("TexturedColour")->GetTexture()->GetSolidFillSprite(),
              &gTex8888AtlasTable[kTex8888SolidFill]);
    EXPECT_EQ(gMaterialRegistry->Find("Untextured")->blendMode, kBlendOff);
    EXPECT_EQ(gMaterialRegistry->Find("UntexturedAlpha")->GetTexture(), nullptr);

    cFontHandle handle;
    handle.Select(10);
    ASSERT_TRUE(handle.IsValid());
    EXPECT_GT(handle.GetTextWidth("Quilwright"), 30.0f);
    EXPECT_GT(handle.GetTextWidth("\xe9"), 0.0f) << "Latin-1 through the code ranges";

    // The solid-fill sprite of every atlas draws flat colour.
    cRenderer& renderer = gl.Renderer();
    renderer.Clear(kClearColour);
    renderer.Push2DProjection(-1, -1);
    DrawSolid(renderer, "TexturedColour", 0, 50, 0xff2080ff);
    DrawSolid(renderer, "TexturedMono", 55, 105, 0xff2080ff);
    DrawSolid(renderer, "Fill", 110, 160, 0xff2080ff);
    const std::vector<uint8_t> frame = gl.ReadPixels();
    gl.SaveFrame("solid-fills-" + std::to_string(deviceClass));
    for (int x : {25, 80, 135})
        EXPECT_EQ(gl.PixelAt(frame, x, 30), 0xff2080ffu) << "x " << x;
    renderer.PopViewMatrix();
    renderer.PopModelMatrix();
    renderer.PopProjectionMatrix();

    renderer.BindTexture(0, nullptr, kSamplingLinear);
    DestroyMaterialsAndFonts();
    EXPECT_EQ(gMaterialRegistry, nullptr);
    EXPECT_EQ(gFontRegistry, nullptr);
    EXPECT_EQ(cTexture::Find("Textures/Fill.pvr"), nullptr) << "every texture released";
    SelectTextureProfiles(0);
}

INSTANTIATE_TEST_SUITE_P(DeviceClasses, ContentStartupTest, ::testing::Values(0, 1, 2));
