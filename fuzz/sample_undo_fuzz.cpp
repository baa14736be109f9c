// Feeds arbitrary bytes to a sample edit's undo as its undo file: the undo
// must either be refused, leaving the edited sample exactly as it was, or put
// the file's bytes exactly where the edit took its own from, never touching
// memory outside the sample.
//
// Byte 0 picks the edit, byte 1 the sample's format and whether the file
// keeps the edit's own header (so the data after it is what varies); the
// rest is the file, or the data after the header.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "audio/Sample.h"
#include "base/DeletableRoots.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "sampler/SampleEditModel.h"

namespace
{
using tBytes = std::vector<uint8_t>;

constexpr int32_t kFrames = 64;
constexpr int32_t kStart = 10;
constexpr int32_t kEnd = 30;

// The "Tmp" mount with its "Sampler" folder, made once for the whole run.
struct cScratch
{
    cScratch()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "sample-undo-fuzz-XXXXXX").string();
        root = mkdtemp(pattern.data()) ? pattern : std::string();
        std::filesystem::create_directories(root + "/Sampler");
        // A replaced sample reads its file through "Native".
        registry.Mount(new File::cFileSystemDisk("Native", ""));
        registry.Mount(new File::cFileSystemDisk("Tmp", root.c_str()));
        AddDeletableRoot(root.c_str());
    }
    ~cScratch() { std::filesystem::remove_all(root); }

    std::string root;
    cFileSystemRegistry registry;
};

void WriteFile(const std::string& path, const void* bytes, size_t size)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(static_cast<const char*>(bytes), std::streamsize(size));
}

// A mono 16-bit WAV file of five frames to replace the sample with.
void WriteRender(const std::string& path)
{
    const uint8_t wav[] = {'R', 'I', 'F', 'F', 46, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0,
                           1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x44, 0xAC, 0, 0, 2, 0, 16, 0, 'd', 'a', 't', 'a',
                           10, 0, 0, 0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0};
    WriteFile(path, wav, sizeof(wav));
}

tBytes Bytes(const cSample& sample) { return tBytes(sample.GetData(), sample.GetData() + sample.GetDataBytes()); }

// The sample as an accepted undo must leave it: the original with the file's
// data where the edit took its saved frames from.
tBytes Restored(const tBytes& original, cSampleEditCommand::eType type, int32_t frameBytes, const uint8_t* data,
                size_t size)
{
    tBytes expected = original;
    if (type == cSampleEditCommand::kEffects)
        return tBytes(data, data + size);
    if (type == cSampleEditCommand::kTrim)
    {
        const size_t before = size_t(kStart * frameBytes);
        std::memcpy(expected.data(), data, before);
        std::memcpy(expected.data() + kEnd * frameBytes, data + before, size - before);
        return expected;
    }
    std::memcpy(expected.data() + kStart * frameBytes, data, size);
    return expected;
}

void Check(bool condition)
{
    if (!condition)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static cScratch scratch;
    if (size < 2 || size > 1 << 16)
        return 0;
    const auto type = cSampleEditCommand::eType(data[0] % 7 + 1);
    const int32_t bits = data[1] & 1 ? 8 : 16;
    const int32_t channels = data[1] & 2 ? 2 : 1;
    const bool keepHeader = (data[1] & 4) != 0;
    data += 2;
    size -= 2;

    cSample* sample = cSample::Create("fuzz.wav", bits, channels, 22050, kFrames);
    Check(sample != nullptr);
    for (int64_t i = 0; i < sample->GetDataBytes(); ++i)
        sample->GetData()[i] = uint8_t(i * 37 + 11);
    const tBytes original = Bytes(*sample);
    const int32_t frameBytes = sample->GetFrameBytes();
    {
        cSampleEditModel model;
        model.SetSample(sample);
        model.SetSelection(kStart, kEnd);
        bool edited = false;
        switch (type)
        {
        case cSampleEditCommand::kDelete:
            edited = model.Delete();
            break;
        case cSampleEditCommand::kTrim:
            edited = model.Trim();
            break;
        case cSampleEditCommand::kNormalize:
            edited = model.Normalize();
            break;
        case cSampleEditCommand::kSilence:
            edited = model.Silence();
            break;
        case cSampleEditCommand::kFadeIn:
            edited = model.FadeIn();
            break;
        case cSampleEditCommand::kFadeOut:
            edited = model.FadeOut();
            break;
        default:
            WriteRender(scratch.root + "/Sampler/Render.wav");
            edited = model.ReplaceFromFile((scratch.root + "/Sampler/Render.wav").c_str());
            break;
        }
        Check(edited);
        const cSampleEditCommand* command = model.GetHistory().GetSlot(0);
        cGenStringFixed<64> name;
        command->FormatFileName(cSampleEditCommand::kUndoFile, name);
        const std::string path = scratch.root + "/" + name.CStr();
        tBytes file;
        if (keepHeader)
        {
            const cSampleEditUndoHeader& header = command->GetUndoHeader();
            const int32_t words[] = {header.bytesPerValue, header.channels, header.sampleRate, header.frames,
                                     header.bytes};
            file.assign(reinterpret_cast<const uint8_t*>(words), reinterpret_cast<const uint8_t*>(words) + 20);
        }
        file.insert(file.end(), data, data + size);
        WriteFile(path, file.data(), file.size());

        const tBytes before = Bytes(*sample);
        const int32_t framesBefore = model.GetFrames();
        const int32_t channelsBefore = sample->GetChannels();
        if (model.GetHistory().Undo())
        {
            Check(sample->GetBits() == bits && sample->GetChannels() == channels && sample->GetFrames() == kFrames);
            Check(model.GetFrames() == kFrames);
            Check(Bytes(*sample) == Restored(original, type, frameBytes, file.data() + 20, file.size() - 20));
        }
        else
        {
            Check(Bytes(*sample) == before);
            Check(model.GetFrames() == framesBefore && sample->GetChannels() == channelsBefore);
            Check(model.GetHistory().GetCurrent() == 0);
        }
    }
    sample->Release();
    return 0;
}
