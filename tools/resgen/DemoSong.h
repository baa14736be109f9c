#pragma once
#include <string>

// The demo song of the first start, our own arrangement (bass, chords, a
// lead and drums over eight bars), written by the program's MIDI-file
// writer as "User/MIDI Files/Demo Song.mid" below the documents folder.
// Needs the "Doc" and "Tmp" mounts. False when it could not be written.
bool WriteDemoMIDIFile();
