#include "MIDIFileBytes.h"
#include "MIDIFileTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace
{
using eKind = cMIDIFileSong::eEventKind;

struct sFileEvent
{
    uint32_t time;
    std::vector<uint8_t> bytes; // status included, running status expanded

    bool operator==(const sFileEvent&) const = default;
};

// A plain reading of a written file, independent of the reader under test.
struct sParsedFile
{
    int format = -1;
    int division = 0;
    std::vector<std::vector<sFileEvent>> tracks;
};

uint32_t BigEndian(const uint8_t* bytes, int count)
{
    uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value = value << 8 | bytes[i];
    return value;
}

uint32_t ReadNumber(const std::vector<uint8_t>& bytes, size_t& position)
{
    uint32_t value = 0;
    uint8_t byte;
    do
    {
        byte = bytes.at(position++);
        value = value << 7 | (byte & 0x7F);
    } while (byte & 0x80);
    return value;
}

std::vector<sFileEvent> ParseTrack(const std::vector<uint8_t>& bytes, size_t position, size_t end)
{
    std::vector<sFileEvent> events;
    uint32_t time = 0;
    uint8_t running = 0;
    while (position < end)
    {
        time += ReadNumber(bytes, position);
        uint8_t status = bytes.at(position);
        if (status & 0x80)
            ++position;
        else
            status = running;
        sFileEvent event{time, {status}};
        size_t count = 0;
        if (status == 0xFF)
        {
            event.bytes.push_back(bytes.at(position++));
            const size_t start = position;
            count = ReadNumber(bytes, position);
            event.bytes.insert(event.bytes.end(), bytes.begin() + start, bytes.begin() + position);
        }
        else
        {
            running = status;
            count = (status & 0xE0) == 0xC0 ? 1 : 2;
        }
        event.bytes.insert(event.bytes.end(), bytes.begin() + position, bytes.begin() + position + count);
        position += count;
        events.push_back(event);
    }
    return events;
}

sParsedFile Parse(const std::vector<uint8_t>& bytes)
{
    sParsedFile file;
    if (bytes.size() < 14)
        return file;
    file.format = int(BigEndian(&bytes[8], 2));
    file.division = int(BigEndian(&bytes[12], 2));
    for (size_t position = 14; position + 8 <= bytes.size();)
    {
        const size_t length = BigEndian(&bytes[position + 4], 4);
        file.tracks.push_back(ParseTrack(bytes, position + 8, position + 8 + length));
        position += 8 + length;
    }
    return file;
}

sFileEvent At(uint32_t time, std::vector<uint8_t> bytes)
{
    return {time, std::move(bytes)};
}
const sFileEvent kEndOfTrack = At(0, {0xFF, 0x2F, 0x00});
} // namespace

TEST(MIDIFileWrite, FormatOneWithAConductorAndSixteenChannelTracks)
{
    cTempMount temp;
    cMIDIFileSong song;
    song.tempo = 140.0f;
    song.numerator = 3;
    song.channels[2].trackName = "Lead";
    song.channels[2].instrumentName = "Kest : Saw";
    song.AddNote(2, 512, 60, 100, 256);
    const sParsedFile file = Parse(WriteMIDISong(song));
    EXPECT_EQ(file.format, 1);
    EXPECT_EQ(file.division, 256);
    ASSERT_EQ(file.tracks.size(), 17u);
    const std::vector<sFileEvent> conductor = {At(0, {0xFF, 0x58, 0x04, 3, 2, 0x18, 0x08}),
                                               At(0, {0xFF, 0x51, 0x03, 0x06, 0x8A, 0x1B}), kEndOfTrack};
    EXPECT_EQ(file.tracks[0], conductor) << "no track name for a song without a name";
    const std::vector<sFileEvent> lead = {At(0, {0xFF, 0x03, 4, 'L', 'e', 'a', 'd'}),
                                          At(0, {0xFF, 0x04, 10, 'K', 'e', 's', 't', ' ', ':', ' ', 'S', 'a', 'w'}),
                                          At(512, {0x92, 60, 100}), At(768, {0x82, 60, 0}),
                                          At(768, {0xFF, 0x2F, 0x00})};
    EXPECT_EQ(file.tracks[3], lead);
    for (int track : {1, 2, 4, 16})
        EXPECT_EQ(file.tracks[track], std::vector<sFileEvent>{kEndOfTrack}) << track;
    EXPECT_TRUE(temp.TempIsEmpty()) << "the scratch file is removed";
}

