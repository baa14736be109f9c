#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/FileTestFolder.h"
#include "SampleFiles.h"
#include "audio/RiffReader.h"
#include "audio/WavFile.h"
#include "base/File.h"
#include "base/GenString.h"

namespace
{
// The WAV reads from a copy of the bytes that lives as long as the test.
class cMemoryWav
{
public:
    explicit cMemoryWav(std::string bytes) : mBytes(std::move(bytes)) {}
    bool Open()
    {
        return mWav.OpenRead(
            new File::cFileMemoryRead(reinterpret_cast<const uint8_t*>(mBytes.data()), int(mBytes.size())));
    }
    cWavFile& operator*() { return mWav; }
    cWavFile* operator->() { return &mWav; }

private:
    std::string mBytes;
    cWavFile mWav;
};

std::vector<int16_t> ReadAll16(cWavFile& wav, uint32_t count)
{
    std::vector<int16_t> samples(count);
    if (!wav.ReadSamples16(samples.data(), count))
        samples.clear();
    return samples;
}

const std::vector<int16_t> kFrames = {100, -100, 2000, -2000, 32767, -32768};
} // namespace

TEST(WavFileTest, FindsFormatAndDataBehindOtherChunksInAnyOrder)
{
    const std::string fmt = Chunk("fmt ", cWavFormat().Body());
    const std::string data = Chunk("data", Samples16(kFrames));
    const std::string list = Chunk("LIST", "INFO" + Chunk("INAM", "Kick"));
    const struct
    {
        const char* what;
        std::string chunks;
    } cases[] = {
        {"plain", fmt + data},
        {"LIST before fmt, fact before data", list + fmt + Chunk("fact", LE32(3)) + data},
        {"odd chunk and its pad byte", Chunk("junk", "abc") + fmt + Chunk("odd ", "x") + data},
        {"data before fmt", data + fmt},
        {"an extended fmt", Chunk("fmt ", cWavFormat().Body() + LE16(0)) + data},
        // A LIST too short for its form type holds none: the walk goes on
        // right after its header, not 4 bytes further.
        {"empty LIST before fmt", Chunk("LIST", "") + fmt + data},
        {"empty LIST between fmt and data", fmt + Chunk("LIST", "") + data},
        {"LIST of 2 bytes and its pad", Chunk("LIST", "ab") + fmt + Chunk("LIST", "c") + data},
        {"LIST holding only its form type", Chunk("LIST", "INFO") + fmt + data},
        {"size-0 chunks around fmt", Chunk("junk", "") + fmt + Chunk("fact", "") + data},
        {"odd LIST holding an odd chunk", Chunk("LIST", "INFO" + Chunk("INAM", "Kic").substr(0, 11)) + fmt + data},
    };
    for (const auto& c : cases)
    {
        cMemoryWav wav(Riff(c.chunks));
        ASSERT_TRUE(wav.Open()) << c.what << ": " << wav->GetError();
        EXPECT_EQ(wav->GetChannels(), 2) << c.what;
        EXPECT_EQ(wav->GetSampleRate(), 44100u) << c.what;
        EXPECT_EQ(wav->GetBitsPerSample(), 16) << c.what;
        EXPECT_EQ(wav->GetDataSize(), 12u) << c.what;
        EXPECT_EQ(ReadAll16(*wav, 6), kFrames) << c.what;
        ASSERT_TRUE(wav->Rewind()) << c.what;
        EXPECT_EQ(ReadAll16(*wav, 6), kFrames) << c.what << " after a rewind";
    }
}

TEST(WavFileTest, ReadsAFileOnDiskLikeAMemoryBlock)
{
    cSampleFolder folder;
    folder.Write("a.wav", SimpleWav(cWavFormat(), Samples16(kFrames)));
    cWavFile wav;
    ASSERT_TRUE(wav.OpenRead(folder.Doc("a.wav").c_str())) << wav.GetError();
    EXPECT_EQ(ReadAll16(wav, 6), kFrames);
    EXPECT_FALSE(wav.OpenRead(folder.Doc("missing.wav").c_str()));
    EXPECT_STREQ(wav.GetError(), "Couldn't open file");
}

