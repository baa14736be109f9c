#include "Textures.h"

#include "Canvas.h"
#include "HouseStyle.h"
#include "PvrWriter.h"

#include <cmath>
#include <cstdint>

using namespace HouseStyle;

namespace
{
constexpr float kTwoPi = 6.28318531f;

bool Write(const std::string& path, const cCanvas& canvas)
{
    return WriteBinaryFile(path, BuildPvrFile(ePvrType::RGBA8888, uint32_t(canvas.Width()), uint32_t(canvas.Height()),
                                              canvas.ToRGBA8()));
}

// A small deterministic generator, so every build draws the same texture.
class cNoise
{
public:
    explicit cNoise(uint32_t seed) : mState(seed) {}
    float Next()
    {
        mState = mState * 1664525u + 1013904223u;
        return float(mState >> 8) / float(1u << 24);
    }

private:
    uint32_t mState;
};

// Brushed metal streaks, seamless both ways, partly transparent so the panel
// sprite beneath shows through.
cCanvas BrushedPanel()
{
    const int width = 512, height = 64;
    cCanvas canvas(width, height);
    cNoise noise(0x51ed);
    for (int y = 0; y < height; ++y)
    {
        // Each row is a sum of whole-period waves, so it wraps without a seam.
        float amplitude[4], phase[4];
        for (int k = 0; k < 4; ++k)
            amplitude[k] = noise.Next() * 0.05f, phase[k] = noise.Next() * kTwoPi;
        const float rowLevel = 0.55f + noise.Next() * 0.12f;
        for (int x = 0; x < width; ++x)
        {
            float level = rowLevel;
            for (int k = 0; k < 4; ++k)
                level += amplitude[k] * std::sin(kTwoPi * float((k + 1) * 3 * x) / width + phase[k]);
            canvas.SetPixel(x, y, cColour{level, level, level * 1.02f, 0.35f});
        }
    }
    return canvas;
}

// Lower half: one white key; upper half: the overlay of a pressed key.
cCanvas WhiteKeys(int scale)
{
    const float w = 64.0f * scale, h = 256.0f * scale;
    cCanvas canvas{int(w), int(h)};
    const float half = h * 0.5f;
    canvas.FillRect(0, half, w, h, cPaint::Vertical(cColour::FromARGB(0xffe8e8e8), kWhite, half, h));
    canvas.FillRect(0, h - 6.0f * scale, w, h, cPaint::Vertical(kWhite, cColour::FromARGB(0xffbdbdbd), h - 6.0f * scale, h));
    canvas.FillRect(0, half, 1.0f * scale, h, cColour::FromARGB(0xff505050));
    canvas.FillRect(w - 1.0f * scale, half, w, h, cColour::FromARGB(0xff909090));
    canvas.FillRect(0, 0, w, half, cPaint::Vertical(kLit.WithAlpha(0.25f), kValue.WithAlpha(0.6f), 0, half));
    return canvas;
}

// Three rows of black keys (offset left, centred, offset right), each half
// unpressed and half pressed, one white key wide with transparent sides.
cCanvas BlackKeys(int scale)
{
    const float w = 128.0f * scale, h = 256.0f * scale;
    cCanvas canvas{int(w), int(h)};
    const float keyWidth = w * 0.5f;
    const float offsets[] = {-0.15f, 0.0f, 0.15f};
    for (int row = 0; row < 3; ++row)
    {
        const float top = h * row / 3.0f, bottom = top + h * 0.32421875f;
        for (int pressed = 0; pressed < 2; ++pressed)
        {
            const float cx = keyWidth * (pressed + 0.5f + offsets[row]);
            const float half = keyWidth * 0.3f;
            const cColour upper = pressed ? cColour::FromARGB(0xff004c6a) : cColour::FromARGB(0xff3a3a3a);
            const cColour lower = pressed ? kLit : cColour::FromARGB(0xff101010);
            // Square at the top, where the key meets the keyboard's edge;
            // nothing is drawn above its row, which the row above samples.
            const cPaint shade = cPaint::Vertical(upper, lower, top, bottom);
            canvas.FillRoundRect(cx - half, top, cx + half, bottom, 3.0f * scale, shade);
            canvas.FillRect(cx - half, top, cx + half, top + 4.0f * scale, shade);
            canvas.FillRect(cx - half + 2.0f * scale, bottom - 8.0f * scale, cx + half - 2.0f * scale, bottom - 3.0f * scale,
                            kWhite.WithAlpha(0.12f));
        }
    }
    return canvas;
}

bool IsBlackKeyRow(int semitoneFromTop)
{
    const int semitone = 11 - semitoneFromTop; // rows run from B at the top down to C
    return semitone == 1 || semitone == 3 || semitone == 6 || semitone == 8 || semitone == 10;
}

// Beat lines over two bars of four beats across the width.
void DrawBeatLines(cCanvas& canvas, float y0, float y1)
{
    const float width = float(canvas.Width());
    for (int beat = 0; beat < 8; ++beat)
    {
        const float x = width * beat / 8.0f;
        const bool bar = beat % 4 == 0;
        canvas.FillRect(x, y0, x + 1.0f, y1, bar ? cColour::FromARGB(0xff5a5a5a) : cColour::FromARGB(0xff363636));
    }
}

cCanvas PianoRollBackground()
{
    cCanvas canvas(256, 256);
    const float row = 16.0f;
    canvas.FillRect(0, 0, 256, 256, kDarker);
    for (int r = 0; r < 12; ++r)
    {
        const cColour shade = IsBlackKeyRow(r) ? cColour::FromARGB(0xff222222) : cColour::FromARGB(0xff2e2e2e);
        canvas.FillRect(0, r * row, 256, (r + 1) * row, shade);
        canvas.FillRect(0, (r + 1) * row - 1, 256, (r + 1) * row, cColour::FromARGB(0xff1a1a1a));
    }
    DrawBeatLines(canvas, 0, 12 * row);
    return canvas;
}

cCanvas PianoRollKeys()
{
    cCanvas canvas(64, 256);
    const float octave = 192.0f;
    canvas.FillRect(0, octave, 64, 256, kDarker);
    canvas.FillRect(0, 0, 64, octave, cPaint::Vertical(kWhite, cColour::FromARGB(0xffe4e4e4), 0, octave));
    // Seven white keys over the octave, separated by thin lines.
    for (int key = 1; key < 7; ++key)
    {
        const float y = octave * key / 7.0f;
        canvas.FillRect(0, y - 0.5f, 64, y + 0.5f, cColour::FromARGB(0xff9a9a9a));
    }
    const float row = octave / 12.0f;
    for (int r = 0; r < 12; ++r)
        if (IsBlackKeyRow(r))
            canvas.FillRoundRect(-4, r * row + 1, 38, (r + 1) * row - 1, 2.0f,
                                 cPaint::Vertical(cColour::FromARGB(0xff3a3a3a), cColour::FromARGB(0xff0e0e0e), r * row, (r + 1) * row));
    return canvas;
}

cCanvas PadRowsBackground()
{
    cCanvas canvas(256, 256);
    const float row = 16.0f;
    for (int r = 0; r < 16; ++r)
    {
        const cColour shade = r % 2 ? cColour::FromARGB(0xff262626) : cColour::FromARGB(0xff2e2e2e);
        canvas.FillRect(0, r * row, 256, (r + 1) * row, shade);
    }
    DrawBeatLines(canvas, 0, 256);
    return canvas;
}

// One repeat covers two track rows of alternating shade.
cCanvas SongRollBackground()
{
    cCanvas canvas(64, 64);
    canvas.FillRect(0, 0, 64, 32, cColour::FromARGB(0xff2c2c2c));
    canvas.FillRect(0, 32, 64, 64, cColour::FromARGB(0xff242424));
    canvas.FillRect(0, 31, 64, 32, cColour::FromARGB(0xff1a1a1a));
    canvas.FillRect(0, 63, 64, 64, cColour::FromARGB(0xff1a1a1a));
    return canvas;
}
}

bool WriteTextures(const std::string& textureFolder)
{
    bool ok = Write(textureFolder + "BrushedPanel.pvr", BrushedPanel());
    ok &= Write(textureFolder + "KeysWhite.pvr", WhiteKeys(1));
    ok &= Write(textureFolder + "KeysBlack.pvr", BlackKeys(1));
    ok &= Write(textureFolder + "KeysWhite_x2.pvr", WhiteKeys(2));
    ok &= Write(textureFolder + "KeysBlack_x2.pvr", BlackKeys(2));
    ok &= Write(textureFolder + "PianoRollBG.pvr", PianoRollBackground());
    ok &= Write(textureFolder + "PianoRollKeys.pvr", PianoRollKeys());
    ok &= Write(textureFolder + "PianoRollBGPads.pvr", PadRowsBackground());
    ok &= Write(textureFolder + "SongRollBG.pvr", SongRollBackground());
    return ok;
}
