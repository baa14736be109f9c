#include <gtest/gtest.h>

#include <string>

#include "MIDITestHelpers.h"
#include "midi/FoldToASCII.h"
#include "midi/MIDIMessage.h"

TEST(MIDIMessageTest, RawBytesAreParsedByTheirStatus)
{
    struct cCase
    {
        const char* what;
        tBytes input;
        tBytes message;
        int32_t used;
    };
    const cCase cases[] = {
        {"note on", {0x90, 0x3C, 0x64, 0x3E}, {0x90, 0x3C, 0x64}, 3},
        {"program change", {0xC5, 0x07, 0x90}, {0xC5, 0x07}, 2},
        {"song position", {0xF2, 0x01, 0x02}, {0xF2, 0x01, 0x02}, 3},
        {"clock", {0xF8, 0x90}, {0xF8}, 1},
        {"data byte first", {0x3C}, {}, -1},
        {"sysex to its end", {0xF0, 0x7E, 0x01, 0x02, 0xF7, 0x90}, {0xF0, 0x01, 0x02, 0xF7}, 5},
        {"sysex ended by a status byte", {0xF0, 0x05, 0x01, 0x90}, {0xF0, 0x01}, 3},
        {"meta event", {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00}, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}, 6},
        {"meta length past the bytes", {0xFF, 0x01, 0x7F, 0x41, 0x42}, {0xFF, 0x01, 0x7F, 0x41, 0x42}, 5},
        // A live System Reset is one byte; nothing past it is read.
        {"lone reset", {0xFF}, {0xFF}, 1},
        {"meta without a length", {0xFF, 0x2F}, {0xFF, 0x2F}, 2},
        // Six continuation bytes claim far more than 32 bits hold.
        {"overlong meta length", {0xFF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}, {0xFF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}, 9},
    };
    for (const cCase& c : cases)
    {
        // The input sits at the end of its own block, so a read past the
        // count leaves it (and the sanitizers see it).
        const std::vector<uint8_t> exact(c.input);
        int32_t used = 0;
        const cMIDIMessage message(exact.data(), int32_t(exact.size()), used, 1.5);
        EXPECT_EQ(BytesOf(message), c.message) << c.what;
        EXPECT_EQ(used, c.used) << c.what;
        EXPECT_EQ(message.GetTimeStamp(), 1.5) << c.what;
    }
}

TEST(MIDIMessageTest, EventLengthsStayInsideTheBytesGiven)
{
    struct cCase
    {
        const char* what;
        tBytes input;
        int32_t length;
    };
    const cCase cases[] = {
        {"unfinished sysex", {0xF0, 0x01, 0x02}, 3},
        {"sysex to its end", {0xF0, 0x01, 0xF7, 0x90}, 3},
        {"sysex piece", {0xF7, 0x01, 0x02, 0xF7}, 4},
        {"note on", {0x90, 0x3C, 0x64, 0x00}, 3},
        {"cut note on", {0x90, 0x3C}, 2},
        {"data byte", {0x3C, 0x64}, 0},
        {"lone reset", {0xFF}, 1},
        {"meta", {0xFF, 0x03, 0x02, 0x41, 0x42, 0x43}, 5},
        {"meta claiming more", {0xFF, 0x03, 0x10, 0x41}, 4},
        {"overlong meta length", {0xFF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}, 9},
    };
    for (const cCase& c : cases)
    {
        const std::vector<uint8_t> exact(c.input);
        EXPECT_EQ(cMIDIMessage::GetEventLength(exact.data(), int32_t(exact.size())), c.length) << c.what;
    }
    EXPECT_EQ(cMIDIMessage::GetEventLength(nullptr, 0), 0);
}

TEST(MIDIMessageTest, VariableLengthQuantities)
{
    int32_t read = 0;
    const uint8_t value[] = {0x81, 0x80, 0x00, 0x55};
    EXPECT_EQ(cMIDIMessage::ReadVariableLength(value, 4, read), 0x4000);
    EXPECT_EQ(read, 3);
    // At most six bytes are read, and never past the count.
    const uint8_t endless[] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(cMIDIMessage::ReadVariableLength(endless, 8, read), (int64_t(1) << 42) - 1);
    EXPECT_EQ(read, 6);
    EXPECT_EQ(cMIDIMessage::ReadVariableLength(endless, 2, read), (1 << 14) - 1);
    EXPECT_EQ(read, 2);
}

