#include "instruments/synth/ModMatrix.h"

#include <array>
#include <climits>
#include <cmath>

#include "audio/SafeValues.h"
#include "audio/SectionVersion.h"
#include "base/File.h"
#include "base/Serialise.h"

namespace
{
using Base::cEnumEntry;
using Base::cEnumTable;

const char* const kSourceNames[cModMatrix::kRowCount] = {
    "LFO 1", "LFO 2", "LFO 3", "LFO 4", "Aux Env", "Velocity", "XYPad 1 X", "XYPad 1 Y", "XYPad 2 X", "XYPad 2 Y", "Knob"};

const cEnumEntry kDestEntries[] = {{0, "OFF"},      {1, "Osc"},     {2, "Filter"},      {3, "Filter Env"},
                                   {4, "Amp"},      {5, "Amp Env"}, {6, "LFO 1"},       {7, "LFO 2"},
                                   {8, "LFO 3"},    {9, "LFO 4"},   {10, "Aux Env"},    {11, "Sample"},
                                   {12, "Waveshaper"}, {13, "Chorus"}, {14, "Delay"}, {15, "Send FX"}};
const cEnumTable kDestTable = {kDestEntries, cModMatrix::kDestCount};

const cEnumEntry kOffPars[] = {{0, "---"}};
const cEnumEntry kOscPars[] = {{0, "Pan"}, {1, "Mix"}, {2, "A Pitch"}, {3, "B Pitch"}, {4, "A+B Pitch"}, {5, "A-B Pitch"}};
const cEnumEntry kFilterPars[] = {{0, "Cutoff"}, {1, "Q"}};
const cEnumEntry kEnvelopePars[] = {{0, "Attack"}, {1, "Decay"}, {2, "Sustain"}, {3, "Release"}, {4, "Amount"}};
const cEnumEntry kAmpPars[] = {{0, "Amount"}};
const cEnumEntry kLFOPars[] = {{0, "Rate"}, {1, "Amount"}};
const cEnumEntry kSamplePars[] = {{0, "Start"}, {1, "Length"}};
const cEnumEntry kWaveShaperPars[] = {{0, "Drive/BitCrush"}, {1, "Contour"}, {2, "Decimate"}};
const cEnumEntry kChorusPars[] = {{0, "Delay"}, {1, "Rate"}, {2, "Depth"}, {3, "Feedback"}};
const cEnumEntry kDelayPars[] = {{0, "Time"}, {1, "Feedback"}, {2, "Amount"}};
const cEnumEntry kSendPars[] = {{0, "Send 1"}, {1, "Send 2"}};

const cEnumEntry* const kParEntries[cModMatrix::kDestCount] = {
    kOffPars,      kOscPars,    kFilterPars, kEnvelopePars, kAmpPars,        kEnvelopePars, kLFOPars,    kLFOPars,
    kLFOPars,      kLFOPars,    kEnvelopePars, kSamplePars, kWaveShaperPars, kChorusPars,   kDelayPars, kSendPars};
const std::array<cEnumTable, cModMatrix::kDestCount> kParTables = [] {
    std::array<cEnumTable, cModMatrix::kDestCount> tables{};
    for (int32_t dest = 0; dest < cModMatrix::kDestCount; ++dest)
        tables[size_t(dest)] = {kParEntries[dest], cModMatrix::kParCounts[dest]};
    return tables;
}();
const cEnumTable kNoPars = {nullptr, 0};

const cModMatrixRow kDefaultRows[cModMatrix::kRowCount] = {
    {cModMatrix::kDestOsc, 4, 2},          // LFO 1: vibrato on "A+B Pitch"
    {cModMatrix::kDestOsc, 1, 100},        // LFO 2: "Mix"
    {cModMatrix::kDestAmpEnv, 4, 100},     // LFO 3: "Amount"
    {cModMatrix::kDestFilterEnv, 4, 100},  // LFO 4: "Amount"
    {cModMatrix::kDestOsc, 4, 100},        // Aux Env: "A+B Pitch"
    {cModMatrix::kDestFilterEnv, 4, 0},    // Velocity: "Amount"
    {cModMatrix::kDestFilter, 0, 100},     // XYPad 1 X: "Cutoff"
    {cModMatrix::kDestFilter, 1, 100},     // XYPad 1 Y: "Q"
    {cModMatrix::kDestLFO1 + 3, 1, 100},   // XYPad 2 X: LFO 4 "Amount"
    {cModMatrix::kDestLFO1 + 3, 0, 100},   // XYPad 2 Y: LFO 4 "Rate"
    {cModMatrix::kDestSendFX, 0, 100},     // Knob: "Send 1"
};

bool SerialiseRow(File::cFile& stream, cModMatrixRow& row)
{
    uint32_t version = 0;
    return SerialiseSectionVersion(stream, cModMatrix::kVersion, &version) && stream.SerialiseInt32(&row.Dest) == 4 &&
           stream.SerialiseInt32(&row.Par) == 4 && stream.SerialiseInt32(&row.Amt) == 4;
}
} // namespace

