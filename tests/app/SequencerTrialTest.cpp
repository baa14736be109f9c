#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ProgramTrial.h"
#include "base/File.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "sequencer/MIDIFileOperations.h"
#include "sequencer/MIDIFileSong.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Sequencer.h"
#include "sequencer/Track.h"
#include "sequencer/TrackList.h"

// The song and pattern editors tried as a new user would, on a virtual
// display with the disk audio device: the record quantize chosen on the
// status bar; a part drawn on the song page, opened, given notes by mouse,
// its grid and audition changed, its history walked, copied and played,
// joined, split, deleted and brought back; the song tools' MIDI files,
// clearing and tempo. The
// project is kept by the program's own save when the window closes; the
// song file it wrote is read back byte by byte and through the song reader.
namespace
{
// Where the desktop layout of a 1024 x 768 window puts things. The bar:
// SONG, QUANTIZE and play; the record quantize dialogue's "1/8" and
// triplet cells and its close box, the QUANTIZE button's value line.
constexpr int kBarMiddle = 15, kSongX = 78, kQuantizeX = 785, kPlayX = 944;
constexpr int kEighthX = 427, kEighthY = 173, kSixteenthX = 477, kCellTopY = 162, kTripletX = 754, kTripletY = 167;
constexpr int kQuantizeCloseX = 404, kQuantizeCloseY = 57;
constexpr int kQuantizeValueX = 762, kQuantizeValueY = 17, kQuantizeValueWidth = 46, kQuantizeValueHeight = 10;
// The rolls' bottom bars: nine columns 113.8 pixels wide.
constexpr int kToolY = 746, kToolsX = 57, kHistoryX = 170, kDrawX = 512, kCopyX = 739, kDoneX = 967;
// The song roll: bar 1 of the "Kest 1" track (the third row), bars 112
// pixels wide, the ruler above; the "Select" and "More" menus' entries.
constexpr int kPartX = 160, kPartY = 320, kBarThreeX = 334, kRulerY = 43;
constexpr int kSelectX = 398, kMoreX = 852, kDeleteX = 625, kMenuAddToY = 508, kMoreJoinY = 664, kMoreSplitY = 625;
// The piano roll on a one-bar part: tick 0 at x 49, 54 pixels a 1/16 cell;
// the C4 row at y 418 and E4's at y 387.
constexpr int kRollLeft = 49, kCellWidth = 54, kC4Y = 418, kE4Y = 387;
// The pattern tools: the tabs, the grid's "1/32" cell, the swing spin's
// up arrow, "Audition Edits" and the close box. The swing spin moves one
// percent every two pixels dragged.
constexpr int kGridTabX = 325, kGridTabY = 273, kPreferencesTabY = 402;
constexpr int kThirtySecondX = 503, kThirtySecondY = 468, kSwingX = 705, kSwingY = 299;
constexpr int kAuditionX = 660, kAuditionY = 393, kToolsCloseX = 297, kToolsCloseY = 231;
// The history menu above its button: the newest step at the bottom, the
// entries 39 pixels apart, "..." above the oldest.
constexpr int kNewestStepY = 703, kStepPitch = 39;
// The song tools above their button: the close box, the tabs, the clear
// tab's "Clear", the MIDI-file tab's "Import" and "Export"; the file
// browser's rows and its accept button; the keyboard's return key; the
// alerts' right and left buttons.
constexpr int kSongToolsCloseX = 52, kSongToolsCloseY = 564, kTabX = 80, kClearTabY = 630, kSongPreferencesTabY = 661,
              kMIDIFileTabY = 692;
constexpr int kClearX = 427, kImportX = 221, kExportX = 402, kPanelButtonY = 647;
constexpr int kBrowserRowX = 300, kBrowserFirstRowY = 77, kBrowserRowPitch = 60, kBrowserAcceptX = 968,
              kBrowserAcceptY = 745;
constexpr int kReturnX = 862, kReturnY = 269;
constexpr int kAlertRightX = 668, kAlertLeftX = 562, kAlertButtonY = 194;
// The tempo popup below BPM: its close box and "x2"; CLICK on the bar.
constexpr int kBPMX = 626, kTempoCloseX = 316, kTempoCloseY = 57, kDoubleX = 359, kDoubleY = 162, kClickX = 732;
// Inside the imported song, on the "Kest 3" track.
constexpr int kImportedX = 400, kImportedY = 420;

// The instrument grid under the main menu: slot 6's cell, held to open the
// instrument properties; their title bar, their type list ("None", "Kest")
// and "OK". The song roll's rows made lower by its "-", so a seventh track's
// header shows.
constexpr int kMenuX = 26, kSlotSixX = 818, kSlotY = 67;
constexpr int kTypeX = 400, kPropsTitleY = 29, kNoneY = 91, kKestY = 137, kPropsOkX = 624, kPropsOkY = 232;
constexpr int kFewerRowsX = 1012, kFewerRowsY = 664, kSeventhHeaderX = 30, kSeventhHeaderY = 652;

constexpr double kFramesPerTick = 44100.0 * 60.0 / 120.0 / 256.0;
constexpr int kBlockFrames = 128;
constexpr int kQuietLevel = 30;

class SequencerTrialTest : public cProgramTrial
{
protected:
    SequencerTrialTest() : cProgramTrial("sequencer-trial", "sequencer-trial") {}

