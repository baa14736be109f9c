#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ProjectFixture.h"
#include "base/FileSystemRegistry.h"
#include "project/ui/SetupPanelProject.h"

// The seed inputs of the project fuzz targets: a saved project file of
// today's version, one of version 2 with the old desk, and exported archives.
// Each is checked to read as the reader tests expect, then left in the test
// scratch folder under "fuzz-seeds" for a fuzzing run to start from.
namespace ProjectTest
{
namespace
{
namespace fs = std::filesystem;

void KeepSeeds(const char* target, const std::vector<std::string>& seeds)
{
    const fs::path folder = fs::path(TestScratchFolder()) / "fuzz-seeds" / target;
    fs::create_directories(folder);
    for (size_t i = 0; i < seeds.size(); ++i)
        std::ofstream(folder / ("seed-" + std::to_string(i)), std::ios::binary) << seeds[i];
}

const char* const kVersion2 =
    "<Root FileVersion=\"2.000000\" Transpose=\"3\"><TrackMap Instr1=\"4\"/><Instruments>"
    "<Instr Type=\"MixingDesk\" Index=\"0\"><AM><Input00 Vol=\"0.5\" Pan=\"0.2\"/><Output Vol=\"0.8\"/>"
    "<Reverb Preset=\"Room 2\" Enable=\"1\" DryWet=\"0.4\"/><Chorus Type=\"Chorus\" Enable=\"1\"/></AM></Instr>"
    "<Instr Type=\"TriggerPad\" Index=\"1\"/><Instr Type=\"Kest\" Index=\"2\" MIDIInTranspose=\"-12\"/>"
    "</Instruments></Root>";

using cProjectFuzzSeedTest = cProjectFixture;

TEST_F(cProjectFuzzSeedTest, TheFuzzTargetsSeedsReadAsTheReaderTestsExpect)
{
    cProject& p = NewProject("User/Projects/Seed.prj");
    WriteWav(Native("User/Samples/Kick.wav"));
    StandIn(2)->Module().samplePath.AssignCStr("User/Samples/Kick.wav");
    ASSERT_TRUE(p.Save(cGenString("User/Projects/Seed.prj"), false));
    const std::string today = ReadText(Native("User/Projects/Seed.prj/Package.prj"));

    WriteText(Native("User/Projects/Old.prj/Package.prj"), kVersion2);
    project = std::make_unique<cProject>();
    float version = 0.0f;
    ASSERT_TRUE(project->Serialise(gFileSystemRegistry->FindFileSystem("Doc"),
                                   cGenString("User/Projects/Old.prj/Package.prj"), cProject::kRead, nullptr, &version));
    EXPECT_EQ(version, 2.0f);
    EXPECT_EQ(project->GetTranspose(), 3);
    KeepSeeds("project_file", {today, kVersion2});

    NewProject("User/Projects/Seed.prj");
    ASSERT_TRUE(project->Save(cGenString("User/Projects/Seed.prj"), false));
    cSetupPanelProject::cJobExportProject job(project.get(), cGenString("User/Projects/Seed.qpk"));
    job.Run(nullptr);
    ASSERT_TRUE(job.result) << job.errorText.CStr();
    KeepSeeds("project_archive", {ReadText(Native("User/Projects/Seed.qpk"))});
}
} // namespace
} // namespace ProjectTest
