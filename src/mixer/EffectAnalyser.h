#pragma once
#include "audio/SampleRingBuffer.h"
#include "base/CriticalSection.h"
#include "mixer/Effect.h"
#include "mixer/RealFFT.h"

// "ANALYSER": passes its input unchanged, keeps the newest 4096 stereo
// frames, and on its editor's request turns them into a smoothed magnitude
// spectrum. Built whole but never registered. The audio thread only copies
// blocks into the ring; the transform runs on the main thread.
class cEffectAnalyser : public cEffect
{
public:
    enum : uint32_t
    {
        kParamEnable = 0,
        kParamType = 1,
    };
    enum eType : int32_t
    {
        kTypeOff = 0,
        kTypeOn = 1,
    };
    static constexpr int32_t kFFTSize = 4096;
    static constexpr int32_t kBins = kFFTSize / 2 + 1;
    static constexpr int32_t kChannels = 2;
    // What a bin holds while nothing is measured.
    static constexpr float kSilence = -120.0f;

    explicit cEffectAnalyser(cEffectPackage* package);

    float GetParamFloat(uint32_t id) override;
    int32_t GetParamInt(uint32_t id) override;
    int32_t Process(const cAudioProcessInfo& info, cAudioBuffer& buffer) override;
    int32_t HandleEvent(const cAudioEvent& event) override;
    bool Serialise(Base::cSerialise& serialise) override;
    void Reset() override;
    void SetEnabled(bool enabled) override;
    bool IsEnabled() const override;

    // The newest 4096 frames, oldest first, into the frame buffer.
    void CopyLatestFrames();
    // One step of the smoothed spectrum from the newest frames; main thread.
    void Analyse();

    const float* GetSpectrum() const { return mSpectrum; }
    const float* GetFrames() const { return mFrames; }
    float GetSampleRate() const { return mSampleRate; }

private:
    int32_t mEnable = 0;
    int32_t mType = kTypeOn;
    cCriticalSection mLock;
    cRealFFT mFFT;
    cSampleRingBuffer mRing{uint32_t(kFFTSize * kChannels * sizeof(float))};
    float mFrames[kFFTSize * kChannels] = {};
    float mWindow[kFFTSize] = {};
    float mMono[kFFTSize] = {};
    float mReal[kBins] = {};
    float mImaginary[kBins] = {};
    float mSpectrum[kBins] = {};
    float mSampleRate = 44100.0f;
    int32_t mLastEnable = 0;
};

class cEffectAnalyserPackage : public cEffectPackage
{
public:
    cEffectAnalyserPackage();
    cEffect* CreateEffect() override;
};
