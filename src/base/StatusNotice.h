#pragma once

#include "base/GenString.h"

// Short messages for the status bar from code on any thread that has no
// screen of its own ("Recovered bank 'Live' ..."): kept in order until the
// screens take them. Not for the audio thread: posting takes a lock.
void PostStatusNotice(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The oldest notice not yet taken; false when there is none.
bool TakeStatusNotice(cGenString& text);
