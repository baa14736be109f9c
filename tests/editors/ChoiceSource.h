#pragma once

#include <cstdint>

// Where an exerciser's choices come from: a random generator in the
// randomised tests, the bytes of an input in the fuzz targets.
class cChoiceSource
{
public:
    virtual ~cChoiceSource() = default;
    // 0..range - 1.
    virtual uint32_t Next(uint32_t range) = 0;
    virtual bool IsExhausted() const = 0;

    float NextFloat(float low, float high) { return low + (high - low) * float(Next(65536)) / 65535.0f; }
};
