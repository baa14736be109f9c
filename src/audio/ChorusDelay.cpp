#include "audio/ChorusDelay.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>

#include "audio/AudioBuffer.h"
#include "audio/AudioManager.h"
#include "audio/SafeValues.h"
#include "audio/SectionVersion.h"
#include "audio/Transport.h"
#include "base/File.h"
#include "base/Serialise.h"

// The chorus types read each line as a ring of 16384 samples at a delay that
// glides linearly, in 16.16 fixed point, from last block's target to this
// block's: x in 0..1 maps to 0.36 ms .. 46 ms. The LFOs sweep x around the
// base delay by the depth. The output is the delayed signal alone; owners mix
// it. The delay types echo at whole samples within the one-second line.

namespace
{
using Base::cEnumEntry;
using Base::cEnumTable;

const cEnumEntry kTypeEntries[] = {{0, "Chorus"}, {1, "Flanger"}, {2, "Delay"}, {3, "X-Delay"}};
const cEnumEntry kBeatTimeEntries[] = {{0, "1/16"}, {1, "1/8"}, {2, "1/8D"}, {3, "1/4"}, {4, "1/4D"}, {5, "1/2"}};
const cEnumTable kTypeTable = {kTypeEntries, 4};
const cEnumTable kBeatTimeTable = {kBeatTimeEntries, 6};

// Lengths of the beat times in bars of four beats.
constexpr float kBeatLengths[6] = {0.0625f, 0.125f, 0.1875f, 0.25f, 0.375f, 0.5f};
constexpr int32_t kRingMask = 0x3FFF;
constexpr int32_t kRingFrames = kRingMask + 1;
constexpr float kMinDelaySeconds = 0.00036f;
constexpr float kDelaySpanSeconds = 0.04564f;
constexpr float kFixedOne = 65536.0f;
constexpr float kFractionScale = 1.5259022e-05f; // 1 / 65535
constexpr float kMaxDelayFeedback = 0.9f;
// Rates outside this range are not audio rates; they keep the lines as they are.
constexpr float kMaxSampleRate = 1.0e6f;

float Pow(float x, float e)
{
    return std::pow(std::fmax(x, 0.0f), e);
}

int32_t LineFramesFor(float sampleRate, float seconds)
{
    return TruncClamped(sampleRate * seconds + 0.5f, 0.0f, 1.0e8f) + 4;
}
} // namespace

const cEnumTable& cChorusDelayParams::GetTypeNames() { return kTypeTable; }
const cEnumTable& cChorusDelayParams::GetBeatTimeNames() { return kBeatTimeTable; }

bool cChorusDelayParams::Serialise(Base::cSerialise& s)
{
    int32_t version = kVersion;
    s.SerialiseInt32("Version", &version, INT_MIN, INT_MAX);
    bool ok = s.SerialiseEnum("Type", &Type, &kTypeTable);
    ok &= s.SerialiseInt32("Enable", &Enable, INT_MIN, INT_MAX);
    ok &= s.SerialiseInt32("Sync", &Sync, INT_MIN, INT_MAX);
    ok &= s.SerialiseFloat("CRate", &CRate, -FLT_MAX, FLT_MAX);
    ok &= s.SerialiseFloat("CDelay", &CDelay, -FLT_MAX, FLT_MAX);
    ok &= s.SerialiseFloat("CDepth", &CDepth, -FLT_MAX, FLT_MAX);
    ok &= s.SerialiseFloat("CFeedback", &CFeedback, -FLT_MAX, FLT_MAX);
    ok &= s.SerialiseFloat("DTime", &DTime, -FLT_MAX, FLT_MAX);
    ok &= s.SerialiseEnum("DBeatTime", &DBeatTime, &kBeatTimeTable);
    ok &= s.SerialiseFloat("DFeedback", &DFeedback, -FLT_MAX, FLT_MAX);
    ok &= s.SerialiseFloat("DAmount", &DAmount, -FLT_MAX, FLT_MAX);
    return ok;
}

