#include "MixdownFixture.h"

#include "audio/AudioDevicePort.h"
#include "audio/AudioManager.h"
#include "base/FileTestFolder.h"
#include "midi/FakeMIDISystem.h"
#include "midi/MIDIManager.h"

using namespace MixdownTest;

namespace
{
constexpr int32_t kBar = 1024;
constexpr int32_t kOneBarFrames = 88320; // 88200 at 120 BPM, in whole blocks

using MixdownRender = cMixdownFixture;

// The largest magnitude over the frames [from, to) of interleaved stereo.
int32_t Peak(const std::vector<int16_t>& samples, size_t from, size_t to)
{
    int32_t peak = 0;
    for (size_t i = from * 2; i < to * 2 && i < samples.size(); ++i)
        peak = std::max(peak, std::abs(int32_t(samples[i])));
    return peak;
}

// The level of one frequency over the left channel's frames [from, to).
double ToneLevel(const std::vector<int16_t>& samples, size_t from, size_t to, double hertz)
{
    double re = 0.0, im = 0.0;
    for (size_t f = from; f < to; ++f)
    {
        const double phase = 2.0 * M_PI * hertz * double(f) / 44100.0;
        re += samples[f * 2] * std::cos(phase);
        im += samples[f * 2] * std::sin(phase);
    }
    return std::sqrt(re * re + im * im) / double(to - from);
}
} // namespace

TEST(MixdownFrames, TheSpanLastsItsTicksAtTheTempoUpToTheCap)
{
    cScopedTransport transport;
    cSequencer sequencer;
    struct
    {
        int32_t start, end;
        float tempo;
        int32_t beats;
        int32_t frames;
    } const cases[] = {
        {0, 0, 120.0f, 4, 0},
        {0, 1024, 120.0f, 4, 88200},
        {0, 1024, 100.0f, 4, 105840},
        {0, 768, 120.0f, 3, 66150},
        {4096, 5120, 120.0f, 4, 88200},
        {1024, 0, 120.0f, 4, -88199},
        {0, 66560, 120.0f, 4, 5733000},
        {0, 512000, 40.0f, 4, cMixdown::kMaxFrames},
    };
    for (const auto& c : cases)
    {
        sequencer.SetTempo(c.tempo);
        sequencer.SetBeatsPerBar(c.beats);
        EXPECT_EQ(cMixdown::FramesForSpan(c.start, c.end), c.frames) << c.start << ".." << c.end << " at " << c.tempo;
    }
    EXPECT_EQ(cMixdown::kMaxFrames, 0x7D00000);
}

// Both full-scale values count, -32768 among them (it once read as
// negative in 16 bits and never counted).
TEST(MixdownFrames, FullScaleSamplesAreCountedInThirtyTwoBits)
{
    const int16_t samples[] = {32767, -32767, -32768, 32766, -32766, 0, 3276};
    EXPECT_EQ(cMixdown::CountFullScaleSamples(samples, 7), 3);
    const int16_t lowest[] = {-32768, -32768};
    EXPECT_EQ(cMixdown::CountFullScaleSamples(lowest, 2), 2);
}

