#pragma once

#include <cstdint>
#include <vector>

// Bytes of the standard MIDI file format that the reader, the writer and the
// byte check share.
namespace MIDIFileFormat
{
constexpr uint8_t kMetaStatus = 0xFF;
constexpr uint8_t kSysExStatus = 0xF0;
constexpr uint8_t kEscapeStatus = 0xF7;

constexpr uint8_t kMetaText = 0x01;
constexpr uint8_t kMetaTrackName = 0x03;
constexpr uint8_t kMetaInstrumentName = 0x04;
constexpr uint8_t kMetaMarker = 0x06;
constexpr uint8_t kMetaEndOfTrack = 0x2F;
constexpr uint8_t kMetaTempo = 0x51;
constexpr uint8_t kMetaTimeSignature = 0x58;
constexpr uint8_t kMetaSequencerData = 0x7F;

// Variable-length numbers hold 7 bits a byte, most significant first, the
// top bit set on all but the last byte; a file's have at most 4 bytes.
constexpr int kMaxNumberBytes = 4;
// The largest number of 4 bytes: no file time can be later.
constexpr uint32_t kMaxTime = 0x0FFFFFFF;
void AppendNumber(std::vector<uint8_t>& out, uint32_t value);
} // namespace MIDIFileFormat
