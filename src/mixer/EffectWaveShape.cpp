#include "mixer/EffectWaveShape.h"

#include <algorithm>
#include <cmath>

#include "base/Serialise.h"

namespace
{
bool IsFloatField(uint32_t id) { return id >= cWaveShapeParams::kFieldDrive && id <= cWaveShapeParams::kFieldOut; }

bool IsIntField(uint32_t id) { return id <= cWaveShapeParams::kFieldShape; }

// The shapes run from "Soft" to "Lo-Fi"; there is no shape 0.
int32_t ClampShape(int32_t shape) { return std::clamp(shape, int32_t(cWaveShapeParams::kShapeSoft), int32_t(cWaveShapeParams::kShapeLoFi)); }

float StoredOr(float value, float old) { return std::isfinite(value) ? std::clamp(value, 0.0f, 1.0f) : old; }
} // namespace

cEffectWaveShape::cEffectWaveShape(cEffectPackage* package) : cEffect(package) { block.params = &params; }

float cEffectWaveShape::GetParamFloat(uint32_t id)
{
    return IsFloatField(id) ? params.GetParamFloat(int32_t(id)) : 0.0f;
}

int32_t cEffectWaveShape::GetParamInt(uint32_t id) { return IsIntField(id) ? params.GetParamInt(int32_t(id)) : 0; }

int32_t cEffectWaveShape::HandleEvent(const cAudioEvent& event)
{
    const uint32_t id = event.wordA;
    if (event.type == kAudioEventSetFloatParam && IsFloatField(id))
        params.SetParamFloat(int32_t(id), StoredOr(event.GetFloatValue(), params.GetParamFloat(int32_t(id))));
    else if (event.type == kAudioEventSetIntParam && id == cWaveShapeParams::kFieldEnable)
        params.Enable = event.GetIntValue();
    else if (event.type == kAudioEventSetIntParam && id == cWaveShapeParams::kFieldShape)
        params.Shape = ClampShape(event.GetIntValue());
    return 0;
}

int32_t cEffectWaveShape::Process(const cAudioProcessInfo& info, cAudioBuffer& buffer)
{
    return ProcessModulated(info, buffer, nullptr);
}

int32_t cEffectWaveShape::ProcessModulated(const cAudioProcessInfo& info, cAudioBuffer& buffer,
                                           const float* modulation)
{
    DrainEvents();
    block.Process(info, buffer, modulation);
    return 0;
}

bool cEffectWaveShape::Serialise(Base::cSerialise& serialise)
{
    const cWaveShapeParams old = params;
    params.Serialise(serialise);
    if (serialise.IsSaving())
        return true;
    params.Shape = ClampShape(params.Shape);
    params.Drive = StoredOr(params.Drive, old.Drive);
    params.Bright = StoredOr(params.Bright, old.Bright);
    params.Out = StoredOr(params.Out, old.Out);
    return true;
}

void cEffectWaveShape::Reset() { block.Reset(); }

void cEffectWaveShape::SetEnabled(bool enabled) { params.Enable = enabled ? 1 : 0; }

bool cEffectWaveShape::IsEnabled() const { return params.Enable != 0; }

cEffectWaveShapePackage::cEffectWaveShapePackage() : cEffectPackage("9TH HARBOR", "Waveshaper", "Waveshaper/Lo-Fi") {}

cEffect* cEffectWaveShapePackage::CreateEffect() { return new cEffectWaveShape(this); }
