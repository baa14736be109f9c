#include "base/DiskFiles.h"

#include "base/DeletableRoots.h"
#include "base/Delegate.h"
#include "base/FolderFinder.h"
#include "base/PathUtils.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
constexpr int kCopyBufferSize = 65536;
constexpr uint32_t kMegabyte = 1048576;
constexpr uint32_t kKilobyte = 1024;
constexpr int kUniqueLetterCount = 8;
constexpr int kUniqueAttempts = 100;

bool StatPath(const char* path, struct stat* status) { return ::stat(path, status) == 0; }

// Copies every byte; false on any read or write error.
bool CopyStream(FILE* from, FILE* to)
{
    std::unique_ptr<char[]> buffer(new char[kCopyBufferSize]);
    for (;;)
    {
        const size_t got = std::fread(buffer.get(), 1, kCopyBufferSize, from);
        if (got == 0)
            return std::ferror(from) == 0;
        if (std::fwrite(buffer.get(), 1, got, to) != got)
            return false;
    }
}

// Every byte of the source into an open file, flushed; false on any error.
bool CopyInto(const char* source, FILE* to)
{
    FILE* from = OpenFileUTF8(source, "rb");
    if (!from)
        return false;
    bool ok = CopyStream(from, to);
    ok = std::fflush(to) == 0 && ok;
    std::fclose(from);
    return ok;
}

