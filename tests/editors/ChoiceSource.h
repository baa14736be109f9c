#pragma once

#include <cstddef>
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

// Two bytes of an input per choice; an exhausted input chooses 0.
class cByteChoices : public cChoiceSource
{
public:
    cByteChoices(const uint8_t* data, size_t size) : mData(data), mSize(size) {}

    uint32_t Next(uint32_t range) override
    {
        uint32_t word = 0;
        for (int i = 0; i < 2; ++i)
            word = (word << 8) | (mAt < mSize ? mData[mAt++] : 0u);
        return range ? word % range : 0;
    }
    bool IsExhausted() const override { return mAt >= mSize; }

private:
    const uint8_t* mData;
    size_t mSize;
    size_t mAt = 0;
};
