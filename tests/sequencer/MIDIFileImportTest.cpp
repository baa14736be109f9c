#include "MIDIFileSongFixture.h"
#include "MIDIFileTestSupport.h"

#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace
{
using tPart = std::tuple<int32_t, int32_t, int32_t>; // start, length, events

std::vector<tPart> Parts(const cTrack* track)
{
    std::vector<tPart> parts;
    for (const cPatternInstance* part = track ? track->GetFirstPart() : nullptr; part; part = part->next)
        parts.emplace_back(part->start, part->length, part->pattern->count);
    return parts;
}

struct sStored
{
    bool controller;
    int32_t time;
    int data1, data2, data3;
    int32_t length;
    bool operator==(const sStored&) const = default;
};

std::vector<sStored> Events(const cPatternInstance* part)
{
    std::vector<sStored> events;
    for (const cPatternEvent* e = part->pattern->head; e; e = e->next)
        events.push_back({e->IsController(), e->time, e->data1, e->data2, e->data3, e->length});
    return events;
}

// Short notes spread evenly over the bars of channel 2 (slot 1).
std::unique_ptr<cMIDIFileSong> EvenNotes(int count, int bars)
{
    auto song = std::make_unique<cMIDIFileSong>();
    for (int i = 0; i < count; ++i)
        song->AddNote(1, int32_t(int64_t(i) * bars * 1024 / count), 60, 100, 4);
    return song;
}

class MIDIFileImportTest : public cMIDIFileSongFixture
{
protected:
    // The desk's master volume listens to controller 7, as the program's does.
    void UseDeskMasterVolume()
    {
        static constexpr cInstrumentPackage::cControllerAssignment kDeskMap[] = {{3, 7, 0}};
        mixer->SetControllerTables(nullptr, 0, nullptr, 0, kDeskMap, 1);
        mixer->CreateControllerMap();
    }
    void Import(std::unique_ptr<cMIDIFileSong> song, bool applyPresets = false)
    {
        ASSERT_TRUE(ImportMIDIFileSong(song.release(), applyPresets));
    }
};

TEST_F(MIDIFileImportTest, ImportStartsOnTheBarAfterTheSongsEnd)
{
    Import(EvenNotes(4, 1));
    EXPECT_EQ(Parts(FirstTrack(1)), (std::vector<tPart>{{0, 1024, 4}}));

    cTrack* earlier = AddTrack(2);
    AddPart(earlier, 0, 1500);
    Import(EvenNotes(4, 1));
    EXPECT_EQ(Parts(FirstTrack(1)), (std::vector<tPart>{{0, 1024, 4}, {2048, 1024, 4}}));
}

// Whole bars aiming at 500 events, ending after the last event has ended.
TEST_F(MIDIFileImportTest, ChannelsAreCutIntoPartsOfWholeBars)
{
    struct sCase
    {
        const char* what;
        std::unique_ptr<cMIDIFileSong> song;
        std::vector<tPart> parts;
    };
    std::vector<sCase> cases;
    cases.push_back({"40 notes in 2 bars", EvenNotes(40, 2), {{0, 2048, 40}}});
    auto longLast = EvenNotes(40, 2);
    longLast->channels[1].events.back().length = 600; // ends in bar 3
    cases.push_back({"one ending in bar 3", std::move(longLast), {{0, 3072, 40}}});
    cases.push_back({"600 notes in 8 bars", EvenNotes(600, 8), {{0, 7168, 525}, {7168, 1024, 75}}});
    auto late = std::make_unique<cMIDIFileSong>();
    late->AddNote(1, 5000, 60, 100, 10);
    cases.push_back({"a note in bar 5", std::move(late), {{4096, 1024, 1}}});
    for (sCase& c : cases)
    {
        Tracks().Clear();
        Import(std::move(c.song));
        EXPECT_EQ(Parts(FirstTrack(1)), c.parts) << c.what;
    }
}

TEST_F(MIDIFileImportTest, EventsBecomeNotesAndMappedControllers)
{
    auto song = std::make_unique<cMIDIFileSong>();
    song->AddNote(1, 10, 60, 100, 100);
    song->AddNote(1, 20, 62, 90, 0);           // no length: dropped
    song->AddController(1, 30, 7, 100);        // volume: parameter slot 1
    song->AddController(1, 40, 1, 64);         // modulation: nobody listens
    song->AddController(1, 50, 0, 2);          // bank select MSB: dropped
    song->AddPitchBend(1, 60, 8192 + 1000);    // always kept, as slot 0
    song->AddPitchBend(1, 70, 0);
    song->AddMarker(1, 80, cGenString("verse"));
    song->AddController(1, 90, 10, 127);       // pan: parameter slot 2
    Import(std::move(song));
    const cTrack* track = FirstTrack(1);
    ASSERT_NE(track, nullptr);
    ASSERT_EQ(track->GetPartCount(), 1);
    EXPECT_EQ(Events(track->GetFirstPart()), (std::vector<sStored>{
                                                 {false, 10, 60, 100, 0, 100},
                                                 {true, 30, 100, 0, 1, 16},
                                                 {true, 60, 4000 >> 8, 4000 & 0xff, 0, 16},
                                                 {true, 70, 0x80, 0x00, 0, 16}, // -32768
                                                 {true, 90, 127, 0, 2, 16},
                                             }));
}

TEST_F(MIDIFileImportTest, NewChannelsGetAnInstrumentOfThePackageTheirNameBegins)
{
    const std::vector<std::pair<const char*, cTestPackage*>> cases = {
        {"Other : Bright Keys", other}, {"other : x", other}, {"Other", kest},
        {"Nothing : x", kest},          {" Other", kest},     {"", kest},
    };
    for (const auto& [name, package] : cases)
    {
        Tracks().Clear();
        slots.SetSlot(3, nullptr, true);
        auto song = std::make_unique<cMIDIFileSong>();
        song->AddNote(3, 0, 60, 100, 10);
        song->channels[3].instrumentName.AssignCStr(name);
        Import(std::move(song));
        cInstrument* instrument = slots.GetInstrument(3);
        ASSERT_NE(instrument, nullptr) << name;
        EXPECT_EQ(instrument->GetPackage(), package) << name;
        EXPECT_STREQ(instrument->GetName(), "MIDI 4");
        EXPECT_NE(FirstTrack(3), nullptr);
    }
}

TEST_F(MIDIFileImportTest, AChannelWhoseSlotHasATrackKeepsItsInstrument)
{
    cInstrument* kept = Place(other, 2, "Keys");
    AddTrack(2);
    auto song = std::make_unique<cMIDIFileSong>();
    song->AddNote(2, 0, 60, 100, 10);
    Import(std::move(song));
    EXPECT_EQ(slots.GetInstrument(2), kept);
    EXPECT_STREQ(kept->GetName(), "Keys");
    EXPECT_EQ(Tracks().GetCount(), 1);
    EXPECT_EQ(FirstTrack(2)->GetPartCount(), 1);
}

// The presets the project-load fallback applies: the channel's first bank
// select LSB and program, and its track name.
TEST_F(MIDIFileImportTest, ApplyingPresetsSendsTheFirstBankAndProgramAndNamesTheInstrument)
{
    for (bool apply : {false, true})
    {
        Tracks().Clear();
        slots.SetSlot(4, nullptr, true);
        auto song = std::make_unique<cMIDIFileSong>();
        song->AddController(4, 0, 32, 3);
        song->AddProgram(4, 0, 5);
        song->AddController(4, 10, 32, 9); // not the first
        song->AddProgram(4, 10, 7);
        song->AddNote(4, 20, 60, 100, 10);
        song->channels[4].trackName.AssignCStr("Lead");
        Import(std::move(song), apply);
        auto* instrument = static_cast<cTestInstrument*>(slots.GetInstrument(4));
        ASSERT_NE(instrument, nullptr);
        cTestInstrumentModule& module = instrument->Module();
        module.DrainEvents();
        cAudioEvent sent[4];
        const int count = module.Collect(kAudioEventSetIntParam, sent, 4);
        if (!apply)
        {
            EXPECT_EQ(count, 0);
            EXPECT_STREQ(instrument->GetName(), "MIDI 5");
            continue;
        }
        ASSERT_EQ(count, 1);
        EXPECT_EQ(sent[0].slot, 4);
        EXPECT_EQ(sent[0].wordA, 1u);
        EXPECT_EQ(sent[0].GetIntValue(), 3 * 256 + 5);
        EXPECT_STREQ(instrument->GetName(), "Lead");
    }
}

// The desk in slot 0 is never replaced, renamed or sent a preset. Channel 1
// with notes is an instrument's part: it goes whole to an instrument of its
// own in the first free slot, its volume, pan and bends with its notes, so
// that none of them moves the master.
TEST_F(MIDIFileImportTest, ChannelOneWithNotesGoesWholeToAnInstrumentBesideTheDesk)
{
    UseDeskMasterVolume();
    cInstrument* desk = Place(mixer, 0, "Mixer");
    Place(kest, 1, "Bass");
    auto song = std::make_unique<cMIDIFileSong>();
    song->AddController(0, 0, 32, 1);
    song->AddProgram(0, 0, 2);
    song->AddController(0, 0, 7, 105);
    song->AddNote(0, 0, 60, 100, 10);
    song->AddController(0, 5, 10, 64);
    song->AddPitchBend(0, 6, 8192);
    song->AddController(0, 900, 7, 0); // the closing fade
    song->AddNote(2, 0, 50, 100, 10);  // slot 2 is taken by the file
    song->channels[0].trackName.AssignCStr("Piano");
    Import(std::move(song), true);
    EXPECT_EQ(slots.GetInstrument(0), desk);
    EXPECT_STREQ(desk->GetName(), "Mixer");
    cTestInstrumentModule& deskModule = static_cast<cTestInstrument*>(desk)->Module();
    deskModule.DrainEvents();
    cAudioEvent sent[2];
    EXPECT_EQ(deskModule.Collect(kAudioEventSetIntParam, sent, 2), 0) << "no preset for the desk";
    EXPECT_EQ(FirstTrack(0), nullptr) << "nothing of the channel reaches the master";

    auto* notes = static_cast<cTestInstrument*>(slots.GetInstrument(3));
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(notes->GetPackage(), kest);
    EXPECT_STREQ(notes->GetName(), "Piano");
    ASSERT_NE(FirstTrack(3), nullptr);
    EXPECT_EQ(Events(FirstTrack(3)->GetFirstPart()), (std::vector<sStored>{
                                                         {true, 0, 105, 0, 1, 16},
                                                         {false, 0, 60, 100, 0, 10},
                                                         {true, 5, 64, 0, 2, 16},
                                                         {true, 6, 0, 0, 0, 16},
                                                         {true, 900, 0, 0, 1, 16},
                                                     }));
    notes->Module().DrainEvents();
    ASSERT_EQ(notes->Module().Collect(kAudioEventSetIntParam, sent, 2), 1);
    EXPECT_EQ(sent[0].GetIntValue(), 258);
}

// Channel 1 without notes is the desk's own automation, as an export writes
// it: the desk keeps it. With notes but no free slot it goes nowhere.
TEST_F(MIDIFileImportTest, OnlyAChannelOneWithoutNotesReachesTheDesk)
{
    UseDeskMasterVolume();
    for (bool withNotes : {false, true})
    {
        SCOPED_TRACE(withNotes);
        Tracks().Clear();
        Place(mixer, 0, "Mixer");
        for (int32_t slot = 1; slot < cInstrumentSlotTable::kSlotCount; ++slot)
            Place(kest, slot, "Taken");
        const int instruments = int(kest->GetInstruments().GetCount());
        auto song = std::make_unique<cMIDIFileSong>();
        song->AddController(0, 0, 7, 90);
        if (withNotes)
            song->AddNote(0, 0, 60, 100, 10);
        Import(std::move(song));
        EXPECT_EQ(int(kest->GetInstruments().GetCount()), instruments) << "no instrument made";
        if (withNotes)
        {
            EXPECT_EQ(FirstTrack(0), nullptr);
            continue;
        }
        ASSERT_NE(FirstTrack(0), nullptr);
        EXPECT_EQ(Events(FirstTrack(0)->GetFirstPart()), (std::vector<sStored>{{true, 0, 90, 0, 3, 16}}));
    }
}

TEST_F(MIDIFileImportTest, WithSixtyFourTracksAChannelLeavesItsSlotAlone)
{
    cInstrument* kept = Place(other, 5, "Strings");
    for (int i = 0; i < cTrackList::kMaxTracks; ++i)
        ASSERT_NE(AddTrack(1 + i % 4), nullptr);
    const int instruments = int(kest->GetInstruments().GetCount());
    auto song = std::make_unique<cMIDIFileSong>();
    song->AddNote(5, 0, 60, 100, 10);
    Import(std::move(song));
    EXPECT_EQ(slots.GetInstrument(5), kept);
    EXPECT_EQ(FirstTrack(5), nullptr);
    EXPECT_EQ(int(kest->GetInstruments().GetCount()), instruments) << "the new instrument is destroyed";
}

TEST_F(MIDIFileImportTest, WithoutAnyInstrumentToMakeTheSlotKeepsItsOwn)
{
    packages.DeleteAll();
    auto song = std::make_unique<cMIDIFileSong>();
    song->AddNote(6, 0, 60, 100, 10);
    Import(std::move(song));
    EXPECT_EQ(slots.GetInstrument(6), nullptr);
    ASSERT_NE(FirstTrack(6), nullptr) << "the notes are kept on a track";
    EXPECT_EQ(FirstTrack(6)->GetPartCount(), 1);
}

TEST_F(MIDIFileImportTest, PartsStopAtTheSongsLimits)
{
    // 1000 parts in the song: nothing more is made.
    cTrack* full = AddTrack(9);
    for (int i = 0; i < 999; ++i)
        AddPart(full, i * 256, 256);
    Import(EvenNotes(600, 8)); // from the bar after 999 x 256
    EXPECT_EQ(Parts(FirstTrack(1)), (std::vector<tPart>{{250 * 1024, 7168, 525}}));

    // Nothing at or past tick 512000; a part reaching past it is cut there.
    Tracks().Clear();
    sequencer.SetBeatsPerBar(3);
    const auto oneBar = [] {
        auto song = std::make_unique<cMIDIFileSong>();
        for (int32_t time : {0, 300, 600})
            song->AddNote(1, time, 60, 100, 4);
        return song;
    };
    AddPart(AddTrack(9), 0, 511000);
    Import(oneBar()); // a bar of 768 from 511488, cut to 512
    EXPECT_EQ(Parts(FirstTrack(1)), (std::vector<tPart>{{511488, 512, 2}}));
    Tracks().Clear();
    AddPart(AddTrack(9), 0, 511600);
    Import(oneBar()); // from 512256
    EXPECT_EQ(Parts(FirstTrack(1)), std::vector<tPart>{});
}

TEST_F(MIDIFileImportTest, LoadingReadsTheFileOrSaysWhyNot)
{
    cGenString error;
    EXPECT_EQ(LoadMIDIFile("Missing.mid", error), nullptr);
    EXPECT_STREQ(error.CStr(), "Could not open file.");

    {
        std::ofstream(DocPath("Garbage.mid"), std::ios::binary) << "MThd garbage";
    }
    EXPECT_EQ(LoadMIDIFile("Garbage.mid", error), nullptr);
    EXPECT_STREQ(error.CStr(), "Could not read this MIDI file.");

    cMIDIFileSong written;
    written.tempo = 100.0f;
    written.AddNote(2, 256, 64, 80, 128);
    const std::vector<uint8_t> bytes = WriteMIDISong(written);
    ASSERT_FALSE(bytes.empty());
    {
        std::ofstream(DocPath("Song.mid"), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                                   std::streamsize(bytes.size()));
    }
    std::unique_ptr<cMIDIFileSong> song(LoadMIDIFile("Song.mid", error));
    ASSERT_NE(song, nullptr) << error.CStr();
    EXPECT_FLOAT_EQ(song->tempo, 100.0f);
    ASSERT_EQ(song->channels[2].events.size(), 1u);
    EXPECT_EQ(song->channels[2].events[0].time, 256);
    EXPECT_EQ(song->channels[2].events[0].length, 128);
}
} // namespace
