#include "audio/SectionVersion.h"

#include "base/File.h"

bool IsLegacyPatchData(const File::cFile& stream)
{
    const int legacy = stream.GetLegacyPatchVersion();
    return legacy == 1 || legacy == 2;
}

bool SerialiseSectionVersion(File::cFile& stream, uint32_t current, uint32_t* version)
{
    *version = current;
    if (IsLegacyPatchData(stream))
    {
        *version = 1;
        return true;
    }
    return stream.SerialiseUInt32(version) == 4;
}
