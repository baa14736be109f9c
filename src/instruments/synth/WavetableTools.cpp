#include "instruments/synth/WavetableTools.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "audio/Wavetable.h"
#include "base/File.h"
#include "base/FileSystemRegistry.h"

namespace
{
constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr float kSilentPeak = 1e-6f;
constexpr double kFullScale = 2147483648.0; // 2^31
constexpr float kSmallFirstSample = 0.1f;

uint32_t LevelLength(const cWavetable& table, int32_t level)
{
    return table.GetLevel(level).length;
}

// Fills a level with the sum over j of weight(j) x wave(j theta), theta
// running over one cycle from `start`.
template <class tWeight, class tWave>
void FillSeries(cWavetable& table, int32_t level, int32_t harmonics, double start, tWeight weight, tWave wave)
{
    const uint32_t n = LevelLength(table, level);
    float* out = table.GetLevelSamples(level);
    for (uint32_t i = 0; i < n; ++i)
    {
        const double theta = kTwoPi * i / n + start;
        double sum = 0.0;
        for (int32_t j = 1; j <= harmonics; ++j)
            sum += weight(j) * wave(j * theta);
        out[i] = float(sum);
    }
}

double Sine(double x)
{
    return std::sin(x);
}

double Cosine(double x)
{
    return std::cos(x);
}

bool IsOdd(int32_t j)
{
    return (j & 1) != 0;
}
} // namespace

void FillSineLevel(cWavetable& table, int32_t level)
{
    const uint32_t n = LevelLength(table, level);
    float* out = table.GetLevelSamples(level);
    for (uint32_t i = 0; i < n; ++i)
        out[i] = float(std::sin(kTwoPi * i / n));
}

void FillSquareLevel(cWavetable& table, int32_t level)
{
    const uint32_t n = LevelLength(table, level);
    float* out = table.GetLevelSamples(level);
    for (uint32_t i = 0; i < n; ++i)
        out[i] = i < n / 2 ? -1.0f : 1.0f;
}

void FillRampLevel(cWavetable& table, int32_t level)
{
    const uint32_t n = LevelLength(table, level);
    float* out = table.GetLevelSamples(level);
    for (uint32_t i = 0; i < n; ++i)
        out[i] = float(2.0 * i / n - 1.0);
}

void FillSawtoothLevel(cWavetable& table, int32_t level, int32_t harmonics)
{
    FillSeries(table, level, harmonics, -std::numbers::pi, [](int32_t j) { return 1.0 / j; }, Sine);
}

void FillBandLimitedSquareLevel(cWavetable& table, int32_t level, int32_t harmonics)
{
    FillSeries(
        table, level, harmonics, -std::numbers::pi, [](int32_t j) { return IsOdd(j) ? -1.0 / j : 0.0; }, Sine);
}

void FillTriangleLevel(cWavetable& table, int32_t level, int32_t harmonics)
{
    FillSeries(
        table, level, harmonics, -std::numbers::pi, [](int32_t j) { return IsOdd(j) ? 1.0 / (double(j) * j) : 0.0; },
        Cosine);
}

void FillHarmonicLevel(cWavetable& table, int32_t level, const cHarmonic* recipe, int32_t count, int32_t harmonics,
                       double gain)
{
    const uint32_t n = LevelLength(table, level);
    const int32_t highest = std::min(count, harmonics);
    // One cycle of sine and cosine; harmonic h reads it at (h i) mod n.
    std::vector<double> sine(n), cosine(n), sum(n, 0.0);
    for (uint32_t i = 0; i < n; ++i)
    {
        sine[i] = std::sin(kTwoPi * i / n);
        cosine[i] = std::cos(kTwoPi * i / n);
    }
    for (int32_t h = 1; h <= highest; ++h)
    {
        const cHarmonic& a = recipe[h - 1];
        if (a.sine == 0.0 && a.cosine == 0.0)
            continue;
        for (uint32_t i = 0; i < n; ++i)
        {
            const size_t k = size_t((uint64_t(h) * i) % n);
            sum[i] += a.sine * sine[k] + a.cosine * cosine[k];
        }
    }
    float* out = table.GetLevelSamples(level);
    for (uint32_t i = 0; i < n; ++i)
        out[i] = float(sum[i] * gain);
}

float NormaliseLevel(cWavetable& table, int32_t level)
{
    const uint32_t n = LevelLength(table, level);
    const float* samples = table.GetLevelSamples(level);
    float peak = 0.0f;
    for (uint32_t i = 0; i < n; ++i)
        peak = std::max(peak, std::fabs(samples[i]));
    const float gain = peak < kSilentPeak ? 0.0f : 1.0f / peak;
    ScaleLevel(table, level, gain);
    return gain;
}

void ScaleLevel(cWavetable& table, int32_t level, float gain)
{
    const uint32_t n = LevelLength(table, level);
    float* samples = table.GetLevelSamples(level);
    for (uint32_t i = 0; i < n; ++i)
        samples[i] *= gain;
}

bool ImportWavetable(cWavetable& table, const char* path)
{
    if (table.IsEmpty() || !gFileSystemRegistry)
        return false;
    std::unique_ptr<File::cFile> stream(gFileSystemRegistry->OpenIn("Assets", cGenStringFixed<260>(path),
                                                                     File::kModeRead, 0));
    if (!stream)
        return false;
    // Only whole samples that fit the pyramid are read.
    const uint32_t total = table.GetSampleCount();
    const uint32_t stored = uint32_t(std::max(stream->GetLength(), 0)) / 4;
    std::vector<int32_t> words(std::min(stored, total));
    const int bytes = int(words.size() * 4);
    const bool read = bytes == 0 || stream->Read(words.data(), bytes) == bytes;
    stream->Close(false);
    if (!read)
        return false;

    float* samples = table.GetLevelSamples(0);
    std::fill_n(samples, total, 0.0f);
    for (size_t i = 0; i < words.size(); ++i)
        samples[i] = float(double(words[i]) / kFullScale);
    uint32_t covered = 0;
    const int32_t levels = table.GetLevelCount();
    for (int32_t level = 0; level < levels; ++level)
    {
        const uint32_t n = LevelLength(table, level);
        if (n == 1)
            table.GetLevelSamples(level)[0] = 0.0f;
        else if (covered + n <= words.size())
            NormaliseLevel(table, level);
        else
        {
            FillSineLevel(table, level);
            NormaliseLevel(table, level);
        }
        covered += n;
        float& first = table.GetLevelSamples(level)[0];
        if (std::fabs(first) < kSmallFirstSample)
            first = 0.0f;
    }
    return true;
}

bool ExportWavetable(const cWavetable& table)
{
    if (table.IsEmpty() || !gFileSystemRegistry)
        return false;
    cGenStringFixed<260> path("Modules/Kest/Wavetables/");
    path.AppendCString(table.GetName());
    path.AppendCString(".tbl");
    std::unique_ptr<File::cFile> stream(
        gFileSystemRegistry->OpenIn("Res", path, File::kModeWrite, File::kFlagSafeWrite | File::kFlagDropBackup));
    if (!stream)
        return false;
    uint32_t header[3] = {uint32_t(table.GetLevelCount()), table.GetLevel(0).length, table.GetSampleCount()};
    const int bytes = int(table.GetSampleCount() * sizeof(float));
    bool written = stream->Write(header, sizeof header) == int(sizeof header);
    written = written && stream->Write(table.GetSamples(), bytes) == bytes;
    // A failed write is discarded, so the previous file stays.
    return stream->Close(!written) && written;
}
