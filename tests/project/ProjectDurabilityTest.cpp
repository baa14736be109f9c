#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "KillHarness.h"
#include "ProjectFixture.h"
#include "audio/Transport.h"
#include "base/FileTestFolder.h"
#include "base/StatusNotice.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"

namespace ProjectTest
{
namespace
{
namespace fs = std::filesystem;

constexpr char kProject[] = "User/Projects/Kill.prj";

struct cVersion
{
    int32_t transpose;
    float tempo;
    const char* bank;
};
constexpr cVersion kVersions[2] = {{2, 100.0f, "bank of version 0"}, {7, 150.0f, "bank of version 1"}};

// A project whose every file tells its version: "Package.prj" by the
// transpose, the song by the tempo, the two packages' bank files by their
// text. A save killed anywhere must leave all of them from one version.
class cProjectDurabilityTest : public cProjectFixture
{
protected:
    void SetUp() override
    {
        cProjectFixture::SetUp();
        NewProject(kProject);
    }

    bool Save(int version, bool autoSave)
    {
        project->SetTranspose(kVersions[version].transpose);
        cSequencer::GetInstance()->SetTempo(kVersions[version].tempo);
        kest->bank = vrx->bank = kVersions[version].bank;
        return project->Save(cGenString(kProject), autoSave);
    }

    // The version a load finds in every file alike; -1 otherwise.
    int Start(bool autoSave)
    {
        cProject loaded;
        const std::string path = std::string(kProject) + (autoSave ? ".as" : "");
        if (!loaded.Load(cGenString(path.c_str())))
        {
            ADD_FAILURE() << loaded.GetErrorText().CStr();
            return -1;
        }
        for (int version = 0; version < 2; ++version)
        {
            if (loaded.GetTranspose() == kVersions[version].transpose &&
                gTransport.tempo.load() == kVersions[version].tempo && kest->loadedBank == kVersions[version].bank &&
                vrx->loadedBank == kVersions[version].bank)
                return version;
        }
        ADD_FAILURE() << "mixed: transpose " << loaded.GetTranspose() << ", tempo " << gTransport.tempo.load()
                      << ", banks '" << kest->loadedBank << "' and '" << vrx->loadedBank << "'";
        return -1;
    }

