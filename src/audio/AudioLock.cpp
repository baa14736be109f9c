#include "audio/AudioLock.h"

#include "audio/AudioManager.h"

cScopedAudioLock::cScopedAudioLock()
    : mSection(cAudioManager::Get() ? cAudioManager::Get()->GetLock() : nullptr)
{
    if (mSection)
        mSection->Enter();
}

cScopedAudioLock::~cScopedAudioLock()
{
    if (mSection)
        mSection->Leave();
}