TEST(MIDIFileWrite, ConductorCarriesTheSongsNameTempoAndTimeSignature)
{
    cTempMount temp;
    struct sCase
    {
        float tempo;
        int denominator;
        std::vector<uint8_t> tempoBytes;
        uint8_t power;
    } cases[] = {{120.0f, 4, {0x07, 0xA1, 0x20}, 2},
                 {100.0f, 8, {0x09, 0x27, 0xC0}, 3},
                 {60.0f, 32, {0x0F, 0x42, 0x40}, 5},
                 {90.0f, 3, {0x0A, 0x2C, 0x2A}, 3}};
    for (const sCase& c : cases)
    {
        cMIDIFileSong song;
        song.name = "My song";
        song.tempo = c.tempo;
        song.denominator = c.denominator;
        const sParsedFile file = Parse(WriteMIDISong(song));
        ASSERT_EQ(file.tracks.size(), 17u);
        std::vector<uint8_t> tempo = {0xFF, 0x51, 0x03};
        tempo.insert(tempo.end(), c.tempoBytes.begin(), c.tempoBytes.end());
        const std::vector<sFileEvent> conductor = {At(0, {0xFF, 0x58, 0x04, 4, c.power, 0x18, 0x08}), At(0, tempo),
                                                   At(0, {0xFF, 0x03, 7, 'M', 'y', ' ', 's', 'o', 'n', 'g'}),
                                                   kEndOfTrack};
        EXPECT_EQ(file.tracks[0], conductor) << c.tempo;
    }
}

TEST(MIDIFileWrite, EqualTimesKeepAStableOrder)
{
    cTempMount temp;
    cMIDIFileSong song;
    song.AddController(0, 0, 32, 3);
    song.AddProgram(0, 0, 5);
    song.AddNote(0, 0, 60, 90, 256);
    song.AddNote(0, 256, 60, 91, 256); // the same key struck again as the first ends
    song.AddNote(0, 256, 62, 92, 0);   // a note of no length
    song.AddController(0, 256, 7, 100);
    const sParsedFile file = Parse(WriteMIDISong(song));
    ASSERT_EQ(file.tracks.size(), 17u);
    const std::vector<sFileEvent> expected = {
        At(0, {0xB0, 32, 3}),    At(0, {0xC0, 5}),           At(0, {0x90, 60, 90}),   At(256, {0x80, 60, 0}),
        At(256, {0x90, 60, 91}), At(256, {0x90, 62, 92}),    At(256, {0xB0, 7, 100}), At(256, {0x80, 62, 0}),
        At(512, {0x80, 60, 0}),  At(512, {0xFF, 0x2F, 0x00})};
    EXPECT_EQ(file.tracks[1], expected);
}

TEST(MIDIFileWrite, EventsThatDoNotFitMIDIAreLeftOut)
{
    cTempMount temp;
    cMIDIFileSong song;
    song.AddController(4, 0, 32, -1);
    song.AddProgram(4, 0, -1);
    song.AddNote(4, 0, 200, 100, 10);
    song.AddController(4, 10, 7, 127);
    const sParsedFile file = Parse(WriteMIDISong(song));
    ASSERT_EQ(file.tracks.size(), 17u);
    EXPECT_EQ(file.tracks[5], (std::vector<sFileEvent>{At(10, {0xB4, 7, 127}), At(10, {0xFF, 0x2F, 0x00})}));
}

TEST(MIDIFileWrite, MarkersAndSequencerDataGoOnTheirChannelsTrack)
{
    cTempMount temp;
    cMIDIFileSong song;
    song.AddMarker(0, 0, "Intro");
    song.AddMarker(0, 1024, "");
    const uint8_t data[] = {0x43, 0x7B, 0x00};
    song.AddSequencerData(0, 2048, data, 3);
    const sParsedFile file = Parse(WriteMIDISong(song));
    ASSERT_EQ(file.tracks.size(), 17u);
    const std::vector<sFileEvent> expected = {At(0, {0xFF, 0x06, 5, 'I', 'n', 't', 'r', 'o'}),
                                              At(1024, {0xFF, 0x06, 0}), At(2048, {0xFF, 0x7F, 3, 0x43, 0x7B, 0x00}),
                                              At(2048, {0xFF, 0x2F, 0x00})};
    EXPECT_EQ(file.tracks[1], expected);
}

TEST(MIDIFileWrite, SongsAFileCannotHoldAreRefused)
{
    cTempMount temp;
    for (float tempo : {0.0f, -120.0f, 3.0f})
    {
        cMIDIFileSong song;
        song.tempo = tempo;
        EXPECT_TRUE(WriteMIDISong(song).empty()) << tempo;
    }
}

