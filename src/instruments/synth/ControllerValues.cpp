#include "instruments/synth/ControllerValues.h"

#include <cfloat>
#include <climits>

#include "audio/SectionVersion.h"
#include "base/File.h"
#include "base/Serialise.h"

namespace
{
// "Pad3Y" is the Y axis of pad 2, under the name files have always used.
const char* const kStoredNames[5] = {"Pad1X", "Pad1Y", "Pad2X", "Pad3Y", "Knob1"};
} // namespace

bool cControllerValues::Serialise(Base::cSerialise& s)
{
    values[0] = 0.0f;
    int32_t version = kVersion;
    s.SerialiseInt32("Version", &version, INT_MIN, INT_MAX);
    bool ok = true;
    for (int32_t i = 0; i < 5; ++i)
        ok &= s.SerialiseFloat(kStoredNames[i], &values[kPad1X + i], -FLT_MAX, FLT_MAX);
    return ok;
}

float cControllerValues::GetParamFloat(int32_t index) const
{
    return index >= 0 && index < kCount ? values[index] : 0.0f;
}

void cControllerValues::SetParamFloat(int32_t index, float value)
{
    if (index >= 0 && index < kCount)
        values[index] = value;
}

bool cControllerValues::SerialiseBinary(File::cFile& stream)
{
    values[0] = 0.0f;
    cControllerValues read = *this;
    uint32_t version = 0;
    bool ok = SerialiseSectionVersion(stream, kVersion, &version);
    for (int32_t i = kPad1X; ok && i < kCount; ++i)
        ok = stream.SerialiseFloat(&read.values[i]) == 4;
    if (ok)
        *this = read;
    return ok;
}
