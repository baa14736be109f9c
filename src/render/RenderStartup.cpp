#include "render/RenderStartup.h"

#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/Font.h"
#include "render/Material.h"
#include "render/Renderer.h"
#include "render/Texture.h"

namespace
{
struct cAtlasFiles
{
    const char* colour;
    uint32_t colourFlags;
    const char* mono;
};

cAtlasFiles AtlasFilesFor(int32_t deviceClass)
{
    switch (deviceClass)
    {
    case 1: return {"Textures/Tex8888_tablet.pvr", 0, "Textures/Tex8_tablet.pvr"};
    case 2: return {"Textures/Tex8888_desktop.pvr", kTextureNoDoubleResolution, "Textures/Tex8.pvr"};
    default: return {"Textures/Tex8888.pvr", 0, "Textures/Tex8.pvr"};
    }
}

// Registers a material over an atlas; the material keeps the caller's reference.
bool RegisterAtlasMaterial(const char* name, const char* file, uint32_t flags, const cAtlasSprite* solidFill)
{
    cTexture* texture = cTexture::Load(file, flags);
    if (texture)
        texture->SetSolidFillSprite(solidFill);
    auto* material = new cMaterial(kBlendAlpha);
    material->SetTexture(texture);
    material->sampling = kSamplingLinear;
    if (texture)
        ReleaseTextureReference(texture);
    gMaterialRegistry->Add(name, material);
    return texture != nullptr;
}
} // namespace

void SelectTextureProfiles(int32_t deviceClass)
{
    const char* profile = GetTextureProfileName(deviceClass);
    SelectTex8AtlasTable(profile);
    SelectTex8888AtlasTable(profile);
    SelectInstallerTable(profile);
    SelectFillAtlasTable(profile);
}

bool CreateMaterials(int32_t deviceClass)
{
    new cMaterialRegistry();
    const cAtlasFiles files = AtlasFilesFor(deviceClass);
    bool loaded = RegisterAtlasMaterial("TexturedColour", files.colour, files.colourFlags,
                                        &gTex8888AtlasTable[kTex8888SolidFill]);
    loaded &= RegisterAtlasMaterial("TexturedMono", files.mono, kTextureIntensityAsAlpha,
                                    &gTex8AtlasTable[kTex8SolidFill]);
    loaded &= RegisterAtlasMaterial("Fill", "Textures/Fill.pvr", kTextureIntensityAsAlpha,
                                    &gFillAtlasTable[kFillSolidFill]);
    gMaterialRegistry->Add("Untextured", new cMaterial(kBlendOff));
    gMaterialRegistry->Add("UntexturedAlpha", new cMaterial(kBlendAlpha));
    return loaded;
}

bool CreateFonts()
{
    new cFontRegistry();
    return gFontRegistry->Load("Default");
}

void DestroyMaterialsAndFonts()
{
    cResource<cTexture>::DumpAll();
    delete gMaterialRegistry;
    delete gFontRegistry;
}
