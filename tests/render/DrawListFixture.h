#pragma once

#include "base/FastMath.h"
#include "render/AtlasSprite.h"
#include "support/CaptureRenderer.h"
#include "render/DrawList.h"
#include "render/Font.h"
#include "render/Material.h"
#include "support/TestFont.h"
#include "render/Texture.h"
#include "render/VertexLayouts.h"

#include <gtest/gtest.h>

#include <memory>

// A draw list on a capturing renderer, with the program's named materials
// over textures without device images and the test font as "Default".
class DrawListFixture : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { InitFastMathTables(); }

    DrawListFixture()
    {
        gRenderer = &renderer;
        new cMaterialRegistry();
        colourAtlas = new cTexture("Textures/TestColour.pvr", nullptr);
        colourAtlas->SetSolidFillSprite(&colourSolid);
        fillAtlas = new cTexture("Textures/TestFill.pvr", nullptr);
        fillAtlas->SetSolidFillSprite(&fillSolid);
        plainAtlas = new cTexture("Textures/TestPlain.pvr", nullptr);
        texturedColour = AddMaterial("TexturedColour", kBlendAlpha, colourAtlas);
        fill = AddMaterial("Fill", kBlendAlpha, fillAtlas);
        untextured = AddMaterial("Untextured", kBlendOff, nullptr);
        untexturedAlpha = AddMaterial("UntexturedAlpha", kBlendAlpha, nullptr);
        plain = AddMaterial("Plain", kBlendMultiply, plainAtlas);
        new cFontRegistry();
        gFontRegistry->Add(MakeTestFont());
        list = std::make_unique<cDrawList>(&renderer);
        list->currentMaterial = texturedColour;
        renderer.draws.clear();
        renderer.calls.clear();
    }
    ~DrawListFixture() override
    {
        list.reset();
        delete gFontRegistry;
        delete gMaterialRegistry;
        renderer.BindTexture(0, nullptr, kSamplingLinear);
        for (cTexture* texture : {colourAtlas, fillAtlas, plainAtlas})
            ReleaseTextureReference(texture);
        gRenderer = nullptr;
    }

    cMaterial* AddMaterial(const char* name, eBlendMode blend, cTexture* texture)
    {
        auto* material = new cMaterial(blend);
        material->SetTexture(texture);
        gMaterialRegistry->Add(name, material);
        return material;
    }

    const cVertexXYZColourTex1& V(size_t draw, size_t i) const
    {
        return renderer.draws.at(draw).Vertex<cVertexXYZColourTex1>(i);
    }

    cAtlasSprite colourSolid = {0.01f, 0.01f, 0.02f, 0.02f, 0, 0, 1, 1, 1, 1, 0.5f, 0.5f};
    cAtlasSprite fillSolid = {0.11f, 0.11f, 0.12f, 0.12f, 0, 0, 1, 1, 1, 1, 0.5f, 0.5f};
    cCaptureRenderer renderer;
    cTexture* colourAtlas;
    cTexture* fillAtlas;
    cTexture* plainAtlas;
    cMaterial* texturedColour;
    cMaterial* fill;
    cMaterial* untextured;
    cMaterial* untexturedAlpha;
    cMaterial* plain;
    std::unique_ptr<cDrawList> list;
};
