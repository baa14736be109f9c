#pragma once

#include <cstdint>

class cInstrumentPackage;

// The song's instrument-track changes that screens above the editors ask
// for (the instrument properties dialogue): each one undoable step of the
// song. Main thread only.
class cInstrumentTrackCommands
{
public:
    virtual ~cInstrumentTrackCommands() = default;
    // A new instrument of the package in the slot, on a track of its own;
    // false (nothing changed) when the song has no room for another track.
    virtual bool AddInstrumentTrack(cInstrumentPackage* package, const char* name, int32_t slot) = 0;
    // The slot's instrument replaced by a new one of the package.
    virtual void ReplaceTrackInstrument(cInstrumentPackage* package, const char* name, int32_t slot) = 0;
    // The slot's instrument and its tracks removed.
    virtual bool RemoveInstrumentTrack(int32_t slot) = 0;
};
