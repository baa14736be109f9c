#pragma once
#include <cstdint>

#include "base/Delegate.h"

class cPattern;
class cPatternInstance;
struct cPatternEvent;

// The two hooks through which recording, erasing and record undo tell the
// editors that the song changed. They are called with the sequencer lock held,
// on the audio thread or the main thread, so a handler only marks its views as
// changed. The sequencer page installs them under the sequencer lock; an
// unset hook is skipped.
enum : int32_t
{
    kModelAdded = 0,
    kModelRemoved = 1,
    kModelChanged = 2,
};

// What OnPatternEventChanged receives as its second argument.
struct cPatternEventChange
{
    cPattern* pattern = nullptr;
    cPatternEvent* event = nullptr;
};

// (kind, const cPatternEventChange*)
extern cDelegate OnPatternEventChanged;
// (kind, cPatternInstance*)
extern cDelegate OnPatternInstanceChanged;

void NotifyPatternEventChanged(int32_t kind, cPattern* pattern, cPatternEvent* event);
void NotifyPatternInstanceChanged(int32_t kind, cPatternInstance* part);
