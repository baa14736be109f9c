#include "audio/WaveShaper.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>

#include "audio/AudioBuffer.h"
#include "audio/SafeValues.h"
#include "audio/SectionVersion.h"
#include "base/FastMath.h"
#include "base/File.h"
#include "base/Serialise.h"

// Each curve maps the ramp -1..1 through a shaping function with a fixed
// amount of 0.75 and is then normalised, positive and negative halves apart,
// so every table spans exactly -1..1. Processing scales the input so that
// full scale reaches about +-81.8 table points at the lowest drive and +-818
// at the highest (input level 0.8), and reads with linear interpolation.

namespace
{
using Base::cEnumEntry;
using Base::cEnumTable;

const cEnumEntry kShapeEntries[] = {{1, "Soft"},  {2, "Hard"},    {3, "Hollow"}, {4, "Zingy"},
                                    {5, "Spiky"}, {6, "EQ Only"}, {7, "Lo-Fi"}};
const cEnumTable kShapeTable = {kShapeEntries, 7};

constexpr int32_t kRampSteps = 1024;
constexpr int32_t kCentre = 512;
constexpr float kCurveAmount = 0.75f;
constexpr float kGoldenRatio = 1.618034f;
constexpr float kMinDrive = 0.1f;
constexpr float kToneCutoffHz = 1000.0f;
constexpr float kToneRangeDb = 30.0f;
// Inputs this far out clamp to the table's ends whatever the fraction, and
// convert to an index safely.
constexpr float kIndexLimit = 1.0e6f;

float* sTables = nullptr;

float SoftCurve(float v)
{
    const float a5 = std::pow(kCurveAmount, 5.0f);
    const float e = 80.0f * a5 + 0.0001f;
    const float norm = e > 10.0f ? 0.5f : 0.5f - 1.0f / (std::exp(e) + 1.0f);
    return (0.5f - 1.0f / (std::exp(std::clamp(v * e, -10.0f, 10.0f)) + 1.0f)) / norm;
}

float HardCurve(float v)
{
    const float t = std::exp2(-8.0f * kCurveAmount * kCurveAmount);
    if (std::fabs(v) > t)
        return v > 0.0f ? 1.0f : -1.0f;
    return v / t;
}

float FoldAmount()
{
    return 32.0f * kCurveAmount * kCurveAmount * kCurveAmount + 0.0001f;
}

float HollowCurve(float v)
{
    const float c = FoldAmount();
    const float s = c < 1.57f ? std::sin(c) : 1.0f;
    return FastSin(v * c) / s;
}

float ZingyCurve(float v)
{
    const float c = FoldAmount();
    const float s = c < 1.0f ? std::sin(c) : 1.0f;
    return std::asin(std::clamp(FastSin(v * c), -1.0f, 1.0f)) / s;
}

float SpikyCurve(float v)
{
    const float c = 16.0f * kCurveAmount * kCurveAmount * kCurveAmount + 0.0001f;
    const float b = c < 1.0f ? (c + 1.0f) * c * 0.5f : 1.0f;
    const float z = v * c;
    if (z > -1.0f && z < kGoldenRatio)
        return (1.0f - z) * z / b;
    return z <= 0.0f ? -2.0f : -1.0f;
}

float ApplyCurve(int32_t curve, float v)
{
    switch (curve)
    {
    case cWaveShapeParams::kShapeSoft:
        return SoftCurve(v);
    case cWaveShapeParams::kShapeHard:
        return HardCurve(v);
    case cWaveShapeParams::kShapeHollow:
        return HollowCurve(v);
    case cWaveShapeParams::kShapeZingy:
        return ZingyCurve(v);
    case cWaveShapeParams::kShapeSpiky:
        return SpikyCurve(v);
    default:
        return v;
    }
}

void Normalise(float* table)
{
    const auto [lowest, highest] = std::minmax_element(table, table + kShapeTablePoints);
    const float positive = *highest <= 1e-6f ? 0.0f : 1.0f / *highest;
    const float negative = *lowest >= -1e-6f ? 0.0f : -1.0f / *lowest;
    for (int32_t i = 0; i < kShapeTablePoints; ++i)
        table[i] *= table[i] > 0.0f ? positive : negative;
}

float* TableOf(int32_t index)
{
    return sTables + index * kShapeTablePoints;
}

// The table read at x points from its centre, with linear interpolation.
float ShapeSample(const float* table, float x)
{
    x = ClampFloat(x, -kIndexLimit, kIndexLimit);
    const int32_t k = int32_t(x);
    const int32_t index = std::clamp(k + kCentre, 0, kRampSteps - 1);
    const float f = x - float(k);
    return table[index] + (table[index + 1] - table[index]) * f;
}

// A gain moving linearly across a block: frame 0 takes the previous value.
// Kept in locals, as the frame stores could otherwise alias the members
// they come from, which would then be read again every frame.
struct cGainRamp
{
    float start, step;

