#pragma once

class cCriticalSection;

// Holds the audio manager's lock for a scope, so the audio thread never sees
// a structural change half made. Without an audio manager (tests, tools) there
// is no audio thread to keep out and nothing is locked.
class cScopedAudioLock
{
public:
    cScopedAudioLock();
    ~cScopedAudioLock();
    cScopedAudioLock(const cScopedAudioLock&) = delete;
    cScopedAudioLock& operator=(const cScopedAudioLock&) = delete;

private:
    cCriticalSection* mSection;
};
