#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "SongRollFixture.h"
#include "audio/Transport.h"
#include "base/DeletableRoots.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "base/FileTestFolder.h"
#include "editors/SongToolsPanelMIDIFile.h"
#include "editors/SongToolsUI.h"
#include "sequencer/MIDIFileBytes.h"
#include "sequencer/MIDIFileProjectHost.h"
#include "sequencer/Pattern.h"
#include "ui/WidgetSpinButton.h"
#include "ui/WidgetTabView.h"

namespace
{
// The song tools of a song roll over the screen, on a song at 120 BPM in 4/4
// with an open project and a "Doc" mount on a fresh folder.
class SongToolsTest : public cSongRollTest, protected cMIDIFileProjectHost
{
protected:
    SongToolsTest()
    {
        std::filesystem::create_directories(Doc() / "User" / "MIDI Files");
        std::filesystem::create_directories(Tmp());
        AddDeletableRoot(Doc().c_str());
        AddDeletableRoot(Tmp().c_str());
        mMounts.Mount(new File::cFileSystemDisk("Doc", Doc().c_str()));
        mMounts.Mount(new File::cFileSystemDisk("Tmp", Tmp().c_str()));
        SetMIDIFileProjectHost(this);
        world.sequencer.SetTempo(120.0f);
        Build();
        tools = roll->GetSongTools();
    }
    ~SongToolsTest() override
    {
        if (tools->IsShown())
            tools->Close();
        SetMIDIFileProjectHost(nullptr);
        ClearDeletableRoots();
        gTransport.metronomeLevel = 0.7f;
        gTransport.countInBars = 1;
        world.sequencer.SetTempo(120.0f);
        world.sequencer.SetBeatsPerBar(4);
    }

    bool HasCurrentProject() override { return true; }
    void SetInstrumentSlot(cInstrument* instrument, int32_t slot, bool deleteOld) override
    {
        world.slots.SetSlot(slot, instrument, deleteOld);
    }

    void Open()
    {
        tools->Open(world.sequencer.GetTrackList());
        Frame(2);
    }
    void ShowTab(int32_t tab)
    {
        tools->GetTabView()->SelectPage(tab, false);
        Frame(2);
    }
    static void Press(cWidgetButton* button) { button->clickDelegate.Invoke(0, button); }
    static void Spin(cWidgetSpinButton* spin, int32_t value) { spin->valueDelegate.Invoke(value, spin); }

    // A part with one note on track 0, so the song is not empty.
    cPatternInstance* AddPart()
    {
        cPatternInstance* part = world.AddPrivatePart(world.Track(0) ? world.Track(0) : world.AddTrack(0), 0, kBar);
        world.AddNote(*part->pattern, 0, 60, 64);
        roll->SetTrackList(world.sequencer.GetTrackList(), false);
        return part;
    }

    // A file of one note on channel 2 in the given time signature and tempo.
    void WriteMIDIFile(const std::string& name, int32_t beats, double bpm)
    {
        cMIDIFileBytes file(1, 256);
        file.Track()
            .Meta(0, 0x58, {uint8_t(beats), 2, 24, 8})
            .Tempo(0, uint32_t(std::lround(60000000.0 / bpm)))
            .End();
        file.Track().Event(0, {0x91, 60, 100}).Event(256, {0x81, 60, 0}).End();
        WriteFile(name, file.Bytes());
    }
    void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        std::ofstream out(Doc() / "User" / "MIDI Files" / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }

    cSongToolsPanelMIDIFile* MIDIPanel() const { return tools->GetMIDIFilePanel(); }
    // Import pressed and the file chosen; the jobs run behind the overlay.
    void Import(const std::string& name)
    {
        Open();
        Press(MIDIPanel()->GetButton(cSongToolsPanelMIDIFile::kImport));
        ASSERT_FALSE(host.pendingChoice.IsEmpty()) << "the browser was asked";
        host.AnswerFile("User/MIDI Files/" + name);
        Frame(3);
    }

    cSongToolsUI* tools = nullptr;

private:
    std::filesystem::path Doc() const { return std::filesystem::path(mFolder.Path()) / "Doc"; }
    std::filesystem::path Tmp() const { return std::filesystem::path(mFolder.Path()) / "Tmp"; }

