#include "FileTestFolder.h"

#include "base/CommitGroup.h"
#include "base/DeletableRoots.h"
#include "base/File.h"
#include "base/FileSystemDisk.h"
#include "base/SafeWrite.h"
#include "base/StaleTemporaries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{
namespace fs = std::filesystem;

class StaleTemporariesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ClearDeletableRoots();
        mFolder.Write("Documents/.keep", "");
        AddDeletableRoot(Doc("").c_str());
        mDoc = std::make_unique<File::cFileSystemDisk>("Doc", Doc("").c_str());
    }
    void TearDown() override { ClearDeletableRoots(); }

    std::string Doc(const std::string& name) const { return mFolder / ("Documents/" + name); }
    std::string Read(const std::string& name) const { return mFolder.Read("Documents/" + name); }
    void Write(const std::string& name, const std::string& text) const { mFolder.Write("Documents/" + name, text); }
    bool Exists(const std::string& name) const { return fs::exists(fs::symlink_status(Doc(name))); }

    // An open safe write of the file, as a save that is still at work.
    File::cFile* StartSave(const char* name, const std::string& text)
    {
        File::cFile* stream = mDoc->Open(cGenString(name), File::kModeWrite, File::kFlagSafeWrite);
        if (stream)
            stream->Write(text.data(), int(text.size()));
        return stream;
    }

    cFileTestFolder mFolder;
    std::unique_ptr<File::cFileSystemDisk> mDoc;
};

TEST_F(StaleTemporariesTest, OnlyTemporaryNamesOfTheWritersAreRecognised)
{
    const struct
    {
        const char* name;
        const char* target; // null: not a temporary
    } cases[] = {
        {"Kick.wav.ab12cd34.tmp", "Kick.wav"},
        {"Live.vrx.00000000.tmp", "Live.vrx"},
        {"a.zzzzzzzz.tmp", "a"},
        {"Kick.wav.tmp", nullptr},
        {"Kick.wav.AB12CD34.tmp", nullptr},
        {"Kick.wav.ab12cd3.tmp", nullptr},
        {"Kick.wav.ab12cd345.tmp", nullptr},
        {"Kick.wav-ab12cd34.tmp", nullptr},
        {".ab12cd34.tmp", nullptr},
        {"Kick.wav.ab12cd34.TMP", nullptr},
    };
    for (const auto& c : cases)
    {
        std::string target;
        EXPECT_EQ(IsTemporaryName(c.name, &target), c.target != nullptr) << c.name;
        if (c.target)
        {
            EXPECT_EQ(target, c.target) << c.name;
        }
    }
}

// A start removes what dead writers left, at any depth: a temporary file or
// folder not held and written before the start. What a live writer holds,
// what was written since the start, files of other names, links named like
// temporaries and what they point at all stay.
TEST_F(StaleTemporariesTest, AStartSweepsOnlyWhatDeadWritersLeft)
{
    Write("Settings.dat.ab12cd34.tmp", "dead writer");
    Write("User/Samples/Kick.wav.0a1b2c3d.tmp", "dead writer, deeper");
    Write("User/VRX Banks/Live.vrx.zz99yy88.tmp/Package.vrx", "dead package writer");
    Write("User/Samples/Kick.wav.tmp", "the user's own");
    Write("User/Samples/Notes.txt", "the user's own");
    mFolder.Write("Outside/Precious.wav", "outside");
    ASSERT_EQ(symlink((mFolder / "Outside/Precious.wav").c_str(), Doc("Link.wav.ab12cd34.tmp").c_str()), 0);
    ASSERT_EQ(symlink((mFolder / "Outside").c_str(), Doc("User/Linked").c_str()), 0);
    mFolder.Write("Outside/Far.wav.ab12cd34.tmp", "reached only through a link");

    File::cFile* live = StartSave("Live.dat", "a save at work");
    ASSERT_NE(live, nullptr);
    MarkProgramStart();
    File::cFile* later = StartSave("Later.dat", "begun after the start");
    ASSERT_NE(later, nullptr);
    later->Close(true);
    delete later;
    Write("Fresh.dat.ab12cd34.tmp", "written after the start");
    // File times are coarse: this one is set plainly after the start.
    fs::last_write_time(Doc("Fresh.dat.ab12cd34.tmp"), fs::file_time_type::clock::now() + std::chrono::minutes(1));

    EXPECT_EQ(SweepStaleTemporaries(Doc("").c_str()), 3);
    for (const char* gone : {"Settings.dat.ab12cd34.tmp", "User/Samples/Kick.wav.0a1b2c3d.tmp",
                             "User/VRX Banks/Live.vrx.zz99yy88.tmp"})
        EXPECT_FALSE(Exists(gone)) << gone;
    for (const char* kept : {"User/Samples/Kick.wav.tmp", "User/Samples/Notes.txt", "Link.wav.ab12cd34.tmp",
                             "Fresh.dat.ab12cd34.tmp"})
        EXPECT_TRUE(Exists(kept)) << kept;
    EXPECT_EQ(mFolder.Read("Outside/Precious.wav"), "outside");
    EXPECT_TRUE(fs::exists(mFolder / "Outside/Far.wav.ab12cd34.tmp"));

    // The save still at work is untouched and commits.
    EXPECT_TRUE(live->Close(false));
    delete live;
    EXPECT_EQ(Read("Live.dat"), "a save at work");
}

