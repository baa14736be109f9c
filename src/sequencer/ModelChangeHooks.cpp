#include "sequencer/ModelChangeHooks.h"

cDelegate OnPatternEventChanged;
cDelegate OnPatternInstanceChanged;

void NotifyPatternEventChanged(int32_t kind, cPattern* pattern, cPatternEvent* event)
{
    const cPatternEventChange change{pattern, event};
    OnPatternEventChanged.Invoke(kind, &change);
}

void NotifyPatternInstanceChanged(int32_t kind, cPatternInstance* part) { OnPatternInstanceChanged.Invoke(kind, part); }
