#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "ProjectFixture.h"
#include "RecordingHost.h"
#include "XmlQuery.h"
#include "audio/Sample.h"
#include "audio/Transport.h"
#include "project/ProjectSlots.h"

namespace ProjectTest
{
namespace
{
namespace fs = std::filesystem;

bool Exists(const std::string& docPath) { return fs::exists(Native(docPath)); }

// The entries of a project folder, names only.
std::set<std::string> Listing(const std::string& docPath)
{
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(Native(docPath)))
        names.insert(fs::relative(entry.path(), Native(docPath)).string());
    return names;
}

class cProjectStorageTest : public cProjectFixture
{
protected:
    static bool Save(cProject& p, const char* folder, bool autoSave = false)
    {
        return p.Save(cGenString(folder), autoSave);
    }
    // A fresh record, as the load job finds it after the page's deactivation.
    bool Load(const char* path)
    {
        project = std::make_unique<cProject>();
        return project->Load(cGenString(path));
    }
    static std::string SaveVersionOf(const std::string& docPath)
    {
        return XPath(Native(docPath), "string(/Root/@SaveVersion)");
    }
};

TEST_F(cProjectStorageTest, ASavedProjectLoadsBackWithItsSong)
{
    cRecordingHost host;
    cProject& p = NewProject("User/Projects/Untitled-01.prj");
    sequencer->SetTempo(133.0f);
    p.SetTranspose(4);
    StandIn(2)->Module().level = 0.125f;
    p.SetModified(true);
    ASSERT_TRUE(Save(p, "User/Projects/Untitled-01.prj")) << p.GetErrorText().CStr();
    EXPECT_FALSE(p.IsModified());
    EXPECT_EQ(Listing("User/Projects/Untitled-01.prj"), (std::set<std::string>{"Package.prj", "Package.sng"}));
    EXPECT_EQ(host.statusTexts, (std::vector<std::string>{"Saving sound banks", "Saving project", "Saving song"}));

    sequencer->SetTempo(90.0f);
    host.statusTexts.clear();
    ASSERT_TRUE(Load("User/Projects/Untitled-01.prj")) << project->GetErrorText().CStr();
    EXPECT_EQ(host.statusTexts, (std::vector<std::string>{"Loading sound banks", "Loading project", "Loading song"}));
    EXPECT_STREQ(project->GetName().CStr(), "Untitled-01");
    EXPECT_FLOAT_EQ(gTransport.tempo.load(), 133.0f);
    EXPECT_EQ(project->GetTranspose(), 4);
    EXPECT_EQ(StandIn(2)->Module().level, 0.125f);
    EXPECT_FALSE(project->IsModified());
    EXPECT_FALSE(project->IsActive());
}

TEST_F(cProjectStorageTest, SavesKeepAGenerationAndAutoSavesGoBeside)
{
    cProject& p = NewProject("User/Projects/Song.prj");
    ASSERT_TRUE(Save(p, "User/Projects/Song.prj"));
    ASSERT_TRUE(Save(p, "User/Projects/Song.prj"));
    EXPECT_EQ(Listing("User/Projects/Song.prj"),
              (std::set<std::string>{"Package.prj", "Package.prj.bak", "Package.sng", "Package.sng.bak"}));
    EXPECT_EQ(SaveVersionOf("User/Projects/Song.prj/Package.prj"), "2");

    // An auto-save leaves the saved files alone and counts too.
    p.SetModified(true);
    ASSERT_TRUE(Save(p, "User/Projects/Song.prj", true));
    EXPECT_EQ(SaveVersionOf("User/Projects/Song.prj/Package.prj"), "2");
    EXPECT_EQ(SaveVersionOf("User/Projects/Song.prj/Package.prj.as"), "3");
    EXPECT_TRUE(Exists("User/Projects/Song.prj/Package.sng.as"));
    ASSERT_TRUE(Save(p, "User/Projects/Song.prj", true));
    EXPECT_TRUE(Exists("User/Projects/Song.prj/Package.prj.as.bak"));

    // The next normal save makes them stale: they go.
    ASSERT_TRUE(Save(p, "User/Projects/Song.prj"));
    EXPECT_EQ(SaveVersionOf("User/Projects/Song.prj/Package.prj"), "5");
    for (const char* stale : {"Package.prj.as", "Package.prj.as.bak", "Package.sng.as", "Package.sng.as.bak"})
        EXPECT_FALSE(Exists(std::string("User/Projects/Song.prj/") + stale)) << stale;
    EXPECT_FALSE(Exists("User/Projects/Song.prj/Package.prj.tmp"));
}

TEST_F(cProjectStorageTest, LoadsFallBackAlongTheirModesSuffixes)
{
    cProject& p = NewProject("User/Projects/Song.prj");
    p.SetTranspose(1);
    ASSERT_TRUE(Save(p, "User/Projects/Song.prj"));
    p.SetTranspose(2);
    ASSERT_TRUE(Save(p, "User/Projects/Song.prj"));
    p.SetTranspose(3);
    ASSERT_TRUE(Save(p, "User/Projects/Song.prj", true));
    const struct
    {
        const char* path;
        int32_t transpose;
        const char* name;
    } cases[] = {{"User/Projects/Song.prj", 2, "Song"},
                 {"User/Projects/Song.prj.bak", 1, "Song"},
                 {"User/Projects/Song.prj.BAK", 1, "Song"},
                 {"User/Projects/Song.prj.as", 3, "Song"}};
    for (const auto& c : cases)
    {
        ASSERT_TRUE(Load(c.path)) << c.path;
        EXPECT_EQ(project->GetTranspose(), c.transpose) << c.path;
        EXPECT_STREQ(project->GetPath().CStr(), "User/Projects/Song.prj") << c.path;
        EXPECT_STREQ(project->GetName().CStr(), c.name) << c.path;
    }
    // Without its main file a folder still loads in the normal mode: the
    // backup comes first, then the auto-save.
    fs::remove(Native("User/Projects/Song.prj/Package.prj"));
    ASSERT_TRUE(Load("User/Projects/Song.prj"));
    EXPECT_EQ(project->GetTranspose(), 1);
    fs::remove(Native("User/Projects/Song.prj/Package.prj.bak"));
    ASSERT_TRUE(Load("User/Projects/Song.prj"));
    EXPECT_EQ(project->GetTranspose(), 3);
}

TEST_F(cProjectStorageTest, LoadsThatFailSayWhy)
{
    cProject& p = NewProject("User/Projects/Song.prj");
    ASSERT_TRUE(Save(p, "User/Projects/Song.prj"));
    const struct
    {
        const char* what;
        std::function<void()> damage;
        const char* error;
    } cases[] = {
        {"no project file",
         [] { fs::rename(Native("User/Projects/Song.prj/Package.prj"), Native("User/Projects/Song.prj/Old")); },
         "The project file could not be opened."},
        {"a damaged project file", [] { WriteText(Native("User/Projects/Song.prj/Package.prj"), "<Root"); },
         "The project file is corrupted."},
        {"a newer project file",
         [] { WriteText(Native("User/Projects/Song.prj/Package.prj"), "<Root FileVersion=\"7.0\"/>"); },
         "This project was saved with a newer version of Quilwright."},
        {"no song", [] { fs::remove(Native("User/Projects/Song.prj/Package.sng")); }, "The song file is missing."},
        // Garbage whose first bytes read as a huge version is no newer song.
        {"a garbage song",
         [] { WriteText(Native("User/Projects/Song.prj/Package.sng"), std::string("\xff\xff\xff\x7f", 4) + "junk"); },
         "Song file is damaged."},
        {"no song and an unreadable MIDI file",
         [] {
             fs::remove(Native("User/Projects/Song.prj/Package.sng"));
             WriteText(Native("User/Projects/Song.prj/Package.mid"), "MThd but not really");
         },
         "The song file is missing; 'Package.mid': Could not read this MIDI file."},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        fs::remove_all(Native("User/Projects/Song.prj"));
        NewProject("User/Projects/Song.prj");
        ASSERT_TRUE(Save(*project, "User/Projects/Song.prj"));
        c.damage();
        EXPECT_FALSE(Load("User/Projects/Song.prj"));
        EXPECT_STREQ(project->GetErrorText().CStr(), c.error);
    }
}

// A bank that does not load fails nothing else: the project file and the
// song load, and the bank's own fault is the load's warning.
TEST_F(cProjectStorageTest, ABankThatDoesNotLoadLeavesTheRestOfTheProjectLoaded)
{
    cProject& p = NewProject("User/Projects/Song.prj");
    p.SetTranspose(5);
    cSequencer::GetInstance()->SetTempo(133.0f);
    ASSERT_TRUE(Save(p, "User/Projects/Song.prj"));
    kest->loadError = "Couldn't load the sound bank 'Kest.bnk': Kest bank file is not the expected size.";
    ASSERT_TRUE(Load("User/Projects/Song.prj")) << project->GetErrorText().CStr();
    EXPECT_EQ(project->GetTranspose(), 5);
    EXPECT_EQ(gTransport.tempo.load(), 133.0f);
    EXPECT_STREQ(project->GetLoadWarning().CStr(), kest->loadError);
    kest->loadError = nullptr;
    ASSERT_TRUE(Load("User/Projects/Song.prj"));
    EXPECT_TRUE(project->GetLoadWarning().IsEmpty());
}

TEST_F(cProjectStorageTest, ASaveUnderANewNameTakesEverySampleAlong)
{
    cProject& p = NewProject("User/Projects/Song.prj");
    ASSERT_TRUE(Save(p, "User/Projects/Song.prj"));
    WriteWav(Native("User/Projects/Song.prj/Kick.wav"), 100);
    WriteWav(Native("User/Projects/Song.prj/Unused.wav"), 200);
    WriteWav(Native("User/Projects/Song.prj/Drums/Snare.wav"), 300);
    WriteWav(Native("User/Samples/Hat.wav"), 400);
    StandIn(2)->Module().samplePath.AssignCStr("User/Projects/Song.prj/Kick.wav");
    StandIn(3)->Module().samplePath.AssignCStr("User/Projects/Song.prj/Drums/Snare.wav");
    StandIn(4)->Module().samplePath.AssignCStr("User/Samples/Hat.wav");
    cSample* loaded = cSample::Load("User/Projects/Song.prj/Drums/Snare.wav", 0);
    ASSERT_NE(loaded, nullptr);

    ASSERT_TRUE(Save(p, "User/Projects/Take 2.prj")) << p.GetErrorText().CStr();
    EXPECT_STREQ(p.GetPath().CStr(), "User/Projects/Take 2.prj");
    EXPECT_STREQ(p.GetName().CStr(), "Take 2");
    for (const char* file : {"Kick.wav", "Unused.wav", "Drums/Snare.wav"})
        EXPECT_EQ(ReadText(Native(std::string("User/Projects/Take 2.prj/") + file)),
                  ReadText(Native(std::string("User/Projects/Song.prj/") + file)))
            << file;
    EXPECT_FALSE(Exists("User/Projects/Take 2.prj/Hat.wav"));
    EXPECT_STREQ(StandIn(3)->Module().samplePath.CStr(), "User/Projects/Take 2.prj/Drums/Snare.wav");
    EXPECT_STREQ(loaded->GetPath(), "User/Projects/Take 2.prj/Drums/Snare.wav");
    const std::string file = Native("User/Projects/Take 2.prj/Package.prj");
    EXPECT_EQ(XPath(file, "string(/Root/Instruments/Instr[3]/AM/@Sample)"), "/User/Projects/Take 2.prj/Kick.wav");
    EXPECT_EQ(XPath(file, "string(/Root/Instruments/Instr[5]/AM/@Sample)"), "/User/Samples/Hat.wav");

    // The next save into the folder itself stores them relative; it loads with every sample.
    ASSERT_TRUE(Save(p, "User/Projects/Take 2.prj"));
    EXPECT_EQ(XPath(file, "string(/Root/Instruments/Instr[4]/AM/@Sample)"), "Drums/Snare.wav");
    loaded->Release();
    fs::remove_all(Native("User/Projects/Song.prj"));
    ASSERT_TRUE(Load("User/Projects/Take 2.prj"));
    EXPECT_STREQ(StandIn(3)->Module().samplePath.CStr(), "User/Projects/Take 2.prj/Drums/Snare.wav");
    EXPECT_TRUE(Exists("User/Projects/Take 2.prj/Drums/Snare.wav"));
}

TEST_F(cProjectStorageTest, ASaveIntoAFolderInsideTheProjectCopiesOnlyWhatMoves)
{
    cProject& p = NewProject("User/Projects/Song.prj");
    WriteWav(Native("User/Projects/Song.prj/Kick.wav"));
    WriteWav(Native("User/Projects/Song.prj/Loose.wav"));
    StandIn(2)->Module().samplePath.AssignCStr("User/Projects/Song.prj/Kick.wav");
    ASSERT_TRUE(Save(p, "User/Projects/Song.prj/Inner.prj")) << p.GetErrorText().CStr();
    EXPECT_EQ(Listing("User/Projects/Song.prj/Inner.prj"),
              (std::set<std::string>{"Kick.wav", "Package.prj", "Package.sng"}));
}

TEST_F(cProjectStorageTest, ASaveThatLosesAnyFileSaysSoAndStaysModified)
{
    const struct
    {
        const char* what;
        const char* folder;
        std::function<void()> obstruct;
        const char* error;
        bool pathMoves;
    } cases[] = {
        {"the folder", "User/Projects/Blocked.prj",
         [] { WriteText(Native("User/Projects/Blocked.prj"), "a file in the way"); },
         "Couldn't create a folder for the project", false},
        {"the banks", "User/Projects/Song.prj", [this] { kest->saves = false; }, "Failed to save sound banks", true},
        {"the project file", "User/Projects/Song.prj",
         [] {
             fs::remove(Native("User/Projects/Song.prj/Package.prj"));
             fs::create_directories(Native("User/Projects/Song.prj/Package.prj"));
         },
         "Failed to save project file", true},
        {"a sample", "User/Projects/Copy.prj",
         [] { fs::create_directories(Native("User/Projects/Copy.prj/Kick.wav/in the way")); },
         "Couldn't copy sample 'Kick.wav'", true},
        {"the song", "User/Projects/Song.prj",
         [] {
             fs::remove(Native("User/Projects/Song.prj/Package.sng"));
             fs::create_directories(Native("User/Projects/Song.prj/Package.sng/in the way"));
         },
         nullptr, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        fs::remove_all(Native("User/Projects"));
        kest->saves = true;
        cProject& p = NewProject("User/Projects/Song.prj");
        WriteWav(Native("User/Projects/Song.prj/Kick.wav"));
        // A save before, so a failed one has files to leave as they were.
        ASSERT_TRUE(Save(p, "User/Projects/Song.prj"));
        const std::string project = ReadText(Native("User/Projects/Song.prj/Package.prj"));
        const std::string song = ReadText(Native("User/Projects/Song.prj/Package.sng"));
        p.SetTranspose(4);
        cSequencer::GetInstance()->SetTempo(171.0f);
        p.SetModified(true);
        c.obstruct();
        EXPECT_FALSE(Save(p, c.folder));
        // Nothing of the failed save replaced a file of the folder.
        if (fs::is_regular_file(Native("User/Projects/Song.prj/Package.prj")))
        {
            EXPECT_EQ(ReadText(Native("User/Projects/Song.prj/Package.prj")), project);
        }
        if (fs::is_regular_file(Native("User/Projects/Song.prj/Package.sng")))
        {
            EXPECT_EQ(ReadText(Native("User/Projects/Song.prj/Package.sng")), song);
        }
        EXPECT_FALSE(Exists(std::string(c.folder) + "/Commit.journal"));
        if (c.error)
            EXPECT_STREQ(p.GetErrorText().CStr(), c.error);
        else
            EXPECT_FALSE(p.GetErrorText().IsEmpty());
        EXPECT_TRUE(p.IsModified());
        EXPECT_STREQ(p.GetPath().CStr(), c.pathMoves ? c.folder : "User/Projects/Song.prj");
    }
    kest->saves = true;
}

TEST_F(cProjectStorageTest, AnExportStandsAloneAndLeavesTheProjectAsItWas)
{
    cProject& p = NewProject("User/Projects/Song.prj");
    ASSERT_TRUE(Save(p, "User/Projects/Song.prj"));
    WriteWav(Native("User/Projects/Song.prj/Kick.wav"), 1);
    WriteWav(Native("User/Samples/Kick.wav"), 2);
    WriteWav(Native("User/Samples/Hat.wav"), 3);
    StandIn(2)->Module().samplePath.AssignCStr("User/Projects/Song.prj/Kick.wav");
    StandIn(3)->Module().samplePath.AssignCStr("User/Samples/Kick.wav");
    StandIn(4)->Module().samplePath.AssignCStr("User/Samples/Hat.wav");
    p.SetModified(true);

    ASSERT_TRUE(p.Export(cGenString("User/Projects/Song-01.prj"))) << p.GetErrorText().CStr();
    EXPECT_STREQ(p.GetPath().CStr(), "User/Projects/Song.prj");
    EXPECT_STREQ(p.GetName().CStr(), "Song");
    EXPECT_TRUE(p.IsModified());
    EXPECT_STREQ(StandIn(3)->Module().samplePath.CStr(), "User/Samples/Kick.wav");
    EXPECT_EQ(Listing("User/Projects/Song-01.prj"),
              (std::set<std::string>{"Hat.wav", "Kick-02.wav", "Kick.wav", "Package.prj", "Package.sng"}));
    // Two samples named alike stay two sounds.
    EXPECT_EQ(ReadText(Native("User/Projects/Song-01.prj/Kick-02.wav")), ReadText(Native("User/Samples/Kick.wav")));
    EXPECT_EQ(ReadText(Native("User/Projects/Song-01.prj/Kick.wav")),
              ReadText(Native("User/Projects/Song.prj/Kick.wav")));
    const std::string file = Native("User/Projects/Song-01.prj/Package.prj");
    EXPECT_EQ(XPath(file, "string(/Root/Instruments/Instr[3]/AM/@Sample)"), "Kick.wav");
    EXPECT_EQ(XPath(file, "string(/Root/Instruments/Instr[4]/AM/@Sample)"), "Kick-02.wav");
    EXPECT_EQ(XPath(file, "string(/Root/Instruments/Instr[5]/AM/@Sample)"), "Hat.wav");
    EXPECT_EQ(XPath(file, "string(/Root/@SaveVersion)"), "2");

    // Moved anywhere, it loads with every sample.
    fs::rename(Native("User/Projects/Song-01.prj"), Native("User/Projects/Elsewhere.prj"));
    ASSERT_TRUE(Load("User/Projects/Elsewhere.prj"));
    EXPECT_STREQ(StandIn(3)->Module().samplePath.CStr(), "User/Projects/Elsewhere.prj/Kick-02.wav");
    EXPECT_TRUE(Exists("User/Projects/Elsewhere.prj/Kick-02.wav"));
}

TEST_F(cProjectStorageTest, AnExportThatLosesAFileSaysWhich)
{
    cProject& p = NewProject("User/Projects/Song.prj");
    fs::create_directories(Native("User/Projects/Out.prj/Package.prj"));
    EXPECT_FALSE(p.Export(cGenString("User/Projects/Out.prj")));
    EXPECT_STREQ(p.GetErrorText().CStr(), "Failed to export project file");
    fs::remove_all(Native("User/Projects/Out.prj"));
    fs::create_directories(Native("User/Projects/Out.prj/Package.sng/in the way"));
    EXPECT_FALSE(p.Export(cGenString("User/Projects/Out.prj")));
    EXPECT_FALSE(p.GetErrorText().IsEmpty());
    WriteText(Native("User/Projects/File.prj"), "in the way");
    EXPECT_FALSE(p.Export(cGenString("User/Projects/File.prj")));
    EXPECT_STREQ(p.GetErrorText().CStr(), "Couldn't create a folder for the project");
}
} // namespace
} // namespace ProjectTest
