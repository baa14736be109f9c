#include "render/PVRImage.h"

#include "base/File.h"
#include "render/PVRTC.h"

#include "PvrWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace
{
struct cHeaderFields
{
    uint32_t headerSize = 52, height = 4, width = 4, mipMapCount = 0, formatFlags = 0x12, dataSize = 64,
             bitsPerPixel = 32, surfaceCount = 1;
};

void PutU32(std::vector<uint8_t>& out, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = uint8_t(value >> (8 * i));
}

// A file with the given header and payload bytes after it.
std::vector<uint8_t> MakeFile(const cHeaderFields& h, size_t payload)
{
    std::vector<uint8_t> file(52 + payload, 0);
    PutU32(file, 0, h.headerSize);
    PutU32(file, 4, h.height);
    PutU32(file, 8, h.width);
    PutU32(file, 12, h.mipMapCount);
    PutU32(file, 16, h.formatFlags);
    PutU32(file, 20, h.dataSize);
    PutU32(file, 24, h.bitsPerPixel);
    PutU32(file, 44, 0x21525650);
    PutU32(file, 48, h.surfaceCount);
    for (size_t i = 0; i < payload; ++i)
        file[52 + i] = uint8_t(i);
    return file;
}

std::unique_ptr<cPVRImage> Decode(const std::vector<uint8_t>& bytes, uint32_t flags = 0)
{
    std::unique_ptr<uint8_t[]> copy(new uint8_t[bytes.size()]);
    std::memcpy(copy.get(), bytes.data(), bytes.size());
    return DecodePVRImage(std::move(copy), bytes.size(), flags);
}
} // namespace

TEST(PVRImage, GeneratedFilesReadBackWithTheirHeader)
{
    struct cCase
    {
        ePvrType type;
        uint32_t flags;
        uint32_t bytesPerPixel;
        uint32_t pixelFormat;
    };
    const cCase cases[] = {
        {ePvrType::RGBA8888, 0, 4, kPixelFormatRGBA8},
        {ePvrType::Intensity8, 0, 1, kPixelFormatLuminance8},
        {ePvrType::Intensity8, 1, 1, kPixelFormatAlpha8},
    };
    for (const cCase& c : cases)
    {
        const uint32_t width = 16, height = 8;
        std::vector<uint8_t> pixels(width * height * c.bytesPerPixel);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = uint8_t(i * 7);
        const std::vector<uint8_t> file = BuildPvrFile(c.type, width, height, pixels);

        File::cFileMemoryRead stream(file.data(), int(file.size()));
        const auto image = ReadPVRImage(stream, c.flags);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->pixelFormat, c.pixelFormat);
        EXPECT_EQ(image->width, width);
        EXPECT_EQ(image->height, height);
        EXPECT_EQ(image->bitsPerPixel, c.bytesPerPixel * 8);
        EXPECT_EQ(image->flags, c.flags);
        ASSERT_EQ(image->surfaceCount, 1u);
        ASSERT_EQ(image->levelCount, 1u);
        const cPVRLevel& level = image->surfaces[0].levels[0];
        EXPECT_FALSE(level.owned);
        EXPECT_EQ(level.rowBytes, width * c.bytesPerPixel);
        ASSERT_EQ(level.byteSize, pixels.size());
        EXPECT_EQ(std::memcmp(level.pixels, pixels.data(), pixels.size()), 0);
    }
}

TEST(PVRImage, PixelTypesMapToDecodedFormats)
{
    struct cCase
    {
        uint32_t type, bitsPerPixel, flags, pixelFormat;
    };
    const cCase cases[] = {
        {0x12, 32, 0, kPixelFormatRGBA8}, {0x15, 24, 0, kPixelFormatRGB8},
        {0x16, 8, 0, kPixelFormatLuminance8}, {0x16, 8, 1, kPixelFormatAlpha8},
        {0x17, 16, 0, kPixelFormatLuminanceAlpha8},
    };
    for (const cCase& c : cases)
    {
        cHeaderFields h;
        h.formatFlags = c.type;
        h.bitsPerPixel = c.bitsPerPixel;
        h.dataSize = 16 * c.bitsPerPixel / 8;
        const auto image = Decode(MakeFile(h, h.dataSize), c.flags);
        ASSERT_NE(image, nullptr) << "type " << c.type;
        EXPECT_EQ(image->pixelFormat, c.pixelFormat) << "type " << c.type;
        EXPECT_EQ(image->surfaces[0].levels[0].rowBytes, 4 * c.bitsPerPixel / 8);
    }
}

TEST(PVRImage, UncompressedMipLevelsFollowEachOtherInTheFile)
{
    cHeaderFields h;
    h.width = 5;
    h.height = 3;
    h.formatFlags = 0x12 | 0x100;
    h.mipMapCount = 2;
    h.dataSize = (15 + 2 + 1) * 4;
    const std::vector<uint8_t> file = MakeFile(h, h.dataSize);
    const auto image = Decode(file);
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->levelCount, 3u);
    const cPVRLevel* levels = image->surfaces[0].levels.get();
    const uint8_t* base = image->fileContents.get();
    EXPECT_EQ(levels[0].pixels, base + 52);
    EXPECT_EQ(levels[1].pixels, base + 52 + 60);
    EXPECT_EQ(levels[2].pixels, base + 52 + 68);
    EXPECT_EQ(levels[1].byteSize, 8u); // 2 x 1
    EXPECT_EQ(levels[2].byteSize, 4u); // 1 x 1
}