// Several files saved as one: nothing changes until the commit, then every
// write and delete happens; a group dropped uncommitted leaves no trace.
TEST_F(StaleTemporariesTest, ACommitGroupReplacesItsFilesTogetherOrNotAtAll)
{
    Write("Song.prj/Package.prj", "old project");
    Write("Song.prj/Package.sng", "old song");
    Write("Song.prj/Package.prj.as", "old auto-save");
    Write("Other.dat", "old other");
    for (const bool commit : {false, true})
    {
        SCOPED_TRACE(commit ? "committed" : "dropped");
        {
            cCommitGroup group(Doc("Song.prj").c_str());
            for (const char* name : {"Song.prj/Package.prj", "Song.prj/Package.sng", "Other.dat"})
            {
                std::unique_ptr<File::cFile> stream(StartSave(name, std::string("new ") + name));
                ASSERT_TRUE(stream && stream->Close(false)) << name;
            }
            EXPECT_TRUE(mDoc->Delete(cGenString("Song.prj/Package.prj.as")));
            // Outside the folder a save commits at once.
            EXPECT_EQ(Read("Other.dat"), "new Other.dat");
            EXPECT_EQ(Read("Song.prj/Package.prj"), "old project");
            EXPECT_TRUE(Exists("Song.prj/Package.prj.as"));
            if (commit)
            {
                EXPECT_TRUE(group.Commit());
            }
        }
        EXPECT_EQ(Read("Song.prj/Package.prj"), commit ? "new Song.prj/Package.prj" : "old project");
        EXPECT_EQ(Read("Song.prj/Package.sng"), commit ? "new Song.prj/Package.sng" : "old song");
        EXPECT_EQ(Exists("Song.prj/Package.prj.as"), !commit);
        EXPECT_FALSE(Exists(std::string("Song.prj/") + kCommitJournalName));
    }
    EXPECT_EQ(Read("Song.prj/Package.prj.bak"), "old project");
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Doc("Song.prj")))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Package.prj", "Package.prj.bak", "Package.sng", "Package.sng.bak"}));
}

