#include "SamplerPanelFixture.h"

#include "audio/SampleRegistry.h"
#include "project/Project.h"
#include "project/ProjectList.h"
#include "sampler/WidgetSamplerPanelResample.h"

using namespace MixdownTest;
using namespace SamplerPanelTest;

namespace
{
using cJobResample = cWidgetSamplerPanelResample::cJobResample;

std::string ProjectFolder() { return cProjectList::GetInstance()->GetCurrentProject()->GetPath().CStr(); }

class SamplerResample : public cPanelFixture<cWidgetSamplerPanelResample>
{
protected:
    // The tab as it opens: loop bars 1-4 of a four-bar song at 120 BPM in 4/4.
    void SetUp() override
    {
        cPanelFixture::SetUp();
        StartAudio(false);
        gSettings.normalizeResample = false;
        Frames(2);
    }

    // REC with the tab's values, until the overlay has completed the job.
    void Resample(int32_t startBar, int32_t bars, int32_t preRoll)
    {
        panel->SetStartBar(startBar);
        panel->GetNumberOfBars()->SetValue(bars);
        panel->SetPreRollBars(preRoll);
        Click(panel->GetRecButton());
        Settle();
    }

    // The job alone, as the overlay runs it; the caller owns the result.
    static std::unique_ptr<cJobResample> RunJob(int32_t firstBar, int32_t bars, int32_t preRoll, bool cancel = false)
    {
        auto job = std::make_unique<cJobResample>(firstBar, bars, preRoll);
        job->mCancel = cancel;
        JobQueue::RunJob(job.get(), nullptr);
        return job;
    }
};

// The transport a run must leave as it found it.
struct cTransportState
{
    static cTransportState Now()
    {
        return {gTransport.state, gTransport.position, gTransport.loopOn, gTransport.loopStart, gTransport.loopEnd,
                gTransport.metronomeMode, TrackOfSlot(2)->GetMuteSolo()};
    }
    bool operator==(const cTransportState&) const = default;

    int32_t state, position, loopOn, loopStart, loopEnd, metronome, muteSolo;
};

std::ostream& operator<<(std::ostream& out, const cTransportState& s)
{
    return out << "state " << s.state << " position " << s.position << " loop " << s.loopOn << " " << s.loopStart
               << ".." << s.loopEnd << " click " << s.metronome << " mute/solo " << s.muteSolo;
}
} // namespace

TEST_F(SamplerResample, TheSpinnersComeFromTheSongAndDescribeTheRange)
{
    AddPart(2, 0, 8 * kBar);
    gTransport.loopStart = 4 * kBar;
    gTransport.loopEnd = 6 * kBar;
    panel->ResetFromSong();
    EXPECT_EQ(panel->GetStartBar()->GetValue(), 5) << "the loop's first bar";
    EXPECT_EQ(panel->GetStartBar()->maximum, 8) << "the song's bars";
    EXPECT_EQ(panel->GetNumberOfBars()->GetValue(), 2) << "the loop's length";
    EXPECT_EQ(panel->GetLargestBars(), 95) << "whole bars in 190.2 s at 120 BPM";
    EXPECT_EQ(panel->GetPreRollBars()->GetValue(), 2) << "4, held to the loop's length";

    struct
    {
        int32_t start, bars, preRoll;
        const char* preRollText;
        const char* description;
    } const cases[] = {
        {1, 1, 1, "1", "Bar 1 (2.0s), pre-roll 1 bar."},
        {5, 4, 4, "4", "Bars 5 - 8 (4 bars, 8.0s), pre-roll 4 bars."},
        {3, 2, 0, "None", "Bars 3 - 4 (2 bars, 4.0s), no pre-roll."},
    };
    for (const auto& c : cases)
    {
        panel->SetStartBar(c.start);
        panel->GetNumberOfBars()->SetValue(c.bars);
        panel->GetPreRollBars()->maximum = 8;
        panel->SetPreRollBars(c.preRoll);
        cGenStringFixed<128> text;
        panel->GetDescription(text);
        EXPECT_STREQ(text.CStr(), c.description);
        EXPECT_STREQ(panel->GetPreRollBars()->GetText(), c.preRollText);
    }

    // Fewer bars narrow the pre-roll's range and its value with it.
    panel->SetPreRollBars(6);
    panel->GetNumberOfBars()->SetValue(4);
    ClickCentre(panel->GetNumberOfBars()->GetDownZone());
    EXPECT_EQ(panel->GetNumberOfBars()->GetValue(), 3);
    EXPECT_EQ(panel->GetPreRollBars()->maximum, 3);
    EXPECT_EQ(panel->GetPreRollBars()->GetValue(), 3);
    EXPECT_STREQ(panel->GetPreRollBars()->GetText(), "3");
}

