#pragma once

#include <string>

// The temporaries the program's writers make beside a target: the target's
// name, a dot, eight lower-case letters or digits and ".tmp" (a file, or a
// folder for a package saved as one). A writer holds its temporary locked
// while it lives, so one that is not locked and was last written before this
// run began was left by a writer that died: it is stale.

// This run's beginning; nothing written after it counts as stale. Set when
// the program loads; the application sets it again as it starts.
void MarkProgramStart();

// True when name (a file name without folder) is such a temporary; the
// target's name goes to target when given.
bool IsTemporaryName(const char* name, std::string* target = nullptr);

// Removes the stale temporaries in the folder and every folder below it,
// links never followed; a folder's interrupted commit is finished first
// and its temporaries are kept while one stays pending. Returns how many
// were removed.
int SweepStaleTemporaries(const char* folder);