// With the tail off a file holds the region in whole blocks: (F / 128
// rounded down + 1) x 128 frames of F.
TEST_F(MixdownRender, AFileHoldsItsRegionInWholeBlocks)
{
    struct
    {
        const char* name;
        float tempo;
        int32_t songEnd; // a part on slot 2 from 0, none when 0
        int32_t region;
        int32_t loopStart, loopEnd;
        uint32_t frames;
    } const cases[] = {
        {"empty song", 120.0f, 0, cMixdown::kRegionEntireSong, 0, 4096, 128},
        {"one bar at 120", 120.0f, kBar, cMixdown::kRegionEntireSong, 0, 4096, kOneBarFrames},
        {"one bar at 100", 100.0f, kBar, cMixdown::kRegionEntireSong, 0, 4096, 105856},
        {"the loop's two bars", 120.0f, 4 * kBar, cMixdown::kRegionSongLoop, kBar, 3 * kBar, 176512},
        {"loop end not after its start", 120.0f, 4 * kBar, cMixdown::kRegionSongLoop, 2 * kBar, kBar, 176512},
        {"loop start a bar past the song", 120.0f, kBar, cMixdown::kRegionSongLoop, 2 * kBar, kBar, 128},
        {"loop start far past the song", 120.0f, kBar, cMixdown::kRegionSongLoop, 8 * kBar, kBar, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        Sequencer().SetTempo(c.tempo);
        if (c.songEnd > 0)
            AddPart(2, 0, c.songEnd);
        gTransport.loopStart = c.loopStart;
        gTransport.loopEnd = c.loopEnd;
        int32_t files = -1;
        EXPECT_EQ(Render("User/Mixdowns/Mix.wav", c.region, cMixdown::kOutputFinalMix, false, &files),
                  cMixdown::kResultWritten);
        EXPECT_EQ(files, 1);
        const std::string bytes = ReadBytes(Native("User/Mixdowns/Mix.wav"));
        EXPECT_EQ(bytes.size(), 44 + c.frames * 4);
        EXPECT_EQ(Le32(bytes, 40), c.frames * 4);
    }
}

TEST_F(MixdownRender, TheHeaderIsTheCanonicalOneWithItsFinalSizes)
{
    AddPart(2, 0, kBar, 69, kBar);
    ASSERT_EQ(Render("User/Mixdowns/Mix.wav", cMixdown::kRegionEntireSong, cMixdown::kOutputFinalMix, false),
              cMixdown::kResultWritten);
    const std::string bytes = ReadBytes(Native("User/Mixdowns/Mix.wav"));
    ASSERT_EQ(bytes.size(), 44u + kOneBarFrames * 4);
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(Le32(bytes, 4), kOneBarFrames * 4 + 36);
    EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(Le32(bytes, 16), 16u);
    EXPECT_EQ(Le16(bytes, 20), 1);
    EXPECT_EQ(Le16(bytes, 22), 2);
    EXPECT_EQ(Le32(bytes, 24), 44100u);
    EXPECT_EQ(Le32(bytes, 28), 176400u);
    EXPECT_EQ(Le16(bytes, 32), 4);
    EXPECT_EQ(Le16(bytes, 34), 16);
    EXPECT_EQ(bytes.substr(36, 4), "data");
    EXPECT_EQ(Le32(bytes, 40), kOneBarFrames * 4);
    const std::vector<int16_t> samples = Samples(bytes);
    EXPECT_GT(Peak(samples, 0, 1000), 1000) << "the note sounds from the start";
    EXPECT_FALSE(std::filesystem::exists(Native("User/Mixdowns/Mix.wav.tmp")));
}

// The tail rings until the first block whose master peaks are both below
// 0.0001 (a value of 3 or less here), and that block is written.
TEST_F(MixdownRender, TheTailEndsOnTheFirstSilentBlock)
{
    Tone(2).settings.releaseFactor = 0.9998f;
    AddPart(2, 0, kBar, 69, kBar);
    ASSERT_EQ(Render("User/Mixdowns/Mix.wav", cMixdown::kRegionEntireSong, cMixdown::kOutputFinalMix, true),
              cMixdown::kResultWritten);
    const std::vector<int16_t> samples = Samples(ReadBytes(Native("User/Mixdowns/Mix.wav")));
    const size_t frames = samples.size() / 2;
    ASSERT_EQ(frames % 128, 0u);
    ASSERT_GT(frames, size_t(kOneBarFrames) + 128 * 50) << "the release rings on";
    EXPECT_LT(frames, size_t(kOneBarFrames + cMixdown::kTailFrames));
    EXPECT_LE(Peak(samples, frames - 128, frames), 3);
    EXPECT_GE(Peak(samples, frames - 256, frames - 128), 4);
    EXPECT_GT(probe.last, 1.0f) << "the tail is reported above 1";
}

// A sound that never stops gets ten seconds of tail: the region and 441000
// frames exactly, the last block cut to fit.
TEST_F(MixdownRender, ATailThatNeverFallsSilentStopsAfterTenSeconds)
{
    Tone(2).settings.drone = true;
    ASSERT_EQ(Render("User/Mixdowns/Mix.wav", cMixdown::kRegionEntireSong, cMixdown::kOutputFinalMix, true),
              cMixdown::kResultWritten);
    const std::string bytes = ReadBytes(Native("User/Mixdowns/Mix.wav"));
    EXPECT_EQ(Le32(bytes, 40), uint32_t(cMixdown::kTailFrames) * 4);
    EXPECT_GT(Peak(Samples(bytes), 440000, 441000), 1000);
}

TEST_F(MixdownRender, ClippingIsOneSampleInTenTwentyFourOfMoreThan2048)
{
    struct
    {
        const char* name;
        int32_t period;
        float value;
        int32_t songEnd;
        int32_t result;
    } const cases[] = {
        {"one frame in 1024 at the top", 1024, 100.0f, kBar, cMixdown::kResultClipping},
        {"one frame in 1024 at the bottom", 1024, -100.0f, kBar, cMixdown::kResultClipping},
        {"one frame in 2048", 2048, 100.0f, kBar, cMixdown::kResultWritten},
        {"every sample but only 256 of them", 1, 100.0f, 0, cMixdown::kResultWritten},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        Tone(2).settings.spikePeriod = c.period;
        Tone(2).settings.spikeValue = c.value;
        if (c.songEnd > 0)
            AddPart(2, 0, c.songEnd);
        int32_t files = 0;
        EXPECT_EQ(Render("User/Mixdowns/Mix.wav", cMixdown::kRegionEntireSong, cMixdown::kOutputFinalMix, false,
                         &files),
                  c.result);
        EXPECT_EQ(files, 1) << "a clipped file is still written";
    }
}

// A mute or solo the user set is heard in the final mix; afterwards the
// transport, loop, metronome, states, outputs and MIDI input are as before,
// however the run ended.
TEST_F(MixdownRender, TheUsersMutesHoldAndEverythingComesBackAfterAnyEnd)
{
    cAudioManager audio;
    cMIDIManager midi(std::make_unique<cFakeMIDISystem>());
    Tone(2).settings.level = 0.1f;
    Tone(3).settings.level = 0.1f;
    AddPart(2, 0, kBar, 69, kBar); // A4, 440 Hz
    AddPart(3, 0, kBar, 81, kBar); // A5, 880 Hz
    struct
    {
        const char* name;
        int32_t slot;
        int32_t state;
        int cancelAt;
        bool full;
        int32_t result;
    } const cases[] = {
        {"muted, finished", 2, cTrack::kMute, 0, false, cMixdown::kResultWritten},
        {"soloed, finished", 2, cTrack::kSolo, 0, false, cMixdown::kResultWritten},
        {"soloed, cancelled", 2, cTrack::kSolo, 5, false, cMixdown::kResultCancelled},
        {"muted, failed", 2, cTrack::kMute, 0, true, cMixdown::kResultFailed},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Sequencer().SetTrackMuteSolo(TrackIndexOfSlot(c.slot), c.state);
        gTransport.metronomeMode = 2;
        gTransport.loopStart = kBar;
        gTransport.loopEnd = 3 * kBar;
        Sequencer().SetLoopEnabled(true);
        Sequencer().SetPosition(1536);
        uint8_t before[cOfflineRender::kTrackStateCount] = {};
        const int32_t trackCount = cOfflineRender::GetTrackStates(before);
        std::vector<bool> audible;
        for (int32_t i = 0; i < trackCount; ++i)
            audible.push_back(Tracks().GetTrack(i)->IsAudible());

        bool offline = false;
        probe = cProgressProbe();
        probe.cancelAtCall = c.cancelAt;
        probe.onReport = [&](int call) {
            if (call != 1)
                return;
            offline = gTransport.metronomeMode == 0 && gTransport.loopOn == 0 &&
                      gTransport.state == cTransport::kPlaying && !audio.GetOutputPort()->IsEnabled() &&
                      midi.GetSuspendCount() == 1;
        };
        int32_t result = 0;
        {
            std::unique_ptr<cFileSizeLimit> full(c.full ? new cFileSizeLimit(100000) : nullptr);
            result = Render("User/Mixdowns/Mix.wav", cMixdown::kRegionEntireSong, cMixdown::kOutputFinalMix, false);
        }
        EXPECT_EQ(result, c.result);
        EXPECT_TRUE(offline) << "metronome, loop, outputs and MIDI input off while rendering";
        EXPECT_EQ(gTransport.state, cTransport::kStopped);
        EXPECT_EQ(gTransport.position, 1536);
        EXPECT_EQ(gTransport.metronomeMode, 2);
        EXPECT_EQ(gTransport.loopOn, 1);
        uint8_t after[cOfflineRender::kTrackStateCount] = {};
        ASSERT_EQ(cOfflineRender::GetTrackStates(after), trackCount);
        EXPECT_EQ(std::memcmp(before, after, size_t(trackCount)), 0);
        for (int32_t i = 0; i < trackCount; ++i)
            EXPECT_EQ(Tracks().GetTrack(i)->IsAudible(), audible[size_t(i)]) << "track " << i;
        EXPECT_TRUE(audio.GetOutputPort()->IsEnabled());
        EXPECT_EQ(midi.GetSuspendCount(), 0);
        if (result == cMixdown::kResultWritten)
        {
            const std::vector<int16_t> samples = Samples(ReadBytes(Native("User/Mixdowns/Mix.wav")));
            const double a4 = ToneLevel(samples, 4410, 44100, 440.0);
            const double a5 = ToneLevel(samples, 4410, 44100, 880.0);
            if (c.state == cTrack::kMute)
                EXPECT_GT(a5, 100.0 * a4) << "only the other track is heard";
            else
                EXPECT_GT(a4, 100.0 * a5) << "only the soloed track is heard";
        }
        Sequencer().SetTrackMuteSolo(TrackIndexOfSlot(c.slot), cTrack::kNormal);
        std::filesystem::remove(Native("User/Mixdowns/Mix.wav"));
    }
}

// A cancelled or failed file leaves the earlier file of its name as it was
// and nothing partial beside it; it used to be deleted before the render.
TEST_F(MixdownRender, ACancelledOrFailedFileKeepsTheEarlierOne)
{
    AddPart(2, 0, 4 * kBar, 69, 4 * kBar);
    const std::string earlier = "an earlier mixdown";
    struct
    {
        const char* name;
        int cancelAt;
        rlim_t limit; // 0: no limit
        int32_t result;
    } const cases[] = {
        {"cancelled", 3, 0, cMixdown::kResultCancelled},
        {"a write fails", 0, 200000, cMixdown::kResultFailed},
        {"the header cannot be written", 0, 20, cMixdown::kResultFailed},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        WriteBytes(Native("User/Mixdowns/Mix.wav"), earlier);
        probe = cProgressProbe();
        probe.cancelAtCall = c.cancelAt;
        int32_t files = -1;
        int32_t result = 0;
        {
            std::unique_ptr<cFileSizeLimit> full(c.limit ? new cFileSizeLimit(c.limit) : nullptr);
            result = Render("User/Mixdowns/Mix.wav", cMixdown::kRegionEntireSong, cMixdown::kOutputFinalMix, false,
                            &files);
        }
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(files, 0);
        EXPECT_EQ(ReadBytes(Native("User/Mixdowns/Mix.wav")), earlier);
        EXPECT_EQ(FolderNames(Native("User/Mixdowns")), std::vector<std::string>{"Mix.wav"});
    }
}

TEST_F(MixdownRender, NothingIsRenderedWithoutAProjectOrItsDesk)
{
    AddPart(2, 0, kBar, 69, kBar);
    const int32_t position = gTransport.position;
    // A crafted project whose slot 0 holds no desk.
    SetInstrumentSlot(nullptr, 0, true);
    ASSERT_EQ(GetMixer(), nullptr);
    for (int32_t output : {cMixdown::kOutputFinalMix, cMixdown::kOutputMixerChannels, cMixdown::kOutputSongParts})
        EXPECT_EQ(Render("User/Mixdowns/Mix.wav", cMixdown::kRegionEntireSong, output, true), cMixdown::kResultFailed);
    EXPECT_EQ(FolderNames(Native("User/Mixdowns")), std::vector<std::string>{});
    EXPECT_EQ(gTransport.position, position);
    EXPECT_EQ(probe.calls, 0);

    delete cProjectList::GetInstance();
    new cProjectList();
    int32_t files = -1;
    EXPECT_EQ(Render("User/Mixdowns/Mix.wav", cMixdown::kRegionEntireSong, cMixdown::kOutputFinalMix, true, &files),
              cMixdown::kResultNoProject);
    EXPECT_EQ(files, 0);
    EXPECT_EQ(FolderNames(Native("User/Mixdowns")), std::vector<std::string>{});
}
