#pragma once

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <tuple>
#include <vector>

#include "SequencerFixture.h"
#include "sequencer/PatternTable.h"
#include "sequencer/RecordUndoJournal.h"

// Live input as the project's MIDI sink echoes it into the sequencer: notes
// with live voice ids, controllers (module parameters) and their touches.
inline cAudioEvent LiveNoteOn(uint8_t note, uint8_t velocity, uint32_t voice, uint8_t slot = 0)
{
    cAudioEvent event;
    event.type = kAudioEventNoteOn;
    event.slot = slot;
    event.SetNote(note, velocity);
    event.wordB = (kVoiceSourceMIDI << 24) | voice;
    return event;
}

inline cAudioEvent LiveNoteOff(uint8_t note, uint32_t voice, uint8_t slot = 0)
{
    cAudioEvent event = LiveNoteOn(note, 0, voice, slot);
    event.type = kAudioEventNoteOff;
    return event;
}

inline cAudioEvent LiveController(uint32_t parameter, float value, uint8_t slot = 0)
{
    cAudioEvent event;
    event.type = kAudioEventModuleParam;
    event.slot = slot;
    event.wordA = 0;
    event.wordB = parameter;
    event.valueF = value;
    return event;
}

inline cAudioEvent LiveTouch(uint32_t parameter, bool held, uint8_t slot = 0)
{
    cAudioEvent event;
    event.type = kAudioEventParamTouch;
    event.slot = slot;
    event.wordA = parameter;
    event.wordB = held ? 1 : 0;
    return event;
}

// An event that carries its own tick.
inline cAudioEvent AtOwnTime(cAudioEvent event, int32_t tick)
{
    event.flags |= kAudioEventFlagOwnTime;
    event.position = tick;
    return event;
}

// One event of a pattern as the song file keeps it.
using tEventFields = std::tuple<int, int, int, int, int32_t>; // kind, data1, data2, data3, length

// Everything the song holds, field by field, with the events of one tick as a
// set (their order within the tick is not part of the song).
struct cSongSnapshot
{
    struct cPart
    {
        int32_t patternNumber, start, length, session;
        uint32_t programWord;
        bool operator==(const cPart&) const = default;
    };
    struct cPatternState
    {
        int32_t loopLength, referenceCount;
        std::map<int32_t, std::multiset<tEventFields>> eventsByTick;
        bool operator==(const cPatternState&) const = default;
    };

    static cSongSnapshot Take(const cSequencer& sequencer)
    {
        cSongSnapshot snapshot;
        const cTrackList& tracks = *sequencer.GetTrackList();
        for (int32_t i = 0; i < tracks.GetCount(); ++i)
        {
            std::vector<cPart> parts;
            for (const cPatternInstance* p = tracks.GetTrack(i)->GetFirstPart(); p; p = p->next)
                parts.push_back({p->patternNumber, p->start, p->length, p->recordSessionId, p->programWord});
            snapshot.tracks.push_back(parts);
        }
        const cPatternTable& table = *sequencer.GetPatternTable();
        for (int32_t n = 0; n < table.GetCount(); ++n)
        {
            const cPattern& pattern = *table.GetPattern(n);
            cPatternState state{pattern.loopLength, pattern.referenceCount, {}};
            for (const cPatternEvent* e = pattern.head; e; e = e->next)
                state.eventsByTick[e->time].insert({e->flags, e->data1, e->data2, e->data3, e->length});
            snapshot.patterns.push_back(state);
        }
        return snapshot;
    }

    bool operator==(const cSongSnapshot&) const = default;

    std::vector<std::vector<cPart>> tracks;
    std::vector<cPatternState> patterns;
};

// A song being recorded from the main thread: events reach the selected
// track of their slot as the audio thread would hand them over, at a song
// position the test chooses.
class cRecordingFixture : public cSequencerFixture
{
protected:
    cRecordingFixture()
    {
        sequencer.SetLoopEnabled(false);
        gTransport.countInBars = 0;
    }

    // Recording starts at once (no count-in), punching in at the position
    // rather than at its bar's start.
    void RecordFrom(int32_t ticks)
    {
        sequencer.SetPosition(ticks);
        sequencer.Play(0);
        sequencer.Record();
    }

    void At(int32_t ticks, const cAudioEvent& event)
    {
        gTransport.position = ticks;
        sequencer.HandleEvent(event);
    }

    // A note played at one position and let go at another.
    void Note(int32_t on, int32_t off, uint8_t note, uint8_t velocity = 100, uint8_t slot = 0)
    {
        const uint32_t voice = mNextVoice++;
        At(on, LiveNoteOn(note, velocity, voice, slot));
        At(off, LiveNoteOff(note, voice, slot));
    }

    // The song time of each of a track's notes (part start + event time), by pitch.
    static std::multimap<int, std::pair<int32_t, const cPatternEvent*>> NotesOf(const cTrack& track)
    {
        std::multimap<int, std::pair<int32_t, const cPatternEvent*>> notes;
        for (const cPatternInstance* part = track.GetFirstPart(); part; part = part->next)
            for (const cPatternEvent* e = part->pattern ? part->pattern->head : nullptr; e; e = e->next)
                if (!e->IsController())
                    notes.insert({e->data1, {part->start + e->time, e}});
        return notes;
    }

    cRecordUndoJournal& Journal() { return *sequencer.GetRecordUndoJournal(); }

    uint32_t mNextVoice = 1;
};
