#pragma once

#include <cstdint>

#include "base/GenString.h"

class cInstrument;
class cMixer;

// The project's operations on the 16 instrument slots. Slot 0 holds the
// mixing desk, whose mixer takes every other instrument's outputs in slot
// order. Slot changes are made under the audio manager's lock, so the mixer
// never renders a half-changed table.

// Flags of StopAllInstruments before renders and project changes.
constexpr uint32_t kStopAllForChange = 1;

// Puts the instrument (or none) into the slot 0..15, keeping the mixer's
// inputs in slot order. The previous instrument is returned, or destroyed
// when deleteOld is set (null is returned then). A slot outside 0..15 changes
// nothing and returns null.
cInstrument* SetInstrumentSlot(cInstrument* instrument, int32_t slot, bool deleteOld);
// The mixer of the instrument in slot 0 when its package is "Mixer".
cMixer* GetMixer();
// Every instrument's notes off, with the flags.
void StopAllInstruments(uint32_t flags);
// A reset event into every instrument's queue, clearing effect and filter state.
void ResetAllInstrumentModules();
// A track for every instrument whose group has none.
void CreateMissingInstrumentTracks();
// Whether any instrument package still uses the sample file.
bool IsSampleInUseByProject(const cGenString& path);
