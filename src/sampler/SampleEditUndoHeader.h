#pragma once
#include <cstdint>

namespace File
{
class cFile;
}

// The 20 bytes an undo file starts with: what the data after it is, five
// little-endian 32-bit words in this order.
struct cSampleEditUndoHeader
{
    static constexpr int32_t kBytes = 20;

    int32_t bytesPerValue = 0; // 1 or 2
    int32_t channels = 0;
    int32_t sampleRate = 0;
    int32_t frames = 0;
    int32_t bytes = 0; // bytesPerValue x channels x frames

    bool operator==(const cSampleEditUndoHeader&) const = default;

    // Both false unless all 20 bytes were moved.
    bool Write(File::cFile& file) const;
    bool Read(File::cFile& file);
};
