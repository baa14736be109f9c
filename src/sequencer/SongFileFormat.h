#pragma once
#include <cstdint>

// The song file ("Package.sng"): little-endian fields, a version and the
// file's size first, then the transport and quantize settings, every pattern
// in table order and every track with its parts.
namespace SongFile
{
constexpr int32_t kVersion = 6;
constexpr int32_t kSizeOffset = 4;
constexpr int32_t kReservedBytes = 128;
constexpr int32_t kHeaderBytes = 204; // through the pattern count
constexpr int32_t kEventBytes = 12;
constexpr int32_t kPartBytes = 16;
constexpr int32_t kOldPartBytes = 20;          // before version 5: 4 spare bytes after the program word
constexpr int32_t kFirstVersionWithChannels = 5; // tracks store their channel and selection
constexpr int32_t kVersionWithOldPresets = 3;    // preset ids numbered 0..191 over three banks
constexpr int32_t kLatestTicks = 512000;         // the song's end: positions, loops and parts stay inside
constexpr int32_t kMaxCountInBars = 4;
constexpr int32_t kMaxMetronomeMode = 2;

constexpr const char* kNewerVersionMessage = "This song was saved with a newer version of Quilwright.";
constexpr const char* kWrongSizeMessage = "Song file is not the expected size.";
constexpr const char* kDamagedMessage = "Song file is damaged.";
} // namespace SongFile
