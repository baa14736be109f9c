// Feeds arbitrary bytes to the synthesizer's "EditPresetData" reader, on its
// own and through a project file read by a module: a block either reads
// whole and writes back the same, or changes nothing and leaves the module
// playing its stored preset.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "PresetFuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string problem = PresetFuzz::CheckEditPresetBytes(data, size);
    if (!problem.empty())
    {
        std::fprintf(stderr, "%s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
