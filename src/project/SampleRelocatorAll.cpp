#include "project/SampleRelocatorAll.h"

cSampleRelocatorAll::cSampleRelocatorAll(const cGenString& folder) : cSampleRelocator(folder, true) {}

void cSampleRelocatorAll::Relocate(cGenString& path)
{
    if (!path.IsEmpty())
        MoveIntoBase(path);
}
