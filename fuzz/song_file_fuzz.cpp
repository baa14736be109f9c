// Feeds arbitrary bytes to the song reader. Half the inputs (those whose
// last byte is odd) are given a version of at most 6 and a size field that
// matches, so that they pass the first checks and reach the sections. A song the reader accepts must play,
// and must write and read back to the same bytes.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/File.h"
#include "base/GenString.h"
#include "sequencer/Sequencer.h"

namespace
{
constexpr uint32_t kVersions = 7; // 0..6

std::vector<uint8_t> Image(cSequencer& sequencer)
{
    File::cFileMemoryWrite file;
    sequencer.WriteSong(file);
    return std::vector<uint8_t>(file.GetData(), file.GetData() + file.GetLength());
}

bool Read(cSequencer& sequencer, const std::vector<uint8_t>& bytes)
{
    File::cFileMemoryRead file(bytes.data(), int(bytes.size()));
    cGenString error;
    return sequencer.ReadSong(file, error);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static cSequencer* sequencer = new cSequencer();
    std::vector<uint8_t> bytes(data, data + size);
    // The last byte chooses, so a sound file keeps its own fields.
    if (size >= 8 && (data[size - 1] & 1) != 0)
    {
        uint32_t version = 0;
        std::memcpy(&version, bytes.data(), 4);
        version %= kVersions;
        const uint32_t length = uint32_t(size);
        std::memcpy(bytes.data(), &version, 4);
        std::memcpy(bytes.data() + 4, &length, 4);
    }
    if (!Read(*sequencer, bytes))
        return 0;
    const std::vector<uint8_t> first = Image(*sequencer);
    if (!Read(*sequencer, first) || Image(*sequencer) != first)
        std::abort();
    sequencer->Play(0);
    for (int block = 0; block < 64; ++block)
        sequencer->AdvanceBlock(44100, 128);
    sequencer->Stop();
    return 0;
}
