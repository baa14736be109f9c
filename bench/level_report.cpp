// Level report: peak, RMS and clipped samples of our own content mixed down through the program's own path.
//
// Each case is rendered as "Final Mix" and as "Mixer Channels" stems, tail
// on, into bench-output/levels-home; the report prints every file's left
// and right side. Cases: the reference song in both benchmark arrangements,
// the song imported into a new project by the song tools (every channel on
// the synthesizer's first preset, channel 2 on the pads' default kit) and by
// a project folder (with the file's programs), and the demo project.
// Usage: level_report [case number ...]; none runs them all.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "BenchReferenceSong.h"
#include "MixdownLevels.h"
#include "sampler/Mixdown.h"
#include "sequencer/MIDIFileOperations.h"
#include "sequencer/Sequencer.h"

namespace
{
namespace fs = std::filesystem;
using BenchReferenceSong::eArrangement;

const char* const kSongCopy = "User/MIDI Files/Reference.mid";
const char* const kDemoProject = "User/Projects/Demos/Rock On.prj";

fs::path OutputFolder()
{
    const fs::path folder = fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "bench-output";
    fs::create_directories(folder);
    return folder;
}

BenchReferenceSong::cSongRig& Rig()
{
    static BenchReferenceSong::cSongRig rig(OutputFolder() / "levels-home", OutputFolder() / "levels-song-pads.mid");
    return rig;
}

// The reference song as the program's import takes it in: read from "Doc".
bool Import(bool applyPresets)
{
    BenchReferenceSong::cSongRig& rig = Rig();
    rig.NewProject(applyPresets ? 0 : 1);
    fs::copy_file(ReferenceSong::Path(), rig.documents / kSongCopy, fs::copy_options::overwrite_existing);
    cGenStringFixed<128> error;
    cMIDIFileSong* song = LoadMIDIFile(kSongCopy, error);
    if (!song)
        return false;
    cSequencer::GetInstance()->SetTempo(song->tempo);
    cSequencer::GetInstance()->SetBeatsPerBar(song->numerator);
    return ImportMIDIFileSong(song, applyPresets);
}

struct cCase
{
    const char* name;
    std::function<bool()> prepare;
};

const std::vector<cCase>& Cases()
{
    static const std::vector<cCase> cases = {
        {"reference song, family presets", [] { return Rig().Arrange(eArrangement::FamilyPresets); }},
        {"reference song, mono", [] { return Rig().Arrange(eArrangement::Mono); }},
        {"reference song imported by the song tools", [] { return Import(false); }},
        {"reference song imported from a project folder", [] { return Import(true); }},
        {"demo project",
         [] { return cProjectList::GetInstance()->GetCurrentProject()->Load(cGenString(kDemoProject)); }},
    };
    return cases;
}

void PrintLevels(const std::string& file, const MixdownLevels::cLevels& levels)
{
    for (int side = 0; side < 2; ++side)
    {
        const MixdownLevels::cSide& s = levels.sides[side];
        std::printf("  %-28s %c %9.2f %9.2f %8lld\n", side == 0 ? file.c_str() : "", side == 0 ? 'L' : 'R', s.peakDb,
                    s.rmsDb, static_cast<long long>(s.clips));
    }
}

int Report(const cCase& c, int number)
{
    std::printf("%d. %s\n", number, c.name);
    if (!c.prepare())
    {
        std::printf("  could not be set up\n");
        return 1;
    }
    const std::string stem = "User/Mixdowns/Levels " + std::to_string(number);
    const fs::path documents = Rig().documents;
    fs::remove(documents / (stem + ".wav"));
    fs::remove_all(documents / stem);
    cMixdown mixdown(0.0f, 1.0f, cDelegate());
    int32_t files = 0;
    const int32_t mix = mixdown.Render(cGenString((stem + ".wav").c_str()), cMixdown::kRegionEntireSong,
                                       cMixdown::kOutputFinalMix, true, &files);
    const int32_t stems = mixdown.Render(cGenString((stem + ".wav").c_str()), cMixdown::kRegionEntireSong,
                                         cMixdown::kOutputMixerChannels, true, &files);
    std::printf("  mixdown result %d, stems result %d\n", mix, stems);
    std::printf("  %-28s %c %9s %9s %8s\n", "file", ' ', "peak dBFS", "RMS dBFS", "clipped");
    PrintLevels("final mix", MixdownLevels::MeasureFile(documents / (stem + ".wav")));
    std::vector<fs::path> stemFiles;
    for (const fs::directory_entry& entry : fs::directory_iterator(documents / stem))
        stemFiles.push_back(entry.path());
    std::sort(stemFiles.begin(), stemFiles.end());
    for (const fs::path& file : stemFiles)
        PrintLevels(file.stem().string(), MixdownLevels::MeasureFile(file));
    return mix <= cMixdown::kResultClipping ? 0 : 1;
}
} // namespace

int main(int argc, char** argv)
{
    if (!fs::exists(ReferenceSong::Path()))
    {
        std::fprintf(stderr, "level_report: no reference song at %s\n", ReferenceSong::Path().c_str());
        return 1;
    }
    if (!Rig().ready)
    {
        std::fprintf(stderr, "level_report: the song could not be placed (is bin/Resource built?)\n");
        return 1;
    }
    std::vector<int> chosen;
    for (int i = 1; i < argc; ++i)
        chosen.push_back(std::atoi(argv[i]));
    if (chosen.empty())
        for (size_t i = 0; i < Cases().size(); ++i)
            chosen.push_back(int(i) + 1);
    int failures = 0;
    for (const int number : chosen)
        if (number >= 1 && number <= int(Cases().size()))
            failures += Report(Cases()[size_t(number) - 1], number);
    return failures == 0 ? 0 : 1;
}
