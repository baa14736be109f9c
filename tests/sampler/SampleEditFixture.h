#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

#include "audio/Sample.h"
#include "audio/SampleRegistry.h"
#include "base/DeletableRoots.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "base/RefCount.h"
#include "sampler/SampleEditAudition.h"
#include "sampler/SampleEditModel.h"

using tSampleRef = Base::cRefPtr<cSample>;
using tBytes = std::vector<uint8_t>;

struct cSampleFormat
{
    int32_t bits;
    int32_t channels;
    int32_t rate;

    int32_t FrameBytes() const { return bits / 8 * channels; }
};

// The formats a sample may have in the editor.
inline const cSampleFormat kFormats[] = {{16, 2, 44100}, {16, 1, 22050}, {8, 2, 48000}, {8, 1, 11025}};

inline std::string Describe(const cSampleFormat& format)
{
    return std::to_string(format.bits) + "-bit " + std::to_string(format.channels) + "ch";
}

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline int32_t ReadWord(const std::string& bytes, size_t offset)
{
    int32_t word = 0;
    std::memcpy(&word, bytes.data() + offset, 4);
    return word;
}

// A 16-bit PCM WAV file.
inline std::string Wav16(int channels, int rate, const std::vector<int16_t>& values)
{
    auto le16 = [](uint32_t v) { return std::string{char(v & 0xFF), char((v >> 8) & 0xFF)}; };
    auto le32 = [&](uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); };
    std::string data;
    for (int16_t v : values)
        data += le16(uint16_t(v));
    const std::string format = le16(1) + le16(uint32_t(channels)) + le32(uint32_t(rate)) +
                               le32(uint32_t(rate * channels * 2)) + le16(uint32_t(channels * 2)) + le16(16);
    const std::string chunks = "fmt " + le32(16) + format + "data" + le32(uint32_t(data.size())) + data;
    return "RIFF" + le32(uint32_t(4 + chunks.size())) + "WAVE" + chunks;
}

// Records what the edits ask of the preview player.
class cRecordingAudition : public cSampleEditAudition
{
public:
    bool IsActive() const override { return active; }
    int32_t GetPlayPosition() const override { return position; }
    void SetPlayRange(int32_t start, int32_t end) override
    {
        calls.push_back("range " + std::to_string(start) + ".." + std::to_string(end));
    }
    void SetPlayPosition(int32_t frame) override { calls.push_back("position " + std::to_string(frame)); }

    bool active = true;
    int32_t position = 0;
    std::vector<std::string> calls;
};

// A scratch "Native" and "Tmp" mount with the "Sampler" folder, deletable
// as the program's is.
class cSamplerScratch
{
public:
    cSamplerScratch()
    {
        const char* base = std::getenv("QUIL_TEST_TMP");
        const std::filesystem::path parent = base && *base ? base : std::filesystem::temp_directory_path().string();
        std::filesystem::create_directories(parent);
        std::string pattern = (parent / "sampler-XXXXXX").string();
        mRoot = mkdtemp(pattern.data()) ? std::filesystem::absolute(pattern).string() : std::string();
        std::filesystem::create_directories(Sampler());
        mRegistry.Mount(new File::cFileSystemDisk("Native", ""));
        mRegistry.Mount(new File::cFileSystemDisk("Tmp", (mRoot + "/Temp").c_str()));
        ClearDeletableRoots();
        AddDeletableRoot((mRoot + "/Temp").c_str());
    }
    ~cSamplerScratch()
    {
        ClearDeletableRoots();
        std::error_code ignored;
        std::filesystem::remove_all(mRoot, ignored);
    }
    cSamplerScratch(const cSamplerScratch&) = delete;
    cSamplerScratch& operator=(const cSamplerScratch&) = delete;

    const std::string& Root() const { return mRoot; }
    // The native folder of "Sampler" on "Tmp".
    std::string Sampler() const { return mRoot + "/Temp/Sampler"; }

    // Every file in the sampler's folder, by name.
    std::vector<std::string> SamplerFiles() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(Sampler()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string mRoot;
    cFileSystemRegistry mRegistry;
};

// A scratch "Tmp" mount with its "Sampler" folder, and samples made in memory.
class SampleEditTest : public ::testing::Test
{
protected:
    ~SampleEditTest() override
    {
        mModel.SetSample(nullptr);
        mSample.Release();
        EXPECT_EQ(cSampleRegistry::DumpAll(), 0) << "a sample was left loaded";
    }

    std::string Sampler() const { return mScratch.Sampler(); }
    std::vector<std::string> SamplerFiles() const { return mScratch.SamplerFiles(); }

    std::string UndoFilePath(const cSampleEditCommand& command) const
    {
        cGenStringFixed<64> name;
        command.FormatFileName(cSampleEditCommand::kUndoFile, name);
        return mScratch.Root() + "/Temp/" + name.CStr();
    }

    // A sample whose values all differ from their neighbours and from 0,
    // given to the model.
    cSample* MakeSample(const cSampleFormat& format, int32_t frames)
    {
        cSample* sample = CreateSample(format, frames);
        const int32_t values = frames * format.channels;
        for (int32_t i = 0; i < values; ++i)
        {
            const int32_t v = int32_t(int64_t(i) * 7919 % 251) + 1;
            if (format.bits == 16)
                reinterpret_cast<int16_t*>(sample->GetData())[i] = int16_t(v * 100 * (i % 2 ? -1 : 1));
            else
                reinterpret_cast<int8_t*>(sample->GetData())[i] = int8_t((v % 120 + 1) * (i % 2 ? -1 : 1));
        }
        return sample;
    }

    // 16-bit mono frames of the given values, given to the model.
    cSample* MakeSample16(const std::vector<int16_t>& values)
    {
        cSample* sample = CreateSample({16, 1, 44100}, int32_t(values.size()));
        std::memcpy(sample->GetData(), values.data(), values.size() * 2);
        return sample;
    }

    static tBytes Bytes(const cSample& sample)
    {
        return tBytes(sample.GetData(), sample.GetData() + sample.GetDataBytes());
    }
    static int16_t Value16(const cSample& sample, int32_t index) { return sample.GetData16()[index]; }

    cSamplerScratch mScratch;
    cSampleEditModel mModel;
    tSampleRef mSample;

private:
    cSample* CreateSample(const cSampleFormat& format, int32_t frames)
    {
        static int sCount = 0;
        const std::string path = "edit-test-" + std::to_string(++sCount) + ".wav";
        cSample* sample = cSample::Create(path.c_str(), format.bits, format.channels, format.rate, frames);
        EXPECT_NE(sample, nullptr);
        mModel.SetSample(nullptr);
        mSample.Assign(sample);
        sample->Release();
        mModel.SetSample(sample);
        return sample;
    }
};
