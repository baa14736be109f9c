#include "base/FileSystemDisk.h"

#include "base/CommitGroup.h"
#include "base/DeletableRoots.h"
#include "base/DiskFiles.h"
#include "base/FileDisk.h"
#include "base/PathUtils.h"
#include "base/SafeWrite.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace File
{
namespace
{
using tPath = cGenStringFixed<260>;

bool AppendSuffix(cGenString& path, const char* suffix)
{
    const int length = path.Length();
    path.AppendCString(suffix);
    return path.Length() > length;
}

int MeasureLength(FILE* handle)
{
    if (std::fseek(handle, 0, SEEK_END) != 0)
        return 0;
    const long end = std::ftell(handle);
    std::fseek(handle, 0, SEEK_SET);
    return end < 0 ? 0 : int(std::min<long>(end, INT_MAX));
}
} // namespace

bool sFileStatus::IsFolder() const { return S_ISDIR(kind); }
bool sFileStatus::IsFile() const { return S_ISREG(kind); }

cFileSystemDisk::cFileSystemDisk(const char* name, const char* root) : cFileSystem(name), mRoot(root)
{
    PathToForwardSlashes(mRoot);
}

bool cFileSystemDisk::JoinPath(const cGenString& path, cGenString& out) const
{
    out.Assign(mRoot);
    if (out.Length() == mRoot.Length() && (path.IsEmpty() || PathAppend(out, path)))
        return true;
    out.AssignCStr("");
    return false;
}

cFile* cFileSystemDisk::Open(const cGenString& path, int mode, uint32_t flags)
{
    SetLastError(kErrorNone);
    static const char* const kModeTexts[] = {nullptr, "rb", "wb", "w+b"};
    tPath full;
    bool ok = mode >= kModeRead && mode <= kModeUpdate && JoinPath(path, full);
    if (ok && mode == kModeWrite && (flags & kFlagSafeWrite))
        return OpenSafeWrite(path, full.CStr(), flags);
    FILE* handle = ok ? OpenFileUTF8(full.CStr(), kModeTexts[mode]) : nullptr;
    if (!handle)
    {
        SetLastError(kErrorNotFound);
        return nullptr;
    }
    const int length = MeasureLength(handle);
    return new cFileDisk(this, path.CStr(), length, mode, flags, handle);
}

// A save writes to a temporary file of its own beside the file it replaces,
// so two saves of one file at once never share one; a link as the target
// stays a link, and the file it names is the one replaced.
cFile* cFileSystemDisk::OpenSafeWrite(const cGenString& path, const char* full, uint32_t flags)
{
    std::string target, temp;
    const int fd = ResolveLinks(full, target) ? CreateUniqueFile(AT_FDCWD, target + ".", ".tmp", temp) : -1;
    FILE* handle = fd >= 0 ? ::fdopen(fd, "wb") : nullptr;
    if (!handle)
    {
        if (fd >= 0)
        {
            ::close(fd);
            ::unlink(temp.c_str());
        }
        SetLastError(kErrorNotFound);
        return nullptr;
    }
    return new cFileDisk(this, path.CStr(), 0, kModeWrite, flags, handle, temp, target);
}

bool cFileSystemDisk::Exists(const cGenString& path)
{
    SetLastError(kErrorNone);
    tPath full;
    struct stat status;
    return JoinPath(path, full) && ::stat(full.CStr(), &status) == 0;
}

bool cFileSystemDisk::Copy(const cGenString& source, const cGenString& target, uint32_t flags)
{
    tPath from, to;
    const bool ok = JoinPath(source, from) && JoinPath(target, to) &&
                    CopyDiskFile(from.CStr(), to.CStr(), (flags & 1u) != 0);
    SetLastError(ok ? kErrorNone : kErrorCopyFailed);
    return ok;
}

bool cFileSystemDisk::CreateFolder(const cGenString& path)
{
    tPath full;
    const bool ok = JoinPath(path, full) && CreateFolderTree(full.CStr());
    SetLastError(ok ? kErrorNone : kErrorFolderFailed);
    return ok;
}

void cFileSystemDisk::WalkFolder(const cGenString& path)
{
    cFileSystem::cFileIterator* iterator = NewIterator(path);
    for (bool found = iterator->First(); found; found = iterator->Next())
    {
    }
    delete iterator;
}

bool cFileSystemDisk::Delete(const cGenString& path)
{
    tPath full;
    // Inside a folder being saved as one, the delete waits for its commit.
    cCommitGroup* group = cCommitGroup::Current();
    const bool ok = JoinPath(path, full) &&
                    ((group && IsUnderDeletableRoot(full.CStr()) && group->AdoptDelete(full.CStr())) ||
                     DeleteFileOrDirectory(full.CStr()));
    SetLastError(ok ? kErrorNone : kErrorFolderFailed);
    return ok;
}

bool cFileSystemDisk::Stat(const cGenString& path, sFileStatus* status)
{
    tPath full;
    struct stat record;
    if (!JoinPath(path, full) || ::stat(full.CStr(), &record) != 0)
    {
        SetLastError(kErrorNotFound);
        return false;
    }
    SetLastError(kErrorNone);
    status->kind = record.st_mode & S_IFMT;
    status->size = uint32_t(record.st_size);
    status->accessTime = record.st_atime;
    status->modifyTime = record.st_mtime;
    status->changeTime = record.st_ctime;
    return true;
}

bool cFileSystemDisk::Describe(cGenString& out, const cGenString& path)
{
    tPath full;
    if (!JoinPath(path, full))
    {
        out.AssignCStr("");
        return false;
    }
    return DescribeFile(full.CStr(), out);
}

float cFileSystemDisk::GetPathValue(const cGenString&) { return 0.0f; }

int cFileSystemDisk::GetFileSize(const cGenString& path)
{
    sFileStatus status;
    return Stat(path, &status) ? int(status.size) : 0;
}

bool cFileSystemDisk::GetTotalSize(const cGenString& path, uint32_t* bytes, uint32_t* files)
{
    *bytes = 0;
    *files = 0;
    sFileStatus status;
    if (!Stat(path, &status))
        return false;
    if (status.IsFolder())
    {
        tPath full;
        JoinPath(path, full);
        AccumulateFolderSize(full, bytes, files);
    }
    else
    {
        *bytes = status.size;
        *files = 1;
    }
    return true;
}

bool cFileSystemDisk::CommitTemp(const cGenString& path, bool dropBackup)
{
    tPath full;
    bool ok = JoinPath(path, full);
    if (ok)
    {
        // A folder written under its ".tmp" name commits the same way as a file.
        struct stat status;
        const std::string temp = std::string(full.CStr()) + ".tmp";
        const bool folder = lstat(temp.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
        ok = folder ? CommitSafeFolder(full.CStr(), dropBackup) : CommitSafeWrite(full.CStr(), dropBackup);
    }
    SetLastError(ok ? kErrorNone : kErrorCommitFailed);
    return ok;
}

bool cFileSystemDisk::CommitTempFile(const char* temp, const char* target, bool dropBackup)
{
    const bool ok = CommitSafeWriteFrom(temp, target, dropBackup);
    SetLastError(ok ? kErrorNone : kErrorCommitFailed);
    return ok;
}

bool cFileSystemDisk::DiscardTemp(const cGenString& path)
{
    tPath full;
    return JoinPath(path, full) && AppendSuffix(full, ".tmp") && ::unlink(full.CStr()) == 0;
}

bool cFileSystemDisk::Rename(const cGenString& from, const cGenString& to)
{
    tPath source, target;
    bool ok = JoinPath(from, source) && JoinPath(to, target);
    if (ok && ::renameat2(AT_FDCWD, source.CStr(), AT_FDCWD, target.CStr(), RENAME_NOREPLACE) != 0)
    {
        struct stat status;
        // File systems without the no-replace rename: check, then rename.
        ok = (errno == EINVAL || errno == ENOSYS) && ::lstat(target.CStr(), &status) != 0 &&
             std::rename(source.CStr(), target.CStr()) == 0;
    }
    SetLastError(ok ? kErrorNone : kErrorNotFound);
    return ok;
}

cFileSystem::cFileIterator* cFileSystemDisk::NewIterator(const cGenString& folder)
{
    SetLastError(kErrorNone);
    tPath full;
    JoinPath(folder, full);
    return new cFileIterator(full.CStr());
}

} // namespace File
