#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ProjectFixture.h"
#include "project/SampleRelocatorAll.h"

using namespace ProjectTest;

namespace
{
std::string Relocated(cSampleRelocator& relocator, const char* path)
{
    cGenStringFixed<260> text(path);
    relocator.Relocate(text);
    return text.CStr();
}

struct cFolderOfSamples
{
    cFolderOfSamples()
    {
        std::filesystem::remove_all(Documents());
        WriteText(Native("User/Samples/Kick.wav"), "kick one");
        WriteText(Native("User/Other/Kick.wav"), "kick two");
        WriteText(Native("User/Samples/Hat.wav"), "hat");
        std::filesystem::create_directories(Native("User/VRX Banks/Kit.vrx"));
    }
};
} // namespace

// Every sample moves flat into the folder under its file name; the caller
// keeps its path. Different files that share a name get numbered names,
// the same file given twice keeps one.
TEST(SampleRelocatorAllTest, EverySourceGetsANameOfItsOwnInTheFolder)
{
    cSampleRelocatorAll relocator(cGenString("User/VRX Banks/Kit.vrx"));
    EXPECT_TRUE(relocator.KeepsPaths());
    struct cCase
    {
        const char* path;
        const char* relocated;
        const char* stored;
    };
    const cCase cases[] = {
        {"User/Samples/Kick.wav", "User/VRX Banks/Kit.vrx/Kick.wav", "Kick.wav"},
        {"User/Other/Kick.wav", "User/VRX Banks/Kit.vrx/Kick-02.wav", "Kick-02.wav"},
        {"User/Samples/Kick.wav", "User/VRX Banks/Kit.vrx/Kick.wav", "Kick.wav"},
        {"User/Third/Kick.wav", "User/VRX Banks/Kit.vrx/Kick-03.wav", "Kick-03.wav"},
        {"User/Samples/Hat.wav", "User/VRX Banks/Kit.vrx/Hat.wav", "Hat.wav"},
        {"User/Samples/NoExtension", "User/VRX Banks/Kit.vrx/NoExtension", "NoExtension"},
        {"", "", ""},
    };
    for (const cCase& c : cases)
    {
        cGenStringFixed<260> path(c.path);
        relocator.Relocate(path);
        EXPECT_STREQ(path.CStr(), c.relocated) << c.path;
        relocator.MakeRelative(path);
        EXPECT_STREQ(path.CStr(), c.stored) << c.path;
    }
}

// The recorded files are copied beside one another; a source that cannot be
// read is reported while the others are still copied.
TEST(SampleRelocatorAllTest, CopyFilesCopiesEveryRecordedFileAndReportsAMissingOne)
{
    cFolderOfSamples folder;
    {
        cSampleRelocatorAll relocator(cGenString("User/VRX Banks/Kit.vrx"));
        Relocated(relocator, "User/Samples/Kick.wav");
        Relocated(relocator, "User/Other/Kick.wav");
        EXPECT_TRUE(relocator.CopyFiles());
        EXPECT_EQ(ReadText(Native("User/VRX Banks/Kit.vrx/Kick.wav")), "kick one");
        EXPECT_EQ(ReadText(Native("User/VRX Banks/Kit.vrx/Kick-02.wav")), "kick two");
    }
    cSampleRelocatorAll relocator(cGenString("User/VRX Banks/Kit.vrx"));
    Relocated(relocator, "User/Samples/Gone.wav");
    Relocated(relocator, "User/Samples/Hat.wav");
    EXPECT_FALSE(relocator.CopyFiles());
    EXPECT_EQ(ReadText(Native("User/VRX Banks/Kit.vrx/Hat.wav")), "hat");
}