    cGainRamp(float previous, float next, uint32_t frames) : start(previous), step((next - previous) / float(frames)) {}
    float At(float position) const { return start + step * position; }
};

bool IsShaped(int32_t shape)
{
    return shape >= cWaveShapeParams::kShapeSoft && shape <= cWaveShapeParams::kShapeSpiky;
}
} // namespace

void BuildShapeTables()
{
    if (sTables)
        return;
    sTables = new float[kShapeTableCount * kShapeTablePoints];
    float* ramp = TableOf(0);
    for (int32_t i = 0; i < kRampSteps; ++i)
        ramp[i] = float(i) / float(kRampSteps) * 2.0f - 1.0f;
    ramp[kRampSteps] = ramp[kRampSteps - 1];
    for (int32_t k = 1; k < kShapeTableCount; ++k)
    {
        float* table = TableOf(k);
        for (int32_t i = 0; i < kShapeTablePoints; ++i)
            table[i] = ApplyCurve(k, ramp[i]);
        Normalise(table);
    }
}

void FreeShapeTables()
{
    delete[] sTables;
    sTables = nullptr;
}

const float* GetShapeTable(int32_t index)
{
    if (!sTables || index < 0 || index >= kShapeTableCount)
        return nullptr;
    return TableOf(index);
}

const cEnumTable& cWaveShapeParams::GetShapeNames() { return kShapeTable; }

bool cWaveShapeParams::Serialise(Base::cSerialise& s)
{
    int32_t version = kVersion;
    s.SerialiseInt32("Version", &version, INT_MIN, INT_MAX);
    bool ok = s.SerialiseInt32("Enable", &Enable, INT_MIN, INT_MAX);
    ok &= s.SerialiseEnum("Shape", &Shape, &kShapeTable);
    ok &= s.SerialiseFloat("Drive", &Drive, -FLT_MAX, FLT_MAX);
    ok &= s.SerialiseFloat("Bright", &Bright, -FLT_MAX, FLT_MAX);
    ok &= s.SerialiseFloat("Out", &Out, -FLT_MAX, FLT_MAX);
    return ok;
}

bool cWaveShapeParams::SerialiseBinary(File::cFile& stream)
{
    cWaveShapeParams record = *this;
    uint32_t version = 0;
    const bool ok = SerialiseSectionVersion(stream, kVersion, &version) && stream.SerialiseInt32(&record.Enable) == 4 &&
                    stream.SerialiseInt32(&record.Shape) == 4 && stream.SerialiseFloat(&record.Drive) == 4 &&
                    stream.SerialiseFloat(&record.Bright) == 4 && stream.SerialiseFloat(&record.Out) == 4;
    if (ok)
        *this = record;
    return ok;
}

float cWaveShapeParams::GetParamFloat(int32_t field) const
{
    switch (field)
    {
    case kFieldDrive:
        return Drive;
    case kFieldBright:
        return Bright;
    case kFieldOut:
        return Out;
    default:
        return 0.0f;
    }
}

void cWaveShapeParams::SetParamFloat(int32_t field, float value)
{
    if (field == kFieldDrive)
        Drive = value;
    else if (field == kFieldBright)
        Bright = value;
    else if (field == kFieldOut)
        Out = value;
}

int32_t cWaveShapeParams::GetParamInt(int32_t field) const
{
    if (field == kFieldEnable)
        return Enable;
    return field == kFieldShape ? Shape : 0;
}

void cWaveShapeParams::SetParamInt(int32_t field, int32_t value)
{
    if (field == kFieldEnable)
        Enable = value;
    else if (field == kFieldShape)
        Shape = value;
}

cWaveShaper::cWaveShaper()
{
    mCrusherParams.Enable = 1;
    mCrusher.params = &mCrusherParams;
}

void cWaveShaper::Reset()
{
    mTone[0].ClearHistory();
    mTone[1].ClearHistory();
    mLastBright = -1.0f;
    mFirstBlock = 1;
    mCrusher.Reset();
}

void cWaveShaper::Process(const cAudioProcessInfo& info, const cAudioBuffer& buffer, const float* modulation)
{
    if (!params || params->Enable == 0 || buffer.frames == 0 || !buffer.data)
        return;
    const float driveOffset = modulation ? FiniteOr0(modulation[0]) : 0.0f;
    const float brightOffset = modulation ? FiniteOr0(modulation[1]) : 0.0f;
    const float outOffset = modulation ? FiniteOr0(modulation[2]) : 0.0f;
    const float drive = ClampFloat(FiniteOr0(params->Drive) + driveOffset, 0.0f, 1.0f);
    const float bright = ClampFloat(FiniteOr0(params->Bright) + brightOffset, 0.0f, 1.0f);
    DesignTone(info, bright);

    // A shape outside the list acts as "EQ Only".
    const int32_t shape = params->Shape;
    const float* table = IsShaped(shape) ? GetShapeTable(shape) : nullptr;
    if (table)
    {
        const float d = std::max(drive, kMinDrive);
        // Out beyond its knob range would only overflow the tone filter.
        const float out = ClampFloat(FiniteOr0(params->Out), 0.0f, 1.0f);
        const float gainIn = inputLevel * d * float(kRampSteps - 1);
        const float gainOut =
            (out * 0.6f + 0.4f) * outputLevel * (1.0f - 0.3f * d) * (1.0f - 0.8f * std::fabs(0.5f - bright));
        Shape(buffer, table, gainIn, gainOut);
        return;
    }
    if (shape == cWaveShapeParams::kShapeLoFi)
        Crush(buffer, drive, FiniteOr0(params->Out) + outOffset);
    RunTone(buffer);
}

