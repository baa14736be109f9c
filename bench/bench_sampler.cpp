// The sample editor on a ten-minute stereo 16-bit sample made in memory
// (105.8 MB, three times what a loaded sample may hold):
// - a frame of the editor (view, overview rebuilt, draw list, a renderer that
//   draws nothing) over the whole sample, a second, 16 frames and during an
//   animated zoom; goal under 0.5 ms (3 % of the 16.7 ms frame) and flat
//   across zooms;
// - Delete and Trim of 100 s, Normalize, Fade in and Silence of the whole,
//   each writing its undo file, and each undo; goal under 400 ms and within
//   2x of sox making the same edit ("trim", "norm", "fade", "vol 0") on the
//   same sample as a WAV file, run in the same process;
// - the longest time the audio thread waits for the audio manager's lock
//   while those edits and undos run on a 32 MB sample (goal under 20 ms),
//   reported as the counter "longest_wait_ms".
// The effect render:
// - a 120 s stereo sample through "Q-HALLS" and "VELTRIX" (delay) with
//   pre-roll and tail, beside sox's "reverb" and "echo" on the same sample
//   as a WAV file, run in the same process; goal within 3x of sox.
// The sampler page:
// - a frame of each tab (goal under 0.5 ms).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "BenchToolkit.h"
#include "audio/AudioManager.h"
#include "audio/Sample.h"
#include "audio/SampleRegistry.h"
#include "base/CriticalSection.h"
#include "base/DeletableRoots.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "mixer/EffectChorusDelay.h"
#include "mixer/EffectRack.h"
#include "mixer/EffectRegistry.h"
#include "mixer/EffectUnits.h"
#include "sampler/SampleEditModel.h"
#include "sampler/SampleEditor.h"
#include "sampler/SampleRender.h"
// Resample and capture.
#include <functional>

#include "AllocationCounter.h"
#include "BenchReferenceSong.h"
#include "audio/InstrumentPackageRegistry.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/Transport.h"
#include "audio/WaveShaper.h"
#include "audio/Wavetable.h"
#include "base/FastMath.h"
#include "base/RootPaths.h"
#include "base/Zip.h"
#include "mixer/MixingDeskPackage.h"
#include "project/ProjectList.h"
#include "sampler/Mixdown.h"
#include "sampler/WidgetSamplerPanelResample.h"
#include "sampler/WidgetSamplerPanelSample.h"
#include "sampler/WidgetSampler.h"
#include "support/QuietBrowserHost.h"
#include "mixer/AuditionPlayer.h"
#include "ui/WidgetTabView.h"

extern char** environ;

namespace
{
constexpr int32_t kRate = 44100;
constexpr int32_t kLongFrames = 600 * kRate;
// 32 MB of stereo 16-bit data: the most a rendered or captured sample holds.
constexpr int32_t kCappedFrames = 0x2000000 / 4;
constexpr int32_t kHundredSeconds = 100 * kRate;

void Fill(cSample& sample)
{
    int16_t* data = reinterpret_cast<int16_t*>(sample.GetData());
    uint32_t noise = 1;
    for (int64_t i = 0; i < int64_t(sample.GetFrames()) * 2; ++i)
    {
        noise = noise * 1664525u + 1013904223u;
        const double x = 0.3 * std::sin(double(i / 2) * (i % 2 ? 0.0631 : 0.0627)) + 0.01 * (int32_t(noise) / 2147483648.0);
        data[i] = int16_t(x * 32767.0);
    }
}

void WriteLE(std::FILE* file, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        std::fputc(int(value >> (8 * i)) & 0xff, file);
}

void WriteWav(const std::string& path, const cSample& sample)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const uint32_t bytes = uint32_t(sample.GetDataBytes());
    std::fputs("RIFF", file);
    WriteLE(file, 36 + bytes, 4);
    std::fputs("WAVEfmt ", file);
    for (const auto& [value, size] : std::vector<std::pair<uint32_t, int>>{
             {16, 4}, {1, 2}, {2, 2}, {uint32_t(kRate), 4}, {uint32_t(kRate * 4), 4}, {4, 2}, {16, 2}})
        WriteLE(file, value, size);
    std::fputs("data", file);
    WriteLE(file, bytes, 4);
    std::fwrite(sample.GetData(), 1, bytes, file);
    std::fclose(file);
}

