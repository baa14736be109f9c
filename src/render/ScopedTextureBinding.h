#pragma once

#include "render/RenderStates.h"

class cRenderer;
class cTexture;

// Remembers the texture bound on unit 0 and binds it again when the scope ends.
class cScopedTextureBinding
{
public:
    explicit cScopedTextureBinding(cRenderer& renderer);
    ~cScopedTextureBinding();
    cScopedTextureBinding(const cScopedTextureBinding&) = delete;
    cScopedTextureBinding& operator=(const cScopedTextureBinding&) = delete;

private:
    cRenderer& mRenderer;
    cTexture* mTexture; // counted reference
    eSampling mSampling;
};
