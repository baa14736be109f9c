#include "mixer/RealFFT.h"

#include <cmath>

namespace
{
bool IsPowerOfTwo(int32_t n) { return n > 0 && (n & (n - 1)) == 0; }

int32_t Log2(int32_t n)
{
    int32_t bits = 0;
    while ((1 << bits) < n)
        ++bits;
    return bits;
}

constexpr double kPi = 3.14159265358979323846;

// One radix-4 butterfly group of a pass: the four quarters of a block and
// the pass's twiddles, each array apart from the others.
void RadixFourPass(float* __restrict r0, float* __restrict i0, float* __restrict r1, float* __restrict i1,
                   float* __restrict r2, float* __restrict i2, float* __restrict r3, float* __restrict i3,
                   const float* __restrict w2r, const float* __restrict w2i, const float* __restrict w4r,
                   const float* __restrict w4i, int32_t span)
{
    for (int32_t j = 0; j < span; ++j)
    {
        const float t1r = w2r[j] * r1[j] - w2i[j] * i1[j], t1i = w2r[j] * i1[j] + w2i[j] * r1[j];
        const float t3r = w2r[j] * r3[j] - w2i[j] * i3[j], t3i = w2r[j] * i3[j] + w2i[j] * r3[j];
        const float b0r = r0[j] + t1r, b0i = i0[j] + t1i;
        const float b1r = r0[j] - t1r, b1i = i0[j] - t1i;
        const float b2r = r2[j] + t3r, b2i = i2[j] + t3i;
        const float b3r = r2[j] - t3r, b3i = i2[j] - t3i;
        const float u2r = w4r[j] * b2r - w4i[j] * b2i, u2i = w4r[j] * b2i + w4i[j] * b2r;
        const float v3r = w4r[j] * b3r - w4i[j] * b3i, v3i = w4r[j] * b3i + w4i[j] * b3r;
        // Times -i.
        const float u3r = v3i, u3i = -v3r;
        r0[j] = b0r + u2r, i0[j] = b0i + u2i;
        r2[j] = b0r - u2r, i2[j] = b0i - u2i;
        r1[j] = b1r + u3r, i1[j] = b1i + u3i;
        r3[j] = b1r - u3r, i3[j] = b1i - u3i;
    }
}

// The span of the first radix-4 pass: 2 after a radix-2 pass, else 1.
int32_t FirstSpan(int32_t half) { return Log2(half) % 2 == 1 ? 2 : 1; }
} // namespace

int32_t cRealFFT::SetSize(int32_t n)
{
    if (n < 4 || !IsPowerOfTwo(n))
        return 0;
    if (n == mSize)
        return n / 2 + 1;
    mSize = n;
    mHalf = n / 2;
    const int32_t bits = Log2(mHalf);
    mReverse.resize(size_t(mHalf));
    for (int32_t i = 0; i < mHalf; ++i)
    {
        int32_t reversed = 0;
        for (int32_t b = 0; b < bits; ++b)
            reversed |= ((i >> b) & 1) << (bits - 1 - b);
        mReverse[size_t(i)] = reversed;
    }
    // Each pass of span L joins spans L and 2L: e^(-2 pi i j / 2L) and
    // e^(-2 pi i j / 4L) for j < L.
    mTwiddles.clear();
    for (int32_t span = FirstSpan(mHalf); span < mHalf; span *= 4)
    {
        const size_t at = mTwiddles.size();
        mTwiddles.resize(at + size_t(4 * span));
        for (int32_t j = 0; j < span; ++j)
        {
            const double a2 = -2.0 * kPi * j / (2.0 * span), a4 = -2.0 * kPi * j / (4.0 * span);
            mTwiddles[at + size_t(j)] = float(std::cos(a2));
            mTwiddles[at + size_t(span + j)] = float(std::sin(a2));
            mTwiddles[at + size_t(2 * span + j)] = float(std::cos(a4));
            mTwiddles[at + size_t(3 * span + j)] = float(std::sin(a4));
        }
    }
    mCosines.resize(size_t(n / 4 + 1));
    for (int32_t k = 0; k <= n / 4; ++k)
        mCosines[size_t(k)] = float(std::cos(2.0 * kPi * k / n));
    mRe.assign(size_t(mHalf), 0.0f);
    mIm.assign(size_t(mHalf), 0.0f);
    return n / 2 + 1;
}

