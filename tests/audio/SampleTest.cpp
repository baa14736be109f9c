#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "base/FileTestFolder.h"
#include "AllocationCounter.h"
#include "SampleFiles.h"
#include "audio/Sample.h"
#include "audio/SampleRegistry.h"
#include "audio/WavFile.h"
#include "base/RefCount.h"
#include "base/UniqueFileName.h"

namespace
{
using tSampleRef = Base::cRefPtr<cSample>;

// Holds the first reference a load or a creation hands out.
tSampleRef Adopt(cSample* sample)
{
    tSampleRef held(sample);
    if (sample)
        sample->Release();
    return held;
}

std::vector<int16_t> Data16(const cSample& sample)
{
    const int16_t* data = sample.GetData16();
    return std::vector<int16_t>(data, data + sample.GetFrames() * sample.GetChannels());
}

std::vector<int16_t> Ramp(int count, int16_t step)
{
    std::vector<int16_t> values(size_t(count), 0);
    for (int i = 0; i < count; ++i)
        values[size_t(i)] = int16_t(i * step);
    return values;
}

class SampleTest : public ::testing::Test
{
protected:
    void TearDown() override { EXPECT_EQ(cSampleRegistry::DumpAll(), 0) << "a sample was left loaded"; }

    // A 16-bit file in the documents folder.
    void WriteWav(const std::string& name, const std::vector<int16_t>& samples, uint16_t channels = 2,
                  uint32_t rate = 44100)
    {
        cWavFormat format;
        format.channels = channels;
        format.rate = rate;
        mFolder.Write(name, SimpleWav(format, Samples16(samples)));
    }

    cSampleFolder mFolder;
};
} // namespace

