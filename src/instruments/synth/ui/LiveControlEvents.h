#pragma once
#include <cstdint>

class cAnalogueSynthInstrument;

// The events of a live performance control: its value goes to the module
// and to the sequencer, which records it while recording; the touch edges
// go to the sequencer only, so that a recording knows where a gesture began
// and ended. Each posts with the ring's rule (a full ring drops the event)
// and does nothing without an instrument or a module.

// Type 7, word A 0 (a live control), word B the module parameter index.
void PostLiveValue(cAnalogueSynthInstrument* instrument, int32_t index, float value);
// Type 6, word A the module parameter index, word B 1 held or 0 let go.
void PostLiveTouch(cAnalogueSynthInstrument* instrument, int32_t index, bool held);