// Decimation in time. Two radix-2 passes of spans L and 2L are done as one
// radix-4 pass: the inner butterflies take e^(-2 pi i j / 2L), the outer
// ones e^(-2 pi i j / 4L) and, for the odd quarter, that times -i.
void cRealFFT::Transform()
{
    float* __restrict re = mRe.data();
    float* __restrict im = mIm.data();
    const int32_t half = mHalf;
    int32_t span = FirstSpan(half);
    if (span == 2)
        for (int32_t i = 0; i < half; i += 2)
        {
            const float r = re[i + 1], m = im[i + 1];
            re[i + 1] = re[i] - r, im[i + 1] = im[i] - m;
            re[i] += r, im[i] += m;
        }
    const float* tw = mTwiddles.data();
    for (; span < half; tw += 4 * span, span *= 4)
    {
        const float* __restrict w2r = tw;
        const float* __restrict w2i = tw + span;
        const float* __restrict w4r = tw + 2 * span;
        const float* __restrict w4i = tw + 3 * span;
        for (int32_t block = 0; block < half; block += 4 * span)
        {
            float* __restrict r0 = re + block;
            float* __restrict i0 = im + block;
            float* __restrict r1 = r0 + span;
            float* __restrict i1 = i0 + span;
            float* __restrict r2 = r1 + span;
            float* __restrict i2 = i1 + span;
            float* __restrict r3 = r2 + span;
            float* __restrict i3 = i2 + span;
            RadixFourPass(r0, i0, r1, i1, r2, i2, r3, i3, w2r, w2i, w4r, w4i, span);
        }
    }
}

// The even samples are the real parts and the odd ones the imaginary parts
// of a half-size signal Z; X[k] = E[k] + W^k O[k], with E and O unfolded
// from Z[k] and Z[half - k].
void cRealFFT::Forward(const float* input, float* re, float* im)
{
    if (mSize == 0)
        return;
    const int32_t half = mHalf;
    for (int32_t j = 0; j < half; ++j)
    {
        const size_t to = size_t(mReverse[size_t(j)]);
        mRe[to] = input[2 * j];
        mIm[to] = input[2 * j + 1];
    }
    Transform();
    const float* zr = mRe.data();
    const float* zi = mIm.data();
    re[0] = zr[0] + zi[0], im[0] = 0.0f;
    re[half] = zr[0] - zi[0], im[half] = 0.0f;
    const int32_t quarter = mSize / 4;
    for (int32_t k = 1; k <= half / 2; ++k)
    {
        const int32_t m = half - k;
        // E = (Z[k] + conj Z[m]) / 2, O = (Z[k] - conj Z[m]) / 2i.
        const float er = 0.5f * (zr[k] + zr[m]), ei = 0.5f * (zi[k] - zi[m]);
        const float orr = 0.5f * (zi[k] + zi[m]), oi = -0.5f * (zr[k] - zr[m]);
        // W^k = c - i s.
        const float c = mCosines[size_t(k)], s = mCosines[size_t(quarter - k)];
        const float tr = c * orr + s * oi, ti = c * oi - s * orr;
        re[k] = er + tr, im[k] = ei + ti;
        // X[m] = conj(E[k]) - conj(W^k O[k]).
        re[m] = er - tr, im[m] = -ei + ti;
    }
}

// Z is folded back from the bins and conjugated, so that the forward
// transform serves as the inverse one.
void cRealFFT::Inverse(float* output, const float* re, const float* im)
{
    if (mSize == 0)
        return;
    const int32_t half = mHalf;
    const int32_t quarter = mSize / 4;
    const auto store = [this](int32_t k, float r, float i)
    {
        const size_t to = size_t(mReverse[size_t(k)]);
        mRe[to] = r;
        mIm[to] = -i;
    };
    store(0, 0.5f * (re[0] + re[half]), 0.5f * (re[0] - re[half]));
    for (int32_t k = 1; k <= half / 2; ++k)
    {
        const int32_t m = half - k;
        const float xr = re[k], xi = im[k], yr = re[m], yi = -im[m]; // y = conj X[m]
        const float er = 0.5f * (xr + yr), ei = 0.5f * (xi + yi);
        const float dr = 0.5f * (xr - yr), di = 0.5f * (xi - yi);
        // O = d conj(W^k) = d (c + i s).
        const float c = mCosines[size_t(k)], s = mCosines[size_t(quarter - k)];
        const float orr = dr * c - di * s, oi = dr * s + di * c;
        // Z[k] = E + i O; Z[m] = conj(E) + i conj(O).
        store(k, er - oi, ei + orr);
        store(m, er + oi, -ei + orr);
    }
    Transform();
    const float scale = 1.0f / float(half);
    for (int32_t j = 0; j < half; ++j)
    {
        output[2 * j] = mRe[size_t(j)] * scale;
        output[2 * j + 1] = -mIm[size_t(j)] * scale;
    }
}
