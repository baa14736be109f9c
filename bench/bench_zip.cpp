// Packs and unpacks a 50 MB folder of mixed files with the zip helpers, and
// the same folder with the zip and unzip tools at the same level (-9), so the
// two can be read side by side. Times are wall-clock: the tools run in child
// processes.
#include "base/DeletableRoots.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "base/Zip.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
constexpr size_t kFolderBytes = 50u << 20;

std::string MakeWorkFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "bench-zip-XXXXXX").string();
    return mkdtemp(pattern.data()) ? pattern : std::string();
}

// A third each of text-like, audio-like and random bytes, in files of
// 64 KB to 4 MB spread over a few folders.
void FillSourceFolder(const std::string& root)
{
    std::mt19937 random(1234);
    size_t written = 0;
    int index = 0;
    const char* words[] = {"Pattern", "Track", "Kick", "Snare", "<Part ", "Velocity=\"100\" ", "Note", "\n   "};
    while (written < kFolderBytes)
    {
        const size_t size = size_t(64 << 10) << (index % 7);
        std::string data;
        data.reserve(size);
        switch (index % 3)
        {
        case 0:
            while (data.size() < size)
                data += words[random() % 8];
            break;
        case 1:
            for (size_t i = 0; data.size() < size; ++i)
            {
                const int16_t sample = int16_t(12000 * std::sin(double(i) * 0.031) + int(random() % 64));
                data.append(reinterpret_cast<const char*>(&sample), 2);
            }
            break;
        default:
            while (data.size() < size)
                data.push_back(char(random()));
        }
        data.resize(size);
        const std::filesystem::path path =
            std::filesystem::path(root) / ("Dir" + std::to_string(index % 5)) / ("file" + std::to_string(index) + ".bin");
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary).write(data.data(), std::streamsize(data.size()));
        written += size;
        ++index;
    }
}

struct sWorkspace
{
    sWorkspace()
    {
        folder = MakeWorkFolder();
        FillSourceFolder(folder + "/Source");
        AddDeletableRoot(folder.c_str());
        registry.Mount(new File::cFileSystemDisk("Doc", folder.c_str()));
    }
    ~sWorkspace()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::string folder;
    cFileSystemRegistry registry;
};

sWorkspace& Workspace()
{
    static sWorkspace workspace;
    return workspace;
}

void Run(const std::string& command)
{
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "failed: %s\n", command.c_str());
}

void BM_ZipHelpersCompress(benchmark::State& state)
{
    Workspace();
    for (auto _ : state)
    {
        Zip::cZipCompressor compressor;
        if (compressor.Compress("Source", "ours.zip") != Zip::kResultOk)
            state.SkipWithError("compression failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kFolderBytes));
}

void BM_ZipToolCompress(benchmark::State& state)
{
    sWorkspace& work = Workspace();
    for (auto _ : state)
    {
        std::filesystem::remove(work.folder + "/tool.zip");
        Run("cd '" + work.folder + "/Source' && zip -q -r -9 ../tool.zip .");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kFolderBytes));
}

void BM_ZipHelpersExtract(benchmark::State& state)
{
    sWorkspace& work = Workspace();
    Zip::cZipCompressor compressor;
    compressor.Compress("Source", "ours.zip");
    const std::string archive = work.folder + "/ours.zip";
    for (auto _ : state)
    {
        Zip::cZipExtractor extractor;
        if (extractor.ExtractArchive(archive.c_str(), (work.folder + "/OutOurs").c_str(), true) != Zip::kResultOk)
            state.SkipWithError("extraction failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kFolderBytes));
}

void BM_ZipToolExtract(benchmark::State& state)
{
    sWorkspace& work = Workspace();
    Zip::cZipCompressor compressor;
    compressor.Compress("Source", "ours.zip");
    for (auto _ : state)
        Run("unzip -q -o '" + work.folder + "/ours.zip' -d '" + work.folder + "/OutTool'");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kFolderBytes));
}
} // namespace

BENCHMARK(BM_ZipHelpersCompress)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ZipToolCompress)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ZipHelpersExtract)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ZipToolExtract)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

BENCHMARK_MAIN();
