#pragma once
#include <cstdint>

struct cAudioBuffer;
namespace Base
{
class cSerialise;
}
namespace File
{
class cFile;
}

// Settings of the bit-crusher: word length and hold rate, each a 0..1 knob.
struct cBitCrusherParams
{
    enum : int32_t
    {
        kFieldEnable = 0,
        kFieldBits = 1,
        kFieldFreq = 2,
    };

    int32_t Enable = 0;
    float Bits = 8.0f; // bits = 1 + 15 x Bits^4
    float Freq = 0.5f; // hold rate = (0.012077294 + 0.98792273 x Freq^4) x the sample rate

    bool Serialise(Base::cSerialise& s);
    bool SerialiseBinary(File::cFile& stream);

    float GetParamFloat(int32_t field) const;
    void SetParamFloat(int32_t field, float value);
    int32_t GetParamInt(int32_t field) const;
    void SetParamInt(int32_t field, int32_t value);
};

// Reduces the sample rate by sample-and-hold and the word length by rounding
// half away from zero, on channels 0 and 1 of a float view. The held values
// and the 16.16 hold counter carry on from block to block.
class cBitCrusher
{
public:
    cBitCrusherParams* params = nullptr;

    void Reset();
    void Process(const cAudioBuffer& buffer);

    float GetHeldLeft() const { return mHeldLeft; }
    float GetHeldRight() const { return mHeldRight; }

private:
    float mHeldLeft = 0.0f;
    float mHeldRight = 0.0f;
    uint32_t mCounter = 0;
};
