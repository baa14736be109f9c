#pragma once
#include <cstdint>

#include "audio/Biquad.h"
#include "audio/BitCrusher.h"

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

// The curves: 1025 points each (the last repeats its neighbour, a guard for
// interpolation), table 0 the ramp -1..1 and tables 1..7 the shapes built
// from it. Built once at start-up; FreeShapeTables at shutdown.
constexpr int32_t kShapeTableCount = 8;
constexpr int32_t kShapeTablePoints = 1025;
void BuildShapeTables();
void FreeShapeTables();
// Null before BuildShapeTables and after FreeShapeTables.
const float* GetShapeTable(int32_t index);

// Settings of the drive stage ("WS" in patches and in the drive effect).
struct cWaveShapeParams
{
    enum eShape : int32_t
    {
        kShapeSoft = 1,
        kShapeHard = 2,
        kShapeHollow = 3,
        kShapeZingy = 4,
        kShapeSpiky = 5,
        kShapeEQOnly = 6,
        kShapeLoFi = 7,
    };
    enum : int32_t
    {
        kFieldEnable = 0,
        kFieldShape = 1,
        kFieldDrive = 2,
        kFieldBright = 3,
        kFieldOut = 4,
        kVersion = 1,
    };

    int32_t Enable = 0; // 0 bypasses everything, the tone control too
    int32_t Shape = kShapeSoft;
    float Drive = 0.33f;  // input gain; in "Lo-Fi" the word length
    float Bright = 0.5f;  // below 0.5 lifts the lows, above it the highs
    float Out = 0.82f;    // output level; in "Lo-Fi" the hold rate

    bool Serialise(Base::cSerialise& s);
    bool SerialiseBinary(File::cFile& stream);

    float GetParamFloat(int32_t field) const;
    void SetParamFloat(int32_t field, float value);
    int32_t GetParamInt(int32_t field) const;
    void SetParamInt(int32_t field, int32_t value);

    static const Base::cEnumTable& GetShapeNames();
};

// The stereo drive: a table waveshaper with ramped gains, or the
// bit-crusher in "Lo-Fi", always followed by a one-knob tone control (a
// first-order shelf at 1 kHz). Audio thread only.
class cWaveShaper
{
public:
    cWaveShapeParams* params = nullptr;
    // Owners set these levels; the synthesizer runs at 1.0 and 0.35.
    float inputLevel = 0.8f;
    float outputLevel = 0.5f;

    cWaveShaper();

    void Reset();
    // Channels 0 and 1 in place. modulation: offsets of Drive, Bright and
    // Out, or null.
    void Process(const cAudioProcessInfo& info, const cAudioBuffer& buffer, const float* modulation);
    void ProcessTone(const cAudioProcessInfo& info, const cAudioBuffer& buffer, float bright);

private:
    // Shapes channels 0 and 1 with ramped gains, and runs the tone filter.
    void Shape(const cAudioBuffer& buffer, const float* table, float gainIn, float gainOut);
    void ShapeAndToneStereo(const cAudioBuffer& buffer, const float* table, float gainIn, float gainOut);
    void ShapeAndToneMono(const cAudioBuffer& buffer, const float* table, float gainIn, float gainOut);
    void Crush(const cAudioBuffer& buffer, float drive, float out);
    void DesignTone(const cAudioProcessInfo& info, float bright);
    void RunTone(const cAudioBuffer& buffer);

    float mLastBright = -1.0f;
    float mLastSampleRate = 44100.0f;
    float mPreviousGainIn = 0.0f;
    float mPreviousGainOut = 0.0f;
    uint8_t mFirstBlock = 1;
    cBiquad mTone[2];
    cBitCrusher mCrusher;
    cBitCrusherParams mCrusherParams;
};
