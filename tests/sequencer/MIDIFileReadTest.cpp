#include "MIDIFileBytes.h"
#include "MIDIFileTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
using eKind = cMIDIFileSong::eEventKind;

const std::vector<cMIDIFileSong::sEvent>& Events(const cMIDIFileSong& song, int channel)
{
    return song.channels[channel].events;
}

// A format-1 file whose first track holds the given tempo and whose second
// track plays the note on channel 1.
std::vector<uint8_t> OneNoteFile(int division, uint32_t start, uint32_t length)
{
    return cMIDIFileBytes(1, division)
        .Track()
        .Tempo(0, 500000)
        .End()
        .Track()
        .Event(start, {0x90, 60, 100})
        .Event(length, {0x80, 60, 0})
        .End()
        .Bytes();
}
} // namespace

TEST(MIDIFileRead, TimesBecomeTicksOfTheSongsTimeBase)
{
    cMIDIFileSong song;
    ASSERT_EQ(ReadMIDISong(OneNoteFile(96, 96, 48), song), 0);
    ASSERT_EQ(Events(song, 0).size(), 1u);
    const cMIDIFileSong::sEvent& note = Events(song, 0)[0];
    EXPECT_EQ(note.kind, eKind::Note);
    EXPECT_EQ(note.time, 256);
    EXPECT_EQ(note.length, 128);
    EXPECT_DOUBLE_EQ(note.seconds, 0.5);
    EXPECT_EQ(note.data.bytes[0], 60);
    EXPECT_EQ(note.data.bytes[1], 100);
}

TEST(MIDIFileRead, NoteOffsEndTheNewestNoteThatStartedBeforeThem)
{
    cMIDIFileSong song;
    const auto bytes = cMIDIFileBytes(1, 256)
                           .Track()
                           .Event(0, {0x90, 64, 90})
                           .Event(256, {0x90, 64, 91})
                           .Event(256, {0x80, 64, 0})
                           .Event(256, {0x90, 64, 0}) // velocity 0 is a note off
                           .Event(256, {0x91, 65, 92})
                           .Event(0, {0x81, 65, 0})
                           .End()
                           .Bytes();
    ASSERT_EQ(ReadMIDISong(bytes, song), 0);
    ASSERT_EQ(Events(song, 0).size(), 2u);
    EXPECT_EQ(Events(song, 0)[0].length, 768) << "the older note ends last";
    EXPECT_EQ(Events(song, 0)[1].length, 256) << "the newer note ends first";
    ASSERT_EQ(Events(song, 1).size(), 1u);
    EXPECT_EQ(Events(song, 1)[0].time, 1024);
    EXPECT_EQ(Events(song, 1)[0].length, 0) << "an off at its on's tick";
}

TEST(MIDIFileRead, SeventeenthOverlappingNoteOfAKeyIsKeptWithoutALength)
{
    cMIDIFileBytes file(0, 256);
    file.Track();
    for (int i = 0; i < 17; ++i)
        file.Event(1, {0x90, 70, 80});
    for (int i = 0; i < 17; ++i)
        file.Event(1, {0x80, 70, 0});
    cMIDIFileSong song;
    ASSERT_EQ(ReadMIDISong(file.End().Bytes(), song), 0);
    ASSERT_EQ(Events(song, 0).size(), 17u);
    for (int i = 0; i < 16; ++i)
        EXPECT_GT(Events(song, 0)[i].length, 0) << i;
    EXPECT_EQ(Events(song, 0)[16].length, 0);
}

TEST(MIDIFileRead, OnlyTheFirstTempoConvertsTimes)
{
    // 120 BPM, then 60 BPM from beat 4: beat 5 is at 3 s, which the first
    // tempo makes beat 6.
    const auto bytes = cMIDIFileBytes(1, 480)
                           .Track()
                           .Tempo(0, 500000)
                           .Tempo(4 * 480, 1000000)
                           .End()
                           .Track()
                           .Event(5 * 480, {0xB0, 7, 100})
                           .End()
                           .Bytes();
    cMIDIFileSong song;
    ASSERT_EQ(ReadMIDISong(bytes, song), 0);
    EXPECT_FLOAT_EQ(song.tempo, 120.0f);
    ASSERT_EQ(Events(song, 0).size(), 1u);
    EXPECT_EQ(Events(song, 0)[0].time, 1536);
    EXPECT_DOUBLE_EQ(Events(song, 0)[0].seconds, 3.0);
}

