#include "instruments/pads/TriggerPadData.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "base/PathUtils.h"
#include "base/Serialise.h"
#include "instruments/pads/TriggerPadKeys.h"
#include "project/SampleRelocator.h"

namespace
{
const Base::cEnumEntry kDirectionEntries[] = {
    {cTriggerPadData::kDirectionForward, "Forward"},
    {cTriggerPadData::kDirectionReverse, "Reverse"},
    {cTriggerPadData::kDirectionForwardReverse, "Fwd-Rev"},
    {cTriggerPadData::kDirectionReverseForward, "Rev-Fwd"},
};
const Base::cEnumEntry kTriggerModeEntries[] = {
    {cTriggerPadData::kTrigger, "Trigger"},
    {cTriggerPadData::kHold, "Hold"},
    {cTriggerPadData::kLoop, "Loop"},
};
const Base::cEnumTable kDirections = {kDirectionEntries, int32_t(std::size(kDirectionEntries))};
const Base::cEnumTable kTriggerModes = {kTriggerModeEntries, int32_t(std::size(kTriggerModeEntries))};

constexpr uint32_t kDefaultEnvelopeFlags = cEnvelopeParams::kFlagCurvedDecay | cEnvelopeParams::kFlagCurvedRelease;

bool InList(int32_t value, int32_t count) { return value >= 0 && value < count; }
} // namespace

cTriggerPadData::cTriggerPadData() { Reset(); }

void cTriggerPadData::Reset()
{
    volume = 0.5f;
    pan = 0.5f;
    transpose = 0;
    fineTune = 0;
    bus = 0;
    chokeGroup = 0;
    start = 0;
    end = 0;
    direction = kDirectionForward;
    triggerMode = kTrigger;
    ampEnvelope = cEnvelopeParams();
    ampEnvelope.Flags = kDefaultEnvelopeFlags;
    samplePath.AssignCStr("");
    name.AssignCStr("");
}

void cTriggerPadData::UpdateName()
{
    cGenStringFixed<260> fileName(samplePath);
    PathStripToFileName(fileName);
    PathRemoveExtension(fileName);
    name.Assign(fileName);
}

bool cTriggerPadData::SetFloat(int32_t parameter, float value)
{
    if (!std::isfinite(value))
        return false;
    switch (parameter)
    {
    case kParamVolume:
        volume = value;
        break;
    case kParamPan:
        pan = value;
        break;
    case kParamAttack:
        ampEnvelope.A = value;
        break;
    case kParamRelease:
        ampEnvelope.R = value;
        break;
    default:
        break;
    }
    return true;
}

float cTriggerPadData::GetFloat(int32_t parameter) const
{
    switch (parameter)
    {
    case kParamVolume:
        return volume;
    case kParamPan:
        return pan;
    case kParamAttack:
        return ampEnvelope.A;
    case kParamRelease:
        return ampEnvelope.R;
    default:
        return 0.0f;
    }
}

bool cTriggerPadData::SetInt(int32_t parameter, int32_t value)
{
    switch (parameter)
    {
    case kParamTranspose:
        transpose = std::clamp(value, -kTransposeLimit, kTransposeLimit);
        return true;
    case kParamFineTune:
        fineTune = std::clamp(value, -kFineTuneLimit, kFineTuneLimit);
        return true;
    case kParamBus:
        if (!InList(value, kBusCount))
            return false;
        bus = value;
        return true;
    case kParamChokeGroup:
        chokeGroup = value;
        return true;
    case kParamStart:
        start = value;
        return true;
    case kParamEnd:
        end = value;
        return true;
    case kParamDirection:
        if (!InList(value, kDirectionCount))
            return false;
        direction = value;
        return true;
    case kParamTriggerMode:
        if (!InList(value, kTriggerModeCount))
            return false;
        triggerMode = value;
        return true;
    default:
        return true;
    }
}