void cWaveShaper::Crush(const cAudioBuffer& buffer, float drive, float out)
{
    mCrusherParams.Bits = 1.0f - drive;
    mCrusherParams.Freq = 1.0f - out;
    mCrusher.Process(buffer);
}

// The shaping and the tone filter run in one pass: the filter's feedback
// chain then overlaps the table reads of the next frame.
void cWaveShaper::ShapeAndToneStereo(const cAudioBuffer& buffer, const float* table, float gainIn, float gainOut)
{
    const cGainRamp rampIn(mPreviousGainIn, gainIn, buffer.frames);
    const cGainRamp rampOut(mPreviousGainOut, gainOut, buffer.frames);
    const uint32_t stride = buffer.channels;
    // The frame index as a float, exact far beyond any block length.
    float position = 0.0f;
    float* frame = buffer.Floats();
    // Left and right side by side in the low lanes of one vector.
    cBiquad* sections[2] = {&mTone[0], &mTone[1]};
    cBiquadLanes tone(sections, 2);
    for (uint32_t i = 0; i < buffer.frames; ++i, frame += stride, position += 1.0f)
    {
        const float in = rampIn.At(position);
        const float out = rampOut.At(position);
        const float left = ShapeSample(table, frame[0] * in) * out;
        const float right = ShapeSample(table, frame[1] * in) * out;
        const cBiquadLanes::tLanes y = tone.Step(cBiquadLanes::tLanes{left, right, 0.0f, 0.0f});
        frame[0] = y[0];
        frame[1] = y[1];
    }
    tone.Store(sections, 2);
}

void cWaveShaper::ShapeAndToneMono(const cAudioBuffer& buffer, const float* table, float gainIn, float gainOut)
{
    const cGainRamp rampIn(mPreviousGainIn, gainIn, buffer.frames);
    const cGainRamp rampOut(mPreviousGainOut, gainOut, buffer.frames);
    cBiquad* section = &mTone[0];
    cBiquadLanes left(&section, 1);
    float* frame = buffer.Floats();
    const uint32_t stride = buffer.channels;
    // The frame index as a float, exact far beyond any block length.
    float position = 0.0f;
    for (uint32_t i = 0; i < buffer.frames; ++i, frame += stride, position += 1.0f)
    {
        const float in = rampIn.At(position);
        const float out = rampOut.At(position);
        frame[0] = left.Step(cBiquadLanes::tLanes{ShapeSample(table, frame[0] * in) * out})[0];
    }
    left.Store(&section, 1);
}

void cWaveShaper::Shape(const cAudioBuffer& buffer, const float* table, float gainIn, float gainOut)
{
    if (mFirstBlock)
    {
        mPreviousGainIn = gainIn;
        mPreviousGainOut = gainOut;
    }
    if (buffer.channels >= 2)
        ShapeAndToneStereo(buffer, table, gainIn, gainOut);
    else
        ShapeAndToneMono(buffer, table, gainIn, gainOut);
    mPreviousGainIn = gainIn;
    mPreviousGainOut = gainOut;
    mFirstBlock = 0;
}

void cWaveShaper::ProcessTone(const cAudioProcessInfo& info, const cAudioBuffer& buffer, float bright)
{
    DesignTone(info, bright);
    RunTone(buffer);
}

void cWaveShaper::DesignTone(const cAudioProcessInfo& info, float bright)
{
    if (bright == mLastBright && info.sampleRate == mLastSampleRate)
        return;
    mLastBright = bright;
    mLastSampleRate = info.sampleRate;
    const float cutoff = kToneCutoffHz * info.secondsPerSample;
    if (bright > 0.5f)
        mTone[0].SetHighShelf(cutoff, (bright - 0.5f) * kToneRangeDb, 1.0f);
    else
        mTone[0].SetLowShelf(cutoff, (0.5f - bright) * kToneRangeDb, 1.0f);
    mTone[1].CopySettings(mTone[0]);
}

void cWaveShaper::RunTone(const cAudioBuffer& buffer)
{
    cBiquad* sections[2] = {&mTone[0], &mTone[1]};
    ProcessBiquadChannels(buffer, sections, 2);
}
