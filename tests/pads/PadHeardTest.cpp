#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "BuildPaths.h"
#include "PadTestSupport.h"
#include "audio/AudioDevicePort.h"
#include "audio/AudioManager.h"
#include "audio/InstrumentSlotTable.h"
#include "ScopedEnv.h"
#include "audio/ScopedTransport.h"
#include "audio/Transport.h"
#include "audio/WaitUntil.h"
#include "audio/WavFile.h"
#include "base/Zip.h"
#include "instruments/pads/TriggerPadPackage.h"
#include "mixer/Mixer.h"
#include "mixer/MixingDeskInstrument.h"
#include "mixer/UnitsFixture.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Track.h"

using namespace PadTest;
using namespace std::chrono_literals;

namespace
{
constexpr double kFramesPerTick = 44100.0 * 60.0 / (120.0 * 256.0);
constexpr int32_t kClap = kFirstNote + 4;
constexpr int32_t kSnare = kFirstNote + 1;
constexpr int32_t kBeat = 256;

using PadHeard = cRegisteredUnits;

struct cCapture
{
    std::vector<int16_t> samples; // interleaved stereo
    size_t start = 0;             // the song's first frame

    int16_t L(size_t f) const { return samples[f * 2]; }
    int16_t R(size_t f) const { return samples[f * 2 + 1]; }
    size_t Frames() const { return samples.size() / 2; }
    size_t Due(int32_t tick) const { return start + size_t(std::ceil(double(tick) * kFramesPerTick)); }

    int32_t Peak(size_t from, size_t to, bool right) const
    {
        int32_t peak = 0;
        for (size_t f = from; f < to && f < Frames(); ++f)
            peak = std::max(peak, std::abs(int32_t(right ? R(f) : L(f))));
        return peak;
    }
    // Where a new sound begins near a tick: the first frame far louder than
    // what was sounding just before.
    size_t Onset(int32_t tick) const
    {
        const size_t due = Due(tick);
        const int32_t before = Peak(due - 1500, due - 400, false);
        for (size_t f = due - 400; f < due + 400; ++f)
            if (std::abs(int32_t(L(f))) > 4 * before + 300)
                return f;
        return SIZE_MAX;
    }
    // The level of what changes from frame to frame, where a low-pass takes
    // the most away.
    double Roughness(size_t from, size_t to) const
    {
        double sum = 0.0;
        for (size_t f = from + 1; f < to; ++f)
        {
            const double d = double(L(f)) - double(L(f - 1));
            sum += d * d;
        }
        return std::sqrt(sum / double(to - from - 1));
    }
};

cPatternEvent* AddNote(cPattern& pattern, int32_t time, int32_t note)
{
    cPatternEvent* event = cPatternEvent::Allocate();
    event->time = time;
    event->length = 64;
    event->SetNote(note);
    event->SetVelocity(120);
    pattern.InsertEventSorted(event);
    return event;
}

bool WaitForTick(int32_t tick) { return WaitUntil([&] { return gTransport.position.load() >= tick; }, 30000ms); }
} // namespace