bool cChorusDelayParams::SerialiseBinary(File::cFile& stream)
{
    cChorusDelayParams r = *this;
    uint32_t version = 0;
    const bool ok = SerialiseSectionVersion(stream, kVersion, &version) && stream.SerialiseInt32(&r.Type) == 4 &&
                    stream.SerialiseInt32(&r.Enable) == 4 && stream.SerialiseInt32(&r.Sync) == 4 &&
                    stream.SerialiseFloat(&r.CRate) == 4 && stream.SerialiseFloat(&r.CDelay) == 4 &&
                    stream.SerialiseFloat(&r.CDepth) == 4 && stream.SerialiseFloat(&r.CFeedback) == 4 &&
                    stream.SerialiseFloat(&r.DTime) == 4 && stream.SerialiseInt32(&r.DBeatTime) == 4 &&
                    stream.SerialiseFloat(&r.DFeedback) == 4 && stream.SerialiseFloat(&r.DAmount) == 4;
    if (!ok)
        return false;
    if (stream.IsReading() && stream.GetLegacyPatchVersion() == 1)
    {
        r.DAmount *= 0.5f;
        r.CDelay = std::clamp(r.CDelay + 0.25f, 0.0f, 1.0f);
    }
    *this = r;
    return true;
}

float cChorusDelayParams::GetParamFloat(int32_t field) const
{
    switch (field)
    {
    case kFieldCRate:
        return Pow(CRate, 0.2f);
    case kFieldCDelay:
        return Pow(CDelay, 0.25f);
    case kFieldCDepth:
        return Pow(CDepth, 0.25f);
    case kFieldCFeedback:
        return CFeedback;
    case kFieldDTime:
        return Pow(DTime, 0.5f);
    case kFieldDFeedback:
        return DFeedback / 0.9f;
    case kFieldDAmount:
        return DAmount < 0.5f ? 0.5f * Pow(2.0f * DAmount, 0.4f) : DAmount;
    default:
        return 0.0f;
    }
}

void cChorusDelayParams::SetParamFloat(int32_t field, float v)
{
    switch (field)
    {
    case kFieldCRate:
        CRate = Pow(v, 5.0f);
        break;
    case kFieldCDelay:
        CDelay = Pow(v, 4.0f);
        break;
    case kFieldCDepth:
        CDepth = Pow(v, 4.0f);
        break;
    case kFieldCFeedback:
        CFeedback = v;
        break;
    case kFieldDTime:
        DTime = v * v;
        break;
    case kFieldDFeedback:
        DFeedback = 0.9f * v;
        break;
    case kFieldDAmount:
        DAmount = v < 0.5f ? 0.5f * Pow(2.0f * v, 2.5f) : v;
        break;
    default:
        break;
    }
}

int32_t cChorusDelayParams::GetParamInt(int32_t field) const
{
    switch (field)
    {
    case kFieldType:
        return Type;
    case kFieldEnable:
        return Enable;
    case kFieldSync:
        return Sync;
    case kFieldDBeatTime:
        return DBeatTime;
    default:
        return 0;
    }
}

void cChorusDelayParams::SetParamInt(int32_t field, int32_t value)
{
    switch (field)
    {
    case kFieldType:
        Type = value;
        break;
    case kFieldEnable:
        Enable = value;
        break;
    case kFieldSync:
        Sync = value;
        break;
    case kFieldDBeatTime:
        DBeatTime = value;
        break;
    default:
        break;
    }
}

cChorusDelay::cChorusDelay(float lineSeconds)
    : mSampleRate(cAudioManager::Get() ? cAudioManager::Get()->GetSettings().sampleRate : 44100.0f),
      mLineSeconds(lineSeconds)
{
    for (int c = 0; c < 2; ++c)
    {
        mLFOParams[c].Shape = cLFOParams::kShapeSine;
        mLFOParams[c].Sync = cLFOParams::kSyncOff;
        mLFO[c].params = &mLFOParams[c];
    }
    ResizeLines();
    Reset();
}

cChorusDelay::~cChorusDelay() = default;

bool cChorusDelay::ResizeLines()
{
    const int32_t frames = LineFramesFor(mSampleRate, mLineSeconds);
    // The chorus types index a fixed ring of 16384 samples in each line,
    // whatever the rate.
    const int32_t allocated = std::max(frames, kRingFrames);
    mLineFrames = frames;
    if (allocated == mAllocatedFrames)
        return false;
    for (auto& line : mLines)
        line.reset(new float[size_t(allocated)]);
    mAllocatedFrames = allocated;
    return true;
}

