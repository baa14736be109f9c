#include "audio/EffectCrossfade.h"

#include "audio/AudioManager.h"
#include "audio/AudioMix.h"

void cEffectCrossfade::Begin(cAudioBuffer& block, int32_t mode)
{
    Begin(block, mode, cAudioManager::Get() ? cAudioManager::Get()->GetBufferPool() : nullptr);
}

void cEffectCrossfade::Begin(cAudioBuffer& block, int32_t mode, cAudioBufferPool* pool)
{
    mBlock = &block;
    mMode = mode;
    mPool = pool;
    mHandle = {};
    if (mode == kModeNone || !pool)
        return;
    mHandle = pool->Acquire(block.format, block.frames, block.channels);
    if (mHandle.node)
        CopyStereo(mHandle.node->buffer, block, block.frames);
}

void cEffectCrossfade::Mix()
{
    // Without a scratch buffer there is no dry signal to blend with.
    if (!mHandle.node || !mBlock)
        return;
    if (mMode == kModeFadeIn)
        MixStereoCrossfade(*mBlock, 1.0f, 0.0f, mHandle.node->buffer);
    else if (mMode == kModeFadeOut)
        MixStereoCrossfade(*mBlock, 0.0f, 1.0f, mHandle.node->buffer);
}

void cEffectCrossfade::End()
{
    if (mHandle.node && mPool)
        mPool->Release(mHandle);
    mHandle = {};
}
