#include "render/Material.h"

#include "support/RecordingRenderer.h"
#include "render/Texture.h"

#include <gtest/gtest.h>

namespace
{
class MaterialTest : public ::testing::Test
{
protected:
    MaterialTest()
    {
        gRenderer = &renderer;
        atlas = new cTexture("Textures/Atlas.pvr", nullptr);
        new cMaterialRegistry();
    }
    ~MaterialTest() override
    {
        delete gMaterialRegistry;
        renderer.BindTexture(0, nullptr, kSamplingLinear);
        ReleaseTextureReference(atlas);
        gRenderer = nullptr;
    }

    cMaterial* MakeTextured(eSampling sampling)
    {
        auto* material = new cMaterial(kBlendAlpha);
        material->SetTexture(atlas);
        material->sampling = sampling;
        return material;
    }

    cRecordingRenderer renderer;
    cTexture* atlas;
};
} // namespace

TEST_F(MaterialTest, ApplyChangesOnlyTheStatesThatDiffer)
{
    gMaterialRegistry->Add("TexturedColour", MakeTextured(kSamplingLinear));
    gMaterialRegistry->Add("Untextured", new cMaterial(kBlendOff));
    cMaterial* textured = gMaterialRegistry->Find("TexturedColour");
    cMaterial* untextured = gMaterialRegistry->Find("Untextured");

    textured->Apply();
    EXPECT_EQ(renderer.calls, (std::vector<std::string>{"SetBlendMode", "BindTexture"}));
    EXPECT_EQ(renderer.texture0, atlas);

    renderer.calls.clear();
    untextured->Apply();
    EXPECT_EQ(renderer.calls, (std::vector<std::string>{"SetBlendMode", "BindTexture"}));
    EXPECT_EQ(renderer.texture0, nullptr);

    renderer.calls.clear();
    untextured->Apply();
    EXPECT_TRUE(renderer.calls.empty());

    untextured->colour = 0xff00ff00;
    untextured->renderFlags = kCullBack;
    untextured->Apply();
    EXPECT_EQ(renderer.calls, (std::vector<std::string>{"SetColour", "SetCullMode"}));
}

TEST_F(MaterialTest, SamplingAloneRebindsTheSameTexture)
{
    cMaterial* linear = MakeTextured(kSamplingLinear);
    cMaterial* nearest = MakeTextured(kSamplingNearest);
    gMaterialRegistry->Add("Linear", linear);
    gMaterialRegistry->Add("Nearest", nearest);

    linear->Apply();
    renderer.calls.clear();
    nearest->Apply();
    EXPECT_EQ(renderer.calls, (std::vector<std::string>{"BindTexture"}));
    EXPECT_EQ(renderer.texture0, atlas);
    EXPECT_EQ(renderer.sampling0, kSamplingNearest);
}

TEST_F(MaterialTest, RegistryFindsByNameIgnoringCaseAndKeepsTheFirst)
{
    cMaterial* first = new cMaterial(kBlendAlpha);
    cMaterial* second = new cMaterial(kBlendOff);
    gMaterialRegistry->Add("Fill", first);
    gMaterialRegistry->Add("Fill", second);
    EXPECT_EQ(gMaterialRegistry->Find("fill"), first);
    EXPECT_EQ(gMaterialRegistry->Find("FILL"), first);
    EXPECT_EQ(gMaterialRegistry->Find("Fil"), nullptr);
    EXPECT_EQ(gMaterialRegistry->GetCount(), 2);
}

TEST_F(MaterialTest, MaterialsHoldTheirTextureUntilDeleted)
{
    EXPECT_EQ(atlas->GetRefCount(), 1);
    gMaterialRegistry->Add("A", MakeTextured(kSamplingLinear));
    gMaterialRegistry->Add("B", MakeTextured(kSamplingLinear));
    EXPECT_EQ(atlas->GetRefCount(), 3);
    delete gMaterialRegistry;
    EXPECT_EQ(gMaterialRegistry, nullptr);
    EXPECT_EQ(atlas->GetRefCount(), 1);
    new cMaterialRegistry();
}
