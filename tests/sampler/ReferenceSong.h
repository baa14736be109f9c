#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/Transport.h"
#include "base/CriticalSection.h"
#include "base/File.h"
#include "sequencer/MIDIFileConverter.h"
#include "sequencer/MIDIFileSong.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Sequencer.h"
#include "sequencer/Track.h"
#include "sequencer/TrackList.h"

// The shared reference song, read and placed into the song as the MIDI-file
// import places a file: each channel's notes on one track of its slot, in
// parts of whole bars that end on the bar after the channel's last note end.
namespace ReferenceSong
{
inline std::string Path() { return std::string(QUIL_BENCH_DATA_DIR) + "/reference-song.mid"; }

inline bool Read(const std::string& path, cMIDIFileSong& song)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    File::cFileMemoryRead file(bytes.data(), int(bytes.size()));
    return !bytes.empty() && cMIDIFileConverter(&song, &file).Read() == 0;
}

// Parts of at most eight bars keep each pattern well inside its event limit.
constexpr int32_t kPartBars = 8;

// slots[c]: the instrument slot of channel c, or -1 to leave the channel
// out; transposes[c] is added to its notes. The slots' tracks must exist.
inline void Place(const cMIDIFileSong& song, const int32_t (&slots)[cMIDIFileSong::kChannelCount],
                  const int32_t (&transposes)[cMIDIFileSong::kChannelCount])
{
    cSequencer& sequencer = *cSequencer::GetInstance();
    cScopedLock lock(sequencer.GetLock());
    sequencer.SetTempo(song.tempo);
    sequencer.SetBeatsPerBar(song.numerator);
    const int32_t bar = gTransport.ticksPerBar;
    for (int channel = 0; channel < cMIDIFileSong::kChannelCount; ++channel)
    {
        if (slots[channel] < 0)
            continue;
        int32_t lastEnd = -1;
        for (const cMIDIFileSong::sEvent& event : song.channels[channel].events)
            if (event.kind == cMIDIFileSong::eEventKind::Note)
                lastEnd = std::max(lastEnd, event.time + event.length);
        if (lastEnd < 0)
            continue;
        cTrackList& tracks = *sequencer.GetTrackList();
        cTrack* track = tracks.GetTrack(tracks.GetGroup(slots[channel]).first);
        const int32_t endBar = lastEnd / bar + 1;
        std::vector<cPatternInstance*> parts;
        for (int32_t first = 0; first < endBar; first += kPartBars)
        {
            cPatternInstance* part = cPatternInstance::CreateWithPrivatePattern();
            part->start = first * bar;
            part->length = (std::min(first + kPartBars, endBar) - first) * bar;
            part->pattern->loopLength = part->length;
            track->InsertPart(part);
            parts.push_back(part);
        }
        for (const cMIDIFileSong::sEvent& source : song.channels[channel].events)
        {
            if (source.kind != cMIDIFileSong::eEventKind::Note || source.length <= 0)
                continue;
            cPatternInstance* part = parts[size_t(source.time / (kPartBars * bar))];
            cPatternEvent* event = cPatternEvent::Allocate();
            event->time = source.time - part->start;
            event->length = source.length;
            event->SetNote(std::clamp(source.data.bytes[0] + transposes[channel], 0, 127));
            event->SetVelocity(source.data.bytes[1]);
            part->pattern->InsertEventSorted(event);
        }
    }
    sequencer.SetPosition(0);
}
} // namespace ReferenceSong
