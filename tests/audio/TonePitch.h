#pragma once

#include <cstddef>

// The frequency of a tone from its rising zero crossings, each placed
// between the two samples around it; 0 with fewer than two crossings.
template <class tSample>
double TonePitch(const tSample* samples, size_t count, double sampleRate)
{
    double first = -1.0, last = -1.0;
    int crossings = 0;
    for (size_t i = 1; i < count; ++i)
    {
        if (!(samples[i - 1] < 0 && samples[i] >= 0))
            continue;
        const double at = double(i - 1) + double(samples[i - 1]) / (double(samples[i - 1]) - double(samples[i]));
        if (first < 0.0)
            first = at;
        last = at;
        ++crossings;
    }
    return crossings < 2 ? 0.0 : (crossings - 1) * sampleRate / (last - first);
}
