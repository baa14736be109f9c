#include "sequencer/MIDIFileFormat.h"

namespace MIDIFileFormat
{
void AppendNumber(std::vector<uint8_t>& out, uint32_t value)
{
    uint8_t bytes[5];
    int count = 0;
    do
    {
        bytes[count++] = uint8_t(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (count > 1)
        out.push_back(bytes[--count] | 0x80);
    out.push_back(bytes[0]);
}
} // namespace MIDIFileFormat
