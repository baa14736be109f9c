#include <gtest/gtest.h>

#include "MIDITestHelpers.h"
#include "midi/MIDIByteAssembler.h"

namespace
{
// Pushes each packet at its own time, as a device's events arrive.
std::vector<tBytes> Assemble(const std::vector<tBytes>& packets, cRecordingCallback& callback)
{
    cMIDIByteAssembler assembler;
    double time = 1.0;
    for (const tBytes& packet : packets)
    {
        assembler.Push(packet.data(), int32_t(packet.size()), time, callback, nullptr);
        time += 1.0;
    }
    return callback.MessageBytes();
}

std::vector<tBytes> Assemble(const std::vector<tBytes>& packets)
{
    cRecordingCallback callback;
    return Assemble(packets, callback);
}
} // namespace

TEST(MIDIByteAssemblerTest, ShortMessages)
{
    struct cCase
    {
        const char* what;
        std::vector<tBytes> packets;
        std::vector<tBytes> messages;
    };
    const cCase cases[] = {
        {"running status", {{0x90, 0x3C, 0x64, 0x3E, 0x64}}, {{0x90, 0x3C, 0x64}, {0x90, 0x3E, 0x64}}},
        {"running status across packets", {{0xB0, 0x07, 0x10}, {0x07, 0x20}}, {{0xB0, 0x07, 0x10}, {0xB0, 0x07, 0x20}}},
        {"clock inside a note", {{0x90, 0xF8, 0x3C, 0x64}}, {{0xF8}, {0x90, 0x3C, 0x64}}},
        {"active sensing", {{0xFE}}, {{0xFE}}},
        {"two-byte messages", {{0xC1, 0x05, 0xD1, 0x40}}, {{0xC1, 0x05}, {0xD1, 0x40}}},
        {"data first without running status", {{0x3C, 0x64, 0x90, 0x3C, 0x64}}, {}},
        {"data first, later packets still read", {{0x3C}, {0x80, 0x3C, 0x00}}, {{0x80, 0x3C, 0x00}}},
        // A live System Reset is one byte, whatever follows it.
        {"reset", {{0xFF}, {0xFF, 0x90, 0x3C, 0x64}}, {{0xFF}, {0xFF}, {0x90, 0x3C, 0x64}}},
    };
    for (const cCase& c : cases)
        EXPECT_EQ(Assemble(c.packets), c.messages) << c.what;
}

TEST(MIDIByteAssemblerTest, SysexInTwoPiecesIsDeliveredOnceWithTheTimeOfItsStart)
{
    cRecordingCallback callback;
    const std::vector<tBytes> messages = Assemble({{0xF0, 0x43, 0x10}, {0x4C, 0x00, 0xF7}}, callback);
    ASSERT_EQ(messages, (std::vector<tBytes>{{0xF0, 0x43, 0x10, 0x4C, 0x00, 0xF7}}));
    EXPECT_EQ(callback.messages[0].time, 1.0);
    ASSERT_EQ(callback.partials.size(), 1u);
    EXPECT_EQ(callback.partials[0].bytes, (tBytes{0xF0, 0x43, 0x10}));
}

TEST(MIDIByteAssemblerTest, SysexWithRealTimeAndFollowingMessages)
{
    struct cCase
    {
        const char* what;
        std::vector<tBytes> packets;
        std::vector<tBytes> messages;
    };
    const cCase cases[] = {
        {"clock inside sysex", {{0xF0, 0x01, 0xF8, 0x02, 0xF7}}, {{0xF8}, {0xF0, 0x01, 0x02, 0xF7}}},
        {"message after sysex", {{0xF0, 0x01, 0xF7, 0x90, 0x3C, 0x64}}, {{0xF0, 0x01, 0xF7}, {0x90, 0x3C, 0x64}}},
        {"no running status after sysex", {{0x90, 0x3C, 0x64}, {0xF0, 0x01, 0xF7, 0x3C, 0x00}}, {{0x90, 0x3C, 0x64}, {0xF0, 0x01, 0xF7}}},
        {"new sysex restarts", {{0xF0, 0x01}, {0xF0, 0x02, 0xF7}}, {{0xF0, 0x02, 0xF7}}},
        // A status byte inside an unfinished sysex ends it for good and is
        // read as its own message instead of stalling the device.
        {"status inside sysex", {{0xF0, 0x01, 0x90, 0x3C, 0x64}}, {{0x90, 0x3C, 0x64}}},
        {"song select inside sysex", {{0xF0, 0x01, 0xF3, 0x05}}, {{0xF3, 0x05}}},
    };
    for (const cCase& c : cases)
        EXPECT_EQ(Assemble(c.packets), c.messages) << c.what;
}

TEST(MIDIByteAssemblerTest, EndlessSysexIsCappedAndDropped)
{
    cRecordingCallback callback;
    cMIDIByteAssembler assembler;
    const tBytes start = {0xF0, 0x7D};
    assembler.Push(start.data(), 2, 1.0, callback, nullptr);
    const tBytes data(1000, 0x11);
    for (int i = 0; i < 200; ++i)
        assembler.Push(data.data(), int32_t(data.size()), 2.0, callback, nullptr);
    EXPECT_LE(assembler.GetPendingCapacity(), cMIDIByteAssembler::kMaxSysexBytes);
    EXPECT_LE(assembler.GetPendingCount(), cMIDIByteAssembler::kMaxSysexBytes);

    // Its end is swallowed with it; the device then reads normally again,
    // real-time bytes included.
    const tBytes end = {0x11, 0xF8, 0xF7, 0x90, 0x3C, 0x64};
    assembler.Push(end.data(), int32_t(end.size()), 3.0, callback, nullptr);
    EXPECT_EQ(callback.MessageBytes(), (std::vector<tBytes>{{0xF8}, {0x90, 0x3C, 0x64}}));
    EXPECT_EQ(assembler.GetPendingCount(), 0);

    // A sysex just inside the cap still arrives whole.
    cRecordingCallback fits;
    cMIDIByteAssembler fresh;
    tBytes largest(cMIDIByteAssembler::kMaxSysexBytes, 0x22);
    largest.front() = 0xF0;
    largest.back() = 0xF7;
    fresh.Push(largest.data(), int32_t(largest.size()), 1.0, fits, nullptr);
    ASSERT_EQ(fits.messages.size(), 1u);
    EXPECT_EQ(fits.messages[0].bytes.size(), largest.size());
}