TEST_F(SampleTest, LoadingAPathTwiceSharesOneSample)
{
    WriteWav("User/Samples/kick.wav", {1, 2, 3, 4, 5, 6}, 2, 22050);
    tSampleRef first = Adopt(cSample::Load("User/Samples/kick.wav", 0));
    ASSERT_TRUE(first) << cSample::GetErrorText();
    EXPECT_STREQ(first->GetPath(), "User/Samples/kick.wav");
    EXPECT_EQ(first->GetBits(), 16);
    EXPECT_EQ(first->GetChannels(), 2);
    EXPECT_EQ(first->GetSampleRate(), 22050);
    EXPECT_EQ(first->GetFrames(), 3);
    EXPECT_EQ(Data16(*first), (std::vector<int16_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_FALSE(first->IsTruncated());
    EXPECT_NEAR(first->GetDuration(), 3.0f / 22050.0f, 1e-9f);

    tSampleRef second = Adopt(cSample::Load("User/Samples/kick.wav", 0));
    EXPECT_EQ(second.Get(), first.Get());
    EXPECT_EQ(first->GetRefCount(), 2);
    tSampleRef backslashed = Adopt(cSample::Load("User\\Samples\\kick.wav", 0));
    EXPECT_EQ(backslashed.Get(), first.Get()) << "one file is never registered twice";
    EXPECT_TRUE(cSampleRegistry::IsLoaded("User/Samples/kick.wav"));
    EXPECT_EQ(cSample::GetTotalMemory(), 12);

    second.Release();
    backslashed.Release();
    first.Release();
    EXPECT_FALSE(cSampleRegistry::IsLoaded("User/Samples/kick.wav"));
    EXPECT_EQ(cSample::GetTotalMemory(), 0);
}

// Each check in order, with its text; a header that lies about its frame
// size or rate is no PCM the sample could be read from.
TEST_F(SampleTest, FormatChecksGiveTheirTextsInOrder)
{
    const char* const kFormat = "Format incorrect - check that it is uncompressed PCM";
    const auto with = [](auto change) {
        cWavFormat format;
        change(format);
        return format;
    };
    const struct
    {
        const char* what;
        cWavFormat format;
        const char* error;
    } cases[] = {
        {"float", with([](cWavFormat& f) { f.tag = 3; }), kFormat},
        {"extensible", with([](cWavFormat& f) { f.tag = 0xFFFE; }), kFormat},
        {"block align 0", with([](cWavFormat& f) { f.blockAlign = 0; }), kFormat},
        {"block align below the frame", with([](cWavFormat& f) { f.blockAlign = 1; }), kFormat},
        {"rate 0", with([](cWavFormat& f) { f.rate = 0; }), kFormat},
        {"three channels", with([](cWavFormat& f) { f.channels = 3; }), "Only mono and stereo files are supported"},
        {"96 kHz", with([](cWavFormat& f) { f.rate = 96000; }), "Only sample rates up to 48000 are supported"},
        {"32 bits", with([](cWavFormat& f) { f.bits = 32; }), "Only 8, 16 or 24 bit samples are supported"},
    };
    for (const auto& c : cases)
    {
        mFolder.Write("bad.wav", SimpleWav(c.format, std::string(48, '\0')));
        EXPECT_EQ(cSample::Load("bad.wav", 0), nullptr) << c.what;
        EXPECT_STREQ(cSample::GetErrorText(), c.error) << c.what;
        EXPECT_FALSE(cSampleRegistry::IsLoaded("bad.wav")) << c.what;
    }
    EXPECT_EQ(cSample::Load("missing.wav", 0), nullptr);
    EXPECT_STREQ(cSample::GetErrorText(), "Couldn't open file");
}

TEST_F(SampleTest, ASizeLimitKeepsWholeFrames)
{
    WriteWav("long.wav", Ramp(1000, 3));
    tSampleRef sample = Adopt(cSample::Load("long.wav", 1001));
    ASSERT_TRUE(sample) << cSample::GetErrorText();
    EXPECT_EQ(sample->GetFrames(), 251);
    EXPECT_EQ(sample->GetDataBytes(), 1004);
    EXPECT_TRUE(sample->IsTruncated());
    EXPECT_EQ(Data16(*sample), Ramp(502, 3));
}

TEST_F(SampleTest, DataOver32MegabytesNeedsALimit)
{
    const uint32_t kBytes = 40u << 20;
    std::string header = SimpleWav(cWavFormat(), "");
    header.replace(4, 4, LE32(36 + kBytes));
    header.replace(40, 4, LE32(kBytes));
    mFolder.Write("huge.wav", header);
    std::filesystem::resize_file(mFolder.Doc("huge.wav"), 44 + kBytes);

    EXPECT_EQ(cSample::Load("huge.wav", 0), nullptr);
    EXPECT_STREQ(cSample::GetErrorText(), "Samples are limited to 32MB each");
    tSampleRef limited = Adopt(cSample::Load("huge.wav", 1 << 20));
    ASSERT_TRUE(limited) << cSample::GetErrorText();
    EXPECT_TRUE(limited->IsTruncated());
    EXPECT_EQ(limited->GetDataBytes(), 1 << 20);
}

TEST_F(SampleTest, ReloadKeepsTheSampleWhenTheFileTurnsBad)
{
    WriteWav("a.wav", {7, 8});
    tSampleRef sample = Adopt(cSample::Load("a.wav", 0));
    ASSERT_TRUE(sample);
    cWavFormat lying;
    lying.blockAlign = 0;
    mFolder.Write("a.wav", SimpleWav(lying, std::string(8, '\0')));
    EXPECT_FALSE(sample->Reload(nullptr));
    EXPECT_STREQ(cSample::GetErrorText(), "Format incorrect - check that it is uncompressed PCM");
    EXPECT_EQ(Data16(*sample), (std::vector<int16_t>{7, 8}));
    mFolder.Write("a.wav", Riff("junk" + LE32(0xFFFFFFF8u)));
    EXPECT_FALSE(sample->Reload(nullptr));
    EXPECT_EQ(Data16(*sample), (std::vector<int16_t>{7, 8}));

    WriteWav("a.wav", {1, 2, 3, 4}, 1, 8000);
    ASSERT_TRUE(sample->Reload(nullptr)) << cSample::GetErrorText();
    EXPECT_EQ(sample->GetChannels(), 1);
    EXPECT_EQ(sample->GetSampleRate(), 8000);
    EXPECT_EQ(Data16(*sample), (std::vector<int16_t>{1, 2, 3, 4}));
}

TEST_F(SampleTest, TruncateKeepsTheFirstFrames)
{
    WriteWav("t.wav", Ramp(20, 1));
    tSampleRef sample = Adopt(cSample::Load("t.wav", 0));
    ASSERT_TRUE(sample);
    for (int32_t refused : {10, 11, -1})
    {
        EXPECT_FALSE(sample->Truncate(refused)) << refused;
        EXPECT_EQ(Data16(*sample), Ramp(20, 1)) << refused;
    }
    ASSERT_TRUE(sample->Truncate(4));
    EXPECT_EQ(Data16(*sample), Ramp(8, 1));
    ASSERT_TRUE(sample->Truncate(0));
    EXPECT_EQ(sample->GetFrames(), 1) << "at least one frame stays";
    EXPECT_EQ(Data16(*sample), Ramp(2, 1));
}

// Short of memory, a truncation leaves the sample whole instead of without data.
TEST_F(SampleTest, TruncateWithoutMemoryChangesNothing)
{
    WriteWav("t.wav", Ramp(20, 1));
    tSampleRef sample = Adopt(cSample::Load("t.wav", 0));
    ASSERT_TRUE(sample);
    SetRefuseAllocationsAbove(8);
    const bool truncated = sample->Truncate(5);
    SetRefuseAllocationsAbove(0);
    EXPECT_FALSE(truncated);
    EXPECT_STREQ(cSample::GetErrorText(), "Out of sample memory");
    EXPECT_EQ(sample->GetFrames(), 10);
    EXPECT_EQ(Data16(*sample), Ramp(20, 1));
    WriteWav("t2.wav", Ramp(20, 1));
    SetRefuseAllocationsAbove(8);
    EXPECT_EQ(cSample::Load("t2.wav", 0), nullptr);
    SetRefuseAllocationsAbove(0);
    EXPECT_STREQ(cSample::GetErrorText(), "Out of sample memory");
}

TEST_F(SampleTest, NormalizeRaisesQuietRangesAndLeavesClippedOnes)
{
    const auto filled = [](std::vector<std::pair<size_t, int16_t>> peaks, int16_t rest) {
        std::vector<int16_t> values(2048, rest);
        for (const auto& [index, value] : peaks)
            values[index] = value;
        return values;
    };
    const struct
    {
        const char* what;
        std::vector<int16_t> before;
        bool clipped;
        std::vector<int16_t> after;
    } cases[] = {
        {"two full-scale samples in 2048", filled({{5, 32767}, {900, -32767}}, 100), true,
         filled({{5, 32767}, {900, -32767}}, 100)},
        {"one full-scale sample", filled({{5, 32767}}, 100), false, filled({{5, 32767}}, 100)},
        {"the most negative value is full scale", filled({{5, -32768}, {6, 20000}}, 100), false,
         filled({{5, -32768}, {6, 20000}}, 100)},
        {"peak 20000", filled({{5, 20000}, {6, -20000}}, 100), false, filled({{5, 32767}, {6, -32767}}, 163)},
        {"peak 1000 counts as 3276", filled({{5, 1000}}, -1000), false, filled({{5, 10002}}, -10002)},
    };
    for (const auto& c : cases)
    {
        tSampleRef sample = Adopt(cSample::Create("n.wav", 16, 1, 44100, 2048));
        std::memcpy(sample->GetData(), c.before.data(), 4096);
        EXPECT_EQ(sample->Normalize(0, -1), c.clipped) << c.what;
        EXPECT_EQ(Data16(*sample), c.after) << c.what;
    }

    tSampleRef eight = Adopt(cSample::Create("n8.wav", 8, 1, 44100, 4));
    const int8_t before[4] = {-128, 50, -50, 1};
    std::memcpy(eight->GetData(), before, 4);
    EXPECT_FALSE(eight->Normalize(0, -1));
    EXPECT_EQ(std::memcmp(eight->GetData(), before, 4), 0) << "-128 is full scale in 8 bits";
    const int8_t quiet[4] = {-100, 50, 2, 0};
    std::memcpy(eight->GetData(), quiet, 4);
    EXPECT_FALSE(eight->Normalize(1, 2));
    const int8_t raised[4] = {-100, 127, 5, 0};
    EXPECT_EQ(std::memcmp(eight->GetData(), raised, 4), 0) << "only the range changes";
}

TEST_F(SampleTest, GainRampsClampAndEndOnTheEndGain)
{
    const struct
    {
        const char* what;
        int32_t start, count;
        float g0, g1;
        std::vector<int16_t> after;
    } cases[] = {
        {"ramp over three frames", 0, 3, 0.0f, 1.0f, {0, 0, 500, -500, 1000, -1000, 1000, -1000}},
        {"one frame takes the start gain", 2, 1, 0.5f, 4.0f, {1000, -1000, 1000, -1000, 500, -500, 1000, -1000}},
        {"gains above 1 clamp", 0, -1, 40.0f, 40.0f, {32767, -32768, 32767, -32768, 32767, -32768, 32767, -32768}},
        {"an empty range", 4, 3, 0.0f, 0.0f, {1000, -1000, 1000, -1000, 1000, -1000, 1000, -1000}},
    };
    for (const auto& c : cases)
    {
        tSampleRef sample = Adopt(cSample::Create("g.wav", 16, 2, 44100, 4));
        const std::vector<int16_t> before = {1000, -1000, 1000, -1000, 1000, -1000, 1000, -1000};
        std::memcpy(sample->GetData(), before.data(), 16);
        sample->ApplyGainRamp(c.start, c.count, c.g0, c.g1);
        EXPECT_EQ(Data16(*sample), c.after) << c.what;
    }
    tSampleRef eight = Adopt(cSample::Create("g8.wav", 8, 1, 44100, 2));
    const int8_t before[2] = {100, -100};
    std::memcpy(eight->GetData(), before, 2);
    eight->ApplyGainRamp(0, 2, 2.0f, 2.0f);
    EXPECT_EQ(reinterpret_cast<int8_t*>(eight->GetData())[0], 127);
    EXPECT_EQ(reinterpret_cast<int8_t*>(eight->GetData())[1], -128);
}

TEST_F(SampleTest, RotateStartMovesTheFirstFramesToTheEnd)
{
    tSampleRef sample = Adopt(cSample::Create("r.wav", 16, 2, 44100, 5));
    std::memcpy(sample->GetData(), Ramp(10, 1).data(), 20);
    EXPECT_TRUE(sample->RotateStart(0));
    EXPECT_EQ(Data16(*sample), Ramp(10, 1));
    EXPECT_TRUE(sample->RotateStart(7)); // 7 mod 5
    EXPECT_EQ(Data16(*sample), (std::vector<int16_t>{4, 5, 6, 7, 8, 9, 0, 1, 2, 3}));
}

TEST_F(SampleTest, RebasePathsMovesOnlyTheSamplesOfTheOldFolder)
{
    const char* const paths[] = {"User/Projects/A.prj/kick.wav", "User/Samples/kick.wav",
                                 "User/Projects/A.prjx/kick.wav"};
    std::vector<tSampleRef> samples;
    for (const char* path : paths)
        samples.push_back(Adopt(cSample::Create(path, 16, 1, 44100, 1)));
    cSample::RebasePaths("User/Projects/a.PRJ", "User/Projects/B.prj");
    EXPECT_STREQ(samples[0]->GetPath(), "User/Projects/B.prj/kick.wav");
    EXPECT_STREQ(samples[1]->GetPath(), "User/Samples/kick.wav");
    EXPECT_STREQ(samples[2]->GetPath(), "User/Projects/A.prjx/kick.wav");
    EXPECT_TRUE(cSampleRegistry::IsLoaded("User/Projects/B.prj/kick.wav"));
    EXPECT_FALSE(cSampleRegistry::IsLoaded("User/Projects/A.prj/kick.wav"));
    tSampleRef found = Adopt(cSampleRegistry::FindAndAddRef("User/Projects/B.prj/kick.wav", true));
    EXPECT_EQ(found.Get(), samples[0].Get());
}

TEST_F(SampleTest, CreateRefusesARegisteredPath)
{
    tSampleRef sample = Adopt(cSample::Create("User\\new.wav", 16, 2, 44100, 10));
    ASSERT_TRUE(sample);
    EXPECT_STREQ(sample->GetPath(), "User/new.wav");
    EXPECT_EQ(sample->GetDataBytes(), 40);
    EXPECT_EQ(cSample::Create("User/new.wav", 16, 2, 44100, 10), nullptr);
    EXPECT_EQ(cSample::Create("huge.wav", 16, 2, 44100, INT32_MAX), nullptr);
    EXPECT_STREQ(cSample::GetErrorText(), "Out of sample memory");
}

TEST_F(SampleTest, SaveAsWritesAndReturnsTheRegisteredSample)
{
    mFolder.Write("User/.keep", "");
    tSampleRef sample = Adopt(cSample::Create("User/rec.wav", 16, 2, 44100, 2));
    std::memcpy(sample->GetData(), Ramp(4, 10).data(), 8);

    tSampleRef same = Adopt(cSample::SaveAs(sample.Get(), "User/REC.wav"));
    EXPECT_EQ(same.Get(), sample.Get()) << "its own path, in any case";
    EXPECT_TRUE(mFolder.Exists("User/rec.wav"));

    tSampleRef fresh = Adopt(cSample::SaveAs(sample.Get(), "User/copy.wav"));
    ASSERT_TRUE(fresh) << cSample::GetErrorText();
    EXPECT_NE(fresh.Get(), sample.Get());
    EXPECT_EQ(Data16(*fresh), Ramp(4, 10));

    std::memcpy(sample->GetData(), Ramp(4, 20).data(), 8);
    tSampleRef reloaded = Adopt(cSample::SaveAs(sample.Get(), "User/copy.wav"));
    EXPECT_EQ(reloaded.Get(), fresh.Get()) << "the sample loaded from that path, reloaded";
    EXPECT_EQ(Data16(*fresh), Ramp(4, 20));
}

// A failed save reports its reason and leaves the file that was there.
TEST_F(SampleTest, AFailedSaveReturnsNothingAndKeepsTheFile)
{
    mFolder.Write("User/.keep", "");
    tSampleRef sample = Adopt(cSample::Create("User/big.wav", 16, 2, 44100, 4096));
    std::memset(sample->GetData(), 0, size_t(sample->GetDataBytes()));
    mFolder.Write("User/big.wav", "earlier");
    {
        cFileSizeLimit disk(4096);
        EXPECT_EQ(cSample::SaveAs(sample.Get(), "User/big.wav"), nullptr);
    }
    EXPECT_STREQ(cSample::GetErrorText(), "Couldn't write samples");
    EXPECT_EQ(mFolder.Read("User/big.wav"), "earlier");
    EXPECT_EQ(cSample::SaveAs(sample.Get(), "User/no/such/folder.wav"), nullptr);
    EXPECT_STREQ(cSample::GetErrorText(), "Couldn't open output file");
    EXPECT_EQ(sample->GetRefCount(), 1);
}

TEST_F(SampleTest, CopySampleFileReloadsTheSampleAtTheDestination)
{
    WriteWav("src.wav", {5, 6});
    WriteWav("dst.wav", {1, 2});
    tSampleRef loaded = Adopt(cSample::Load("dst.wav", 0));
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(cSample::CopySampleFile("src.wav", "SRC.wav"));
    ASSERT_TRUE(cSample::CopySampleFile("src.wav", "dst.wav"));
    EXPECT_EQ(Data16(*loaded), (std::vector<int16_t>{5, 6}));
    EXPECT_FALSE(cSample::CopySampleFile("missing.wav", "dst.wav"));
    EXPECT_EQ(Data16(*loaded), (std::vector<int16_t>{5, 6}));
}

// Eight-bit data is held signed and written as WAV's unsigned bytes; what
// is read back is 16-bit, and the sample says so.
TEST_F(SampleTest, EightBitSamplesSaveAndReloadAs16Bits)
{
    tSampleRef sample = Adopt(cSample::Create("e.wav", 8, 1, 11025, 3));
    const int8_t values[3] = {-128, 0, 127};
    std::memcpy(sample->GetData(), values, 3);
    ASSERT_TRUE(sample->WriteWav(nullptr));
    ASSERT_TRUE(sample->Reload(nullptr)) << cSample::GetErrorText();
    EXPECT_EQ(sample->GetBits(), 16);
    EXPECT_EQ(Data16(*sample), (std::vector<int16_t>{-32768, 0, 32512}));
}

// Job threads load, the interface looks up and players release one path at
// once: every sample handed out is whole, and one file is one sample while
// any of it is held.
TEST_F(SampleTest, ThreadsShareOnePathSafely)
{
    WriteWav("shared.wav", Ramp(64, 7));
    tSampleRef anchor;
    std::atomic<int> failures{0};
    const auto work = [&](int thread) {
        for (int i = 0; i < 300; ++i)
        {
            cSample* sample = thread % 2 ? cSampleRegistry::FindAndAddRef("shared.wav", true)
                                         : cSample::Load("shared.wav", 0);
            if (!sample)
            {
                failures += thread % 2 ? 0 : 1;
                continue;
            }
            if (sample->GetFrames() != 32 || sample->GetData16()[63] != 63 * 7)
                ++failures;
            cSample* again = cSampleRegistry::FindAndAddRef("shared.wav", true);
            if (again && again != sample)
                ++failures;
            if (again)
                again->Release();
            sample->Release();
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t)
        threads.emplace_back(work, t);
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(failures.load(), 0);
}

// Interop: files made by another tool load with the right values, and what
// the sample writes reads back there unchanged.
TEST_F(SampleTest, FilesMatchAnotherToolsReading)
{
    int status = -1;
    RunCommand("sox --version", &status);
    ASSERT_EQ(status, 0) << "sox is installed by scripts/setup-deps";
    const std::string eight = mFolder.Doc("eight.wav");
    RunCommand("sox -r 22050 -n -c 1 -b 8 -e unsigned '" + eight + "' synth 101s sine 300 vol 0.9", &status);
    ASSERT_EQ(status, 0);
    const std::string raw8 = RunCommand("sox '" + eight + "' -t raw -e signed -b 16 -");
    tSampleRef mono = Adopt(cSample::Load("eight.wav", 0));
    ASSERT_TRUE(mono) << cSample::GetErrorText();
    EXPECT_EQ(mono->GetSampleRate(), 22050);
    EXPECT_EQ(mono->GetFrames(), 101) << "an odd data chunk";
    ASSERT_EQ(raw8.size(), 202u);
    EXPECT_EQ(std::memcmp(mono->GetData(), raw8.data(), 202), 0);

    const std::string deep = mFolder.Doc("deep.wav");
    RunCommand("sox -r 48000 -n -c 2 -b 24 -t wavpcm '" + deep + "' synth 0.01 sine 300 sine 500", &status);
    ASSERT_EQ(status, 0);
    const std::string raw24 = RunCommand("sox '" + deep + "' -t raw -e signed -b 24 -");
    tSampleRef stereo = Adopt(cSample::Load("deep.wav", 0));
    ASSERT_TRUE(stereo) << cSample::GetErrorText();
    ASSERT_EQ(size_t(stereo->GetFrames()) * 6, raw24.size());
    std::vector<int16_t> top(raw24.size() / 3);
    for (size_t i = 0; i < top.size(); ++i)
        top[i] = int16_t(uint16_t(uint8_t(raw24[3 * i + 1]) | uint8_t(raw24[3 * i + 2]) << 8));
    EXPECT_EQ(Data16(*stereo), top);

    mFolder.Write("User/.keep", "");
    tSampleRef written = Adopt(cSample::Create("User/out.wav", 16, 2, 32000, 1001));
    std::memcpy(written->GetData(), Ramp(2002, 13).data(), 4004);
    ASSERT_TRUE(written->WriteWav(nullptr));
    const std::string out = mFolder.Doc("User/out.wav");
    EXPECT_EQ(RunCommand("soxi -c '" + out + "'"), "2\n");
    EXPECT_EQ(RunCommand("soxi -r '" + out + "'"), "32000\n");
    EXPECT_EQ(RunCommand("soxi -b '" + out + "'"), "16\n");
    EXPECT_EQ(RunCommand("soxi -e '" + out + "'"), "Signed Integer PCM\n");
    EXPECT_EQ(RunCommand("soxi -s '" + out + "'"), "1001\n");
    const std::string back = RunCommand("sox '" + out + "' -t raw -");
    ASSERT_EQ(back.size(), 4004u);
    EXPECT_EQ(std::memcmp(back.data(), Ramp(2002, 13).data(), 4004), 0);
}

TEST_F(SampleTest, UniqueSampleNamesPassOverLoadedSamples)
{
    SetSampleLoadedLookup(&cSampleRegistry::IsLoaded);
    cGenStringFixed<260> name("User/take.wav");
    tSampleRef take = Adopt(cSample::Create(name.CStr(), 16, 1, 44100, 1));
    EXPECT_TRUE(MakeUniqueSampleFileName(name));
    EXPECT_STREQ(name.CStr(), "User/take-02.wav");
    take.Release();
    name.AssignCStr("User/take.wav");
    EXPECT_FALSE(MakeUniqueSampleFileName(name)) << "free again once released";
    SetSampleLoadedLookup(nullptr);
}
