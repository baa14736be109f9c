#include <gtest/gtest.h>

#include "project/SampleRelocator.h"

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
        {"user/projects/SONG.prj/Drums/Kick.wav", "Drums/Kick.wav"},
        {"User/Samples/Kick.wav", "/User/Samples/Kick.wav"},
        // A folder whose name only starts like the project's is not inside it.
        {"User/Projects/Song.prjx/Kick.wav", "/User/Projects/Song.prjx/Kick.wav"},
        {"", ""},
    };
    for (const cCase& c : cases)
    {
        EXPECT_EQ(Relative(relocator, c.path), c.stored) << c.path;
        const std::string back = Absolute(relocator, c.stored);
        EXPECT_TRUE(strcasecmp(back.c_str(), c.path) == 0) << c.path << " came back as " << back;
    }
    EXPECT_EQ(Relative(relocator, "/Already/Marked.wav"), "/Already/Marked.wav");
}

TEST(SampleRelocatorTest, ReadingStoredPaths)
{
    const cSampleRelocator relocator("User/Projects/Song.prj", false);
    EXPECT_EQ(Absolute(relocator, "User/Samples/Kick.wav"), "User/Samples/Kick.wav");
    EXPECT_EQ(Absolute(relocator, "USER/Samples/Kick.wav"), "USER/Samples/Kick.wav");
    EXPECT_EQ(Absolute(relocator, "\\User\\Kick.wav"), "User\\Kick.wav");
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
