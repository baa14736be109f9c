#include "MIDIFileBytes.h"
#include "MIDIFileTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
std::vector<uint8_t> OneTrack(std::initializer_list<uint8_t> trackBytes)
{
    return cMIDIFileBytes(0, 96).Track().Raw(trackBytes).Bytes();
}

std::vector<uint8_t> WithByte(std::vector<uint8_t> bytes, size_t position, uint8_t value)
{
    bytes.at(position) = value;
    return bytes;
}

std::vector<uint8_t> Truncated(std::vector<uint8_t> bytes, size_t length)
{
    bytes.resize(length);
    return bytes;
}

const std::vector<uint8_t> kGood = OneTrack({0x00, 0x90, 60, 100, 0x10, 0x80, 60, 0, 0x00, 0xFF, 0x2F, 0x00});

struct sRefusedCase
{
    const char* what;
    std::vector<uint8_t> bytes;
};
} // namespace

TEST(MIDIFileValidator, RefusesMalformedFilesBeforeTheyAreParsed)
{
    const sRefusedCase cases[] = {
        {"empty", {}},
        {"no header id", WithByte(kGood, 0, 'X')},
        {"header shorter than 6", WithByte(kGood, 7, 5)},
        {"header longer than the file", WithByte(kGood, 6, 1)},
        {"format 3", WithByte(kGood, 9, 3)},
        {"division 0", WithByte(WithByte(kGood, 12, 0), 13, 0)},
        {"time-code division", WithByte(kGood, 12, 0xE7)},
        {"track chunk claims more than the file", WithByte(kGood, 21, 13)},
        {"no tracks", cMIDIFileBytes(1, 96).Bytes()},
        {"no track among the chunks", WithByte(kGood, 14, 'X')},
        {"chunk header cut", Truncated(cMIDIFileBytes(0, 96, 2).Track().End().Track().Bytes(), 24 + 5)},
        {"event cut at the chunk end", OneTrack({0x00, 0x90, 60})},
        {"delta without an event", OneTrack({0x00, 0xC0, 1, 0x10})},
        {"five-byte delta", OneTrack({0x81, 0x81, 0x81, 0x81, 0x01, 0xC0, 1})},
        {"running status at the start", OneTrack({0x00, 60, 100})},
        {"running status after system exclusive", OneTrack({0x00, 0xF0, 0x01, 0xF7, 0x00, 60, 100})},
        {"running status after a meta event", OneTrack({0x00, 0xC0, 1, 0x00, 0xFF, 0x01, 0x00, 0x00, 2})},
        {"status byte as data", OneTrack({0x00, 0x90, 60, 0x90})},
        {"system common status", OneTrack({0x00, 0xF2, 0x00, 0x00})},
        {"meta longer than the chunk", OneTrack({0x00, 0xFF, 0x01, 0x05, 'a'})},
        {"meta length of five bytes", OneTrack({0x00, 0xFF, 0x01, 0x81, 0x81, 0x81, 0x81, 0x00})},
        {"system exclusive longer than the chunk", OneTrack({0x00, 0xF0, 0x05, 0x01, 0xF7})},
        {"tempo of 2 bytes", OneTrack({0x00, 0xFF, 0x51, 0x02, 0x07, 0xA1})},
        {"time signature of 3 bytes", OneTrack({0x00, 0xFF, 0x58, 0x03, 4, 2, 24})},
        {"end of track with data", OneTrack({0x00, 0xFF, 0x2F, 0x01, 0x00})},
        {"track longer than a file can time", OneTrack({0xFF, 0xFF, 0xFF, 0x7F, 0xC0, 1, 0x01, 0xC0, 2})},
    };
    for (const sRefusedCase& refused : cases)
    {
        cMIDIFileSong song;
        EXPECT_EQ(ReadMIDISong(refused.bytes, song), 1) << refused.what;
    }
    cMIDIFileSong song;
    EXPECT_EQ(ReadMIDISong(kGood, song), 0);
    ASSERT_EQ(song.channels[0].events.size(), 1u);
    EXPECT_EQ(song.channels[0].events[0].length, 42) << "16 pulses of 96 are 42.67 ticks";
}

TEST(MIDIFileValidator, RepairsWhatTheFileLibraryWouldAbortOn)
{
    // A track without its end, an empty escape and system-exclusive data:
    // the notes around them are read as the file has them, and nothing after
    // a track's end is read.
    const auto bytes = cMIDIFileBytes(1, 96)
                           .Track()
                           .Event(0, {0xF7, 0x00})
                           .Event(0, {0xF0, 0x03, 0x7E, 0x7F, 0xF7})
                           .Event(96, {0x90, 60, 100})
                           .Event(0, {0xF7, 0x02, 0x90, 0x40})
                           .Event(48, {0x80, 60, 0})
                           .Track()
                           .Event(0, {0x91, 62, 100})
                           .Event(96, {0x81, 62, 0})
                           .End()
                           .Raw({0x00, 0x91, 0x99}) // after the end: never read
                           .Bytes();
    cMIDIFileSong song;
    ASSERT_EQ(ReadMIDISong(bytes, song), 0);
    ASSERT_EQ(song.channels[0].events.size(), 1u);
    EXPECT_EQ(song.channels[0].events[0].time, 256);
    EXPECT_EQ(song.channels[0].events[0].length, 128);
    ASSERT_EQ(song.channels[1].events.size(), 1u);
    EXPECT_EQ(song.channels[1].events[0].length, 256);
}

TEST(MIDIFileValidator, LeavesOutChunksItDoesNotKnowAndTracksBeyondTheCount)
{
    std::vector<uint8_t> bytes = cMIDIFileBytes(1, 96, 2)
                                     .Track()
                                     .Event(0, {0xC0, 1})
                                     .End()
                                     .Track()
                                     .Event(0, {0xC1, 2})
                                     .End()
                                     .Track()
                                     .Event(0, {0xC2, 3})
                                     .End()
                                     .Bytes();
    // An unknown chunk between the first two tracks.
    const std::vector<uint8_t> unknown = {'X', 'F', 'I', 'H', 0, 0, 0, 2, 0xAB, 0xCD};
    bytes.insert(bytes.begin() + 14 + 8 + 7, unknown.begin(), unknown.end());
    cMIDIFileSong song;
    ASSERT_EQ(ReadMIDISong(bytes, song), 0);
    EXPECT_EQ(song.channels[0].events.size(), 1u);
    EXPECT_EQ(song.channels[1].events.size(), 1u);
    EXPECT_EQ(song.channels[2].events.size(), 0u) << "the header counts two tracks";
}
