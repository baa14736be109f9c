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

// The synthesizer's modulation routings: eleven fixed sources, one row each,
// every row sending its source to one parameter of one destination by a
// percentage. Rows and fields are stored as they come, so files round-trip;
// a row whose destination or parameter is out of range acts as "OFF".
struct cModMatrixRow
{
    int32_t Dest = 0; // 0..15
    int32_t Par = 0;  // index into the destination's parameter list
    int32_t Amt = 0;  // percent; 100 = full scale
};

struct cModMatrix
{
    enum eSource : int32_t
    {
        kSourceLFO1 = 0, // .. kSourceLFO1 + 3
        kSourceAuxEnv = 4,
        kSourceVelocity = 5,
        kSourcePad1X = 6,
        kSourcePad1Y = 7,
        kSourcePad2X = 8,
        kSourcePad2Y = 9,
        kSourceKnob = 10,
        kRowCount = 11,
    };
    enum eDest : int32_t
    {
        kDestOff = 0,
        kDestOsc = 1,
        kDestFilter = 2,
        kDestFilterEnv = 3,
        kDestAmp = 4,
        kDestAmpEnv = 5,
        kDestLFO1 = 6, // .. kDestLFO1 + 3
        kDestAuxEnv = 10,
        kDestSample = 11,
        kDestWaveShaper = 12,
        kDestChorus = 13,
        kDestDelay = 14,
        kDestSendFX = 15,
        kDestCount = 16,
    };
    enum : int32_t
    {
        kFieldDest = 0,
        kFieldPar = 1,
        kFieldAmt = 2,
        kVersion = 1,
    };

    cModMatrixRow rows[kRowCount];

    // The routing of a new patch.
    cModMatrix();

    // The number of parameters of each destination.
    static constexpr int32_t kParCounts[kDestCount] = {1, 6, 2, 5, 1, 5, 2, 2, 2, 2, 5, 2, 3, 4, 3, 2};

    // The destination the row acts on: its Dest, or kDestOff when Dest or
    // Par is out of range. Evaluated for every row of every voice each block.
    int32_t GetActiveDest(int32_t row) const
    {
        if (row < 0 || row >= kRowCount)
            return kDestOff;
        const cModMatrixRow& r = rows[row];
        if (r.Dest <= kDestOff || r.Dest >= kDestCount || r.Par < 0 || r.Par >= kParCounts[r.Dest])
            return kDestOff;
        return r.Dest;
    }

    bool Serialise(Base::cSerialise& s);
    bool SerialiseBinary(File::cFile& stream);

    // field: kFieldDest, kFieldPar or kFieldAmt. Setting Dest resets Par to 0
    // when Par does not fit the new destination's list.
    int32_t GetParamInt(int32_t row, int32_t field) const;
    void SetParamInt(int32_t row, int32_t field, int32_t value);

    static const char* GetSourceName(int32_t row);
    static const Base::cEnumTable& GetDestNames();
    // Empty for a destination out of range.
    static const Base::cEnumTable& GetParNames(int32_t dest);
    // "" for a number the tables do not hold.
    static const char* GetDestName(int32_t dest);
    static const char* GetParName(int32_t dest, int32_t par);
};

// The sums a synthesizer's built-in effects and sends take from the
// performance controllers (rows 6 to 10 sent to destinations 12 to 15).
struct cModuleModulation
{
    float waveShaper[3]; // "Drive/BitCrush", "Contour", "Decimate"
    float chorus[4];     // "Delay", "Rate", "Depth", "Feedback"
    float delay[3];      // "Time", "Feedback", "Amount"
    float send[2];       // "Send 1", "Send 2"
};

// Fills the sums from the controller values (9 values; rows 6 to 10 read
// values 4 to 8). Rows 0 to 5 sent to these destinations have no effect.
void EvaluateModuleModulation(const cModMatrix& matrix, const float* controllers, cModuleModulation& sums);
