#include "SamplerPanelFixture.h"

#include <sstream>

#include "project/Project.h"
#include "project/ProjectList.h"
#include "sampler/WidgetSamplerPanelSample.h"

using namespace MixdownTest;
using namespace SamplerPanelTest;

namespace
{
using cJobSample = cWidgetSamplerPanelSample::cJobSample;

std::string ProjectFolder() { return cProjectList::GetInstance()->GetCurrentProject()->GetPath().CStr(); }

// Processor time of the "JobQueue" thread in clock ticks (1/100 s), from
// its user and system times in /proc; -1 when it is not found.
long JobThreadCpuTicks()
{
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task"))
    {
        const std::string stat = ReadBytes(task.path().string() + "/stat");
        const size_t open = stat.find('('), close = stat.rfind(')');
        if (open == std::string::npos || close == std::string::npos ||
            stat.substr(open + 1, close - open - 1) != "JobQueue")
            continue;
        std::istringstream fields(stat.substr(close + 2));
        std::string field;
        long user = 0, system = 0;
        for (int i = 3; i <= 15 && fields >> field; ++i)
        {
            if (i == 14)
                user = std::stol(field);
            if (i == 15)
                system = std::stol(field);
        }
        return user + system;
    }
    return -1;
}

// The frames where a sound starts after at least a tenth of a second of
// silence on the left channel.
std::vector<size_t> Onsets(const std::vector<int16_t>& samples, int32_t threshold)
{
    std::vector<size_t> onsets;
    size_t quietSince = 0;
    for (size_t f = 0; f < samples.size() / 2; ++f)
    {
        if (std::abs(int32_t(samples[f * 2])) < threshold)
            continue;
        if (onsets.empty() || f - quietSince > 4410)
            onsets.push_back(f);
        quietSince = f;
    }
    return onsets;
}

class SamplerCapture : public cPanelFixture<cWidgetSamplerPanelSample>
{
protected:
    void SetUp() override
    {
        cPanelFixture::SetUp();
        gSettings.normalizeSample = false;
    }

    // The tab's values, then REC; with wait, until the overlay has
    // completed the take.
    void Take(int32_t monitor, int32_t seconds, bool loopRecord, bool wait = true)
    {
        panel->UpdateSongRange();
        panel->SetMonitor(monitor);
        if (monitor != cWidgetSamplerPanelSample::kMonitorSong)
            panel->SetLength(seconds);
        panel->GetLoopRecord()->value = loopRecord ? 1 : 0;
        Frames(1);
        Click(panel->GetRecButton());
        if (wait)
            Settle();
    }
};
} // namespace

TEST_F(SamplerCapture, TheMonitorShowsTheClickOrTheSongRange)
{
    struct
    {
        const char* name;
        float tempo;
        int32_t loopStart, loopEnd;
        int32_t monitor;
        const char* text;
        int32_t seconds; // the length shown; -1: the user's 60
        bool lengthEnabled;
    } const cases[] = {
        {"off", 120.0f, 0, 4 * kBar, 0, "Off", 60, true},
        {"the click", 96.5f, 0, 4 * kBar, 1, "Click 96.5 BPM", 60, true},
        {"a one-bar loop", 120.0f, kBar, 2 * kBar, 2, "Song (2-2)", 2, false},
        {"a four-bar loop at 60", 60.0f, 0, 4 * kBar, 2, "Song (1-4)", 16, false},
        {"no loop: whole bars that fit one sample", 120.0f, 0, 0, 2, "Song (1-95)", 190, false},
        {"back to off", 120.0f, 0, 0, 0, "Off", 190, true},
    };
    panel->SetLength(60);
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Sequencer().SetTempo(c.tempo);
        gTransport.loopStart = c.loopStart;
        gTransport.loopEnd = c.loopEnd;
        panel->UpdateSongRange();
        panel->SetMonitor(c.monitor);
        EXPECT_STREQ(panel->GetMonitor()->GetText(), c.text);
        EXPECT_EQ(panel->GetLength()->GetValue(), c.seconds);
        EXPECT_EQ(panel->GetLength()->IsEnabled(), c.lengthEnabled);
    }
    EXPECT_EQ(panel->GetLength()->maximum, 190) << "32 MB of 16-bit stereo at 44100 Hz";
    panel->SetLength(500);
    EXPECT_STREQ(panel->GetLength()->GetText(), "190s");
}