    // A press held as a finger's, with the pointer resting on the spot first.
    void Press(int x, int y, int heldMilliseconds = 100)
    {
        Input(MoveTo(x, y) + " sleep 0.1 mousedown 1 sleep " + std::to_string(heldMilliseconds / 1000.0) +
              " mouseup 1");
    }
    // The same, then the window at rest: what the press opened stands.
    cScreenshot PressAndShot(int x, int y, const std::string& name = "probe")
    {
        Press(x, y);
        return StillShot(name);
    }
    // A press dragged through the points given, resting on each.
    void Drag(const std::vector<std::pair<int, int>>& points)
    {
        std::string actions;
        for (size_t i = 0; i < points.size(); ++i)
        {
            actions += MoveTo(points[i].first, points[i].second) + " sleep 0.1 ";
            if (i == 0)
                actions += "mousedown 1 sleep 0.1 ";
        }
        Input(actions + "mouseup 1");
    }
    void DoubleClick(int x, int y) { Input(MoveTo(x, y) + " sleep 0.1 click --repeat 2 --delay 120 1"); }

    static std::string QuantizeValue(const cScreenshot& shot)
    {
        return Region(shot, kQuantizeValueX, kQuantizeValueY, kQuantizeValueWidth, kQuantizeValueHeight);
    }

