#pragma once
#include <cstdint>

class cInstrument;

// What MIDI-file import and export need of the project layer above the
// sequencer: whether a project is open, and its slot operation, which keeps
// the mixing desk's inputs in step with the slots. The project list installs
// it while it exists. Without it no project is open and a slot change goes
// to the slot table alone, under the audio manager's lock.
class cMIDIFileProjectHost
{
public:
    virtual ~cMIDIFileProjectHost() = default;
    virtual bool HasCurrentProject() = 0;
    // Puts the instrument into the slot under the audio manager's lock,
    // destroying the previous one when deleteOld is set.
    virtual void SetInstrumentSlot(cInstrument* instrument, int32_t slot, bool deleteOld) = 0;
};

void SetMIDIFileProjectHost(cMIDIFileProjectHost* host);
cMIDIFileProjectHost* GetMIDIFileProjectHost();
