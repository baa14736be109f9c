// Feeds arbitrary bytes through the whole MIDI file reader: our byte check,
// the file library's parse and the conversion into a song. Nothing may crash,
// abort or hang; a file is either refused (1) or read (0) into a song whose
// events all lie inside it. Seed it with a real song, for example
//   midi_file_fuzz -close_fd_mask=1 corpus/ ../shared/bench-data/
// (the file library's warnings go to standard output).

#include <climits>
#include <cstdint>
#include <cstdlib>

#include "base/File.h"
#include "sequencer/MIDIFileConverter.h"
#include "sequencer/MIDIFileSong.h"

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
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > INT_MAX)
        return 0;
    cMIDIFileSong song;
    File::cFileMemoryRead file(data, int(size));
    const int result = cMIDIFileConverter(&song, &file).Read();
    if (result != 0 && result != 1)
        std::abort();
    if (result == 0)
        CheckEvents(song);
    return 0;
}
