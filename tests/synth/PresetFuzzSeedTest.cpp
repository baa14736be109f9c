#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BuildPaths.h"
#include "PresetFixtures.h"
#include "PresetFuzzChecks.h"
#include "audio/SampleFiles.h"

// The seed inputs of the preset fuzz targets (the fixtures of the reader
// tests) run through the targets' own checks, and are left in the test
// scratch folder under "fuzz-seeds" for a fuzzing run to start from.
namespace
{
std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

void KeepSeeds(const char* target, const std::vector<std::string>& seeds)
{
    const std::filesystem::path folder = std::filesystem::path(TestScratchFolder()) / "fuzz-seeds" / target;
    std::filesystem::create_directories(folder);
    for (size_t i = 0; i < seeds.size(); ++i)
        std::ofstream(folder / ("seed-" + std::to_string(i)), std::ios::binary) << seeds[i];
}

cAnalogueSynthSingle Sample()
{
    cAnalogueSynthSingle single;
    single.SetName("Seed");
    single.Osc.Mod = cOscSectionParams::kModeSync;
    single.CD.DAmount = 0.4f;
    single.Sample.NoteSlice = 2;
    return single;
}

std::vector<std::string> BankSeeds()
{
    const std::string single = EncodeSingle(Sample(), false);
    const std::string multi = EncodeMulti(cAnalogueSynthMulti());
    std::vector<std::string> paths(64);
    paths[0] = "User/Samples/Seed.wav";
    paths[63] = std::string(300, 'p'); // longer than any path the store holds
    const std::string good = EncodeBank(4, single, multi, paths);
    std::string cut = good.substr(0, 20000);
    std::memcpy(cut.data() + 4, cBytes().U32(20000).bytes.data(), 4);
    std::string badMarker = good;
    badMarker[8 + 640 * 64] = 1;
    return {good,
            EncodeBank(1, EncodeSingle(Sample(), true), EncodeMulti(cAnalogueSynthMulti(), true)),
            EncodeBank(3, EncodeSingle(Sample(), true), EncodeMulti(cAnalogueSynthMulti(), true)),
            EncodeBank(5, single, multi),
            good + "x",
            good.substr(0, good.size() - 1),
            cut,
            badMarker,
            std::string()};
}

std::vector<std::string> EditSeeds()
{
    cEditPresetData edits;
    edits.single = Sample();
    edits.samplePath = "User/Samples/Edit.wav";
    const std::vector<uint8_t> block = edits.Write(6);
    const std::string current(block.begin(), block.end());
    const std::string legacy = EncodeSingle(Sample(), true) + cBytes().String("Old.wav").bytes +
                               EncodeMulti(cAnalogueSynthMulti(), true);
    return {std::string(1, '\6') + current,        std::string(1, '\2') + legacy,
            std::string(1, '\3') + legacy,         std::string(1, '\6') + current.substr(0, 400),
            std::string(1, '\6') + current.substr(0, current.size() - 1),
            std::string(1, '\6'),                  std::string()};
}
} // namespace

TEST(PresetFuzzSeedTest, BankSeedsAreHandledSoundly)
{
    cSampleFolder folder;
    const std::vector<std::string> seeds = BankSeeds();
    for (size_t i = 0; i < seeds.size(); ++i)
    {
        const std::vector<uint8_t> bytes = Bytes(seeds[i]);
        EXPECT_EQ(PresetFuzz::CheckBankFileBytes(bytes.data(), bytes.size(), folder.Documents()), "") << "seed " << i;
    }
    KeepSeeds("synth_bank", seeds);
}

TEST(PresetFuzzSeedTest, EditSeedsAreHandledSoundly)
{
    const std::vector<std::string> seeds = EditSeeds();
    for (size_t i = 0; i < seeds.size(); ++i)
    {
        const std::vector<uint8_t> bytes = Bytes(seeds[i]);
        EXPECT_EQ(PresetFuzz::CheckEditPresetBytes(bytes.data(), bytes.size()), "") << "seed " << i;
    }
    KeepSeeds("edit_preset_data", seeds);
}
