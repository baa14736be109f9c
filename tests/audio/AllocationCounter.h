#pragma once
#include <cstdint>

// Global operator new is replaced in this test program: allocations are
// counted on threads that switched counting on.
void SetCountAllocationsOnThisThread(bool count);
uint64_t GetCountedAllocations();
// Memory given back (deletes of non-null pointers) on those threads.
uint64_t GetCountedFrees();

// Non-throwing allocations larger than this many bytes fail on this thread,
// as they do when memory is short; 0 allows every size again.
void SetRefuseAllocationsAbove(uint64_t bytes);
