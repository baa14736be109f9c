#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/Math.h"
#include "render/TextBatch.h"

// What a user can read of a frame: every text drawn, its colour and size, and
// the ground under it, found by drawing the same frame again without its
// texts. The contrast is the ratio of relative luminances used for
// legibility, (lighter + 0.05) / (darker + 0.05), from 1 to 21; 4.5 reads.
class cLegibilityProbe : private cTextObserver
{
public:
    struct cText
    {
        std::string text;
        cRect box;
        uint32_t colour; // as the renderer's colours, 0xAABBGGRR
        float size;      // the font's line height in pixels
        double contrast; // against the ground under the text's ink
        uint32_t ground; // the median ground colour under the ink
        bool hidden;     // drawn over or clipped away, so none of it shows
        int groundSpread; // how far the ground's pixels under the box differ (summed red, green and blue):
                          // an icon or a line under a text shows here
    };
    using tDraw = std::function<void()>;
    // The frame as RGBA bytes, top row first.
    using tRead = std::function<std::vector<uint8_t>()>;

    // Draws and reads a width x height frame twice, with and without its texts.
    void Capture(int width, int height, const tDraw& draw, const tRead& read);

    const std::vector<cText>& Texts() const { return mTexts; }
    // One line per visible text below the contrast or the size, but for
    // texts centred in one of the exempt rectangles; texts drawn at under half
    // opacity are dimmed on purpose and held only to the size. Empty when
    // every text reads.
    std::string Faults(double minimumContrast, float minimumSize, const std::vector<cRect>& exempt = {}) const;

    // One line per pair of visible texts whose boxes overlap by more than a
    // pixel both ways, as where one is written over the other; empty when none.
    std::string OverlappingTexts() const;

    static double Contrast(uint32_t a, uint32_t b);

private:
    bool OnText(const cRect& screenBox, uint32_t colour, float size, const char* text) override;
    void Measure(cText& text, const std::vector<uint8_t>& withText, const std::vector<uint8_t>& ground) const;
    bool IsInkOfAnother(const cText& text, int x, int y, uint32_t seen, uint32_t under) const;

    std::vector<cText> mTexts;
    bool mRecording = false;
    int mWidth = 0;
    int mHeight = 0;
};
