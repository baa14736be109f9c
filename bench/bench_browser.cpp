// The file browser over a folder of 10,000 WAV files while the project uses
// 64 samples: listing it (goal under 50 ms, three frames, and within 3x of a
// bare readdir, stat and sort of the same folder, run beside it), and one
// frame of the open browser scrolling over it through the widget manager to
// the null renderer (goal under 0.5 ms of CPU, within 20 % of a frame over a
// 10-row folder). Every file's name has the same length, so the frames differ
// only in the list's length; a folder of two screens, which scrolls with as
// many rows on screen as the big one, shows what the 10-row folder's two
// fewer rows cost.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <strings.h>
#include <sys/stat.h>
#include <vector>

#include "BenchBrowserHost.h"
#include "BenchDoc.h"
#include "BenchToolkit.h"
#include "audio/InstrumentPackageRegistry.h"
#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "project/StandInPackages.h"
#include "project/ui/WidgetFileBrowser.h"

namespace
{
constexpr int kFiles = 10000;
constexpr int kSmallFolder = 10;
constexpr int kTwoScreens = 24;
constexpr int kSamplesInUse = 64;

std::string TakeName(int i)
{
    char name[32];
    std::snprintf(name, sizeof(name), "take%05d.wav", i);
    return name;
}

std::string FolderOf(int files) { return "User/Samples/Take" + std::to_string(files); }

// A project's package holding 64 samples, asked for each WAV file listed.
class cSamplesPackage : public ProjectTest::cStandInPackage
{
public:
    cSamplesPackage() : cStandInPackage("Kest")
    {
        for (int i = 0; i < kSamplesInUse; ++i)
            samples.push_back(FolderOf(kFiles) + "/" + TakeName(i * 97));
    }
    bool IsSampleInUse(const cGenString& path) override
    {
        for (const std::string& sample : samples)
            if (sample == path.CStr())
                return true;
        return false;
    }
    std::vector<std::string> samples;
};

class cWorld
{
public:
    cWorld()
    {
        packages.AddPackage(new cSamplesPackage());
        root = gFileSystemRegistry->FindFileSystem("Doc")->GetRootPath()->CStr();
        for (int files : {kFiles, kSmallFolder, kTwoScreens})
            MakeFiles(FolderOf(files), files);
        cWidgetDialogueDropDown::SetHost(&dropDowns);
        browser = new cWidgetFileBrowser(&host);
        browser->SetAnchors(kAnchorsFillParent, 0, 0, 0, 0);
    }
    ~cWorld()
    {
        browser->Close();
        browser->Release();
        cWidgetDialogueDropDown::SetHost(nullptr);
    }

    void Open(const char* folder)
    {
        browser->Close();
        browser->Reset();
        browser->SetName("Load Sample");
        browser->rootFolder = "User";
        browser->path = folder;
        browser->AddFileType("wav", nullptr);
        browser->Show(0x19, cDelegate());
        for (int i = 0; i < 30; ++i)
            toolkit.manager->Draw();
    }

    std::string Native(const char* folder) const { return root + "/" + folder; }

    cBenchToolkit toolkit;
    cBenchDoc doc{"User/Samples"};
    cInstrumentPackageRegistry packages;
    cQuietBrowserHost host;
    cBenchDropDowns dropDowns;
    cWidgetFileBrowser* browser = nullptr;
    std::string root;

private:
    void MakeFiles(const std::string& folder, int count) const
    {
        const std::string path = Native(folder.c_str());
        std::filesystem::create_directories(path);
        for (int i = 0; i < count; ++i)
            std::ofstream(path + "/" + TakeName(i)) << "RIFF";
    }
};

cWorld& World()
{
    static cWorld world;
    return world;
}

void BM_BrowserListing(benchmark::State& state)
{
    cWorld& world = World();
    world.Open(FolderOf(kFiles).c_str());
    for (auto _ : state)
    {
        world.browser->Refresh();
        benchmark::DoNotOptimize(world.browser->GetEntries().data());
    }
    state.counters["rows"] = double(world.browser->GetEntries().size());
}
BENCHMARK(BM_BrowserListing)->Unit(benchmark::kMillisecond);

// The least any listing does: every name read, stat'ed and sorted.
void BM_BareListing(benchmark::State& state)
{
    const std::string folder = World().Native(FolderOf(kFiles).c_str());
    for (auto _ : state)
    {
        std::vector<std::string> names;
        DIR* dir = opendir(folder.c_str());
        while (dirent* entry = dir ? readdir(dir) : nullptr)
        {
            struct stat status;
            const std::string path = folder + "/" + entry->d_name;
            if (entry->d_name[0] != '.' && lstat(path.c_str(), &status) == 0)
                names.push_back(entry->d_name);
        }
        if (dir)
            closedir(dir);
        std::sort(names.begin(), names.end(),
                  [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
        benchmark::DoNotOptimize(names.data());
    }
}
BENCHMARK(BM_BareListing)->Unit(benchmark::kMillisecond);

// A frame of the open browser while its list scrolls by a fraction of a row.
void BM_BrowserFrame(benchmark::State& state)
{
    cWorld& world = World();
    world.Open(FolderOf(int(state.range(0))).c_str());
    float position = 0.0f;
    const float last = world.browser->GetScroller().GetMaximumPosition();
    for (auto _ : state)
    {
        position = position + 0.37f > last ? 0.0f : position + 0.37f;
        world.browser->GetScroller().SetPosition(position, true);
        world.toolkit.manager->Draw();
    }
    state.counters["rows"] = double(world.browser->GetEntries().size());
    state.counters["shown"] = double(world.browser->GetScroller().visibleRows);
}
BENCHMARK(BM_BrowserFrame)->Arg(kFiles)->Arg(kTwoScreens)->Arg(kSmallFolder)->Unit(benchmark::kMicrosecond);
} // namespace

BENCHMARK_MAIN();
