#include "base/FileDisk.h"

#include "base/CommitGroup.h"
#include "base/FileSystemDisk.h"

#include <unistd.h>

namespace File
{
cFileDisk::cFileDisk(cFileSystemDisk* owner, const char* name, int length, int mode, uint32_t flags, FILE* handle,
                     std::string tempPath, std::string targetPath)
    : cFile(owner, name, length, mode, flags), mDisk(owner), mHandle(handle), mTempPath(std::move(tempPath)),
      mTargetPath(std::move(targetPath))
{
}

cFileDisk::~cFileDisk() { Close(false); }

int cFileDisk::Read(void* buffer, int count)
{
    if (!mHandle || count <= 0)
        return 0;
    return int(std::fread(buffer, 1, size_t(count), mHandle));
}

int cFileDisk::Write(const void* buffer, int count)
{
    if (!mHandle || count <= 0)
        return 0;
    const int written = int(std::fwrite(buffer, 1, size_t(count), mHandle));
    if (written != count)
        SetErrorFlag(1);
    return written;
}

int cFileDisk::Seek(int offset, int origin)
{
    static const int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (!mHandle || origin < 0 || origin > 2 || std::fseek(mHandle, offset, kWhence[origin]) != 0)
        return -1;
    return int(std::ftell(mHandle));
}

int cFileDisk::Tell() { return mHandle ? int(std::ftell(mHandle)) : 0; }

int cFileDisk::GetRemaining() { return GetLength() - Tell(); }

bool cFileDisk::CommitsOnClose() const
{
    // Only mode 2 writes to a temporary; an update stream with the flag writes
    // to the target itself and must not commit.
    return GetMode() == kModeWrite && (GetFlags() & kFlagSafeWrite) != 0 && mDisk != nullptr && !mTempPath.empty();
}

bool cFileDisk::Close(bool discard)
{
    if (!mHandle)
        return true;
    // Buffered data reaches the disk only now: a full disk shows here.
    if (!IsReading() && (std::ferror(mHandle) || std::fflush(mHandle) != 0))
        SetErrorFlag(1);
    if (!CommitsOnClose())
    {
        const bool closed = std::fclose(mHandle) == 0;
        mHandle = nullptr;
        if (!closed && !IsReading())
            SetErrorFlag(1);
        return closed && (IsReading() || GetErrorFlag() == 0);
    }
    // A committed file must be on the disk before it replaces the old one.
    const bool sync = !discard && (GetFlags() & kFlagNoSync) == 0;
    if (sync && GetErrorFlag() == 0 && ::fsync(fileno(mHandle)) != 0)
        SetErrorFlag(1);
    FILE* handle = mHandle;
    mHandle = nullptr;
    if (discard || GetErrorFlag() != 0)
    {
        // A truncated temporary must never replace the file it was meant for.
        ::unlink(mTempPath.c_str());
        std::fclose(handle);
        return discard && GetErrorFlag() == 0;
    }
    const bool dropBackup = (GetFlags() & kFlagDropBackup) != 0;
    cCommitGroup* group = cCommitGroup::Current();
    if (group && group->Adopt(handle, mTempPath, mTargetPath, dropBackup))
        return true;
    // Committed while still open: a temporary is never left unheld while
    // its writer lives.
    const bool committed = mDisk->CommitTempFile(mTempPath.c_str(), mTargetPath.c_str(), dropBackup);
    std::fclose(handle);
    if (!committed)
        SetErrorFlag(1);
    return committed;
}

} // namespace File