void cChorusDelay::Reset()
{
    mWrite[0] = mWrite[1] = 0;
    mChorusDelay[0] = mChorusDelay[1] = 0;
    mLFO[0].Trigger();
    mLFO[1].Trigger();
    for (auto& line : mLines)
        std::memset(line.get(), 0, size_t(mAllocatedFrames) * sizeof(float));
}

float cChorusDelay::Process(const cAudioProcessInfo& info, const cAudioBuffer& input, const cAudioBuffer& output,
                            const float* chorusSums, const float* delaySums)
{
    if (!params)
        return 1.0f;
    if (output.frames == 0 || input.frames < output.frames || input.channels < 2 || output.channels < 2 ||
        !input.data || !output.data)
        return mLevel;

    bool changed = false;
    const int32_t enable = params->Enable != 0;
    if (enable != mActive)
    {
        mActive = enable;
        changed = true;
    }
    if (params->Type != mCachedType)
    {
        mCachedType = params->Type;
        changed = true;
    }
    bool resized = false;
    if (info.sampleRate != mSampleRate && info.sampleRate > 0.0f && info.sampleRate <= kMaxSampleRate)
    {
        mSampleRate = info.sampleRate;
        resized = ResizeLines();
    }
    if (resized || changed)
        Reset();
    if (!mActive)
        return mLevel = 1.0f;

    switch (params->Type)
    {
    case cChorusDelayParams::kTypeChorus:
    case cChorusDelayParams::kTypeFlanger:
        mLevel = ProcessChorus(info, input, output, chorusSums);
        break;
    case cChorusDelayParams::kTypeDelay:
    case cChorusDelayParams::kTypeCrossDelay:
        ProcessDelay(output, delaySums);
        mLevel = 1.0f;
        break;
    default:
        mLevel = 1.0f;
        break;
    }
    return mLevel;
}

float cChorusDelay::ProcessChorus(const cAudioProcessInfo& info, const cAudioBuffer& input, const cAudioBuffer& output,
                                  const float* sums)
{
    const float delayMod = sums ? FiniteOr0(sums[0]) : 0.0f;
    const float rateMod = sums ? FiniteOr0(sums[1]) : 0.0f;
    const float depthMod = sums ? FiniteOr0(sums[2]) : 0.0f;
    const float feedbackMod = sums ? FiniteOr0(sums[3]) : 0.0f;
    const float rate = FiniteOr0(FiniteOr0(params->CRate) + rateMod * rateMod * rateMod);
    const float depth = FiniteOr0(FiniteOr0(params->CDepth) + depthMod * depthMod * depthMod * depthMod);
    const float feedback = FiniteOr0(params->CFeedback) + feedbackMod;
    const float base = FiniteOr0(params->CDelay) + delayMod;

    const float r = ClampFloat(rate, 0.0f, 1.0f);
    const float depthEff = ClampFloat((1.0f - 0.01f * r) * depth * 0.5f, 0.0f, 0.5f);
    const float dt = FiniteOr0(info.duration);
    float x[2];
    float fb;
    float level = 1.0f;
    if (params->Type == cChorusDelayParams::kTypeFlanger)
    {
        mLFOParams[0].Rate = 10.0f * r;
        fb = ClampFloat(-0.8f - 0.18f * feedback, -0.98f, 0.0f);
        const float sweep = mLFO[0].Process(nullptr, dt);
        x[0] = x[1] = ClampFloat(sweep * depthEff + (1.0f - depthEff) * base, 0.0f, 1.0f);
        level = 0.75f - 0.25f * std::fabs(fb);
    }
    else
    {
        mLFOParams[0].Rate = 8.0f * r;
        mLFOParams[1].Rate = 12.0f * r;
        fb = ClampFloat(0.8f * feedback, 0.0f, 0.8f);
        for (int c = 0; c < 2; ++c)
            x[c] = ClampFloat(mLFO[c].Process(nullptr, dt) * depthEff + (1.0f - depthEff) * base, 0.0f, 1.0f);
    }

    const int32_t frames = int32_t(output.frames);
    const float maxDelay = float(kRingMask) * kFixedOne;
    for (int c = 0; c < 2; ++c)
    {
        const int32_t target =
            TruncClamped((x[c] * kDelaySpanSeconds + kMinDelaySeconds) * mSampleRate * kFixedOne, 0.0f, maxDelay);
        const int32_t step = (target - mChorusDelay[c]) / frames;
        float* line = mLines[c].get();
        int32_t current = mChorusDelay[c];
        int32_t w = mWrite[c] & kRingMask;
        const float* in = input.Floats() + c;
        float* out = output.Floats() + c;
        for (int32_t i = 0; i < frames; ++i, in += input.channels, out += output.channels)
        {
            current += step;
            w = (w + 1) & kRingMask;
            const int32_t read = w - (current >> 16);
            const float a = line[read & kRingMask];
            const float b = line[(read - 1) & kRingMask];
            const float y = a + (b - a) * float(current & 0xFFFF) * kFractionScale;
            line[w] = FlushDenormal(y * fb + *in);
            *out = y;
        }
        mChorusDelay[c] = current;
        mWrite[c] = w;
    }
    return level;
}

