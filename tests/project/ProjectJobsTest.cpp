#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <filesystem>
#include <regex>
#include <set>

#include "ProjectFixture.h"
#include "RecordingHost.h"
#include "ZipArchive.h"
#include "audio/Transport.h"
#include "project/ProjectSlots.h"
#include "project/ui/SetupPanelProject.h"
#include "sequencer/MIDIFileProjectHost.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Track.h"
#include "sequencer/TrackList.h"

namespace ProjectTest
{
namespace
{
namespace fs = std::filesystem;

bool Exists(const std::string& docPath) { return fs::exists(Native(docPath)); }

// The entry names another tool lists in an archive.
std::set<std::string> UnzipListing(const std::string& archive)
{
    std::set<std::string> names;
    FILE* pipe = popen(("unzip -Z1 '" + archive + "' 2>/dev/null").c_str(), "r");
    char line[512];
    while (pipe && fgets(line, sizeof(line), pipe))
    {
        std::string name(line);
        while (!name.empty() && (name.back() == '\n' || name.back() == '\r'))
            name.pop_back();
        names.insert(name);
    }
    if (pipe)
        pclose(pipe);
    return names;
}

// The jobs work on the project the program has open, as the project list
// tells MIDI-file export and import.
class cProjectJobsTest : public cProjectFixture, protected cMIDIFileProjectHost
{
protected:
    cProjectJobsTest() { SetMIDIFileProjectHost(this); }
    ~cProjectJobsTest() override { SetMIDIFileProjectHost(nullptr); }
    bool HasCurrentProject() override { return project != nullptr; }
    void SetInstrumentSlot(cInstrument* instrument, int32_t slot, bool deleteOld) override
    {
        ::SetInstrumentSlot(instrument, slot, deleteOld);
    }

    // The project "Song" saved, one instrument playing a sample from the
    // user's samples and one from the project's folder.
    cProject& SavedSong()
    {
        cProject& p = NewProject("User/Projects/Song.prj");
        sequencer->SetTempo(111.0f);
        WriteWav(Native("User/Samples/Kick.wav"), 10);
        WriteWav(Native("User/Projects/Song.prj/Loop.wav"), 20);
        StandIn(2)->Module().samplePath.AssignCStr("User/Samples/Kick.wav");
        StandIn(3)->Module().samplePath.AssignCStr("User/Projects/Song.prj/Loop.wav");
        EXPECT_TRUE(p.Save(cGenString("User/Projects/Song.prj"), false)) << p.GetErrorText().CStr();
        return p;
    }

    std::unique_ptr<cSetupPanelProject::cJobExportProject> Export(const char* chosen)
    {
        auto job = std::make_unique<cSetupPanelProject::cJobExportProject>(project.get(), cGenString(chosen));
        job->Run(nullptr);
        return job;
    }

    // Into a fresh record, as the page loads after deactivating.
    std::unique_ptr<cSetupPanelProject::cJobLoadProject> LoadJob(const char* path)
    {
        project = std::make_unique<cProject>();
        auto job = std::make_unique<cSetupPanelProject::cJobLoadProject>(project.get(), cGenString(path));
        job->Run(nullptr);
        return job;
    }

