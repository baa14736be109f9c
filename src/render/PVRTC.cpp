#include "render/PVRTC.h"

#include <algorithm>
#include <cstring>

namespace
{
struct cBlockGrid
{
    const uint8_t* data;
    bool twoBpp;
    uint32_t blocksX, blocksY;   // block grid, at least 2 x 2
    uint32_t blockW, blockH;     // pixels per block: 8 x 4 or 4 x 4

    uint32_t MortonIndex(uint32_t column, uint32_t row) const
    {
        uint32_t index = 0;
        uint32_t bits = 0;
        const uint32_t smaller = std::min(blocksX, blocksY);
        while ((1u << bits) < smaller)
        {
            index |= ((row >> bits) & 1u) << (2 * bits);
            index |= ((column >> bits) & 1u) << (2 * bits + 1);
            ++bits;
        }
        const uint32_t larger = blocksX > blocksY ? column : row;
        return index | ((larger >> bits) << (2 * bits));
    }

    // Block words at a block position that wraps around the image edges.
    void Words(int32_t column, int32_t row, uint32_t& modulation, uint32_t& colour) const
    {
        const uint32_t c = uint32_t(column) & (blocksX - 1);
        const uint32_t r = uint32_t(row) & (blocksY - 1);
        const uint8_t* block = data + size_t(MortonIndex(c, r)) * 8;
        modulation = uint32_t(block[0]) | uint32_t(block[1]) << 8 | uint32_t(block[2]) << 16 | uint32_t(block[3]) << 24;
        colour = uint32_t(block[4]) | uint32_t(block[5]) << 8 | uint32_t(block[6]) << 16 | uint32_t(block[7]) << 24;
    }
};

// Colours are held as 5-bit red, green, blue and 4-bit alpha.
struct cColour5
{
    int r, g, b, a;
};

int Expand4To5(int v) { return (v << 1) | (v >> 3); }
int Expand3To5(int v) { return (v << 2) | (v >> 1); }

cColour5 ColourA(uint32_t word)
{
    if (word & 0x8000u)
        return {int((word >> 10) & 31), int((word >> 5) & 31), Expand4To5(int((word >> 1) & 15)), 15};
    return {Expand4To5(int((word >> 8) & 15)), Expand4To5(int((word >> 4) & 15)), Expand3To5(int((word >> 1) & 7)),
            int((word >> 12) & 7) << 1};
}

cColour5 ColourB(uint32_t word)
{
    if (word & 0x80000000u)
        return {int((word >> 26) & 31), int((word >> 21) & 31), int((word >> 16) & 31), 15};
    return {Expand4To5(int((word >> 24) & 15)), Expand4To5(int((word >> 20) & 15)), Expand4To5(int((word >> 16) & 15)),
            int((word >> 28) & 7) << 1};
}

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// Modulation word of a 2-bpp block in interpolated mode with its flag bits resolved.
uint32_t ResolvedModulation2(uint32_t modulation)
{
    if (modulation & 1u)
        modulation = (modulation & 0x200000u) ? (modulation | 0x100000u) : (modulation & ~0x100000u);
    return (modulation & 2u) ? (modulation | 1u) : (modulation & ~1u);
}

class cDecoder
{
public:
    explicit cDecoder(const cBlockGrid& grid) : mGrid(grid) {}

    void Pixel(int x, int y, uint8_t* out) const
    {
        const int bw = int(mGrid.blockW), bh = int(mGrid.blockH);
        const int xs = x - bw / 2, ys = y - bh / 2;
        const int bx = FloorDiv(xs, bw), by = FloorDiv(ys, bh);
        const int fx = xs - bx * bw, fy = ys - by * bh;
        const int weights[4] = {(bw - fx) * (bh - fy), fx * (bh - fy), (bw - fx) * fy, fx * fy};
        const int offsets[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};

        int a[4] = {}, b[4] = {};
        for (int i = 0; i < 4; ++i)
        {
            uint32_t modulation, colour;
            mGrid.Words(bx + offsets[i][0], by + offsets[i][1], modulation, colour);
            const cColour5 ca = ColourA(colour), cb = ColourB(colour);
            a[0] += ca.r * weights[i]; a[1] += ca.g * weights[i]; a[2] += ca.b * weights[i]; a[3] += ca.a * weights[i];
            b[0] += cb.r * weights[i]; b[1] += cb.g * weights[i]; b[2] += cb.b * weights[i]; b[3] += cb.a * weights[i];
        }

        bool punchThrough = false;
        const int w = Modulation(x, y, punchThrough);
        const int scale = bw * bh * 8;
        for (int c = 0; c < 4; ++c)
        {
            const int full = (c == 3 ? 15 : 31) * scale;
            const int mixed = a[c] * (8 - w) + b[c] * w;
            out[c] = uint8_t((mixed * 255 + full / 2) / full);
        }
        if (punchThrough)
            out[3] = 0;
    }

private:
    const cBlockGrid& mGrid;

