#include "base/DiskFiles.h"
#include "base/PathUtils.h"
#include "base/Zip.h"
#include "base/ZipFileLayer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

namespace Zip
{
namespace
{
constexpr int kCopyBufferSize = 131072;
constexpr int kMaxEntryName = 259;

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// The parts of an entry name between its separators ("." and empty parts
// dropped).
std::vector<std::string> SplitEntryName(const char* name)
{
    std::vector<std::string> parts;
    for (const char* p = name; *p;)
    {
        const char* end = p;
        while (*end && !IsSeparator(*end))
            ++end;
        const std::string part(p, size_t(end - p));
        if (!part.empty() && part != ".")
            parts.push_back(part);
        p = *end ? end + 1 : end;
    }
    return parts;
}

// An open folder, closed when it goes.
class cFolderHandle
{
public:
    explicit cFolderHandle(int fd = -1) : mFd(fd) {}
    ~cFolderHandle() { Reset(-1); }
    cFolderHandle(const cFolderHandle&) = delete;
    cFolderHandle& operator=(const cFolderHandle&) = delete;

    int Get() const { return mFd; }
    void Reset(int fd)
    {
        if (mFd >= 0)
            ::close(mFd);
        mFd = fd;
    }

private:
    int mFd;
};

// Opens the folder an entry goes into: the extraction folder (made when
// missing), then each of the given parts below it, made when missing. No part
// may be a symbolic link: a link already in the folder would otherwise send
// the entry's bytes outside it. False when a part is a link or cannot be made.
bool OpenEntryFolder(const char* folder, const std::vector<std::string>& parts, size_t count, cFolderHandle& out)
{
    if (!CreateFolderTree(folder))
        return false;
    out.Reset(::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    for (size_t i = 0; i < count && out.Get() >= 0; ++i)
    {
        const char* part = parts[i].c_str();
        if (::mkdirat(out.Get(), part, 0777) != 0 && errno != EEXIST)
            out.Reset(-1);
        else
            out.Reset(::openat(out.Get(), part, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    }
    return out.Get() >= 0;
}

bool ExistsIn(int folder, const char* leaf)
{
    struct stat status;
    return ::fstatat(folder, leaf, &status, AT_SYMLINK_NOFOLLOW) == 0;
}

bool WriteAll(int fd, const uint8_t* data, size_t size)
{
    while (size > 0)
    {
        const ssize_t wrote = ::write(fd, data, size);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        data += wrote;
        size -= size_t(wrote);
    }
    return true;
}

void SetDateIn(int folder, const char* leaf, const tm_unz& date)
{
    struct tm local = {};
    local.tm_sec = int(date.tm_sec);
    local.tm_min = int(date.tm_min);
    local.tm_hour = int(date.tm_hour);
    local.tm_mday = int(date.tm_mday);
    local.tm_mon = int(date.tm_mon);
    local.tm_year = int(date.tm_year > 1900 ? date.tm_year - 1900 : date.tm_year);
    local.tm_isdst = -1;
    const struct timespec times[2] = {{mktime(&local), 0}, {mktime(&local), 0}};
    ::utimensat(folder, leaf, times, AT_SYMLINK_NOFOLLOW);
}

// The current entry's information and its whole name. A name longer than a
// target path can hold is refused unread: minizip leaves a name that does not
// fit its buffer unterminated, and a name cut to the buffer would be written
// under another name.
bool ReadEntry(void* handle, unz_file_info64& info, char (&name)[kMaxEntryName + 1])
{
    return unzGetCurrentFileInfo64(handle, &info, name, sizeof(name), nullptr, 0, nullptr, 0) == UNZ_OK &&
           info.size_filename <= kMaxEntryName;
}

// Free bytes for an unprivileged user on the file system that holds the
// folder, or of its nearest existing parent.
uint64_t FreeSpaceFor(const char* folder)
{
    std::string path = folder;
    struct statvfs info;
    while (::statvfs(path.empty() ? "/" : path.c_str(), &info) != 0)
    {
        const size_t slash = path.find_last_of('/');
        if (path.empty() || slash == std::string::npos)
            return ::statvfs(".", &info) == 0 ? uint64_t(info.f_bavail) * uint64_t(info.f_frsize) : UINT64_MAX;
        path.resize(slash);
    }
    return uint64_t(info.f_bavail) * uint64_t(info.f_frsize);
}

} // namespace

bool IsSafeEntryName(const char* name)
{
    if (name[0] == 0 || IsSeparator(name[0]))
        return false;
    if (((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z')) && name[1] == ':')
        return false;
    for (const char* p = name; *p;)
    {
        const char* end = p;
        while (*end && !IsSeparator(*end))
            ++end;
        if (std::string_view(p, size_t(end - p)) == "..")
            return false;
        p = *end ? end + 1 : end;
    }
    return true;
}

void* OpenArchiveForReading(const char* nativePath)
{
    zlib_filefunc64_def functions;
    FillFileFunctions(&functions);
    return unzOpen2_64(nativePath, &functions);
}

void CloseArchiveForReading(void* handle)
{
    if (handle)
        unzClose(handle);
}

int32_t cZipExtractor::ExtractArchive(const char* archive, const char* folder, bool overwrite)
{
    void* handle = OpenArchiveForReading(archive);
    if (!handle)
        return kResultFailed;
    const int32_t result = ExtractAll(handle, folder, overwrite);
    CloseArchiveForReading(handle);
    return result;
}

int32_t cZipExtractor::ExtractAll(void* handle, const char* folder, bool overwrite)
{
    if (!handle)
        return kResultFailed;
    unz_global_info info;
    if (unzGetGlobalInfo(handle, &info) != UNZ_OK || info.number_entry == 0)
        return kResultFailed;
    total = uint32_t(info.number_entry);
    done = 0;
    if (!CanUnpackAll(handle, folder, overwrite) || unzGoToFirstFile(handle) != UNZ_OK)
        return kResultFailed;
    for (;;)
    {
        const int32_t result = ExtractCurrent(handle, folder, overwrite);
        if (result != kResultOk)
            return result;
        const int step = unzGoToNextFile(handle);
        if (step == UNZ_END_OF_LIST_OF_FILE)
            return kResultOk;
        if (step != UNZ_OK)
            return kResultFailed;
    }
}

// Whether every entry can be named and the files the archive declares (those
// that will be written) fit the free space: a name that cannot be unpacked or
// a full disk is found before anything is written, not halfway through.
bool cZipExtractor::CanUnpackAll(void* handle, const char* folder, bool overwrite)
{
    uint64_t needed = 0;
    int step = unzGoToFirstFile(handle);
    for (; step == UNZ_OK; step = unzGoToNextFile(handle))
    {
        unz_file_info64 info;
        char name[kMaxEntryName + 1];
        cGenStringFixed<260> target(folder);
        if (!ReadEntry(handle, info, name) || !IsSafeEntryName(name) || !PathAppend(target, name))
            return false;
        const bool kept = !overwrite && ::access(target.CStr(), F_OK) == 0;
        if (!kept)
            needed += info.uncompressed_size;
    }
    return step == UNZ_END_OF_LIST_OF_FILE && needed <= FreeSpaceFor(folder);
}

void cZipExtractor::ReportProgress(const char* text, float fraction)
{
    if (progress.IsEmpty())
        return;
    sProgress report{text, fraction, false};
    progress.Invoke(&report);
}

int32_t cZipExtractor::ExtractCurrent(void* handle, const char* folder, bool overwrite)
{
    unz_file_info64 info;
    char name[kMaxEntryName + 1];
    if (!ReadEntry(handle, info, name) || !IsSafeEntryName(name))
        return kResultFailed;
    cGenStringFixed<260> target(folder);
    if (!PathAppend(target, name))
        return kResultFailed;
    const cGenString fileName = PathGetFileName(name);
    ReportProgress(fileName.CStr(), total ? float(done) / float(total) : 0.0f);

    const std::vector<std::string> parts = SplitEntryName(name);
    const bool isFolder = IsSeparator(name[std::strlen(name) - 1]) || parts.empty();
    cFolderHandle entryFolder;
    if (!OpenEntryFolder(folder, parts, isFolder ? parts.size() : parts.size() - 1, entryFolder))
        return kResultFailed;
    const char* leaf = isFolder ? nullptr : parts.back().c_str();
    if (isFolder || (!overwrite && ExistsIn(entryFolder.Get(), leaf)))
    {
        ++done;
        return kResultOk;
    }
    if (unzOpenCurrentFile(handle) != UNZ_OK)
        return kResultFailed;
    const int32_t result = CopyEntryData(handle, name, entryFolder.Get(), leaf, info.uncompressed_size);
    if (result == kResultOk)
        SetDateIn(entryFolder.Get(), leaf, info.tmu_date);
    ++done;
    return result;
}

int32_t cZipExtractor::CopyEntryData(void* handle, const char* name, int folder, const char* leaf, uint64_t size)
{
    // The data go to a temporary file of a name no other file has: a failed
    // entry leaves no partial file and keeps a file that was there before,
    // and a file named like the temporary (the user's, a link, another entry)
    // is never touched. The name is kept short enough for any system.
    std::string prefix(1, '.');
    prefix.append(leaf, std::min<size_t>(std::strlen(leaf), 200));
    prefix.push_back('.');
    std::string temp;
    const int file = CreateUniqueFile(folder, prefix, "", temp);
    std::unique_ptr<uint8_t[]> buffer(file >= 0 ? new (std::nothrow) uint8_t[kCopyBufferSize] : nullptr);
    bool ok = file >= 0 && buffer;
    uint64_t written = 0;
    while (ok)
    {
        ReportProgress(name, total ? float((size ? double(written) / double(size) : 0.0) + done) / float(total) : 0.0f);
        const int got = unzReadCurrentFile(handle, buffer.get(), kCopyBufferSize);
        if (got <= 0)
        {
            ok = got == 0;
            break;
        }
        // An entry that inflates past its declared size is not what it says.
        written += uint64_t(got);
        ok = written <= size && WriteAll(file, buffer.get(), size_t(got));
    }
    // Closing the entry checks its checksum once all of it has been read.
    const bool entryClosed = unzCloseCurrentFile(handle) == UNZ_OK;
    ok = ok && entryClosed;
    if (file >= 0)
        ok = ::close(file) == 0 && ok;
    if (ok && ::renameat(folder, temp.c_str(), folder, leaf) == 0)
        return kResultOk;
    if (file >= 0)
        ::unlinkat(folder, temp.c_str(), 0);
    return kResultFailed;
}

} // namespace Zip
