#include "PvrWriter.h"

#include <cstdio>
#include <stdexcept>

namespace
{
constexpr uint32_t kHeaderSize = 52;
constexpr uint32_t kTag = 0x21525650; // "PVR!"

void PutU32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(value >> (8 * i)));
}
}

bool IsPowerOfTwo(uint32_t value)
{
    return value != 0 && (value & (value - 1)) == 0;
}

std::vector<uint8_t> BuildPvrFile(ePvrType type, uint32_t width, uint32_t height, const std::vector<uint8_t>& pixels)
{
    const uint32_t bitsPerPixel = type == ePvrType::RGBA8888 ? 32 : 8;
    const uint32_t dataSize = width * height * bitsPerPixel / 8;
    if (!IsPowerOfTwo(width) || !IsPowerOfTwo(height))
        throw std::invalid_argument("texture sizes must be powers of two");
    if (pixels.size() != dataSize)
        throw std::invalid_argument("pixel data does not match the texture size");

    std::vector<uint8_t> file;
    file.reserve(kHeaderSize + dataSize);
    PutU32(file, kHeaderSize);
    PutU32(file, height);
    PutU32(file, width);
    PutU32(file, 0); // no mip-maps
    PutU32(file, uint32_t(type));
    PutU32(file, dataSize);
    PutU32(file, bitsPerPixel);
    if (type == ePvrType::RGBA8888)
    {
        PutU32(file, 0x000000ff);
        PutU32(file, 0x0000ff00);
        PutU32(file, 0x00ff0000);
        PutU32(file, 0xff000000);
    }
    else
    {
        for (int mask = 0; mask < 4; ++mask)
            PutU32(file, 0);
    }
    PutU32(file, kTag);
    PutU32(file, 1); // one surface
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

bool WriteBinaryFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
    {
        std::fprintf(stderr, "resgen: cannot write %s\n", path.c_str());
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed)
        std::fprintf(stderr, "resgen: writing %s failed\n", path.c_str());
    return written && closed;
}