TEST(MIDIMessageTest, BuildersClampTheChannel)
{
    EXPECT_EQ(BytesOf(cMIDIMessage::NoteOn(0, 60, int32_t(100))), (tBytes{0x90, 60, 100}));
    EXPECT_EQ(BytesOf(cMIDIMessage::NoteOn(17, 60, int32_t(100))), (tBytes{0x9F, 60, 100}));
    EXPECT_EQ(BytesOf(cMIDIMessage::NoteOn(2, 188, int32_t(300))), (tBytes{0x91, 60, 127}));
    EXPECT_EQ(BytesOf(cMIDIMessage::NoteOn(1, 60, 0.5f)), (tBytes{0x90, 60, 64}));
    EXPECT_EQ(BytesOf(cMIDIMessage::NoteOn(1, 60, -1.0f)), (tBytes{0x90, 60, 0}));
    EXPECT_EQ(BytesOf(cMIDIMessage::AllNotesOff(3)), (tBytes{0xB2, 123, 0}));
    EXPECT_EQ(BytesOf(cMIDIMessage::AllSoundOff(16)), (tBytes{0xBF, 120, 0}));
    EXPECT_EQ(BytesOf(cMIDIMessage::AllControllersOff(1)), (tBytes{0xB0, 121, 0}));
    // Note off names its channel as note on does: channel 16 must not become
    // a note on of channel 1.
    EXPECT_EQ(BytesOf(cMIDIMessage::NoteOff(1, 60)), (tBytes{0x80, 60, 0}));
    EXPECT_EQ(BytesOf(cMIDIMessage::NoteOff(16, 60)), (tBytes{0x8F, 60, 0}));
    EXPECT_EQ(BytesOf(cMIDIMessage()), (tBytes{0xF0, 0xF7}));
}

TEST(MIDIMessageTest, CopiesOwnTheirBytesAndViewsDoNot)
{
    const tBytes sysex = {0xF0, 1, 2, 3, 4, 5, 0xF7};
    cMIDIMessage original(sysex.data(), int32_t(sysex.size()), 2.0);
    cMIDIMessage copy(original);
    EXPECT_NE(copy.GetData(), original.GetData());
    EXPECT_EQ(BytesOf(copy), sysex);
    cMIDIMessage assigned(0xF8, 0.0);
    assigned = original;
    assigned = assigned;
    EXPECT_EQ(BytesOf(assigned), sysex);
    EXPECT_EQ(assigned.GetTimeStamp(), 2.0);

    cMIDIMessage view;
    view.AssignView(sysex.data(), int32_t(sysex.size()), 7.0);
    EXPECT_EQ(view.GetData(), sysex.data());
    EXPECT_EQ(view.GetTimeStamp(), 7.0);
    const cMIDIMessage fromView(view);
    EXPECT_NE(fromView.GetData(), sysex.data());
    EXPECT_EQ(BytesOf(fromView), sysex);
    // Short messages are copied inline even through a view.
    const tBytes note = {0x90, 60, 1};
    view.AssignView(note.data(), 3, 0.0);
    EXPECT_NE(view.GetData(), note.data());
    EXPECT_EQ(BytesOf(view), note);
    EXPECT_TRUE(view.IsNoteOnOrOff());
}

TEST(FoldToASCIITest, NamesBecomePlainASCII)
{
    struct cCase
    {
        std::string in;
        std::string out;
    };
    const cCase cases[] = {
        {"Caf\xC3\xA9 Keys", "Cafe Keys"},         // e-acute
        {"Stra\xC3\x9F" "e", "Strasse"},           // sharp s
        {"\xC3\x86 \xC3\x98 \xC3\xBF", "AE O y"},  // AE, O-slash, y-diaeresis
        {"\xC5\x93" "uvre", "!uvre"},              // a code unit above 0xFF
        {"\xC2\x9C", "oe"},                        // the C1 unit 0x9C
        {"Tab\there", "Tab\there"},                // control characters kept
        {"\x7F", "!"},
        {"Emoji \xF0\x9F\x8E\xB9", "Emoji !!"},    // two UTF-16 units
        {"Bad \xC3", "Bad !"},                     // cut short at the end
        {"Bad \xE2\x82z", "Bad !!z"},              // broken sequence
        {"\xC0\xAF", "!!"},                        // overlong
        {"\xFF\xFE", "!!"},
    };
    for (const cCase& c : cases)
        EXPECT_EQ(FoldToASCII(c.in), c.out) << c.in;
}
