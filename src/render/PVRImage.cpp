#include "render/PVRImage.h"

#include "base/File.h"
#include "render/PVRTC.h"

#include <cstring>

namespace
{
constexpr size_t kHeaderBytes = 52;
// Far beyond any texture of the program (its largest decodes to 2 MiB): a
// file that would decode to more is damaged or hostile, not content.
constexpr uint64_t kMaxDecodedBytes = uint64_t(64) << 20;

constexpr uint32_t kFlagMipMaps = 0x100;
constexpr uint32_t kFlagTwiddled = 0x200;
constexpr uint32_t kFlagCubeMap = 0x1000;

enum : uint32_t
{
    kTypeRGBA8888 = 0x12,
    kTypeRGB888 = 0x15,
    kTypeI8 = 0x16,
    kTypeAI88 = 0x17,
    kTypePVRTC2 = 0x18,
    kTypePVRTC4 = 0x19,
};

struct cHeader
{
    uint32_t headerSize, height, width, mipMapCount, formatFlags, dataSize, bitsPerPixel;
    uint32_t surfaceCount;
};

uint32_t ReadU32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

cHeader ParseHeader(const uint8_t* p)
{
    cHeader h;
    h.headerSize = ReadU32(p + 0);
    h.height = ReadU32(p + 4);
    h.width = ReadU32(p + 8);
    h.mipMapCount = ReadU32(p + 12);
    h.formatFlags = ReadU32(p + 16);
    h.dataSize = ReadU32(p + 20);
    h.bitsPerPixel = ReadU32(p + 24);
    h.surfaceCount = ReadU32(p + 48);
    return h;
}

// Decoded pixel format of a pixel type, or 0 when the type is not one we read.
uint32_t PixelFormatOf(uint32_t type, uint32_t loadFlags)
{
    switch (type)
    {
    case kTypeRGBA8888: return kPixelFormatRGBA8;
    case kTypeRGB888: return kPixelFormatRGB8;
    case kTypeI8: return (loadFlags & 1u) ? kPixelFormatAlpha8 : kPixelFormatLuminance8;
    case kTypeAI88: return kPixelFormatLuminanceAlpha8;
    case kTypePVRTC2:
    case kTypePVRTC4: return kPixelFormatRGBA8;
    default: return 0;
    }
}

// The bit depth each type implies; a header that claims another would make the
// upload read past its levels.
uint32_t BitsPerPixelOf(uint32_t type)
{
    switch (type)
    {
    case kTypeRGBA8888: return 32;
    case kTypeRGB888: return 24;
    case kTypeI8: return 8;
    case kTypeAI88: return 16;
    case kTypePVRTC2: return 2;
    case kTypePVRTC4: return 4;
    default: return 0;
    }
}

bool IsPowerOfTwo(uint32_t v) { return v != 0 && (v & (v - 1)) == 0; }

uint32_t FullChainLevels(uint32_t width, uint32_t height)
{
    uint32_t levels = 1;
    for (uint32_t size = width > height ? width : height; size > 1; size /= 2)
        ++levels;
    return levels;
}

bool IsCompressed(uint32_t type) { return type == kTypePVRTC2 || type == kTypePVRTC4; }

// Bytes a level occupies in the file, in 64 bits so that lying sizes cannot wrap.
uint64_t StoredLevelBytes(uint32_t type, uint32_t bpp, uint32_t width, uint32_t height)
{
    if (IsCompressed(type))
        return PVRTCLevelSize(type == kTypePVRTC2, width, height);
    return (uint64_t(width) * height * bpp + 7) / 8;
}

bool HeaderFitsFile(const cHeader& h, uint32_t type, size_t length, uint32_t levelCount)
{
    // The format holds one surface: cube maps, the only use for more, are
    // refused, and each further surface would cost memory for nothing.
    if (h.headerSize < kHeaderBytes || h.width == 0 || h.height == 0 || h.surfaceCount != 1)
        return false;
    if (h.bitsPerPixel != BitsPerPixelOf(type))
        return false;
    if (IsCompressed(type) && (!IsPowerOfTwo(h.width) || !IsPowerOfTwo(h.height)))
        return false;
    // Compressed levels are expanded to RGBA; their size must fit a level's byte count.
    if (IsCompressed(type) && uint64_t(h.width) * h.height * 4 > UINT32_MAX)
        return false;
    if (levelCount > FullChainLevels(h.width, h.height))
        return false;

    uint64_t chainBytes = 0;
    uint64_t decodedBytes = 0;
    for (uint32_t level = 0, w = h.width, hgt = h.height; level < levelCount; ++level)
    {
        chainBytes += StoredLevelBytes(type, h.bitsPerPixel, w, hgt);
        decodedBytes += IsCompressed(type) ? uint64_t(w) * hgt * 4 : StoredLevelBytes(type, h.bitsPerPixel, w, hgt);
        w = w > 1 ? w / 2 : 1;
        hgt = hgt > 1 ? hgt / 2 : 1;
    }
    if (chainBytes > h.dataSize || decodedBytes > kMaxDecodedBytes)
        return false;
    return uint64_t(h.headerSize) + uint64_t(h.surfaceCount) * h.dataSize <= length;
}

void DecodeLevel(cPVRLevel& level, uint32_t type, uint32_t bpp, const uint8_t* at, uint32_t width, uint32_t height)
{
    level.rowBytes = uint32_t((uint64_t(width) * bpp + 7) / 8);
    if (!IsCompressed(type))
    {
        level.pixels = at;
        level.owned = false;
        level.byteSize = uint32_t(StoredLevelBytes(type, bpp, width, height));
        return;
    }
    level.byteSize = width * height * 4;
    level.ownedPixels.reset(new uint8_t[level.byteSize]());
    DecompressPVRTC(at, type == kTypePVRTC2, width, height, level.ownedPixels.get());
    level.pixels = level.ownedPixels.get();
    level.owned = true;
}
} // namespace

