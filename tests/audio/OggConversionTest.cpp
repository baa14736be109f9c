#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "SampleFiles.h"
#include "audio/WavFile.h"
#include "base/Delegate.h"
#include "base/FileTestFolder.h"

namespace
{
// Records each progress report; cancels at the one asked for.
struct cProgressProbe
{
    void OnProgress(float progress, bool* cancel)
    {
        reports.push_back(progress);
        if (int(reports.size()) == cancelAt)
            *cancel = true;
    }
    std::vector<float> reports;
    int cancelAt = 0;
};

// Root mean square of a 16-bit WAV's samples, read with our own reader.
double Level(const std::string& path, uint32_t* frames)
{
    cWavFile wav;
    if (!wav.OpenRead(path.c_str()))
        return 0.0;
    const uint32_t count = wav.GetDataSize() / 2;
    std::vector<int16_t> samples(count);
    if (!wav.ReadSamples16(samples.data(), count))
        return 0.0;
    *frames = count / wav.GetChannels();
    double sum = 0.0;
    for (int16_t s : samples)
        sum += double(s) * s;
    return std::sqrt(sum / count);
}

class OggConversionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        int status = -1;
        RunCommand("oggdec --version 2>&1", &status);
        ASSERT_EQ(status, 0) << "vorbis-tools are installed by scripts/setup-deps";
    }

    // A file made by sox with the given format options.
    std::string Make(const std::string& name, const std::string& format, const std::string& length = "3")
    {
        const std::string path = mFolder.Doc(name);
        int status = -1;
        RunCommand("sox " + format + " -n -t wavpcm '" + path + "' synth " + length + " sine 440 sine 660 vol 0.5",
                   &status);
        EXPECT_EQ(status, 0) << format;
        return path;
    }

    cSampleFolder mFolder;
};
} // namespace

TEST_F(OggConversionTest, EncodesAtEachOfferedRateToTheSourcesLengthAndLevel)
{
    const std::string source = Make("mix.wav", "-r 44100 -c 2 -b 16");
    uint32_t sourceFrames = 0;
    const double sourceLevel = Level(source, &sourceFrames);
    ASSERT_EQ(sourceFrames, 132300u);
    for (int kbits : {64, 128, 256})
    {
        const std::string ogg = mFolder.Doc("mix" + std::to_string(kbits) + ".ogg");
        cWavFile wav;
        cProgressProbe probe;
        ASSERT_EQ(wav.ConvertToOggWithProgress(source.c_str(), ogg.c_str(), kbits * 1000,
                                               cDelegate(&probe, &cProgressProbe::OnProgress)),
                  cWavFile::kConvertDone)
            << wav.GetConversionError();
        ASSERT_FALSE(probe.reports.empty());
        EXPECT_TRUE(std::is_sorted(probe.reports.begin(), probe.reports.end()));
        EXPECT_FLOAT_EQ(probe.reports.back(), 1.0f);

        const std::string decoded = mFolder.Doc("decoded.wav");
        int status = -1;
        RunCommand("oggdec -Q -o '" + decoded + "' '" + ogg + "'", &status);
        ASSERT_EQ(status, 0) << kbits;
        uint32_t frames = 0;
        const double level = Level(decoded, &frames);
        EXPECT_EQ(frames, sourceFrames) << kbits;
        EXPECT_LT(std::fabs(20.0 * std::log10(level / sourceLevel)), 1.0) << kbits;
        EXPECT_NE(RunCommand("vorbiscomment -l '" + ogg + "'").find("ENCODER=ConvertOgg"), std::string::npos);
        EXPECT_FALSE(mFolder.Exists("mix" + std::to_string(kbits) + ".ogg.tmp"));
    }
}

