#include "Canvas.h"

#include <algorithm>
#include <cmath>

cColour cColour::FromARGB(uint32_t argb)
{
    return {((argb >> 16) & 0xff) / 255.0f, ((argb >> 8) & 0xff) / 255.0f, (argb & 0xff) / 255.0f,
            ((argb >> 24) & 0xff) / 255.0f};
}

cColour cColour::FromABGR(uint32_t abgr)
{
    return {(abgr & 0xff) / 255.0f, ((abgr >> 8) & 0xff) / 255.0f, ((abgr >> 16) & 0xff) / 255.0f,
            ((abgr >> 24) & 0xff) / 255.0f};
}

cColour cColour::Lerp(const cColour& other, float t) const
{
    return {r + (other.r - r) * t, g + (other.g - g) * t, b + (other.b - b) * t, a + (other.a - a) * t};
}

cPaint cPaint::Vertical(const cColour& top, const cColour& bottom, float yTop, float yBottom)
{
    cPaint paint(top);
    paint.to = bottom;
    paint.y0 = yTop;
    paint.y1 = yBottom;
    return paint;
}

cColour cPaint::At(float x, float y) const
{
    const float dx = x1 - x0, dy = y1 - y0;
    const float lengthSquared = dx * dx + dy * dy;
    if (lengthSquared <= 0.0f)
        return from;
    const float t = std::clamp(((x - x0) * dx + (y - y0) * dy) / lengthSquared, 0.0f, 1.0f);
    return from.Lerp(to, t);
}

