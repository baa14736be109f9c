#include "mixer/EffectChorusDelay.h"

#include <algorithm>
#include <cmath>

#include "base/Serialise.h"

namespace
{
constexpr int32_t kTypeCount = 4;
constexpr int32_t kBeatTimeCount = 6;

bool IsFloatField(uint32_t id)
{
    return (id >= cChorusDelayParams::kFieldCRate && id <= cChorusDelayParams::kFieldDTime) ||
           id == cChorusDelayParams::kFieldDFeedback || id == cChorusDelayParams::kFieldDAmount;
}

bool IsIntField(uint32_t id)
{
    return id <= cChorusDelayParams::kFieldSync || id == cChorusDelayParams::kFieldDBeatTime;
}

// An enumeration number no entry has keeps the value it replaces.
bool IsKnownInt(uint32_t id, int32_t value)
{
    if (id == cChorusDelayParams::kFieldType)
        return value >= 0 && value < kTypeCount;
    if (id == cChorusDelayParams::kFieldDBeatTime)
        return value >= 0 && value < kBeatTimeCount;
    return true;
}

float StoredOr(float value, float old) { return std::isfinite(value) ? std::clamp(value, 0.0f, 1.0f) : old; }
} // namespace

cEffectChorusDelay::cEffectChorusDelay(cEffectPackage* package) : cEffect(package), block(kLineSeconds)
{
    block.params = &params;
}

float cEffectChorusDelay::GetParamFloat(uint32_t id)
{
    return IsFloatField(id) ? params.GetParamFloat(int32_t(id)) : 0.0f;
}

int32_t cEffectChorusDelay::GetParamInt(uint32_t id) { return IsIntField(id) ? params.GetParamInt(int32_t(id)) : 0; }

int32_t cEffectChorusDelay::HandleEvent(const cAudioEvent& event)
{
    const uint32_t id = event.wordA;
    if (event.type == kAudioEventSetFloatParam && IsFloatField(id))
    {
        // Control positions live in 0..1.
        const float x = event.GetFloatValue();
        if (std::isfinite(x))
            params.SetParamFloat(int32_t(id), std::clamp(x, 0.0f, 1.0f));
    }
    else if (event.type == kAudioEventSetIntParam && IsIntField(id) && IsKnownInt(id, event.GetIntValue()))
        params.SetParamInt(int32_t(id), event.GetIntValue());
    return 0;
}

int32_t cEffectChorusDelay::Process(const cAudioProcessInfo& info, cAudioBuffer& buffer)
{
    DrainEvents();
    block.Process(info, buffer, buffer, nullptr, nullptr);
    return 0;
}

int32_t cEffectChorusDelay::ProcessInOut(const cAudioProcessInfo& info, cAudioBuffer& input, cAudioBuffer& output)
{
    DrainEvents();
    block.Process(info, input, output, nullptr, nullptr);
    return 0;
}

// Stored values that are not numbers, lie outside 0..1 or name no entry of
// their list keep the value they would replace.
bool cEffectChorusDelay::Serialise(Base::cSerialise& serialise)
{
    const cChorusDelayParams old = params;
    params.Serialise(serialise);
    if (serialise.IsSaving())
        return true;
    if (!IsKnownInt(cChorusDelayParams::kFieldType, params.Type))
        params.Type = old.Type;
    if (!IsKnownInt(cChorusDelayParams::kFieldDBeatTime, params.DBeatTime))
        params.DBeatTime = old.DBeatTime;
    for (float cChorusDelayParams::*field :
         {&cChorusDelayParams::CRate, &cChorusDelayParams::CDelay, &cChorusDelayParams::CDepth,
          &cChorusDelayParams::CFeedback, &cChorusDelayParams::DTime, &cChorusDelayParams::DFeedback,
          &cChorusDelayParams::DAmount})
        params.*field = StoredOr(params.*field, old.*field);
    return true;
}

void cEffectChorusDelay::Reset() { block.Reset(); }

void cEffectChorusDelay::SetEnabled(bool enabled) { params.Enable = enabled ? 1 : 0; }

bool cEffectChorusDelay::IsEnabled() const { return params.Enable != 0; }

cEffectChorusDelayPackage::cEffectChorusDelayPackage() : cEffectPackage("VELTRIX", "Delay", "Delay/Chorus/Flanger") {}

cEffect* cEffectChorusDelayPackage::CreateEffect() { return new cEffectChorusDelay(this); }
