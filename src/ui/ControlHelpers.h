#pragma once

#include <cmath>
#include <cstdint>

#include "base/Math.h"
#include "render/FontHandle.h"
#include "render/Image.h"

// Small geometry and colour steps the standard controls share.

inline void MoveRect(cRect& rect, float dx, float dy)
{
    rect.xMin += dx;
    rect.xMax += dx;
    rect.yMin += dy;
    rect.yMax += dy;
}

// Moves an image that is already laid out, with its drawn rect.
inline void MoveImage(cImage& image, float dx, float dy)
{
    MoveRect(image.layoutRect, dx, dy);
    MoveRect(image.drawRect, dx, dy);
}

// The smallest rect holding both.
inline cRect UnionRect(const cRect& a, const cRect& b)
{
    return {std::fmin(a.xMin, b.xMin), std::fmin(a.yMin, b.yMin), std::fmax(a.xMax, b.xMax),
            std::fmax(a.yMax, b.yMax)};
}

// Nearest whole number, halves away from zero, as the controls' placements round.
inline float RoundAway(float value) { return std::round(value); }

// The disabled look of a colour: red, green and blue halved, alpha kept.
inline uint32_t HalveColour(uint32_t colour) { return (colour & 0xff000000u) | ((colour >> 1) & 0x007f7f7fu); }

// Upper-cases ASCII letters; other characters stay as they are.
inline int32_t UpperCaseCharacter(int32_t character)
{
    return character >= 'a' && character <= 'z' ? character - ('a' - 'A') : character;
}

// The pixel size of the font's chosen size entry; 0 without a font.
float FontSizeOf(const cFontHandle& font);

// Pixel corners: floor(v + 0.5) on every edge.
inline cRect SnapRect(const cRect& rect)
{
    return {std::floor(rect.xMin + 0.5f), std::floor(rect.yMin + 0.5f), std::floor(rect.xMax + 0.5f),
            std::floor(rect.yMax + 0.5f)};
}

// A rect of that size centred on a point, on whole pixels.
inline cRect CentredRect(const cVector2& centre, float width, float height)
{
    return SnapRect({centre.X - width * 0.5f, centre.Y - height * 0.5f, centre.X + width * 0.5f,
                     centre.Y + height * 0.5f});
}

inline cVector2 RectCentre(const cRect& rect)
{
    return {(rect.xMin + rect.xMax) * 0.5f, (rect.yMin + rect.yMax) * 0.5f};
}

// Clamps without asking that low <= high: a reversed range gives low.
template <class T>
inline T ClampTo(T value, T low, T high)
{
    return value > high ? (high < low ? low : high) : (value < low ? low : value);
}

// Stores a value set from code into [0, 1]; a value that is not a number is
// ignored. True when the stored value changed.
inline bool StoreUnitValue(float& stored, float value)
{
    if (!std::isfinite(value))
        return false;
    value = ClampTo(value, 0.0f, 1.0f);
    if (value == stored)
        return false;
    stored = value;
    return true;
}