// A commit cut short after its journal is finished by the next load or
// start; a journal that names anything but its own temporaries in its own
// folder, or is not a journal at all, moves nothing.
TEST_F(StaleTemporariesTest, AnInterruptedCommitIsFinishedAndAForgedJournalMovesNothing)
{
    const std::string header = "commit journal 1\n";
    Write("Song.prj/Package.prj", "old project");
    Write("Song.prj/Package.sng", "new song, already in place");
    Write("Song.prj/Package.prj.ab12cd34.tmp", "new project");
    Write("Song.prj/Package.prj.as", "old auto-save");
    Write("Song.prj/Commit.journal", header + "C\t0\tPackage.prj.ab12cd34.tmp\tPackage.prj\n"
                                              "C\t0\tPackage.sng.zz00zz00.tmp\tPackage.sng\nD\tPackage.prj.as\n");
    bool finished = false;
    EXPECT_TRUE(FinishInterruptedCommit(Doc("Song.prj").c_str(), &finished));
    EXPECT_TRUE(finished);
    EXPECT_EQ(Read("Song.prj/Package.prj"), "new project");
    EXPECT_EQ(Read("Song.prj/Package.prj.bak"), "old project");
    EXPECT_EQ(Read("Song.prj/Package.sng"), "new song, already in place");
    EXPECT_FALSE(Exists("Song.prj/Package.prj.as"));
    EXPECT_FALSE(Exists("Song.prj/Commit.journal"));

    mFolder.Write("Outside/Victim.txt", "outside");
    Write("Song.prj/Victim.txt.ab12cd34.tmp", "forged");
    Write("Song.prj/Package.sng.ab12cd34.tmp", "forged");
    const struct
    {
        const char* what;
        std::string journal;
    } forged[] = {
        {"a path out of the folder", header + "C\t0\tVictim.txt.ab12cd34.tmp\t../../Outside/Victim.txt\n"},
        {"another file's temporary", header + "C\t0\tPackage.sng.ab12cd34.tmp\tPackage.prj\n"},
        {"a name that is no temporary", header + "C\t0\tPackage.sng\tPackage.prj\n"},
        {"a delete out of the folder", header + "D\t..\n"},
        {"no header", "C\t0\tPackage.sng.ab12cd34.tmp\tPackage.sng\n"},
        {"cut short", header + "C\t0\tPackage.sng.ab12cd34.tmp\tPackage.sng"},
    };
    for (const auto& f : forged)
    {
        SCOPED_TRACE(f.what);
        Write("Song.prj/Commit.journal", f.journal);
        EXPECT_TRUE(FinishInterruptedCommit(Doc("Song.prj").c_str(), &finished));
        EXPECT_FALSE(finished);
        EXPECT_EQ(Read("Song.prj/Package.prj"), "new project");
        EXPECT_EQ(Read("Song.prj/Package.sng"), "new song, already in place");
        EXPECT_EQ(mFolder.Read("Outside/Victim.txt"), "outside");
        EXPECT_TRUE(Exists("Song.prj"));
    }
}

// A package folder that a save cut short left missing comes back from the
// newest whole version beside it; an unfinished one (no main file) or one a
// live writer holds never does.
TEST_F(StaleTemporariesTest, AMissingPackageFolderComesBackFromItsNewestWholeVersion)
{
    const auto make = [&](const std::string& folder, const char* text, int age) {
        Write(folder + "/Package.vrx", text);
        const auto when = fs::file_time_type::clock::now() - std::chrono::seconds(age);
        fs::last_write_time(Doc(folder + "/Package.vrx"), when);
    };
    const struct
    {
        const char* what;
        std::function<void()> leave;
        const char* recovered; // null: nothing to recover
    } cases[] = {
        {"the backup", [&] { make("Live.vrx.bak", "backup", 20); }, "backup"},
        {"the old fixed temporary", [&] { make("Live.vrx.tmp", "old temporary", 20); }, "old temporary"},
        {"the newest of three",
         [&] {
             make("Live.vrx.bak", "backup", 30);
             make("Live.vrx.tmp", "old temporary", 20);
             make("Live.vrx.ab12cd34.tmp", "new temporary", 10);
         },
         "new temporary"},
        {"an unfinished one only", [&] { Write("Live.vrx.ab12cd34.tmp/Kick.wav", "a sample"); }, nullptr},
        {"a link only",
         [&] {
             make("../Outside.vrx", "outside", 5);
             ASSERT_EQ(symlink((mFolder / "Outside.vrx").c_str(), Doc("Live.vrx.tmp").c_str()), 0);
         },
         nullptr},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        fs::remove_all(Doc(""));
        fs::create_directories(Doc(""));
        c.leave();
        std::string from;
        EXPECT_EQ(RecoverMissingFolder(Doc("Live.vrx").c_str(), "Package.vrx", &from), c.recovered != nullptr);
        if (c.recovered)
            EXPECT_EQ(Read("Live.vrx/Package.vrx"), c.recovered);
        else
            EXPECT_FALSE(Exists("Live.vrx"));
    }

    // A folder that is there is never replaced; one held by a live writer is
    // not taken.
    make("Live.vrx", "current", 10);
    EXPECT_FALSE(RecoverMissingFolder(Doc("Live.vrx").c_str(), "Package.vrx"));
    EXPECT_EQ(Read("Live.vrx/Package.vrx"), "current");
    fs::remove_all(Doc("Live.vrx"));
    make("Live.vrx.ab12cd34.tmp", "at work", 0);
    const int held = ::open(Doc("Live.vrx.ab12cd34.tmp").c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    EXPECT_FALSE(RecoverMissingFolder(Doc("Live.vrx").c_str(), "Package.vrx"));
    ::close(held);
}
} // namespace