// Without a running audio output there is nothing to record; with one, REC
// is offered and a take runs with the transport playing its source.
TEST_F(SamplerCapture, ModesFollowTheAudioOutputAndTheTake)
{
    Frames(2);
    EXPECT_EQ(panel->GetMode(), cWidgetSamplerPanelSample::kModeNotReady);
    EXPECT_FALSE(panel->GetRecButton()->IsEnabled());
    EXPECT_EQ(page.host.title, "Sample main output");
    Save("sampler-sample-no-output");
    panel->StartSampling();
    EXPECT_EQ(panel->GetJob(), nullptr) << "nothing starts without output";

    StartAudio(true);
    Frames(2);
    EXPECT_EQ(panel->GetMode(), cWidgetSamplerPanelSample::kModeReady);
    EXPECT_TRUE(panel->GetRecButton()->IsEnabled());
    Save("sampler-sample");

    struct
    {
        int32_t monitor;
        int32_t state; // while recording
    } const cases[] = {
        {cWidgetSamplerPanelSample::kMonitorOff, cTransport::kStopped},
        {cWidgetSamplerPanelSample::kMonitorClick, cTransport::kMetronomeCountIn},
        {cWidgetSamplerPanelSample::kMonitorSong, cTransport::kPlayCountIn},
    };
    gTransport.loopStart = kBar;
    gTransport.loopEnd = 2 * kBar;
    Sequencer().SetPosition(3 * kBar + 100);
    const int32_t loopOn = gTransport.loopOn;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.monitor);
        Take(c.monitor, 10, true, false);
        EXPECT_EQ(panel->GetMode(), cWidgetSamplerPanelSample::kModeCapturing);
        ASSERT_NE(panel->GetJob(), nullptr);
        ASSERT_TRUE(WaitUntil(
            [&] {
                Frames(1);
                return panel->GetJob()->GetCaptured() > 0 || gTransport.state == cTransport::kPlayCountIn;
            },
            20s));
        EXPECT_EQ(gTransport.state, c.state);
        if (c.monitor == cWidgetSamplerPanelSample::kMonitorClick)
        {
            Frames(30); // the overlay's zoom-in, and clicks on the meter
            Save("sampler-sample-capturing");
        }
        Click(page.host.progress->GetButton());
        Settle();
        EXPECT_EQ(gTransport.state, cTransport::kStopped);
        EXPECT_EQ(gTransport.position, 3 * kBar + 100) << "the position is put back";
        EXPECT_EQ(gTransport.loopOn, loopOn);
        EXPECT_EQ(gTransport.loopStart, kBar);
        EXPECT_EQ(gTransport.loopEnd, 2 * kBar);
        EXPECT_EQ(panel->GetMode(), cWidgetSamplerPanelSample::kModeReady);
        EXPECT_EQ(panel->GetJob(), nullptr);
        page.SetSample(nullptr);
    }
}

TEST_F(SamplerCapture, TheClickPlaysABeatEveryHalfSecond)
{
    StartAudio(true);
    Take(cWidgetSamplerPanelSample::kMonitorClick, 4, false);
    ASSERT_NE(page.sample, nullptr);
    EXPECT_EQ(page.sample->GetFrames(), 4 * 44100) << "a take without loop record stops when full";
    EXPECT_TRUE(page.modified);
    EXPECT_EQ(page.editSelections, 1);
    const std::vector<size_t> onsets = Onsets(Frames16(page.sample), 2000);
    ASSERT_GE(onsets.size(), 7u) << PeakOf(Frames16(page.sample), 0, 4 * 44100);
    for (size_t i = 1; i < onsets.size(); ++i)
        EXPECT_NEAR(double(onsets[i] - onsets[i - 1]), 22050.0, 128.0) << i;
}

// The song range after its two-bar count-in: the take starts on the bar's
// first frame and holds the bar once, as loop record is off.
TEST_F(SamplerCapture, TheSongRangeStartsOnItsFirstFrame)
{
    AddPart(2, kBar, kBar / 4, 69, kBar / 8);
    AddPart(2, kBar + kBar / 2, kBar / 4, 69, kBar / 8);
    gTransport.loopStart = kBar;
    gTransport.loopEnd = 2 * kBar;
    StartAudio(true);
    Take(cWidgetSamplerPanelSample::kMonitorSong, 0, false);
    ASSERT_NE(page.sample, nullptr);
    EXPECT_EQ(page.sample->GetFrames(), 88200);
    const std::vector<int16_t> samples = Frames16(page.sample);
    const std::vector<size_t> onsets = Onsets(samples, 1000);
    ASSERT_EQ(onsets.size(), 2u) << "the count-in's clicks are not in it";
    EXPECT_LT(onsets[0], 4u) << "the note on the bar's first frame";
    EXPECT_NEAR(double(onsets[1]), 44100.0, 128.0) << "events fall on the engine's blocks";
    EXPECT_EQ(gTransport.loopStart, kBar);
}

// Sixty seconds of 16-bit stereo are allocated before the first block is
// heard; stopped early, the take keeps what it heard.
TEST_F(SamplerCapture, ASixtySecondTakeIsAllocatedBeforeListening)
{
    StartAudio(true);
    Take(cWidgetSamplerPanelSample::kMonitorOff, 60, false, false);
    ASSERT_TRUE(WaitUntil(
        [&] {
            Frames(1);
            return panel->GetJob()->GetSample() != nullptr;
        },
        20s));
    EXPECT_EQ(panel->GetJob()->GetSample()->GetDataBytes(), 10584000);
    EXPECT_LT(panel->GetJob()->GetCaptured(), 44100);
    const long ticksBefore = JobThreadCpuTicks();
    ASSERT_GE(ticksBefore, 0);
    ASSERT_TRUE(WaitUntil(
        [&] {
            std::this_thread::sleep_for(10ms);
            return panel->GetJob()->GetCaptured() >= 44100;
        },
        20s));
    // The waiting job sleeps between its looks: a second of take costs far
    // less than a second of processor time.
    EXPECT_LT(JobThreadCpuTicks() - ticksBefore, 30);
    Click(page.host.progress->GetButton());
    Settle();
    ASSERT_NE(page.sample, nullptr);
    EXPECT_GE(page.sample->GetFrames(), 44100);
    EXPECT_LT(page.sample->GetFrames(), 60 * 44100);
}