// A scratch "Tmp" with the sampler's folder, the samples, and the long one
// as a WAV file for sox.
class cWorkspace
{
public:
    cWorkspace()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "bench-sampler-XXXXXX").string();
        folder = mkdtemp(pattern.data()) ? pattern : std::string();
        std::filesystem::create_directories(folder + "/Temp/Sampler");
        registry.Mount(new File::cFileSystemDisk("Native", ""));
        registry.Mount(new File::cFileSystemDisk("Tmp", (folder + "/Temp").c_str()));
        AddDeletableRoot((folder + "/Temp").c_str());
        longSample = cSample::Create("long.wav", 16, 2, kRate, kLongFrames);
        cappedSample = cSample::Create("capped.wav", 16, 2, kRate, kCappedFrames);
        if (!longSample || !cappedSample)
            return;
        Fill(*longSample);
        Fill(*cappedSample);
        wavPath = folder + "/long.wav";
        WriteWav(wavPath, *longSample);
    }
    ~cWorkspace()
    {
        if (longSample)
            longSample->Release();
        if (cappedSample)
            cappedSample->Release();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    std::string folder;
    std::string wavPath;
    cFileSystemRegistry registry;
    cSample* longSample = nullptr;
    cSample* cappedSample = nullptr;
};

cWorkspace& Workspace()
{
    static cWorkspace workspace;
    return workspace;
}

// The editor as the sampler page shows it, 1024 x 738, on the bench's null
// renderer.
class cBenchEditor : public cBenchToolkit
{
public:
    cBenchEditor()
    {
        editor = new cSampleEditor(nullptr);
        editor->SetAnchors(kAnchorsAbsoluteRect, 0.0f, 30.0f, 1024.0f, 738.0f);
        manager->GetRoot()->AddChild(editor);
        editor->Release();
        editor->SetSample(Workspace().longSample);
        manager->Draw();
    }
    ~cBenchEditor() { editor->SetSample(nullptr); }

    cSampleEditor* editor = nullptr;
};

// One frame with the overview built again, as while the view moves.
void EditorFrame(benchmark::State& state, int32_t start, int32_t length)
{
    if (!Workspace().longSample)
    {
        state.SkipWithError("no memory for the sample");
        return;
    }
    cBenchEditor bench;
    if (length > 0)
        bench.editor->ZoomTo(0.0f, start, length, false);
    for (auto _ : state)
    {
        bench.editor->GetModel().SetOverviewDirty(true);
        bench.manager->Draw();
    }
    state.counters["view_frames"] = double(bench.editor->GetViewLength());
}

void BM_EditorFrameWholeSample(benchmark::State& state) { EditorFrame(state, 0, 0); }
void BM_EditorFrameOneSecond(benchmark::State& state) { EditorFrame(state, 300 * kRate, kRate); }
void BM_EditorFrameSixteenFrames(benchmark::State& state) { EditorFrame(state, 300 * kRate, 16); }

// Zooms back and forth between the whole sample and 16 frames, each frame
// one step of the animation.
void BM_EditorFrameAnimatedZoom(benchmark::State& state)
{
    if (!Workspace().longSample)
        return state.SkipWithError("no memory for the sample");
    cBenchEditor bench;
    cSampleEditor* editor = bench.editor;
    bool in = true;
    for (auto _ : state)
    {
        if (editor->GetViewLength() == editor->GetTargetLength() && editor->GetViewStart() == editor->GetTargetStart())
        {
            if (in)
                editor->ZoomTo(0.0f, 300 * kRate, 16, true);
            else
                editor->ZoomPreset(1, true);
            in = !in;
        }
        bench.manager->Draw();
    }
}

