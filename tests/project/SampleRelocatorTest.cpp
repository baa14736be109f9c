#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "ProjectFixture.h"
#include "project/SampleRelocator.h"
#include "project/SampleRelocatorProjectExport.h"
#include "project/SampleRelocatorSingleDir.h"

namespace
{
std::string Relative(const cSampleRelocator& relocator, const char* path)
{
    cGenStringFixed<260> text(path);
    relocator.MakeRelative(text);
    return text.CStr();
}

std::string Absolute(const cSampleRelocator& relocator, const char* path)
{
    cGenStringFixed<260> text(path);
    relocator.MakeAbsolute(text);
    return text.CStr();
}
} // namespace

// Paths below the project folder are stored relative to it, others with a
// leading '/', and both read back to where they came from.
TEST(SampleRelocatorTest, StoredFormsReadBackToTheirPaths)
{
    const cSampleRelocator relocator("User/Projects/Song.prj", false);
    struct cCase
    {
        const char* path;
        const char* stored;
    };
    const cCase cases[] = {
        {"User/Projects/Song.prj/Kick.wav", "Kick.wav"},
        {"User/Projects/Song.prj/Drums/Kick.wav", "Drums/Kick.wav"},
        // Another folder on this disk, whose name differs only in case.
        {"User/Projects/SONG.prj/Kick.wav", "/User/Projects/SONG.prj/Kick.wav"},
        {"User/Samples/Kick.wav", "/User/Samples/Kick.wav"},
        // A folder whose name only starts like the project's is not inside it.
        {"User/Projects/Song.prjx/Kick.wav", "/User/Projects/Song.prjx/Kick.wav"},
        {"", ""},
    };
    for (const cCase& c : cases)
    {
        EXPECT_EQ(Relative(relocator, c.path), c.stored) << c.path;
        const std::string back = Absolute(relocator, c.stored);
        EXPECT_EQ(back, c.path);
    }
    EXPECT_EQ(Relative(relocator, "/Already/Marked.wav"), "/Already/Marked.wav");
}

TEST(SampleRelocatorTest, ReadingStoredPaths)
{
    const cSampleRelocator relocator("User/Projects/Song.prj", false);
    EXPECT_EQ(Absolute(relocator, "User/Samples/Kick.wav"), "User/Samples/Kick.wav");
    EXPECT_EQ(Absolute(relocator, "USER/Samples/Kick.wav"), "USER/Samples/Kick.wav");
    EXPECT_EQ(Absolute(relocator, "\\User\\Kick.wav"), "User/Kick.wav");
    EXPECT_EQ(Absolute(relocator, "Drums\\Kick.wav"), "User/Projects/Song.prj/Drums/Kick.wav");
    EXPECT_EQ(Absolute(relocator, "Kick.wav"), "User/Projects/Song.prj/Kick.wav");

    const cSampleRelocator trailing("User/Projects/Song.prj/", true);
    EXPECT_EQ(Relative(trailing, "User/Projects/Song.prj/Kick.wav"), "Kick.wav");
    EXPECT_EQ(Absolute(trailing, "Kick.wav"), "User/Projects/Song.prj/Kick.wav");
    EXPECT_TRUE(trailing.KeepsPaths());
    EXPECT_FALSE(relocator.KeepsPaths());
}

TEST(SampleRelocatorTest, ThePlainRelocatorMovesNothing)
{
    cSampleRelocator relocator("User/Projects/Song.prj", false);
    cGenStringFixed<260> path("User/Samples/Kick.wav");
    relocator.Relocate(path);
    EXPECT_STREQ(path.CStr(), "User/Samples/Kick.wav");
}

