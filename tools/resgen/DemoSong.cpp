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

// A minor progression, a bar each: Am, F, C, G, twice.
constexpr int kRoots[4] = {57, 53, 48, 55};
constexpr int kChords[4][3] = {{57, 60, 64}, {53, 57, 60}, {52, 55, 60}, {50, 55, 59}};
// The lead's notes by eighth of each bar, 0 for a rest.
constexpr int kLead[4][8] = {{76, 0, 72, 74, 76, 0, 79, 76},
                             {77, 0, 76, 74, 72, 0, 0, 0},
                             {72, 74, 76, 0, 79, 0, 76, 74},
                             {74, 0, 71, 0, 67, 0, 0, 0}};

void AddBar(cMIDIFileSong& song, const cDemoSongLayout& layout, int bar)
{
    const int32_t start = bar * kBar;
    const int chord = bar % 4;
    for (int eighth = 0; eighth < 8; ++eighth)
    {
        const int32_t time = start + eighth * kBeat / 2;
        const int root = kRoots[chord] - 24 + ((eighth % 4 == 3) ? 12 : 0);
        song.AddNote(layout.bass, time, root, eighth % 2 ? 84 : 104, kBeat / 2 - 16);
        if (kLead[chord][eighth] && bar >= 4)
            song.AddNote(layout.lead, time, kLead[chord][eighth], 96, kBeat / 2 - 8);
        song.AddNote(layout.drums, time, layout.hat, eighth % 2 ? 60 : 90, kBeat / 4);
    }
    for (int note : kChords[chord])
        song.AddNote(layout.chords, start, note, 72, kBar - 32);
    for (int beat = 0; beat < 4; ++beat)
        song.AddNote(layout.drums, start + beat * kBeat, beat % 2 ? layout.snare : layout.kick, 110, kBeat / 4);
}
} // namespace

std::unique_ptr<cMIDIFileSong> MakeDemoSong(const cDemoSongLayout& layout)
{
    auto song = std::make_unique<cMIDIFileSong>();
    song->name = "Demo Song";
    song->tempo = 112.0f;
    song->channels[layout.bass].trackName = "Bass";
    song->channels[layout.chords].trackName = "Chords";
    song->channels[layout.lead].trackName = "Lead";
    song->channels[layout.drums].trackName = "Drums";
    for (int bar = 0; bar < kBars; ++bar)
        AddBar(*song, layout, bar);
    return song;
}

bool WriteDemoMIDIFile()
{
    const std::unique_ptr<cMIDIFileSong> song = MakeDemoSong(kDemoMIDILayout);
    File::cFile* file = gFileSystemRegistry->OpenIn("Doc", cGenString("User/MIDI Files/Demo Song.mid"),
                                                    File::kModeWrite, File::kFlagSafeWrite);
    if (!file)
        return false;
    const bool failed = cMIDIFileConverter(song.get(), file).Write();
    const bool committed = file->Close(failed);
    delete file;
    return !failed && committed;
}
