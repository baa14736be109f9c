#include "base/FileSystemRegistry.h"

#include "base/DeletableRoots.h"
#include "base/DiskFiles.h"
#include "base/FileSystemDisk.h"
#include "base/RootPaths.h"

#include <cstring>

cFileSystemRegistry* gFileSystemRegistry = nullptr;

cFileSystemRegistry::cFileSystemRegistry() { gFileSystemRegistry = this; }

cFileSystemRegistry::~cFileSystemRegistry() { Shutdown(); }

File::cFileSystem* cFileSystemRegistry::FindFileSystem(const char* text, int* nameLength)
{
    const char* bar = std::strchr(text, '|');
    const int length = bar ? int(bar - text) : int(std::strlen(text));
    if (nameLength)
        *nameLength = length;
    for (File::cFileSystem* fs = mMounts.GetFirst(); fs; fs = fs->GetNext())
    {
        const char* name = fs->GetName();
        if (int(std::strlen(name)) >= length && strncasecmp(name, text, size_t(length)) == 0)
            return fs;
    }
    return nullptr;
}

File::cFile* cFileSystemRegistry::Open(const char* mountAndPath, int mode, uint32_t flags)
{
    mLastError = File::kErrorNone;
    int nameLength = 0;
    File::cFileSystem* fs = FindFileSystem(mountAndPath, &nameLength);
    if (!fs)
    {
        mLastError = File::kErrorNotFound;
        return nullptr;
    }
    const char* path = mountAndPath + nameLength;
    if (*path == '|')
        ++path;
    File::cFile* file = fs->Open(path, mode, flags);
    mLastError = fs->GetLastError();
    return file;
}

File::cFile* cFileSystemRegistry::OpenIn(const char* mountName, const cGenString& path, int mode, uint32_t flags)
{
    mLastError = File::kErrorNone;
    File::cFileSystem* fs = FindFileSystem(mountName);
    if (!fs)
    {
        mLastError = File::kErrorNotFound;
        return nullptr;
    }
    File::cFile* file = fs->Open(path, mode, flags);
    mLastError = fs->GetLastError();
    return file;
}

void cFileSystemRegistry::Mount(File::cFileSystem* fileSystem)
{
    mMounts.PushBack(fileSystem);
}

void cFileSystemRegistry::Shutdown()
{
    while (File::cFileSystem* fs = mMounts.PopFront())
        delete fs;
    if (gFileSystemRegistry == this)
        gFileSystemRegistry = nullptr;
}

void MountProgramFileSystems()
{
    cFileSystemRegistry* registry = gFileSystemRegistry ? gFileSystemRegistry : new cFileSystemRegistry();
    registry->Mount(new File::cFileSystemDisk("Native", ""));
    registry->Mount(new File::cFileSystemDisk("Res", GetResourceFolderPath()));
    registry->Mount(new File::cFileSystemDisk("Doc", GetDocumentsFolderPath()));
    registry->Mount(new File::cFileSystemDisk("Tmp", GetTempFolderPath()));
    AddDeletableRoot(GetDocumentsFolderPath());
    AddDeletableRoot(GetTempFolderPath());
    CreateFolderTree(GetTempFolderPath());
    registry->Mount(new File::cFileSystemDisk("Assets", GetAssetsFolderPath()));
    registry->Mount(new File::cFileSystemDisk("Code", GetCodeFolderPath()));
}

void ShutdownProgramFileSystems()
{
    delete gFileSystemRegistry;
    ClearDeletableRoots();
}
