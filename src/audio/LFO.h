#pragma once
#include <cstdint>

namespace Base
{
class cSerialise;
struct cEnumTable;
}
namespace File
{
class cFile;
}

// Stored settings of one LFO ("LFO1" to "LFO4" of a patch, and the sweep
// oscillators of the chorus).
struct cLFOParams
{
    enum eShape : int32_t
    {
        kShapeSine = 0,
        kShapeSquare = 1,
        kShapeSawUp = 2,
        kShapeSawDown = 3,
        kShapeTriangle = 4,
        kShapeRandomStep = 5,
        kShapeRandomRamp = 6,
    };
    enum eSync : int32_t
    {
        kSyncOff = 0,  // free running, carried on across silent gaps
        kSyncKey = 1,  // restarts at each note
        kSyncBeat = 2, // follows the transport clock
    };
    enum : int32_t
    {
        kBeatRateCount = 9,
        kVersion = 2,
    };
    enum : int32_t
    {
        kFieldShape = 0,
        kFieldRate = 1,
        kFieldBeatRate = 2,
        kFieldAmount = 3,
        kFieldDelay = 4,
        kFieldSync = 5,
    };

    int32_t Shape = kShapeSine;
    float Rate = 0.0f; // Hz, 20 v^3 from the knob
    int32_t BeatRate = 0; // "1/16" .. "2"
    float Amount = 0.0f;
    float Delay = 0.0f; // fade-in seconds, 25 v^2 from the knob
    int32_t Sync = kSyncOff;

    bool Serialise(Base::cSerialise& s);
    // Version 1 stored BeatRate from a six-entry list; it reads translated.
    bool SerialiseBinary(File::cFile& stream);

    float GetParamFloat(int32_t field) const;
    void SetParamFloat(int32_t field, float value);
    int32_t GetParamInt(int32_t field) const;
    void SetParamInt(int32_t field, int32_t value);

    static const Base::cEnumTable& GetShapeNames();
    static const Base::cEnumTable& GetBeatRateNames();
    static const Base::cEnumTable& GetSyncNames();
};

// A control-rate oscillator: once per block it gives a value in 0..1 and,
// beside it, a depth (Amount faded in over Delay) that the user multiplies
// with the value. Audio thread only; the random shapes draw from a generator
// of the audio thread's own.
class cLFO
{
public:
    cLFOParams* params = nullptr;

    // At note start, or when its owner restarts.
    void Trigger();
    // modulation: a rate offset and an amount offset, or null. Advances by
    // the elapsed seconds (or follows the transport clock in beat sync).
    float Process(const float* modulation, float elapsed);

    // The voice stamps the program clock (seconds) when it releases a note,
    // so a free LFO restarts as if it had kept running.
    void SetReferenceTime(double seconds) { mReferenceTime = seconds; }

    float GetValue() const { return mValue; }
    float GetDepth() const { return mDepth; }
    float GetFade() const { return mFade; }
    float GetPhase() const { return mPhase; }

private:
    void UpdateRandomShape(int32_t shape, bool wrapped);

    float mValue = 0.0f;
    float mRampSlope = 0.0f;
    float mRampStart = 0.0f;
    float mPhase = 0.0f;
    float mFade = 0.0f;
    float mDepth = 0.0f;
    float mElapsed = 0.0f;
    double mReferenceTime = 0.0;
};