int32_t cTriggerPadData::GetInt(int32_t parameter) const
{
    switch (parameter)
    {
    case kParamTranspose:
        return transpose;
    case kParamFineTune:
        return fineTune;
    case kParamBus:
        return bus;
    case kParamChokeGroup:
        return chokeGroup;
    case kParamStart:
        return start;
    case kParamEnd:
        return end;
    case kParamDirection:
        return direction;
    case kParamTriggerMode:
        return triggerMode;
    default:
        return 0;
    }
}

bool cTriggerPadData::Serialise(Base::cSerialise& s, cSampleRelocator* relocator)
{
    bool ok = SerialisePath(s, relocator);
    ok &= SerialiseFloatKey(s, "Vol", kParamVolume);
    ok &= SerialiseFloatKey(s, "Pan", kParamPan);
    ok &= SerialiseIntKey(s, "Tps", kParamTranspose);
    ok &= SerialiseIntKey(s, "Pit", kParamFineTune);
    ok &= SerialiseIntKey(s, "Bus", kParamBus);
    ok &= SerialiseIntKey(s, "Grp", kParamChokeGroup);
    ok &= SerialiseIntKey(s, "Sta", kParamStart);
    ok &= SerialiseIntKey(s, "End", kParamEnd);
    ok &= SerialiseLabelKey(s, "Dir", kParamDirection, kDirections);
    ok &= SerialiseLabelKey(s, "Vrx", kParamTriggerMode, kTriggerModes);
    ok &= SerialiseEnvelope(s);
    if (!s.IsSaving())
        UpdateName();
    return ok;
}

// Writers store the relocated path; the record adopts it unless the
// relocator keeps the old ones. Readers accept only paths that stay inside
// the documents: "\" is read as "/", and a ".." part refuses the path.
bool cTriggerPadData::SerialisePath(Base::cSerialise& s, cSampleRelocator* relocator)
{
    cGenStringFixed<260> stored(samplePath);
    if (s.IsSaving())
    {
        if (relocator)
        {
            relocator->Relocate(stored);
            if (!relocator->KeepsPaths())
                samplePath.Assign(stored);
            relocator->MakeRelative(stored);
        }
        return s.SerialiseText("Nam", &stored);
    }
    if (!s.SerialiseText("Nam", &stored))
        return true;
    PathToForwardSlashes(stored);
    if (PathHasParentPart(stored))
    {
        samplePath.AssignCStr("");
        return false;
    }
    if (relocator)
        relocator->MakeAbsolute(stored);
    samplePath.Assign(stored);
    return true;
}

bool cTriggerPadData::SerialiseIntKey(Base::cSerialise& s, const char* key, int32_t parameter)
{
    int32_t value = GetInt(parameter);
    if (!TriggerPadKeys::SerialiseInt(s, key, value))
        return false;
    return s.IsSaving() || SetInt(parameter, value);
}

bool cTriggerPadData::SerialiseFloatKey(Base::cSerialise& s, const char* key, int32_t parameter)
{
    float value = GetFloat(parameter);
    if (!TriggerPadKeys::SerialiseFloat(s, key, value))
        return false;
    return s.IsSaving() || SetFloat(parameter, value);
}

bool cTriggerPadData::SerialiseLabelKey(Base::cSerialise& s, const char* key, int32_t parameter,
                                        const Base::cEnumTable& labels)
{
    int32_t value = GetInt(parameter);
    if (!TriggerPadKeys::SerialiseLabel(s, key, value, labels))
        return false;
    return s.IsSaving() || SetInt(parameter, value);
}

// An absent "AmpEnv" keeps the envelope; one read whole replaces it.
bool cTriggerPadData::SerialiseEnvelope(Base::cSerialise& s)
{
    if (!s.BeginNode("AmpEnv", true))
        return true;
    cEnvelopeParams read = ampEnvelope;
    const bool ok = read.Serialise(s);
    s.EndNode("AmpEnv");
    ampEnvelope = read;
    return ok || !s.IsSaving();
}
