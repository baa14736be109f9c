#include "base/CommitGroup.h"

#include "base/DeletableRoots.h"
#include "base/DiskFiles.h"
#include "base/SafeWrite.h"
#include "base/StaleTemporaries.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

const char* const kCommitJournalName = "Commit.journal";

namespace
{
// The journal's first line; anything else is not a journal of ours.
constexpr const char* kJournalHeader = "commit journal 1";
// A journal lists a handful of files; a bigger one is not ours.
constexpr off_t kMaxJournalBytes = 65536;

thread_local cCommitGroup* sCurrent = nullptr;

// One step of a journal: a temporary made its file, or a delete.
struct cStep
{
    bool remove = false;
    bool dropBackup = false;
    std::string temp;
    std::string target;
};

std::string JournalPath(const std::string& folder) { return folder + "/" + kCommitJournalName; }

// A name the journal may hold: one entry of the folder itself.
bool IsPlainName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find_first_of("/\t\n") == std::string::npos;
}

void SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0)
    {
        ::fsync(fd);
        ::close(fd);
    }
}

std::vector<std::string> SplitFields(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

// A journal is read from the user's folder: every name is checked, and a
// temporary is only ever made the file it was written for.
bool ParseStep(const std::string& line, cStep& step)
{
    const std::vector<std::string> fields = SplitFields(line);
    if (fields.size() == 2 && fields[0] == "D")
    {
        step.remove = true;
        step.target = fields[1];
        return IsPlainName(step.target);
    }
    std::string written;
    if (fields.size() != 4 || fields[0] != "C" || (fields[1] != "0" && fields[1] != "1"))
        return false;
    step.dropBackup = fields[1] == "1";
    step.temp = fields[2];
    step.target = fields[3];
    return IsPlainName(step.target) && IsTemporaryName(step.temp.c_str(), &written) && written == step.target;
}

bool ParseJournal(const std::string& text, std::vector<cStep>& steps)
{
    size_t start = 0;
    bool header = true;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    {
        const std::string line = text.substr(start, end - start);
        cStep step;
        if (header ? line != kJournalHeader : !ParseStep(line, step))
            return false;
        if (!header)
            steps.push_back(step);
        header = false;
    }
    return !header && start == text.size();
}

std::string FormatJournal(const std::vector<cStep>& steps)
{
    std::string text = std::string(kJournalHeader) + "\n";
    for (const cStep& step : steps)
    {
        if (step.remove)
            text += "D\t" + step.target + "\n";
        else
            text += std::string("C\t") + (step.dropBackup ? "1" : "0") + "\t" + step.temp + "\t" + step.target + "\n";
    }
    return text;
}

// Every step in order; a temporary already gone was put in place before.
bool ApplySteps(const std::string& folder, const std::vector<cStep>& steps)
{
    for (const cStep& step : steps)
    {
        const std::string target = folder + "/" + step.target;
        if (step.remove)
        {
            DeleteFileOrDirectory(target.c_str());
            continue;
        }
        const std::string temp = folder + "/" + step.temp;
        struct stat status;
        if (::lstat(temp.c_str(), &status) == 0 && !CommitSafeWriteFrom(temp.c_str(), target.c_str(), step.dropBackup))
            return false;
    }
    SyncFolder(folder);
    return true;
}

bool IsFolder(const std::string& path)
{
    struct stat status;
    return ::lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// A write the commit could not put in place is left to its writer to fail
// at once, before the journal promises it.
bool CanReplace(const std::string& target, bool dropBackup)
{
    return !IsFolder(target) && (dropBackup || !IsFolder(target + ".bak"));
}

bool WriteAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size())
    {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += size_t(written);
    }
    return true;
}

// The journal in place, whole and on the disk; its descriptor, still held,
// or -1.
int WriteJournal(const std::string& folder, const std::string& text)
{
    std::string temp;
    const int fd = CreateUniqueFile(AT_FDCWD, JournalPath(folder) + ".", ".tmp", temp);
    if (fd < 0)
        return -1;
    if (WriteAll(fd, text) && ::fsync(fd) == 0 && std::rename(temp.c_str(), JournalPath(folder).c_str()) == 0)
    {
        SyncFolder(folder);
        return fd;
    }
    ::unlink(temp.c_str());
    ::close(fd);
    return -1;
}

