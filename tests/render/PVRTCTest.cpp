#include "render/PVRTC.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
// Colour word: colour B in the high half, colour A in bits 1..15, mode in bit 0.
constexpr uint32_t kOpaqueA_Black = 0x8000;
constexpr uint32_t kOpaqueB_White = 0xffff0000;
constexpr uint32_t kOpaqueB_Red = 0xfc000000;
constexpr uint32_t kOpaqueA_Red = 0xfc00;
constexpr uint32_t kPunchThrough = 1;

struct cBlock
{
    uint32_t modulation;
    uint32_t colour;
};

// Blocks given in storage (Morton) order.
std::vector<uint8_t> Pack(const std::vector<cBlock>& blocks)
{
    std::vector<uint8_t> data;
    for (const cBlock& b : blocks)
        for (uint32_t word : {b.modulation, b.colour})
            for (int i = 0; i < 4; ++i)
                data.push_back(uint8_t(word >> (8 * i)));
    return data;
}

std::vector<uint8_t> Decompress(const std::vector<cBlock>& blocks, bool twoBpp, uint32_t width, uint32_t height)
{
    std::vector<uint8_t> out(width * height * 4, 0xcd);
    const std::vector<uint8_t> data = Pack(blocks);
    DecompressPVRTC(data.data(), twoBpp, width, height, out.data());
    return out;
}

uint32_t Pixel(const std::vector<uint8_t>& image, uint32_t width, uint32_t x, uint32_t y)
{
    const uint8_t* p = image.data() + (y * width + x) * 4;
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
} // namespace

TEST(PVRTC, FourBitModulationBlendsColourAIntoB)
{
    struct cCase
    {
        uint32_t modulation;
        uint32_t colour;
        uint32_t expected; // 0xAABBGGRR
    };
    const cCase cases[] = {
        {0x00000000, kOpaqueA_Black | kOpaqueB_White, 0xff000000}, // every pixel colour A
        {0xffffffff, kOpaqueA_Black | kOpaqueB_White, 0xffffffff}, // every pixel colour B
        {0x55555555, kOpaqueA_Black | kOpaqueB_White, 0xff606060}, // 3/8 of the way to B
        {0xaaaaaaaa, kOpaqueA_Black | kOpaqueB_White, 0xff9f9f9f}, // 5/8
        {0x55555555, kOpaqueA_Black | kOpaqueB_White | kPunchThrough, 0xff808080}, // 4/8
        {0xaaaaaaaa, kOpaqueA_Black | kOpaqueB_White | kPunchThrough, 0x00808080}, // 4/8, transparent
    };
    for (const cCase& c : cases)
    {
        const std::vector<cBlock> blocks(4, cBlock{c.modulation, c.colour});
        const auto image = Decompress(blocks, false, 8, 8);
        for (uint32_t y = 0; y < 8; ++y)
            for (uint32_t x = 0; x < 8; ++x)
                ASSERT_EQ(Pixel(image, 8, x, y), c.expected) << std::hex << c.modulation << " at " << x << "," << y;
    }
}

TEST(PVRTC, TranslucentColoursExpandTheirAlpha)
{
    // Colour A translucent: alpha 7 of 7 bits 12..14 -> 14 of 15; red 15, green 0, blue 0.
    const uint32_t colourA = (7u << 12) | (15u << 8);
    // Colour B translucent: alpha 3, blue 15.
    const uint32_t colourB = (3u << 28) | (15u << 16);
    const std::vector<cBlock> blocks(4, cBlock{0, colourA | (colourB)});
    const auto a = Decompress(blocks, false, 8, 8);
    EXPECT_EQ(Pixel(a, 8, 3, 3), 0xee0000ffu);

    const std::vector<cBlock> allB(4, cBlock{0xffffffff, colourA | colourB});
    const auto b = Decompress(allB, false, 8, 8);
    EXPECT_EQ(Pixel(b, 8, 3, 3), 0x66ff0000u);
}

TEST(PVRTC, BlocksAreStoredInMortonOrder)
{
    // A 16 x 8 image at 4 bpp is a 4 x 2 grid. With the row bit in the even
    // position, storage index 2 is column 1 of row 0 and index 1 column 0 of row 1.
    std::vector<cBlock> blocks(8, cBlock{0, kOpaqueA_Black});
    blocks[2] = {0, kOpaqueA_Red};
    blocks[5] = {0xffffffff, kOpaqueA_Black | kOpaqueB_Red}; // index 5: column 2, row 1
    const auto image = Decompress(blocks, false, 16, 8);

    // A block's colour is exact at its centre and fades towards its neighbours.
    EXPECT_EQ(Pixel(image, 16, 6, 2), 0xff0000ffu);
    EXPECT_EQ(Pixel(image, 16, 2, 6), 0xff000000u);
    EXPECT_EQ(Pixel(image, 16, 10, 6), 0xff0000ffu);
    EXPECT_EQ(Pixel(image, 16, 14, 2), 0xff000000u);
    const uint32_t between = Pixel(image, 16, 8, 2) & 0xff;
    EXPECT_GT(between, 0x40u);
    EXPECT_LT(between, 0xc0u);
}

TEST(PVRTC, TwoBitBlocksCoverEightByFourPixels)
{
    // Direct mode: one bit per pixel picks colour A or B.
    std::vector<cBlock> blocks(4, cBlock{0x0000ffff, kOpaqueA_Black | kOpaqueB_White});
    auto image = Decompress(blocks, true, 16, 8);
    for (uint32_t x = 0; x < 16; ++x)
    {
        EXPECT_EQ(Pixel(image, 16, x, 1), 0xffffffffu) << x; // rows 0 and 1 of each block: B
        EXPECT_EQ(Pixel(image, 16, x, 6), 0xff000000u) << x; // rows 2 and 3: A
    }

    // Interpolated mode: stored pixels say B and every other pixel is blended
    // from its stored neighbours, which are B as well.
    blocks.assign(4, cBlock{0xffffffff, kOpaqueA_Black | kOpaqueB_White | 1});
    image = Decompress(blocks, true, 16, 8);
    for (uint32_t y = 0; y < 8; ++y)
        for (uint32_t x = 0; x < 16; ++x)
            ASSERT_EQ(Pixel(image, 16, x, y), 0xffffffffu) << x << "," << y;
}

TEST(PVRTC, SmallLevelsReadTheMinimumGrid)
{
    const std::vector<cBlock> blocks(4, cBlock{0xffffffff, kOpaqueA_Black | kOpaqueB_White});
    for (uint32_t size : {1u, 2u, 4u})
    {
        const auto image = Decompress(blocks, false, size, size);
        EXPECT_EQ(image.size(), size * size * 4);
        EXPECT_EQ(Pixel(image, size, size - 1, size - 1), 0xffffffffu);
    }
}
