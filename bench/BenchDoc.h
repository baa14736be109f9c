#pragma once

#include <filesystem>
#include <string>
#include <unistd.h>

#include "base/DeletableRoots.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"

// A fresh "Doc" mount in the system's temporary folder, holding the folder
// given, and gone again afterwards.
class cBenchDoc
{
public:
    explicit cBenchDoc(const char* folder)
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "quil-bench-XXXXXX").string();
        mFolder = mkdtemp(pattern.data()) ? pattern : std::string();
        std::filesystem::create_directories(mFolder + "/" + folder);
        AddDeletableRoot(mFolder.c_str());
        mRegistry.Mount(new File::cFileSystemDisk("Doc", mFolder.c_str()));
    }
    ~cBenchDoc()
    {
        ClearDeletableRoots();
        std::error_code ignored;
        std::filesystem::remove_all(mFolder, ignored);
    }
    cBenchDoc(const cBenchDoc&) = delete;
    cBenchDoc& operator=(const cBenchDoc&) = delete;

private:
    std::string mFolder;
    cFileSystemRegistry mRegistry;
};
