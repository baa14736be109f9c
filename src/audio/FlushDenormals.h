#pragma once
#include <cstdint>

// Denormal floats cost the processor dearly in decaying tails (filters,
// reverbs, delays). Every thread that renders audio runs with them flushed
// to zero, inputs and results alike, so the filters need no per-sample
// guard against them.

// Sets the mode on the calling thread for good: the audio thread's.
void FlushDenormalsToZero();
bool AreDenormalsFlushed();

// Sets it for the life of a render on a thread that does other work too (a
// job thread); the thread's previous mode comes back after.
class cScopedFlushDenormals
{
public:
    cScopedFlushDenormals();
    ~cScopedFlushDenormals();
    cScopedFlushDenormals(const cScopedFlushDenormals&) = delete;
    cScopedFlushDenormals& operator=(const cScopedFlushDenormals&) = delete;

private:
    uint64_t mSaved;
};
