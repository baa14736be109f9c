#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Pixel types of the texture files this generator writes.
enum class ePvrType : uint32_t
{
    RGBA8888 = 0x12,
    Intensity8 = 0x16,
};

// Builds a version 2 texture file: the 52-byte little-endian header and one
// surface of one level. Width and height must be powers of two and the pixels
// must hold exactly width x height pixels of the type, top row first.
std::vector<uint8_t> BuildPvrFile(ePvrType type, uint32_t width, uint32_t height, const std::vector<uint8_t>& pixels);

// Writes a file in one go; false with a message on standard error when it fails.
bool WriteBinaryFile(const std::string& path, const std::vector<uint8_t>& bytes);

bool IsPowerOfTwo(uint32_t value);