cModMatrix::cModMatrix()
{
    for (int32_t i = 0; i < kRowCount; ++i)
        rows[i] = kDefaultRows[i];
}

const char* cModMatrix::GetSourceName(int32_t row)
{
    return row >= 0 && row < kRowCount ? kSourceNames[row] : "";
}

const cEnumTable& cModMatrix::GetDestNames() { return kDestTable; }

const char* cModMatrix::GetDestName(int32_t dest)
{
    return dest >= 0 && dest < kDestCount ? kDestEntries[dest].name : "";
}

const char* cModMatrix::GetParName(int32_t dest, int32_t par)
{
    const cEnumTable& names = GetParNames(dest);
    return par >= 0 && par < names.count ? names.entries[par].name : "";
}

const cEnumTable& cModMatrix::GetParNames(int32_t dest)
{
    return dest >= 0 && dest < kDestCount ? kParTables[size_t(dest)] : kNoPars;
}

bool cModMatrix::Serialise(Base::cSerialise& s)
{
    bool ok = true;
    for (int32_t i = 0; i < kRowCount; ++i)
    {
        // A row without its element keeps its values.
        if (!s.BeginNode(kSourceNames[i], true))
            continue;
        cModMatrixRow& row = rows[i];
        ok &= s.SerialiseEnum("Dest", &row.Dest, &kDestTable);
        ok &= s.SerialiseEnum("Par", &row.Par, &GetParNames(row.Dest));
        ok &= s.SerialiseInt32("Amt", &row.Amt, INT_MIN, INT_MAX);
        s.EndNode(kSourceNames[i]);
    }
    return ok;
}

bool cModMatrix::SerialiseBinary(File::cFile& stream)
{
    cModMatrix read = *this;
    uint32_t version = 0;
    if (!SerialiseSectionVersion(stream, kVersion, &version))
        return false;
    for (cModMatrixRow& row : read.rows)
        if (!SerialiseRow(stream, row))
            return false;
    *this = read;
    return true;
}

int32_t cModMatrix::GetParamInt(int32_t row, int32_t field) const
{
    if (row < 0 || row >= kRowCount)
        return 0;
    switch (field)
    {
    case kFieldDest:
        return rows[row].Dest;
    case kFieldPar:
        return rows[row].Par;
    case kFieldAmt:
        return rows[row].Amt;
    default:
        return 0;
    }
}

void cModMatrix::SetParamInt(int32_t row, int32_t field, int32_t value)
{
    if (row < 0 || row >= kRowCount)
        return;
    cModMatrixRow& r = rows[row];
    if (field == kFieldDest)
    {
        r.Dest = value;
        if (r.Par >= GetParNames(value).count)
            r.Par = 0;
    }
    else if (field == kFieldPar)
        r.Par = value;
    else if (field == kFieldAmt)
        r.Amt = value;
}

void EvaluateModuleModulation(const cModMatrix& matrix, const float* controllers, cModuleModulation& sums)
{
    sums = {};
    float* const targets[cModMatrix::kDestCount - cModMatrix::kDestWaveShaper] = {sums.waveShaper, sums.chorus,
                                                                                  sums.delay, sums.send};
    for (int32_t row = cModMatrix::kSourcePad1X; row <= cModMatrix::kSourceKnob; ++row)
    {
        const int32_t dest = matrix.GetActiveDest(row);
        if (dest < cModMatrix::kDestWaveShaper)
            continue;
        const float value = FiniteOr0(controllers[row - 2]);
        const cModMatrixRow& r = matrix.rows[row];
        targets[dest - cModMatrix::kDestWaveShaper][r.Par] += value * float(r.Amt) * 0.01f;
    }
    for (float& sum : sums.waveShaper)
        sum = FiniteOr0(sum);
    for (float& sum : sums.chorus)
        sum = FiniteOr0(sum);
    for (float& sum : sums.delay)
        sum = FiniteOr0(sum);
    for (float& sum : sums.send)
        sum = FiniteOr0(sum);
}
