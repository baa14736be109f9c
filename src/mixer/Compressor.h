#pragma once
#include <cstdint>

struct cAudioBuffer;
struct cAudioProcessInfo;

// The compressor's settings in their stored units.
struct cCompressorParams
{
    enum : int32_t
    {
        kDirtyEnable = 1,
        kDirtyRMS = 2,
        kDirtyRatio = 4,
        kDirtyOutputGain = 8,
        kDirtyThreshold = 0x10,
        kDirtyTimes = 0x20,
        kDirtyAll = 0x7fffffff,
    };

    static constexpr float kThresholdMin = -30.0f;
    static constexpr float kThresholdMax = 9.0f;
    static constexpr float kOutputGainMax = 24.0f;

    float attack = 0.0001f;   // 0..1 -> 0.6 ms .. 100 ms
    float release = 0.01f;    // 0..1 -> 50 ms .. 1 s
    float threshold = -10.5f; // dB
    float ratio = 0.5f;       // 0..1 -> 1:1 .. 8:1, limiting from 0.99
    float outputGain = 4.25f; // dB of make-up gain
    int32_t dirty = kDirtyAll;
    int32_t enable = 0;
    int32_t rms = 1; // 1 RMS detector, 0 peak detector

    // Each value kept within its range; false, changing nothing, for a value
    // that is not a number.
    bool SetAttack(float v);
    bool SetRelease(float v);
    bool SetThreshold(float dB);
    bool SetRatio(float v);
    bool SetOutputGain(float dB);
};

// Feed-forward compressor on a stereo-linked level: the level over the
// threshold in dB is smoothed into an envelope that rises with the attack
// and falls with the release coefficient, each covering 67 % of the way in
// its time; the gain is the make-up gain plus slope x envelope, slope being
// 1/R - 1. Levels and gains use the bit-pattern decibel conversions, so the
// per-sample cost is a multiply-add and one conversion.
class cCompressor
{
public:
    static constexpr float kMeterFloor = -90.0f;

    // The times the attack and release positions 0..1 stand for.
    static float AttackSeconds(float v);
    static float ReleaseSeconds(float v);

    explicit cCompressor(cCompressorParams* params) : mParams(params) {}

    // Once per block, interleaved stereo float, in place.
    void Process(const cAudioProcessInfo& info, cAudioBuffer& buffer);
    // Meters to the floor, detector state cleared; parameters stay.
    void Reset();

    float GetInputMeter() const { return mInputMeter; }
    float GetOutputMeter() const { return mOutputMeter; }
    float GetGainReductionMeter() const { return mGainReductionMeter; }
    float GetEnvelope() const { return mEnvelope; }

private:
    void UpdateTimes(float sampleRate);
    void UpdateSlope();
    void ProcessRMS(float* samples, uint32_t frames);
    void ProcessPeak(float* samples, uint32_t frames);
    // Smooths the envelope toward over and applies the gain to each frame.
    void ApplyGain(float* samples, uint32_t frames, float over);

    cCompressorParams* mParams;
    float mAttackCoefficient = 0.0f;
    float mReleaseCoefficient = 0.0f;
    float mRMSCoefficient = 0.0f;
    float mSlope = 0.0f;
    float mSampleRate = 0.0f;
    float mEnvelope = 0.0f;
    float mMeanSquare = 0.0f;
    float mInputMeter = kMeterFloor;
    float mOutputMeter = kMeterFloor;
    float mGainReductionMeter = 0.0f;
    bool mMeterPhase = false;
    int32_t mWasEnabled = 0;
};
