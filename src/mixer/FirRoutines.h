#pragma once
#include <cstdint>
#include <string>

// Direct-form FIR filters, one output per input, over a delay line z of the
// tap count n (twice that for the double-line form) and taps h. They differ
// only in how the line moves; every one gives the same outputs. The
// circular forms keep a state index in 0..n-1.
namespace Fir
{
// z[0] takes the input, then the line shifts up by one.
float Basic(float input, const float* h, float* z, int32_t n);
// Basic written out for six taps.
float Shuffle6(float input, const float* h, float* z);
// A circular line; the state moves on by one with each input.
float Circular(float input, const float* h, float* z, int32_t n, int32_t& state);
// A circular line summed as two linear runs; the state moves back by one.
float Split(float input, const float* h, float* z, int32_t n, int32_t& state);
// A line of 2n written at state and state + n, read in one linear run.
float DoubleZ(float input, const float* h, float* z, int32_t n, int32_t& state);
// Taps of 2n (h twice) read from n - state against a line of n.
float DoubleH(float input, const float* h2, float* z, int32_t n, int32_t& state);

// The impulse responses of the six forms to taps 1..6, as the self-test
// prints them: a title per form, then the 18 outputs.
std::string SelfTestText();
// Sends SelfTestText through the debug trace; nothing in the program calls it.
void RunSelfTest();
} // namespace Fir