int32_t cChorusDelay::DelayFrames(const float* sums) const
{
    const float timeMod = sums ? FiniteOr0(sums[0]) : 0.0f;
    const float len = float(mLineFrames);
    if (params->Sync == 0)
    {
        // The offset is squared, so it always lengthens.
        const float t = FiniteOr0(params->DTime) + timeMod * timeMod;
        return TruncClamped(len * t + 0.5f, 0.0f, len);
    }
    const float beatsPerSecond = FiniteOr0(gTransport.tempo.load(std::memory_order_relaxed)) / 60.0f;
    if (!(beatsPerSecond >= 1e-6f))
        return mLineFrames - 1;
    const float step = std::trunc(ClampFloat(5.0f * timeMod, -10.0f, 10.0f));
    const int32_t index = TruncClamped(float(params->DBeatTime) + step, 0.0f, 5.0f);
    int32_t d = TruncClamped(kBeatLengths[index] * 4.0f / beatsPerSecond * mSampleRate + 0.5f, 0.0f, 1.0e9f);
    while (d > mLineFrames - 1)
        d >>= 1;
    return d;
}

void cChorusDelay::ProcessDelay(const cAudioBuffer& buffer, const float* sums)
{
    const int32_t len = mLineFrames;
    const int32_t left = std::clamp(DelayFrames(sums), 1, len - 1);
    const bool cross = params->Type == cChorusDelayParams::kTypeCrossDelay;
    const int32_t right = cross ? std::clamp(left >> 1, 1, len - 1) : left;

    const float feedbackMod = sums ? FiniteOr0(sums[1]) : 0.0f;
    const float amountMod = sums ? FiniteOr0(sums[2]) : 0.0f;
    // The knob ranges: feedback above 1 would grow the lines without bound.
    const float fb = ClampFloat(FiniteOr0(params->DFeedback) + 0.9f * feedbackMod, 0.0f, kMaxDelayFeedback);
    const float amount = ClampFloat(FiniteOr0(params->DAmount) + amountMod, 0.0f, 1.0f);
    const float straight = cross ? 0.0f : fb;
    const float crossed = cross ? fb : 0.0f;
    const float wet = amount <= 0.5f ? 2.0f * amount : 1.0f;
    const float dry = amount <= 0.5f ? 1.0f : 2.0f * (1.0f - amount);

    int32_t wL = mWrite[0] % len, wR = mWrite[1] % len;
    int32_t rL = wL - left, rR = wR - right;
    rL += rL < 0 ? len : 0;
    rR += rR < 0 ? len : 0;
    float* lineL = mLines[0].get();
    float* lineR = mLines[1].get();
    float* frame = buffer.Floats();
    for (uint32_t i = 0; i < buffer.frames; ++i, frame += buffer.channels)
    {
        const float yL = lineL[rL], yR = lineR[rR];
        const float inL = frame[0], inR = frame[1];
        lineL[wL] = FlushDenormal(yL * straight + inL + yR * crossed);
        lineR[wR] = FlushDenormal(yR * straight + inR + yL * crossed);
        frame[0] = FlushDenormal(yL * wet + inL * dry);
        frame[1] = FlushDenormal(yR * wet + inR * dry);
        if (++wL == len)
            wL = 0;
        if (++wR == len)
            wR = 0;
        if (++rL == len)
            rL = 0;
        if (++rR == len)
            rR = 0;
    }
    mWrite[0] = wL;
    mWrite[1] = wR;
}
