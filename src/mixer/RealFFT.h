#pragma once
#include <cstdint>
#include <vector>

// The discrete Fourier transform of real data in single precision: a
// complex transform of half the size on the even and odd samples (bit
// reversal, then radix-4 butterflies with one radix-2 pass where the size
// asks), unfolded into the spectrum of the real input. Real and imaginary
// parts lie in separate arrays and each pass reads its own twiddles in
// order, so the butterflies run on whole vector registers. Sizes are powers
// of two from 4; the tables are built once per size, so the transforms
// allocate nothing.
class cRealFFT
{
public:
    // Returns the number of bins, n / 2 + 1; 0 for a size it cannot take.
    int32_t SetSize(int32_t n);
    int32_t GetSize() const { return mSize; }

    // X[k] = sum of x[j] e^(-2 pi i jk / n) for k = 0..n/2 into real and
    // imaginary parts.
    void Forward(const float* input, float* re, float* im);
    // The n samples whose Forward gives these bins.
    void Inverse(float* output, const float* re, const float* im);

private:
    // The forward complex transform of the work arrays, already in
    // bit-reversed order, in place.
    void Transform();

    int32_t mSize = 0;
    int32_t mHalf = 0;              // complex points
    std::vector<int32_t> mReverse;  // bit-reversed index of each point
    std::vector<float> mTwiddles;   // per radix-4 pass of span L: w2 re, w2 im, w4 re, w4 im, L each
    std::vector<float> mCosines;    // cos(2 pi k / n), k = 0..n / 4
    std::vector<float> mRe, mIm;    // the work arrays, half points each
};
