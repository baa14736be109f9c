#include "InstallArchive.h"

#include <cstdio>
#include <filesystem>
#include <unistd.h>

#include "DemoProject.h"
#include "DemoSong.h"
#include "FactoryBanks.h"
#include "PadKits.h"
#include "base/DeletableRoots.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "base/Zip.h"

#include <zip.h>

namespace
{
// The documents are made under "Content" of the stage, which is then packed
// with its entries named from inside it ("User/VRX Banks/..."); the MIDI
// and song writers work through "Tmp" beside it.
bool StageDocuments(const std::string& stage)
{
    const std::string content = stage + "/Content";
    const std::string temp = stage + "/Tmp";
    std::filesystem::create_directories(content + "/User/MIDI Files");
    std::filesystem::create_directories(temp);
    cFileSystemRegistry registry;
    registry.Mount(new File::cFileSystemDisk("Native", ""));
    registry.Mount(new File::cFileSystemDisk("Doc", content.c_str()));
    registry.Mount(new File::cFileSystemDisk("Tmp", temp.c_str()));
    AddDeletableRoot(content.c_str());
    AddDeletableRoot(temp.c_str());
    bool ok = PadKits::WriteFactoryKits(content);
    ok = PadKits::WriteFactorySamples(content, "User/Samples/Kest Factory") && ok;
    const bool demoSong = WriteDemoMIDIFile();
    if (!demoSong)
        std::fprintf(stderr, "resgen: the demo MIDI file could not be written\n");
    ok = WriteFactoryBanks(content) && ok;
    // The demo project plays the kits and the banks written above.
    const bool demoProject = ok && WriteDemoProject();
    if (ok && !demoProject)
        std::fprintf(stderr, "resgen: the demo project could not be written\n");
    ClearDeletableRoots();
    return ok && demoSong && demoProject;
}

// The user's folders, as folder entries: some start empty, and the
// compressor packs files only.
bool AddUserFolders(const std::string& archive)
{
    static const char* const kFolders[] = {"User/Projects/", "User/Mixdowns/",  "User/Samples/",
                                           "User/MIDI Files/", "User/VRX Banks/", "User/FX Favourites/"};
    zipFile zip = zipOpen64(archive.c_str(), APPEND_STATUS_ADDINZIP);
    if (!zip)
        return false;
    bool ok = true;
    for (const char* folder : kFolders)
    {
        // A fixed date keeps the archive the same on every build.
        zip_fileinfo info = {};
        info.tmz_date.tm_mday = 1;
        info.tmz_date.tm_year = 2026;
        ok = ok && zipOpenNewFileInZip64(zip, folder, &info, nullptr, 0, nullptr, 0, nullptr, 0, 0, 0) == ZIP_OK &&
             zipCloseFileInZip(zip) == ZIP_OK;
    }
    return zipClose(zip, nullptr) == ZIP_OK && ok;
}

bool Pack(const std::string& stage)
{
    cFileSystemRegistry registry;
    registry.Mount(new File::cFileSystemDisk("Doc", stage.c_str()));
    AddDeletableRoot(stage.c_str());
    Zip::cZipCompressor compressor{};
    const bool ok = compressor.Compress("Content", "Install.zip") == Zip::kResultOk;
    ClearDeletableRoots();
    return ok && AddUserFolders(stage + "/Install.zip");
}
} // namespace

bool WriteInstallArchive(const std::string& resources)
{
    namespace fs = std::filesystem;
    const std::string stage = fs::absolute(resources).string() + ".install-stage-" + std::to_string(getpid());
    std::error_code ignored;
    fs::remove_all(stage, ignored);
    fs::create_directories(stage + "/Content");
    bool ok = StageDocuments(stage) && Pack(stage);
    if (ok)
    {
        std::error_code error;
        fs::copy_file(stage + "/Install.zip", resources + "/Install.zip", fs::copy_options::overwrite_existing, error);
        ok = !error;
    }
    if (!ok)
        std::fprintf(stderr, "resgen: Install.zip could not be written\n");
    fs::remove_all(stage, ignored);
    return ok;
}
