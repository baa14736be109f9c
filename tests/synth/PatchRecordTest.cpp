#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "PresetFixtures.h"
#include "instruments/synth/AnalogueSynthMulti.h"
#include "instruments/synth/AnalogueSynthSingle.h"

namespace
{
// A single with a value of its own in every stored field.
cAnalogueSynthSingle DistinctSingle()
{
    cAnalogueSynthSingle s;
    s.SetName("Distinct Lead");
    s.Polyphony = 6, s.Octave = 3, s.GlideTime = 0.75f, s.BendRange = 7, s.Send1 = 0.25f, s.Send2 = 0.5f, s.Accel = 2;
    s.Osc.Osc1 = {22, 12.0f, -0.5f};
    s.Osc.Osc2 = {30, -7.0f, 0.25f};
    s.Osc.Mod = 4, s.Osc.Detune = 0.125f, s.Osc.Mix = 0.8f;
    s.Sample = {-5, 33, 0.9f, 2, 0, 4};
    s.Filter.Type = 3, s.Filter.Slope = 1, s.Filter.Cutoff = 0.6f, s.Filter.Q = 0.3f, s.Filter.Track = 1;
    s.Filter.fifth = 0.7f;
    s.FilterEnv = {1, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 1};
    s.AmpEnv = {2, 0.15f, 0.25f, 0.35f, 0.45f, 0.55f, 0};
    s.AuxEnv = {0, 0.6f, 0.7f, 0.8f, 0.9f, 0.95f, 1};
    for (int i = 0; i < 4; ++i)
        s.GetLFO(i) = {i, 1.5f + i, 3 + i, 0.1f * float(i + 1), 0.2f * float(i), i % 3};
    for (int row = 0; row < cModMatrix::kRowCount; ++row)
        s.Mod.rows[row] = {row % 16, row % 2, row * 7 - 30};
    s.WS = {1, 5, 0.4f, 0.6f, 0.7f};
    s.CD.Type = 3, s.CD.Enable = 1, s.CD.Sync = 0, s.CD.CRate = 0.2f, s.CD.CDelay = 0.03f, s.CD.CDepth = 0.1f;
    s.CD.CFeedback = 0.3f, s.CD.DTime = 0.6f, s.CD.DBeatTime = 5, s.CD.DFeedback = 0.4f, s.CD.DAmount = 0.5f;
    for (int i = 0; i < cControllerValues::kCount; ++i)
        s.Ctrl.values[i] = 0.1f * float(i + 1);
    return s;
}

cAnalogueSynthMulti DistinctMulti()
{
    cAnalogueSynthMulti m;
    m.SetName("Split Keys");
    for (int i = 0; i < 4; ++i)
        m.layers[i] = {0x100 * i + i, 0.5f + 0.1f * float(i), i % 2, i - 2, 10 * i, 60 + 10 * i};
    m.WS = {1, 7, 0.2f, 0.3f, 0.4f};
    m.CD.Type = 2, m.CD.DAmount = 0.9f, m.CD.DBeatTime = 1;
    for (int i = 0; i < cControllerValues::kCount; ++i)
        m.Ctrl.values[i] = 0.05f * float(i + 1);
    m.Send1 = 0.3f, m.Send2 = 0.6f, m.Octave = -1, m.Accel = 1;
    return m;
}

uint32_t WordAt(const std::string& bytes, size_t offset)
{
    uint32_t word;
    std::memcpy(&word, bytes.data() + offset, 4);
    return word;
}
} // namespace

TEST(PatchRecordTest, InitValues)
{
    const cAnalogueSynthSingle s;
    EXPECT_STREQ(s.Name, "<EMPTY>");
    EXPECT_EQ(s.Osc.Osc1.Wave, 3);
    EXPECT_EQ(s.Osc.Osc2.Wave, 3);
    EXPECT_EQ(s.Filter.Type, 1);
    EXPECT_EQ(s.FilterEnv.Flags, 3u);
    EXPECT_FLOAT_EQ(s.FilterEnv.R, 0.25f);
    EXPECT_FLOAT_EQ(s.AmpEnv.R, 0.0f);
    EXPECT_FLOAT_EQ(s.AuxEnv.Amount, 0.0f);
    EXPECT_EQ(s.LFO3.Shape, 5);
    EXPECT_FLOAT_EQ(s.LFO4.Rate, 4.41f);
    EXPECT_EQ(s.Mod.rows[10].Dest, cModMatrix::kDestSendFX);
    EXPECT_FLOAT_EQ(s.WS.Out, 0.82f);
    EXPECT_EQ(s.Polyphony, 4);
    EXPECT_FLOAT_EQ(s.GlideTime, 0.1f);
    EXPECT_EQ(s.Sample.Loop, 1);

    const cAnalogueSynthMulti m;
    EXPECT_EQ(m.layers[0].Index, 0);
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(m.layers[i].Index, -1);
    EXPECT_EQ(m.layers[3].KeyMax, 127);
    EXPECT_STREQ(m.Name, "<EMPTY>");
}

