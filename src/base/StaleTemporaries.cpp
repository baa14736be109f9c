#include "base/StaleTemporaries.h"

#include "base/CommitGroup.h"
#include "base/DeletableRoots.h"

#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{
constexpr const char* kSuffix = ".tmp";
constexpr size_t kSuffixLength = 4;
constexpr size_t kLetterCount = 8;
// Deeper trees are not the program's; a loop of bind mounts cannot trap the walk.
constexpr int kMaxDepth = 32;

timespec Now()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return now;
}

timespec sProgramStart = Now();

bool IsLetterOrDigit(char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

bool WrittenBeforeStart(const struct stat& status)
{
    const timespec& written = status.st_mtim;
    return written.tv_sec != sProgramStart.tv_sec ? written.tv_sec < sProgramStart.tv_sec
                                                   : written.tv_nsec < sProgramStart.tv_nsec;
}

// Open and unlocked: no writer holds it. The lock taken stays until the
// descriptor closes, so no writer can take it up meanwhile.
int HoldIfUnheld(const std::string& path, bool folder)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | (folder ? O_DIRECTORY : 0));
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
        return fd;
    if (fd >= 0)
        ::close(fd);
    return -1;
}

bool RemoveIfStale(const std::string& path, const struct stat& status)
{
    const bool folder = S_ISDIR(status.st_mode);
    if ((!folder && !S_ISREG(status.st_mode)) || !WrittenBeforeStart(status))
        return false;
    const int held = HoldIfUnheld(path, folder);
    if (held < 0)
        return false;
    const bool removed = folder ? DeleteFileOrDirectory(path.c_str()) : ::unlink(path.c_str()) == 0;
    ::close(held);
    return removed;
}

struct cEntry
{
    std::string name;
    unsigned char type; // as the listing gives it; DT_UNKNOWN on some file systems
};

std::vector<cEntry> ListFolder(const std::string& folder)
{
    std::vector<cEntry> entries;
    std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(folder.c_str()), &::closedir);
    if (!listing)
        return entries;
    while (const dirent* entry = ::readdir(listing.get()))
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            entries.push_back({entry->d_name, entry->d_type});
    return entries;
}

int Sweep(const std::string& folder, int depth)
{
    if (depth > kMaxDepth)
        return 0;
    // A pending commit still needs the temporaries it lists.
    const bool pending = !FinishInterruptedCommit(folder.c_str());
    int removed = 0;
    for (const cEntry& entry : ListFolder(folder))
    {
        const bool temporary = IsTemporaryName(entry.name.c_str());
        // Only what may be a temporary or a folder is looked at closer: a
        // large library of samples costs a listing, not a look-up per file.
        if (!temporary && entry.type != DT_DIR && entry.type != DT_UNKNOWN)
            continue;
        const std::string path = folder + "/" + entry.name;
        struct stat status;
        if (::lstat(path.c_str(), &status) != 0)
            continue;
        if (temporary)
            removed += !pending && RemoveIfStale(path, status) ? 1 : 0;
        else if (S_ISDIR(status.st_mode))
            removed += Sweep(path, depth + 1);
    }
    return removed;
}
} // namespace

void MarkProgramStart() { sProgramStart = Now(); }

bool IsTemporaryName(const char* name, std::string* target)
{
    const size_t length = std::strlen(name);
    // At least one character of target, the dot, the letters and the suffix.
    if (length < 1 + 1 + kLetterCount + kSuffixLength || std::strcmp(name + length - kSuffixLength, kSuffix) != 0)
        return false;
    const size_t dot = length - kSuffixLength - kLetterCount - 1;
    if (name[dot] != '.')
        return false;
    for (size_t i = dot + 1; i < dot + 1 + kLetterCount; ++i)
        if (!IsLetterOrDigit(name[i]))
            return false;
    if (target)
        target->assign(name, dot);
    return true;
}

int SweepStaleTemporaries(const char* folder)
{
    std::string root(folder);
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    return root.empty() ? 0 : Sweep(root, 0);
}
