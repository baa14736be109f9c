#pragma once

#include "base/File.h"

#include <cstdio>
#include <string>

namespace File
{
class cFileSystemDisk;

// A stream on a disk file, made only by cFileSystemDisk::Open. A safe-write
// stream writes to a temporary file of its own; closing it commits that over
// the target through the owner (or hands it to the thread's commit group),
// and a stream whose writes failed discards it instead.
class cFileDisk : public cFile
{
public:
    // tempPath and targetPath (native paths) only for a safe-write stream.
    cFileDisk(cFileSystemDisk* owner, const char* name, int length, int mode, uint32_t flags, FILE* handle,
              std::string tempPath = {}, std::string targetPath = {});
    // Closes without discarding: destroying a safe-write stream commits it.
    ~cFileDisk() override;

    int Read(void* buffer, int count) override;
    int Write(const void* buffer, int count) override;
    int Seek(int offset, int origin) override;
    int Tell() override;
    int GetRemaining() override;
    bool Close(bool discard) override;

private:
    bool CommitsOnClose() const;

    cFileSystemDisk* mDisk;
    FILE* mHandle;
    std::string mTempPath;
    std::string mTargetPath;
};

} // namespace File