TEST(PVRImage, MipCountIsIgnoredWithoutTheMipFlag)
{
    cHeaderFields h;
    h.mipMapCount = 2;
    const auto image = Decode(MakeFile(h, h.dataSize));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->levelCount, 1u);
}

TEST(PVRImage, CompressedLevelsNeverTakeLessThanTwoByTwoBlocks)
{
    EXPECT_EQ(PVRTCLevelSize(true, 64, 32), 512u);
    EXPECT_EQ(PVRTCLevelSize(false, 4, 4), 32u);
    EXPECT_EQ(PVRTCLevelSize(true, 1, 1), 32u);

    cHeaderFields h;
    h.width = h.height = 32;
    h.formatFlags = 0x19 | 0x100 | 0x200; // PVRTC 4 bpp, mip-mapped, twiddled
    h.bitsPerPixel = 4;
    h.mipMapCount = 5;
    h.dataSize = 512 + 128 + 4 * 32;
    const auto image = Decode(MakeFile(h, h.dataSize));
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->levelCount, 6u);
    for (uint32_t i = 0, size = 32; i < 6; ++i, size /= 2)
    {
        const cPVRLevel& level = image->surfaces[0].levels[i];
        EXPECT_TRUE(level.owned);
        EXPECT_EQ(level.byteSize, size * size * 4) << "level " << i;
    }
    EXPECT_EQ(image->pixelFormat, uint32_t(kPixelFormatRGBA8));
}

TEST(PVRImage, TruncatedAndLyingFilesAreRejected)
{
    struct cCase
    {
        const char* what;
        cHeaderFields header;
        size_t payload;
    };
    auto with = [](auto change) {
        cHeaderFields h;
        change(h);
        return h;
    };
    const cCase cases[] = {
        {"pixels cut short", cHeaderFields(), 63},
        {"header size past the end", with([](cHeaderFields& h) { h.headerSize = 1000; }), 64},
        {"header size inside the header", with([](cHeaderFields& h) { h.headerSize = 8; }), 64},
        {"zero width", with([](cHeaderFields& h) { h.width = 0; }), 64},
        {"zero height", with([](cHeaderFields& h) { h.height = 0; }), 64},
        {"no surfaces", with([](cHeaderFields& h) { h.surfaceCount = 0; }), 64},
        {"more surfaces than the file holds", with([](cHeaderFields& h) { h.surfaceCount = 0x40000000; }), 64},
        {"data size smaller than the level", with([](cHeaderFields& h) { h.dataSize = 16; }), 64},
        {"data size past the end", with([](cHeaderFields& h) { h.dataSize = 0xffffffff; }), 64},
        {"bit depth that disagrees with the type", with([](cHeaderFields& h) { h.bitsPerPixel = 64; }), 64},
        {"zero bit depth", with([](cHeaderFields& h) { h.bitsPerPixel = 0; }), 64},
        {"huge size whose byte count wraps", with([](cHeaderFields& h) { h.width = h.height = 0x10000; }), 64},
        {"more mip levels than the chain has",
         with([](cHeaderFields& h) { h.formatFlags |= 0x100; h.mipMapCount = 40; h.dataSize = 84; }), 84},
        {"mip count that wraps", with([](cHeaderFields& h) { h.formatFlags |= 0x100; h.mipMapCount = 0xffffffff; }), 64},
        {"twiddled uncompressed pixels", with([](cHeaderFields& h) { h.formatFlags |= 0x200; }), 64},
        {"cube map", with([](cHeaderFields& h) { h.formatFlags |= 0x1000; }), 64},
        {"unknown pixel type", with([](cHeaderFields& h) { h.formatFlags = 0x10; h.bitsPerPixel = 16; }), 64},
        {"compressed size not a power of two", with([](cHeaderFields& h) {
             h.formatFlags = 0x19;
             h.bitsPerPixel = 4;
             h.width = 12;
         }), 64},
        {"compressed size whose byte count wraps", with([](cHeaderFields& h) {
             h.formatFlags = 0x19;
             h.bitsPerPixel = 4;
             h.width = 0x20000;
             h.height = 0x10000;
             h.dataSize = 0;
         }), 64},
        {"compressed data cut short", with([](cHeaderFields& h) {
             h.formatFlags = 0x19;
             h.bitsPerPixel = 4;
             h.width = h.height = 16;
             h.dataSize = 128;
         }), 100},
        // The format holds one surface (cube maps are refused), and nothing
        // decodes to more than 64 MiB: a small file cannot take gigabytes.
        {"two surfaces the file holds", with([](cHeaderFields& h) { h.surfaceCount = 2; }), 128},
        {"a million surfaces the file holds", with([](cHeaderFields& h) {
             h.width = h.height = 1;
             h.formatFlags = 0x16;
             h.bitsPerPixel = 8;
             h.dataSize = 1;
             h.surfaceCount = 1 << 20;
         }), 1 << 20},
        {"compressed pixels that decode past 64 MiB", with([](cHeaderFields& h) {
             h.formatFlags = 0x18;
             h.bitsPerPixel = 2;
             h.width = 8192;
             h.height = 4096;
             h.dataSize = 8192 * 4096 / 4;
         }), 8192 * 4096 / 4},
    };
    for (const cCase& c : cases)
        EXPECT_EQ(Decode(MakeFile(c.header, c.payload)), nullptr) << c.what;

    EXPECT_EQ(Decode(std::vector<uint8_t>(51, 0)), nullptr) << "shorter than a header";
    File::cFileMemoryRead empty(nullptr, 0);
    EXPECT_EQ(ReadPVRImage(empty, 0), nullptr) << "empty file";
}
