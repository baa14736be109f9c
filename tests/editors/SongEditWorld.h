#pragma once

#include <cstdint>

#include "editors/EditGeometryBatch.h"
#include "editors/SongEditModel.h"
#include "sequencer/Sequencer.h"
#include "sequencer/SlotInstruments.h"

class cPattern;
class cPatternInstance;
class cTrack;

// A song for the song editor: test instruments in slots 0 and 1, the
// sequencer with its tracks and patterns, and a song edit model drawing
// into its own geometry batch. Tracks and parts are added under the
// sequencer lock; Bind then gives the model its views. Used by the editor
// tests, the benchmark and the fuzz target.
class cSongEditWorld : public cSlotInstruments
{
public:
    cSongEditWorld();
    ~cSongEditWorld();
    cSongEditWorld(const cSongEditWorld&) = delete;
    cSongEditWorld& operator=(const cSongEditWorld&) = delete;

    cTrack* AddTrack(int32_t slot);
    cTrack* Track(int32_t index) const;
    cPatternInstance* AddPrivatePart(cTrack* track, int32_t start, int32_t length);
    // On shared pattern number, which loops every loopLength ticks.
    cPatternInstance* AddSharedPart(cTrack* track, int32_t number, int32_t start, int32_t length, int32_t loopLength);
    // A note every step ticks from 0 up to the end, pitches climbing.
    void FillNotes(cPattern& pattern, int32_t end, int32_t step);
    void AddNote(cPattern& pattern, int32_t time, int32_t note, int32_t length);
    cPattern* SharedPattern(int32_t number) const;
    void Bind();

    cSequencer sequencer;
    cEditGeometryBatch batch;
    cSongEditModel model{&batch};
};
