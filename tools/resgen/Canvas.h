#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// A colour with straight (not premultiplied) components in 0..1.
struct cColour
{
    float r = 0, g = 0, b = 0, a = 0;

    static cColour FromARGB(uint32_t argb);
    // A colour word as the program's draw list takes it: red in the low byte.
    static cColour FromABGR(uint32_t abgr);
    cColour WithAlpha(float alpha) const { return {r, g, b, alpha}; }
    cColour Scaled(float k) const { return {r * k, g * k, b * k, a}; }
    cColour Lerp(const cColour& other, float t) const;
};

// How a shape is coloured: one colour, or a linear blend along a line.
struct cPaint
{
    cColour from;
    cColour to;
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0; // blend axis; from at (x0, y0), to at (x1, y1)

    cPaint(const cColour& solid) : from(solid), to(solid) {}
    static cPaint Vertical(const cColour& top, const cColour& bottom, float yTop, float yBottom);
    cColour At(float x, float y) const;
};

// Signed distance of a point to a shape's edge: negative inside.
using cShapeDistance = std::function<float(float x, float y)>;

// A software canvas the generator paints its art into. Pixels are kept
// premultiplied so shapes composite cleanly; coverage comes from the signed
// distance, which gives one pixel of anti-aliasing on every edge.
class cCanvas
{
public:
    cCanvas(int width, int height);

    int Width() const { return mWidth; }
    int Height() const { return mHeight; }

    // Composites a shape over the pixels of the box (x0, y0)-(x1, y1).
    void FillShape(float x0, float y0, float x1, float y1, const cShapeDistance& distance, const cPaint& paint);
    // Multiplies the alpha of the box by a shape's coverage (cuts art to a shape).
    void MaskShape(int x0, int y0, int x1, int y1, const cShapeDistance& distance);

    void FillRect(float x0, float y0, float x1, float y1, const cPaint& paint);
    void FillRoundRect(float x0, float y0, float x1, float y1, float radius, const cPaint& paint);
    void StrokeRoundRect(float x0, float y0, float x1, float y1, float radius, float width, const cPaint& paint);
    void FillCircle(float cx, float cy, float radius, const cPaint& paint);
    void StrokeCircle(float cx, float cy, float radius, float width, const cPaint& paint);
    void FillLine(float ax, float ay, float bx, float by, float width, const cPaint& paint);
    // A convex polygon, its points in either winding.
    void FillPolygon(const std::vector<float>& xy, const cPaint& paint);

    // Sets a pixel exactly, replacing what was there.
    void SetPixel(int x, int y, const cColour& colour);
    cColour GetPixel(int x, int y) const;
    // Repeats the outermost pixels of a block one pixel outwards, so linear
    // filtering at the block's edges samples its own colour, not the gutter.
    void ExtrudeEdges(int x0, int y0, int x1, int y1);

    // Straight-alpha RGBA bytes, row by row from the top. Fully transparent
    // pixels take the colour of their opaque neighbours so filtering does not
    // darken edges.
    std::vector<uint8_t> ToRGBA8() const;
    // One byte per pixel: the alpha channel.
    std::vector<uint8_t> ToAlpha8() const;

private:
    void Blend(int x, int y, const cColour& colour, float coverage);

    int mWidth;
    int mHeight;
    std::vector<float> mPixels; // premultiplied r, g, b, a
};

// Signed distances of the basic shapes.
float RoundRectDistance(float x, float y, float x0, float y0, float x1, float y1, float radius);
float CircleDistance(float x, float y, float cx, float cy, float radius);
float SegmentDistance(float x, float y, float ax, float ay, float bx, float by);
