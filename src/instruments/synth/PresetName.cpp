#include "instruments/synth/PresetName.h"

#include <cstring>

#include "base/File.h"

void AssignPresetName(tPresetName& name, const char* text)
{
    std::memset(name, 0, sizeof(name));
    if (text)
        std::strncpy(name, text, kPresetNameSize - 1);
}

bool SerialisePresetName(File::cFile& stream, tPresetName& name)
{
    if (!stream.IsReading())
        return stream.SerialiseBytes(name, kPresetNameSize) == kPresetNameSize;
    tPresetName read;
    if (stream.SerialiseBytes(read, kPresetNameSize) != kPresetNameSize)
        return false;
    read[kPresetNameSize - 1] = 0;
    std::memcpy(name, read, sizeof(name));
    return true;
}
