#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "SlotInstruments.h"
#include "audio/Metronome.h"
#include "audio/Transport.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Sequencer.h"
#include "sequencer/Track.h"
#include "sequencer/TrackList.h"

// The whole engine without the audio thread: test instruments in slots 0
// and 1 and a new song, driven block by block as the mixer drives it.
class cSequencerFixture : public ::testing::Test, protected cSlotInstruments
{
protected:
    static constexpr int32_t kRate = 44100;

    cSequencerFixture() { gMetronome.Init(); }

    cTrack* AddTrack(int32_t slot)
    {
        cTrack* track = new cTrack();
        if (sequencer.InsertTrack(track, slot, -1) < 0)
        {
            delete track;
            return nullptr;
        }
        return track;
    }

    // A part on a new private pattern holding notes at the given times.
    cPatternInstance* AddPrivatePart(cTrack* track, int32_t start, int32_t length, const std::vector<int32_t>& notes,
                                     int32_t noteLength = 32)
    {
        cPatternInstance* part = cPatternInstance::CreateWithPrivatePattern();
        part->start = start;
        part->length = length;
        part->pattern->loopLength = length;
        for (size_t i = 0; i < notes.size(); ++i)
        {
            cPatternEvent* event = cPatternEvent::Allocate();
            event->time = notes[i];
            event->length = noteLength;
            event->SetNote(60 + int32_t(i));
            event->SetVelocity(100);
            part->pattern->InsertEventSorted(event);
        }
        track->InsertPart(part);
        return part;
    }

    // The device buffer's two blocks, 128 and 92 frames, in turn.
    int32_t NextBlockFrames() { return (mBlock++ % 2) == 0 ? 128 : 92; }

    // Advances one block; the click it triggered (0 when none).
    int ClickOfBlock(int32_t frames)
    {
        gMetronome.Init();
        sequencer.AdvanceBlock(kRate, frames);
        return gMetronome.GetEnvelope() == 1.0f ? int(gMetronome.GetNote()) : 0;
    }

    cSequencer sequencer;

private:
    int32_t mBlock = 0;
};