TEST(PatchRecordTest, ClearingKeepsOnlyTheControllerValues)
{
    cAnalogueSynthSingle s = DistinctSingle();
    s.Clear();
    cAnalogueSynthSingle expected;
    expected.Ctrl = DistinctSingle().Ctrl;
    EXPECT_EQ(WriteRecord(s), WriteRecord(expected));
    EXPECT_FLOAT_EQ(s.Ctrl.values[2], 0.3f);

    cAnalogueSynthMulti m = DistinctMulti();
    m.Clear();
    EXPECT_EQ(m.layers[1].Index, -1);
    EXPECT_STREQ(m.Name, "<EMPTY>");
    EXPECT_FLOAT_EQ(m.Ctrl.values[8], 0.45f);
}

// The writer follows the layout field by field: 640 bytes for a single, 236
// for a multi, with each section's version word where the layout puts it.
TEST(PatchRecordTest, BinaryLayoutsAndSizes)
{
    cAnalogueSynthSingle s = DistinctSingle();
    const std::string single = WriteRecord(s);
    ASSERT_EQ(single.size(), 640u);
    EXPECT_EQ(single, EncodeSingle(s, false));
    struct cOffset
    {
        size_t offset;
        uint32_t word;
    };
    // Patch version, then the version word of each section.
    const cOffset sections[] = {{0, 3},   {56, 1},  {104, 2}, {132, 1}, {156, 1}, {188, 1}, {220, 2},
                                {248, 2}, {276, 2}, {304, 2}, {332, 1}, {364, 1}, {544, 1}, {568, 2}, {616, 1}};
    for (const cOffset& c : sections)
        EXPECT_EQ(WordAt(single, c.offset), c.word) << c.offset;
    EXPECT_EQ(std::string(single.data() + 4), "Distinct Lead");
    EXPECT_EQ(WordAt(single, 28), 6u); // Polyphony

    cAnalogueSynthMulti m = DistinctMulti();
    const std::string multi = WriteRecord(m);
    ASSERT_EQ(multi.size(), 236u);
    EXPECT_EQ(multi, EncodeMulti(m));
    EXPECT_EQ(WordAt(multi, 0), 0xEEEEEEEEu);
    EXPECT_EQ(WordAt(multi, 28 + 24), 0x101u); // layer 1's Index
    EXPECT_EQ(WordAt(multi, 124), 1u);         // WS version
    EXPECT_EQ(WordAt(multi, 228), uint32_t(-1)); // Octave
}

TEST(PatchRecordTest, RoundTripsKeepEveryStoredField)
{
    cAnalogueSynthSingle s = DistinctSingle();
    const std::string bytes = WriteRecord(s);
    cAnalogueSynthSingle read;
    const cReadResult result = ReadRecord(bytes, read);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.remaining, 0);
    EXPECT_EQ(WriteRecord(read), bytes);
    EXPECT_EQ(read.Sample.NoteSlice, 4);
    EXPECT_EQ(read.GetLFO(3).BeatRate, 6);
    // Neither the filter's fifth value nor controller values 0 to 3 are stored.
    EXPECT_FLOAT_EQ(read.Filter.fifth, 0.0f);
    for (int i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(read.Ctrl.values[i], 0.0f) << i;
    EXPECT_FLOAT_EQ(read.Ctrl.values[4], 0.5f);

    cAnalogueSynthMulti m = DistinctMulti();
    const std::string multiBytes = WriteRecord(m);
    cAnalogueSynthMulti readMulti;
    ASSERT_TRUE(ReadRecord(multiBytes, readMulti).ok);
    EXPECT_EQ(WriteRecord(readMulti), multiBytes);
    EXPECT_EQ(readMulti.layers[3].Index, 0x303);
}

// Older writers stored 0xDDDDDDDD for the version: such records have no
// section version words and no NoteSlice. Which legacy version they are
// depends on their container.
TEST(PatchRecordTest, LegacyRecordsReadByTheirContainersRules)
{
    cAnalogueSynthSingle source = DistinctSingle();
    source.LFO1.BeatRate = 2; // "1/4" in the old list
    source.CD.DAmount = 0.5f;
    source.CD.CDelay = 0.1f;
    const std::string legacy = EncodeSingle(source, true);
    ASSERT_EQ(legacy.size(), 528u);

    struct cCase
    {
        const char* name;
        int fileVersion;
        int legacyVersion;
    };
    const cCase cases[] = {{"Instruments/Kest/GlobalA.bnk", 1, 1},
                           {"Instruments/Kest/GlobalA.bnk", 3, 2},
                           {"Song.prj/Kest.bnk.bak", 2, 2},
                           {"MemoryRead", 2, 1},
                           {"MemoryRead", 3, 2},
                           {"MemoryRead", 6, 2}};
    for (const cCase& c : cases)
    {
        cAnalogueSynthSingle read;
        const cReadResult result = ReadRecord(legacy, read, c.name, c.fileVersion);
        SCOPED_TRACE(std::string(c.name) + " version " + std::to_string(c.fileVersion));
        ASSERT_TRUE(result.ok);
        EXPECT_EQ(result.remaining, 0);
        EXPECT_EQ(result.legacyVersion, c.legacyVersion);
        EXPECT_EQ(read.Sample.NoteSlice, 0);
        EXPECT_EQ(read.LFO1.BeatRate, 4);
        EXPECT_STREQ(read.Name, "Distinct Lead");
        EXPECT_FLOAT_EQ(read.Osc.Mix, 0.8f);
        EXPECT_EQ(read.Mod.rows[5].Amt, 5);
        EXPECT_FLOAT_EQ(read.Ctrl.values[8], 0.9f);
        // Version 1 had a gentler delay amount and a shorter chorus delay.
        EXPECT_FLOAT_EQ(read.CD.DAmount, c.legacyVersion == 1 ? 0.25f : 0.5f);
        EXPECT_FLOAT_EQ(read.CD.CDelay, c.legacyVersion == 1 ? 0.35f : 0.1f);
    }
}

