#pragma once

#include <cstdint>

// A 30-bit linear congruential generator. The program shares one, never
// reseeded, so every run draws the same sequence.
struct cRandom
{
    int32_t state = 123456789;
    int32_t multiplier = 31415821;

    // state = (state x multiplier + 1) mod 2^30; returns the new state.
    int32_t Step();
};

extern cRandom gRandom;

// 0 .. n - 1 from the shared generator, for 1 <= n <= 65536.
int32_t RandomInt(int32_t n);
// A float in [0, scale) from the shared generator.
float RandomFloat(float scale);
// A variate of the exponential distribution with mean 1.
float ExponentialVariate(cRandom* random);
