// Sample loading, Ogg Vorbis encoding and sample voices, each beside a
// general library or tool doing the same job, so the two read side by side:
// cSample::Load of a 60 s stereo WAV (16 and 24-bit) against libsndfile's
// sf_readf_short (goal: within 1.2x); ConvertToOgg at 128 kbit/s against
// "oggenc -b 128" in a child process (goal: within 1.2x); and one 220-frame
// device buffer of 64 interpolating stereo voices (goal: under 5 % of the
// 4.99 ms period, 250 us).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sndfile.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "audio/AudioBuffer.h"
#include "audio/Sample.h"
#include "audio/SamplePlayer.h"
#include "audio/WavFile.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"

extern char** environ;

namespace
{
constexpr uint32_t kRate = 44100;
constexpr uint32_t kSeconds = 60;
constexpr int kVoices = 64;
constexpr uint32_t kDeviceFrames = 220;
constexpr uint32_t kBlockFrames = 128;

void WriteLE(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(char(value >> (8 * i)));
}

// A stereo WAV of two detuned sines with a little noise, at 16 or 24 bits.
void WriteTestWav(const std::string& path, uint16_t bits)
{
    const uint32_t frames = kRate * kSeconds;
    const uint16_t align = uint16_t(2 * bits / 8);
    std::string bytes = "RIFF";
    WriteLE(bytes, 36 + frames * align, 4);
    bytes += "WAVEfmt ";
    WriteLE(bytes, 16, 4);
    WriteLE(bytes, 1, 2);
    WriteLE(bytes, 2, 2);
    WriteLE(bytes, kRate, 4);
    WriteLE(bytes, kRate * align, 4);
    WriteLE(bytes, align, 2);
    WriteLE(bytes, bits, 2);
    bytes += "data";
    WriteLE(bytes, frames * align, 4);
    uint32_t noise = 1;
    for (uint32_t i = 0; i < frames; ++i)
        for (int c = 0; c < 2; ++c)
        {
            noise = noise * 1664525u + 1013904223u;
            const double x = 0.4 * std::sin(i * (c ? 0.0631 : 0.0627)) + 0.01 * (int32_t(noise) / 2147483648.0);
            WriteLE(bytes, uint32_t(int32_t(x * (bits == 16 ? 32767.0 : 8388607.0))), bits / 8);
        }
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

struct cWorkspace
{
    cWorkspace()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "bench-samples-XXXXXX").string();
        folder = mkdtemp(pattern.data()) ? pattern : std::string();
        registry.Mount(new File::cFileSystemDisk("Native", ""));
        registry.Mount(new File::cFileSystemDisk("Doc", folder.c_str()));
        WriteTestWav(folder + "/long16.wav", 16);
        WriteTestWav(folder + "/long24.wav", 24);
    }
    ~cWorkspace()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    std::string folder;
    cFileSystemRegistry registry;
};

cWorkspace& Workspace()
{
    static cWorkspace workspace;
    return workspace;
}

void LoadSample(benchmark::State& state, const char* name)
{
    Workspace();
    for (auto _ : state)
    {
        cSample* sample = cSample::Load(name, 0);
        if (!sample)
        {
            state.SkipWithError(cSample::GetErrorText());
            return;
        }
        benchmark::DoNotOptimize(sample->GetData());
        sample->Release();
    }
}

void ReadWithSndfile(benchmark::State& state, const char* name)
{
    const std::string path = Workspace().folder + "/" + name;
    for (auto _ : state)
    {
        SF_INFO info = {};
        SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
        if (!file)
        {
            state.SkipWithError("libsndfile could not open the file");
            return;
        }
        std::unique_ptr<short[]> data(new short[size_t(info.frames) * size_t(info.channels)]);
        benchmark::DoNotOptimize(sf_readf_short(file, data.get(), info.frames));
        sf_close(file);
    }
}

void BM_SampleLoad16(benchmark::State& state) { LoadSample(state, "long16.wav"); }
void BM_SndfileRead16(benchmark::State& state) { ReadWithSndfile(state, "long16.wav"); }
void BM_SampleLoad24(benchmark::State& state) { LoadSample(state, "long24.wav"); }
void BM_SndfileRead24(benchmark::State& state) { ReadWithSndfile(state, "long24.wav"); }

void BM_ConvertToOgg128(benchmark::State& state)
{
    const std::string source = Workspace().folder + "/long16.wav";
    const std::string destination = Workspace().folder + "/ours.ogg";
    for (auto _ : state)
    {
        cWavFile wav;
        if (wav.ConvertToOgg(source.c_str(), destination.c_str(), 128000) != cWavFile::kConvertDone)
            state.SkipWithError(wav.GetConversionError());
    }
}

void BM_OggencTool128(benchmark::State& state)
{
    const std::string source = Workspace().folder + "/long16.wav";
    const std::string destination = Workspace().folder + "/tool.ogg";
    for (auto _ : state)
    {
        const char* argv[] = {"oggenc", "-Q", "-b", "128", "-o", destination.c_str(), source.c_str(), nullptr};
        pid_t pid = -1;
        int status = -1;
        if (posix_spawnp(&pid, "oggenc", nullptr, nullptr, const_cast<char**>(argv), environ) != 0 ||
            waitpid(pid, &status, 0) != pid || status != 0)
            state.SkipWithError("oggenc failed (vorbis-tools is installed by scripts/setup-deps)");
    }
}

// One device buffer (a 128 and a 92-frame block) of 64 looping stereo
// voices, each interpolating at its own pitch, as a full synthesizer plays.
void BM_SamplePlayers64(benchmark::State& state)
{
    Workspace();
    cSample* sample = cSample::Create("voices.wav", 16, 2, int32_t(kRate), int32_t(kRate));
    int16_t* data = reinterpret_cast<int16_t*>(sample->GetData());
    for (uint32_t i = 0; i < 2 * kRate; ++i)
        data[i] = int16_t(12000 * std::sin(i * 0.01));
    std::vector<std::unique_ptr<cSamplePlayer>> players;
    for (int v = 0; v < kVoices; ++v)
    {
        players.push_back(std::make_unique<cSamplePlayer>());
        players.back()->Start(sample, 0, int32_t(kRate), v % 4, 1, 0);
    }
    cAudioProcessInfo info;
    info.sampleRate = float(kRate);
    info.secondsPerSample = 1.0f / float(kRate);
    std::vector<float> mix(kBlockFrames * 2);
    cAudioBuffer block;
    for (auto _ : state)
    {
        for (uint32_t frames : {kBlockFrames, kDeviceFrames - kBlockFrames})
        {
            block.Describe(kAudioFormatFloat, frames, 2, mix.data());
            std::fill(mix.begin(), mix.end(), 0.0f);
            for (int v = 0; v < kVoices; ++v)
                players[size_t(v)]->Render(info, block, true, 2, true, std::pow(2.0f, float(v % 24) / 12.0f) * 0.75f,
                                           0.5f, 0.5f, 0.5f, 0.5f);
            benchmark::DoNotOptimize(mix.data());
        }
    }
    players.clear();
    sample->Release();
}
} // namespace

BENCHMARK(BM_SampleLoad16)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SndfileRead16)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SampleLoad24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SndfileRead24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ConvertToOgg128)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_OggencTool128)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_SamplePlayers64)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