// The edits on the model alone: an edit and its undo, one of them timed.
enum eEdit
{
    kDelete,
    kTrim,
    kNormalize,
    kFadeIn,
    kSilence,
};

bool RunEdit(cSampleEditModel& model, eEdit edit)
{
    switch (edit)
    {
    case kDelete:
    case kTrim:
        model.SetSelection(kHundredSeconds, 2 * kHundredSeconds);
        return edit == kDelete ? model.Delete() : model.Trim();
    case kNormalize:
        model.ClearSelection();
        return model.Normalize();
    case kFadeIn:
        model.ClearSelection();
        return model.FadeIn();
    case kSilence:
        model.ClearSelection();
        return model.Silence();
    }
    return false;
}

void Edit(benchmark::State& state, eEdit edit, bool timeUndo)
{
    cSample* sample = Workspace().longSample;
    if (!sample)
        return state.SkipWithError("no memory for the sample");
    cSampleEditModel model;
    model.SetSample(sample);
    for (auto _ : state)
    {
        if (timeUndo)
            state.PauseTiming();
        const bool done = RunEdit(model, edit);
        if (timeUndo)
            state.ResumeTiming();
        else
            state.PauseTiming();
        const bool undone = model.GetHistory().Undo() != nullptr;
        if (!timeUndo)
            state.ResumeTiming();
        if (!done || !undone)
            return state.SkipWithError(model.GetErrorText());
    }
    model.SetSample(nullptr);
}

void BM_Delete100s(benchmark::State& state) { Edit(state, kDelete, false); }
void BM_DeleteUndo(benchmark::State& state) { Edit(state, kDelete, true); }
void BM_Trim100s(benchmark::State& state) { Edit(state, kTrim, false); }
void BM_TrimUndo(benchmark::State& state) { Edit(state, kTrim, true); }
void BM_NormalizeWhole(benchmark::State& state) { Edit(state, kNormalize, false); }
void BM_NormalizeUndo(benchmark::State& state) { Edit(state, kNormalize, true); }
void BM_FadeInWhole(benchmark::State& state) { Edit(state, kFadeIn, false); }
void BM_FadeInUndo(benchmark::State& state) { Edit(state, kFadeIn, true); }
void BM_SilenceWhole(benchmark::State& state) { Edit(state, kSilence, false); }
void BM_SilenceUndo(benchmark::State& state) { Edit(state, kSilence, true); }

// sox making the same edit of the same sample, file to file.
void Sox(benchmark::State& state, std::vector<const char*> effect)
{
    if (Workspace().wavPath.empty())
        return state.SkipWithError("no memory for the sample");
    const std::string out = Workspace().folder + "/sox-out.wav";
    std::vector<const char*> argv = {"sox", "-q", Workspace().wavPath.c_str(), out.c_str()};
    argv.insert(argv.end(), effect.begin(), effect.end());
    argv.push_back(nullptr);
    for (auto _ : state)
    {
        pid_t pid = -1;
        int status = -1;
        if (posix_spawnp(&pid, "sox", nullptr, nullptr, const_cast<char**>(argv.data()), environ) != 0 ||
            waitpid(pid, &status, 0) != pid || status != 0)
            return state.SkipWithError("sox failed (it is installed by scripts/setup-deps)");
    }
}

void BM_SoxDelete100s(benchmark::State& state) { Sox(state, {"trim", "0", "=100", "=200"}); }
void BM_SoxTrim100s(benchmark::State& state) { Sox(state, {"trim", "100", "100"}); }
void BM_SoxNormalize(benchmark::State& state) { Sox(state, {"norm"}); }
void BM_SoxFadeIn(benchmark::State& state) { Sox(state, {"fade", "t", "600"}); }
void BM_SoxSilence(benchmark::State& state) { Sox(state, {"vol", "0"}); }

