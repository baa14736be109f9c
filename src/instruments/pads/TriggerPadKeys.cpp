#include "instruments/pads/TriggerPadKeys.h"

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdlib>

#include "base/GenString.h"
#include "base/Serialise.h"

namespace
{
enum class eKey
{
    kMissing,
    kPresent,
};

eKey ReadText(Base::cSerialise& s, const char* key, cGenString& text)
{
    return s.SerialiseText(key, &text) ? eKey::kPresent : eKey::kMissing;
}

// A decimal integer with an optional sign and nothing after it.
bool ParseWhole(const char* text, long long low, long long high, long long& out)
{
    const char* digits = text + (*text == '-' || *text == '+' ? 1 : 0);
    if (*digits < '0' || *digits > '9')
        return false;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    if (errno != 0 || *end != 0 || value < low || value > high)
        return false;
    out = value;
    return true;
}

bool ParseFinite(const char* text, float& out)
{
    if (*text == 0)
        return false;
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (*end != 0 || !std::isfinite(value) || std::fabs(value) > double(FLT_MAX))
        return false;
    out = float(value);
    return true;
}
} // namespace

namespace TriggerPadKeys
{
bool SerialiseInt(Base::cSerialise& s, const char* key, int32_t& value)
{
    if (s.IsSaving())
        return s.SerialiseInt32(key, &value, INT32_MIN, INT32_MAX);
    cGenString text;
    long long read = 0;
    if (ReadText(s, key, text) == eKey::kMissing)
        return true;
    if (!ParseWhole(text.CStr(), INT32_MIN, INT32_MAX, read))
        return false;
    value = int32_t(read);
    return true;
}

bool SerialiseUInt(Base::cSerialise& s, const char* key, uint32_t& value)
{
    if (s.IsSaving())
        return s.SerialiseUInt32(key, &value, 0, UINT32_MAX);
    cGenString text;
    long long read = 0;
    if (ReadText(s, key, text) == eKey::kMissing)
        return true;
    if (!ParseWhole(text.CStr(), 0, UINT32_MAX, read))
        return false;
    value = uint32_t(read);
    return true;
}

bool SerialiseFloat(Base::cSerialise& s, const char* key, float& value)
{
    if (s.IsSaving())
        return s.SerialiseFloat(key, &value, -FLT_MAX, FLT_MAX);
    cGenString text;
    if (ReadText(s, key, text) == eKey::kMissing)
        return true;
    return ParseFinite(text.CStr(), value);
}

bool SerialiseLabel(Base::cSerialise& s, const char* key, int32_t& value, const Base::cEnumTable& labels)
{
    if (s.IsSaving())
        return s.SerialiseEnum(key, &value, &labels);
    cGenString text;
    if (ReadText(s, key, text) == eKey::kMissing)
        return true;
    long long number = 0;
    const bool isNumber = ParseWhole(text.CStr(), INT32_MIN, INT32_MAX, number);
    for (int32_t i = 0; i < labels.count; ++i)
    {
        const Base::cEnumEntry& entry = labels.entries[i];
        if (cGenString::EqualsNoCase(text, cGenString(entry.name)) || (isNumber && number == entry.value))
        {
            value = entry.value;
            return true;
        }
    }
    return false;
}
} // namespace TriggerPadKeys
