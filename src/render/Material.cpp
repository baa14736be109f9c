#include "render/Material.h"

#include "render/Renderer.h"
#include "render/Texture.h"

#include <strings.h>

uint32_t gDefaultMaterialColour = 0xffffffffu;
cMaterial* gDefaultMaterial = nullptr;
cMaterialRegistry* gMaterialRegistry = nullptr;

cMaterial::cMaterial(eBlendMode blend) : colour(gDefaultMaterialColour), blendMode(blend) {}

cMaterial::~cMaterial()
{
    SetTexture(nullptr);
}

void cMaterial::SetTexture(cTexture* texture)
{
    if (texture == mTexture)
        return;
    if (texture)
        AddTextureReference(texture);
    cTexture* old = mTexture;
    mTexture = texture;
    if (old)
        ReleaseTextureReference(old);
}

void cMaterial::Apply() const
{
    cRenderer& renderer = *gRenderer;
    if (colour != renderer.colour)
        renderer.SetColour(colour);
    const eCullMode cull = eCullMode(renderFlags & 0xfu);
    if (cull != renderer.cullMode)
        renderer.SetCullMode(cull);
    if (blendMode != renderer.blendMode)
        renderer.SetBlendMode(blendMode);
    if (mTexture != renderer.texture0 || sampling != renderer.sampling0)
        renderer.BindTexture(0, mTexture, sampling);
}

cMaterialRegistry::cMaterialRegistry()
{
    gMaterialRegistry = this;
}

cMaterialRegistry::~cMaterialRegistry()
{
    mEntries.clear();
    if (gMaterialRegistry == this)
        gMaterialRegistry = nullptr;
}

void cMaterialRegistry::Add(const char* name, cMaterial* material)
{
    mEntries.push_back({cGenStringFixed<32>(name), std::unique_ptr<cMaterial>(material)});
}

cMaterial* cMaterialRegistry::Find(const char* name) const
{
    for (const cEntry& entry : mEntries)
        if (strcasecmp(entry.name.CStr(), name ? name : "") == 0)
            return entry.material.get();
    return nullptr;
}