std::unique_ptr<cPVRImage> DecodePVRImage(std::unique_ptr<uint8_t[]> contents, size_t length, uint32_t loadFlags)
{
    if (!contents || length < kHeaderBytes)
        return nullptr;

    const cHeader h = ParseHeader(contents.get());
    const uint32_t type = h.formatFlags & 0xffu;
    if (((h.formatFlags & kFlagTwiddled) && !IsCompressed(type)) || (h.formatFlags & kFlagCubeMap))
        return nullptr;
    const uint32_t pixelFormat = PixelFormatOf(type, loadFlags);
    if (pixelFormat == 0)
        return nullptr;

    const bool hasMipMaps = (h.formatFlags & kFlagMipMaps) != 0;
    if (hasMipMaps && h.mipMapCount == 0xffffffffu)
        return nullptr;
    const uint32_t levelCount = hasMipMaps ? h.mipMapCount + 1 : 1;
    if (!HeaderFitsFile(h, type, length, levelCount))
        return nullptr;

    auto image = std::make_unique<cPVRImage>();
    image->flags = loadFlags;
    image->pixelFormat = pixelFormat;
    image->width = h.width;
    image->height = h.height;
    image->bitsPerPixel = h.bitsPerPixel;
    image->surfaceCount = h.surfaceCount;
    image->levelCount = levelCount;
    image->surfaces.reset(new cPVRSurface[h.surfaceCount]);

    const uint8_t* base = contents.get();
    for (uint32_t s = 0; s < h.surfaceCount; ++s)
    {
        cPVRSurface& surface = image->surfaces[s];
        surface.levelCount = levelCount;
        surface.levels.reset(new cPVRLevel[levelCount]);
        const uint8_t* at = base + h.headerSize + size_t(s) * h.dataSize;
        for (uint32_t level = 0, w = h.width, hgt = h.height; level < levelCount; ++level)
        {
            DecodeLevel(surface.levels[level], type, h.bitsPerPixel, at, w, hgt);
            at += StoredLevelBytes(type, h.bitsPerPixel, w, hgt);
            w = w > 1 ? w / 2 : 1;
            hgt = hgt > 1 ? hgt / 2 : 1;
        }
    }
    image->fileContents = std::move(contents);
    image->fileLength = length;
    return image;
}

std::unique_ptr<cPVRImage> ReadPVRImage(File::cFile& file, uint32_t loadFlags)
{
    void* data = nullptr;
    const int read = file.ReadAll(&data, file.GetRemaining());
    std::unique_ptr<uint8_t[]> contents(static_cast<uint8_t*>(data));
    if (read <= 0)
        return nullptr;
    return DecodePVRImage(std::move(contents), size_t(read), loadFlags);
}
