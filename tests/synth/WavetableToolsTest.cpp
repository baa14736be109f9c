#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <vector>

#include "BuildPaths.h"
#include "audio/Wavetable.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "instruments/synth/WavetableTools.h"

namespace
{
// A folder mounted as "Res" and "Assets" in a registry of its own.
class cScopedMounts
{
public:
    explicit cScopedMounts(const std::string& name)
        : mRoot(TestScratchFolder() + "/" + name), mOuter(gFileSystemRegistry)
    {
        std::filesystem::remove_all(mRoot);
        std::filesystem::create_directories(mRoot + "/Modules/Kest/Wavetables");
        new cFileSystemRegistry();
        gFileSystemRegistry->Mount(new File::cFileSystemDisk("Res", mRoot.c_str()));
        gFileSystemRegistry->Mount(new File::cFileSystemDisk("Assets", mRoot.c_str()));
    }
    ~cScopedMounts()
    {
        delete gFileSystemRegistry;
        gFileSystemRegistry = mOuter;
        std::filesystem::remove_all(mRoot);
    }

    void WriteWords(const std::string& name, const std::vector<int32_t>& words) const
    {
        std::ofstream(mRoot + "/" + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(words.data()), std::streamsize(words.size() * 4));
    }

private:
    std::string mRoot;
    cFileSystemRegistry* mOuter;
};

// The amplitudes of sin(h x) and cos(h x) in one level.
cHarmonic Measure(cWavetable& table, int32_t level, int h)
{
    const uint32_t n = table.GetLevel(level).length;
    const float* samples = table.GetLevelSamples(level);
    double s = 0.0, c = 0.0;
    for (uint32_t i = 0; i < n; ++i)
    {
        const double x = 2.0 * std::numbers::pi * h * i / n;
        s += samples[i] * std::sin(x);
        c += samples[i] * std::cos(x);
    }
    return {2.0 * s / n, 2.0 * c / n};
}

double Magnitude(const cHarmonic& h)
{
    return std::hypot(h.sine, h.cosine);
}
} // namespace

TEST(WavetableToolsTest, PlainCycles)
{
    cWavetable table("Test");
    table.AllocateLevels(16);
    FillSineLevel(table, 0);
    EXPECT_NEAR(table.GetLevelSamples(0)[4], 1.0f, 1e-6f);
    EXPECT_NEAR(table.GetLevelSamples(0)[12], -1.0f, 1e-6f);
    FillSquareLevel(table, 1);
    FillRampLevel(table, 2);
    const float square[8] = {-1, -1, -1, -1, 1, 1, 1, 1};
    const float ramp[4] = {-1.0f, -0.5f, 0.0f, 0.5f};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(table.GetLevelSamples(1)[i], square[i]);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(table.GetLevelSamples(2)[i], ramp[i]);
}

TEST(WavetableToolsTest, BandLimitedFormsHoldTheirHarmonicsAndNoMore)
{
    struct cForm
    {
        const char* name;
        void (*fill)(cWavetable&, int32_t, int32_t);
        // |amplitude| of harmonic j of the series
        double (*weight)(int);
    };
    const cForm forms[] = {
        {"sawtooth", FillSawtoothLevel, [](int j) { return 1.0 / j; }},
        {"square", FillBandLimitedSquareLevel, [](int j) { return j % 2 ? 1.0 / j : 0.0; }},
        {"triangle", FillTriangleLevel, [](int j) { return j % 2 ? 1.0 / (double(j) * j) : 0.0; }},
    };
    for (const cForm& form : forms)
    {
        cWavetable table("Test");
        table.AllocateLevels(256);
        form.fill(table, 1, 21); // 128 samples, 21 harmonics
        for (int h = 1; h <= 40; ++h)
        {
            const double expected = h <= 21 ? form.weight(h) : 0.0;
            EXPECT_NEAR(Magnitude(Measure(table, 1, h)), expected, 1e-5) << form.name << " harmonic " << h;
        }
    }
}

