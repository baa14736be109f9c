#include "PngWriter.h"

#include <stdexcept>
#include <zlib.h>

namespace
{
void PutU32BigEndian(std::vector<uint8_t>& out, uint32_t value)
{
    for (int i = 3; i >= 0; --i)
        out.push_back(uint8_t(value >> (8 * i)));
}

void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data)
{
    PutU32BigEndian(out, uint32_t(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc = crc32(0L, out.data() + start, uInt(out.size() - start));
    PutU32BigEndian(out, uint32_t(crc));
}
}

std::vector<uint8_t> EncodePng(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgba)
{
    if (rgba.size() != size_t(width) * height * 4)
        throw std::invalid_argument("pixel data does not match the picture size");

    // Every row gets filter type 0 (none).
    std::vector<uint8_t> raw;
    raw.reserve(size_t(height) * (width * 4 + 1));
    for (uint32_t y = 0; y < height; ++y)
    {
        raw.push_back(0);
        raw.insert(raw.end(), rgba.begin() + size_t(y) * width * 4, rgba.begin() + size_t(y + 1) * width * 4);
    }
    uLongf packedSize = compressBound(uLong(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), uLong(raw.size()), 6) != Z_OK)
        throw std::runtime_error("deflate failed");
    packed.resize(packedSize);

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<uint8_t> header;
    PutU32BigEndian(header, width);
    PutU32BigEndian(header, height);
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA, deflate, no filter, no interlace
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", {});
    return png;
}
