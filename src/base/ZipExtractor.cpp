#include "base/DiskFiles.h"
#include "base/PathUtils.h"
#include "base/Zip.h"
#include "base/ZipFileLayer.h"

#include <cstring>
#include <memory>
#include <new>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace Zip
{
namespace
{
constexpr int kCopyBufferSize = 131072;
constexpr int kMaxEntryName = 259;

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

bool Exists(const char* path)
{
    struct stat status;
    return ::lstat(path, &status) == 0;
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
    if (unzGoToFirstFile(handle) != UNZ_OK)
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

void cZipExtractor::ReportProgress(const char* text, float fraction)
{
    if (progress.IsEmpty())
        return;
    sProgress report{text, fraction, false};
    progress.Invoke(&report);
}

int32_t cZipExtractor::ExtractCurrent(void* handle, const char* folder, bool overwrite)
{
    unz_file_info info;
    char name[kMaxEntryName + 1];
    if (unzGetCurrentFileInfo(handle, &info, name, sizeof(name), nullptr, 0, nullptr, 0) != UNZ_OK)
        return kResultFailed;
    // A name cut to the buffer would be written under another name.
    if (info.size_filename > kMaxEntryName || !IsSafeEntryName(name))
        return kResultFailed;
    cGenStringFixed<260> target(folder);
    if (!PathAppend(target, name))
        return kResultFailed;
    PathToForwardSlashes(target);
    const cGenString fileName = PathGetFileName(name);
    ReportProgress(fileName.CStr(), total ? float(done) / float(total) : 0.0f);

    const size_t nameLength = std::strlen(name);
    if (IsSeparator(name[nameLength - 1]))
    {
        ++done;
        return CreateFolderTree(target.CStr()) ? kResultOk : kResultFailed;
    }
    if (!overwrite && Exists(target.CStr()))
    {
        ++done;
        return kResultOk;
    }
    if (unzOpenCurrentFile(handle) != UNZ_OK)
        return kResultFailed;
    const int32_t result = CopyEntryData(handle, name, target.CStr(), info.uncompressed_size);
    if (result == kResultOk)
        SetFileDate(target.CStr(), info.tmu_date);
    ++done;
    return result;
}

int32_t cZipExtractor::CopyEntryData(void* handle, const char* name, const char* target, uint64_t size)
{
    // The data go to ".tmp" first: a failed entry leaves no partial file and
    // keeps a file that was there before.
    cGenStringFixed<260> temp(target);
    cGenStringFixed<260> parent(target);
    PathStripToDirectory(parent);
    const int length = temp.Length();
    FILE* file = nullptr;
    if (temp.AppendCString(".tmp").Length() != length && (parent.IsEmpty() || CreateFolderTree(parent.CStr())))
        file = OpenFileUTF8(temp.CStr(), "wb");
    std::unique_ptr<uint8_t[]> buffer(file ? new (std::nothrow) uint8_t[kCopyBufferSize] : nullptr);
    bool ok = file && buffer;
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
        ok = std::fwrite(buffer.get(), 1, size_t(got), file) == size_t(got);
        written += uint64_t(got);
    }
    // Closing the entry checks its checksum once all of it has been read.
    const bool entryClosed = unzCloseCurrentFile(handle) == UNZ_OK;
    ok = ok && entryClosed;
    if (file)
        ok = std::fclose(file) == 0 && ok;
    if (ok && std::rename(temp.CStr(), target) == 0)
        return kResultOk;
    if (file)
        ::unlink(temp.CStr());
    return kResultFailed;
}

} // namespace Zip