TEST(MIDIFileWrite, ReadingWhatWasWrittenGivesTheSameEvents)
{
    cTempMount temp;
    for (float tempo : {100.0f, 120.0f, 140.0f, 133.0f})
    {
        cMIDIFileSong song;
        song.tempo = tempo;
        for (int channel = 0; channel < 16; channel += 3)
            for (int i = 0; i < 200; ++i)
            {
                const int32_t time = i * 97 + channel * 5;
                song.AddNote(channel, time, 30 + i % 60, 1 + i % 127, 1 + i * 13 % 700);
                song.AddController(channel, time + 3, 7 + i % 3, i % 128);
                song.AddPitchBend(channel, time + 50, i * 81 % 16384);
                if (i % 50 == 0)
                    song.AddProgram(channel, time, i % 128);
            }
        cMIDIFileSong read;
        ASSERT_EQ(ReadMIDISong(WriteMIDISong(song), read), 0) << tempo;
        EXPECT_NEAR(read.tempo, tempo, 1e-3);
        for (int channel = 0; channel < 16; ++channel)
        {
            std::multiset<std::tuple<int, int32_t, int, int, int32_t>> written, reread;
            for (const auto& event : song.channels[channel].events)
                written.insert({int(event.kind), event.time, event.data.bytes[0], event.data.bytes[1], event.length});
            for (const auto& event : read.channels[channel].events)
                reread.insert({int(event.kind), event.time, event.data.bytes[0], event.data.bytes[1], event.length});
            EXPECT_EQ(written, reread) << "channel " << channel << " at " << tempo;
        }
    }
}

TEST(MIDIFileWrite, AFailedWriteLeavesTheEarlierFileUntouched)
{
    cTempMount temp;
    temp.Folder().Write("Doc/Song.mid", "earlier file");
    File::cFileSystemDisk doc("Doc", (temp.Folder() / "Doc").c_str());
    cMIDIFileSong song;
    song.tempo = 0.0f;
    File::cFile* target = doc.Open("Song.mid", File::kModeWrite, File::kFlagSafeWrite);
    ASSERT_NE(target, nullptr);
    EXPECT_TRUE(cMIDIFileConverter(&song, target).Write());
    target->Close(true);
    delete target;
    EXPECT_EQ(temp.Folder().Read("Doc/Song.mid"), "earlier file");
    EXPECT_FALSE(temp.Folder().Exists("Doc/Song.mid.tmp"));
    EXPECT_TRUE(temp.TempIsEmpty());
}

TEST(MIDIFileWrite, WithoutATempMountNothingIsWritten)
{
    cMIDIFileSong song;
    File::cFileMemoryWrite file;
    EXPECT_TRUE(cMIDIFileConverter(&song, &file).Write());
    EXPECT_EQ(file.GetLength(), 0);
}

TEST(MIDIFileWrite, TheReferenceSongWrittenAgainReadsTheSameAndPlaysElsewhere)
{
    const std::vector<uint8_t> original = ReadBinaryFile(ReferenceSongPath());
    if (original.empty())
        GTEST_FAIL() << "no reference song at " << ReferenceSongPath();
    cTempMount temp;
    cMIDIFileSong song, reread;
    ASSERT_EQ(ReadMIDISong(original, song), 0);
    const std::vector<uint8_t> written = WriteMIDISong(song);
    ASSERT_EQ(ReadMIDISong(written, reread), 0);
    int notes = 0;
    for (int channel = 0; channel < 16; ++channel)
    {
        std::vector<std::tuple<int, int32_t, int, int, int32_t>> before, after;
        for (const auto& event : song.channels[channel].events)
            if (event.kind != eKind::Marker)
                before.push_back({int(event.kind), event.time, event.data.bytes[0], event.data.bytes[1], event.length});
        for (const auto& event : reread.channels[channel].events)
            if (event.kind != eKind::Marker)
                after.push_back({int(event.kind), event.time, event.data.bytes[0], event.data.bytes[1], event.length});
        EXPECT_EQ(before, after) << "channel " << channel + 1;
        for (const auto& event : after)
            notes += std::get<0>(event) == int(eKind::Note);
    }
    EXPECT_EQ(notes, 4870);

    // Another player renders the written file: every note sounds once.
    const sRendering rendering = RenderElsewhere(written, temp.Folder().Path());
    if (!rendering.available)
        GTEST_SKIP() << "fluidsynth or its General MIDI sound font is not installed";
    EXPECT_EQ(rendering.noteIds, 4870u);
    EXPECT_GT(rendering.loudest, 1000) << "the rendering is silent";
}