    static std::vector<uint8_t> Bytes(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // Screenshots until the pixel passes the test or the time runs out; the last one.
    template <class F>
    cScreenshot ShotWhen(const std::string& name, int x, int y, F&& test, double seconds = 30.0)
    {
        cScreenshot shot;
        WaitUntil([&] { return test(Pixel(shot = Shot(name), x, y)); }, seconds);
        return shot;
    }
    // The notes of a MIDI file under the documents, read by the program's reader.
    size_t NotesIn(const char* path) const
    {
        cFileSystemRegistry registry;
        registry.Mount(new File::cFileSystemDisk("Doc", Documents("").c_str()));
        cGenString error;
        std::unique_ptr<cMIDIFileSong> song(LoadMIDIFile(path, error));
        EXPECT_NE(song, nullptr) << path << ": " << error.CStr();
        if (!song)
            return 0;
        size_t notes = 0;
        for (const cMIDIFileSong::sChannel& channel : song->channels)
            for (const cMIDIFileSong::sEvent& event : channel.events)
                notes += event.kind == cMIDIFileSong::eEventKind::Note;
        return notes;
    }
    static bool IsPartColour(const cRGB& rgb) { return rgb.r + rgb.g + rgb.b > 300; }
};

TEST_F(SequencerTrialTest, TheRecordQuantizeChosenOnTheBarIsKeptWithTheSong)
{
    std::string chosen;
    {
        const std::unique_ptr<cProgram> program = StartProgram();
        ASSERT_TRUE(program->Started());
        ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
        const std::string sixteenth = QuantizeValue(StillShot("1-start"));

        Click(kQuantizeX, kBarMiddle);
        const cScreenshot open = StillShot("2-record-quantize");
        EXPECT_TRUE(Pixel(open, kSixteenthX, kCellTopY).IsLitBlue()) << "1/16, the song's grid, shown chosen";
        Press(kEighthX, kEighthY);
        Press(kTripletX, kTripletY);
        const cScreenshot triplet = StillShot("3-eighth-triplet");
        EXPECT_TRUE(Pixel(triplet, kEighthX, kCellTopY).IsLitBlue()) << "1/8 chosen";
        EXPECT_FALSE(Pixel(triplet, kSixteenthX, kCellTopY).IsLitBlue());
        EXPECT_TRUE(Pixel(triplet, kTripletX - 30, kTripletY).IsLitBlue()) << "the triplet feel chosen";
        Click(kQuantizeCloseX, kQuantizeCloseY);
        chosen = QuantizeValue(StillShot("4-closed"));
        EXPECT_NE(chosen, sixteenth) << "the button reads \"1/8T\"";
        Close(*program);
    }

    const std::string song = SavedSong();
    ASSERT_FALSE(song.empty()) << "the closing save wrote no song";
    const std::vector<uint8_t> bytes = Bytes(song);
    ASSERT_GE(bytes.size(), 180u);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 172, bytes.begin() + 180),
              (std::vector<uint8_t>{4, 0, 0, 0, 2, 0, 0, 0}))
        << "the record quantize: 1/8, triplet";

    // The next start opens the project again, showing the same choice.
    const std::unique_ptr<cProgram> program = StartProgram();
    ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
    EXPECT_EQ(QuantizeValue(StillShot("5-next-start")), chosen) << "the button still reads \"1/8T\"";
    Close(*program);
}

