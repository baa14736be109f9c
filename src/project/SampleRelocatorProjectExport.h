#pragma once
#include "project/SampleRelocator.h"

// An exported project: every sample from outside the export folder is
// gathered flat into it under its file name, with the project folder's own
// WAV files, so the folder stands alone; the instruments keep their paths.
// Sources that share a file name get names of their own ("Kick-02.wav").
class cSampleRelocatorProjectExport : public cSampleRelocator
{
public:
    // Maps the project folder's top-level WAV files at once.
    cSampleRelocatorProjectExport(const cGenString& projectFolder, const cGenString& exportFolder);

    void Relocate(cGenString& path) override;
};