    cFileTestFolder mFolder;
    cFileSystemRegistry mMounts;
};

TEST_F(SongToolsTest, ToolsOpensTheDialogueOnTheTempoTabWithClearSongChosen)
{
    TapWidget(roll->GetTool(cSongRoll::kToolTools));
    Frame(2);
    ASSERT_TRUE(tools->IsShown());
    EXPECT_EQ(tools->GetTrackList(), world.sequencer.GetTrackList());
    ShowTab(cSongToolsUI::kTabClear);
    Spin(tools->GetClearPanel()->GetSpin(), 1);
    EXPECT_STREQ(tools->GetClearPanel()->GetSpin()->GetText(), "Patterns");
    tools->Close();
    Frame();
    EXPECT_EQ(roll->GetTool(cSongRoll::kToolTools)->value, 0);

    Open();
    EXPECT_EQ(tools->GetTabView()->GetSelectedPage(), cSongToolsUI::kTabTempo);
    ShowTab(cSongToolsUI::kTabClear);
    EXPECT_EQ(tools->GetClearPanel()->GetKind(), cSongToolsPanelClear::kClearSong);
    EXPECT_STREQ(tools->GetClearPanel()->GetSpin()->GetText(), "Song");
}

TEST_F(SongToolsTest, ClearingAsksFirstAndOnlyOKClears)
{
    struct cCase
    {
        int32_t kind;
        int32_t answer;
        int32_t partsLeft;
        const char* title;
        const char* message;
    };
    const cCase cases[] = {
        {cSongToolsPanelClear::kClearSong, kAlertCancel, 1, "Clear Song", ""},
        {cSongToolsPanelClear::kClearSong, kAlertOK, 0, "Clear Song", "New song created"},
        {cSongToolsPanelClear::kClearPatterns, kAlertOK, 1, "Clear Unused Patterns", "0 events cleared"},
    };
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(c.title);
        if (roll->GetModel().GetViewCount() == 0)
            AddPart();
        host.messages.clear();
        Open();
        ShowTab(cSongToolsUI::kTabClear);
        Spin(tools->GetClearPanel()->GetSpin(), c.kind);
        Press(tools->GetClearPanel()->GetClearButton());
        Frame();
        ASSERT_TRUE(host.IsAlertShown());
        EXPECT_EQ(host.AlertTitle(), c.title);
        EXPECT_STREQ(host.alert->firstLine.CStr(), "This operation cannot be undone.");
        ClickAlertButton(c.answer);
        EXPECT_EQ(roll->GetModel().GetViewCount(), c.partsLeft);
        EXPECT_EQ(host.LastMessage(), c.message);
        EXPECT_EQ(tools->IsShown(), c.answer != kAlertOK) << "closed after a clear";
        if (tools->IsShown())
            tools->Close();
    }
}

// Both settings are kept in the song file, so each marks the project.
TEST_F(SongToolsTest, MetronomeVolumeAndCountIn)
{
    Open();
    ShowTab(cSongToolsUI::kTabPreferences);
    cSongToolsPanelPreferences* preferences = tools->GetPreferencesPanel();
    EXPECT_STREQ(preferences->GetMetronomeSpin()->GetText(), "70");
    EXPECT_STREQ(preferences->GetCountInSpin()->GetText(), "1 Bar");
    EXPECT_EQ(preferences->GetMetronomeSpin()->minimum, 25);
    modified = false;
    Spin(preferences->GetMetronomeSpin(), 40);
    EXPECT_FLOAT_EQ(gTransport.metronomeLevel.load(), 0.4f);
    EXPECT_TRUE(modified.load());
    preferences->SetMetronome(10);
    EXPECT_FLOAT_EQ(gTransport.metronomeLevel.load(), 0.25f);

    const struct
    {
        int32_t bars;
        const char* text;
    } counts[] = {{0, "None"}, {1, "1 Bar"}, {2, "2 Bars"}, {4, "4 Bars"}};
    for (const auto& c : counts)
    {
        modified = false;
        Spin(preferences->GetCountInSpin(), c.bars);
        EXPECT_STREQ(preferences->GetCountInSpin()->GetText(), c.text);
        EXPECT_EQ(gTransport.countInBars.load(), c.bars);
        EXPECT_TRUE(modified.load());
    }
}

TEST_F(SongToolsTest, AnEmptySongTakesTheFilesTempoUnasked)
{
    WriteMIDIFile("Waltz.mid", 3, 90.0);
    Import("Waltz.mid");
    EXPECT_FALSE(host.IsAlertShown());
    EXPECT_NEAR(gTransport.tempo.load(), 90.0f, 0.001f);
    EXPECT_EQ(gTransport.beatsPerBar.load(), 3);
    EXPECT_EQ(host.requests.back().title, "Import MIDI File");
    EXPECT_EQ(host.requests.back().folder, "User/MIDI Files");
    EXPECT_GT(roll->GetModel().GetViewCount(), 0);
    EXPECT_EQ(roll->GetModel().GetSelectedCount(), roll->GetModel().GetViewCount());
    EXPECT_EQ(host.LastMessage(), "Imported 'Waltz.mid'");
    EXPECT_FLOAT_EQ(host.messageSeconds, 5.0f);
    EXPECT_TRUE(modified.load());
}

