#include "PatternEditWorld.h"

#include "base/CriticalSection.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/Track.h"

const cInstrumentPackage::cControllerParam cPatternEditWorld::kControllers[2] = {
    {kPlainController, 0, 0.0f, 127.0f, 1.0f, 0},
    {kCentredController, 0, -8192.0f, 8191.0f, 1.0f, 1},
};

cPatternEditWorld::cPatternEditWorld()
{
    package.SetControllerTables(nullptr, 0, kControllers, 2, nullptr, 0);
    track = new cTrack();
    sequencer.InsertTrack(track, 0, -1);
    cScopedLock lock(sequencer.GetLock());
    part = cPatternInstance::CreateWithPrivatePattern();
    part->start = 0;
    part->length = kPartLength;
    part->pattern->loopLength = kPartLength;
    track->InsertPart(part);
}

cPatternEditWorld::~cPatternEditWorld()
{
    // The model lets go of its actions' events before the song goes.
    model.Bind(nullptr);
}

cPatternEvent* cPatternEditWorld::AddNoteTo(cPattern& pattern, int32_t time, int32_t note, int32_t length,
                                            int32_t velocity)
{
    cPatternEvent* event = cPatternEvent::Allocate();
    event->time = time;
    event->length = length;
    event->SetNote(note);
    event->SetVelocity(velocity);
    pattern.InsertEventSorted(event);
    return event;
}

cPatternEvent* cPatternEditWorld::AddControllerTo(cPattern& pattern, int32_t time, int32_t id, int32_t value,
                                                  int32_t length)
{
    cPatternEvent* event = cPatternEvent::Allocate();
    event->flags = cPatternEvent::kFlagController;
    event->data3 = uint8_t(id);
    event->time = time;
    event->length = length;
    event->SetControllerValue(value);
    pattern.InsertEventSorted(event);
    return event;
}

cPatternEvent* cPatternEditWorld::AddNote(int32_t time, int32_t note, int32_t length, int32_t velocity)
{
    cScopedLock lock(sequencer.GetLock());
    return AddNoteTo(Pattern(), time, note, length, velocity);
}

cPatternEvent* cPatternEditWorld::AddController(int32_t time, int32_t id, int32_t value, int32_t length)
{
    cScopedLock lock(sequencer.GetLock());
    return AddControllerTo(Pattern(), time, id, value, length);
}

void cPatternEditWorld::Rebuild()
{
    model.Bind(part);
    model.RebuildViews();
}
