#include "MixdownFixture.h"

using namespace MixdownTest;

namespace
{
constexpr int32_t kBar = 1024;
constexpr size_t kOneBarBytes = 44 + 88320 * 4;
constexpr size_t kOneBlockBytes = 556;

using MixdownStems = cMixdownFixture;

using tNames = std::vector<std::string>;

double ToneLevel(const std::vector<int16_t>& samples, double hertz)
{
    double re = 0.0, im = 0.0;
    const size_t frames = std::min<size_t>(samples.size() / 2, 44100);
    for (size_t f = 0; f < frames; ++f)
    {
        const double phase = 2.0 * M_PI * hertz * double(f) / 44100.0;
        re += samples[f * 2] * std::cos(phase);
        im += samples[f * 2] * std::sin(phase);
    }
    return std::sqrt(re * re + im * im) / double(frames);
}

std::vector<size_t> FileSizes(const std::string& folder)
{
    std::vector<size_t> sizes;
    for (const std::string& name : FolderNames(folder))
        sizes.push_back(std::filesystem::file_size(folder + "/" + name));
    return sizes;
}
} // namespace

// A new project's desk holds the pads' three buses and the four
// synthesizers; its two returns, fed by no input under a stem's mask, give
// no file.
TEST_F(MixdownStems, EveryChannelWithAnAudibleTrackBecomesAStem)
{
    int32_t files = 0;
    ASSERT_EQ(Render("User/Mixdowns/Stems", cMixdown::kRegionEntireSong, cMixdown::kOutputMixerChannels, false,
                     &files),
              cMixdown::kResultWritten);
    EXPECT_EQ(FolderNames(Native("User/Mixdowns/Stems")),
              (tNames{"Ch1-VRX.wav", "Ch2-VRX.wav", "Ch3-VRX.wav", "Ch4-Kest 1.wav", "Ch5-Kest 2.wav", "Ch6-Kest 3.wav",
                      "Ch7-Kest 4.wav"}));
    EXPECT_EQ(files, 7);
    EXPECT_EQ(FileSizes(Native("User/Mixdowns/Stems")), std::vector<size_t>(7, kOneBlockBytes));
}

// The reverb of a strip's send rings on in that strip's own stem, after
// its note has stopped dead: the returns lose nothing by giving no file.
TEST_F(MixdownStems, AStemCarriesWhatItsChannelSendsToTheReturns)
{
    AddPart(2, 0, kBar, 69, kBar);
    MuteAllBut(TrackIndexOfSlot(2));
    const size_t barFrames = (kOneBarBytes - 44) / 4;
    size_t dryFrames = 0;
    for (const float send : {0.0f, 1.0f})
    {
        SCOPED_TRACE(send);
        Tone(2).settings.send1 = send;
        const std::string folder = send > 0.0f ? "User/Mixdowns/Wet" : "User/Mixdowns/Dry";
        int32_t files = 0;
        ASSERT_EQ(Render(folder, cMixdown::kRegionEntireSong, cMixdown::kOutputMixerChannels, true, &files),
                  cMixdown::kResultWritten);
        ASSERT_EQ(FolderNames(Native(folder)), tNames{"Ch4-Kest 1.wav"});
        const std::vector<int16_t> stem = Samples(ReadBytes(Native(folder + "/Ch4-Kest 1.wav")));
        ASSERT_GE(stem.size() / 2, barFrames);
        int32_t after = 0;
        for (size_t i = barFrames * 2 + 4410 * 2; i < stem.size(); ++i)
            after = std::max(after, std::abs(int32_t(stem[i])));
        if (send == 0.0f)
        {
            dryFrames = stem.size() / 2;
            EXPECT_EQ(after, 0) << "nothing rings on a dry strip";
        }
        else
        {
            EXPECT_GT(stem.size() / 2, dryFrames + 4410) << "the tail runs while the reverb rings";
            EXPECT_GT(after, 30) << "the reverb is heard a tenth of a second after the note";
        }
    }
}

TEST_F(MixdownStems, AStemHoldsOnlyItsChannel)
{
    AddPart(2, 0, kBar, 69, kBar); // 440 Hz
    AddPart(3, 0, kBar, 81, kBar); // 880 Hz
    MuteAllBut(TrackIndexOfSlot(2));
    Sequencer().SetTrackMuteSolo(TrackIndexOfSlot(3), cTrack::kNormal);
    int32_t files = 0;
    ASSERT_EQ(Render("User/Mixdowns/Two.wav", cMixdown::kRegionEntireSong, cMixdown::kOutputMixerChannels, false,
                     &files),
              cMixdown::kResultWritten);
    EXPECT_EQ(FolderNames(Native("User/Mixdowns/Two")), (tNames{"Ch4-Kest 1.wav", "Ch5-Kest 2.wav"}));
    EXPECT_EQ(files, 2);
    const std::vector<int16_t> first = Samples(ReadBytes(Native("User/Mixdowns/Two/Ch4-Kest 1.wav")));
    const std::vector<int16_t> second = Samples(ReadBytes(Native("User/Mixdowns/Two/Ch5-Kest 2.wav")));
    EXPECT_GT(ToneLevel(first, 440.0), 100.0 * ToneLevel(first, 880.0));
    EXPECT_GT(ToneLevel(second, 880.0), 100.0 * ToneLevel(second, 440.0));
}

