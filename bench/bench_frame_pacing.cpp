// The cost and accuracy of the paced frame loop. Goals: frame starts within
// 1 ms of the 60 Hz grid (median over 600 frames), and the idle program, an
// empty window redrawn by nothing, under 5 % of one core. Each run takes
// about 10 s; run by hand.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "base/Clock.h"
#include "platform/FramePacer.h"

extern char** environ;

namespace
{
double Seconds() { return double(GetTicks()) / double(GetTicksPerSecond()); }

double ThreadCpuSeconds()
{
    rusage usage;
    getrusage(RUSAGE_THREAD, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// 600 frames of the real pacer with no work between them: how far each start
// lies from the 60 Hz grid the first one set, and the share of a core spent.
void BM_FramePacing(benchmark::State& state)
{
    constexpr int kFrames = 600;
    for (auto _ : state)
    {
        cFramePacer pacer;
        pacer.SetFramesPerSecond(60.0f);
        std::vector<double> starts;
        const double cpuBefore = ThreadCpuSeconds();
        for (int i = 0; i < kFrames; ++i)
        {
            pacer.WaitForFrameStart();
            starts.push_back(pacer.GetLastFrameTime());
            pacer.EndFrame(true);
        }
        const double cpu = ThreadCpuSeconds() - cpuBefore;
        std::vector<double> offsets;
        for (int i = 1; i < kFrames; ++i)
            offsets.push_back(std::fabs(starts[size_t(i)] - (starts[0] + double(i) / 60.0)) * 1e6);
        std::nth_element(offsets.begin(), offsets.begin() + long(offsets.size() / 2), offsets.end());
        state.counters["median_offset_us"] = offsets[offsets.size() / 2];
        state.counters["cpu_percent"] = 100.0 * cpu / (starts.back() - starts.front());
    }
}

// The processor time of a process in seconds, from /proc.
double ProcessCpuSeconds(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string field;
    double ticks = 0;
    for (int i = 1; i <= 15 && stat >> field; ++i)
        if (i == 14 || i == 15)
            ticks += std::stod(field);
    return ticks / double(sysconf(_SC_CLK_TCK));
}

// The program itself, headless with nothing on screen, measured over 10 s
// after it has settled.
void BM_IdleProgram(benchmark::State& state)
{
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
    self[length > 0 ? length : 0] = 0;
    const std::filesystem::path folder = std::filesystem::path(self).parent_path();
    std::string program = (folder / "quilwright").string();
    std::vector<std::string> environment = {"SDL_AUDIODRIVER=dummy",
                                            "XDG_DATA_HOME=" + (folder / "bench-idle-data").string()};
    environment.push_back(std::string("SDL_VIDEODRIVER=") +
                          (std::getenv("SDL_VIDEODRIVER") ? std::getenv("SDL_VIDEODRIVER") : "offscreen"));
    for (const char* name : {"DISPLAY", "HOME", "XAUTHORITY"})
        if (const char* value = std::getenv(name))
            environment.push_back(std::string(name) + "=" + value);
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    for (auto _ : state)
    {
        char* argv[] = {program.data(), nullptr};
        pid_t pid = -1;
        if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0)
        {
            state.SkipWithError("the program could not be started");
            return;
        }
        std::this_thread::sleep_for(std::chrono::seconds(3));
        const double before = ProcessCpuSeconds(pid);
        const double start = Seconds();
        std::this_thread::sleep_for(std::chrono::seconds(10));
        const double cpu = ProcessCpuSeconds(pid) - before;
        const double wall = Seconds() - start;
        kill(pid, SIGTERM);
        int status = 0;
        waitpid(pid, &status, 0);
        state.counters["cpu_percent"] = 100.0 * cpu / wall;
    }
}
} // namespace

BENCHMARK(BM_FramePacing)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_IdleProgram)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_MAIN();