// Stands in for the audio thread: takes the lock once a millisecond, as it
// does for each buffer, and keeps the longest it had to wait.
class cLockProbe
{
public:
    explicit cLockProbe(cCriticalSection* lock) : mLock(lock), mThread([this] { Run(); }) {}
    ~cLockProbe()
    {
        mStop = true;
        mThread.join();
    }
    double LongestWaitMs() const { return mLongest.load() * 1e-6; }

private:
    void Run()
    {
        while (!mStop)
        {
            const auto before = std::chrono::steady_clock::now();
            mLock->Enter();
            const auto waited = std::chrono::steady_clock::now() - before;
            mLock->Leave();
            const int64_t nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(waited).count();
            mLongest = std::max<int64_t>(mLongest.load(), nanoseconds);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    cCriticalSection* mLock;
    std::atomic<bool> mStop{false};
    std::atomic<int64_t> mLongest{0};
    std::thread mThread;
};

void BM_LongestLockHoldOf32MB(benchmark::State& state)
{
    cSample* sample = Workspace().cappedSample;
    if (!sample)
        return state.SkipWithError("no memory for the sample");
    cAudioManager manager; // its lock only: no device is opened
    cSampleEditModel model;
    model.SetSample(sample);
    double longest = 0.0;
    for (auto _ : state)
    {
        for (eEdit edit : {kDelete, kTrim, kNormalize, kFadeIn, kSilence})
        {
            cLockProbe probe(manager.GetLock());
            if (!RunEdit(model, edit) || !model.GetHistory().Undo())
                return state.SkipWithError(model.GetErrorText());
            longest = std::max(longest, probe.LongestWaitMs());
        }
    }
    state.counters["longest_wait_ms"] = longest;
    model.SetSample(nullptr);
}

// ---------------------------------------------------------------- effect render

constexpr int32_t kRenderFrames = 120 * kRate;

// The render's source in memory and as a WAV file for sox, and the rack: a
// hall reverb, then a delay, both switched on.
class cRenderBench
{
public:
    cRenderBench()
    {
        if (Workspace().folder.empty())
            return;
        if (!gEffectRegistry)
            RegisterEffectPackages();
        sample = cSample::Create("render-120s.wav", 16, 2, kRate, kRenderFrames);
        if (!sample)
            return;
        Fill(*sample);
        wavPath = Workspace().folder + "/render-120s.wav";
        WriteWav(wavPath, *sample);
        rack.BuildInsertChain();
        for (const auto& [slot, unit] : {std::pair{"SLOT1", "Q-HALLS"}, std::pair{"SLOT2", "VELTRIX"}})
        {
            cEffectRackNode* node = rack.FindNode(slot);
            node->InstallEffect(unit);
            if (node->GetEffect())
                node->GetEffect()->SetEnabled(true);
        }
        if (auto* delay = static_cast<cEffectChorusDelay*>(rack.FindNode("SLOT2")->GetEffect()))
            delay->params.Type = cChorusDelayParams::kTypeDelay;
    }
    ~cRenderBench()
    {
        rack.DeleteNodes();
        if (sample)
            sample->Release();
    }

    cSample* sample = nullptr;
    std::string wavPath;
    cEffectRack rack;
};

cRenderBench& RenderBench()
{
    static cRenderBench bench;
    return bench;
}

void BM_EffectRender120s(benchmark::State& state)
{
    cRenderBench& bench = RenderBench();
    if (!bench.sample || !bench.rack.FindNode("SLOT2")->GetEffect())
        return state.SkipWithError("no sample or no effect units");
    const std::string out = Workspace().folder + "/Temp/Sampler/EffectRender.wav";
    int32_t frames = 0;
    for (auto _ : state)
    {
        cSampleRender render((cDelegate()));
        render.settings.sample = bench.sample;
        render.settings.rack = &bench.rack;
        render.settings.endFrame = kRenderFrames;
        render.settings.preRoll = 1;
        render.settings.tail = 1;
        if ((render.Render(out.c_str()) & cSampleRender::kErrorMask) != 0)
            return state.SkipWithError("the render failed");
        frames = render.GetFramesConverted();
    }
    state.counters["frames_written"] = double(frames);
}

void BM_SoxReverbEcho120s(benchmark::State& state)
{
    if (!RenderBench().sample)
        return state.SkipWithError("no memory for the sample");
    const std::string out = Workspace().folder + "/sox-render.wav";
    const char* argv[] = {"sox", "-V1", RenderBench().wavPath.c_str(), out.c_str(), "reverb", "echo", "0.8", "0.9",
                          "375", "0.4", nullptr};
    for (auto _ : state)
    {
        pid_t pid = -1;
        int status = -1;
        if (posix_spawnp(&pid, "sox", nullptr, nullptr, const_cast<char**>(argv), environ) != 0 ||
            waitpid(pid, &status, 0) != pid || status != 0)
            return state.SkipWithError("sox failed (it is installed by scripts/setup-deps)");
    }
}
// ---------------------------------------------------------------- resample and capture
// - The Resample tab's job over 64 bars of the reference song's project (the
//   song placed as bench_mixdown places it, the synthesizer and the pads
//   through the project's mixer), no pre-roll, beside the mixdown of the same
//   64 bars as the song loop with the tail off, in one run, each first in
//   turn: counter "x_mixdown" is the resample's best wall time over the
//   mixdown's (goal: at most 1.1).
// - One 128-frame block of the program's output through the capture job's
//   module, as the "MainOut" port hands it over on the audio thread (goal:
//   under 2 us); counter "allocations" over all blocks (goal: 0).
namespace ResampleBench
{
constexpr int32_t kBars = 64;
const char* const kMixdownOutput = "User/Mixdowns/Bars.wav";

std::filesystem::path OutputFolder()
{
    const std::filesystem::path folder =
        std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "bench-output";
    std::filesystem::create_directories(folder);
    return folder;
}

// The song's engine over the workspace's mounts, with a data home beside them.
BenchReferenceSong::cSongRig& SongRig()
{
    static BenchReferenceSong::cSongRig rig(Workspace().folder + "/home", OutputFolder() / "resample-song-pads.mid");
    return rig;
}

double Seconds(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_Resample64BarsBesideMixdown(benchmark::State& state)
{
    BenchReferenceSong::cSongRig& rig = SongRig();
    if (!rig.ready)
        return state.SkipWithError("no reference song");
    const int32_t ticksPerBar = gTransport.ticksPerBar;
    gTransport.loopStart = 0;
    gTransport.loopEnd = kBars * ticksPerBar;
    double resample = 0.0, mixdown = 0.0;
    int32_t frames = 0, result = -1;
    bool resampleFirst = true;
    for (auto _ : state)
    {
        cWidgetSamplerPanelResample::cJobResample job(0, kBars, 0);
        cMixdown render(0.0f, 1.0f, cDelegate());
        int32_t files = 0;
        const auto resampleRun = [&] { return Seconds([&] { job.Run(nullptr); }); };
        const auto mixdownRun = [&]
        {
            return Seconds(
                [&] { result = render.Render(cGenString(kMixdownOutput), cMixdown::kRegionSongLoop,
                                             cMixdown::kOutputFinalMix, false, &files); });
        };
        // Each goes first in turn, so neither always meets a cold cache.
        double r = 0.0, m = 0.0;
        if (resampleFirst)
        {
            r = resampleRun();
            m = mixdownRun();
        }
        else
        {
            m = mixdownRun();
            r = resampleRun();
        }
        resampleFirst = !resampleFirst;
        if (!job.GetSample())
            return state.SkipWithError("the resample made no sample");
        frames = job.GetSample()->GetFrames();
        resample = resample > 0.0 ? std::min(resample, r) : r;
        mixdown = mixdown > 0.0 ? std::min(mixdown, m) : m;
        state.SetIterationTime(r);
    }
    if (result > cMixdown::kResultClipping)
        return state.SkipWithError("the mixdown wrote no file");
    state.counters["frames"] = frames;
    state.counters["resample_ms"] = resample * 1e3;
    state.counters["mixdown_ms"] = mixdown * 1e3;
    state.counters["x_mixdown"] = resample / mixdown;
}

void BM_CaptureBlock(benchmark::State& state)
{
    cWidgetSamplerPanelSample::cJobSample::cSettings settings;
    settings.seconds = 60.0f;
    cWidgetSamplerPanelSample::cJobSample job(nullptr, settings);
    cSample* sample = cSample::Create("capture-bench.wav", 16, 2, kRate, 60 * kRate);
    if (!sample)
        return state.SkipWithError("no memory for the take");
    job.BeginTake(sample);
    std::vector<int16_t> block(128 * 2);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = int16_t(std::sin(double(i) * 0.05) * 12000.0);
    cAudioBuffer buffer;
    buffer.Describe(kAudioFormatS16, 128, 2, block.data());
    cAudioProcessInfo info;
    info.sampleRate = float(kRate);
    SetCountAllocationsOnThisThread(true);
    const uint64_t before = GetCountedAllocations();
    for (auto _ : state)
        benchmark::DoNotOptimize(job.Process(info, buffer));
    state.counters["allocations"] = double(GetCountedAllocations() - before);
    SetCountAllocationsOnThisThread(false);
}
} // namespace ResampleBench
} // namespace

BENCHMARK(BM_EditorFrameWholeSample)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditorFrameOneSecond)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditorFrameSixteenFrames)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EditorFrameAnimatedZoom)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Delete100s)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_DeleteUndo)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_SoxDelete100s)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_Trim100s)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_TrimUndo)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_SoxTrim100s)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_NormalizeWhole)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_NormalizeUndo)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_SoxNormalize)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_FadeInWhole)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_FadeInUndo)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_SoxFadeIn)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_SilenceWhole)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_SilenceUndo)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_SoxSilence)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_LongestLockHoldOf32MB)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_EffectRender120s)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_SoxReverbEcho120s)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
// Resample and capture: after the lock probe, whose audio manager must be gone first.
BENCHMARK(ResampleBench::BM_Resample64BarsBesideMixdown)->Unit(benchmark::kMillisecond)->Iterations(4)->UseManualTime();
BENCHMARK(ResampleBench::BM_CaptureBlock)->Unit(benchmark::kNanosecond);