bool ReadJournal(int fd, std::string& text)
{
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > kMaxJournalBytes)
        return false;
    text.resize(size_t(status.st_size));
    return ::pread(fd, text.data(), text.size(), 0) == ssize_t(text.size());
}
} // namespace

cCommitGroup::cCommitGroup(const char* folder) : mFolder(folder), mOuter(sCurrent)
{
    while (mFolder.size() > 1 && mFolder.back() == '/')
        mFolder.pop_back();
    sCurrent = this;
}

cCommitGroup::~cCommitGroup()
{
    Release(!mCommitted);
    sCurrent = mOuter;
}

cCommitGroup* cCommitGroup::Current() { return sCurrent; }

std::string cCommitGroup::NameInFolder(const std::string& path) const
{
    if (path.size() <= mFolder.size() + 1 || path.compare(0, mFolder.size(), mFolder) != 0 ||
        path[mFolder.size()] != '/')
        return {};
    const std::string name = path.substr(mFolder.size() + 1);
    return IsPlainName(name) ? name : std::string();
}

bool cCommitGroup::Adopt(FILE* handle, const std::string& temp, const std::string& target, bool dropBackup)
{
    const std::string name = NameInFolder(target);
    std::string written;
    const size_t slash = temp.find_last_of('/');
    const std::string tempName = slash == std::string::npos ? temp : temp.substr(slash + 1);
    if (mCommitted || name.empty() || NameInFolder(temp).empty() || !IsTemporaryName(tempName.c_str(), &written) ||
        written != name || !CanReplace(target, dropBackup))
        return false;
    // A second save of one file in the group supersedes the first.
    for (cWrite& earlier : mWrites)
    {
        if (earlier.target != target)
            continue;
        ::unlink(earlier.temp.c_str());
        std::fclose(earlier.handle);
        earlier = {handle, temp, target, dropBackup};
        return true;
    }
    mWrites.push_back({handle, temp, target, dropBackup});
    return true;
}

bool cCommitGroup::AdoptDelete(const char* path)
{
    const std::string name = NameInFolder(path);
    if (mCommitted || name.empty())
        return false;
    mDeletes.push_back(name);
    return true;
}

bool cCommitGroup::Commit()
{
    mCommitted = true;
    if (mWrites.empty() && mDeletes.empty())
        return true;
    std::vector<cStep> steps;
    for (const cWrite& write : mWrites)
        steps.push_back({false, write.dropBackup, NameInFolder(write.temp), NameInFolder(write.target)});
    for (const std::string& name : mDeletes)
        steps.push_back({true, false, {}, name});
    const int journal = WriteJournal(mFolder, FormatJournal(steps));
    if (journal < 0)
    {
        Release(true);
        return false;
    }
    // The journal stays held until it is gone, so no one else finishes it.
    const bool ok = ApplySteps(mFolder, steps);
    if (ok)
    {
        ::unlink(JournalPath(mFolder).c_str());
        SyncFolder(mFolder);
    }
    ::close(journal);
    Release(false);
    return ok;
}

void cCommitGroup::Release(bool removeTemporaries)
{
    for (cWrite& write : mWrites)
    {
        if (removeTemporaries)
            ::unlink(write.temp.c_str());
        std::fclose(write.handle);
    }
    mWrites.clear();
    mDeletes.clear();
}

bool FinishInterruptedCommit(const char* folder, bool* finished)
{
    if (finished)
        *finished = false;
    const std::string path = JournalPath(folder);
    // No journal, or none that could be read (a link is never followed).
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return true;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
    {
        ::close(fd);
        return false;
    }
    std::string text;
    std::vector<cStep> steps;
    // A file of that name that is not a journal of ours is left alone.
    const bool ours = ReadJournal(fd, text) && ParseJournal(text, steps);
    const bool done = !ours || ApplySteps(folder, steps);
    if (ours && done)
    {
        ::unlink(path.c_str());
        SyncFolder(folder);
    }
    ::close(fd);
    if (finished)
        *finished = ours && done;
    return done;
}
