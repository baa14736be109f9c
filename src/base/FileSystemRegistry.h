#pragma once

#include "base/FileSystem.h"
#include "base/GenString.h"

#include <cstdint>

namespace File
{
class cFile;
} // namespace File

// The one list of mounted file systems. Code looks a mount up by its bare
// name ("Doc", "Tmp", "Res", "Assets", "Native", "Code") and passes it the
// path inside the mount.
class cFileSystemRegistry
{
public:
    cFileSystemRegistry();
    ~cFileSystemRegistry();
    cFileSystemRegistry(const cFileSystemRegistry&) = delete;
    cFileSystemRegistry& operator=(const cFileSystemRegistry&) = delete;

    // The first mount, in mount order, whose name begins with the text
    // before the first '|' (the whole text without one), ignoring case.
    File::cFileSystem* FindFileSystem(const char* text, int* nameLength = nullptr);
    // "Mount|path/inside"; the registry's last error becomes the mount's.
    File::cFile* Open(const char* mountAndPath, int mode, uint32_t flags);
    File::cFile* OpenIn(const char* mountName, const cGenString& path, int mode, uint32_t flags);
    // Takes ownership; appended at the end of the list.
    void Mount(File::cFileSystem* fileSystem);
    // Deletes every mount in list order and clears the global pointer.
    void Shutdown();

    uint32_t GetCount() const { return mMounts.GetCount(); }
    int32_t GetLastError() const { return mLastError; }

private:
    int32_t mLastError = 0;
    Base::cIntrusiveList<File::cFileSystem, 1> mMounts;
};

extern cFileSystemRegistry* gFileSystemRegistry;

// Start-up: creates the registry when there is none and mounts "Native",
// "Res", "Doc", "Tmp" (then the deletable roots "Doc" and "Tmp" and the "Tmp"
// folder tree), "Assets" and "Code".
void MountProgramFileSystems();
// Shutdown: deletes the mounts in order, the registry and the deletable roots.
void ShutdownProgramFileSystems();
