#pragma once
#include "base/GenString.h"

class cCriticalSection;

// The progress text of the background job at work ("Loading 'Kick'"): job
// threads write it and the progress overlay shows it, both under the
// status-text lock the widget manager installs while it lives. Without one
// (tools, tests) a lock of its own keeps writers and readers apart.
void SetStatusTextLock(cCriticalSection* lock);
void SetStatusText(const char* format, ...) __attribute__((format(printf, 1, 2)));
void GetStatusText(cGenString& text);