    KillHarness::cKind Kind(bool autoSave)
    {
        return {[this, autoSave](int version) { return Save(version, autoSave); },
                [this, autoSave] { return Start(autoSave); }, {Documents(), GetTempFolderPath()}};
    }
};

// Killed at each rename and link of its commit, a save leaves the project
// as it was or as saved, every file from the one version; an auto-save the
// same, loaded as the start's offer loads it.
TEST_F(cProjectDurabilityTest, ASaveKilledAtEachStepLeavesTheOldOrTheNewProjectWhole)
{
    for (const bool autoSave : {false, true})
    {
        SCOPED_TRACE(autoSave ? "auto-save" : "save");
        if (autoSave)
        {
            ASSERT_TRUE(Save(0, false));
        }
        // The journal, then each of the four files' backup and rename.
        EXPECT_GE(KillHarness::ExpectEveryStepSurvived(Kind(autoSave)), 9);
    }
}

TEST_F(cProjectDurabilityTest, ASaveKilledAtAnyMomentLeavesTheOldOrTheNewProjectWhole)
{
    KillHarness::ExpectRandomKillsSurvived(Kind(false), 30, 27);
}

TEST_F(cProjectDurabilityTest, AnAutoSaveKilledAtAnyMomentLeavesTheOldOrTheNewOneWhole)
{
    ASSERT_TRUE(Save(0, false));
    KillHarness::ExpectRandomKillsSurvived(Kind(true), 30, 102);
}

// Killed once its journal is written, the save is completed by the next
// load of the folder itself, which says so.
TEST_F(cProjectDurabilityTest, ASaveKilledAfterItsJournalIsCompletedByTheNextLoad)
{
    ASSERT_TRUE(Save(0, false));
    ASSERT_EQ(KillHarness::RunKilledAtStep(2, [&] { return Save(1, false); }), KillHarness::eEnd::kKilled);
    ASSERT_TRUE(fs::exists(Native(std::string(kProject) + "/Commit.journal")));
    cGenStringFixed<512> notice;
    while (TakeStatusNotice(notice))
    {
    }
    EXPECT_EQ(Start(false), 1);
    EXPECT_FALSE(fs::exists(Native(std::string(kProject) + "/Commit.journal")));
    ASSERT_TRUE(TakeStatusNotice(notice));
    EXPECT_STREQ(notice.CStr(), "Completed the interrupted save of 'Kill'");
}

// A disk that fills while the bank is written fails the save, and no file of
// the project has changed.
TEST_F(cProjectDurabilityTest, ASaveThatFillsTheDiskChangesNoFile)
{
    ASSERT_TRUE(Save(0, false));
    const std::string before[] = {ReadText(Native(std::string(kProject) + "/Package.prj")),
                                  ReadText(Native(std::string(kProject) + "/Package.sng"))};
    project->SetModified(true);
    {
        cFileSizeLimit fullDisk(100000);
        project->SetTranspose(kVersions[1].transpose);
        kest->bank = std::string(300000, 'x');
        EXPECT_FALSE(project->Save(cGenString(kProject), false));
    }
    EXPECT_STREQ(project->GetErrorText().CStr(), "Failed to save sound banks");
    EXPECT_TRUE(project->IsModified());
    EXPECT_EQ(ReadText(Native(std::string(kProject) + "/Package.prj")), before[0]);
    EXPECT_EQ(ReadText(Native(std::string(kProject) + "/Package.sng")), before[1]);
    EXPECT_EQ(Start(false), 0);
    EXPECT_EQ(KillHarness::Temporaries(Documents()), std::vector<std::string>{});
}

// Sample paths are kept relative to the project folder, or to the data
// folder for the user's samples: the project survives being moved with mv,
// and a data folder moved whole.
TEST_F(cProjectDurabilityTest, AMovedFolderOrDataHomeLoadsWithEverySample)
{
    cProject& p = NewProject("User/Projects/Before.prj");
    WriteWav(Native("User/Projects/Before.prj/Own.wav"), 1);
    WriteWav(Native("User/Projects/Before.prj/Kit/Snare.wav"), 2);
    WriteWav(Native("User/Samples/Kick.wav"), 3);
    StandIn(2)->Module().samplePath.AssignCStr("User/Projects/Before.prj/Own.wav");
    StandIn(3)->Module().samplePath.AssignCStr("User/Projects/Before.prj/Kit/Snare.wav");
    StandIn(4)->Module().samplePath.AssignCStr("User/Samples/Kick.wav");
    ASSERT_TRUE(p.Save(cGenString("User/Projects/Before.prj"), false));
    project.reset();

    ASSERT_EQ(std::system(("mv '" + Native("User/Projects/Before.prj") + "' '" + Native("User/Projects/Moved.prj") +
                           "'")
                              .c_str()),
              0);
    cProject moved;
    ASSERT_TRUE(moved.Load(cGenString("User/Projects/Moved.prj"))) << moved.GetErrorText().CStr();
    EXPECT_STREQ(moved.GetName().CStr(), "Moved");
    const char* expected[] = {"User/Projects/Moved.prj/Own.wav", "User/Projects/Moved.prj/Kit/Snare.wav",
                              "User/Samples/Kick.wav"};
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_STREQ(StandIn(i + 2)->Module().samplePath.CStr(), expected[i]);
        EXPECT_TRUE(fs::exists(Native(expected[i]))) << expected[i];
    }
    moved.Unload();

    // The whole data folder elsewhere, as another machine would have it.
    const std::string elsewhere = DataHome() + "-moved";
    fs::remove_all(elsewhere);
    fs::copy(Documents(), elsewhere, fs::copy_options::recursive);
    cFileSystemRegistry* original = gFileSystemRegistry;
    auto* relocated = new cFileSystemRegistry();
    relocated->Mount(new File::cFileSystemDisk("Doc", elsewhere.c_str()));
    cProject again;
    EXPECT_TRUE(again.Load(cGenString("User/Projects/Moved.prj"))) << again.GetErrorText().CStr();
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_STREQ(StandIn(i + 2)->Module().samplePath.CStr(), expected[i]);
        EXPECT_TRUE(fs::exists(elsewhere + "/" + expected[i])) << expected[i];
    }
    again.Unload();
    delete relocated;
    gFileSystemRegistry = original;
    fs::remove_all(elsewhere);
}
} // namespace
} // namespace ProjectTest
