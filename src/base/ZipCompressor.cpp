#include "base/DiskFiles.h"
#include "base/File.h"
#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/PathUtils.h"
#include "base/SafeWrite.h"
#include "base/Zip.h"
#include "base/ZipFileLayer.h"

#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace Zip
{
namespace
{
constexpr int kCopyBufferSize = 131072;
constexpr int kCompressionLevel = 9;

File::cFileSystem* Documents()
{
    return gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Doc") : nullptr;
}

int32_t PrefixOfFile(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    const char* backslash = std::strrchr(path, '\\');
    const char* last = slash > backslash ? slash : backslash;
    return last ? int32_t(last - path + 1) : 0;
}

// Entry names are relative to the folder, without the folder's own name.
int32_t PrefixOfFolder(const char* folder)
{
    int32_t length = int32_t(std::strlen(folder));
    while (length > 0 && (folder[length - 1] == '/' || folder[length - 1] == '\\'))
        --length;
    return length > 0 ? length + 1 : 0;
}

// The entry name: the path without its prefix, always with "/".
void EntryName(const char* path, int32_t prefixLength, cGenStringFixed<260>& name)
{
    name.AssignCStr(int32_t(std::strlen(path)) >= prefixLength ? path + prefixLength : path);
    PathToForwardSlashes(name);
}
} // namespace

int32_t cZipCompressor::Compress(const char* source, const char* archive)
{
    total = 0;
    done = 0;
    File::cFileSystem* documents = Documents();
    File::sFileStatus status;
    if (!documents || !documents->Stat(source, &status))
        return kResultFailed;
    int32_t result = kResultFailed;
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[kCopyBufferSize]);
    mBuffer = buffer.get();
    if (status.IsFolder())
    {
        if (CheckFolder(source))
            result = AddFolder(source, archive, PrefixOfFolder(source));
    }
    else
    {
        total = 1;
        result = CompressFile(source, archive, PrefixOfFile(source));
    }
    mBuffer = nullptr;
    if (mArchive && !CloseArchive() && result == kResultOk)
        result = kResultFailed;
    return FinishArchive(archive, result);
}

// The archive is written as a temporary of its own: it replaces an earlier
// one only whole, and a file named like a temporary is never touched.
int32_t cZipCompressor::FinishArchive(const char* archive, int32_t result)
{
    if (mHeld < 0)
        return result;
    cGenStringFixed<260> target(*Documents()->GetRootPath());
    const bool placed = result == kResultOk && PathAppend(target, archive) && ::fsync(mHeld) == 0 &&
                        CommitSafeWriteFrom(mTempPath.c_str(), target.CStr(), true);
    if (!placed)
        ::unlink(mTempPath.c_str());
    ::close(mHeld);
    mHeld = -1;
    mTempPath.clear();
    return placed || result != kResultOk ? result : kResultFailed;
}

int32_t cZipCompressor::CompressFile(const char* source, const char* archive, int32_t prefixLength)
{
    File::cFile* stream = Documents()->Open(source, File::kModeRead, 0);
    if (!stream)
        return kResultFailed;
    int32_t result = kResultFailed;
    if (OpenArchive(archive))
    {
        result = AddFile(source, stream, prefixLength);
        ++done;
    }
    delete stream;
    return result;
}

bool cZipCompressor::CheckFolder(const char* folder)
{
    File::cFileSystem::cFileIterator* iterator = Documents()->NewIterator(folder);
    const bool listed = iterator->First();
    for (bool found = listed; found; found = iterator->Next())
    {
        if (!iterator->IsFolder())
        {
            ++total;
            continue;
        }
        cGenStringFixed<260> child(folder);
        if (PathAppend(child, iterator->GetName()))
            CheckFolder(child.CStr());
    }
    delete iterator;
    return listed;
}