TEST_F(SamplerCapture, TakesAreNamedSampleOneThenTwo)
{
    StartAudio(true);
    Take(cWidgetSamplerPanelSample::kMonitorOff, 1, false);
    ASSERT_NE(page.sample, nullptr);
    EXPECT_EQ(SamplePath(), ProjectFolder() + "/Sample-01.wav");
    EXPECT_EQ(page.sample->GetFrames(), 44100);
    cSample* first = page.sample;
    first->AddRef();
    Take(cWidgetSamplerPanelSample::kMonitorOff, 1, false);
    ASSERT_NE(page.sample, nullptr);
    EXPECT_EQ(SamplePath(), ProjectFolder() + "/Sample-02.wav");
    first->Release();
}

class SamplerCaptureRing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mKept = gSettings.normalizeSample;
        gSettings.normalizeSample = false;
    }
    void TearDown() override { gSettings.normalizeSample = mKept; }

private:
    bool mKept = true;
};

// The ring driven block by block: 1.5 times its capacity ends with the
// oldest of the last capacity frames first; the count-in of a song take is
// dropped; a take stopped before any frame is one silent frame.
TEST_F(SamplerCaptureRing, LoopRecordKeepsTheLastCapacityOldestFirst)
{
    cJobSample::cSettings settings;
    settings.seconds = 1000.0f / 44100.0f;
    settings.loopRecord = true;
    cJobSample job(nullptr, settings);
    cSample* sample = cSample::Create("ring.wav", 16, 2, 44100, 1000);
    ASSERT_NE(sample, nullptr);
    job.BeginTake(sample);
    std::vector<int16_t> block(128 * 2);
    cAudioBuffer buffer;
    buffer.Describe(kAudioFormatS16, 128, 2, block.data());
    cAudioProcessInfo info;
    info.sampleRate = 44100.0f;
    int32_t frame = 0;
    while (frame < 1500)
    {
        const int32_t n = std::min(128, 1500 - frame);
        buffer.frames = uint32_t(n);
        for (int32_t i = 0; i < n; ++i)
            block[size_t(i) * 2] = block[size_t(i) * 2 + 1] = int16_t(frame + i);
        job.Process(info, buffer);
        frame += n;
    }
    EXPECT_FALSE(job.IsStopRequested()) << "a ring never fills";
    EXPECT_EQ(job.GetCaptured(), 1000);
    EXPECT_EQ(job.GetWritePosition(), 500);
    job.FinishTake();
    const int16_t* data = sample->GetData16();
    ASSERT_EQ(sample->GetFrames(), 1000);
    for (int32_t f = 0; f < 1000; ++f)
        ASSERT_EQ(data[f * 2], 500 + f) << f;
}

TEST_F(SamplerCaptureRing, ATakeStoppedBeforeAnyFrameIsSilent)
{
    cJobSample::cSettings settings;
    cJobSample job(nullptr, settings);
    cSample* sample = cSample::Create("silent.wav", 16, 2, 44100, 4410);
    ASSERT_NE(sample, nullptr);
    std::memset(sample->GetData(), 0x55, size_t(sample->GetDataBytes()));
    job.BeginTake(sample);
    job.FinishTake();
    ASSERT_EQ(sample->GetFrames(), 1);
    EXPECT_EQ(sample->GetData16()[0], 0);
    EXPECT_EQ(sample->GetData16()[1], 0);
}

TEST_F(SamplerCaptureRing, AFormatChangeStopsTheTakeKeepingWhatItHas)
{
    cJobSample::cSettings settings;
    settings.loopRecord = false;
    cJobSample job(nullptr, settings);
    cSample* sample = cSample::Create("format.wav", 16, 2, 44100, 1000);
    ASSERT_NE(sample, nullptr);
    job.BeginTake(sample);
    std::vector<int16_t> block(128 * 2, 1234);
    cAudioBuffer buffer;
    buffer.Describe(kAudioFormatS16, 128, 2, block.data());
    cAudioProcessInfo info;
    info.sampleRate = 44100.0f;
    job.Process(info, buffer);
    info.sampleRate = 48000.0f;
    job.Process(info, buffer);
    EXPECT_TRUE(job.IsStopRequested());
    EXPECT_EQ(job.GetCaptured(), 128);
    EXPECT_NEAR(job.GetLevel(), 20.0f * std::log10(1234.0f / 32767.0f), 0.01f);
    job.FinishTake();
    EXPECT_EQ(sample->GetFrames(), 128);
}
