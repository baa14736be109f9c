#include "MixdownFixture.h"

#include "audio/SampleFiles.h"
#include "sampler/WidgetMixdown.h"

using namespace MixdownTest;

namespace
{
constexpr int32_t kBar = 1024;
constexpr uint32_t kOneBarFrames = 88320;

using tNames = std::vector<std::string>;
using tJob = cWidgetMixdown::cJobConvertFormat;

class MixdownConversion : public cMixdownFixture
{
protected:
    void SetUp() override
    {
        cMixdownFixture::SetUp();
        AddPart(2, 0, kBar, 69, kBar);
        AddPart(3, 0, kBar, 76, kBar);
        MuteAllBut(TrackIndexOfSlot(2));
        Sequencer().SetTrackMuteSolo(TrackIndexOfSlot(3), cTrack::kNormal);
    }

    // The render and the conversion one after the other, as the dialogue
    // runs them; the conversion's result.
    int32_t RenderAndConvert(const std::string& render, const std::string& chosen, int32_t output, int32_t format,
                             bool cancel = false)
    {
        int32_t files = 0;
        EXPECT_LE(Render(render, cMixdown::kRegionEntireSong, output, false, &files), cMixdown::kResultClipping);
        tJob job(render.c_str(), chosen.c_str(), format, files);
        job.mCancel = cancel;
        JobQueue::RunJob(&job, nullptr);
        return job.GetResult();
    }

    // Frames of a decoded Ogg file, or -1.
    static long DecodedFrames(const std::string& ogg, std::vector<int16_t>* samples = nullptr)
    {
        const std::string wav = ogg + ".decoded.wav";
        int status = -1;
        RunCommand("oggdec -Q -o '" + wav + "' '" + ogg + "'", &status);
        if (status != 0)
            return -1;
        const std::string bytes = ReadBytes(wav);
        std::filesystem::remove(wav);
        if (samples)
            *samples = Samples(bytes);
        return long(Le32(bytes, 40) / 4);
    }
};

double Rms(const std::vector<int16_t>& samples)
{
    double sum = 0.0;
    for (int16_t v : samples)
        sum += double(v) * double(v);
    return std::sqrt(sum / double(std::max<size_t>(samples.size(), 1)));
}
} // namespace

TEST_F(MixdownConversion, AnOggLeavesOnlyItselfAndDecodesToTheRender)
{
    const std::vector<int16_t> rendered = [&] {
        Render("User/Mixdowns/Reference.wav", cMixdown::kRegionEntireSong, cMixdown::kOutputFinalMix, false);
        return Samples(ReadBytes(Native("User/Mixdowns/Reference.wav")));
    }();
    std::filesystem::remove(Native("User/Mixdowns/Reference.wav"));
    EXPECT_EQ(RenderAndConvert("User/Mixdowns/Song-01.wav", "User/Mixdowns/Song.ogg", cMixdown::kOutputFinalMix,
                               cWidgetMixdown::kFormatOgg128),
              tJob::kResultDone);
    EXPECT_EQ(FolderNames(Native("User/Mixdowns")), tNames{"Song.ogg"});
    std::vector<int16_t> decoded;
    EXPECT_EQ(DecodedFrames(Native("User/Mixdowns/Song.ogg"), &decoded), long(kOneBarFrames));
    EXPECT_NEAR(20.0 * std::log10(Rms(decoded) / Rms(rendered)), 0.0, 1.0);
}

TEST_F(MixdownConversion, StemsBecomeOneOggEach)
{
    EXPECT_EQ(RenderAndConvert("User/Mixdowns/Stems", "User/Mixdowns/Stems", cMixdown::kOutputMixerChannels,
                               cWidgetMixdown::kFormatOgg64),
              tJob::kResultDone);
    EXPECT_EQ(FolderNames(Native("User/Mixdowns/Stems")), (tNames{"Ch4-Kest 1.ogg", "Ch5-Kest 2.ogg"}));
    for (const std::string& name : FolderNames(Native("User/Mixdowns/Stems")))
        EXPECT_EQ(DecodedFrames(Native("User/Mixdowns/Stems/" + name)), long(kOneBarFrames)) << name;
}

