#pragma once
// Renders kept from an earlier engine, as 24-bit stereo WAV files under
// tests/data/golden, and the check that a render still equals one: every
// sample within 1e-5 of full scale (-100 dBFS). The files hold the samples
// divided by 4, so that a module's output up to +12 dB fits; their step
// (2^-21, about 4.8e-7) is still far below the tolerance.
//
// With QUIL_WRITE_GOLDENS set to a folder, the checks write their renders
// there instead of comparing; an engine known to be right makes them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace GoldenRender
{
constexpr double kTolerance = 1e-5;
constexpr double kFullScale = 8388607.0; // 2^23 - 1
constexpr double kHeadroom = 4.0;
constexpr uint32_t kRate = 44100;

inline std::string WriteFolder()
{
    const char* folder = std::getenv("QUIL_WRITE_GOLDENS");
    return folder && *folder ? std::string(folder) : std::string();
}

inline std::string KeptPath(const std::string& name)
{
    return std::string(QUIL_BENCH_DATA_DIR) + "/golden/" + name + ".wav";
}

inline void PutLittle(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(char((value >> (8 * i)) & 0xFF));
}

// Interleaved stereo within -4..4 (a kept render never clips, so the check
// sees every deviation) as a 24-bit PCM WAV.
inline ::testing::AssertionResult Write(const std::string& path, const std::vector<float>& stereo)
{
    std::string data;
    data.reserve(stereo.size() * 3);
    for (size_t i = 0; i < stereo.size(); ++i)
    {
        const double kept = double(stereo[i]) / kHeadroom;
        if (!(std::fabs(kept) < 1.0))
            return ::testing::AssertionFailure() << "sample " << i << " is " << stereo[i] << ", beyond the headroom";
        PutLittle(data, uint32_t(int32_t(std::lround(kept * kFullScale))), 3);
    }
    std::string file = "RIFF";
    PutLittle(file, uint32_t(36 + data.size()), 4);
    file += "WAVEfmt ";
    PutLittle(file, 16, 4);
    PutLittle(file, 1, 2); // PCM
    PutLittle(file, 2, 2);
    PutLittle(file, kRate, 4);
    PutLittle(file, kRate * 6, 4);
    PutLittle(file, 6, 2);
    PutLittle(file, 24, 2);
    file += "data";
    PutLittle(file, uint32_t(data.size()), 4);
    file += data;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(file.data(), std::streamsize(file.size()));
    if (!out)
        return ::testing::AssertionFailure() << "could not write " << path;
    return ::testing::AssertionSuccess();
}

inline uint32_t GetLittle(const unsigned char* bytes, int count)
{
    uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value |= uint32_t(bytes[i]) << (8 * i);
    return value;
}

// The samples of a kept render, as written above; empty when the file is
// missing or not of that form.
inline std::vector<float> Read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    constexpr size_t kHeader = 44;
    if (file.size() < kHeader || std::memcmp(file.data(), "RIFF", 4) != 0 ||
        std::memcmp(file.data() + 36, "data", 4) != 0 || GetLittle(&file[22], 2) != 2 ||
        GetLittle(&file[34], 2) != 24)
        return {};
    const size_t bytes = std::min<size_t>(GetLittle(&file[40], 4), file.size() - kHeader);
    std::vector<float> samples(bytes / 3);
    for (size_t i = 0; i < samples.size(); ++i)
    {
        const uint32_t raw = GetLittle(&file[kHeader + i * 3], 3);
        const int32_t value = int32_t(raw << 8) >> 8; // sign-extended
        samples[i] = float(double(value) / kFullScale * kHeadroom);
    }
    return samples;
}

// The render against the kept one of that name (or, in the writing mode,
// kept as it).
inline ::testing::AssertionResult Matches(const std::string& name, const std::vector<float>& stereo)
{
    const std::string folder = WriteFolder();
    if (!folder.empty())
    {
        std::filesystem::create_directories(folder);
        return Write(folder + "/" + name + ".wav", stereo);
    }
    const std::string path = KeptPath(name);
    const std::vector<float> kept = Read(path);
    if (kept.empty())
        return ::testing::AssertionFailure() << "no kept render at " << path;
    if (kept.size() != stereo.size())
        return ::testing::AssertionFailure()
               << name << ": " << stereo.size() / 2 << " frames rendered, " << kept.size() / 2 << " kept";
    size_t worst = 0;
    double largest = 0.0;
    for (size_t i = 0; i < kept.size(); ++i)
    {
        const double difference = std::fabs(double(stereo[i]) - double(kept[i]));
        if (std::isnan(difference) || difference > largest)
        {
            largest = difference;
            worst = i;
        }
    }
    if (largest <= kTolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << name << ": frame " << worst / 2 << " channel " << worst % 2 << " is "
                                         << stereo[worst] << ", kept " << kept[worst] << " (difference " << largest
                                         << ", tolerance " << kTolerance << ")";
}
} // namespace GoldenRender