TEST_F(SamplerResample, OneBarBecomesTheModifiedSampleOfThePage)
{
    AddPart(2, 0, kBar, 69, kBar);
    Resample(1, 1, 1);
    ASSERT_NE(page.sample, nullptr);
    EXPECT_EQ(page.sample->GetFrames(), 88200);
    EXPECT_EQ(page.sample->GetChannels(), 2);
    EXPECT_EQ(page.sample->GetSampleRate(), 44100);
    EXPECT_EQ(SamplePath(), ProjectFolder() + "/Bar 1_1.wav");
    EXPECT_TRUE(page.modified);
    EXPECT_EQ(page.editSelections, 1);
    EXPECT_EQ(page.sample->GetRefCount(), 1) << "only the page holds it";
    EXPECT_FALSE(AlertShown());
    EXPECT_GT(PeakOf(Frames16(page.sample), 100, 88000), 1000) << "the note is in it";
    EXPECT_FALSE(std::filesystem::exists(Native(SamplePath()))) << "it reaches disk only when saved";
}

TEST_F(SamplerResample, ATakenNameGetsTheNextNumber)
{
    WriteBytes(Native(ProjectFolder() + "/Bar 5_8.wav"), "taken");
    AddPart(2, 0, 5 * kBar); // a song of five silent bars
    panel->ResetFromSong();
    Resample(5, 4, 0);
    ASSERT_NE(page.sample, nullptr);
    EXPECT_EQ(SamplePath(), ProjectFolder() + "/Bar 5_8-02.wav");
    EXPECT_EQ(page.sample->GetFrames(), 4 * 88200) << "past the song's end it renders silence";
    EXPECT_EQ(PeakOf(Frames16(page.sample), 0, 4 * 88200), 0);
    EXPECT_EQ(ReadBytes(Native(ProjectFolder() + "/Bar 5_8.wav")), "taken");
}

// A note ringing out near the end of a bar: a pre-roll plays the range's
// last bars first, so the tail sounds at the start of the sample; played
// through the song's loop when it starts at or past the loop's end.
TEST_F(SamplerResample, ThePreRollBringsTheTailToTheStart)
{
    struct
    {
        const char* name;
        int32_t noteBar, firstBar, preRoll, loopStart, loopEnd, loopOn;
        bool tailAtStart;
    } const cases[] = {
        {"no pre-roll", 3, 3, 0, 0, 16 * kBar, 0, false},
        {"one bar of pre-roll", 3, 3, 1, 0, 16 * kBar, 0, true},
        {"a pre-roll inside the loop", 0, 3, 1, 0, 16 * kBar, 0, false},
        {"past the loop's end, played from its start", 0, 3, 1, 0, kBar, 0, true},
        {"past the loop's end with the loop on", 0, 3, 1, 0, kBar, 1, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        Tone(2).settings.releaseFactor = 0.99995f;
        AddPart(2, c.noteBar * kBar + kBar / 2, kBar / 4, 69, kBar / 4);
        gTransport.loopStart = c.loopStart;
        gTransport.loopEnd = c.loopEnd;
        gTransport.loopOn = c.loopOn;
        const auto job = RunJob(c.firstBar, 1, c.preRoll);
        cSample* sample = job->GetSample();
        ASSERT_NE(sample, nullptr);
        const std::vector<int16_t> samples = Frames16(sample);
        EXPECT_EQ(PeakOf(samples, 100, 1000) > 100, c.tailAtStart) << PeakOf(samples, 100, 1000);
        EXPECT_EQ(gTransport.loopOn, c.loopOn) << "the loop switch is put back";
    }
}

// The instrument's frame counter marks where the render starts: after the
// engine's flush (6 blocks) and the pre-roll, which is held to the range.
TEST_F(SamplerResample, ThePreRollIsHeldToTheRange)
{
    constexpr int32_t kFlushFrames = 6 * 128;
    struct
    {
        int32_t bars, preRoll, preRollFrames;
    } const cases[] = {
        {1, 0, 0},
        {1, 1, 88200},
        {1, 4, 88200},
        {2, 4, 176400},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.preRoll);
        TearDown();
        SetUp();
        const int32_t mark = 1000;
        Tone(2).settings.spikePeriod = kFlushFrames + c.preRollFrames + mark;
        Tone(2).settings.spikeValue = 0.5f;
        const auto job = RunJob(4, c.bars, c.preRoll);
        ASSERT_NE(job->GetSample(), nullptr);
        const std::vector<int16_t> s = Frames16(job->GetSample());
        EXPECT_GT(std::abs(s[mark * 2]), 1000);
        EXPECT_EQ(PeakOf(s, 8, mark), 0);
    }
}

TEST_F(SamplerResample, TheFadesAreFourFramesAtEachEnd)
{
    Tone(2).settings.drone = true;
    for (int32_t preRoll : {0, 1})
    {
        SCOPED_TRACE(preRoll);
        const auto job = RunJob(0, 1, preRoll);
        ASSERT_NE(job->GetSample(), nullptr);
        const std::vector<int16_t> s = Frames16(job->GetSample());
        const size_t frames = s.size() / 2;
        if (preRoll > 0)
        {
            EXPECT_EQ(s[0], 0);
            EXPECT_LT(std::abs(s[2 * 2]), std::abs(s[5 * 2]) + 1);
        }
        else
            EXPECT_NE(s[5 * 2], 0) << "the song's own start is kept";
        EXPECT_EQ(s[(frames - 1) * 2], 0) << "the last frame is silent";
        EXPECT_EQ(s[(frames - 1) * 2 + 1], 0);
    }
}

