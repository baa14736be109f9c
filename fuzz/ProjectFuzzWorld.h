#pragma once

// What the project fuzz targets share: the engine as start-up leaves it,
// with the program's mixer and pad packages and a synthesizer package that
// keeps what it is given, over a scratch "Doc" mount; and the checks every
// loaded project must pass.

#include <cstdlib>
#include <filesystem>
#include <string>

#include "audio/InstrumentPackageRegistry.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/WaveShaper.h"
#include "base/DeletableRoots.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "instruments/pads/TriggerPadPackage.h"
#include "mixer/EffectUnits.h"
#include "mixer/MixingDeskPackage.h"
#include "project/Project.h"
#include "project/ProjectSlots.h"
#include "project/StandInPackages.h"
#include "sequencer/Sequencer.h"

namespace ProjectFuzz
{
struct cWorld
{
    cWorld()
    {
        // In memory where the machine offers it: every input is written to disk.
        const std::filesystem::path parent =
            std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
        std::string pattern = (parent / "project-fuzz-XXXXXX").string();
        scratch = mkdtemp(pattern.data()) ? pattern : std::string("project-fuzz");
        documents = scratch + "/Documents";
        std::filesystem::create_directories(documents + "/User/Projects");
        new cFileSystemRegistry();
        gFileSystemRegistry->Mount(new File::cFileSystemDisk("Doc", documents.c_str()));
        AddDeletableRoot(documents.c_str());
        BuildShapeTables();
        RegisterEffectPackages();
        new cInstrumentSlotTable();
        new cSequencer();
        auto* packages = new cInstrumentPackageRegistry();
        packages->AddPackage(new ProjectTest::cStandInPackage("Kest"));
        packages->AddPackage(new cMixingDeskPackage());
        packages->AddPackage(new cTriggerPadPackage());
    }

    std::string scratch;
    std::string documents;
};

inline void Require(bool condition)
{
    if (!condition)
        std::abort();
}

// A loaded project: the mixer in slot 0 and nowhere else, every value within
// its range.
inline void CheckProject(const cProject& project)
{
    cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance();
    Require(GetMixer() != nullptr);
    for (int32_t slot = 1; slot < cProject::kSlotCount; ++slot)
        if (const cInstrument* instrument = slots->GetInstrument(slot))
            Require(std::string(instrument->GetPackage()->GetName()) != "Mixer" && instrument->GetSlot() == slot);
    Require(project.GetTranspose() >= -cProject::kMaxTranspose && project.GetTranspose() <= cProject::kMaxTranspose);
    for (int32_t slot = 0; slot < cProject::kSlotCount; ++slot)
    {
        const int32_t transpose = project.GetMIDIInTranspose(slot);
        Require(transpose >= -cProject::kMaxMIDIInTranspose && transpose <= cProject::kMaxMIDIInTranspose);
        const int32_t channel = const_cast<cProject&>(project).GetTrackMap().GetChannel(slot);
        Require(channel >= 0 && channel < cTrackMap::kChannelCount);
    }
    Require(project.GetRestoreUIPage() >= cProject::kPageSong && project.GetRestoreUIPage() <= cProject::kPageInstrument);
    Require(project.GetRestoreInstrumentIndex() >= 0 && project.GetRestoreInstrumentIndex() < cProject::kSlotCount);
}
} // namespace ProjectFuzz
