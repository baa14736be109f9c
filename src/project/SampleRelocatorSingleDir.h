#pragma once
#include "project/SampleRelocator.h"

// A project saved into a folder of its own: every sample below the project's
// current folder moves to the same place below the target folder, and the
// instruments adopt the new paths. A save into the project's own folder
// moves nothing.
class cSampleRelocatorSingleDir : public cSampleRelocator
{
public:
    cSampleRelocatorSingleDir(const cGenString& target, const cGenString& source);

    void Relocate(cGenString& path) override;

private:
    cGenStringFixed<260> mTarget;
};
