#include "audio/BitCrusher.h"

#include <cfloat>
#include <climits>
#include <cmath>

#include "audio/AudioBuffer.h"
#include "audio/SafeValues.h"
#include "base/File.h"
#include "base/Serialise.h"

namespace
{
constexpr uint32_t kHoldOne = 65536; // one whole hold period in 16.16
constexpr float kMinHoldRate = 0.012077294f;
constexpr float kHoldRateSpan = 0.98792273f;

float Fourth(float x)
{
    const float square = x * x;
    return square * square;
}

float Quantise(float x, float steps, float step)
{
    return std::trunc(x * steps + (x > 0.0f ? 0.5f : -0.5f)) * step;
}
} // namespace

bool cBitCrusherParams::Serialise(Base::cSerialise& s)
{
    bool ok = s.SerialiseInt32("Enable", &Enable, INT_MIN, INT_MAX);
    ok &= s.SerialiseFloat("Bits", &Bits, -FLT_MAX, FLT_MAX);
    ok &= s.SerialiseFloat("Freq", &Freq, -FLT_MAX, FLT_MAX);
    return ok;
}

bool cBitCrusherParams::SerialiseBinary(File::cFile& stream)
{
    cBitCrusherParams record = *this;
    const bool ok = stream.SerialiseInt32(&record.Enable) == 4 && stream.SerialiseFloat(&record.Bits) == 4 &&
                    stream.SerialiseFloat(&record.Freq) == 4;
    if (ok)
        *this = record;
    return ok;
}

float cBitCrusherParams::GetParamFloat(int32_t field) const
{
    if (field == kFieldBits)
        return Bits;
    if (field == kFieldFreq)
        return Freq;
    return 0.0f;
}

void cBitCrusherParams::SetParamFloat(int32_t field, float value)
{
    if (field == kFieldBits)
        Bits = value;
    else if (field == kFieldFreq)
        Freq = value;
}

int32_t cBitCrusherParams::GetParamInt(int32_t field) const
{
    return field == kFieldEnable ? Enable : 0;
}

void cBitCrusherParams::SetParamInt(int32_t field, int32_t value)
{
    if (field == kFieldEnable)
        Enable = value;
}

void cBitCrusher::Reset()
{
    mHeldLeft = mHeldRight = 0.0f;
    mCounter = 0;
}

void cBitCrusher::Process(const cAudioBuffer& buffer)
{
    if (!params || params->Enable == 0 || buffer.frames == 0 || buffer.channels < 2 || !buffer.data)
        return;
    const float bits = 1.0f + 15.0f * Fourth(ClampFloat(FiniteOr0(params->Bits), 0.0f, 1.0f));
    const float step = std::exp2(-bits);
    const float steps = 1.0f / step;
    const float rate = Fourth(ClampFloat(FiniteOr0(params->Freq), 0.0f, 1.0f)) * kHoldRateSpan + kMinHoldRate;
    const uint32_t increment = uint32_t(rate * float(kHoldOne));
    const uint32_t stride = buffer.channels;
    float* frame = buffer.Floats();
    for (uint32_t i = 0; i < buffer.frames; ++i, frame += stride)
    {
        mCounter += increment;
        if (mCounter >= kHoldOne)
        {
            mCounter &= kHoldOne - 1;
            mHeldLeft = Quantise(frame[0], steps, step);
            mHeldRight = Quantise(frame[1], steps, step);
        }
        frame[0] = mHeldLeft;
        frame[1] = mHeldRight;
    }
}