// Broken structures fail with a message and never loop: sizes that wrap in
// 32 bits or run past the parent are cut at the parent's end.
TEST(WavFileTest, BrokenStructuresFailWithTheirMessage)
{
    const std::string fmt = Chunk("fmt ", cWavFormat().Body());
    const std::string data = Chunk("data", Samples16(kFrames));
    const std::string wrapping = "junk" + LE32(0xFFFFFFF8u); // 12 + 8 + size wraps to 12
    const struct
    {
        const char* what;
        std::string bytes;
        const char* error;
    } cases[] = {
        {"empty", "", "Couldn't find RIFF, WAVE, or fmt"},
        {"RIFX", "RIFX" + Riff(fmt + data).substr(4), "Couldn't find RIFF, WAVE, or fmt"},
        {"not WAVE", Riff(fmt + data, "AVI "), "Couldn't find RIFF, WAVE, or fmt"},
        {"no fmt", Riff(data), "Couldn't find RIFF, WAVE, or fmt"},
        {"no data", Riff(fmt), "Couldn't find data chunk"},
        {"fmt shorter than its fields", Riff(Chunk("fmt ", cWavFormat().Body().substr(0, 14)) + data),
         "Format incorrect - check that it is uncompressed PCM"},
        {"fmt cut by the file", Riff(fmt).substr(0, 30), "Format incorrect - check that it is uncompressed PCM"},
        {"size wrapping to its own start", Riff(wrapping + fmt + data), "Couldn't find RIFF, WAVE, or fmt"},
        {"LIST past the RIFF end", Riff("LIST" + LE32(0x7FFFFFF0) + "INFO" + fmt + data),
         "Couldn't find RIFF, WAVE, or fmt"},
        {"chunk past the file between fmt and data", Riff(fmt + "junk" + LE32(0xFFFFFFF0u) + data),
         "Couldn't find data chunk"},
    };
    for (const auto& c : cases)
    {
        cMemoryWav wav(c.bytes);
        EXPECT_FALSE(wav.Open()) << c.what;
        EXPECT_STREQ(wav->GetError(), c.error) << c.what;
        EXPECT_FALSE(wav->IsReading()) << c.what << ": a failed read closes the file";
    }
}

TEST(WavFileTest, SizesPastTheFileAreCutToWhatItHolds)
{
    // A RIFF size of 0xFFFFFFFF and a data chunk claiming more than is there,
    // as a recording cut short leaves them.
    std::string bytes = SimpleWav(cWavFormat(), Samples16(kFrames));
    bytes.replace(4, 4, LE32(0xFFFFFFFFu));
    bytes.replace(40, 4, LE32(0x10000000u));
    cMemoryWav wav(bytes);
    ASSERT_TRUE(wav.Open()) << wav->GetError();
    EXPECT_EQ(wav->GetDataSize(), 12u);
    EXPECT_EQ(ReadAll16(*wav, 6), kFrames);
}

TEST(WavFileTest, ConvertsEveryReadableDepthTo16Bits)
{
    const struct
    {
        uint16_t bits;
        std::string data;
        std::vector<int16_t> expected;
    } cases[] = {
        {8, std::string("\x00\x80\xFF\x7F", 4), {-32768, 0, 32512, -256}},
        {16, Samples16({0x1234, -2}), {0x1234, -2}},
        {24, std::string("\x56\x34\x12\xFF\xFF\xFF\x00\x00\x80", 9), {0x1234, -1, -32768}},
        // Seven: a group of four read by words, then three alone.
        {24, std::string("\x56\x34\x12\xFF\xFF\xFF\x00\x00\x80\xAA\xCD\xAB\x00\xFF\x7F\x12\x01\x00\x80\x80\x80", 21),
         {0x1234, -1, -32768, int16_t(0xABCD), 0x7FFF, 1, int16_t(0x8080)}},
    };
    for (const auto& c : cases)
    {
        cWavFormat format;
        format.channels = 1;
        format.bits = c.bits;
        cMemoryWav wav(SimpleWav(format, c.data));
        ASSERT_TRUE(wav.Open()) << c.bits;
        EXPECT_EQ(ReadAll16(*wav, uint32_t(c.expected.size())), c.expected) << c.bits << " bits";
    }
    cWavFormat twelve;
    twelve.bits = 12;
    cMemoryWav wav(SimpleWav(twelve, "abcd"));
    ASSERT_TRUE(wav.Open());
    EXPECT_TRUE(ReadAll16(*wav, 1).empty()) << "a depth the reader has no conversion for";
    cMemoryWav shortData(SimpleWav(cWavFormat(), Samples16({1, 2})));
    ASSERT_TRUE(shortData.Open());
    EXPECT_TRUE(ReadAll16(*shortData, 4).empty());
    EXPECT_STREQ(shortData->GetError(), "Couldn't read samples");
}

