// Feeds arbitrary bytes to the wave-table loader. A table it accepts must be
// a whole pyramid of finite samples, and the oscillator must read it at any
// pitch, offset and sync ratio without leaving it or producing a non-number.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "audio/AudioBuffer.h"
#include "audio/Wavetable.h"
#include "base/File.h"

namespace
{
float Peak(const cWavetable& table)
{
    float peak = 0.0f;
    for (int32_t i = 0; i < table.GetLevelCount(); ++i)
    {
        const cWavetable::cLevel& level = table.GetLevel(i);
        for (uint32_t s = 0; s < level.length; ++s)
            peak = std::fmax(peak, std::fabs(level.samples[s]));
    }
    return peak;
}

void CheckLayout(const cWavetable& table)
{
    const uint32_t length = table.GetLevel(0).length;
    if (length < cWavetable::kMinLength || length > cWavetable::kMaxLength || (length & (length - 1)) != 0)
        std::abort();
    for (int32_t i = 0; i < table.GetLevelCount(); ++i)
    {
        const cWavetable::cLevel& level = table.GetLevel(i);
        if (level.length != length >> i || level.phaseMask != level.length * 65536u - 1u)
            std::abort();
    }
    if (table.GetLevel(table.GetLevelCount() - 1).length != 1)
        std::abort();
}

// Pitches and extras taken from the input's first bytes, so the fuzzer
// steers them too.
float Pick(const uint8_t* data, size_t size, size_t at)
{
    float value = 0.0f;
    if (size >= at + 4)
        std::memcpy(&value, data + at, 4);
    return value;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1u << 20))
        return 0;
    File::cFileMemoryRead stream(data, int(size));
    cWavetable table("Fuzz");
    if (!table.Read(stream))
    {
        if (!table.IsEmpty())
            std::abort();
        return 0;
    }
    CheckLayout(table);
    const float peak = Peak(table);

    float out[64 * 2];
    cAudioBuffer buffer;
    buffer.Describe(kAudioFormatFloat, 64, 2, out);
    const float cycles[] = {0.001f, 0.02f, 0.49f, 3.0f, -0.1f, Pick(data, size, 12), Pick(data, size, 16)};
    const float extras[] = {0.0f, 0.5f, -0.75f, 2.5f, Pick(data, size, 20)};
    for (float c : cycles)
        for (float extra : extras)
            for (bool interpolate : {false, true})
            {
                cWavetableOsc osc;
                osc.SetTable(&table);
                osc.Render(c, buffer, extra, interpolate);
                osc.RenderRatio(c, buffer, extra, interpolate);
                // Interpolation may round one step past the larger neighbour.
                for (uint32_t f = 0; f < 64; ++f)
                    if (!(std::fabs(out[f * 2]) <= peak * 1.00001f))
                        std::abort();
            }
    return 0;
}