TEST_F(SequencerTrialTest, APartIsDrawnEditedInThePianoRollCopiedAndPlayed)
{
    std::vector<size_t> audition(2);
    std::vector<size_t> played(2);
    {
        const std::unique_ptr<cProgram> program = StartProgram();
        ASSERT_TRUE(program->Started());
        ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();

        Click(kSongX, kBarMiddle);
        StillShot("1-song");
        Press(kDrawX, kToolY);
        const cScreenshot drawn = PressAndShot(kPartX, kPartY, "2-part-drawn");
        const cRGB part = Pixel(drawn, kPartX, kPartY);
        EXPECT_GT(part.r, part.b + 80) << "a one-bar part in the track's colour";
        EXPECT_FALSE(Pixel(drawn, kPartX + 112, kPartY).r > part.b + 80) << "one bar long";
        Press(kDrawX, kToolY);
        DoubleClick(kPartX, kPartY);
        const cScreenshot roll = StillShot("3-piano-roll");
        const cRGB key = Pixel(roll, 8, 425);
        EXPECT_GT(key.r + key.g + key.b, 600) << "the key strip's white keys";

        // A note drawn on C4 at the part's start, heard while the button is held.
        Press(kDrawX, kToolY);
        Input(MoveTo(kRollLeft + kCellWidth / 2, kC4Y) + " sleep 0.1");
        audition[0] = Frames();
        Input("mousedown 1");
        ASSERT_TRUE(WaitForFrames(Frames() + size_t(0.6 * kTrialSampleRate)));
        audition[1] = Frames();
        Input("mouseup 1");
        StillShot("4-note");
        // A drag over four 1/16 cells on E4 from the second beat.
        const int second = kRollLeft + 4 * kCellWidth + kCellWidth / 2;
        Drag({{second, kE4Y}, {second + kCellWidth, kE4Y}, {second + 2 * kCellWidth, kE4Y},
              {second + 3 * kCellWidth, kE4Y}});
        StillShot("5-four-notes");

        // The grid at 1/32 with 50% swing: the spin dragged down to OFF, then
        // 100 pixels back up. Audition off.
        PressAndShot(kToolsX, kToolY, "6-pattern-tools");
        PressAndShot(kGridTabX, kGridTabY);
        Press(kThirtySecondX, kThirtySecondY);
        Drag({{kSwingX, kSwingY}, {kSwingX, kSwingY + 12}, {kSwingX, kSwingY + 412}, {kSwingX, kSwingY + 112}});
        StillShot("7-grid");
        PressAndShot(kGridTabX, kPreferencesTabY);
        const cScreenshot preferences = PressAndShot(kAuditionX, kAuditionY, "8-audition-off");
        EXPECT_FALSE(Pixel(preferences, kAuditionX, kAuditionY - 10).IsLitBlue()) << "\"Audition Edits\" off";
        Press(kToolsCloseX, kToolsCloseY);

        // "..." in History empties the part; the newest step brings it back.
        const cRGB noteBefore = Pixel(StillShot("9-before-history"), kRollLeft + 4, kC4Y);
        PressAndShot(kHistoryX, kToolY, "10-history");
        const cRGB emptied = Pixel(PressAndShot(kHistoryX, kNewestStepY - 2 * kStepPitch, "11-emptied"), kRollLeft + 4, kC4Y);
        EXPECT_NE(emptied.r + emptied.g + emptied.b, noteBefore.r + noteBefore.g + noteBefore.b) << "the note gone";
        PressAndShot(kHistoryX, kToolY);
        const cRGB restored = Pixel(PressAndShot(kHistoryX, kNewestStepY, "12-restored"), kRollLeft + 4, kC4Y);
        EXPECT_EQ(restored.r + restored.g + restored.b, noteBefore.r + noteBefore.g + noteBefore.b) << "back";

        // Done, the part copied twice, the song played from its start.
        PressAndShot(kDoneX, kToolY, "13-done");
        // The visit is one step of the song's history: "1. Edit part".
        PressAndShot(kHistoryX, kToolY, "13-song-history");
        PressAndShot(kHistoryX, kToolY);
        Press(kPartX, kPartY);
        Press(kCopyX, kToolY);
        const cScreenshot copied = PressAndShot(kCopyX, kToolY, "14-copied");
        for (int bar = 0; bar < 4; ++bar)
            EXPECT_EQ(IsPartColour(Pixel(copied, kPartX + 112 * bar, kPartY)), bar < 3) << "a part at bar " << bar + 1;
        Key("Home");
        played[0] = Frames();
        Click(kPlayX, kBarMiddle);
        // Three bars at 120 BPM are six seconds.
        EXPECT_TRUE(WaitForFrames(played[0] + size_t(7.0 * kTrialSampleRate)));
        Key("space");
        played[1] = Frames();
        StillShot("15-played");

        // The parts at bars 2 and 3 joined, split again at bar 3, deleted;
        // "..." in History undoes those three steps and the second copy, the
        // four kept.
        Press(kPartX + 112, kPartY);
        PressAndShot(kSelectX, kToolY);
        Press(kSelectX - 24, kMenuAddToY);
        Press(kPartX + 224, kPartY);
        PressAndShot(kSelectX, kToolY);
        Press(kSelectX - 24, kMenuAddToY);
        PressAndShot(kMoreX, kToolY);
        const cScreenshot joined = PressAndShot(kMoreX - 23, kMoreJoinY, "16-joined");
        EXPECT_TRUE(IsPartColour(Pixel(joined, kBarThreeX - 2, kPartY + 40))) << "one part over bars 2 and 3";
        Press(kBarThreeX + 2, kRulerY);
        PressAndShot(kMoreX, kToolY);
        PressAndShot(kMoreX - 23, kMoreSplitY, "17-split");
        const cScreenshot deleted = PressAndShot(kDeleteX, kToolY, "18-deleted");
        for (int bar = 0; bar < 3; ++bar)
            EXPECT_EQ(IsPartColour(Pixel(deleted, kPartX + 112 * bar, kPartY)), bar == 0) << "bar " << bar + 1;
        PressAndShot(kHistoryX, kToolY, "19-song-history");
        const cScreenshot undone = PressAndShot(kHistoryX, kNewestStepY - 4 * kStepPitch, "19-undone");
        for (int bar = 0; bar < 4; ++bar)
            EXPECT_EQ(IsPartColour(Pixel(undone, kPartX + 112 * bar, kPartY)), bar < 2) << "a part at bar " << bar + 1;
        Close(*program);
    }

    const std::vector<int16_t> left = ReadLeftChannel();
    ASSERT_GE(left.size(), played[1]);
    // The audition: sound between the press and a little after the release.
    const std::vector<size_t> heard =
        Onsets(std::vector<int16_t>(left.begin() + audition[0], left.begin() + played[0]), kQuietLevel);
    ASSERT_FALSE(heard.empty()) << "the drawn note was heard";
    EXPECT_LE(audition[0] + heard[0], audition[1]) << "while the button was held";

    // Each bar's notes: C4 at its start, E4 from its second beat; the E4
    // notes follow each other, so one onset stands for the four.
    const std::vector<size_t> onsets =
        Onsets(std::vector<int16_t>(left.begin() + played[0], left.begin() + played[1]), kQuietLevel);
    ASSERT_GE(onsets.size(), 6u);
    const std::vector<double> ticks = {0, 256, 1024, 1280, 2048, 2304};
    for (size_t i = 0; i < ticks.size(); ++i)
        EXPECT_NEAR(double(onsets[i] - onsets[0]), ticks[i] * kFramesPerTick, kBlockFrames) << "note " << i;

    // The song file: the grid, then the part and its two copies on "Kest 1".
    const std::string path = SavedSong();
    ASSERT_FALSE(path.empty()) << "the closing save wrote no song";
    std::vector<uint8_t> bytes = Bytes(path);
    ASSERT_GE(bytes.size(), 196u);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 184, bytes.begin() + 196),
              (std::vector<uint8_t>{6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x3f}))
        << "the piano roll's grid: 1/32, straight, 50% swing";
    cSequencer sequencer;
    File::cFileMemoryRead file(bytes.data(), int(bytes.size()));
    cGenString error;
    ASSERT_TRUE(sequencer.ReadSong(file, error)) << error.CStr();
    std::vector<int32_t> starts;
    for (int32_t index = 0; index < sequencer.GetTrackList()->GetCount(); ++index)
        for (const cPatternInstance* p = sequencer.GetTrackList()->GetTrack(index)->GetFirstPart(); p; p = p->next)
        {
            starts.push_back(p->start);
            std::vector<std::pair<int32_t, int32_t>> notes;
            for (const cPatternEvent* e = p->pattern->head; e; e = e->next)
            {
                EXPECT_EQ(e->time % 64, 0);
                EXPECT_EQ(e->length, 64);
                EXPECT_EQ(e->data2, 100) << "the drawn velocity";
                notes.emplace_back(e->time, e->data1);
            }
            EXPECT_EQ(notes, (std::vector<std::pair<int32_t, int32_t>>{{0, 60}, {256, 64}, {320, 64}, {384, 64}, {448, 64}}));
        }
    EXPECT_EQ(starts, (std::vector<int32_t>{0, 1024})) << "the parts shown when the window closed";

    std::ifstream settings(Documents("GlobalSettings.dat"));
    const std::string text((std::istreambuf_iterator<char>(settings)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("AuditionNote=\"0\""), std::string::npos) << text;
}

