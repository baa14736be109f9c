#include "MixdownFixture.h"

#include <cstdlib>
#include <sstream>

#include "ReferenceSong.h"
#include "audio/SampleFiles.h"
#include "project/ProjectSlots.h"
#include "sampler/WidgetMixdown.h"

using namespace MixdownTest;

namespace
{
// 65 bars at 120 BPM in whole blocks.
constexpr long kSongFrames = 5733120;

using tNames = std::vector<std::string>;
using tJob = cWidgetMixdown::cJobConvertFormat;

// The reference song imported into a new project: a tone instrument in the
// slot after each channel's number, one track each.
class MixdownReferenceSong : public cMixdownFixture
{
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(ReferenceSong::Path()))
            GTEST_FAIL() << "no reference song at " << ReferenceSong::Path();
        cMixdownFixture::SetUp();
        cMIDIFileSong song;
        ASSERT_TRUE(ReferenceSong::Read(ReferenceSong::Path(), song));
        int32_t slots[cMIDIFileSong::kChannelCount];
        const int32_t transposes[cMIDIFileSong::kChannelCount] = {};
        cInstrumentPackage* tones = cInstrumentPackageRegistry::GetInstance()->FindPackage("Kest");
        for (int channel = 0; channel < cMIDIFileSong::kChannelCount; ++channel)
        {
            slots[channel] = song.channels[channel].events.empty() ? -1 : std::min(channel + 1, 15);
            if (slots[channel] > 0)
                SetInstrumentSlot(tones->CreateInstrument(0), slots[channel], true);
        }
        CreateMissingInstrumentTracks();
        ReferenceSong::Place(song, slots, transposes);
    }

    int32_t RenderAndConvert(const std::string& render, const std::string& chosen, int32_t output, int32_t format,
                             int32_t region = cMixdown::kRegionEntireSong)
    {
        int32_t files = 0;
        const int32_t rendered = Render(render, region, output, false, &files);
        EXPECT_EQ(rendered, cMixdown::kResultWritten);
        tJob job(render.c_str(), chosen.c_str(), format, files);
        JobQueue::RunJob(&job, nullptr);
        return job.GetResult();
    }

    static long Soxi(const std::string& option, const std::string& path)
    {
        return std::atol(RunCommand("soxi " + option + " '" + path + "' 2>/dev/null").c_str());
    }

    static double RmsDecibels(const std::string& path)
    {
        std::istringstream lines(RunCommand("sox '" + path + "' -n stats 2>&1"));
        for (std::string line; std::getline(lines, line);)
            if (line.rfind("RMS lev dB", 0) == 0)
                return std::atof(line.c_str() + 10);
        return -1000.0;
    }
};
} // namespace

TEST_F(MixdownReferenceSong, TheFinalMixIsTheWholeSongAtCDQuality)
{
    ASSERT_EQ(Tracks().GetSongLength(), 66560);
    int32_t files = 0;
    ASSERT_EQ(Render("User/Mixdowns/Reference.wav", cMixdown::kRegionEntireSong, cMixdown::kOutputFinalMix, false,
                     &files),
              cMixdown::kResultWritten)
        << "under 1 in 1024 samples at full scale";
    const std::string wav = Native("User/Mixdowns/Reference.wav");
    EXPECT_EQ(Soxi("-r", wav), 44100);
    EXPECT_EQ(Soxi("-b", wav), 16);
    EXPECT_EQ(Soxi("-c", wav), 2);
    EXPECT_EQ(Soxi("-s", wav), kSongFrames);
    EXPECT_GT(RmsDecibels(wav), -40.0);
}

TEST_F(MixdownReferenceSong, OggZipAndStemOutputsLeaveOnlyThemselves)
{
    ASSERT_EQ(Render("User/Mixdowns/Reference.wav", cMixdown::kRegionEntireSong, cMixdown::kOutputFinalMix, false),
              cMixdown::kResultWritten);
    const double rendered = RmsDecibels(Native("User/Mixdowns/Reference.wav"));
    tJob job("User/Mixdowns/Reference.wav", "User/Mixdowns/Reference.ogg", cWidgetMixdown::kFormatOgg128, 1);
    JobQueue::RunJob(&job, nullptr);
    ASSERT_EQ(job.GetResult(), tJob::kResultDone);
    EXPECT_EQ(FolderNames(Native("User/Mixdowns")), tNames{"Reference.ogg"});
    const std::string decoded = Native("User/Mixdowns/Decoded.wav");
    int status = -1;
    RunCommand("oggdec -Q -o '" + decoded + "' '" + Native("User/Mixdowns/Reference.ogg") + "'", &status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(Soxi("-s", decoded), kSongFrames);
    EXPECT_NEAR(RmsDecibels(decoded), rendered, 1.0);
    std::filesystem::remove(decoded);
    std::filesystem::remove(Native("User/Mixdowns/Reference.ogg"));

    ASSERT_EQ(RenderAndConvert("User/Mixdowns/Reference.wav", "User/Mixdowns/Reference.zip", cMixdown::kOutputFinalMix,
                               cWidgetMixdown::kFormatZippedWav),
              tJob::kResultDone);
    EXPECT_EQ(FolderNames(Native("User/Mixdowns")), tNames{"Reference.zip"});
    const std::string listing = RunCommand("unzip -l '" + Native("User/Mixdowns/Reference.zip") + "'");
    EXPECT_NE(listing.find(" Reference.wav\n"), std::string::npos) << listing;
    EXPECT_NE(listing.find("1 file"), std::string::npos) << listing;
    std::filesystem::remove(Native("User/Mixdowns/Reference.zip"));

    // The song's first four bars, its loop.
    ASSERT_EQ(RenderAndConvert("User/Mixdowns/Stems", "User/Mixdowns/Stems", cMixdown::kOutputMixerChannels,
                               cWidgetMixdown::kFormatOgg64, cMixdown::kRegionSongLoop),
              tJob::kResultDone);
    const tNames stems = FolderNames(Native("User/Mixdowns/Stems"));
    EXPECT_EQ(stems.size(), 7u) << "one per channel of the song";
    for (const std::string& name : stems)
        EXPECT_EQ(std::filesystem::path(name).extension(), ".ogg") << name;
}
