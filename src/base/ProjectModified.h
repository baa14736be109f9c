#pragma once

#include <atomic>

// Every edit anywhere in the program marks the open project as changed, so
// that the auto-save and the project page know there is something to keep.
// Any thread may call it. The project list points it at its current
// project's flag; while there is none it marks nothing.
void MarkProjectModified();
void SetProjectModifiedFlag(std::atomic<bool>* flag);