TEST_F(MixdownStems, OnlyTheAudibleSlotsGiveStems)
{
    MuteAllBut(TrackIndexOfSlot(2));
    int32_t files = 0;
    EXPECT_EQ(Render("User/Mixdowns/One", cMixdown::kRegionEntireSong, cMixdown::kOutputMixerChannels, false, &files),
              cMixdown::kResultWritten);
    EXPECT_EQ(FolderNames(Native("User/Mixdowns/One")), tNames{"Ch4-Kest 1.wav"});
    EXPECT_EQ(files, 1);

    MuteAllBut(-1);
    for (int32_t output : {cMixdown::kOutputMixerChannels, cMixdown::kOutputSongParts})
    {
        const std::string folder = "User/Mixdowns/None" + std::to_string(output);
        EXPECT_EQ(Render(folder, cMixdown::kRegionEntireSong, output, false, &files), cMixdown::kResultWritten);
        EXPECT_EQ(files, 0);
        EXPECT_TRUE(std::filesystem::is_directory(Native(folder))) << "the empty folder stays";
        EXPECT_EQ(FolderNames(Native(folder)), tNames{});
    }
}

TEST_F(MixdownStems, AFolderThatExistsIsRefused)
{
    AddPart(2, 0, kBar, 69, kBar);
    WriteBytes(Native("User/Mixdowns/Taken/keep.txt"), "mine");
    for (int32_t output : {cMixdown::kOutputMixerChannels, cMixdown::kOutputSongParts})
    {
        int32_t files = -1;
        EXPECT_EQ(Render("User/Mixdowns/Taken.wav", cMixdown::kRegionEntireSong, output, false, &files),
                  cMixdown::kResultFailed);
        EXPECT_EQ(files, 0);
        EXPECT_EQ(FolderNames(Native("User/Mixdowns/Taken")), tNames{"keep.txt"});
    }
    EXPECT_EQ(probe.calls, 0);
}

TEST_F(MixdownStems, ACancelLeavesNeitherTheFolderNorAStem)
{
    AddPart(2, 0, kBar, 69, kBar);
    AddPart(3, 0, kBar, 81, kBar);
    for (int32_t output : {cMixdown::kOutputMixerChannels, cMixdown::kOutputSongParts})
    {
        probe = cProgressProbe();
        probe.cancelAtCall = 1000; // inside the second file
        int32_t files = -1;
        EXPECT_EQ(Render("User/Mixdowns/Gone", cMixdown::kRegionEntireSong, output, false, &files),
                  cMixdown::kResultCancelled);
        EXPECT_EQ(files, 1) << "the first file was written before the cancel";
        EXPECT_FALSE(std::filesystem::exists(Native("User/Mixdowns/Gone")));
        EXPECT_EQ(FolderNames(Native("User/Mixdowns")), tNames{});
    }
}

// One file per part inside the region, numbered among its track's rendered
// parts; the desk's own parts are no stems.
TEST_F(MixdownStems, EveryPartInTheRegionBecomesAStem)
{
    AddPart(2, 0, kBar, 69, kBar);
    AddPart(2, 2 * kBar, kBar, 69, kBar);
    AddPart(3, kBar, kBar, 81, kBar);
    AddPart(0, 0, 4 * kBar);
    int32_t files = 0;
    ASSERT_EQ(Render("User/Mixdowns/Parts", cMixdown::kRegionEntireSong, cMixdown::kOutputSongParts, false, &files),
              cMixdown::kResultWritten);
    EXPECT_EQ(FolderNames(Native("User/Mixdowns/Parts")),
              (tNames{"Tr3-1 Kest 1.wav", "Tr3-2 Kest 1.wav", "Tr4-1 Kest 2.wav"}));
    EXPECT_EQ(files, 3);
    EXPECT_EQ(FileSizes(Native("User/Mixdowns/Parts")), std::vector<size_t>(3, kOneBarBytes));
    const std::vector<int16_t> part = Samples(ReadBytes(Native("User/Mixdowns/Parts/Tr4-1 Kest 2.wav")));
    EXPECT_GT(ToneLevel(part, 880.0), 100.0 * ToneLevel(part, 440.0)) << "the part plays alone from its start";

    gTransport.loopStart = kBar;
    gTransport.loopEnd = 3 * kBar;
    ASSERT_EQ(Render("User/Mixdowns/Loop", cMixdown::kRegionSongLoop, cMixdown::kOutputSongParts, false, &files),
              cMixdown::kResultWritten);
    EXPECT_EQ(FolderNames(Native("User/Mixdowns/Loop")), (tNames{"Tr3-1 Kest 1.wav", "Tr4-1 Kest 2.wav"}));
}

// An instrument's name is the user's text; a "/" in it once wrote the stem
// outside its folder.
TEST_F(MixdownStems, NamesLoseWhatNoFileNameMayHold)
{
    Slot(2)->SetName("../../Evil/x:y?");
    AddPart(2, 0, kBar, 69, kBar);
    MuteAllBut(TrackIndexOfSlot(2));
    ASSERT_EQ(Render("User/Mixdowns/Ch", cMixdown::kRegionEntireSong, cMixdown::kOutputMixerChannels, false),
              cMixdown::kResultWritten);
    ASSERT_EQ(Render("User/Mixdowns/Tr", cMixdown::kRegionEntireSong, cMixdown::kOutputSongParts, false),
              cMixdown::kResultWritten);
    EXPECT_EQ(FolderNames(Native("User/Mixdowns/Ch")), tNames{"Ch4-....Evilxy.wav"});
    EXPECT_EQ(FolderNames(Native("User/Mixdowns/Tr")), tNames{"Tr3-1 ....Evilxy.wav"});
    EXPECT_EQ(FolderNames(Native("User/Mixdowns")), (tNames{"Ch", "Tr"}));
    EXPECT_EQ(FolderNames(Documents()), tNames{"User"});
}
