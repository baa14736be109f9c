#pragma once

#include <cstdint>
#include <vector>

// Appends a MIDI file's variable-length number: 7 bits a byte, most
// significant first, the top bit set on all but the last byte.
void AppendMIDIFileNumber(std::vector<uint8_t>& out, uint32_t value);
