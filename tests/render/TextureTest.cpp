#include "render/Texture.h"

#include "render/DeviceTexture.h"
#include "render/PVRImage.h"
#include "support/RecordingRenderer.h"
#include "support/ResMount.h"

#include "PvrWriter.h"

#include <gtest/gtest.h>

namespace
{
class TextureTest : public ::testing::Test
{
protected:
    TextureTest() : mount(MakeTestFolder("textures"))
    {
        gRenderer = &renderer;
        const std::vector<uint8_t> white(4 * 4, 0xff);
        mount.WriteFile("Textures/Fill.pvr", BuildPvrFile(ePvrType::Intensity8, 4, 4, white));
        mount.WriteFile("Textures/Upper.PVR", BuildPvrFile(ePvrType::Intensity8, 4, 4, white));
        mount.WriteFile("Textures/NoExtension", BuildPvrFile(ePvrType::Intensity8, 4, 4, white));
        mount.WriteFile("Textures/Broken.pvr", {1, 2, 3});
    }
    ~TextureTest() override { gRenderer = nullptr; }

    cRecordingRenderer renderer;
    cResMount mount;
};
} // namespace

TEST_F(TextureTest, SameNameSharesOneTextureUntilTheLastRelease)
{
    cTexture* first = cTexture::Load("Textures/Fill.pvr", kTextureIntensityAsAlpha);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(first->GetDeviceTexture(), nullptr);
    EXPECT_EQ(first->GetDeviceTexture()->pixelFormat, uint32_t(kPixelFormatAlpha8));
    cTexture* second = cTexture::Load("Textures/Fill.pvr", 0);
    EXPECT_EQ(second, first);
    EXPECT_EQ(first->GetRefCount(), 2);
    ReleaseTextureReference(second);

    cTexture* found = cTexture::Find("Textures/Fill.pvr");
    EXPECT_EQ(found, first);
    EXPECT_EQ(first->GetRefCount(), 2) << "finding adds a reference";
    ReleaseTextureReference(found);
    ReleaseTextureReference(first);
    EXPECT_EQ(cTexture::Find("Textures/Fill.pvr"), nullptr) << "the last release removes it from the map";

    renderer.calls.clear();
    cTexture* again = cTexture::Load("Textures/Fill.pvr", 0);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(renderer.calls, (std::vector<std::string>{"CreateDeviceTexture"})) << "the file is read again";
    ReleaseTextureReference(again);
}

TEST_F(TextureTest, NamesAndExtensionsDecideWhatLoads)
{
    cTexture* upper = cTexture::Load("Textures/Upper.PVR", 0);
    EXPECT_NE(upper, nullptr) << "the extension test ignores case";
    EXPECT_EQ(cTexture::Load("Textures/NoExtension", 0), nullptr);
    EXPECT_EQ(cTexture::Load("Textures/Missing.pvr", 0), nullptr);
    EXPECT_EQ(cTexture::Load("Textures/Broken.pvr", 0), nullptr);

    cTexture* fill = cTexture::Load("Textures/Fill.pvr", 0);
    cTexture* lower = cTexture::Load("Textures/fill.pvr", 0);
    EXPECT_NE(lower, fill) << "map keys are case-sensitive";
    if (lower)
        ReleaseTextureReference(lower);
    ReleaseTextureReference(fill);
    ReleaseTextureReference(upper);
}
