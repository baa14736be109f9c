// Feeds arbitrary bytes through the whole MIDI file path: loading from
// "Doc" (our byte check, the file library's parse and the conversion into a
// song) and the import into a song. Nothing may crash, abort or hang; a file
// is either refused with "Could not read this MIDI file." or read into a
// song whose events all lie inside it, and its import keeps the song within
// its limits. Seed it with a real song, for example
//   midi_file_fuzz -close_fd_mask=1 corpus/ tests/data/
// (the file library's warnings go to standard output).

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "audio/InstrumentSlotTable.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "base/GenString.h"
#include "sequencer/MIDIFileOperations.h"
#include "sequencer/MIDIFileSong.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Sequencer.h"
#include "sequencer/Track.h"
#include "sequencer/TrackList.h"

namespace
{
void CheckEvents(const cMIDIFileSong& song)
{
    for (const cMIDIFileSong::sChannel& channel : song.channels)
        for (const cMIDIFileSong::sEvent& event : channel.events)
        {
            const bool inSong = event.time >= 0 && event.time <= cMIDIFileSong::kSongEndTicks;
            const bool note = event.kind == cMIDIFileSong::eEventKind::Note;
            const bool noteFits = !note || (event.data.bytes[0] < 128 && event.data.bytes[1] > 0 && event.length >= 0 &&
                                            event.time + event.length <= cMIDIFileSong::kSongEndTicks);
            const bool marker = event.kind == cMIDIFileSong::eEventKind::Marker;
            const bool data = event.kind == cMIDIFileSong::eEventKind::SequencerData;
            const bool referenceFits =
                (!marker || size_t(event.data.index) < song.texts.size()) &&
                (!data || (size_t(event.data.index) < song.dataBlocks.size() &&
                           song.dataBlocks[size_t(event.data.index)].size() == size_t(event.length)));
            if (!inSong || !noteFits || !referenceFits)
                std::abort();
        }
}

void CheckSong(const cTrackList& tracks)
{
    int32_t parts = 0;
    for (int32_t t = 0; t < tracks.GetCount(); ++t)
        for (const cPatternInstance* part = tracks.GetTrack(t)->GetFirstPart(); part; part = part->next, ++parts)
            if (part->start < 0 || part->GetEnd() > cSequencer::kSongEnd || part->length < 256 ||
                part->pattern->count > cPattern::kMaxEvents)
                std::abort();
    if (parts > 1000 || tracks.GetCount() > cTrackList::kMaxTracks)
        std::abort();
}

// A "Doc" mount on a scratch folder of this process, and the song the
// imports go into; no instrument packages, so channels get tracks only.
struct cWorld
{
    cWorld()
    {
        char pattern[] = "/tmp/midi-file-fuzz-XXXXXX";
        folder = mkdtemp(pattern) ? pattern : "/tmp";
        mounts.Mount(new File::cFileSystemDisk("Doc", folder.c_str()));
        path = folder + "/input.mid";
    }
    std::string folder;
    std::string path;
    cFileSystemRegistry mounts;
    cInstrumentSlotTable slots;
    cSequencer sequencer;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static cWorld world;
    if (size > INT_MAX)
        return 0;
    FILE* file = std::fopen(world.path.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        std::abort();
    cGenStringFixed<128> error;
    cMIDIFileSong* song = LoadMIDIFile("input.mid", error);
    if (!song)
    {
        if (std::strcmp(error.CStr(), "Could not read this MIDI file.") != 0)
            std::abort();
        return 0;
    }
    CheckEvents(*song);
    world.sequencer.GetTrackList()->Clear();
    ImportMIDIFileSong(song, true);
    CheckSong(*world.sequencer.GetTrackList());
    return 0;
}
