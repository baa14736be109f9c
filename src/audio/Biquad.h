#pragma once
#include <cstdint>

struct cAudioBuffer;

// One second-order filter section: its design settings, coefficients
// (normalised so that a0 = 1) and direct-form-I history. Designs cache their
// arguments, so an owner may design every block and pay only for changes.
struct cBiquad
{
    enum eType : int32_t
    {
        kPassThrough = 0,
        kLowPass = 1,
        kBandPass = 2,
        kHighPass = 4,
        kLowShelf = 7,  // first order
        kHighShelf = 8, // first order, inverting
    };

    int32_t type;
    float cutoff; // fraction of the sample rate, 0..0.499
    float q;
    float gain; // dB, shelves only
    float level;
    uint8_t flag;
    float a1, a2, b0, b1, b2;
    float x1, x2, y1, y2;

    cBiquad() { Reset(); }

    // Pass-through, with a cutoff and Q no design uses, so the next design
    // always computes.
    void Reset();
    void ClearHistory();
    // Settings and coefficients; the history stays.
    void CopySettings(const cBiquad& other);

    void SetLowPass(float cutoff, float q, float level);
    // Its b coefficients are not normalised by 1 + alpha, so the peak gain is
    // Q x (1 + alpha) x level.
    void SetBandPass(float cutoff, float q, float level);
    void SetHighPass(float cutoff, float q, float level);
    // Gain about G x level at low frequencies, level near half the rate.
    void SetLowShelf(float cutoff, float gainDb, float level);
    // Gain about -level at low frequencies, -G x level near half the rate.
    void SetHighShelf(float cutoff, float gainDb, float level);

private:
    // False when the settings equal the stored ones; otherwise stores them.
    bool Begin(int32_t newType, float& newCutoff, float& newQ, float newGain, float& newLevel);
    void SetResonant(int32_t newType, float cutoff, float q, float level);
};

// Up to four sections side by side, one per lane of a vector, their
// coefficients and history in locals for a block loop: Step runs one
// direct-form-I frame in every lane, Store puts the history back. The four
// feedback chains cost the time of one. Lanes without a section stay
// silent: zero coefficients and history, so a zero input gives zeros.
// Audio renders on threads that flush denormals to zero (audio/
// FlushDenormals.h), so the step needs no guard against them.
struct cBiquadLanes
{
    using tLanes = float __attribute__((vector_size(16)));

    tLanes b0{}, b1{}, b2{}, a1{}, a2{}, x1{}, x2{}, y1{}, y2{};

    cBiquadLanes() = default;
    // Lane i from sections[i] for i < count (at most 4).
    cBiquadLanes(cBiquad* const* sections, int32_t count);

    tLanes Step(tLanes x)
    {
        // The last term is taken last, so that only one multiply and one
        // subtraction wait for the previous output.
        const tLanes ahead = b0 * x + b1 * x1 + b2 * x2 - a2 * y2;
        const tLanes y = ahead - a1 * y1;
        x2 = x1, x1 = x;
        y2 = y1, y1 = y;
        return y;
    }

    // The history of the first count lanes back into their sections.
    void Store(cBiquad* const* sections, int32_t count) const;
};

// Filters a float view in place: count 1 runs section 0 on channel 0 only;
// a count n of 2 to 4 runs section i on channel i for i < n. Sections keep
// their history between blocks.
void ProcessBiquadChannels(const cAudioBuffer& buffer, cBiquad* const* sections, int32_t count);