// Once a stream has met a legacy record, the records after it on the same
// stream read as legacy too, multis included (224 bytes without versions).
TEST(PatchRecordTest, ALegacyStreamStaysLegacy)
{
    cAnalogueSynthSingle s = DistinctSingle();
    cAnalogueSynthMulti m = DistinctMulti();
    const std::string legacyMulti = EncodeMulti(m, true);
    ASSERT_EQ(legacyMulti.size(), 224u);
    cNamedMemoryRead stream(EncodeSingle(s, true) + EncodeSingle(s, true) + legacyMulti, "MemoryRead", 3);
    cAnalogueSynthSingle first, second;
    cAnalogueSynthMulti multi;
    ASSERT_TRUE(first.SerialiseBinary(stream));
    ASSERT_TRUE(second.SerialiseBinary(stream));
    ASSERT_TRUE(multi.SerialiseBinary(stream));
    EXPECT_EQ(stream.GetRemaining(), 0);
    EXPECT_EQ(WriteRecord(multi), WriteRecord(m));
}

TEST(PatchRecordTest, RefusedRecordsChangeNothing)
{
    const cAnalogueSynthSingle s = DistinctSingle();
    const std::string bytes = EncodeSingle(s, false);
    struct cCase
    {
        const char* what;
        std::string bytes;
    };
    std::string newer = bytes;
    newer[0] = 4;
    const cCase cases[] = {{"version 4", newer},
                           {"one byte short", bytes.substr(0, 639)},
                           {"cut in the matrix", bytes.substr(0, 400)},
                           {"cut in the name", bytes.substr(0, 20)},
                           {"cut in the version", bytes.substr(0, 3)},
                           {"empty", std::string()}};
    for (const cCase& c : cases)
    {
        cAnalogueSynthSingle read;
        read.SetName("Kept");
        EXPECT_FALSE(ReadRecord(c.bytes, read).ok) << c.what;
        EXPECT_STREQ(read.Name, "Kept") << c.what;
        EXPECT_EQ(WriteRecord(read), [] {
            cAnalogueSynthSingle kept;
            kept.SetName("Kept");
            return WriteRecord(kept);
        }()) << c.what;
    }

    cAnalogueSynthMulti m = DistinctMulti();
    std::string multiBytes = EncodeMulti(m);
    const std::string cut = multiBytes.substr(0, 235);
    multiBytes[0] = 0x00; // not the multi marker
    for (const std::string& bad : {multiBytes, cut})
    {
        cAnalogueSynthMulti read;
        const cReadResult result = ReadRecord(bad, read);
        EXPECT_FALSE(result.ok);
        EXPECT_STREQ(read.Name, "<EMPTY>");
    }
    cAnalogueSynthMulti read;
    EXPECT_EQ(ReadRecord(multiBytes, read).remaining, 236 - 4); // nothing after the marker is read
}

// A name is 24 bytes with no room promised for a terminator: the last byte
// is cleared on reading, the others are kept, so written names round-trip.
TEST(PatchRecordTest, NamesEndInsideTheirField)
{
    cAnalogueSynthSingle s;
    s.SetName("A name that is far longer than the field");
    EXPECT_STREQ(s.Name, "A name that is far long");
    std::string bytes = WriteRecord(s);
    std::memset(bytes.data() + 4, 'X', 24);
    cAnalogueSynthSingle read;
    ASSERT_TRUE(ReadRecord(bytes, read).ok);
    EXPECT_EQ(std::string(read.Name), std::string(23, 'X'));

    cAnalogueSynthSingle padded;
    std::memcpy(padded.Name, "Pad\0garbage\0kept", 16);
    const std::string paddedBytes = WriteRecord(padded);
    cAnalogueSynthSingle back;
    ASSERT_TRUE(ReadRecord(paddedBytes, back).ok);
    EXPECT_EQ(WriteRecord(back), paddedBytes);
    EXPECT_STREQ(back.Name, "Pad");
}
