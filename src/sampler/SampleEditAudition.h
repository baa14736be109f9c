#pragma once
#include <cstdint>

// The preview player as the sample editor needs it: the editor keeps the
// range it plays in step with the selection. The player that previews the
// edited sample installs itself at start-up; until one is installed the
// editor's edits leave playback alone.
class cSampleEditAudition
{
public:
    virtual ~cSampleEditAudition() = default;
    virtual bool IsActive() const = 0;
    // The frame playing now, read without the lock for the ruler's marker.
    virtual int32_t GetPlayPosition() const = 0;
    // Both are called with the audio manager's lock held.
    virtual void SetPlayRange(int32_t start, int32_t end) = 0;
    // Playback goes on from the frame (with no fraction); a player holding
    // no sample stays at its end.
    virtual void SetPlayPosition(int32_t frame) = 0;
};

// Null removes the player.
void SetSampleEditAudition(cSampleEditAudition* audition);
cSampleEditAudition* GetSampleEditAudition();
