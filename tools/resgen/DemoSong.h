#pragma once
#include <memory>

class cMIDIFileSong;

// The demo song of the first start, our own arrangement (bass, chords, a
// lead and drums over eight bars at 112 beats per minute).

// Where each line plays: its channel, and the drums' notes for the kick,
// the snare and the closed hat.
struct cDemoSongLayout
{
    int bass;
    int chords;
    int lead;
    int drums;
    int kick;
    int snare;
    int hat;
};

// As a MIDI file lays it out: the usual channels and drum notes.
constexpr cDemoSongLayout kDemoMIDILayout = {0, 1, 2, 9, 36, 38, 42};

std::unique_ptr<cMIDIFileSong> MakeDemoSong(const cDemoSongLayout& layout);

// Written by the program's MIDI-file writer as "User/MIDI Files/Demo
// Song.mid" below the documents folder. Needs the "Doc" and "Tmp" mounts.
// False when it could not be written.
bool WriteDemoMIDIFile();
