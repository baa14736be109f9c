#pragma once
#include <cstdint>

class cGenString;
class cMIDIFileSong;

// Standard MIDI files in and out of the song. All three run on the job
// thread; MIDI channel c + 1 belongs to instrument slot c both ways.

// Reads the file at the path in "Doc"; null with the reason in the error
// text ("Could not open file.", "Could not read this MIDI file.").
cMIDIFileSong* LoadMIDIFile(const char* path, cGenString& error);
// Appends the song after the end of the current one on a whole bar: a
// track and an instrument for each channel whose slot has no track, and the
// channel's events cut into parts of whole bars. With applyPresets each
// slot's instrument gets the channel's first bank and program as its preset
// and the channel's track name. Takes the song over and deletes it. Parts
// the song has no room for are left out.
bool ImportMIDIFileSong(cMIDIFileSong* song, bool applyPresets);
// Writes the current song to the path in "Doc" under the name. An earlier
// file there stays as it was unless the whole new one is written. False
// with the reason in the error text ("Unknown error." without a project,
// "Could not open file.", "Could not export to MIDI file.").
bool ExportSongToMIDIFile(const char* path, const char* songName, cGenString& error);
