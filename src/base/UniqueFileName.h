#pragma once

#include "base/GenString.h"

// Turn a wanted file name, a path relative to the "Doc" mount, into one that
// is not taken by inserting "-NN" before the extension (Song.prj becomes
// Song-02.prj). The path changes only when a free name is found.

// onlyWhenTaken: a free path is left as it is (false) and counting starts at
// 2; otherwise a numbered name is always made, counting from 1.
bool MakeUniqueFileName(cGenString& path, bool onlyWhenTaken);

// Also avoids names under which a sample is loaded, so that a new sample
// never shadows a loaded one.
bool MakeUniqueSampleFileName(cGenString& path);

// The path with "-NN" (the counter in two digits or more) before its
// extension, in out, an earlier "-NN" of the name dropped first; false when
// it does not fit out.
bool PathWithCounter(const cGenString& path, int counter, cGenString& out);

// Set by the sample registry: true when it holds a loaded sample under
// exactly this path. The lookup takes the registry's lock itself.
using tSampleLoadedLookup = bool (*)(const char* path);
void SetSampleLoadedLookup(tSampleLoadedLookup lookup);