// The song tools as a new user meets them: a damaged MIDI file refused, the
// reference song imported, the song exported and read back, the song
// cleared; then the tempo doubled in the tempo popup and the click heard
// at the new tempo.
TEST_F(SequencerTrialTest, AMIDIFileIsImportedExportedAndClearedAndTheTempoDoubled)
{
    const std::filesystem::path reference = std::filesystem::path(QUIL_BENCH_DATA_DIR) / "reference-song.mid";
    if (!std::filesystem::exists(reference))
        GTEST_FAIL() << "no reference song at " << reference;
    std::filesystem::create_directories(Documents("User/MIDI Files"));
    std::filesystem::copy_file(reference, Documents("User/MIDI Files/reference-song.mid"));
    std::ofstream(Documents("User/MIDI Files/Damaged.mid"), std::ios::binary) << "MThd\0\0\0\6\0";

    std::vector<size_t> played(2);
    {
        const std::unique_ptr<cProgram> program = StartProgram();
        ASSERT_TRUE(program->Started());
        ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
        Click(kSongX, kBarMiddle);
        StillShot("probe");
        PressAndShot(kToolsX, kToolY, "20-song-tools-tempo");
        PressAndShot(kTabX, kClearTabY, "21-song-tools-clear");
        PressAndShot(kTabX, kSongPreferencesTabY, "22-song-tools-preferences");
        PressAndShot(kTabX, kMIDIFileTabY, "23-song-tools-midi-file");

        // The damaged file first: the browser lists it above the song.
        PressAndShot(kImportX, kPanelButtonY, "24-browser");
        PressAndShot(kBrowserRowX, kBrowserFirstRowY);
        Press(kBrowserAcceptX, kBrowserAcceptY);
        EXPECT_GT(Pixel(ShotWhen("25-import-failed", 512, 130, [](const cRGB& c) { return c.r > 150; }), 512, 130).r,
                  150)
            << "the \"Import Failed\" alert";
        StillShot("probe");
        Press(kAlertRightX, kAlertButtonY);

        PressAndShot(kToolsX, kToolY);
        PressAndShot(kTabX, kMIDIFileTabY);
        PressAndShot(kImportX, kPanelButtonY);
        PressAndShot(kBrowserRowX, kBrowserFirstRowY + kBrowserRowPitch);
        Press(kBrowserAcceptX, kBrowserAcceptY);
        const cScreenshot imported = ShotWhen("26-imported", kImportedX, kImportedY, IsPartColour);
        EXPECT_TRUE(IsPartColour(Pixel(imported, kImportedX, kImportedY))) << "the song's parts shown";
        StillShot("probe");

        PressAndShot(kToolsX, kToolY);
        PressAndShot(kTabX, kMIDIFileTabY);
        PressAndShot(kExportX, kPanelButtonY, "27-export-name");
        Press(kReturnX, kReturnY);
        const std::string exported = Documents("User/MIDI Files/Untitled-01.mid");
        EXPECT_TRUE(WaitUntil([&] { return std::filesystem::exists(exported); })) << "the proposed name: the project's";
        StillShot("28-export-alert");
        Press(kAlertRightX, kAlertButtonY);

        PressAndShot(kToolsX, kToolY);
        PressAndShot(kTabX, kClearTabY);
        PressAndShot(kClearX, kPanelButtonY, "29-clear-alert");
        PressAndShot(kAlertLeftX, kAlertButtonY);
        Press(kSongToolsCloseX, kSongToolsCloseY);
        const cScreenshot cleared =
            ShotWhen("30-cleared", kImportedX, kImportedY, [](const cRGB& rgb) { return !IsPartColour(rgb); });
        EXPECT_FALSE(IsPartColour(Pixel(cleared, kImportedX, kImportedY))) << "the song emptied";

        // 240 BPM and the click always on: a click every quarter of a second.
        Click(kBPMX, kBarMiddle);
        StillShot("31-tempo-popup");
        PressAndShot(kDoubleX, kDoubleY, "32-doubled");
        PressAndShot(kTempoCloseX, kTempoCloseY);
        Click(kClickX, kBarMiddle);
        Key("Home");
        played[0] = Frames();
        Click(kPlayX, kBarMiddle);
        EXPECT_TRUE(WaitForFrames(played[0] + size_t(3.0 * kTrialSampleRate)));
        Key("space");
        played[1] = Frames();
        Close(*program);
    }

    const std::vector<int16_t> left = ReadLeftChannel();
    ASSERT_GE(left.size(), played[1]);
    const std::vector<size_t> clicks = Onsets(std::vector<int16_t>(left.begin() + played[0], left.begin() + played[1]));
    ASSERT_GE(clicks.size(), 6u);
    for (size_t i = 1; i < clicks.size(); ++i)
        EXPECT_NEAR(double(clicks[i] - clicks[i - 1]), 11025.0, 128.0) << "click " << i;

    cFileSystemRegistry registry;
    registry.Mount(new File::cFileSystemDisk("Doc", Documents("").c_str()));
    // Every note of the reference song comes back: 4,870 note-ons, as the
    // file itself holds.
    EXPECT_EQ(NotesIn("User/MIDI Files/Untitled-01.mid"), 4870u);
    EXPECT_EQ(NotesIn("User/MIDI Files/Untitled-01.mid"), NotesIn("User/MIDI Files/reference-song.mid"));
}

