#include "render/ScopedTextureBinding.h"

#include "render/Renderer.h"
#include "render/Texture.h"

cScopedTextureBinding::cScopedTextureBinding(cRenderer& renderer)
    : mRenderer(renderer), mTexture(renderer.texture0), mSampling(renderer.sampling0)
{
    if (mTexture)
        AddTextureReference(mTexture);
}

cScopedTextureBinding::~cScopedTextureBinding()
{
    mRenderer.BindTexture(0, mTexture, mSampling);
    if (mTexture)
        ReleaseTextureReference(mTexture);
}