// ---------------------------------------------------------------------------
// The sampler page: one frame of each tab (0 Sample, 1 Resample, 2 Edit,
// 3 Effects) with a ten-second stereo sample, the page shown over the main
// window as the program shows it, on the null renderer; goal under 0.5 ms.
namespace
{
// The main screen without a screen: only the main window the page shows on.
class cBenchPageHost : public cQuietBrowserHost
{
public:
    explicit cBenchPageHost(cWidgetModalContainer* window) : mWindow(window) {}
    cWidgetModalContainer* GetMainWindow() override { return mWindow; }

private:
    cWidgetModalContainer* mWindow;
};

void BM_SamplerPageFrame(benchmark::State& state)
{
    cBenchToolkit toolkit;
    cBenchPageHost host(toolkit.manager->GetRoot());
    cAuditionPlayer player;
    cSample* sample = cSample::Create("User/Samples/Bench.wav", 16, 2, kRate, 10 * kRate);
    Fill(*sample);
    auto* page = new cWidgetSampler(host);
    page->SetSample(sample);
    page->Show(cDelegate());
    page->GetTabView()->SelectPage(int32_t(state.range(0)), true);
    toolkit.manager->Draw();
    for (auto _ : state)
        toolkit.manager->Draw();
    page->Close(cWidgetSampler::kResultNothingKept);
    page->Release();
    sample->Release();
}
} // namespace

BENCHMARK(BM_SamplerPageFrame)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
// ---------------------------------------------------------------------------

BENCHMARK_MAIN();