    cRecordingHost host;
};

TEST_F(cProjectJobsTest, AnExportedArchiveHoldsTheFolderWithoutFolderNames)
{
    SavedSong();
    auto job = Export("User/Projects/Song.qpk");
    ASSERT_TRUE(job->result) << job->errorText.CStr();
    EXPECT_STREQ(job->name.CStr(), "Song");
    EXPECT_STREQ(job->workFolder.CStr(), "User/Projects/Song-01.prj");
    EXPECT_STREQ(job->midiPath.CStr(), "User/Projects/Song-01.prj/Song.mid");
    EXPECT_STREQ(job->archivePath.CStr(), "User/Projects/Song.qpk");
    EXPECT_FALSE(Exists("User/Projects/Song-01.prj"));
    EXPECT_EQ(UnzipListing(Native("User/Projects/Song.qpk")),
              (std::set<std::string>{"Package.prj", "Package.sng", "Song.mid", "Kick.wav", "Loop.wav"}));
    const std::regex compressing("Compressing '.*'");
    EXPECT_TRUE(std::any_of(host.statusTexts.begin(), host.statusTexts.end(),
                            [&](const std::string& text) { return std::regex_match(text, compressing); }));
    ASSERT_FALSE(host.progress.empty());
    for (float fraction : host.progress)
        EXPECT_TRUE(fraction >= 0.0f && fraction <= 1.0f) << fraction;

    // The project itself is as it was.
    EXPECT_STREQ(project->GetPath().CStr(), "User/Projects/Song.prj");
    EXPECT_STREQ(StandIn(2)->Module().samplePath.CStr(), "User/Samples/Kick.wav");
}

TEST_F(cProjectJobsTest, AnImportedArchiveLoadsBesideTheProjectItCameFrom)
{
    SavedSong();
    ASSERT_TRUE(Export("User/Projects/Song.qpk")->result);
    fs::remove(Native("User/Samples/Kick.wav"));
    host.statusTexts.clear();

    auto job = LoadJob("User/Projects/Song.qpk");
    ASSERT_TRUE(job->result) << job->errorText.CStr();
    EXPECT_TRUE(job->nameChanged);
    EXPECT_STREQ(job->path.CStr(), "User/Projects/Song-02.prj");
    EXPECT_STREQ(project->GetName().CStr(), "Song-02");
    EXPECT_FLOAT_EQ(gTransport.tempo.load(), 111.0f);
    EXPECT_STREQ(StandIn(2)->Module().samplePath.CStr(), "User/Projects/Song-02.prj/Kick.wav");
    EXPECT_EQ(ReadText(Native("User/Projects/Song-02.prj/Kick.wav")).size(), 172u);
    EXPECT_EQ(host.statusTexts.front(), "Decompressing ...");

    // Where no project of that name is, the folder takes the archive's name.
    fs::rename(Native("User/Projects/Song.qpk"), Native("User/Projects/Moved.qpk"));
    job = LoadJob("User/Projects/Moved.qpk");
    ASSERT_TRUE(job->result) << job->errorText.CStr();
    EXPECT_FALSE(job->nameChanged);
    EXPECT_STREQ(job->path.CStr(), "User/Projects/Moved.prj");
}

TEST_F(cProjectJobsTest, AnArchiveMadeByAnotherToolLoads)
{
    SavedSong();
    const std::string command = "cd '" + Native("User/Projects/Song.prj") + "' && zip -q -r '" +
                                Native("User/Projects/Zipped.qpk") + "' . >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    auto job = LoadJob("User/Projects/Zipped.qpk");
    ASSERT_TRUE(job->result) << job->errorText.CStr();
    EXPECT_STREQ(project->GetPath().CStr(), "User/Projects/Zipped.prj");
    EXPECT_FLOAT_EQ(gTransport.tempo.load(), 111.0f);
}

TEST_F(cProjectJobsTest, ACancelledExportLeavesNoArchive)
{
    SavedSong();
    for (int how = 0; how < 2; ++how)
    {
        SCOPED_TRACE(how == 0 ? "the job's cancel" : "the overlay's button");
        auto job = std::make_unique<cSetupPanelProject::cJobExportProject>(project.get(),
                                                                          cGenString("User/Projects/Song.qpk"));
        if (how == 0)
            job->mCancel = true;
        host.cancelPressed = how == 1;
        job->Run(nullptr);
        EXPECT_FALSE(job->result);
        EXPECT_STREQ(job->errorText.CStr(), "Couldn't compress file.");
        EXPECT_FALSE(Exists("User/Projects/Song.qpk"));
        EXPECT_FALSE(Exists("User/Projects/Song-01.prj"));
    }
    host.cancelPressed = false;
}

TEST_F(cProjectJobsTest, ArchivesThatCannotBeUnpackedChangeNothing)
{
    const std::string outside = Documents() + "/../evil.wav";
    const struct
    {
        const char* what;
        std::function<void()> make;
    } cases[] = {
        {"entries that climb out",
         [] { WriteZipArchive(Native("User/Projects/Bad.qpk"), {{"Package.prj", "<Root/>"}, {"../../evil.wav", "x"}}); }},
        {"an absolute entry", [] { WriteZipArchive(Native("User/Projects/Bad.qpk"), {{"/tmp/evil.wav", "x"}}); }},
        {"not an archive", [] { WriteText(Native("User/Projects/Bad.qpk"), "PK but no zip"); }},
        {"no file", [] {}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        fs::remove(Native("User/Projects/Bad.qpk"));
        c.make();
        auto job = LoadJob("User/Projects/Bad.qpk");
        EXPECT_FALSE(job->result);
        EXPECT_STREQ(job->errorText.CStr(), "Couldn't decompress file.");
        EXPECT_FALSE(Exists("User/Projects/Bad.prj")) << "the folder the job made goes";
        EXPECT_FALSE(fs::exists(outside));
        EXPECT_FALSE(fs::exists(Documents() + "/../../evil.wav"));
    }
    EXPECT_FALSE(fs::exists("/tmp/evil.wav"));
}

TEST_F(cProjectJobsTest, JobsNeverTakeAFolderTheyDidNotMake)
{
    SavedSong();
    // Every numbered name is the user's.
    for (int n = 1; n <= 99; ++n)
    {
        char name[64];
        std::snprintf(name, sizeof(name), "User/Projects/Song-%02d.prj", n);
        WriteText(Native(std::string(name) + "/Mine.txt"), "mine");
    }
    auto exported = Export("User/Projects/Song.qpk");
    EXPECT_FALSE(exported->result);
    EXPECT_STREQ(exported->errorText.CStr(), "Couldn't create a folder for the project");
    EXPECT_FALSE(Exists("User/Projects/Song.qpk"));

    WriteZipArchive(Native("User/Projects/Song.qpk"), {{"Package.prj", "<Root FileVersion=\"6.0\"/>"}});
    auto imported = LoadJob("User/Projects/Song.qpk");
    EXPECT_FALSE(imported->result);
    EXPECT_STREQ(imported->errorText.CStr(), "Couldn't decompress file.");
    for (int n : {1, 2, 99})
    {
        char name[64];
        std::snprintf(name, sizeof(name), "User/Projects/Song-%02d.prj", n);
        EXPECT_EQ(ReadText(Native(std::string(name) + "/Mine.txt")), "mine") << name;
    }
    EXPECT_TRUE(Exists("User/Projects/Song.prj/Package.prj"));
}

// The export writes the song as a MIDI file beside the project; a folder
// whose song file is gone loads that file instead, with its tempo, time
// signature, presets and names.
TEST_F(cProjectJobsTest, AFolderWithoutItsSongFileLoadsTheMIDIFileTheExportWrote)
{
    SavedSong();
    sequencer->SetBeatsPerBar(3);
    auto* track = new cTrack();
    ASSERT_GE(sequencer->InsertTrack(track, 2, -1), 0);
    cPatternInstance* part = cPatternInstance::CreateWithPrivatePattern();
    part->start = 768;
    part->length = part->pattern->loopLength = 768;
    for (int32_t time : {0, 256, 512})
    {
        cPatternEvent* note = cPatternEvent::Allocate();
        note->SetNote(60 + time / 256);
        note->SetVelocity(100);
        note->time = time;
        note->length = 128;
        part->pattern->InsertEventSorted(note);
    }
    track->InsertPart(part);
    StandIn(2)->Module().presetNumber = 2 * 256 + 7;

    auto job = Export("User/Projects/Song.qpk");
    ASSERT_TRUE(job->result) << job->errorText.CStr();
    EXPECT_NE(std::find(host.statusTexts.begin(), host.statusTexts.end(), "Adding MIDI File"), host.statusTexts.end());
    const std::string folder = Native("User/Projects/Tune.prj");
    ASSERT_EQ(std::system(("unzip -q '" + Native("User/Projects/Song.qpk") + "' -d '" + folder + "'").c_str()), 0);
    fs::remove(folder + "/Package.sng");
    fs::rename(folder + "/Song.mid", folder + "/Package.mid");
    sequencer->SetTempo(90.0f);
    sequencer->SetBeatsPerBar(4);

    auto load = LoadJob("User/Projects/Tune.prj");
    ASSERT_TRUE(load->result) << load->errorText.CStr();
    EXPECT_NEAR(gTransport.tempo.load(), 111.0f, 0.001f);
    EXPECT_EQ(gTransport.beatsPerBar.load(), 3);
    const cTrackList::cGroup& group = sequencer->GetTrackList()->GetGroup(2);
    ASSERT_LT(group.first, group.end);
    const cPatternInstance* loaded = sequencer->GetTrackList()->GetTrack(group.first)->GetFirstPart();
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(loaded->pattern->count, 3);
    EXPECT_EQ(loaded->start + loaded->pattern->head->time, 768);
    EXPECT_EQ(loaded->start + loaded->pattern->tail->time, 1280);
    cStandInInstrument* instrument = StandIn(2);
    ASSERT_NE(instrument, nullptr);
    EXPECT_STREQ(instrument->GetName(), "Kest 1") << "named after the exported track";
    cRecordingModule& module = instrument->Module();
    module.Take();
    const auto preset = std::find_if(module.events, module.events + module.count, [](const cAudioEvent& event) {
        return event.type == kAudioEventSetIntParam && event.wordA == 1;
    });
    ASSERT_NE(preset, module.events + module.count);
    EXPECT_EQ(preset->GetIntValue(), 2 * 256 + 7);
}

TEST_F(cProjectJobsTest, SaveAndLoadJobsReportTheProjectsOutcome)
{
    cProject& p = SavedSong();
    cSetupPanelProject::cJobSaveProject save(&p, cGenString("User/Projects/Other.prj"));
    save.Run(nullptr);
    EXPECT_TRUE(save.result) << save.errorText.CStr();
    EXPECT_TRUE(Exists("User/Projects/Other.prj/Loop.wav"));

    WriteText(Native("User/Projects/Blocked.prj"), "a file");
    cSetupPanelProject::cJobSaveProject blocked(&p, cGenString("User/Projects/Blocked.prj"));
    blocked.Run(nullptr);
    EXPECT_FALSE(blocked.result);
    EXPECT_STREQ(blocked.errorText.CStr(), "Couldn't create a folder for the project");

    auto load = LoadJob("User/Projects/Other.prj");
    EXPECT_TRUE(load->result) << load->errorText.CStr();
    load = LoadJob("User/Projects/Missing.prj");
    EXPECT_FALSE(load->result);
    EXPECT_STREQ(load->errorText.CStr(), "The project file could not be opened.");
}
} // namespace
} // namespace ProjectTest