    void BlockAt(int x, int y, int& lx, int& ly, uint32_t& modulation, uint32_t& colour) const
    {
        const int bw = int(mGrid.blockW), bh = int(mGrid.blockH);
        const int bx = FloorDiv(x, bw), by = FloorDiv(y, bh);
        lx = x - bx * bw;
        ly = y - by * bh;
        mGrid.Words(bx, by, modulation, colour);
    }

    // Modulation weight in eighths of colour B.
    int Modulation(int x, int y, bool& punchThrough) const
    {
        int lx, ly;
        uint32_t modulation, colour;
        BlockAt(x, y, lx, ly, modulation, colour);
        if (!mGrid.twoBpp)
        {
            const int value = int((modulation >> (2 * (ly * 4 + lx))) & 3u);
            if (colour & 1u)
            {
                punchThrough = value == 2;
                static const int kPunchThrough[4] = {0, 4, 4, 8};
                return kPunchThrough[value];
            }
            static const int kStandard[4] = {0, 3, 5, 8};
            return kStandard[value];
        }
        if (!(colour & 1u) || ((lx + ly) & 1) == 0)
            return Stored2(x, y);

        const int left = Stored2(x - 1, y), right = Stored2(x + 1, y);
        const int up = Stored2(x, y - 1), down = Stored2(x, y + 1);
        if (!(modulation & 1u))
            return (left + right + up + down + 2) / 4;
        if (modulation & 0x100000u)
            return (up + down + 1) / 2;
        return (left + right + 1) / 2;
    }

    // Weight of a 2-bpp pixel that its block stores directly.
    int Stored2(int x, int y) const
    {
        const int imageW = int(mGrid.blocksX * mGrid.blockW), imageH = int(mGrid.blocksY * mGrid.blockH);
        x = (x % imageW + imageW) % imageW;
        y = (y % imageH + imageH) % imageH;
        int lx, ly;
        uint32_t modulation, colour;
        BlockAt(x, y, lx, ly, modulation, colour);
        if (!(colour & 1u))
            return ((modulation >> (ly * 8 + lx)) & 1u) ? 8 : 0;
        static const int kStored[4] = {0, 3, 5, 8};
        return kStored[(ResolvedModulation2(modulation) >> (2 * (ly * 4 + lx / 2))) & 3u];
    }
};
} // namespace

uint64_t PVRTCLevelSize(bool twoBitsPerPixel, uint32_t width, uint32_t height)
{
    const uint64_t bpp = twoBitsPerPixel ? 2 : 4;
    const uint64_t minWidth = twoBitsPerPixel ? 16 : 8;
    return (std::max<uint64_t>(height, 8) * bpp * std::max<uint64_t>(width, minWidth) + 7) / 8;
}

void DecompressPVRTC(const uint8_t* compressed, bool twoBitsPerPixel, uint32_t width, uint32_t height,
                     uint8_t* output)
{
    cBlockGrid grid;
    grid.data = compressed;
    grid.twoBpp = twoBitsPerPixel;
    grid.blockW = twoBitsPerPixel ? 8 : 4;
    grid.blockH = 4;
    grid.blocksX = std::max(2u, width / grid.blockW);
    grid.blocksY = std::max(2u, height / grid.blockH);

    const cDecoder decoder(grid);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            decoder.Pixel(int(x), int(y), output + (size_t(y) * width + x) * 4);
}