TEST_F(SongToolsTest, ADifferentTempoIsAskedAndEachAnswerApplied)
{
    WriteMIDIFile("Waltz.mid", 3, 90.0);
    const struct
    {
        int32_t answer;
        float tempo;
        int32_t beats;
    } answers[] = {{kAlertCancel, 120.0f, 4}, {kAlertOK, 90.0f, 3}};
    for (const auto& a : answers)
    {
        world.sequencer.SetTempo(120.0f);
        world.sequencer.SetBeatsPerBar(4);
        const cPatternInstance* first = AddPart();
        Import("Waltz.mid");
        ASSERT_TRUE(host.IsAlertShown());
        EXPECT_EQ(host.AlertTitle(), "Tempo/Time Signature");
        EXPECT_STREQ(host.alert->firstLine.CStr(), "The current song is 4/4 120.0 BPM but the file");
        EXPECT_STREQ(host.alert->secondLine.CStr(), "is 3/4 90.0 BPM.  Which would you like to use?");
        EXPECT_STREQ(host.alert->GetButton(kAlertCancel)->GetName(), "4/4 120.0 BPM");
        EXPECT_STREQ(host.alert->GetButton(kAlertOK)->GetName(), "3/4 90.0 BPM");
        ClickAlertButton(a.answer);
        Frame(3);
        EXPECT_NEAR(gTransport.tempo.load(), a.tempo, 0.001f);
        EXPECT_EQ(gTransport.beatsPerBar.load(), a.beats);
        EXPECT_EQ(roll->GetModel().GetStepCount(), 0) << "the history is cleared";
        EXPECT_EQ(roll->GetModel().FindView(first)->selection, nullptr) << "only the new parts are selected";
        EXPECT_EQ(MIDIPanel()->GetMode(), cSongToolsPanelMIDIFile::kIdle);
    }
}

TEST_F(SongToolsTest, ATempoATenthApartIsNotAsked)
{
    AddPart();
    WriteMIDIFile("Close.mid", 4, 120.1);
    Import("Close.mid");
    EXPECT_FALSE(host.IsAlertShown());
    EXPECT_EQ(host.LastMessage(), "Imported 'Close.mid'");
}

TEST_F(SongToolsTest, ADamagedFileFailsWithTheReadersReason)
{
    WriteFile("Broken.mid", {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1});
    Import("Broken.mid");
    ASSERT_TRUE(host.IsAlertShown());
    EXPECT_EQ(host.AlertTitle(), "Import Failed");
    EXPECT_STREQ(host.alert->firstLine.CStr(), "Could not read this MIDI file.");
    EXPECT_EQ(MIDIPanel()->GetMode(), cSongToolsPanelMIDIFile::kIdle);
    EXPECT_EQ(roll->GetModel().GetViewCount(), 0);
}

TEST_F(SongToolsTest, AnImportWithHistoryWarnsFirst)
{
    AddPart();
    roll->GetModel().SelectAll();
    roll->GetModel().DuplicateSelected();
    ASSERT_EQ(roll->GetModel().GetCurrentStep(), 0);
    Open();
    Press(MIDIPanel()->GetButton(cSongToolsPanelMIDIFile::kImport));
    Frame();
    ASSERT_TRUE(host.IsAlertShown());
    EXPECT_EQ(host.AlertTitle(), "Import MIDI File");
    EXPECT_STREQ(host.alert->firstLine.CStr(), "Importing a MIDI file will clear your undo history.");
    ClickAlertButton(kAlertCancel);
    EXPECT_TRUE(host.requests.empty());
    EXPECT_EQ(MIDIPanel()->GetMode(), cSongToolsPanelMIDIFile::kIdle);
}

TEST_F(SongToolsTest, ExportProposesAFreeNameAndShowsTheFolder)
{
    Open();
    ShowTab(cSongToolsUI::kTabMIDIFile);
    EXPECT_FALSE(MIDIPanel()->GetButton(cSongToolsPanelMIDIFile::kExport)->IsEnabled()) << "no parts";
    AddPart();
    for (const char* proposed : {"User/MIDI Files/Untitled.mid", "User/MIDI Files/Untitled-02.mid"})
    {
        Open();
        ShowTab(cSongToolsUI::kTabMIDIFile);
        ASSERT_TRUE(MIDIPanel()->GetButton(cSongToolsPanelMIDIFile::kExport)->IsEnabled());
        Press(MIDIPanel()->GetButton(cSongToolsPanelMIDIFile::kExport));
        ASSERT_EQ(host.requests.back().fileName, proposed);
        EXPECT_TRUE(host.requests.back().save);
        host.AnswerFile(proposed);
        Frame(3);
        ASSERT_TRUE(host.IsAlertShown());
        const std::string name = std::filesystem::path(proposed).filename().string();
        EXPECT_EQ(host.AlertTitle(), "Exported '" + name + "'");
        EXPECT_EQ(std::string(host.alert->firstLine.CStr()), "File was saved to 'MIDI Files/" + name + "'.");
        ClickAlertButton(kAlertOther);
    }
    ASSERT_EQ(host.openedFolders.size(), 2u);
    EXPECT_TRUE(host.openedFolders.back().ends_with("/User/MIDI Files/")) << host.openedFolders.back();
}
} // namespace
