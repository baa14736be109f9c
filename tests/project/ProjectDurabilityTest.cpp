#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "ProjectFixture.h"
#include "audio/Transport.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"

namespace ProjectTest
{
namespace
{
namespace fs = std::filesystem;

using cProjectDurabilityTest = cProjectFixture;

struct cVersion
{
    int32_t transpose;
    float tempo;
};
constexpr cVersion kVersions[2] = {{2, 100.0f}, {7, 150.0f}};

void SaveVersion(cProject& project, const cVersion& version)
{
    project.SetTranspose(version.transpose);
    cSequencer::GetInstance()->SetTempo(version.tempo);
    project.Save(cGenString("User/Projects/Kill.prj"), false);
}

// A child saves two versions of the project in turn until it is killed
// without warning; whenever that comes, the folder loads normally, each of
// its files one of the two versions whole.
TEST_F(cProjectDurabilityTest, ASaveKilledAtAnyMomentLeavesALoadableProject)
{
    cProject& p = NewProject("User/Projects/Kill.prj");
    SaveVersion(p, kVersions[0]);
    std::mt19937 random(27);
    std::uniform_int_distribution<int> pause(0, 30000);
    for (int round = 0; round < 50; ++round)
    {
        SCOPED_TRACE(round);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0)
        {
            for (int i = 0;; i = 1 - i)
                SaveVersion(*project, kVersions[i]);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));

        cProject loaded;
        ASSERT_TRUE(loaded.Load(cGenString("User/Projects/Kill.prj"))) << loaded.GetErrorText().CStr();
        EXPECT_TRUE(loaded.GetTranspose() == kVersions[0].transpose || loaded.GetTranspose() == kVersions[1].transpose)
            << loaded.GetTranspose();
        const float tempo = gTransport.tempo.load();
        EXPECT_TRUE(tempo == kVersions[0].tempo || tempo == kVersions[1].tempo) << tempo;
        loaded.Unload();
    }
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
