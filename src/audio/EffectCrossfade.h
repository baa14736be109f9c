#pragma once
#include <cstdint>

#include "audio/AudioBufferPool.h"

// Fades an effect's processed signal in or out over one block when the effect
// is switched on or off: Begin saves the dry signal, the effect processes the
// block in place, Mix blends, End returns the scratch buffer.
class cEffectCrossfade
{
public:
    enum : int32_t
    {
        kModeNone = 0,
        kModeFadeIn = 1,
        kModeFadeOut = 2,
    };

    // Uses the audio manager's pool.
    void Begin(cAudioBuffer& block, int32_t mode);
    void Begin(cAudioBuffer& block, int32_t mode, cAudioBufferPool* pool);
    void Mix();
    void End();

private:
    int32_t mMode = kModeNone;
    cAudioBuffer* mBlock = nullptr;
    cAudioBufferPool::cHandle mHandle;
    cAudioBufferPool* mPool = nullptr;
};