TEST(WavetableToolsTest, RecipesFillLevelsUpToTheirHarmonicLimit)
{
    const cHarmonic recipe[4] = {{0.5, 0.0}, {0.0, 0.0}, {0.0, 0.25}, {0.1, 0.1}};
    cWavetable table("Test");
    table.AllocateLevels(64);
    FillHarmonicLevel(table, 0, recipe, 4, 10, 2.0);
    FillHarmonicLevel(table, 1, recipe, 4, 3, 1.0);
    const cHarmonic first = Measure(table, 0, 1), third = Measure(table, 0, 3), fourth = Measure(table, 0, 4);
    EXPECT_NEAR(first.sine, 1.0, 1e-6);
    EXPECT_NEAR(third.cosine, 0.5, 1e-6);
    EXPECT_NEAR(fourth.sine, 0.2, 1e-6);
    EXPECT_NEAR(Magnitude(Measure(table, 1, 4)), 0.0, 1e-6); // cut at three harmonics
    EXPECT_NEAR(Measure(table, 1, 3).cosine, 0.25, 1e-6);
}

TEST(WavetableToolsTest, NormaliseToAPeakOfOneOrSilence)
{
    cWavetable table("Test");
    table.AllocateLevels(8);
    FillSineLevel(table, 0);
    ScaleLevel(table, 0, 0.25f);
    EXPECT_FLOAT_EQ(NormaliseLevel(table, 0), 4.0f);
    EXPECT_FLOAT_EQ(table.GetLevelSamples(0)[2], 1.0f);
    FillSineLevel(table, 1);
    ScaleLevel(table, 1, 1e-7f);
    EXPECT_EQ(NormaliseLevel(table, 1), 0.0f);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(table.GetLevelSamples(1)[i], 0.0f);
}

TEST(WavetableToolsTest, ExportedTablesLoadAsTheyWere)
{
    cScopedMounts mounts("wavetable-tools-export");
    cWavetable written("Made");
    written.AllocateLevels(32);
    for (int32_t level = 0; level < written.GetLevelCount(); ++level)
        FillSawtoothLevel(written, level, std::max<int32_t>(1, int32_t(written.GetLevel(level).length / 6)));
    ASSERT_TRUE(ExportWavetable(written));
    cWavetable read("Made");
    ASSERT_TRUE(read.Load());
    ASSERT_EQ(read.GetSampleCount(), 63u);
    EXPECT_EQ(read.GetLevelCount(), 6);
    for (uint32_t i = 0; i < 63; ++i)
        EXPECT_EQ(read.GetSamples()[i], written.GetSamples()[i]) << i;
    cWavetable empty("Empty");
    EXPECT_FALSE(ExportWavetable(empty));
}

TEST(WavetableToolsTest, ImportReadsTheLevelsAFileCovers)
{
    cScopedMounts mounts("wavetable-tools-import");
    // Level 0 (16 samples) and level 1 (8) whole, and a piece of level 2.
    std::vector<int32_t> words;
    for (int i = 0; i < 16; ++i)
        words.push_back(int32_t(0x20000000 * std::sin(2.0 * std::numbers::pi * (i + 2) / 16)));
    for (int i = 0; i < 8; ++i)
        words.push_back(i == 0 ? 0x01000000 : -0x40000000); // a first sample below 0.1 after normalising
    words.push_back(0x7FFFFFFF);
    mounts.WriteWords("Cut.raw", words);

    cWavetable table("Cut");
    table.AllocateLevels(16);
    ASSERT_TRUE(ImportWavetable(table, "Cut.raw"));
    const float* level0 = table.GetLevelSamples(0);
    EXPECT_NEAR(level0[2], 1.0f, 1e-6f); // normalised: the file's peak is a quarter
    EXPECT_NEAR(level0[1], float(std::sin(2.0 * std::numbers::pi * 3 / 16)), 1e-6f);
    EXPECT_EQ(table.GetLevelSamples(1)[0], 0.0f);
    EXPECT_EQ(table.GetLevelSamples(1)[1], -1.0f);
    // Level 2 (4 samples) was not whole in the file: a normalised sine.
    const float sine[4] = {0.0f, 1.0f, 0.0f, -1.0f};
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(table.GetLevelSamples(2)[i], sine[i], 1e-6f);
    EXPECT_EQ(table.GetLevelSamples(4)[0], 0.0f);

    // A missing file changes nothing; a file longer than the pyramid reads
    // only what fits.
    EXPECT_FALSE(ImportWavetable(table, "Missing.raw"));
    EXPECT_NEAR(table.GetLevelSamples(0)[2], 1.0f, 1e-6f);
    mounts.WriteWords("Long.raw", std::vector<int32_t>(100, 0x40000000));
    ASSERT_TRUE(ImportWavetable(table, "Long.raw"));
    EXPECT_EQ(table.GetLevelSamples(3)[1], 1.0f);
    EXPECT_EQ(table.GetLevelSamples(4)[0], 0.0f);
}
