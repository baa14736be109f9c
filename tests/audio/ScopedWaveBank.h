#pragma once

#include <string>

#include "BuildPaths.h"
#include "audio/Wavetable.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"

// The wave bank built from a folder mounted as "Res" (by default the generated
// content beside the test program), freed again with the scope. The mount
// lives in a registry of its own, so other tests' mounts do not interfere.
class cScopedWaveBank
{
public:
    explicit cScopedWaveBank(const std::string& root = BuildFile("bin/Resource")) : mOuter(gFileSystemRegistry)
    {
        new cFileSystemRegistry();
        gFileSystemRegistry->Mount(new File::cFileSystemDisk("Res", root.c_str()));
        BuildWaveTables();
    }
    ~cScopedWaveBank()
    {
        FreeWaveTables();
        delete gFileSystemRegistry;
        gFileSystemRegistry = mOuter;
    }
    cScopedWaveBank(const cScopedWaveBank&) = delete;
    cScopedWaveBank& operator=(const cScopedWaveBank&) = delete;

private:
    cFileSystemRegistry* mOuter;
};
