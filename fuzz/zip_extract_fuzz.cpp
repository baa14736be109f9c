// Feeds arbitrary bytes to the zip extractor as an archive file and unpacks
// it into a scratch folder. Whatever the archive says, nothing may appear
// beside that folder, and the folder is emptied for the next input. An odd
// input length replaces existing files, an even one keeps them. Seed it with
// the archives test_base leaves in build/test-tmp/fuzz-seeds/zip_extract:
// random bytes seldom make an entry whose name is longer than a name buffer.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "base/Zip.h"

namespace
{
// A scratch folder of this run: "in.zip" and "out" live in it.
const std::filesystem::path& Root()
{
    static const std::filesystem::path root = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "zip-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        return std::filesystem::path(pattern);
    }();
    return root;
}

void WriteArchive(const std::filesystem::path& path, const uint8_t* data, size_t size)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        std::abort();
}

// Only the archive and the extraction folder may be in the scratch folder.
void CheckNothingEscaped()
{
    for (const auto& entry : std::filesystem::directory_iterator(Root()))
    {
        const std::string name = entry.path().filename().string();
        if (name != "in.zip" && name != "out")
            std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::filesystem::path archive = Root() / "in.zip";
    const std::filesystem::path out = Root() / "out";
    WriteArchive(archive, data, size);
    Zip::cZipExtractor extractor;
    extractor.ExtractArchive(archive.c_str(), out.c_str(), (size & 1) != 0);
    CheckNothingEscaped();
    std::error_code ignored;
    std::filesystem::remove_all(out, ignored);
    return 0;
}