// The real audio manager pulls the mixer, with a pad instrument on the
// "Default" kit unpacked from the installer's archive, into the disk device:
// a one-bar pattern from the song, then a key held with quarter-note repeat
// on a bus panned hard left, then a snare twice, the second time through its
// bus's low-pass. The capture is kept as "test-output/pads-heard.wav".
TEST_F(PadHeard, ThePadsAreHeardThroughTheDevice)
{
    cScopedTransport transport;
    cSampleFolder folder;
    ASSERT_EQ(Zip::cZipExtractor().ExtractArchive(BuildFile("bin/Resource/Install.zip").c_str(),
                                                  folder.Documents().c_str(), false),
              Zip::kResultOk);
    cTriggerPadPackage package;
    cSequencer sequencer;
    sequencer.SetLoopEnabled(false);
    sequencer.SetTempo(120.0f);
    cInstrumentSlotTable slots;
    auto* instrument = static_cast<cTriggerPadInstrument*>(package.CreateInstrument(1));
    cTriggerPad& pads = *instrument->GetPads();
    ASSERT_NE(pads.GetSample(4), nullptr) << "the default kit loaded";
    slots.SetSlot(1, instrument, false);
    cTrack* track = new cTrack();
    ASSERT_GE(sequencer.InsertTrack(track, 1, -1), 0);
    cPatternInstance* part = cPatternInstance::CreateWithPrivatePattern();
    part->start = 0;
    part->length = 1024;
    part->pattern->loopLength = 1024;
    const int32_t patternTicks[] = {0, kBeat, 2 * kBeat, 3 * kBeat};
    for (int32_t tick : patternTicks)
        AddNote(*part->pattern, tick, tick % 512 == 0 ? kClap : kSnare);
    track->InsertPart(part);

    const std::string raw = folder.Doc("capture.raw");
    int32_t pressTick = 0, releaseTick = 0, plainTick = 0, filteredTick = 0;
    {
        cScopedEnv driver("SDL_AUDIODRIVER", "disk");
        cScopedEnv file("SDL_DISKAUDIOFILE", raw.c_str());
        cAudioManager manager;
        cMixingDeskInstrument desk(nullptr);
        cMixer& mixer = *desk.GetMixer();
        mixer.InsertChannels(instrument, nullptr);
        manager.GetOutputPort()->AddListener(&mixer);
        cAudioSettings settings;
        settings.poolBufferCount = 8;
        settings.bufferLatency = 4; // the deepest queue: a busy machine cannot starve the device
        ASSERT_TRUE(manager.Init(settings)) << manager.GetErrorText();
        const int32_t clock = gTransport.clock;
        ASSERT_TRUE(WaitUntil([&] { return gTransport.clock.load() > clock + 2000; }, 20000ms));
        sequencer.Play(0);

        // The clap's bus (the first) is panned hard left, then a key repeats.
        ASSERT_TRUE(WaitForTick(1300));
        pads.PostEvent(ModuleParam(cTriggerPad::kParamBus1Pan, 0.0f));
        pads.PostEvent(MakeSetIntEvent(cTriggerPad::kClassRepeatLength, 3));
        ASSERT_TRUE(WaitForTick(2100));
        pressTick = gTransport.position;
        pads.PostEvent(Note(kAudioEventNoteOn, kClap, 110, UserId(0x4242)));
        ASSERT_TRUE(WaitForTick(3200));
        releaseTick = gTransport.position;
        pads.PostEvent(Note(kAudioEventNoteOff, kClap, 0, UserId(0x4242)));
        pads.PostEvent(MakeSetIntEvent(cTriggerPad::kClassRepeatLength, 0));

        // The snare's bus is centred again, then low-passed for its second hit.
        pads.PostEvent(ModuleParam(cTriggerPad::kParamBus1Pan, 0.5f));
        ASSERT_TRUE(WaitForTick(3700));
        plainTick = gTransport.position;
        pads.PostEvent(Note(kAudioEventNoteOn, kSnare, 127, UserId(0x4243)));
        ASSERT_TRUE(WaitForTick(4200));
        pads.PostEvent(MakeSetIntEvent(cTriggerPad::MakeSetId(OutputAddress(0, cTriggerPadOutput::kParamEnable)), 1));
        pads.PostEvent(ModuleParam(cTriggerPad::kParamBus1Cutoff, 0.25f));
        ASSERT_TRUE(WaitForTick(4400));
        filteredTick = gTransport.position;
        pads.PostEvent(Note(kAudioEventNoteOn, kSnare, 127, UserId(0x4244)));
        ASSERT_TRUE(WaitForTick(5000));
        std::this_thread::sleep_for(300ms);
        manager.Shutdown();
        manager.GetOutputPort()->RemoveListener(&mixer);
        mixer.RemoveChannels(instrument);
    }

    cCapture capture;
    const std::string bytes = folder.Read("capture.raw");
    capture.samples.resize(bytes.size() / 2);
    std::copy_n(bytes.data(), capture.samples.size() * 2, reinterpret_cast<char*>(capture.samples.data()));
    {
        const std::string kept = BuildFile("test-output/pads-heard.wav");
        std::filesystem::create_directories(std::filesystem::path(kept).parent_path());
        cWavFile wav;
        wav.SetFormat(44100, 16, 2);
        ASSERT_TRUE(wav.OpenWrite(kept.c_str()));
        ASSERT_TRUE(wav.WriteData(capture.samples.data(), uint32_t(capture.samples.size() * 2)));
        ASSERT_TRUE(wav.Close());
    }
    // Leading silence is the device playing before the song began; the
    // first clap, on the song's first frame, starts out of it.
    size_t first = 0;
    while (first < capture.Frames() && capture.L(first) == 0)
        ++first;
    ASSERT_LT(first, capture.Frames());
    capture.start = first;
    ASSERT_GT(capture.Frames(), capture.Due(5000));

    // The pattern's notes start on the first block at or after their ticks,
    // as the song plays them; the repeat's hits on the first frame of the
    // block in which the song clock reaches their steps.
    const auto expectOnset = [&](int32_t tick, int64_t earliest, int64_t latest) {
        const size_t onset = capture.Onset(tick);
        ASSERT_NE(onset, SIZE_MAX) << "tick " << tick;
        const int64_t offset = int64_t(onset) - int64_t(capture.Due(tick));
        EXPECT_GE(offset, earliest) << "tick " << tick;
        EXPECT_LE(offset, latest) << "tick " << tick;
    };
    for (int32_t tick : {patternTicks[1], patternTicks[2], patternTicks[3]})
        expectOnset(tick, 0, kBlock - 1);
    std::vector<int32_t> hits;
    for (int32_t tick = (pressTick / kBeat + 1) * kBeat; tick <= releaseTick; tick += kBeat)
        hits.push_back(tick);
    ASSERT_GE(hits.size(), 3u);
    for (int32_t tick : hits)
        expectOnset(tick, 1 - int64_t(kBlock), 0);
    const int32_t afterRelease = (releaseTick / kBeat + 1) * kBeat;
    EXPECT_EQ(capture.Onset(afterRelease), SIZE_MAX) << "the released key strikes no more";

    // The repeated clap is heard on the left only.
    const size_t from = capture.Due(hits.front()), to = capture.Due(hits.back()) + 11025;
    EXPECT_GT(capture.Peak(from, to, false), 3000);
    EXPECT_EQ(capture.Peak(from, to, true), 0);

    // The low-passed snare keeps its body and loses its highs.
    const size_t plain = capture.Due(plainTick), filtered = capture.Due(filteredTick);
    const double plainRoughness = capture.Roughness(plain, plain + 4000);
    const double filteredRoughness = capture.Roughness(filtered, filtered + 4000);
    EXPECT_GT(plainRoughness, 200.0);
    EXPECT_LT(filteredRoughness, 0.1 * plainRoughness) << plainRoughness << " " << filteredRoughness;
    EXPECT_GT(capture.Peak(filtered, filtered + 4000, false), capture.Peak(plain, plain + 4000, false) / 10);
}
