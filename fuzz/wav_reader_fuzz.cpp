// Feeds arbitrary bytes to the RIFF reader, the WAV format checks and the
// sample reads, as a sample load takes a file: every input must end in an
// error text or a sample whose size follows from its header, never in a
// crash, a hang or a read outside the input.

#include <cstdint>
#include <cstdlib>

#include "audio/RiffReader.h"
#include "audio/Sample.h"
#include "audio/WavFile.h"
#include "base/File.h"

namespace
{
constexpr int kMaxDepth = 8;

File::cFile* Stream(const uint8_t* data, size_t size) { return new File::cFileMemoryRead(data, int(size)); }

// Visits every chunk inside the current one, descending into lists.
void Walk(cRiffReader& reader, int depth)
{
    while (reader.FindChunk(nullptr))
    {
        const cRiffReader::cChunk* chunk = reader.Top();
        if (chunk->end < chunk->dataStart)
            std::abort();
        if (depth < kMaxDepth && chunk->form[0])
            Walk(reader, depth + 1);
        reader.Ascend();
    }
}

void Load(const uint8_t* data, size_t size, int32_t sizeLimit)
{
    cWavFile wav;
    if (!wav.OpenRead(Stream(data, size)))
    {
        if (!*wav.GetError())
            std::abort();
        return;
    }
    int32_t frames = 0;
    bool truncated = false;
    uint8_t* samples = cSample::ReadWavData(wav, sizeLimit, &frames, &truncated);
    if (!samples)
    {
        if (!*cSample::GetErrorText())
            std::abort();
        return;
    }
    // Sizes are cut to what the input holds: at most two bytes per byte read.
    if (frames < 0 || int64_t(frames) * wav.GetChannels() > int64_t(size))
        std::abort();
    delete[] samples;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1 << 20)
        return 0;
    cRiffReader reader(Stream(data, size));
    Walk(reader, 0);
    Load(data, size, 0);
    Load(data, size, 1001);
    return 0;
}
