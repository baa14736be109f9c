#pragma once

class cCriticalSection;

// Holds the sequencer lock for the whole of an editor's look at or change of
// the song, so the audio thread never plays a half-made edit. Notes the
// recorder still holds are filed first, so no view is built beside them and
// no edit lands under them. A change also forgets the last record session:
// undoing that session afterwards would take back what the editor changed.
class cSongEditLock
{
public:
    enum eUse
    {
        kRead,
        kChange,
    };

    explicit cSongEditLock(eUse use);
    ~cSongEditLock();
    cSongEditLock(const cSongEditLock&) = delete;
    cSongEditLock& operator=(const cSongEditLock&) = delete;

private:
    cCriticalSection* mLock;
};
