#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "BuildPaths.h"
#include "StandInPackages.h"
#include "audio/Instrument.h"
#include "audio/InstrumentPackageRegistry.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/WaveShaper.h"
#include "base/DeletableRoots.h"
#include "base/FileSystemRegistry.h"
#include "base/RootPaths.h"
#include "mixer/EffectUnits.h"
#include "mixer/MixingDeskPackage.h"
#include "project/Project.h"
#include "sequencer/Sequencer.h"

namespace ProjectTest
{
// The program decides its data folders once per process: every test of this
// program shares one fresh data home, whose documents folder each test
// empties, removed when the program ends.
inline const std::string& DataHome()
{
    static const std::string folder = TestScratchFolder() + "/project-data-" + std::to_string(getpid());
    return folder;
}

class cDataHomeEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        std::filesystem::remove_all(DataHome());
        setenv("XDG_DATA_HOME", DataHome().c_str(), 1);
        MountProgramFileSystems();
    }
    void TearDown() override
    {
        ShutdownProgramFileSystems();
        std::error_code ignored;
        std::filesystem::remove_all(DataHome(), ignored);
    }
};

inline ::testing::Environment* const gDataHome = ::testing::AddGlobalTestEnvironment(new cDataHomeEnvironment());

inline std::string Documents() { return GetDocumentsFolderPath(); }
// A "Doc" path as a native one.
inline std::string Native(const std::string& docPath) { return Documents() + "/" + docPath; }

inline std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteText(const std::string& path, const std::string& text)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// A short 16-bit mono WAV file whose samples count up from first.
inline void WriteWav(const std::string& path, int16_t first = 0, int frames = 64)
{
    auto le16 = [](uint32_t v) { return std::string{char(v & 0xFF), char((v >> 8) & 0xFF)}; };
    auto le32 = [&](uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); };
    std::string data;
    for (int i = 0; i < frames; ++i)
        data += le16(uint16_t(first + i));
    const std::string format = le16(1) + le16(1) + le32(44100) + le32(88200) + le16(2) + le16(16);
    const std::string chunks = "fmt " + le32(16) + format + "data" + le32(uint32_t(data.size())) + data;
    WriteText(path, "RIFF" + le32(uint32_t(4 + chunks.size())) + "WAVE" + chunks);
}

// The song engine, keeping what reaches its queue.
class cRecordingSequencer : public cSequencer
{
public:
    static constexpr int kMaxEvents = 256;

    int32_t HandleEvent(const cAudioEvent& event) override
    {
        if (count < kMaxEvents)
            events[count++] = event;
        return cSequencer::HandleEvent(event);
    }
    int Take()
    {
        count = 0;
        DrainEvents();
        return count;
    }

    cAudioEvent events[kMaxEvents];
    int count = 0;
};

// The engine as start-up leaves it, without an audio device: the slots, the
// song, the effect units and the packages in the program's order (Kest,
// Mixer, VRX), with an empty documents folder.
class cProjectFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(Documents(), ignored);
        std::filesystem::create_directories(Documents() + "/User/Projects");
        BuildShapeTables();
        RegisterEffectPackages();
        new cInstrumentSlotTable();
        sequencer = new cRecordingSequencer();
        auto* packages = new cInstrumentPackageRegistry();
        kest = new cStandInPackage("Kest");
        packages->AddPackage(kest);
        packages->AddPackage(new cMixingDeskPackage());
        vrx = new cStandInPackage("VRX");
        packages->AddPackage(vrx);
    }

    void TearDown() override
    {
        project.reset();
        delete cInstrumentSlotTable::GetInstance();
        delete cInstrumentPackageRegistry::GetInstance();
        delete cSequencer::GetInstance();
        DeleteEffectPackages();
        FreeShapeTables();
    }

    static cInstrument* Slot(int32_t slot) { return cInstrumentSlotTable::GetInstance()->GetInstrument(slot); }
    static cStandInInstrument* StandIn(int32_t slot) { return dynamic_cast<cStandInInstrument*>(Slot(slot)); }

    // A project with the default instruments at the path.
    cProject& NewProject(const char* path = "User/Projects/Song.prj")
    {
        project = std::make_unique<cProject>();
        project->NewDefault(cGenString(path), 0);
        return *project;
    }

    cRecordingSequencer* sequencer = nullptr;
    cStandInPackage* kest = nullptr;
    cStandInPackage* vrx = nullptr;
    std::unique_ptr<cProject> project;
};
} // namespace ProjectTest
