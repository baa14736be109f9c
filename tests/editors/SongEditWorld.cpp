#include "SongEditWorld.h"

#include "base/CriticalSection.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/PatternTable.h"
#include "sequencer/Track.h"
#include "sequencer/TrackList.h"

cSongEditWorld::cSongEditWorld() = default;

cSongEditWorld::~cSongEditWorld()
{
    // The model lets go of what its actions keep before the song goes.
    model.BindTracks(nullptr);
}

cTrack* cSongEditWorld::AddTrack(int32_t slot)
{
    auto* track = new cTrack();
    if (sequencer.InsertTrack(track, slot, -1) >= 0)
        return track;
    delete track;
    return nullptr;
}

cTrack* cSongEditWorld::Track(int32_t index) const { return sequencer.GetTrackList()->GetTrack(index); }

cPatternInstance* cSongEditWorld::AddPrivatePart(cTrack* track, int32_t start, int32_t length)
{
    cScopedLock lock(sequencer.GetLock());
    cPatternInstance* part = cPatternInstance::CreateWithPrivatePattern();
    if (!part)
        return nullptr;
    part->start = start;
    part->length = length;
    part->pattern->loopLength = length;
    track->InsertPart(part);
    return part;
}

cPatternInstance* cSongEditWorld::AddSharedPart(cTrack* track, int32_t number, int32_t start, int32_t length,
                                                int32_t loopLength)
{
    cScopedLock lock(sequencer.GetLock());
    cPatternInstance* part = cPatternInstance::Create();
    part->SetPattern(number);
    part->start = start;
    part->length = length;
    part->pattern->loopLength = loopLength;
    track->InsertPart(part);
    return part;
}

void cSongEditWorld::AddNote(cPattern& pattern, int32_t time, int32_t note, int32_t length)
{
    cScopedLock lock(sequencer.GetLock());
    cPatternEvent* event = cPatternEvent::Allocate();
    event->time = time;
    event->length = length;
    event->SetNote(note);
    event->SetVelocity(100);
    pattern.InsertEventSorted(event);
}

void cSongEditWorld::FillNotes(cPattern& pattern, int32_t end, int32_t step)
{
    for (int32_t time = 0; time < end; time += step)
        AddNote(pattern, time, 36 + (time / step) % 48, step / 2);
}

cPattern* cSongEditWorld::SharedPattern(int32_t number) const
{
    return sequencer.GetPatternTable()->GetPattern(number);
}

void cSongEditWorld::Bind() { model.BindTracks(sequencer.GetTrackList()); }