TEST_F(MixdownConversion, AZipHoldsTheWavsAndLeavesOnlyItself)
{
    struct
    {
        const char* render;
        const char* chosen;
        int32_t output;
        const char* listed;
    } const cases[] = {
        {"User/Mixdowns/Song-01.wav", "User/Mixdowns/Song.zip", cMixdown::kOutputFinalMix, "Song-01.wav"},
        {"User/Mixdowns/Stems", "User/Mixdowns/Stems.zip", cMixdown::kOutputMixerChannels, "Ch5-Kest 2.wav"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.chosen);
        EXPECT_EQ(RenderAndConvert(c.render, c.chosen, c.output, cWidgetMixdown::kFormatZippedWav), tJob::kResultDone);
        const std::string zip = Native(c.chosen);
        EXPECT_EQ(FolderNames(Native("User/Mixdowns")), tNames{std::filesystem::path(zip).filename().string()});
        const std::string listing = RunCommand("unzip -l '" + zip + "'");
        EXPECT_NE(listing.find(c.listed), std::string::npos) << listing;
        EXPECT_EQ(listing.find('/', listing.find("----")), std::string::npos) << "names relative to the folder";
        std::filesystem::remove(zip);
    }
}

// A failed conversion used to delete the render as well: now the WAVs stay,
// and stems already converted keep their Ogg files.
TEST_F(MixdownConversion, AFailureKeepsTheWavs)
{
    EXPECT_EQ(RenderAndConvert("User/Mixdowns/Song-01.wav", "User/Mixdowns/Missing/Song.ogg",
                               cMixdown::kOutputFinalMix, cWidgetMixdown::kFormatOgg128),
              tJob::kResultFailed);
    EXPECT_EQ(RenderAndConvert("User/Mixdowns/Song-02.wav", "User/Mixdowns/Missing/Song.zip",
                               cMixdown::kOutputFinalMix, cWidgetMixdown::kFormatZippedWav),
              tJob::kResultFailed);
    EXPECT_EQ(FolderNames(Native("User/Mixdowns")), (tNames{"Song-01.wav", "Song-02.wav"}));
    EXPECT_EQ(ReadBytes(Native("User/Mixdowns/Song-01.wav")).size(), 44 + kOneBarFrames * 4);

    // The second stem cannot be encoded.
    int32_t files = 0;
    ASSERT_EQ(Render("User/Mixdowns/Stems", cMixdown::kRegionEntireSong, cMixdown::kOutputMixerChannels, false, &files),
              cMixdown::kResultWritten);
    WriteBytes(Native("User/Mixdowns/Stems/Ch5-Kest 2.wav"), "not a WAV file");
    tJob job("User/Mixdowns/Stems", "User/Mixdowns/Stems", cWidgetMixdown::kFormatOgg256, files);
    JobQueue::RunJob(&job, nullptr);
    EXPECT_EQ(job.GetResult(), tJob::kResultFailed);
    EXPECT_EQ(FolderNames(Native("User/Mixdowns/Stems")), (tNames{"Ch4-Kest 1.ogg", "Ch5-Kest 2.wav"}));
}

// A cancel leaves nothing of the run, and a file of the chosen name that was
// there before stays as it was.
TEST_F(MixdownConversion, ACancelLeavesNothingButWhatWasThere)
{
    WriteBytes(Native("User/Mixdowns/Song.ogg"), "an earlier Ogg");
    WriteBytes(Native("User/Mixdowns/Song.zip"), "an earlier zip");
    struct
    {
        const char* render;
        const char* chosen;
        int32_t output;
        int32_t format;
    } const cases[] = {
        {"User/Mixdowns/Song-01.wav", "User/Mixdowns/Song.ogg", cMixdown::kOutputFinalMix, cWidgetMixdown::kFormatOgg128},
        {"User/Mixdowns/Song-01.wav", "User/Mixdowns/Song.zip", cMixdown::kOutputFinalMix,
         cWidgetMixdown::kFormatZippedWav},
        {"User/Mixdowns/Stems", "User/Mixdowns/Stems", cMixdown::kOutputMixerChannels, cWidgetMixdown::kFormatOgg128},
        {"User/Mixdowns/Stems", "User/Mixdowns/Stems.zip", cMixdown::kOutputMixerChannels,
         cWidgetMixdown::kFormatZippedWav},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.chosen) + " " + std::to_string(c.format));
        EXPECT_EQ(RenderAndConvert(c.render, c.chosen, c.output, c.format, true), tJob::kResultCancelled);
        EXPECT_EQ(FolderNames(Native("User/Mixdowns")), (tNames{"Song.ogg", "Song.zip"}));
        EXPECT_EQ(ReadBytes(Native("User/Mixdowns/Song.ogg")), "an earlier Ogg");
        EXPECT_EQ(ReadBytes(Native("User/Mixdowns/Song.zip")), "an earlier zip");
    }
}

TEST_F(MixdownConversion, AWavNeedsNoConversion)
{
    EXPECT_EQ(RenderAndConvert("User/Mixdowns/Song.wav", "User/Mixdowns/Song.wav", cMixdown::kOutputFinalMix,
                               cWidgetMixdown::kFormatWav),
              tJob::kResultDone);
    EXPECT_EQ(FolderNames(Native("User/Mixdowns")), tNames{"Song.wav"});
}
