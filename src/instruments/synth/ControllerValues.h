#pragma once
#include <cstdint>

namespace Base
{
class cSerialise;
}
namespace File
{
class cFile;
}

// A patch's performance controllers. Values 4 to 8 are the XY pads and the
// knob, stored with the patch and used as modulation sources; values 0 to 3
// are live only, and value 0 is cleared whenever the record is written or read.
struct cControllerValues
{
    enum : int32_t
    {
        kCount = 9,
        kPad1X = 4,
        kPad1Y = 5,
        kPad2X = 6,
        kPad2Y = 7,
        kKnob = 8,
        kVersion = 1,
    };

    float values[kCount] = {};

    bool Serialise(Base::cSerialise& s);
    bool SerialiseBinary(File::cFile& stream);

    // By index 0..8, stored as they come; other indexes read 0 and write nothing.
    float GetParamFloat(int32_t index) const;
    void SetParamFloat(int32_t index, float value);
};
