#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include "PatternRecords.h"
#include "audio/InstrumentSlotTable.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Track.h"
#include "sequencer/TrackList.h"

// A part's contents, to compare songs by value.
struct cPartRecord
{
    int32_t start = 0;
    int32_t length = 0;
    int32_t patternNumber = -1;
    uint32_t programWord = 0;
    int32_t loopLength = 0;
    std::vector<cEventRecord> events;

    static cPartRecord Of(const cPatternInstance& part)
    {
        cPartRecord record{part.start, part.length, part.patternNumber, part.programWord, 0, {}};
        if (part.pattern)
        {
            record.loopLength = part.pattern->loopLength;
            record.events = SortedRecords(*part.pattern);
        }
        return record;
    }
    bool IsShared() const { return patternNumber >= 0 && patternNumber < cPattern::kSharedCount; }
    bool operator==(const cPartRecord&) const = default;
};

struct cTrackRecord
{
    int32_t channel = 0;
    int32_t muteSolo = 0;
    std::vector<cPartRecord> parts;

    bool operator==(const cTrackRecord&) const = default;
};

// Every track with its parts and their patterns, and which instrument each slot holds.
struct cSongRecord
{
    std::vector<cTrackRecord> tracks;
    std::vector<const void*> instruments;

    static cSongRecord Of(const cTrackList& list)
    {
        cSongRecord record;
        for (int32_t i = 0; i < list.GetCount(); ++i)
        {
            const cTrack& track = *list.GetTrack(i);
            cTrackRecord entry{track.GetChannel(), track.GetMuteSolo(), {}};
            for (const cPatternInstance* part = track.GetFirstPart(); part; part = part->next)
                entry.parts.push_back(cPartRecord::Of(*part));
            record.tracks.push_back(entry);
        }
        if (const cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance())
            for (int32_t slot = 0; slot < cInstrumentSlotTable::kSlotCount; ++slot)
                record.instruments.push_back(slots->GetInstrument(slot));
        return record;
    }
    bool operator==(const cSongRecord&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const cPartRecord& r)
{
    return out << "{part " << r.start << "+" << r.length << " pattern " << r.patternNumber << " loop " << r.loopLength
               << " events " << r.events.size() << "}";
}

inline std::ostream& operator<<(std::ostream& out, const cSongRecord& r)
{
    for (size_t i = 0; i < r.tracks.size(); ++i)
    {
        out << "\n track " << i << " slot " << r.tracks[i].channel << " state " << r.tracks[i].muteSolo << ":";
        for (const cPartRecord& part : r.tracks[i].parts)
            out << ' ' << part;
    }
    return out;
}
