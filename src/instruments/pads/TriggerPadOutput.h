#pragma once
#include <cstdint>

namespace Base
{
class cSerialise;
}

// The filter of one output bus as the set stores it; the bus processor copies
// the four values as one block.
struct cTriggerPadFilterSettings
{
    enum : int32_t
    {
        kTypeOff = 0,
        kTypeLowPass = 1,
        kTypeBandPass = 2,
        kTypeHighPass = 3,
        kTypeCount = 4,
    };

    int32_t enable = 0; // filters when not 0
    int32_t type = kTypeLowPass;
    float cutoff = 0.0f; // control position 0..1
    float q = 0.0f;      // control position 0..1

    // "Enable", "Type" (by label), "Cutoff", "Q".
    bool Serialise(Base::cSerialise& s);
};

// One of the three output buses of a pad set: the levels it feeds into the
// mixer's two send buses and its filter.
struct cTriggerPadOutput
{
    // Parameter numbers of the set addresses.
    enum : int32_t
    {
        kParamRev = 0,
        kParamDel = 1,
        kParamEnable = 2,
        kParamType = 3,
        kParamCutoff = 4,
        kParamQ = 5,
    };

    float rev = 0.0f; // into "SEND 1"
    float del = 0.0f; // into "SEND 2"
    cTriggerPadFilterSettings filter;

    void Reset() { *this = cTriggerPadOutput(); }
    // Values that are not finite and types outside the list are refused
    // (false); a parameter the record has not is ignored.
    bool SetFloat(int32_t parameter, float value);
    bool SetInt(int32_t parameter, int32_t value);
    float GetFloat(int32_t parameter) const;
    int32_t GetInt(int32_t parameter) const;

    // "Rev", "Del" and the filter's keys. A stored "OFF" comes back as "LP":
    // Enable alone switches the filter. False when a key is damaged.
    bool Serialise(Base::cSerialise& s);
};