// Moves a finished copy into place; without overwrite an existing target is
// never replaced.
bool MoveIntoPlace(const char* temp, const char* target, bool overwrite)
{
    if (overwrite)
        return std::rename(temp, target) == 0;
    if (::renameat2(AT_FDCWD, temp, AT_FDCWD, target, RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without the no-replace rename: a hard link never replaces.
    return ::link(temp, target) == 0 && ::unlink(temp) == 0;
}

std::string RandomLetters()
{
    thread_local std::mt19937 random{std::random_device{}()};
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string letters;
    for (int i = 0; i < kUniqueLetterCount; ++i)
        letters += kLetters[random() % (sizeof(kLetters) - 1)];
    return letters;
}

bool IsFolderNamedSvn(const char* name) { return cGenString::EqualsNoCase(name, ".svn"); }
} // namespace

bool CopyFileBytes(const char* source, const char* target)
{
    const int fd = ::open(target, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    FILE* to = fd >= 0 ? ::fdopen(fd, "wb") : nullptr;
    if (!to)
    {
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    const bool ok = CopyInto(source, to);
    return std::fclose(to) == 0 && ok;
}

FILE* OpenFileUTF8(const char* path, const char* mode)
{
    // Close on exec: files never leak into programs the studio starts.
    char modeText[8];
    std::snprintf(modeText, sizeof(modeText), "%se", mode);
    FILE* file = std::fopen(path, modeText);
    if (!file)
        return nullptr;
    struct stat status;
    if (fstat(fileno(file), &status) != 0 || S_ISDIR(status.st_mode))
    {
        std::fclose(file);
        errno = EISDIR;
        return nullptr;
    }
    return file;
}

int CreateUniqueFile(int folder, const std::string& prefix, const char* suffix, std::string& name)
{
    for (int attempt = 0; attempt < kUniqueAttempts; ++attempt)
    {
        name = prefix + RandomLetters() + suffix;
        const int fd = ::openat(folder, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0)
            ::flock(fd, LOCK_EX | LOCK_NB);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

int CreateUniqueFolder(const std::string& prefix, const char* suffix, std::string& name)
{
    for (int attempt = 0; attempt < kUniqueAttempts; ++attempt)
    {
        name = prefix + RandomLetters() + suffix;
        if (::mkdir(name.c_str(), 0777) != 0)
        {
            if (errno != EEXIST)
                return -1;
            continue;
        }
        const int fd = ::open(name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return fd;
        if (fd >= 0)
            ::close(fd);
        ::rmdir(name.c_str());
        return -1;
    }
    return -1;
}

bool ResolveLinks(const char* path, std::string& resolved)
{
    constexpr int kMaxLinks = 40; // as the system allows in one lookup
    resolved = path;
    for (int hop = 0; hop < kMaxLinks; ++hop)
    {
        struct stat status;
        if (::lstat(resolved.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return true;
        char target[4096];
        const ssize_t length = ::readlink(resolved.c_str(), target, sizeof(target) - 1);
        if (length <= 0)
            return false;
        target[length] = 0;
        const size_t slash = resolved.find_last_of('/');
        if (target[0] == '/' || slash == std::string::npos)
            resolved = target;
        else
            resolved = resolved.substr(0, slash + 1) + target;
    }
    return false;
}

bool CreateFolderTree(const char* path)
{
    const std::string text = path;
    if (text.empty())
        return false;
    for (size_t i = 1; i <= text.size(); ++i)
    {
        if (i < text.size() && text[i] != '/' && text[i] != '\\')
            continue;
        const std::string level = text.substr(0, i);
        if (::mkdir(level.c_str(), 0777) != 0 && errno != EEXIST)
            return false;
    }
    struct stat status;
    return StatPath(path, &status) && S_ISDIR(status.st_mode);
}

bool IsSameFile(const char* a, const char* b)
{
    struct stat first, second;
    return StatPath(a, &first) && StatPath(b, &second) && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

bool FilesHaveSameBytes(const char* a, const char* b)
{
    struct stat first, second;
    if (!StatPath(a, &first) || !StatPath(b, &second) || !S_ISREG(first.st_mode) || !S_ISREG(second.st_mode) ||
        first.st_size != second.st_size)
        return false;
    std::unique_ptr<FILE, int (*)(FILE*)> one(OpenFileUTF8(a, "rb"), &std::fclose);
    std::unique_ptr<FILE, int (*)(FILE*)> two(OpenFileUTF8(b, "rb"), &std::fclose);
    if (!one || !two)
        return false;
    char left[4096], right[4096];
    for (;;)
    {
        const size_t n = std::fread(left, 1, sizeof(left), one.get());
        if (std::fread(right, 1, sizeof(right), two.get()) != n || std::memcmp(left, right, n) != 0)
            return false;
        if (n < sizeof(left))
            return std::ferror(one.get()) == 0 && std::ferror(two.get()) == 0;
    }
}

bool CopyDiskFile(const char* source, const char* target, bool overwrite)
{
    struct stat status;
    if (!StatPath(source, &status) || !S_ISREG(status.st_mode) || IsSameFile(source, target))
        return false;
    if (StatPath(target, &status))
    {
        // Overwriting deletes the old target: only where deleting is allowed.
        if (!overwrite || S_ISDIR(status.st_mode) || !IsUnderDeletableRoot(target))
            return false;
    }
    std::string temp;
    const int fd = CreateUniqueFile(AT_FDCWD, std::string(target) + ".", ".tmp", temp);
    FILE* to = fd >= 0 ? ::fdopen(fd, "wb") : nullptr;
    if (!to)
    {
        if (fd >= 0)
        {
            ::close(fd);
            ::unlink(temp.c_str());
        }
        return false;
    }
    // Moved into place while still open, so it is never an unheld temporary.
    bool ok = CopyInto(source, to) && ::fsync(fd) == 0 && MoveIntoPlace(temp.c_str(), target, overwrite);
    if (!ok)
        ::unlink(temp.c_str());
    ok = std::fclose(to) == 0 && ok;
    return ok;
}

void CopyFolderRecurse(cGenString& source, cGenString& target, bool overwrite, bool* ok,
                       const cDelegate* progress)
{
    if (!CreateFolderTree(target.CStr()))
    {
        *ok = false;
        return;
    }
    cFolderFinder finder(source.CStr());
    for (bool found = finder.First(); found; found = finder.Next())
    {
        const int sourceLength = source.Length();
        const int targetLength = target.Length();
        if (!PathAppend(source, finder.GetName()) || !PathAppend(target, finder.GetName()))
            *ok = false;
        else if (finder.IsFolder())
        {
            if (!IsFolderNamedSvn(finder.GetName()))
                CopyFolderRecurse(source, target, overwrite, ok, progress);
        }
        else
        {
            struct stat status;
            if (overwrite || !StatPath(target.CStr(), &status))
            {
                if (!CopyDiskFile(source.CStr(), target.CStr(), overwrite))
                    *ok = false;
                else if (progress)
                    progress->Invoke(finder.GetName());
            }
        }
        source.Truncate(sourceLength);
        target.Truncate(targetLength);
    }
}

bool CopyPath(const char* target, const char* source, bool overwrite, const cDelegate* progress)
{
    struct stat status;
    if (!StatPath(source, &status))
        return false;
    if (S_ISDIR(status.st_mode))
    {
        cGenStringFixed<260> from(source);
        cGenStringFixed<260> to(target);
        bool ok = true;
        CopyFolderRecurse(from, to, overwrite, &ok, progress);
        return ok;
    }
    if (!overwrite && StatPath(target, &status))
        return true;
    return CopyDiskFile(source, target, overwrite);
}

bool DescribeFile(const char* path, cGenString& out)
{
    out.AssignCStr("");
    struct stat status;
    if (!StatPath(path, &status))
        return false;
    char text[64] = "";
    struct tm local;
    const time_t written = status.st_mtime;
    if (localtime_r(&written, &local))
        std::snprintf(text, sizeof(text), "%02d/%02d/%04d %02d:%02d", local.tm_mday, local.tm_mon + 1,
                      local.tm_year + 1900, local.tm_hour, local.tm_min);
    const uint32_t size = uint32_t(status.st_size);
    const size_t used = std::strlen(text);
    if (size > kMegabyte)
        std::snprintf(text + used, sizeof(text) - used, ", %uMB", size / kMegabyte);
    else if (size > kKilobyte)
        std::snprintf(text + used, sizeof(text) - used, ", %uKB", size / kKilobyte);
    else if (size != 0)
        std::snprintf(text + used, sizeof(text) - used, ", %uB", size);
    out.AssignCStr(text);
    return true;
}

void AccumulateFolderSize(cGenString& folder, uint32_t* bytes, uint32_t* files)
{
    cFolderFinder finder(folder.CStr());
    for (bool found = finder.First(); found; found = finder.Next())
    {
        const int length = folder.Length();
        if (!PathAppend(folder, finder.GetName()))
            continue;
        if (finder.IsFolder())
            AccumulateFolderSize(folder, bytes, files);
        else
        {
            struct stat status;
            if (StatPath(folder.CStr(), &status))
                *bytes += uint32_t(status.st_size);
            *files += 1;
        }
        folder.Truncate(length);
    }
}

bool IsFileNewer(const char* a, const char* b)
{
    struct stat first, second;
    if (!StatPath(a, &first) || !StatPath(b, &second))
        return false;
    if (first.st_mtim.tv_sec != second.st_mtim.tv_sec)
        return first.st_mtim.tv_sec > second.st_mtim.tv_sec;
    return first.st_mtim.tv_nsec > second.st_mtim.tv_nsec;
}