float RoundRectDistance(float x, float y, float x0, float y0, float x1, float y1, float radius)
{
    const float cx = (x0 + x1) * 0.5f, cy = (y0 + y1) * 0.5f;
    radius = std::min({radius, (x1 - x0) * 0.5f, (y1 - y0) * 0.5f});
    const float qx = std::fabs(x - cx) - ((x1 - x0) * 0.5f - radius);
    const float qy = std::fabs(y - cy) - ((y1 - y0) * 0.5f - radius);
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

float CircleDistance(float x, float y, float cx, float cy, float radius)
{
    return std::hypot(x - cx, y - cy) - radius;
}

float SegmentDistance(float x, float y, float ax, float ay, float bx, float by)
{
    const float px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
    const float lengthSquared = dx * dx + dy * dy;
    const float t = lengthSquared > 0.0f ? std::clamp((px * dx + py * dy) / lengthSquared, 0.0f, 1.0f) : 0.0f;
    return std::hypot(px - dx * t, py - dy * t);
}

cCanvas::cCanvas(int width, int height) : mWidth(width), mHeight(height), mPixels(size_t(width) * height * 4, 0.0f) {}

void cCanvas::Blend(int x, int y, const cColour& colour, float coverage)
{
    const float alpha = colour.a * coverage;
    if (alpha <= 0.0f)
        return;
    float* p = &mPixels[(size_t(y) * mWidth + x) * 4];
    const float keep = 1.0f - alpha;
    p[0] = colour.r * alpha + p[0] * keep;
    p[1] = colour.g * alpha + p[1] * keep;
    p[2] = colour.b * alpha + p[2] * keep;
    p[3] = alpha + p[3] * keep;
}

void cCanvas::FillShape(float x0, float y0, float x1, float y1, const cShapeDistance& distance, const cPaint& paint)
{
    const int ix0 = std::max(0, int(std::floor(x0)) - 1), iy0 = std::max(0, int(std::floor(y0)) - 1);
    const int ix1 = std::min(mWidth, int(std::ceil(x1)) + 1), iy1 = std::min(mHeight, int(std::ceil(y1)) + 1);
    for (int y = iy0; y < iy1; ++y)
        for (int x = ix0; x < ix1; ++x)
        {
            const float sx = x + 0.5f, sy = y + 0.5f;
            const float coverage = std::clamp(0.5f - distance(sx, sy), 0.0f, 1.0f);
            if (coverage > 0.0f)
                Blend(x, y, paint.At(sx, sy), coverage);
        }
}

void cCanvas::MaskShape(int x0, int y0, int x1, int y1, const cShapeDistance& distance)
{
    for (int y = std::max(0, y0); y < std::min(mHeight, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(mWidth, x1); ++x)
        {
            const float coverage = std::clamp(0.5f - distance(x + 0.5f, y + 0.5f), 0.0f, 1.0f);
            float* p = &mPixels[(size_t(y) * mWidth + x) * 4];
            for (int c = 0; c < 4; ++c)
                p[c] *= coverage;
        }
}

void cCanvas::FillRect(float x0, float y0, float x1, float y1, const cPaint& paint)
{
    FillRoundRect(x0, y0, x1, y1, 0.0f, paint);
}

void cCanvas::FillRoundRect(float x0, float y0, float x1, float y1, float radius, const cPaint& paint)
{
    FillShape(x0, y0, x1, y1, [=](float x, float y) { return RoundRectDistance(x, y, x0, y0, x1, y1, radius); },
              paint);
}

void cCanvas::StrokeRoundRect(float x0, float y0, float x1, float y1, float radius, float width, const cPaint& paint)
{
    FillShape(x0, y0, x1, y1,
              [=](float x, float y)
              {
                  const float d = RoundRectDistance(x, y, x0, y0, x1, y1, radius);
                  return std::max(d, -d - width);
              },
              paint);
}

void cCanvas::FillCircle(float cx, float cy, float radius, const cPaint& paint)
{
    FillShape(cx - radius, cy - radius, cx + radius, cy + radius,
              [=](float x, float y) { return CircleDistance(x, y, cx, cy, radius); }, paint);
}

void cCanvas::StrokeCircle(float cx, float cy, float radius, float width, const cPaint& paint)
{
    FillShape(cx - radius, cy - radius, cx + radius, cy + radius,
              [=](float x, float y)
              {
                  const float d = CircleDistance(x, y, cx, cy, radius);
                  return std::max(d, -d - width);
              },
              paint);
}

void cCanvas::FillLine(float ax, float ay, float bx, float by, float width, const cPaint& paint)
{
    const float half = width * 0.5f;
    FillShape(std::min(ax, bx) - half, std::min(ay, by) - half, std::max(ax, bx) + half, std::max(ay, by) + half,
              [=](float x, float y) { return SegmentDistance(x, y, ax, ay, bx, by) - half; }, paint);
}

void cCanvas::FillPolygon(const std::vector<float>& xy, const cPaint& paint)
{
    const size_t n = xy.size() / 2;
    if (n < 3)
        return;
    float area = 0.0f, x0 = xy[0], y0 = xy[1], x1 = xy[0], y1 = xy[1];
    for (size_t i = 0; i < n; ++i)
    {
        const size_t j = (i + 1) % n;
        area += xy[2 * i] * xy[2 * j + 1] - xy[2 * j] * xy[2 * i + 1];
        x0 = std::min(x0, xy[2 * i]), x1 = std::max(x1, xy[2 * i]);
        y0 = std::min(y0, xy[2 * i + 1]), y1 = std::max(y1, xy[2 * i + 1]);
    }
    const float winding = area >= 0.0f ? 1.0f : -1.0f;
    FillShape(x0, y0, x1, y1,
              [&xy, n, winding](float x, float y)
              {
                  // Largest signed distance to the edge lines: exact inside, a fair
                  // bound outside, which is all one pixel of anti-aliasing needs.
                  float d = -1e9f;
                  for (size_t i = 0; i < n; ++i)
                  {
                      const size_t j = (i + 1) % n;
                      const float ex = xy[2 * j] - xy[2 * i], ey = xy[2 * j + 1] - xy[2 * i + 1];
                      const float length = std::hypot(ex, ey);
                      if (length <= 0.0f)
                          continue;
                      const float cross = (ex * (y - xy[2 * i + 1]) - ey * (x - xy[2 * i])) / length;
                      d = std::max(d, -cross * winding);
                  }
                  return d;
              },
              paint);
}

void cCanvas::SetPixel(int x, int y, const cColour& colour)
{
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight)
        return;
    float* p = &mPixels[(size_t(y) * mWidth + x) * 4];
    p[0] = colour.r * colour.a;
    p[1] = colour.g * colour.a;
    p[2] = colour.b * colour.a;
    p[3] = colour.a;
}

cColour cCanvas::GetPixel(int x, int y) const
{
    const float* p = &mPixels[(size_t(y) * mWidth + x) * 4];
    if (p[3] <= 0.0f)
        return {};
    return {p[0] / p[3], p[1] / p[3], p[2] / p[3], p[3]};
}

void cCanvas::ExtrudeEdges(int x0, int y0, int x1, int y1)
{
    auto copy = [this](int fx, int fy, int tx, int ty)
    {
        if (tx < 0 || ty < 0 || tx >= mWidth || ty >= mHeight)
            return;
        const float* from = &mPixels[(size_t(fy) * mWidth + fx) * 4];
        std::copy(from, from + 4, &mPixels[(size_t(ty) * mWidth + tx) * 4]);
    };
    for (int x = x0; x < x1; ++x)
    {
        copy(x, y0, x, y0 - 1);
        copy(x, y1 - 1, x, y1);
    }
    for (int y = y0 - 1; y <= y1; ++y)
    {
        const int fy = std::clamp(y, y0, y1 - 1);
        copy(x0, fy, x0 - 1, y);
        copy(x1 - 1, fy, x1, y);
    }
}

std::vector<uint8_t> cCanvas::ToRGBA8() const
{
    const size_t count = size_t(mWidth) * mHeight;
    std::vector<float> straight(count * 4, 0.0f);
    std::vector<uint8_t> known(count, 0);
    for (size_t i = 0; i < count; ++i)
    {
        const float* p = &mPixels[i * 4];
        if (p[3] > 0.0f)
        {
            for (int c = 0; c < 3; ++c)
                straight[i * 4 + c] = std::min(1.0f, p[c] / p[3]);
            known[i] = 1;
        }
        straight[i * 4 + 3] = std::min(1.0f, p[3]);
    }
    // Two passes of colour bleeding into the transparent neighbourhood.
    for (int pass = 0; pass < 2; ++pass)
    {
        std::vector<uint8_t> next = known;
        for (int y = 0; y < mHeight; ++y)
            for (int x = 0; x < mWidth; ++x)
            {
                const size_t i = size_t(y) * mWidth + x;
                if (known[i])
                    continue;
                float sum[3] = {0, 0, 0};
                int found = 0;
                for (int ny = std::max(0, y - 1); ny <= std::min(mHeight - 1, y + 1); ++ny)
                    for (int nx = std::max(0, x - 1); nx <= std::min(mWidth - 1, x + 1); ++nx)
                    {
                        const size_t j = size_t(ny) * mWidth + nx;
                        if (!known[j])
                            continue;
                        for (int c = 0; c < 3; ++c)
                            sum[c] += straight[j * 4 + c];
                        ++found;
                    }
                if (found == 0)
                    continue;
                for (int c = 0; c < 3; ++c)
                    straight[i * 4 + c] = sum[c] / found;
                next[i] = 1;
            }
        known.swap(next);
    }
    std::vector<uint8_t> bytes(count * 4);
    for (size_t i = 0; i < count * 4; ++i)
        bytes[i] = uint8_t(std::lround(std::clamp(straight[i], 0.0f, 1.0f) * 255.0f));
    return bytes;
}

std::vector<uint8_t> cCanvas::ToAlpha8() const
{
    const size_t count = size_t(mWidth) * mHeight;
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = uint8_t(std::lround(std::clamp(mPixels[i * 4 + 3], 0.0f, 1.0f) * 255.0f));
    return bytes;
}
