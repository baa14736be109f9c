#include "mixer/FirRoutines.h"

#include <cstdio>

#include "platform/PlatformServices.h"

namespace Fir
{
float Basic(float input, const float* h, float* z, int32_t n)
{
    z[0] = input;
    float sum = 0.0f;
    int32_t i = 0;
    for (; i + 4 <= n; i += 4)
        sum += h[i] * z[i] + h[i + 1] * z[i + 1] + h[i + 2] * z[i + 2] + h[i + 3] * z[i + 3];
    for (; i < n; ++i)
        sum += h[i] * z[i];
    for (int32_t k = n - 2; k >= 0; --k)
        z[k + 1] = z[k];
    return sum;
}

float Shuffle6(float input, const float* h, float* z)
{
    z[0] = input;
    const float sum = h[0] * z[0] + h[1] * z[1] + h[2] * z[2] + h[3] * z[3] + h[4] * z[4] + h[5] * z[5];
    z[5] = z[4];
    z[4] = z[3];
    z[3] = z[2];
    z[2] = z[1];
    z[1] = z[0];
    return sum;
}

float Circular(float input, const float* h, float* z, int32_t n, int32_t& state)
{
    z[state] = input;
    state = state + 1 == n ? 0 : state + 1;
    // The oldest sample is now at the state: it meets the last tap.
    float sum = 0.0f;
    int32_t at = state;
    for (int32_t i = n - 1; i >= 0; --i)
    {
        sum += h[i] * z[at];
        at = at + 1 == n ? 0 : at + 1;
    }
    return sum;
}

float Split(float input, const float* h, float* z, int32_t n, int32_t& state)
{
    z[state] = input;
    // The newest sample is at the state and older ones follow it upwards.
    float sum = 0.0f;
    int32_t tap = 0;
    for (int32_t at = state; at < n; ++at)
        sum += h[tap++] * z[at];
    for (int32_t at = 0; at < state; ++at)
        sum += h[tap++] * z[at];
    state = state == 0 ? n - 1 : state - 1;
    return sum;
}

float DoubleZ(float input, const float* h, float* z, int32_t n, int32_t& state)
{
    z[state] = input;
    z[state + n] = input;
    const float* line = z + state;
    float sum = 0.0f;
    for (int32_t i = 0; i < n; ++i)
        sum += h[i] * line[i];
    state = state == 0 ? n - 1 : state - 1;
    return sum;
}

float DoubleH(float input, const float* h2, float* z, int32_t n, int32_t& state)
{
    z[state] = input;
    const float* taps = h2 + n - state;
    float sum = 0.0f;
    for (int32_t i = 0; i < n; ++i)
        sum += taps[i] * z[i];
    state = state == 0 ? n - 1 : state - 1;
    return sum;
}

std::string SelfTestText()
{
    constexpr int32_t kTaps = 6;
    constexpr int32_t kInputs = 18;
    const float h[kTaps] = {1, 2, 3, 4, 5, 6};
    float h2[2 * kTaps];
    for (int32_t i = 0; i < 2 * kTaps; ++i)
        h2[i] = h[i % kTaps];
    const char* const titles[] = {"fir_basic", "fir_shuffle", "fir_circular", "fir_split", "fir_double_z",
                                  "fir_double_h"};
    std::string text;
    for (int32_t form = 0; form < 6; ++form)
    {
        float z[2 * kTaps] = {};
        int32_t state = 0;
        text += std::string("Testing ") + titles[form] + ":\n   ";
        for (int32_t i = 0; i < kInputs; ++i)
        {
            const float input = i == 5 ? 1.0f : 0.0f;
            float output = 0.0f;
            switch (form)
            {
            case 0: output = Basic(input, h, z, kTaps); break;
            case 1: output = Shuffle6(input, h, z); break;
            case 2: output = Circular(input, h, z, kTaps, state); break;
            case 3: output = Split(input, h, z, kTaps, state); break;
            case 4: output = DoubleZ(input, h, z, kTaps, state); break;
            default: output = DoubleH(input, h2, z, kTaps, state); break;
            }
            char number[32];
            std::snprintf(number, sizeof(number), "%3.1lf ", double(output));
            text += number;
        }
        if (form < 5)
            text += "\n\n";
    }
    return text;
}

void RunSelfTest() { DebugTrace("%s", SelfTestText().c_str()); }
} // namespace Fir
