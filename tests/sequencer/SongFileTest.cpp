#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "RecordingFixture.h"
#include "SongFileSupport.h"
#include "sequencer/QuantizeSettings.h"

namespace
{
constexpr const char* kSongPath = "Song.prj/Package.sng";

// An instrument whose presets are exported under other numbers.
class cExportingInstrument : public cTestInstrument
{
public:
    explicit cExportingInstrument(cInstrumentPackage* package) : cTestInstrument(package, 0) {}
    int32_t MapPreset(int32_t presetId, int32_t) override { return presetId + 0x40; }
};

// The transport and quantize settings the file keeps.
struct cSettings
{
    float tempo;
    int32_t position, loopOn, loopStart, loopEnd, beatsPerBar, countInBars, metronomeMode;
    float level;
    int32_t recordInterval, recordType, gridInterval, gridType;
    float recordSwing, gridSwing;

    static cSettings Take()
    {
        return {gTransport.tempo,          gTransport.position,      gTransport.loopOn,
                gTransport.loopStart,      gTransport.loopEnd,       gTransport.beatsPerBar,
                gTransport.countInBars,    gTransport.metronomeMode, gTransport.metronomeLevel,
                gRecordQuantizeSettings.interval, gRecordQuantizeSettings.type, gGridQuantizeSettings.interval,
                gGridQuantizeSettings.type, gRecordQuantizeSettings.swing, gGridQuantizeSettings.swing};
    }
    bool operator==(const cSettings&) const = default;
};

class cSongFileTest : public cRecordingFixture
{
protected:
    cSongFileTest() { std::filesystem::create_directories(mDoc.Folder() / "Song.prj"); }

    // A song using every field of the file.
    void BuildSong()
    {
        sequencer.SetTempo(133.5f);
        sequencer.SetBeatsPerBar(3);
        gTransport.loopOn = 1;
        gTransport.loopStart = 768;
        gTransport.loopEnd = 3840;
        gTransport.metronomeMode = 2;
        gTransport.metronomeLevel = 0.4f;
        gTransport.countInBars = 2;
        ApplyRecordQuantize({1, 4, cQuantizeSettings::kTriplet, 0.0f});
        SetGridQuantizeSettings({1, 6, cQuantizeSettings::kStraight, 0.25f});
        cPattern& shared = *sequencer.GetPatternTable()->GetPattern(1);
        shared.loopLength = 768;
        for (int32_t t : {0, 96, 96, 500})
        {
            cPatternEvent* e = cPatternEvent::Allocate();
            e->time = t;
            e->length = 48;
            e->SetNote(40 + t % 50);
            e->SetVelocity(70 + t % 30);
            shared.InsertEventSorted(e);
        }
        cPatternEvent* controller = cPatternEvent::Allocate();
        controller->flags = cPatternEvent::kFlagController;
        controller->data3 = 17;
        controller->time = 300;
        controller->length = 16;
        controller->SetControllerValue(-1234);
        shared.InsertEventSorted(controller);
        cTrack* first = AddTrack(0);
        cTrack* second = AddTrack(0);
        cTrack* third = AddTrack(1);
        cPatternInstance* part = cPatternInstance::Create();
        part->SetPattern(1);
        part->start = 0;
        part->length = 2304;
        part->programWord = cPatternInstance::kProgramChangeBit | (1u << 16) | 0x0203;
        first->InsertPart(part);
        AddPrivatePart(second, 768, 768, {0, 10, 700});
        AddPrivatePart(third, 3072, 1536, {5});
        sequencer.GetTrackList()->SelectChannelTrack(second->GetIndex());
        sequencer.SetTrackMuteSolo(third->GetIndex(), cTrack::kSolo);
        sequencer.SetTrackMuteSolo(first->GetIndex(), cTrack::kMute);
        sequencer.SetPosition(1536);
    }

    bool Load(const std::vector<uint8_t>& bytes) { return ReadSongImage(sequencer, bytes, error); }

    void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        mDoc.Folder().Write(name, std::string(bytes.begin(), bytes.end()));
    }

    bool Exists(const std::string& name) const { return mDoc.Folder().Exists(name); }

    cDocMount mDoc;
    cGenString error;
};
} // namespace

