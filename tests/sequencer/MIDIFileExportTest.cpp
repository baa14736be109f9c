#include "MIDIFileSongFixture.h"
#include "MIDIFileTestSupport.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "audio/Transport.h"
#include "base/CriticalSection.h"

namespace
{
using eKind = cMIDIFileSong::eEventKind;
// kind, time, first byte, second byte (a bend: its value), length
using tEvent = std::tuple<eKind, int32_t, int, int, int32_t>;

std::vector<tEvent> Channel(const cMIDIFileSong& song, int channel)
{
    std::vector<tEvent> events;
    for (const cMIDIFileSong::sEvent& e : song.channels[channel].events)
        events.emplace_back(e.kind, e.time, e.kind == eKind::PitchBend ? e.data.bend : e.data.bytes[0],
                            e.kind == eKind::PitchBend ? 0 : e.data.bytes[1], e.length);
    return events;
}

class MIDIFileExportTest : public cMIDIFileSongFixture
{
protected:
    // Exports to "Song.mid" and reads the file back.
    std::unique_ptr<cMIDIFileSong> ExportAndRead()
    {
        cGenString error;
        EXPECT_TRUE(ExportSongToMIDIFile("Song.mid", "My song", error)) << error.CStr();
        std::unique_ptr<cMIDIFileSong> song(LoadMIDIFile("Song.mid", error));
        EXPECT_NE(song, nullptr) << error.CStr();
        return song;
    }
    cTestInstrumentModule& Module(cInstrument* instrument)
    {
        return static_cast<cTestInstrument*>(instrument)->Module();
    }
};

TEST_F(MIDIFileExportTest, ALoopingPatternIsWrittenForEachRepetitionInsideItsPart)
{
    Module(Place(kest, 2, "Lead")).preset = -1;
    cPatternInstance* part = AddPart(AddTrack(2), 1024, 4096, 1024);
    AddNote(part, 0, 60, 100, 128);
    AddNote(part, 512, 64, 90, 128);
    AddNote(part, 1100, 70, 90, 128); // past the loop: never played
    std::unique_ptr<cMIDIFileSong> song = ExportAndRead();
    ASSERT_NE(song, nullptr);
    std::vector<tEvent> expected;
    for (int32_t pass = 1024; pass < 5120; pass += 1024)
    {
        expected.emplace_back(eKind::Note, pass, 60, 100, 128);
        expected.emplace_back(eKind::Note, pass + 512, 64, 90, 128);
    }
    EXPECT_EQ(Channel(*song, 2), expected) << "no preset at time 0 for an instrument without one";
    EXPECT_STREQ(song->name.CStr(), "My song");
    EXPECT_STREQ(song->channels[2].trackName.CStr(), "Lead");
    EXPECT_STREQ(song->channels[2].instrumentName.CStr(), "Kest : ");
}

// Each track of a slot starts its instrument on the current preset; a part
// with a program sends it at its start. Controller slots go back to the
// controller numbers the package listens to.
TEST_F(MIDIFileExportTest, PresetsProgramsAndControllersAreWrittenAsTheFileHasThem)
{
    Module(Place(kest, 1, "Bass")).preset = 2 * 256 + 9;
    cPatternInstance* first = AddPart(AddTrack(1), 0, 1024);
    first->programWord = cPatternInstance::kProgramChangeBit | (3 * 256 + 5);
    AddController(first, 10, 1, 100 << 8);  // volume: controller 7
    AddController(first, 20, 3, 50 << 8);   // parameter slot 3: not assigned
    AddController(first, 30, 25, 50 << 8);  // beyond the map
    AddController(first, 40, 0, 4000);      // pitch bend
    AddController(first, 50, 8, 127 << 8);  // the knob: controller 74
    AddNote(AddPart(AddTrack(1), 2048, 1024), 0, 40, 80, 64);
    std::unique_ptr<cMIDIFileSong> song = ExportAndRead();
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(Channel(*song, 1), (std::vector<tEvent>{
                                     {eKind::Controller, 0, 32, 2, 0},
                                     {eKind::Program, 0, 9, 0, 0},
                                     {eKind::Controller, 0, 32, 3, 0},
                                     {eKind::Program, 0, 5, 0, 0},
                                     {eKind::Controller, 0, 32, 2, 0},
                                     {eKind::Program, 0, 9, 0, 0},
                                     {eKind::Controller, 10, 7, 100, 0},
                                     {eKind::PitchBend, 40, 9192, 0, 0},
                                     {eKind::Controller, 50, 74, 127, 0},
                                     {eKind::Note, 2048, 40, 80, 64},
                                 }));
}

TEST_F(MIDIFileExportTest, OnlySlotsWithAnInstrumentAndEventsAreWritten)
{
    Place(kest, 1, "Silent");
    AddPart(AddTrack(1), 0, 1024);            // no events
    AddNote(AddPart(AddTrack(4), 0, 1024), 0, 60, 100, 10); // no instrument
    Place(kest, 3, "Played");
    AddNote(AddPart(AddTrack(3), 0, 1024), 0, 60, 100, 10);
    std::unique_ptr<cMIDIFileSong> song = ExportAndRead();
    ASSERT_NE(song, nullptr);
    for (int channel = 0; channel < cMIDIFileSong::kChannelCount; ++channel)
        EXPECT_EQ(song->channels[channel].events.empty(), channel != 3) << channel;
}

TEST_F(MIDIFileExportTest, AFailedExportSaysWhyAndLeavesAnEarlierFile)
{
    Place(kest, 1, "Bass");
    AddNote(AddPart(AddTrack(1), 0, 1024), 0, 60, 100, 10);
    {
        std::ofstream(DocPath("Song.mid")) << "earlier";
    }
    cGenString error;
    EXPECT_FALSE(ExportSongToMIDIFile("Missing/Song.mid", "Song", error));
    EXPECT_STREQ(error.CStr(), "Could not open file.");

    projectOpen = false;
    EXPECT_FALSE(ExportSongToMIDIFile("Song.mid", "Song", error));
    EXPECT_STREQ(error.CStr(), "Unknown error.");
    projectOpen = true;

    sequencer.SetTempo(120.0f);
    gTransport.tempo = 1.0f; // no file can hold a tempo this slow
    EXPECT_FALSE(ExportSongToMIDIFile("Song.mid", "Song", error));
    EXPECT_STREQ(error.CStr(), "Could not export to MIDI file.");
    gTransport.tempo = 120.0f;
    std::ifstream earlier(DocPath("Song.mid"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(earlier), {}), "earlier");
    EXPECT_FALSE(std::filesystem::exists(DocPath("Song.mid.tmp")));
}

// The song is read under the sequencer lock: while another thread holds it,
// the export waits, and then writes what that thread left.
TEST_F(MIDIFileExportTest, TheSongIsReadUnderTheSequencerLock)
{
    Place(kest, 1, "Bass");
    cPatternInstance* part = AddPart(AddTrack(1), 0, 1024);
    std::atomic<bool> done{false};
    std::thread exporter;
    {
        cScopedLock lock(sequencer.GetLock());
        exporter = std::thread([&] {
            cGenString error;
            EXPECT_TRUE(ExportSongToMIDIFile("Song.mid", "Song", error)) << error.CStr();
            done = true;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_FALSE(done.load());
        AddNote(part, 0, 60, 100, 10);
    }
    exporter.join();
    cGenString error;
    std::unique_ptr<cMIDIFileSong> song(LoadMIDIFile("Song.mid", error));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->channels[1].events.size(), 3u) << "the preset pair and the note";
}

// What an export writes, an import into a new song makes again: the same
// notes and controllers per slot, at any tempo.
TEST_F(MIDIFileExportTest, ExportThenImportGivesTheSameSong)
{
    for (float tempo : {100.0f, 120.0f, 140.0f})
    {
        Tracks().Clear();
        slots.DestroyAll();
        sequencer.SetTempo(tempo);
        Place(kest, 1, "Bass");
        Place(other, 2, "Keys");
        cPatternInstance* bass = AddPart(AddTrack(1), 0, 2048);
        for (int i = 0; i < 40; ++i)
            AddNote(bass, i * 48 + i % 3, 36 + i % 12, 20 + i, 17 + i * 7);
        AddController(bass, 100, 1, 64 << 8);
        AddController(bass, 333, 0, -2000 * 4);
        AddController(bass, 1500, 2, 127 << 8);
        cPatternInstance* keys = AddPart(AddTrack(2), 1024, 3072);
        for (int i = 0; i < 30; ++i)
            AddNote(keys, i * 97, 60 + i % 5, 100, 1 + i * 15); // no key overlaps itself
        std::unique_ptr<cMIDIFileSong> written = ExportAndRead();
        ASSERT_NE(written, nullptr);
        EXPECT_NEAR(written->tempo, tempo, 0.001f);

        const auto snapshot = [&](int32_t slot) {
            std::vector<std::tuple<bool, int32_t, int, int, int, int32_t>> events;
            for (const cPatternInstance* part = FirstTrack(slot)->GetFirstPart(); part; part = part->next)
                for (const cPatternEvent* e = part->pattern->head; e; e = e->next)
                    events.emplace_back(e->IsController(), part->start + e->time, e->data1, e->data2, e->data3,
                                        e->length);
            return events;
        };
        const auto before1 = snapshot(1), before2 = snapshot(2);
        Tracks().Clear();
        slots.DestroyAll();
        ASSERT_TRUE(ImportMIDIFileSong(written.release(), false));
        EXPECT_EQ(snapshot(1), before1) << tempo;
        EXPECT_EQ(snapshot(2), before2) << tempo;
        EXPECT_EQ(slots.GetInstrument(2)->GetPackage(), other) << "found again from the instrument name";
    }
}
} // namespace
