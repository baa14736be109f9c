#include "base/SafeWrite.h"

#include "base/DeletableRoots.h"
#include "base/DiskFiles.h"

#include "base/StaleTemporaries.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{
const char* const kNormal[] = {"", ".bak", ".as", ".as.bak", nullptr};
const char* const kBackup[] = {".bak", "", ".as", ".as.bak", nullptr};
const char* const kAutoSave[] = {".as", ".as.bak", "", ".bak", nullptr};
const char* const kExact[] = {"", nullptr};

bool RemoveIfPresent(const char* path) { return ::unlink(path) == 0 || errno == ENOENT; }

bool RenameNoReplace(const char* from, const char* to)
{
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return true;
    struct stat status;
    // File systems without the no-replace rename: check, then rename.
    return (errno == EINVAL || errno == ENOSYS) && lstat(to, &status) != 0 && std::rename(from, to) == 0;
}

bool IsLater(const timespec& a, const timespec& b)
{
    return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

bool IsUnheldFolder(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const bool unheld = fd >= 0 && ::flock(fd, LOCK_SH | LOCK_NB) == 0;
    if (fd >= 0)
        ::close(fd);
    return unheld;
}

// What a commit of the folder may have left beside it: the fixed names, and
// the temporaries of writers no longer at work.
std::vector<std::string> FolderCandidates(const std::string& path)
{
    std::vector<std::string> candidates = {path + ".tmp", path + ".bak"};
    const size_t slash = path.find_last_of('/');
    const std::string parent = slash == std::string::npos ? "." : path.substr(0, slash);
    const std::string leaf = slash == std::string::npos ? path : path.substr(slash + 1);
    std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(parent.c_str()), &::closedir);
    while (const dirent* entry = listing ? ::readdir(listing.get()) : nullptr)
    {
        std::string target;
        const std::string candidate = parent + "/" + entry->d_name;
        if (IsTemporaryName(entry->d_name, &target) && target == leaf && IsUnheldFolder(candidate))
            candidates.push_back(candidate);
    }
    return candidates;
}

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
    return CommitSafeFolderFrom((std::string(path) + ".tmp").c_str(), path, dropBackup);
}

bool CommitSafeFolderFrom(const char* temp, const char* path, bool dropBackup)
{
    const std::string backup = std::string(path) + ".bak";
    struct stat status;
    if (lstat(temp, &status) != 0 || !S_ISDIR(status.st_mode))
        return false;
    if (lstat(path, &status) != 0)
        return RenameNoReplace(temp, path);
    if (!S_ISDIR(status.st_mode))
        return false;
    if (::renameat2(AT_FDCWD, temp, AT_FDCWD, path, RENAME_EXCHANGE) == 0)
    {
        // The old folder now has the temporary's name.
        if (dropBackup || !DeleteFileOrDirectory(backup.c_str()) || std::rename(temp, backup.c_str()) != 0)
            DeleteFileOrDirectory(temp);
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    if (!DeleteFileOrDirectory(backup.c_str()) || std::rename(path, backup.c_str()) != 0)
        return false;
    if (std::rename(temp, path) != 0)
    {
        std::rename(backup.c_str(), path);
        return false;
    }
    if (dropBackup)
        DeleteFileOrDirectory(backup.c_str());
    return true;
}

bool RecoverMissingFolder(const char* path, const char* mainFile, std::string* from)
{
    struct stat status;
    if (lstat(path, &status) == 0 || errno != ENOENT)
        return false;
    std::string best;
    timespec newest{};
    for (const std::string& candidate : FolderCandidates(path))
    {
        struct stat main;
        if (lstat(candidate.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) ||
            lstat((candidate + "/" + mainFile).c_str(), &main) != 0 || !S_ISREG(main.st_mode))
            continue;
        if (best.empty() || IsLater(main.st_mtim, newest))
        {
            best = candidate;
            newest = main.st_mtim;
        }
    }
    if (best.empty() || !RenameNoReplace(best.c_str(), path))
        return false;
    if (from)
        *from = best;
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
