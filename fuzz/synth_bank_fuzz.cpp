// Feeds arbitrary bytes to the synthesizer's bank loader as a bank file: a
// refused file must leave the bank as it was with one of the loader's error
// texts; an accepted one must save, load and save again to the same file.

#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <string>

#include "PresetFuzzChecks.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"

namespace
{
// A scratch folder mounted as "Doc" for the whole run; in memory where the
// machine offers it, as every accepted input is saved (and flushed) again.
const std::string& Folder()
{
    static const std::string folder = [] {
        const std::filesystem::path parent =
            std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
        std::string pattern = (parent / "synth-bank-fuzz-XXXXXX").string();
        const std::string made = mkdtemp(pattern.data()) ? pattern : std::string(".");
        new cFileSystemRegistry();
        gFileSystemRegistry->Mount(new File::cFileSystemDisk("Doc", made.c_str()));
        return made;
    }();
    return folder;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string problem = PresetFuzz::CheckBankFileBytes(data, size, Folder());
    if (!problem.empty())
    {
        std::fprintf(stderr, "%s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
