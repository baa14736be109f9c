#pragma once
#include <cstdint>
#include <memory>

#include "audio/LFO.h"

struct cAudioBuffer;
struct cAudioProcessInfo;
namespace Base
{
class cSerialise;
struct cEnumTable;
}
namespace File
{
class cFile;
}

// Settings of the chorus/delay ("CD" in patches, multis and the effect unit).
// Floats hold the engine's values; the parameter access maps 0..1 knobs
// onto them and back.
struct cChorusDelayParams
{
    enum eType : int32_t
    {
        kTypeChorus = 0,
        kTypeFlanger = 1,
        kTypeDelay = 2,
        kTypeCrossDelay = 3, // "X-Delay": the lines feed each other
    };
    enum : int32_t
    {
        kFieldType = 0,
        kFieldEnable = 1,
        kFieldSync = 2,
        kFieldCRate = 3,
        kFieldCDelay = 4,
        kFieldCDepth = 5,
        kFieldCFeedback = 6,
        kFieldDTime = 7,
        kFieldDBeatTime = 8,
        kFieldDFeedback = 9,
        kFieldDAmount = 10,
        kVersion = 2,
    };

    int32_t Type = kTypeChorus;
    int32_t Enable = 0;
    int32_t Sync = 1; // 1: the delay time follows DBeatTime and the tempo
    float CRate = 0.12f;
    float CDelay = 0.015f;
    float CDepth = 0.065f;
    float CFeedback = 0.17f;
    float DTime = 0.5f; // fraction of the line
    int32_t DBeatTime = 3; // "1/16", "1/8", "1/8D", "1/4", "1/4D", "1/2"
    float DFeedback = 0.17f;
    float DAmount = 0.12f; // wet/dry balance, 0.5 both at full

    bool Serialise(Base::cSerialise& s);
    // Version 1 data (legacy patches of version 1) had a gentler amount and
    // a shorter base delay; it reads converted.
    bool SerialiseBinary(File::cFile& stream);

    float GetParamFloat(int32_t field) const;
    void SetParamFloat(int32_t field, float value);
    int32_t GetParamInt(int32_t field) const;
    void SetParamInt(int32_t field, int32_t value);

    static const Base::cEnumTable& GetTypeNames();
    static const Base::cEnumTable& GetBeatTimeNames();
};

// The stereo modulation-and-echo block over two delay lines: chorus and
// flanger sweep a gliding fractional delay with two LFOs; delay and
// cross-delay echo at whole samples, with the time from the settings or the
// song tempo. Audio thread only; the lines are allocated at construction and
// again only when the sample rate changes.
class cChorusDelay
{
public:
    cChorusDelayParams* params = nullptr;

    explicit cChorusDelay(float lineSeconds);
    ~cChorusDelay();
    cChorusDelay(const cChorusDelay&) = delete;
    cChorusDelay& operator=(const cChorusDelay&) = delete;

    void Reset();
    // chorusSums: delay, rate, depth, feedback; delaySums: time, feedback,
    // amount; either may be null. The delay types work on output in place.
    // Returns the output level the owner applies (below 1 for the flanger).
    float Process(const cAudioProcessInfo& info, const cAudioBuffer& input, const cAudioBuffer& output,
                  const float* chorusSums, const float* delaySums);

    int32_t GetLineFrames() const { return mLineFrames; }

private:
    bool ResizeLines();
    float ProcessChorus(const cAudioProcessInfo& info, const cAudioBuffer& input, const cAudioBuffer& output,
                        const float* sums);
    void ProcessDelay(const cAudioBuffer& buffer, const float* sums);
    int32_t DelayFrames(const float* sums) const;

    cLFOParams mLFOParams[2];
    cLFO mLFO[2];
    int32_t mActive = 0;
    int32_t mCachedType = -1;
    int32_t mWrite[2] = {};
    int32_t mChorusDelay[2] = {}; // samples in 16.16
    float mSampleRate;
    float mLineSeconds;
    int32_t mLineFrames = 0;
    int32_t mAllocatedFrames = 0;
    std::unique_ptr<float[]> mLines[2];
    float mLevel = 1.0f;
};