TEST_F(cSongFileTest, ANewSongIsSeventeenThousandAndEightBytes)
{
    const std::vector<uint8_t> image = SongImage(sequencer);
    ASSERT_EQ(image.size(), 17008u);
    uint32_t version = 0, size = 0;
    std::memcpy(&version, image.data(), 4);
    std::memcpy(&size, image.data() + 4, 4);
    EXPECT_EQ(version, 6u);
    EXPECT_EQ(size, 17008u);
}

// Saved, loaded and saved again, the song gives the same bytes; every
// setting, pattern and part comes back.
TEST_F(cSongFileTest, SaveLoadSaveGivesTheSameBytes)
{
    BuildSong();
    const cSongSnapshot song = cSongSnapshot::Take(sequencer);
    const cSettings settings = cSettings::Take();
    const cQuantizeGrid grid = gGridQuantizeGrid;
    ASSERT_TRUE(sequencer.SaveSong(kSongPath, false, error));
    const std::string file = mDoc.Folder().Read(kSongPath);
    const std::vector<uint8_t> saved(file.begin(), file.end());
    EXPECT_EQ(saved, SongImage(sequencer));

    sequencer.NewSong();
    ASSERT_TRUE(sequencer.LoadSong(kSongPath, 1, error)) << error.CStr();
    EXPECT_EQ(cSongSnapshot::Take(sequencer), song);
    EXPECT_EQ(cSettings::Take(), settings);
    const cTrackList& tracks = *sequencer.GetTrackList();
    ASSERT_EQ(tracks.GetCount(), 3);
    EXPECT_EQ(tracks.GetTrack(0)->GetMuteSolo(), cTrack::kMute);
    EXPECT_FALSE(tracks.GetTrack(0)->IsAudible());
    EXPECT_TRUE(tracks.GetTrack(1)->IsSelected());
    EXPECT_FALSE(tracks.GetTrack(1)->IsAudible()); // another track is in solo
    EXPECT_EQ(tracks.GetTrack(2)->GetChannel(), 1);
    EXPECT_EQ(sequencer.GetSoloCount(), 1);
    EXPECT_EQ(gGridQuantizeGrid.interval, grid.interval);
    EXPECT_EQ(gGridQuantizeGrid.swingOffset, grid.swingOffset);
    EXPECT_GT(grid.swingOffset, 0.0f);
    EXPECT_EQ(gTransport.samplePosition, sequencer.SamplesFromTicks(1536));
    EXPECT_EQ(SongImage(sequencer), saved);
}

// The program word written is the preset the project exports.
TEST_F(cSongFileTest, APartsPresetIsWrittenAsItIsExported)
{
    cExportingInstrument instrument(&package);
    slots.SetSlot(2, &instrument, false);
    struct cClearSlot
    {
        cInstrumentSlotTable& slots;
        ~cClearSlot() { slots.SetSlot(2, nullptr, false); }
    } clear{slots};
    cTrack* track = AddTrack(2);
    cPatternInstance* part = AddPrivatePart(track, 0, 1024, {});
    part->programWord = cPatternInstance::kProgramChangeBit | (1u << 16) | 0x0105;
    cPatternInstance* plain = AddPrivatePart(track, 1024, 1024, {});
    plain->programWord = 0x0105; // no program change: written as stored
    ASSERT_TRUE(Load(SongImage(sequencer)));
    const cTrack& loaded = *sequencer.GetTrackList()->GetTrack(0);
    EXPECT_EQ(loaded.GetFirstPart()->programWord, cPatternInstance::kProgramChangeBit | (1u << 16) | 0x0145);
    EXPECT_EQ(loaded.GetLastPart()->programWord, 0x0105u);
}

// What a record session marked is not kept by the file.
TEST_F(cSongFileTest, LoadingDropsTheRecordSessions)
{
    cTrack* track = AddTrack(0);
    RecordFrom(0);
    Note(100, 200, 60);
    Note(1100, 1200, 61);
    sequencer.Stop();
    ASSERT_NE(track->GetFirstPart()->recordSessionId, 0);
    ASSERT_NE(track->GetFirstPart()->pattern->head->GetSession(), 0);
    ASSERT_TRUE(Load(SongImage(sequencer))) << error.CStr();
    const cTrack& loaded = *sequencer.GetTrackList()->GetTrack(0);
    ASSERT_EQ(loaded.GetPartCount(), 1);
    EXPECT_EQ(loaded.GetFirstPart()->recordSessionId, 0);
    int notes = 0;
    for (const cPatternEvent* e = loaded.GetFirstPart()->pattern->head; e; e = e->next, ++notes)
        EXPECT_EQ(e->flags, 0);
    EXPECT_EQ(notes, 2);
    EXPECT_FALSE(sequencer.UndoRecording());
}

