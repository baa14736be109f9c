#include "FileTestFolder.h"

#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "base/UniqueFileName.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace
{
std::set<std::string> sLoadedSamples;

bool IsLoaded(const char* path) { return sLoadedSamples.count(path) != 0; }

class UniqueFileNameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mFolder.Write("Documents/.keep", "");
        mRegistry.Mount(new File::cFileSystemDisk("Doc", (mFolder / "Documents").c_str()));
    }
    void TearDown() override
    {
        SetSampleLoadedLookup(nullptr);
        sLoadedSamples.clear();
    }
    void Take(const std::vector<std::string>& names)
    {
        for (const std::string& name : names)
            mFolder.Write("Documents/" + name, "");
    }

    cFileTestFolder mFolder;
    cFileSystemRegistry mRegistry;
};
} // namespace

TEST_F(UniqueFileNameTest, InsertsTheFirstFreeCounterBeforeTheExtension)
{
    const std::string stem40(40, 's');
    const std::string stem29(29, 's');
    const struct
    {
        std::vector<std::string> taken;
        std::string wanted;
        bool onlyWhenTaken;
        bool changed;
        std::string result;
    } cases[] = {
        {{"User/Projects/Song.prj"}, "User/Projects/Song.prj", true, true, "User/Projects/Song-02.prj"},
        {{"Song.prj", "Song-02.prj", "Song-03.prj"}, "Song.prj", true, true, "Song-04.prj"},
        {{}, "Song.prj", true, false, "Song.prj"},
        {{}, "Song.prj", false, true, "Song-01.prj"},
        {{"Song-07.prj"}, "Song-07.prj", true, true, "Song-02.prj"},
        {{"Notes"}, "Notes", true, true, "Notes-02"},
        {{"Take-1a.wav"}, "Take-1a.wav", true, true, "Take-1a-02.wav"},
        {{stem40 + ".wav"}, stem40 + ".wav", true, true, stem29 + "-02.wav"},
        {{"dir.v2/file"}, "dir.v2/file", true, true, "dir.v2/file-02"},
    };
    for (const auto& c : cases)
    {
        Take(c.taken);
        cGenStringFixed<260> path(c.wanted.c_str());
        EXPECT_EQ(MakeUniqueFileName(path, c.onlyWhenTaken), c.changed) << c.wanted;
        EXPECT_EQ(std::string(path.CStr()), c.result) << c.wanted;
        std::filesystem::remove_all(mFolder / "Documents");
        mFolder.Write("Documents/.keep", "");
    }
}

TEST_F(UniqueFileNameTest, GivesUpWhenEveryCounterIsTaken)
{
    std::vector<std::string> names = {"Mix.wav"};
    for (int i = 2; i <= 99; ++i)
        names.push_back("Mix-" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".wav");
    Take(names);
    cGenStringFixed<260> path("Mix.wav");
    EXPECT_FALSE(MakeUniqueFileName(path, true));
    EXPECT_STREQ(path.CStr(), "Mix.wav");
}

TEST_F(UniqueFileNameTest, SampleNamesAvoidLoadedSamples)
{
    SetSampleLoadedLookup(&IsLoaded);
    sLoadedSamples = {"User/Samples/Kick.wav", "User/Samples/Kick-02.wav"};
    cGenStringFixed<260> path("User/Samples/Kick.wav");
    EXPECT_TRUE(MakeUniqueSampleFileName(path));
    EXPECT_STREQ(path.CStr(), "User/Samples/Kick-03.wav");

    cGenStringFixed<260> plain("User/Samples/Kick.wav");
    EXPECT_FALSE(MakeUniqueFileName(plain, true)) << "the plain form looks at the disk only";

    cGenStringFixed<260> free("User/Samples/Snare.wav");
    EXPECT_FALSE(MakeUniqueSampleFileName(free));
    EXPECT_STREQ(free.CStr(), "User/Samples/Snare.wav");
}