TEST(WavFileTest, WriterCompletesTheHeaderOnClose)
{
    cSampleFolder folder;
    cWavFile wav;
    ASSERT_TRUE(wav.OpenWrite(folder.Doc("out.wav").c_str())) << wav.GetError();
    wav.SetFormat(44100, 16, 2);
    const std::string data(400, '\x11');
    ASSERT_TRUE(wav.WriteData(data.data(), 400));
    cGenStringFixed<64> description;
    wav.Describe(description);
    EXPECT_STREQ(description.CStr(), "0.0s (44.1kHz Stereo, 16bit)");
    ASSERT_TRUE(wav.Close());

    const std::string file = folder.Read("out.wav");
    ASSERT_EQ(file.size(), 444u);
    EXPECT_EQ(file.substr(4, 4), LE32(436));
    EXPECT_EQ(file.substr(40, 4), LE32(400));
    EXPECT_EQ(file.substr(8, 32), SimpleWav(cWavFormat(), "").substr(8, 32));
    EXPECT_FALSE(folder.Exists("out.wav.tmp"));
    EXPECT_FALSE(folder.Exists("out.wav.bak"));
}

// The file appears only when written in full: an abandoned or failed write
// leaves the earlier file of that name as it was.
TEST(WavFileTest, AFailedWriteLeavesTheEarlierFile)
{
    cSampleFolder folder;
    folder.Write("keep.wav", "earlier");
    {
        cWavFile abandoned;
        ASSERT_TRUE(abandoned.OpenWrite(folder.Doc("keep.wav").c_str()));
        abandoned.SetFormat(44100, 16, 2);
        abandoned.WriteData("abcd", 4);
    }
    EXPECT_EQ(folder.Read("keep.wav"), "earlier");
    {
        cFileSizeLimit disk(2048);
        cWavFile full;
        ASSERT_TRUE(full.OpenWrite(folder.Doc("keep.wav").c_str()));
        full.SetFormat(44100, 16, 2);
        const std::string data(8192, 'x');
        full.WriteData(data.data(), uint32_t(data.size()));
        EXPECT_FALSE(full.Close());
    }
    EXPECT_EQ(folder.Read("keep.wav"), "earlier");
    EXPECT_FALSE(folder.Exists("keep.wav.tmp"));
    cWavFile nowhere;
    EXPECT_FALSE(nowhere.OpenWrite(folder.Doc("no/such/folder/x.wav").c_str()));
    EXPECT_STREQ(nowhere.GetError(), "Couldn't open output file");
}

TEST(WavFileTest, RiffReaderWalksNestedChunks)
{
    const std::string bytes = Riff(Chunk("LIST", "INFO" + Chunk("INAM", "abc") + Chunk("ICMT", "de")) +
                                   Chunk("data", "xy"));
    cRiffReader reader(new File::cFileMemoryRead(reinterpret_cast<const uint8_t*>(bytes.data()), int(bytes.size())));
    ASSERT_NE(reader.Top(), nullptr);
    EXPECT_EQ(reader.GetRiffSize(), bytes.size() - 12);
    ASSERT_TRUE(reader.FindChunk("LIST"));
    EXPECT_STREQ(reader.Top()->form, "INFO");
    ASSERT_TRUE(reader.FindChunk(nullptr));
    EXPECT_STREQ(reader.Top()->id, "INAM");
    EXPECT_EQ(reader.CurrentSize(), 3u);
    ASSERT_TRUE(reader.Ascend());
    ASSERT_TRUE(reader.FindChunk(nullptr)) << "the pad byte is skipped";
    EXPECT_STREQ(reader.Top()->id, "ICMT");
    ASSERT_TRUE(reader.Ascend());
    EXPECT_FALSE(reader.FindChunk(nullptr)) << "nothing more inside LIST";
    ASSERT_TRUE(reader.Ascend());
    ASSERT_TRUE(reader.FindChunk("data"));
    EXPECT_EQ(reader.CurrentSize(), 2u);
    ASSERT_TRUE(reader.Ascend());
    EXPECT_FALSE(reader.Ascend()) << "the RIFF chunk stays";
}