// A file that cannot be read leaves the song exactly as it was, with the
// reason: a newer version, a size that is not the file's, or damage found
// anywhere in it.
TEST_F(cSongFileTest, AFileThatCannotBeReadLeavesTheSongAlone)
{
    using tEdit = std::function<void(cSongFileBytes&)>;
    auto track = [](cSongFileBytes& f) -> cSongFileBytes::cTrack& {
        f.tracks.resize(1);
        f.tracks[0].parts = {{101, 0, 0, 1024}};
        return f.tracks[0];
    };
    struct cCase
    {
        const char* name;
        tEdit edit;
        const char* message;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    const char* damaged = "Song file is damaged.";
    const cCase cases[] = {
        {"version 7", [](cSongFileBytes& f) { f.version = 7; }, "This song was saved with a newer version of Quilwright."},
        {"one byte short", [](cSongFileBytes& f) { f.sizeField = 0; }, "Song file is not the expected size."},
        {"2101 patterns", [](cSongFileBytes& f) { f.patterns.resize(2101); }, damaged},
        {"events past the end", [](cSongFileBytes& f) { f.patterns[5].countField = 100000; }, damaged},
        {"negative loop", [](cSongFileBytes& f) { f.patterns[7].loopLength = -1; }, damaged},
        {"65 tracks", [](cSongFileBytes& f) { f.tracks.resize(65); }, damaged},
        {"old file with 64 tracks", [](cSongFileBytes& f) { f.version = 4; f.tracks.resize(64); }, damaged},
        {"tracks past the end", [](cSongFileBytes& f) { f.trackCountField = 3; }, damaged},
        {"parts past the end", [&](cSongFileBytes& f) { track(f).countField = 50; }, damaged},
        {"pattern 2100", [&](cSongFileBytes& f) { track(f).parts[0].number = 2100; }, damaged},
        {"pattern -2", [&](cSongFileBytes& f) { track(f).parts[0].number = -2; }, damaged},
        {"channel 16", [&](cSongFileBytes& f) { track(f).channel = 16; }, damaged},
        {"channel -1", [&](cSongFileBytes& f) { track(f).channel = -1; }, damaged},
        {"mute/solo 3", [&](cSongFileBytes& f) { track(f).muteSolo = 3; }, damaged},
        {"mute/solo -1", [&](cSongFileBytes& f) { track(f).muteSolo = -1; }, damaged},
        {"part of 0 ticks", [&](cSongFileBytes& f) { track(f).parts[0].length = 0; }, damaged},
        {"record interval 8", [](cSongFileBytes& f) { f.recordInterval = 8; }, damaged},
        {"record type 3", [](cSongFileBytes& f) { f.recordType = 3; }, damaged},
        {"grid interval -1", [](cSongFileBytes& f) { f.gridInterval = -1; }, damaged},
        {"grid type 3", [](cSongFileBytes& f) { f.gridType = 3; }, damaged},
        {"tempo NaN", [&](cSongFileBytes& f) { f.tempo = nan; }, damaged},
        {"tempo infinite", [&](cSongFileBytes& f) { f.tempo = infinity; }, damaged},
        {"level NaN", [&](cSongFileBytes& f) { f.metronomeLevel = nan; }, damaged},
        {"record swing infinite", [&](cSongFileBytes& f) { f.recordSwing = -infinity; }, damaged},
        {"grid swing NaN", [&](cSongFileBytes& f) { f.gridSwing = nan; }, damaged},
    };
    BuildSong();
    const cSongSnapshot song = cSongSnapshot::Take(sequencer);
    const cSettings settings = cSettings::Take();
    for (const cCase& c : cases)
    {
        cSongFileBytes file;
        c.edit(file);
        std::vector<uint8_t> bytes = file.Bytes();
        if (std::string(c.name) == "one byte short")
        {
            const uint32_t size = uint32_t(bytes.size());
            std::memcpy(bytes.data() + 4, &size, 4);
            bytes.pop_back();
        }
        error = "";
        EXPECT_FALSE(Load(bytes)) << c.name;
        EXPECT_STREQ(error.CStr(), c.message) << c.name;
        EXPECT_EQ(cSongSnapshot::Take(sequencer), song) << c.name;
        EXPECT_EQ(cSettings::Take(), settings) << c.name;
    }
    // Shorter than its version and size: the size is not the file's.
    const std::vector<uint8_t> stub = {6, 0, 0};
    EXPECT_FALSE(Load(stub));
    EXPECT_STREQ(error.CStr(), "Song file is not the expected size.");
    // The table's own file, unedited, is sound.
    EXPECT_TRUE(Load(cSongFileBytes().Bytes())) << error.CStr();
}

// Values the transport computes with are brought into range; events and
// parts out of time order, and tracks out of slot order, are put in order.
TEST_F(cSongFileTest, OutOfRangeValuesAreClampedAndOrderRestored)
{
    cSongFileBytes file;
    file.tempo = 500.0f;
    file.position = -5;
    file.loopStart = -100;
    file.loopEnd = 600000;
    file.countInBars = 9;
    file.metronomeLevel = 2.0f;
    file.recordSwing = 3.0f;
    file.gridSwing = -1.0f;
    file.metronomeMode = 7;
    file.beatsPerBar = 12;
    file.patterns[100].loopLength = 2048;
    file.patterns[100].events = {{0, 200, 0, 0, 700, 10}, {1, 0x80, 0, 9, 300, 16}, {0, 61, 64, 0, 300, 10},
                                 {0, 62, 64, 0, -50, 600000}};
    file.tracks = {{0, 3, 1, 0, {{-1, 0, 4096, 100}}, {}},
                   {0, 1, 1, 0, {{100, 0, 2048, 2048}, {-1, 0, -10, 600000}}, {}}};
    ASSERT_TRUE(Load(file.Bytes())) << error.CStr();
    EXPECT_EQ(gTransport.tempo, 240.0f);
    EXPECT_EQ(gTransport.position, 0);
    EXPECT_EQ(gTransport.loopStart, 0);
    EXPECT_EQ(gTransport.loopEnd, 512000);
    EXPECT_EQ(gTransport.countInBars, 4);
    EXPECT_EQ(gTransport.metronomeLevel, 1.0f);
    EXPECT_EQ(gRecordQuantizeSettings.swing, 1.0f);
    EXPECT_EQ(gGridQuantizeSettings.swing, 0.0f);
    EXPECT_EQ(gTransport.metronomeMode, 2);
    EXPECT_EQ(gTransport.beatsPerBar, 7);

    const cPattern& pattern = *sequencer.GetPatternTable()->GetPattern(100);
    std::vector<std::tuple<int32_t, int, int, int32_t>> events; // time, note/controller, velocity, length
    for (const cPatternEvent* e = pattern.head; e; e = e->next)
        events.push_back({e->time, e->IsController() ? -e->data3 : e->data1, e->data2, e->length});
    EXPECT_EQ(events, (std::vector<std::tuple<int32_t, int, int, int32_t>>{
                          {0, 62, 64, 512000}, {300, -9, 0, 16}, {300, 61, 64, 10}, {700, 127, 1, 10}}));

    const cTrackList& tracks = *sequencer.GetTrackList();
    ASSERT_EQ(tracks.GetCount(), 2);
    EXPECT_EQ(tracks.GetTrack(0)->GetChannel(), 1);
    EXPECT_EQ(tracks.GetTrack(1)->GetChannel(), 3);
    const cTrack& slotOne = *tracks.GetTrack(0);
    ASSERT_EQ(slotOne.GetPartCount(), 2);
    EXPECT_EQ(slotOne.GetFirstPart()->start, 0);
    EXPECT_EQ(slotOne.GetFirstPart()->length, 512000);
    EXPECT_EQ(slotOne.GetLastPart()->start, 2048);
}

// Mode 1 tries the file, then its backup, then the auto-saves; mode 2
// prefers the backup and mode 3 the auto-save. A damaged file is passed
// over like a missing one; with none readable the song starts anew.
TEST_F(cSongFileTest, LoadModesFallBackThroughTheirSuffixes)
{
    const std::string base = std::string(kSongPath);
    auto songAt = [](float tempo) {
        cSongFileBytes file;
        file.tempo = tempo;
        return file.Bytes();
    };
    cSongFileBytes damagedFile;
    damagedFile.recordType = 9;
    struct cCase
    {
        std::vector<const char*> present; // suffixes of the files present
        const char* damaged;               // a suffix whose file is damaged, or null
        int32_t mode;
        float tempo; // of the file loaded; 0: none
    };
    const cCase cases[] = {
        {{"", ".bak", ".as", ".as.bak"}, nullptr, 1, 100.0f},
        {{".bak", ".as"}, nullptr, 1, 101.0f},
        {{"", ".bak"}, "", 1, 101.0f},
        {{".as.bak"}, nullptr, 1, 103.0f},
        {{"", ".bak", ".as", ".as.bak"}, nullptr, 2, 101.0f},
        {{"", ".as"}, nullptr, 2, 100.0f},
        {{"", ".bak", ".as", ".as.bak"}, nullptr, 3, 102.0f},
        {{"", ".bak", ".as.bak"}, ".as.bak", 3, 100.0f},
        {{".bak"}, nullptr, 0, 0.0f},
        {{"", ".bak"}, "", 7, 0.0f},
        {{}, nullptr, 1, 0.0f},
    };
    const char* const suffixes[] = {"", ".bak", ".as", ".as.bak"};
    for (const cCase& c : cases)
    {
        for (int i = 0; i < 4; ++i)
            std::filesystem::remove(mDoc.Folder() / (base + suffixes[i]));
        for (const char* suffix : c.present)
        {
            const int i = int(std::find_if(std::begin(suffixes), std::end(suffixes),
                                           [&](const char* s) { return std::strcmp(s, suffix) == 0; }) -
                              std::begin(suffixes));
            const bool damaged = c.damaged && std::strcmp(c.damaged, suffix) == 0;
            WriteFile(base + suffix, damaged ? damagedFile.Bytes() : songAt(100.0f + float(i)));
        }
        sequencer.SetTempo(77.0f);
        error = "";
        const bool loaded = sequencer.LoadSong(kSongPath, c.mode, error);
        EXPECT_EQ(loaded, c.tempo != 0.0f) << c.mode << " " << c.present.size();
        EXPECT_EQ(gTransport.tempo, c.tempo != 0.0f ? c.tempo : 120.0f) << c.mode << " " << c.present.size();
        EXPECT_STREQ(error.CStr(), c.damaged ? "Song file is damaged." : "") << c.mode << " " << c.present.size();
    }
}

// An auto-save writes the name plus ".as" (keeping the one before as
// ".as.bak"); the next normal save writes the song and deletes both.
TEST_F(cSongFileTest, ANormalSaveDeletesTheAutoSaves)
{
    const std::string base = std::string(kSongPath);
    BuildSong();
    ASSERT_TRUE(sequencer.SaveSong(kSongPath, true, error));
    ASSERT_TRUE(sequencer.SaveSong(kSongPath, true, error));
    EXPECT_TRUE(Exists(base + ".as"));
    EXPECT_TRUE(Exists(base + ".as.bak"));
    EXPECT_FALSE(Exists(base));
    ASSERT_TRUE(sequencer.SaveSong(kSongPath, false, error));
    EXPECT_TRUE(Exists(base));
    EXPECT_FALSE(Exists(base + ".as"));
    EXPECT_FALSE(Exists(base + ".as.bak"));
    ASSERT_TRUE(sequencer.SaveSong(kSongPath, false, error));
    EXPECT_TRUE(Exists(base + ".bak"));
}

// Before version 5 a track kept only a mute flag: its slot and selection
// follow from its place (tracks past the 16th share the last slot), an
// empty track joins slot 0's group, and presets of the project's bank 3
// move to bank 7.
TEST_F(cSongFileTest, AVersionFourFileTakesItsSlotsFromItsTrackOrder)
{
    constexpr uint32_t kChange = cPatternInstance::kProgramChangeBit;
    cSongFileBytes file;
    file.version = 4;
    file.tracks.resize(18);
    file.tracks[2].oldMute = 1;
    file.tracks[0].parts = {{100, kChange | 800, 0, 1024}, {101, 70, 1024, 1024}};
    file.patterns[100].events = {{1, 0, 10, 5, 0, 16}};
    ASSERT_TRUE(Load(file.Bytes())) << error.CStr();

    const cTrackList& tracks = *sequencer.GetTrackList();
    ASSERT_EQ(tracks.GetCount(), 19);
    EXPECT_EQ(tracks.GetTrack(0)->GetChannel(), 0);
    EXPECT_EQ(tracks.GetTrack(0)->GetPartCount(), 0);
    EXPECT_TRUE(tracks.GetTrack(0)->IsSelected());
    const std::vector<int32_t> channels = {1, 2, 3, 4, 5, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 15, 15};
    // Of several selected tracks in one slot, the last keeps the selection.
    const std::vector<bool> selected = {1, 1, 1, 1, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 1};
    for (int32_t i = 0; i < 18; ++i)
    {
        const cTrack& track = *tracks.GetTrack(i + 1);
        EXPECT_EQ(track.GetChannel(), channels[size_t(i)]) << i;
        EXPECT_EQ(track.IsSelected(), selected[size_t(i)]) << i;
        EXPECT_EQ(track.GetMuteSolo(), i == 2 ? cTrack::kMute : cTrack::kNormal) << i;
    }
    const cTrack& first = *tracks.GetTrack(1);
    EXPECT_EQ(first.GetFirstPart()->programWord, kChange | (1792 + 32));
    EXPECT_EQ(first.GetLastPart()->programWord, 70u);
    EXPECT_EQ(first.GetLastPart()->start, 1024); // the spare word skipped
    EXPECT_EQ(sequencer.GetPatternTable()->GetPattern(100)->head->data3, 5);
}

// Version 3 also numbered presets 0..191 over banks 0, 1 and 3, and the
// controllers from 0: ids move up by 3 on the first four tracks (0 stays,
// unused there) and by 4 after, each pattern once, in track order.
TEST_F(cSongFileTest, AVersionThreeFileRenumbersPresetsAndControllers)
{
    constexpr uint32_t kChange = cPatternInstance::kProgramChangeBit;
    constexpr uint32_t kKind = 1u << 16;
    cSongFileBytes file;
    file.version = 3;
    file.tracks.resize(6);
    const std::vector<cSongFileBytes::cEvent> controllers = {{1, 0, 1, 0, 0, 16}, {1, 0, 2, 5, 10, 16},
                                                            {1, 0, 3, 254, 20, 16}, {0, 60, 100, 0, 30, 10}};
    file.patterns[100].events = controllers;
    file.patterns[101].events = controllers;
    file.patterns[1].events = controllers;
    file.tracks[0].parts = {{100, kChange | kKind | 130, 0, 1024}};
    file.tracks[1].parts = {{1, kChange | 70, 0, 1024}};
    file.tracks[2].parts = {{-1, kChange | kKind | 200, 0, 1024}};
    file.tracks[3].parts = {{-1, kChange | 10, 0, 1024}};
    file.tracks[4].parts = {{101, 0, 0, 1024}};
    file.tracks[5].parts = {{1, 0, 1024, 1024}}; // the shared pattern again: not converted twice
    ASSERT_TRUE(Load(file.Bytes())) << error.CStr();

    const cTrackList& tracks = *sequencer.GetTrackList();
    ASSERT_EQ(tracks.GetCount(), 7);
    auto word = [&](int32_t oldIndex) { return tracks.GetTrack(oldIndex + 1)->GetFirstPart()->programWord; };
    EXPECT_EQ(word(0), kChange | kKind | 1794);
    EXPECT_EQ(word(1), kChange | 262);
    EXPECT_EQ(word(2), kKind);
    EXPECT_EQ(word(3), kChange | 10);
    auto ids = [&](int32_t number) {
        std::vector<int> found;
        for (const cPatternEvent* e = sequencer.GetPatternTable()->GetPattern(number)->head; e; e = e->next)
            found.push_back(e->IsController() ? e->data3 : -1);
        return found;
    };
    EXPECT_EQ(ids(100), (std::vector<int>{0, 8, 255, -1}));
    EXPECT_EQ(ids(1), (std::vector<int>{0, 8, 255, -1}));
    EXPECT_EQ(ids(101), (std::vector<int>{4, 9, 255, -1}));
}
