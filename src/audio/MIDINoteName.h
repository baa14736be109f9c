#pragma once
#include <cstdint>

class cGenString;

// "C4" for note 60, "C-1" for 0, "G9" for 127; "--" outside 0..127.
void GetMIDINoteName(cGenString& name, int32_t note);
