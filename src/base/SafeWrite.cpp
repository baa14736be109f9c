#include "base/SafeWrite.h"

#include "base/DeletableRoots.h"
#include "base/DiskFiles.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
const char* const kNormal[] = {"", ".bak", ".as", ".as.bak", nullptr};
const char* const kBackup[] = {".bak", "", ".as", ".as.bak", nullptr};
const char* const kAutoSave[] = {".as", ".as.bak", "", ".bak", nullptr};
const char* const kExact[] = {"", nullptr};

bool RemoveIfPresent(const char* path) { return ::unlink(path) == 0 || errno == ENOENT; }

// The file as it is now becomes the backup while staying in place: a second
// name for the same data, or a copy where the file system has no links.
bool KeepBackup(const char* path, const char* backup)
{
    struct stat status;
    if (lstat(backup, &status) == 0 && S_ISDIR(status.st_mode))
        return false;
    if (!RemoveIfPresent(backup))
        return false;
    if (::link(path, backup) == 0)
        return true;
    if (CopyFileBytes(path, backup))
        return true;
    ::unlink(backup);
    return false;
}
} // namespace

bool CommitSafeWrite(const char* path, bool dropBackup)
{
    return CommitSafeWriteFrom((std::string(path) + ".tmp").c_str(), path, dropBackup);
}

bool CommitSafeWriteFrom(const char* temp, const char* path, bool dropBackup)
{
    const std::string backup = std::string(path) + ".bak";
    struct stat status;
    if (lstat(temp, &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    const bool hasTarget = lstat(path, &status) == 0;
    if (hasTarget && S_ISDIR(status.st_mode))
        return false;
    if (hasTarget && !dropBackup && !KeepBackup(path, backup.c_str()))
        return false;
    if (std::rename(temp, path) != 0)
        return false;
    if (dropBackup)
        RemoveIfPresent(backup.c_str());
    return true;
}

bool CommitSafeFolder(const char* path, bool dropBackup)
{
    const std::string temp = std::string(path) + ".tmp";
    const std::string backup = std::string(path) + ".bak";
    struct stat status;
    if (lstat(temp.c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
        return false;
    const bool hasTarget = lstat(path, &status) == 0;
    if (hasTarget && (!DeleteFileOrDirectory(backup.c_str()) || std::rename(path, backup.c_str()) != 0))
        return false;
    if (std::rename(temp.c_str(), path) != 0)
    {
        if (hasTarget)
            std::rename(backup.c_str(), path);
        return false;
    }
    if (dropBackup && hasTarget)
        DeleteFileOrDirectory(backup.c_str());
    return true;
}

const char* const* GetLoadSuffixList(int kind)
{
    switch (kind)
    {
    case kLoadNormal:
        return kNormal;
    case kLoadBackup:
        return kBackup;
    case kLoadAutoSave:
        return kAutoSave;
    default:
        return kExact;
    }
}
