#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "SlotInstruments.h"
#include "audio/Transport.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/PatternTable.h"
#include "sequencer/Track.h"
#include "sequencer/TrackList.h"

// Puts the shared transport variables back to a stopped 4/4 song at 0.
inline void ResetTransport()
{
    gTransport.state = cTransport::kStopped;
    gTransport.position = 0;
    gTransport.samplePosition = 0;
    gTransport.sampleRate = 44100;
    gTransport.tempo = 120.0f;
    gTransport.beatsPerBar = 4;
    gTransport.ticksPerBar = 1024;
    gTransport.ticksPerBarFloat = 1024.0f;
    gTransport.barsPerTick = 1.0f / 1024.0f;
    gTransport.eraseKeys = 0;
    gTransport.eraseAll = 0;
}

// A song model without the transport: test instruments in slots 0 and 1, the
// pattern table and the track list. Playback is driven block by block with
// PlayUpTo.
class cSongFixture : public ::testing::Test, protected cSlotInstruments
{
protected:
    cSongFixture() = default;

    static cPatternEvent* AddNote(cPattern& pattern, int32_t time, int32_t note, int32_t length, int32_t velocity = 100)
    {
        cPatternEvent* event = cPatternEvent::Allocate();
        event->time = time;
        event->length = length;
        event->SetNote(note);
        event->SetVelocity(velocity);
        pattern.InsertEventSorted(event);
        return event;
    }

    cTrack* AddTrack(int32_t slot)
    {
        cTrack* track = new cTrack();
        if (tracks.InsertTrack(track, slot, -1) < 0)
        {
            delete track;
            return nullptr;
        }
        return track;
    }

    // A part on a pattern (a private one when number is -1) placed on a track.
    cPatternInstance* AddPart(cTrack* track, int32_t number, int32_t start, int32_t length)
    {
        cPatternInstance* part = number < 0 ? cPatternInstance::CreateWithPrivatePattern() : cPatternInstance::Create();
        if (number >= 0)
            part->SetPattern(number);
        part->start = start;
        part->length = length;
        if (part->pattern && part->pattern->IsPrivate())
            part->pattern->loopLength = length;
        track->InsertPart(part);
        return part;
    }

    cPattern& Pattern(int32_t number) { return *patterns.GetPattern(number); }

    // Plays blocks of a few ticks from one position up to (not including) another.
    void PlayFromTo(int32_t from, int32_t to, int32_t step = 8)
    {
        for (int32_t t = from; t < to; t += step)
        {
            gTransport.position = t;
            tracks.PlayUpTo(t);
        }
        gTransport.position = to;
    }

private:
    // Before the table, whose patterns take their loop length from the signature.
    struct cTransportReset
    {
        cTransportReset() { ResetTransport(); }
    } mTransportReset;

protected:
    cPatternTable patterns;
    cTrackList tracks;
};