// A stored path never leads out of the documents folder.
TEST(SampleRelocatorTest, StoredPathsThatClimbReadAsMissing)
{
    const cSampleRelocator relocator("User/Projects/Song.prj", false);
    const struct
    {
        const char* stored;
        const char* read;
    } cases[] = {
        {"/../x.wav", ""},
        {"../Kick.wav", ""},
        {"User/../../etc/passwd", ""},
        {"Drums/../Kick.wav", ""},
        {"\\..\\..\\x.wav", ""},
        {"/User/Samples/..", ""},
        {"a..b.wav", "User/Projects/Song.prj/a..b.wav"},
        {"/User/Samples/.hidden/..kick.wav", "User/Samples/.hidden/..kick.wav"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Absolute(relocator, c.stored), c.read) << c.stored;
}

TEST(SampleRelocatorTest, ASaveUnderANewNameMovesWhatIsBelowTheOldFolder)
{
    cSampleRelocatorSingleDir relocator(cGenString("User/Projects/Take 2.prj"), cGenString("User/Projects/Song.prj"));
    EXPECT_FALSE(relocator.KeepsPaths());
    const struct
    {
        const char* path;
        const char* moved;
        const char* stored;
    } cases[] = {
        {"User/Projects/Song.prj/Kick.wav", "User/Projects/Take 2.prj/Kick.wav", "/User/Projects/Take 2.prj/Kick.wav"},
        {"User/Projects/Song.prj/Drums/Snare.wav", "User/Projects/Take 2.prj/Drums/Snare.wav",
         "/User/Projects/Take 2.prj/Drums/Snare.wav"},
        {"User/Samples/Hat.wav", "User/Samples/Hat.wav", "/User/Samples/Hat.wav"},
        {"User/Projects/Song.prjx/Hat.wav", "User/Projects/Song.prjx/Hat.wav", "/User/Projects/Song.prjx/Hat.wav"},
        {"", "", ""},
    };
    for (const auto& c : cases)
    {
        cGenStringFixed<260> path(c.path);
        relocator.Relocate(path);
        EXPECT_STREQ(path.CStr(), c.moved) << c.path;
        relocator.MakeRelative(path);
        EXPECT_STREQ(path.CStr(), c.stored) << c.path;
    }
    const std::map<std::string, std::string> expected = {
        {"User/Projects/Take 2.prj/Drums/Snare.wav", "User/Projects/Song.prj/Drums/Snare.wav"},
        {"User/Projects/Take 2.prj/Kick.wav", "User/Projects/Song.prj/Kick.wav"}};
    EXPECT_EQ(relocator.GetCopyMap(), expected);

    // The next save, into the new folder itself, stores them relative and moves nothing.
    cSampleRelocatorSingleDir again(cGenString("User/Projects/Take 2.prj"), cGenString("User/Projects/Take 2.prj"));
    cGenStringFixed<260> path("User/Projects/Take 2.prj/Kick.wav");
    again.Relocate(path);
    again.MakeRelative(path);
    EXPECT_STREQ(path.CStr(), "Kick.wav");
    EXPECT_TRUE(again.GetCopyMap().empty());
}

using cSampleRelocatorExportTest = ProjectTest::cProjectFixture;

TEST_F(cSampleRelocatorExportTest, AnExportGathersEverySampleUnderANameOfItsOwn)
{
    using ProjectTest::Native;
    using ProjectTest::WriteText;
    for (const char* file : {"Kick.wav", "Pad.WAV", "Notes.txt", "Drums/Snare.wav"})
        WriteText(Native(std::string("User/Projects/Song.prj/") + file), "RIFF");
    std::filesystem::create_directories(Native("User/Projects/Song.prj/Loops.wav"));
    cSampleRelocatorProjectExport relocator(cGenString("User/Projects/Song.prj"), cGenString("User/Projects/Out.prj"));
    EXPECT_TRUE(relocator.KeepsPaths());
    const struct
    {
        const char* path;
        const char* moved;
    } cases[] = {
        {"User/Projects/Song.prj/Kick.wav", "User/Projects/Out.prj/Kick.wav"},
        {"User/Samples/Kick.wav", "User/Projects/Out.prj/Kick-02.wav"},
        {"User/Projects/Song.prj/Drums/Snare.wav", "User/Projects/Out.prj/Snare.wav"},
        {"User/Samples/Snare.wav", "User/Projects/Out.prj/Snare-02.wav"},
        {"User/Other/Kick.wav", "User/Projects/Out.prj/Kick-03.wav"},
        {"User/Samples/Kick.wav", "User/Projects/Out.prj/Kick-02.wav"},
        {"User/Projects/Out.prj/Own.wav", "User/Projects/Out.prj/Own.wav"},
    };
    for (const auto& c : cases)
    {
        cGenStringFixed<260> path(c.path);
        relocator.Relocate(path);
        EXPECT_STREQ(path.CStr(), c.moved) << c.path;
    }
    cGenStringFixed<260> stored("User/Projects/Out.prj/Kick-02.wav");
    relocator.MakeRelative(stored);
    EXPECT_STREQ(stored.CStr(), "Kick-02.wav");
    const std::map<std::string, std::string> expected = {
        {"User/Projects/Out.prj/Kick-02.wav", "User/Samples/Kick.wav"},
        {"User/Projects/Out.prj/Kick-03.wav", "User/Other/Kick.wav"},
        {"User/Projects/Out.prj/Kick.wav", "User/Projects/Song.prj/Kick.wav"},
        {"User/Projects/Out.prj/Pad.WAV", "User/Projects/Song.prj/Pad.WAV"},
        {"User/Projects/Out.prj/Snare-02.wav", "User/Samples/Snare.wav"},
        {"User/Projects/Out.prj/Snare.wav", "User/Projects/Song.prj/Drums/Snare.wav"}};
    EXPECT_EQ(relocator.GetCopyMap(), expected);
}
