#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "sampler/Mixdown.h"

// How loud a mixdown came out, side by side: the peak and the RMS level in
// dB below full scale (a full-scale square wave reads 0 dB RMS), and the
// samples the mixdown's own scan counts as clipped.
namespace MixdownLevels
{
struct cSide
{
    double peakDb = -200.0;
    double rmsDb = -200.0;
    int64_t clips = 0;
};

struct cLevels
{
    cSide sides[2]; // left, right
    int64_t frames = 0;

    double PeakDb() const { return std::max(sides[0].peakDb, sides[1].peakDb); }
    double RmsDb() const { return std::max(sides[0].rmsDb, sides[1].rmsDb); }
    int64_t Clips() const { return sides[0].clips + sides[1].clips; }
};

inline double Decibels(double amplitude) { return amplitude > 0.0 ? 20.0 * std::log10(amplitude) : -200.0; }

// Interleaved 16-bit stereo samples.
inline cLevels Measure(const std::vector<int16_t>& samples)
{
    cLevels levels;
    levels.frames = int64_t(samples.size() / 2);
    for (int side = 0; side < 2; ++side)
    {
        std::vector<int16_t> one;
        one.reserve(size_t(levels.frames));
        double sum = 0.0;
        int32_t peak = 0;
        for (size_t i = size_t(side); i < samples.size(); i += 2)
        {
            const int32_t x = samples[i];
            one.push_back(samples[i]);
            sum += double(x) * double(x);
            peak = std::max(peak, std::abs(x));
        }
        cSide& out = levels.sides[side];
        out.peakDb = Decibels(peak / 32768.0);
        out.rmsDb = levels.frames > 0 ? Decibels(std::sqrt(sum / double(levels.frames)) / 32768.0) : -200.0;
        out.clips = cMixdown::CountFullScaleSamples(one.data(), uint32_t(one.size()));
    }
    return levels;
}

// The samples of a 16-bit stereo WAV file's data chunk, found by walking
// the chunk headers; empty when there is none.
inline std::vector<int16_t> ReadSamples(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    in.seekg(12);
    char header[8];
    while (in.read(header, sizeof(header)))
    {
        uint32_t size = 0;
        std::memcpy(&size, header + 4, 4);
        if (std::memcmp(header, "data", 4) == 0)
        {
            std::vector<int16_t> samples(size / 2);
            in.read(reinterpret_cast<char*>(samples.data()), std::streamsize(samples.size() * 2));
            samples.resize(size_t(in.gcount()) / 2);
            return samples;
        }
        in.seekg(std::streamoff(size + (size & 1)), std::ios::cur);
    }
    return {};
}

inline cLevels MeasureFile(const std::filesystem::path& path) { return Measure(ReadSamples(path)); }
} // namespace MixdownLevels
