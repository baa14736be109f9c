#pragma once
#include <cstdint>

#include "instruments/pads/TriggerPadData.h"
#include "instruments/pads/TriggerPadOutput.h"

class cGenString;
class cSampleRelocator;
namespace Base
{
class cSerialise;
}
namespace File
{
class cFile;
}

// All pad, output and mute settings of the pad module: the module keeps two,
// plays the active one and loads whole banks into the other.
//
// A set address names one value: bits 0..7 the kind (0 a pad, 1 an output,
// 2 the mute word, 3 one mute bit), bits 8..15 the pad or bus, bits 16..23
// the record's parameter number.
class cTriggerPadSet
{
public:
    static constexpr int32_t kPadCount = 16;
    static constexpr int32_t kOutputCount = 3;
    enum : uint32_t
    {
        kKindPad = 0,
        kKindOutput = 1,
        kKindMuteWord = 2,
        kKindMuteBit = 3,
    };

    static uint32_t MakeAddress(uint32_t kind, int32_t index, int32_t parameter)
    {
        return kind | (uint32_t(index & 0xff) << 8) | (uint32_t(parameter & 0xff) << 16);
    }

    cTriggerPadSet() { Reset(); }

    // No mutes, default pads, outputs with no sends and the filter off.
    void Reset();

    // Addresses of kinds, indexes or parameters the set has not read 0 and
    // write nothing; floats and integers each have their own parameters.
    float GetFloat(uint32_t address) const;
    int32_t GetInt(uint32_t address) const;
    void SetFloat(uint32_t address, float value);
    void SetInt(uint32_t address, int32_t value);

    // "Mute", "Pad0".."Pad15" and "Out0".."Out2". Reading takes what the
    // document holds and reports false when a key is damaged or refused or an
    // element appears twice.
    bool Serialise(Base::cSerialise& s, cSampleRelocator* relocator);
    // "Package.vrx" in the folder, on the "Doc" mount, read into a reset set;
    // false when it cannot be opened, is no document or is damaged.
    bool Load(const cGenString& folder, cSampleRelocator* relocator);
    // Written safely; false when it could not be written whole.
    bool Save(const cGenString& folder, cSampleRelocator* relocator);
    // The document "Package.vrx" holds, into any stream open for writing.
    bool Write(File::cFile& stream, cSampleRelocator* relocator);

    uint32_t mute;
    cTriggerPadOutput outputs[kOutputCount];
    cTriggerPadData pads[kPadCount];

private:
    cTriggerPadData* FindPad(uint32_t address);
    const cTriggerPadData* FindPad(uint32_t address) const;
    cTriggerPadOutput* FindOutput(uint32_t address);
    const cTriggerPadOutput* FindOutput(uint32_t address) const;
};