TEST_F(OggConversionTest, OnlySixteenBitStereoAt44100IsEncoded)
{
    const struct
    {
        std::string format;
        const char* error;
    } cases[] = {
        {"-r 44100 -c 1 -b 16", "File format not supported"},
        {"-r 48000 -c 2 -b 16", "File format not supported"},
        {"-r 44100 -c 2 -b 24", "Only 16 bit samples are supported"},
        {"-r 96000 -c 2 -b 16", "Only sample rates up to 48000 are supported"},
    };
    for (const auto& c : cases)
    {
        const std::string source = Make("in.wav", c.format, "0.1");
        cWavFile wav;
        EXPECT_EQ(wav.ConvertToOgg(source.c_str(), mFolder.Doc("out.ogg").c_str(), 128000), cWavFile::kConvertFailed);
        EXPECT_STREQ(wav.GetConversionError(), c.error) << c.format;
        EXPECT_FALSE(mFolder.Exists("out.ogg")) << c.format;
        EXPECT_FALSE(mFolder.Exists("out.ogg.tmp")) << c.format;
    }
    cWavFile wav;
    EXPECT_EQ(wav.ConvertToOggWithProgress(mFolder.Doc("missing.wav").c_str(), mFolder.Doc("out.ogg").c_str(), 128000,
                                           cDelegate()),
              cWavFile::kConvertFailed);
}

// A cancel or a failed write leaves no partial file and the earlier file of
// that name as it was.
TEST_F(OggConversionTest, CancelAndWriteFailuresLeaveTheEarlierFile)
{
    const std::string source = Make("mix.wav", "-r 44100 -c 2 -b 16");
    mFolder.Write("out.ogg", "earlier");
    cWavFile wav;
    cProgressProbe probe;
    probe.cancelAt = 1;
    EXPECT_EQ(wav.ConvertToOggWithProgress(source.c_str(), mFolder.Doc("out.ogg").c_str(), 128000,
                                           cDelegate(&probe, &cProgressProbe::OnProgress)),
              cWavFile::kConvertCancelled);
    EXPECT_EQ(probe.reports.size(), 1u);
    EXPECT_EQ(mFolder.Read("out.ogg"), "earlier");
    EXPECT_FALSE(mFolder.Exists("out.ogg.tmp"));

    probe.reports.clear();
    const std::string fresh = mFolder.Doc("fresh.ogg");
    EXPECT_EQ(wav.ConvertToOggWithProgress(source.c_str(), fresh.c_str(), 128000,
                                           cDelegate(&probe, &cProgressProbe::OnProgress)),
              cWavFile::kConvertCancelled)
        << "a cancel at the first report";
    EXPECT_FALSE(mFolder.Exists("fresh.ogg"));

    {
        cFileSizeLimit disk(6000); // past the header pages
        EXPECT_EQ(wav.ConvertToOgg(source.c_str(), mFolder.Doc("out.ogg").c_str(), 128000), cWavFile::kConvertFailed);
    }
    EXPECT_STREQ(wav.GetConversionError(), "Can't write destination file");
    EXPECT_EQ(mFolder.Read("out.ogg"), "earlier");
    EXPECT_FALSE(mFolder.Exists("out.ogg.tmp"));
    EXPECT_EQ(wav.ConvertToOgg(source.c_str(), mFolder.Doc("no/such/folder.ogg").c_str(), 128000),
              cWavFile::kConvertFailed);
    EXPECT_STREQ(wav.GetConversionError(), "Can't open destination file");
}

TEST_F(OggConversionTest, OnePieceOfDataIsOneReportThenTheEnd)
{
    const std::string source = Make("piece.wav", "-r 44100 -c 2 -b 16", "16395s");
    cWavFile wav;
    cProgressProbe probe;
    ASSERT_EQ(wav.ConvertToOggWithProgress(source.c_str(), mFolder.Doc("piece.ogg").c_str(), 64000,
                                           cDelegate(&probe, &cProgressProbe::OnProgress)),
              cWavFile::kConvertDone);
    EXPECT_EQ(probe.reports, std::vector<float>{1.0f});
    const std::string ogg = mFolder.Read("piece.ogg");
    ASSERT_GT(ogg.size(), 28u);
    EXPECT_EQ(ogg.substr(0, 4), "OggS");
    EXPECT_EQ(ogg[5] & 2, 2) << "the first page begins the stream";
    // The last page carries the end-of-stream flag.
    const size_t last = ogg.rfind("OggS");
    EXPECT_EQ(ogg[last + 5] & 4, 4);
}
