#include "support/ResMount.h"

#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "render/PVRImage.h"

#include "BuildPaths.h"
#include "PvrWriter.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

cResMount::cResMount(const std::string& root) : mRoot(root)
{
    if (!gFileSystemRegistry)
    {
        new cFileSystemRegistry();
        mOwnsRegistry = true;
    }
    gFileSystemRegistry->Mount(new File::cFileSystemDisk("Res", root.c_str()));
}

cResMount::~cResMount()
{
    if (mOwnsRegistry)
        delete gFileSystemRegistry; // its destructor deletes the mounts

}

void cResMount::WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) const
{
    const std::filesystem::path full = std::filesystem::path(mRoot) / path;
    std::filesystem::create_directories(full.parent_path());
    WriteBinaryFile(full.string(), bytes);
}

std::string MakeTestFolder(const std::string& name)
{
    const std::filesystem::path folder =
        std::filesystem::path(TestScratchFolder()) / (name + "-" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return std::filesystem::absolute(folder).string();
}

std::string GeneratedResourceFolder() { return BuildFile("bin/Resource"); }

std::vector<uint8_t> ReadGeneratedResource(const std::string& path)
{
    std::ifstream file(GeneratedResourceFolder() + "/" + path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

std::unique_ptr<cPVRImage> LoadGeneratedTexture(const std::string& path, uint32_t loadFlags)
{
    const std::vector<uint8_t> bytes = ReadGeneratedResource(path);
    if (bytes.empty())
        return nullptr;
    auto contents = std::make_unique<uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), contents.get());
    return DecodePVRImage(std::move(contents), bytes.size(), loadFlags);
}
