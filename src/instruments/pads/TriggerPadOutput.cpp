#include "instruments/pads/TriggerPadOutput.h"

#include <cmath>
#include <iterator>

#include "base/Serialise.h"
#include "instruments/pads/TriggerPadKeys.h"

namespace
{
const Base::cEnumEntry kTypeEntries[] = {
    {cTriggerPadFilterSettings::kTypeOff, "OFF"},
    {cTriggerPadFilterSettings::kTypeLowPass, "LP"},
    {cTriggerPadFilterSettings::kTypeBandPass, "BP"},
    {cTriggerPadFilterSettings::kTypeHighPass, "HP"},
};
const Base::cEnumTable kTypes = {kTypeEntries, int32_t(std::size(kTypeEntries))};

// A stored value replaces the field only when it is read whole and finite.
bool SerialiseFinite(Base::cSerialise& s, const char* key, float& field)
{
    float value = field;
    if (!TriggerPadKeys::SerialiseFloat(s, key, value))
        return false;
    field = value;
    return true;
}
} // namespace

bool cTriggerPadFilterSettings::Serialise(Base::cSerialise& s)
{
    bool ok = TriggerPadKeys::SerialiseInt(s, "Enable", enable);
    ok &= TriggerPadKeys::SerialiseLabel(s, "Type", type, kTypes);
    ok &= SerialiseFinite(s, "Cutoff", cutoff);
    ok &= SerialiseFinite(s, "Q", q);
    return ok;
}

bool cTriggerPadOutput::Serialise(Base::cSerialise& s)
{
    bool ok = SerialiseFinite(s, "Rev", rev);
    ok &= SerialiseFinite(s, "Del", del);
    ok &= filter.Serialise(s);
    if (filter.type == cTriggerPadFilterSettings::kTypeOff)
        filter.type = cTriggerPadFilterSettings::kTypeLowPass;
    return ok;
}

bool cTriggerPadOutput::SetFloat(int32_t parameter, float value)
{
    if (!std::isfinite(value))
        return false;
    switch (parameter)
    {
    case kParamRev:
        rev = value;
        break;
    case kParamDel:
        del = value;
        break;
    case kParamCutoff:
        filter.cutoff = value;
        break;
    case kParamQ:
        filter.q = value;
        break;
    default:
        break;
    }
    return true;
}

bool cTriggerPadOutput::SetInt(int32_t parameter, int32_t value)
{
    if (parameter == kParamEnable)
        filter.enable = value;
    else if (parameter == kParamType)
    {
        if (value < 0 || value >= cTriggerPadFilterSettings::kTypeCount)
            return false;
        filter.type = value;
    }
    return true;
}

float cTriggerPadOutput::GetFloat(int32_t parameter) const
{
    switch (parameter)
    {
    case kParamRev:
        return rev;
    case kParamDel:
        return del;
    case kParamCutoff:
        return filter.cutoff;
    case kParamQ:
        return filter.q;
    default:
        return 0.0f;
    }
}

int32_t cTriggerPadOutput::GetInt(int32_t parameter) const
{
    if (parameter == kParamEnable)
        return filter.enable;
    return parameter == kParamType ? filter.type : 0;
}
