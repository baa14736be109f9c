#include "DemoSong.h"

#include <memory>

#include "base/File.h"
#include "base/FileSystemRegistry.h"
#include "sequencer/MIDIFileConverter.h"
#include "sequencer/MIDIFileSong.h"

namespace
{
constexpr int32_t kBeat = 256;
constexpr int32_t kBar = 4 * kBeat;
constexpr int kBars = 8;
constexpr int kBassChannel = 0;
constexpr int kChordChannel = 1;
constexpr int kLeadChannel = 2;
constexpr int kDrumChannel = 9;

// A minor progression, a bar each: Am, F, C, G, twice.
constexpr int kRoots[4] = {57, 53, 48, 55};
constexpr int kChords[4][3] = {{57, 60, 64}, {53, 57, 60}, {52, 55, 60}, {50, 55, 59}};
// The lead's notes by eighth of each bar, 0 for a rest.
constexpr int kLead[4][8] = {{76, 0, 72, 74, 76, 0, 79, 76},
                             {77, 0, 76, 74, 72, 0, 0, 0},
                             {72, 74, 76, 0, 79, 0, 76, 74},
                             {74, 0, 71, 0, 67, 0, 0, 0}};

void AddBar(cMIDIFileSong& song, int bar)
{
    const int32_t start = bar * kBar;
    const int chord = bar % 4;
    for (int eighth = 0; eighth < 8; ++eighth)
    {
        const int32_t time = start + eighth * kBeat / 2;
        const int root = kRoots[chord] - 24 + ((eighth % 4 == 3) ? 12 : 0);
        song.AddNote(kBassChannel, time, root, eighth % 2 ? 84 : 104, kBeat / 2 - 16);
        if (kLead[chord][eighth] && bar >= 4)
            song.AddNote(kLeadChannel, time, kLead[chord][eighth], 96, kBeat / 2 - 8);
        song.AddNote(kDrumChannel, time, 42, eighth % 2 ? 60 : 90, kBeat / 4);
    }
    for (int note : kChords[chord])
        song.AddNote(kChordChannel, start, note, 72, kBar - 32);
    for (int beat = 0; beat < 4; ++beat)
        song.AddNote(kDrumChannel, start + beat * kBeat, beat % 2 ? 38 : 36, 110, kBeat / 4);
}
} // namespace

bool WriteDemoMIDIFile()
{
    auto song = std::make_unique<cMIDIFileSong>();
    song->name = "Demo Song";
    song->tempo = 112.0f;
    song->channels[kBassChannel].trackName = "Bass";
    song->channels[kChordChannel].trackName = "Chords";
    song->channels[kLeadChannel].trackName = "Lead";
    song->channels[kDrumChannel].trackName = "Drums";
    for (int bar = 0; bar < kBars; ++bar)
        AddBar(*song, bar);
    File::cFile* file = gFileSystemRegistry->OpenIn("Doc", cGenString("User/MIDI Files/Demo Song.mid"),
                                                    File::kModeWrite, File::kFlagSafeWrite);
    if (!file)
        return false;
    const bool failed = cMIDIFileConverter(song.get(), file).Write();
    const bool committed = file->Close(failed);
    delete file;
    return !failed && committed;
}
