#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace File { class cFile; }

// Pixel formats of decoded images and device textures.
enum ePixelFormat : uint32_t
{
    kPixelFormatRGBA8 = 3,
    kPixelFormatRGB8 = 6,
    kPixelFormatAlpha8 = 7,
    kPixelFormatLuminance8 = 8,
    kPixelFormatLuminanceAlpha8 = 9,
};

// One mip level: either a view into the file contents or its own decompressed pixels.
struct cPVRLevel
{
    const uint8_t* pixels = nullptr;
    bool owned = false;
    uint32_t rowBytes = 0;
    uint32_t byteSize = 0;
    std::unique_ptr<uint8_t[]> ownedPixels;
};

struct cPVRSurface
{
    uint32_t levelCount = 0;
    std::unique_ptr<cPVRLevel[]> levels;
};

// A texture file decoded far enough for upload: uncompressed levels point into the
// file contents, compressed ones are expanded to RGBA.
struct cPVRImage
{
    uint32_t flags = 0;
    uint32_t pixelFormat = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitsPerPixel = 0;
    uint32_t surfaceCount = 0;
    uint32_t levelCount = 0;
    std::unique_ptr<cPVRSurface[]> surfaces;
    std::unique_ptr<uint8_t[]> fileContents;
    size_t fileLength = 0;
};

// Reads the rest of the stream and decodes it; none when the file is not a texture
// this program can use, or when any of its sizes disagree with its length.
std::unique_ptr<cPVRImage> ReadPVRImage(File::cFile& file, uint32_t loadFlags);

// Decodes a whole file held in memory; the image takes the bytes on success.
std::unique_ptr<cPVRImage> DecodePVRImage(std::unique_ptr<uint8_t[]> contents, size_t length,
                                          uint32_t loadFlags);
