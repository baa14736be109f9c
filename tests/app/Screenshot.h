#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "PngWriter.h"

struct cRGB
{
    int r, g, b;
    bool IsLitBlue() const { return b > 90 && b > r + 60; }
};

// A screenshot of a window, held in memory: a trial reads its pixels with
// no file between the shot and the reading, so runs side by side never read
// each other's, and no tool is started for each pixel read.
class cScreenshot
{
public:
    cScreenshot() = default;

    // A binary PPM ("P6", 8 bits) as import writes it; empty when it is not one.
    static cScreenshot FromPpm(const std::string& bytes)
    {
        cScreenshot shot;
        int width = 0, height = 0, maximum = 0, headerEnd = 0;
        if (std::sscanf(bytes.c_str(), "P6 %d %d %d%n", &width, &height, &maximum, &headerEnd) != 3 ||
            maximum != 255 || width <= 0 || height <= 0)
            return shot;
        const size_t size = size_t(width) * size_t(height) * 3;
        // One whitespace byte ends the header.
        const size_t from = size_t(headerEnd) + 1;
        if (bytes.size() < from + size)
            return shot;
        shot.mWidth = width;
        shot.mHeight = height;
        shot.mRgb.assign(bytes.begin() + long(from), bytes.begin() + long(from + size));
        return shot;
    }

    bool Empty() const { return mRgb.empty(); }
    int Width() const { return mWidth; }
    int Height() const { return mHeight; }

    // {-1, -1, -1} outside the picture.
    cRGB At(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= mWidth || y >= mHeight)
            return {-1, -1, -1};
        const uint8_t* p = &mRgb[(size_t(y) * size_t(mWidth) + size_t(x)) * 3];
        return {p[0], p[1], p[2]};
    }
    // The RGB bytes of a rectangle, rows from the top, cut to the picture.
    std::string Region(int x, int y, int width, int height) const
    {
        const int left = std::max(x, 0), top = std::max(y, 0);
        const int right = std::min(x + width, mWidth), bottom = std::min(y + height, mHeight);
        std::string bytes;
        for (int row = top; row < bottom; ++row)
            bytes.append(reinterpret_cast<const char*>(&mRgb[(size_t(row) * size_t(mWidth) + size_t(left)) * 3]),
                         size_t(std::max(right - left, 0)) * 3);
        return bytes;
    }
    // Equal pictures hash alike.
    size_t Hash() const
    {
        return std::hash<std::string_view>()(
                   std::string_view(reinterpret_cast<const char*>(mRgb.data()), mRgb.size())) ^
               (size_t(mWidth) << 16) ^ size_t(mHeight);
    }
    bool operator==(const cScreenshot& other) const
    {
        return mWidth == other.mWidth && mHeight == other.mHeight && mRgb == other.mRgb;
    }

    // Kept as a PNG for a person to look at; written beside and renamed, so
    // a reader never meets half a file.
    bool SavePng(const std::string& path) const
    {
        std::vector<uint8_t> rgba;
        rgba.reserve(mRgb.size() / 3 * 4);
        for (size_t i = 0; i < mRgb.size(); i += 3)
            rgba.insert(rgba.end(), {mRgb[i], mRgb[i + 1], mRgb[i + 2], 255});
        const std::vector<uint8_t> png = EncodePng(uint32_t(mWidth), uint32_t(mHeight), rgba);
        const std::string partial = path + "." + std::to_string(getpid()) + ".part";
        {
            std::ofstream file(partial, std::ios::binary);
            file.write(reinterpret_cast<const char*>(png.data()), long(png.size()));
            if (!file)
                return false;
        }
        return std::rename(partial.c_str(), path.c_str()) == 0;
    }

private:
    int mWidth = 0, mHeight = 0;
    std::vector<uint8_t> mRgb;
};
