#pragma once
#include <cstdint>
#include <vector>

#include "audio/AudioEvent.h"
#include "sequencer/Sequencer.h"

// The sequencer, keeping what instruments post into its ring instead of
// handing it to the song.
class cRecordingSequencer : public cSequencer
{
public:
    int32_t HandleEvent(const cAudioEvent& event) override
    {
        received.push_back(event);
        return 0;
    }
    std::vector<cAudioEvent> Take()
    {
        DrainEvents();
        std::vector<cAudioEvent> taken;
        taken.swap(received);
        return taken;
    }
    // The notes among what was taken: note-ons as their note, note-offs as
    // minus their note.
    std::vector<int32_t> TakeNotes()
    {
        std::vector<int32_t> notes;
        for (const cAudioEvent& event : Take())
            if (event.type == kAudioEventNoteOn || event.type == kAudioEventNoteOff)
                notes.push_back(event.type == kAudioEventNoteOn ? event.GetNote() : -int32_t(event.GetNote()));
        return notes;
    }

    std::vector<cAudioEvent> received;
};
