#include "support/LegibilityProbe.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{
// A pixel that changes by more than this (summed over red, green and blue)
// when the texts are left out belongs to a text; a text that changes none is
// drawn over or clipped away.
constexpr int kInkDifference = 12;
// Texts drawn at under half opacity are dimmed on purpose (a value of an
// effect switched off): they say "inactive" and are not held to the contrast.
constexpr int kDimmedAlpha = 128;
// Text colours closer than this cannot be told apart in a drawn pixel.
constexpr int kAlikeColours = 36;

int Channel(uint32_t colour, int index) { return int((colour >> (8 * index)) & 0xffu); }

double Linear(int channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(uint32_t colour)
{
    return 0.2126 * Linear(Channel(colour, 0)) + 0.7152 * Linear(Channel(colour, 1)) +
           0.0722 * Linear(Channel(colour, 2));
}

uint32_t PixelAt(const std::vector<uint8_t>& frame, int width, int x, int y)
{
    const uint8_t* p = frame.data() + (size_t(y) * width + x) * 4;
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
}

int Difference(uint32_t a, uint32_t b)
{
    int sum = 0;
    for (int c = 0; c < 3; ++c)
        sum += std::abs(Channel(a, c) - Channel(b, c));
    return sum;
}

// The text's colour as it lands on the ground, through its alpha.
uint32_t Blend(uint32_t colour, uint32_t ground)
{
    const double alpha = Channel(colour, 3) / 255.0;
    uint32_t out = 0;
    for (int c = 0; c < 3; ++c)
    {
        const double mixed = alpha * Channel(colour, c) + (1.0 - alpha) * Channel(ground, c);
        out |= uint32_t(std::lround(mixed)) << (8 * c);
    }
    return out;
}

// How far a drawn pixel lies from every mix of the ground and a colour:
// 0 for a pixel the colour covers in part.
double OffBlend(uint32_t seen, uint32_t under, uint32_t colour)
{
    double along = 0.0, length = 0.0;
    for (int c = 0; c < 3; ++c)
    {
        const double d = Channel(colour, c) - Channel(under, c);
        along += d * (Channel(seen, c) - Channel(under, c));
        length += d * d;
    }
    const double t = length > 0.0 ? std::clamp(along / length, 0.0, 1.0) : 0.0;
    double off = 0.0;
    for (int c = 0; c < 3; ++c)
        off += std::fabs(Channel(seen, c) - (Channel(under, c) + t * (Channel(colour, c) - Channel(under, c))));
    return off;
}

template <class T>
T Median(std::vector<T> values)
{
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

cVector2 Centre(const cRect& r) { return {0.5f * (r.xMin + r.xMax), 0.5f * (r.yMin + r.yMax)}; }

uint32_t MedianByLuminance(std::vector<uint32_t> colours)
{
    std::nth_element(colours.begin(), colours.begin() + colours.size() / 2, colours.end(),
                     [](uint32_t a, uint32_t b) { return Luminance(a) < Luminance(b); });
    return colours[colours.size() / 2];
}
} // namespace

double cLegibilityProbe::Contrast(uint32_t a, uint32_t b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

void cLegibilityProbe::Capture(int width, int height, const tDraw& draw, const tRead& read)
{
    mTexts.clear();
    mWidth = width;
    mHeight = height;
    cTextBatch::SetObserver(this);
    mRecording = true;
    draw();
    const std::vector<uint8_t> withText = read();
    mRecording = false;
    draw();
    const std::vector<uint8_t> ground = read();
    cTextBatch::SetObserver(nullptr);
    for (cText& text : mTexts)
        Measure(text, withText, ground);
}

bool cLegibilityProbe::OnText(const cRect& screenBox, uint32_t colour, float size, const char* text)
{
    if (mRecording && *text != '\0')
        mTexts.push_back({text, screenBox, colour, size, 0.0, 0, false, 0});
    return mRecording;
}

void cLegibilityProbe::Measure(cText& text, const std::vector<uint8_t>& withText,
                               const std::vector<uint8_t>& ground) const
{
    const int x0 = std::max(0, int(std::floor(text.box.xMin))), x1 = std::min(mWidth, int(std::ceil(text.box.xMax)));
    const int y0 = std::max(0, int(std::floor(text.box.yMin))), y1 = std::min(mHeight, int(std::ceil(text.box.yMax)));
    std::vector<uint32_t> inkGrounds;
    std::vector<double> inkContrasts;
    int darkest = 3 * 255, lightest = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
        {
            const uint32_t under = PixelAt(ground, mWidth, x, y);
            const int level = Channel(under, 0) + Channel(under, 1) + Channel(under, 2);
            darkest = std::min(darkest, level);
            lightest = std::max(lightest, level);
            const uint32_t seen = PixelAt(withText, mWidth, x, y);
            if (Difference(seen, under) <= kInkDifference || IsInkOfAnother(text, x, y, seen, under))
                continue;
            inkGrounds.push_back(under);
            inkContrasts.push_back(Contrast(Blend(text.colour, under), under));
        }
    text.groundSpread = std::max(0, lightest - darkest);
    if (inkContrasts.empty())
    {
        text.hidden = true;
        return;
    }
    text.ground = MedianByLuminance(inkGrounds);
    text.contrast = Median(inkContrasts);
}

// Where the boxes of texts in other colours overlap, a pixel counts as this
// text's ink only when it lies clearly nearer a mix of the ground and this
// text's colour than of the other's. Texts of one colour cannot be told
// apart: a pixel in both counts for both.
bool cLegibilityProbe::IsInkOfAnother(const cText& text, int x, int y, uint32_t seen, uint32_t under) const
{
    const cVector2 point = {float(x) + 0.5f, float(y) + 0.5f};
    const uint32_t mine = Blend(text.colour, under);
    const double own = OffBlend(seen, under, mine);
    for (const cText& other : mTexts)
    {
        if (&other == &text || !other.box.Contains(point))
            continue;
        const uint32_t theirs = Blend(other.colour, under);
        if (Difference(mine, theirs) > kAlikeColours && OffBlend(seen, under, theirs) <= own + kInkDifference)
            return true;
    }
    return false;
}

std::string cLegibilityProbe::Faults(double minimumContrast, float minimumSize, const std::vector<cRect>& exempt) const
{
    std::string faults;
    for (const cText& text : mTexts)
    {
        const cVector2 centre = Centre(text.box);
        const bool excused = std::any_of(exempt.begin(), exempt.end(), [&](const cRect& r) { return r.Contains(centre); });
        const bool dimmed = Channel(text.colour, 3) < kDimmedAlpha;
        const bool readable = dimmed || text.contrast >= minimumContrast;
        if (text.hidden || excused || (readable && text.size >= minimumSize))
            continue;
        char line[256];
        std::snprintf(line, sizeof(line), "\"%s\" at %.0f,%.0f: %.0f px, (%d, %d, %d, %d) on (%d, %d, %d) = %.2f:1\n",
                      text.text.c_str(), text.box.xMin, text.box.yMin, text.size, Channel(text.colour, 0),
                      Channel(text.colour, 1), Channel(text.colour, 2), Channel(text.colour, 3),
                      Channel(text.ground, 0), Channel(text.ground, 1), Channel(text.ground, 2), text.contrast);
        faults += line;
    }
    return faults;
}

std::string cLegibilityProbe::OverlappingTexts() const
{
    std::string overlaps;
    for (size_t i = 0; i < mTexts.size(); ++i)
        for (size_t j = i + 1; j < mTexts.size(); ++j)
        {
            const cText& a = mTexts[i];
            const cText& b = mTexts[j];
            const float across = std::min(a.box.xMax, b.box.xMax) - std::max(a.box.xMin, b.box.xMin);
            const float down = std::min(a.box.yMax, b.box.yMax) - std::max(a.box.yMin, b.box.yMin);
            if (a.hidden || b.hidden || across <= 1.0f || down <= 1.0f)
                continue;
            char line[256];
            std::snprintf(line, sizeof(line), "\"%s\" at %.0f,%.0f over \"%s\" at %.0f,%.0f\n", a.text.c_str(),
                          a.box.xMin, a.box.yMin, b.text.c_str(), b.box.xMin, b.box.yMin);
            overlaps += line;
        }
    return overlaps;
}
