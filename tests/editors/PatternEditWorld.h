#pragma once

#include <cstdint>

#include "audio/InstrumentPackage.h"
#include "editors/PatternEditModel.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Sequencer.h"
#include "sequencer/SlotInstruments.h"

class cTrack;

// A song with one track on slot 0, whose instrument offers two controller
// lanes, and one four-bar part on a private pattern bound to a pattern edit
// model. Used by the editor tests, the benchmark and the fuzz target.
class cPatternEditWorld : public cSlotInstruments
{
public:
    enum : int32_t
    {
        kPlainController = 1,   // 0..127
        kCentredController = 7, // -8192..8191 around the middle
        kOtherController = 30,  // in no lane
        kPartLength = 4096,
    };
    static const cInstrumentPackage::cControllerParam kControllers[2];

    cPatternEditWorld();
    ~cPatternEditWorld();
    cPatternEditWorld(const cPatternEditWorld&) = delete;
    cPatternEditWorld& operator=(const cPatternEditWorld&) = delete;

    cPatternEvent* AddNote(int32_t time, int32_t note, int32_t length, int32_t velocity = 100);
    cPatternEvent* AddController(int32_t time, int32_t id, int32_t value, int32_t length = 16);
    static cPatternEvent* AddNoteTo(cPattern& pattern, int32_t time, int32_t note, int32_t length, int32_t velocity);
    static cPatternEvent* AddControllerTo(cPattern& pattern, int32_t time, int32_t id, int32_t value, int32_t length);
    // Binds the part and builds a view per event.
    void Rebuild();
    cPattern& Pattern() const { return *part->pattern; }

    cSequencer sequencer;
    cTrack* track = nullptr;
    cPatternInstance* part = nullptr;
    cPatternEditModel model;
};