TEST(MIDIFileRead, ATempoOfZeroIsIgnoredWithTheFileLibrarysWarningInTheTrace)
{
    const auto bytes =
        cMIDIFileBytes(1, 256).Track().Tempo(0, 0).Tempo(0, 428571).End().Track().Event(512, {0xC0, 5}).End().Bytes();
    cMIDIFileSong song;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int result = ReadMIDISong(bytes, song);
    const std::string errors = testing::internal::GetCapturedStderr();
    const std::string trace = testing::internal::GetCapturedStdout();
    ASSERT_EQ(result, 0);
    EXPECT_EQ(errors, "");
    EXPECT_NE(trace.find("Ignoring invalid tempo change."), std::string::npos) << trace;
    EXPECT_NEAR(song.tempo, 140.0f, 1e-3);
    ASSERT_EQ(Events(song, 0).size(), 1u);
    EXPECT_EQ(Events(song, 0)[0].time, 512);
}

TEST(MIDIFileRead, EveryPulseOfADivision256FileIsItsTickAtAnyTempo)
{
    // Seconds computed through the tempo map land a rounding error either side
    // of a whole tick; below it, plain truncation lost a tick.
    for (uint32_t microseconds : {600000u, 428571u, 500000u, 451127u})
    {
        cMIDIFileBytes file(1, 256);
        file.Track().Tempo(0, microseconds).End().Track();
        std::vector<int32_t> expected;
        for (uint32_t tick = 0, step = 1; tick < 300000; tick += step, step = step * 7 % 613 + 1)
        {
            file.Event(step, {0xB0, 10, 64});
            expected.push_back(int32_t(tick + step));
        }
        cMIDIFileSong song;
        ASSERT_EQ(ReadMIDISong(file.End().Bytes(), song), 0);
        ASSERT_EQ(Events(song, 0).size(), expected.size());
        int lost = 0;
        for (size_t i = 0; i < expected.size(); ++i)
            lost += Events(song, 0)[i].time != expected[i];
        EXPECT_EQ(lost, 0) << microseconds << " us per beat";
    }
}

TEST(MIDIFileRead, TimesBeyondTheSongAreClampedToItsEnd)
{
    // At division 1 the largest time a track may hold is millions of hours.
    const auto bytes = cMIDIFileBytes(0, 1)
                           .Track()
                           .Event(0x0FFFFFFE, {0x90, 60, 100})
                           .Event(1, {0x80, 60, 0})
                           .Event(0, {0xB0, 1, 2})
                           .End()
                           .Bytes();
    cMIDIFileSong song;
    ASSERT_EQ(ReadMIDISong(bytes, song), 0);
    ASSERT_EQ(Events(song, 0).size(), 2u);
    EXPECT_EQ(Events(song, 0)[0].time, cMIDIFileSong::kSongEndTicks);
    EXPECT_EQ(Events(song, 0)[0].length, 0);
    EXPECT_EQ(Events(song, 0)[1].time, cMIDIFileSong::kSongEndTicks);
}

