#pragma once

#include "base/File.h"

#include <cstdio>

namespace File
{
// A stream on a disk file, made only by cFileSystemDisk::Open. Closing a
// safe-write stream commits its ".tmp" over the target through the owner;
// a stream whose writes failed discards its ".tmp" instead.
class cFileDisk : public cFile
{
public:
    cFileDisk(cFileSystem* owner, const char* name, int length, int mode, uint32_t flags, FILE* handle);
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

    FILE* mHandle;
};

} // namespace File
