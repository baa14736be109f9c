#pragma once

#include "base/Singleton.h"

namespace Base
{
class cSerialise;
}

// "MIDISettings.dat" in "Doc": the controller map of every instrument
// package that has one ("Instruments", an element per package in
// registration order) and the MIDI input ports ("MIDIManager"). Read once at
// start-up, written by every auto-save.
class cMIDISettings : public Base::cSingleton<cMIDISettings>
{
public:
    static constexpr const char* kFileName = "MIDISettings.dat";
    static constexpr float kFileVersion = 1.0f;

    cMIDISettings();

    // True reads, false writes. A read is true when the file, or the backup
    // of a damaged file, was read.
    bool LoadSave(bool load);
    bool Load() { return LoadSave(true); }
    bool Save() { return LoadSave(false); }
    void Serialise(Base::cSerialise& serialiser);
};