int32_t cZipCompressor::AddFolder(const char* folder, const char* archive, int32_t prefixLength)
{
    File::cFileSystem::cFileIterator* iterator = Documents()->NewIterator(folder);
    int32_t result = kResultFailed;
    for (bool found = iterator->First(); found; found = iterator->Next())
    {
        cGenStringFixed<260> path(folder);
        if (!PathAppend(path, iterator->GetName()))
            result = kResultFailed;
        else if (iterator->IsFolder())
            result = AddFolder(path.CStr(), archive, prefixLength);
        else
            // A file that cannot be read fails the whole archive rather than
            // being left out of it unnoticed.
            result = CompressFile(path.CStr(), archive, prefixLength);
        if (result != kResultOk)
            break;
    }
    delete iterator;
    return result;
}

bool cZipCompressor::OpenArchive(const char* archive)
{
    if (mArchive)
        return true;
    File::cFileSystem* documents = Documents();
    if (!documents)
        return false;
    cGenStringFixed<260> path(*documents->GetRootPath());
    if (!PathAppend(path, archive))
        return false;
    mHeld = CreateUniqueFile(AT_FDCWD, std::string(path.CStr()) + ".", ".tmp", mTempPath);
    if (mHeld < 0)
        return false;
    // The writer works on a second descriptor of the same file, so closing
    // it leaves the first holding the temporary.
    const int fd = ::fcntl(mHeld, F_DUPFD_CLOEXEC, 0);
    FILE* stream = fd >= 0 ? ::fdopen(fd, "w+b") : nullptr;
    if (!stream && fd >= 0)
        ::close(fd);
    zlib_filefunc64_def functions;
    FillStreamFunctions(&functions);
    mArchive = stream ? zipOpen2_64(stream, APPEND_STATUS_CREATE, nullptr, &functions) : nullptr;
    if (stream && !mArchive)
        std::fclose(stream);
    return mArchive != nullptr;
}

bool cZipCompressor::CloseArchive()
{
    const bool closed = zipClose(mArchive, nullptr) == ZIP_OK;
    mArchive = nullptr;
    return closed;
}

bool cZipCompressor::ReportProgress(const char* text, float fraction)
{
    if (progress.IsEmpty())
        return false;
    sProgress report{text, fraction, false};
    progress.Invoke(&report);
    return report.cancel;
}

int32_t cZipCompressor::AddFile(const char* path, File::cFile* stream, int32_t prefixLength)
{
    cGenStringFixed<260> nativePath;
    if (stream->GetOwner())
    {
        nativePath.Assign(*stream->GetOwner()->GetRootPath());
        if (!PathAppend(nativePath, stream->GetName()))
            nativePath.AssignCStr("");
    }
    zip_fileinfo info;
    GetFileTimeDate(nativePath.IsEmpty() ? "-" : nativePath.CStr(), &info);
    cGenStringFixed<260> name;
    EntryName(path, prefixLength, name);
    if (zipOpenNewFileInZip(mArchive, name.CStr(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                            kCompressionLevel) != ZIP_OK)
        return kResultFailed;
    stream->Seek(0, 0);
    const int length = stream->GetLength();
    if (length == 0)
    {
        const bool ok = zipWriteInFileInZip(mArchive, mBuffer, 0) == ZIP_OK;
        return (zipCloseFileInZip(mArchive) == ZIP_OK && ok) ? kResultOk : kResultFailed;
    }
    const cGenString fileName = PathGetFileName(stream->GetName());
    int64_t written = 0;
    for (int got; (got = stream->Read(mBuffer, kCopyBufferSize)) > 0;)
    {
        if (zipWriteInFileInZip(mArchive, mBuffer, unsigned(got)) != ZIP_OK)
        {
            zipCloseFileInZip(mArchive);
            return kResultFailed;
        }
        written += got;
        const float fraction = total ? float((double(written) / length + done) / total) : 0.0f;
        if (ReportProgress(fileName.CStr(), fraction))
            return zipCloseFileInZip(mArchive) == ZIP_OK ? kResultCancelled : kResultFailed;
    }
    // A read that stops short of the length is a read error, not the end.
    if (zipCloseFileInZip(mArchive) != ZIP_OK || written != length)
        return kResultFailed;
    return kResultOk;
}

} // namespace Zip