// An instrument added to slot 6 from the instrument grid brings its track
// into the song roll, removing it takes the track away, and History brings
// it back; the closing save keeps the track.
TEST_F(SequencerTrialTest, AnInstrumentAddedRemovedAndBroughtBackFromHistoryKeepsItsTrack)
{
    const auto headerShown = [](const cRGB& rgb) { return rgb.r > 100 && rgb.g > 100 && rgb.b > 100; };
    const auto headerGone = [&](const cRGB& rgb) { return !headerShown(rgb); };
    const auto setSlotSix = [&](int typeY, const std::string& name) {
        Click(kMenuX, kBarMiddle);
        StillShot("probe");
        // Held until the dialogue shows: a busy program may take the press
        // late, and a hold it measures short is a tap.
        Input(MoveTo(kSlotSixX, kSlotY) + " sleep 0.1 mousedown 1");
        const cScreenshot props = ShotWhen(name, kTypeX, kPropsTitleY, headerShown);
        Input("mouseup 1");
        ASSERT_TRUE(headerShown(Pixel(props, kTypeX, kPropsTitleY))) << "the instrument properties dialogue";
        StillShot("probe");
        PressAndShot(kTypeX, typeY);
        Press(kPropsOkX, kPropsOkY);
        StillShot("probe");
    };
    {
        const std::unique_ptr<cProgram> program = StartProgram();
        ASSERT_TRUE(program->Started());
        ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
        Click(kSongX, kBarMiddle);
        StillShot("40-six-tracks");

        setSlotSix(kKestY, "41-instrument-props");
        Click(kSongX, kBarMiddle);
        StillShot("probe");
        Press(kFewerRowsX, kFewerRowsY);
        const cScreenshot added = ShotWhen("42-added", kSeventhHeaderX, kSeventhHeaderY, headerShown);
        EXPECT_TRUE(headerShown(Pixel(added, kSeventhHeaderX, kSeventhHeaderY))) << "the new instrument's track";

        setSlotSix(kNoneY, "43-instrument-props-none");
        Click(kSongX, kBarMiddle);
        const cScreenshot removed = ShotWhen("44-removed", kSeventhHeaderX, kSeventhHeaderY, headerGone);
        EXPECT_TRUE(headerGone(Pixel(removed, kSeventhHeaderX, kSeventhHeaderY))) << "the track taken away";

        // History: "...", "1. Add instr", "2. Del instr"; the first step kept.
        StillShot("probe");
        PressAndShot(kHistoryX, kToolY, "45-history");
        Press(kHistoryX, kNewestStepY - kStepPitch);
        const cScreenshot back = ShotWhen("46-brought-back", kSeventhHeaderX, kSeventhHeaderY, headerShown);
        EXPECT_TRUE(headerShown(Pixel(back, kSeventhHeaderX, kSeventhHeaderY))) << "the track back";
        Close(*program);
    }

    const std::string path = SavedSong();
    ASSERT_FALSE(path.empty()) << "the closing save wrote no song";
    const std::vector<uint8_t> bytes = Bytes(path);
    cSequencer sequencer;
    File::cFileMemoryRead file(bytes.data(), int(bytes.size()));
    cGenString error;
    ASSERT_TRUE(sequencer.ReadSong(file, error)) << error.CStr();
    std::vector<int32_t> channels;
    for (int32_t index = 0; index < sequencer.GetTrackList()->GetCount(); ++index)
        channels.push_back(sequencer.GetTrackList()->GetTrack(index)->GetChannel());
    ASSERT_EQ(channels.size(), 7u) << "the six tracks of a new project and slot 6's";
    EXPECT_EQ(channels.back(), 6) << "the last track plays slot 6";
}
} // namespace