TEST_F(SamplerResample, TheTransportIsPutBackAfterAFinishedAndACancelledRun)
{
    AddPart(2, 0, 4 * kBar, 69, kBar);
    Sequencer().SetTrackMuteSolo(TrackIndexOfSlot(2), cTrack::kSolo);
    gTransport.metronomeMode = 2;
    gTransport.loopStart = kBar;
    gTransport.loopEnd = 3 * kBar;
    Sequencer().SetLoopEnabled(true);
    Sequencer().SetPosition(1500);
    const cTransportState before = cTransportState::Now();
    for (bool cancel : {false, true})
    {
        SCOPED_TRACE(cancel ? "cancelled" : "finished");
        const auto job = RunJob(0, 2, 2, cancel);
        EXPECT_EQ(job->GetSample() != nullptr, !cancel);
        EXPECT_EQ(cTransportState::Now(), before);
    }
    EXPECT_EQ(cSample::GetTotalMemory(), 0) << "the cancelled sample is gone";

    // Cancelled from the overlay mid-render: the page keeps what it had.
    panel->ResetFromSong();
    panel->GetNumberOfBars()->SetValue(64);
    panel->GetStartBar()->maximum = 64;
    Click(panel->GetRecButton());
    ASSERT_TRUE(WaitUntil(
        [&] {
            Frames(1);
            return page.host.progress->GetBarValue() > 0.0f;
        },
        60s));
    Click(page.host.progress->GetButton());
    Settle();
    EXPECT_EQ(page.sample, nullptr);
    EXPECT_EQ(page.samplesSet, 0);
    EXPECT_FALSE(page.modified);
    EXPECT_EQ(cTransportState::Now(), before);
}

TEST_F(SamplerResample, ClippingIsReportedWhenNormalizing)
{
    Tone(2).settings.spikePeriod = 1024;
    Tone(2).settings.spikeValue = 100.0f;
    AddPart(2, 0, kBar);
    gSettings.normalizeResample = true;
    Frames(2);
    EXPECT_EQ(panel->GetAutoNormalize()->value, 0) << "shown at the next state change";
    Resample(1, 1, 0);
    ASSERT_NE(page.sample, nullptr);
    ASSERT_TRUE(AlertShown());
    EXPECT_STREQ(page.host.alert->GetName(), "Clipping Detected");
    EXPECT_STREQ(page.host.alert->firstLine.CStr(), "If the sample sounds distorted, reduce the mixer's");
    EXPECT_STREQ(page.host.alert->secondLine.CStr(), "master volume and try resampling again.");

    // Without normalizing the same render is kept as it is, unreported.
    page.host.alert->Hide();
    Frames(20);
    gSettings.normalizeResample = false;
    page.SetSample(nullptr);
    Resample(1, 1, 0);
    ASSERT_NE(page.sample, nullptr);
    EXPECT_FALSE(AlertShown());
}

TEST_F(SamplerResample, QuietMaterialIsNormalizedToFullScale)
{
    AddPart(2, 0, kBar, 69, kBar);
    Tone(2).settings.level = 1.0f;
    gSettings.normalizeResample = true;
    const auto job = RunJob(0, 1, 0);
    ASSERT_NE(job->GetSample(), nullptr);
    EXPECT_FALSE(job->IsClippingDetected());
    EXPECT_GE(PeakOf(Frames16(job->GetSample()), 0, 88200), 32700);
}

// Without a desk in slot 0 there is nothing to render through: no sample,
// and neither the page nor the transport is touched.
TEST_F(SamplerResample, AProjectWithoutItsMixerGivesNoResult)
{
    SetInstrumentSlot(nullptr, 0, true);
    ASSERT_EQ(GetMixer(), nullptr);
    gTransport.metronomeMode = 2;
    Sequencer().SetPosition(700);
    const cTransportState before = cTransportState::Now();
    Resample(1, 1, 1);
    EXPECT_EQ(page.sample, nullptr);
    EXPECT_EQ(page.samplesSet, 0);
    EXPECT_FALSE(page.modified);
    EXPECT_FALSE(AlertShown());
    EXPECT_EQ(cTransportState::Now(), before);
    EXPECT_EQ(cSampleRegistry::FindAndAddRef((ProjectFolder() + "/Bar 1_1.wav").c_str(), false), nullptr);
}

TEST_F(SamplerResample, TheTabAsAUserSeesIt)
{
    AddPart(2, 0, 4 * kBar, 69, kBar);
    panel->ResetFromSong();
    Frames(5);
    EXPECT_EQ(page.host.title, "Resample main mix");
    EXPECT_TRUE(panel->GetRecButton()->IsEnabled()) << "the audio output is initialised";
    Save("sampler-resample");
}
