#pragma once
#include <cstdint>

// Global operator new is replaced in this test program: allocations are
// counted on threads that switched counting on.
void SetCountAllocationsOnThisThread(bool count);
uint64_t GetCountedAllocations();
