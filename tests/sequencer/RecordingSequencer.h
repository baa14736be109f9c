#pragma once
#include <cstdint>
#include <vector>

#include "audio/AudioEvent.h"
#include "sequencer/Sequencer.h"

// The notes among events: note-ons as their note, note-offs as minus theirs.
inline std::vector<int32_t> NotesOf(const std::vector<cAudioEvent>& events)
{
    std::vector<int32_t> notes;
    for (const cAudioEvent& event : events)
        if (event.type == kAudioEventNoteOn || event.type == kAudioEventNoteOff)
            notes.push_back(event.type == kAudioEventNoteOn ? event.GetNote() : -int32_t(event.GetNote()));
    return notes;
}

// The sequencer, keeping what instruments post into its ring instead of
// handing it to the song; with passOn it hands it to the song as well, so a
// test can read both what arrived and what the song recorded of it.
class cRecordingSequencer : public cSequencer
{
public:
    int32_t HandleEvent(const cAudioEvent& event) override
    {
        received.push_back(event);
        return passOn ? cSequencer::HandleEvent(event) : 0;
    }
    std::vector<cAudioEvent> Take()
    {
        DrainEvents();
        std::vector<cAudioEvent> taken;
        taken.swap(received);
        return taken;
    }
    std::vector<int32_t> TakeNotes() { return NotesOf(Take()); }

    std::vector<cAudioEvent> received;
    bool passOn = false;
};