TEST(MIDIFileRead, MetaEventsSetTheSongAndTheirTracksChannels)
{
    const auto bytes = cMIDIFileBytes(1, 256)
                           .Track()
                           .Text(0, 0x03, "Song title")
                           .Meta(0, 0x58, {3, 3, 24, 8})
                           .Text(0, 0x06, "Intro")
                           .End()
                           .Track()
                           .Meta(256, 0x7F, {0x43, 0x10})
                           .Meta(0, 0x7F, {})
                           .Text(0, 0x06, "")
                           .Text(0, 0x01, "plain text")
                           .Event(0, {0xF0, 0x02, 0x7E, 0xF7})
                           .End()
                           .Bytes();
    cMIDIFileSong song;
    ASSERT_EQ(ReadMIDISong(bytes, song), 0);
    EXPECT_STREQ(song.name.CStr(), "Song title");
    EXPECT_EQ(song.numerator, 3);
    EXPECT_EQ(song.denominator, 3) << "the file's power of two";
    ASSERT_EQ(Events(song, 0).size(), 1u);
    EXPECT_EQ(Events(song, 0)[0].kind, eKind::Marker);
    EXPECT_STREQ(song.texts.at(Events(song, 0)[0].data.index).CStr(), "Intro");
    ASSERT_EQ(Events(song, 1).size(), 2u) << "sequencer data without bytes is dropped";
    const cMIDIFileSong::sEvent& data = Events(song, 1)[0];
    EXPECT_EQ(data.kind, eKind::SequencerData);
    EXPECT_EQ(data.time, 256);
    EXPECT_EQ(data.length, 2);
    EXPECT_EQ(song.dataBlocks.at(data.data.index), (std::vector<uint8_t>{0x43, 0x10}));
    EXPECT_EQ(Events(song, 1)[1].kind, eKind::Marker);
}

TEST(MIDIFileRead, MarkersOfTracksBeyondTheSixteenthAreDropped)
{
    cMIDIFileBytes file(1, 256);
    for (int track = 1; track <= 17; ++track)
        file.Track().Text(0, 0x06, "M").End();
    cMIDIFileSong song;
    ASSERT_EQ(ReadMIDISong(file.Bytes(), song), 0);
    for (int channel = 0; channel < 16; ++channel)
        EXPECT_EQ(Events(song, channel).size(), 1u) << channel;
    EXPECT_EQ(song.texts.size(), 16u);
}

TEST(MIDIFileRead, ChannelMessagesOfEachKind)
{
    const auto bytes = cMIDIFileBytes(0, 256)
                           .Track()
                           .Event(0, {0xB3, 7, 100})
                           .Event(0, {0xC3, 42})
                           .Event(0, {0xE3, 0x01, 0x40})
                           .Event(0, {0xA3, 60, 10})
                           .Event(0, {0xD3, 20})
                           .Raw({0x00, 0x7F}) // running status: another channel pressure
                           .Event(0, {0xB3, 10, 0})
                           .Raw({0x00, 11, 5}) // running status after a controller
                           .End()
                           .Bytes();
    cMIDIFileSong song;
    ASSERT_EQ(ReadMIDISong(bytes, song), 0);
    const auto& events = Events(song, 3);
    ASSERT_EQ(events.size(), 5u) << "pressure is not kept";
    EXPECT_EQ(events[0].kind, eKind::Controller);
    EXPECT_EQ(events[0].data.bytes[0], 7);
    EXPECT_EQ(events[0].data.bytes[1], 100);
    EXPECT_EQ(events[1].kind, eKind::Program);
    EXPECT_EQ(events[1].data.bytes[0], 42);
    EXPECT_EQ(events[2].kind, eKind::PitchBend);
    EXPECT_EQ(events[2].data.bend, 0x2001);
    EXPECT_EQ(events[4].data.bytes[0], 11);
    EXPECT_EQ(events[4].data.bytes[1], 5);
}

TEST(MIDIFileRead, EqualTimesTakeTheLowerTrackFirst)
{
    const auto bytes = cMIDIFileBytes(1, 256)
                           .Track()
                           .End()
                           .Track()
                           .Event(256, {0xB0, 1, 1})
                           .End()
                           .Track()
                           .Event(0, {0xB0, 1, 0})
                           .Event(256, {0xB0, 1, 2})
                           .End()
                           .Bytes();
    cMIDIFileSong song;
    ASSERT_EQ(ReadMIDISong(bytes, song), 0);
    std::vector<int> values;
    for (const auto& event : Events(song, 0))
        values.push_back(event.data.bytes[1]);
    EXPECT_EQ(values, (std::vector<int>{0, 1, 2}));
}

