#pragma once
#include "project/SampleRelocator.h"

// Gathers every sample flat into one folder under its file name, as a pad
// bank save does; the callers keep their own paths. Samples of different
// sources that share a file name get names of their own ("Kick-02.wav"), so
// no copy overwrites another.
class cSampleRelocatorAll : public cSampleRelocator
{
public:
    explicit cSampleRelocatorAll(const cGenString& folder);

    void Relocate(cGenString& path) override;
};