TEST(MIDIFileRead, NamesWaitForTheirOwnTracksChannelEvent)
{
    // Track 2 names itself at time 0 but plays only from beat 4; track 3
    // plays channel 2 at once and must not take track 2's names.
    const auto bytes = cMIDIFileBytes(1, 256)
                           .Track()
                           .Text(0, 0x03, "Title")
                           .End()
                           .Track()
                           .Text(0, 0x03, "Lead")
                           .Text(0, 0x04, "Kest : Saw")
                           .Event(1024, {0x94, 60, 100})
                           .Event(10, {0x84, 60, 0})
                           .End()
                           .Track()
                           .Event(0, {0x91, 40, 100})
                           .Event(10, {0x81, 40, 0})
                           .End()
                           .Bytes();
    cMIDIFileSong song;
    ASSERT_EQ(ReadMIDISong(bytes, song), 0);
    EXPECT_STREQ(song.channels[1].trackName.CStr(), "");
    EXPECT_STREQ(song.channels[1].instrumentName.CStr(), "");
    EXPECT_STREQ(song.channels[4].trackName.CStr(), "Lead");
    EXPECT_STREQ(song.channels[4].instrumentName.CStr(), "Kest : Saw");
    EXPECT_STREQ(song.name.CStr(), "Title");
}

TEST(MIDIFileRead, AFormat0TrackNameNamesItsChannelAndTheSongKeepsTheFileName)
{
    const auto bytes = cMIDIFileBytes(0, 256).Track().Text(0, 0x03, "Piano").Event(0, {0xC0, 1}).End().Bytes();
    cMIDIFileSong song;
    ASSERT_EQ(ReadMIDISong(bytes, song), 0);
    EXPECT_STREQ(song.channels[0].trackName.CStr(), "Piano");
    EXPECT_STREQ(song.name.CStr(), "MemoryRead");
    EXPECT_EQ(song.channels[0].bank, -1);
    EXPECT_EQ(song.channels[0].program, -1);
}

TEST(MIDIFileRead, TakesAtMost32768EventsOfTheFile)
{
    cMIDIFileBytes file(0, 256);
    file.Track();
    for (int i = 0; i < 40000; ++i)
        file.Event(1, {0xB0, 7, uint8_t(i & 0x7F)});
    cMIDIFileSong song;
    ASSERT_EQ(ReadMIDISong(file.End().Bytes(), song), 0);
    EXPECT_EQ(Events(song, 0).size(), 32768u);
    EXPECT_EQ(Events(song, 0).back().time, 32768);
}

TEST(MIDIFileRead, ReferenceSong)
{
    const std::vector<uint8_t> bytes = ReadBinaryFile(ReferenceSongPath());
    if (bytes.empty())
        GTEST_FAIL() << "no reference song at " << ReferenceSongPath();
    cMIDIFileSong song;
    ASSERT_EQ(ReadMIDISong(bytes, song), 0);
    EXPECT_STREQ(song.name.CStr(), "Reference song");
    EXPECT_FLOAT_EQ(song.tempo, 120.0f);
    EXPECT_EQ(song.numerator, 4);
    const int expectedNotes[16] = {600, 256, 768, 488, 960, 256, 0, 0, 0, 1542};
    const std::string expectedNames[16] = {"Bass",    "Pad A", "Pad B", "Lead", "Arpeggio",
                                           "Strings", "",      "",      "",     "Drums perc"};
    int volumes = 0, pans = 0, bends = 0, markers = 0;
    for (int channel = 0; channel < 16; ++channel)
    {
        int notes = 0;
        for (const cMIDIFileSong::sEvent& event : Events(song, channel))
        {
            if (event.kind == eKind::Note)
            {
                ++notes;
                EXPECT_GT(event.length, 0);
                EXPECT_LE(event.time + event.length, 64 * 1024);
            }
            volumes += event.kind == eKind::Controller && event.data.bytes[0] == 7;
            pans += event.kind == eKind::Controller && event.data.bytes[0] == 10;
            bends += event.kind == eKind::PitchBend;
            markers += event.kind == eKind::Marker;
        }
        EXPECT_EQ(notes, expectedNotes[channel]) << "channel " << channel + 1;
        EXPECT_EQ(song.channels[channel].trackName.CStr(), expectedNames[channel]) << "channel " << channel + 1;
    }
    EXPECT_EQ(volumes, 370);
    EXPECT_EQ(pans, 967);
    EXPECT_EQ(bends, 431);
    EXPECT_EQ(markers, 6) << "the conductor's markers land on the first channel";
}
