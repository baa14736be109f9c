#include "base/ZipFileLayer.h"

#include "base/DiskFiles.h"

#include <cstring>
#include <ctime>
#include <sys/stat.h>
#include <utime.h>

namespace Zip
{
namespace
{
voidpf OpenUTF8(voidpf, const void* filename, int mode)
{
    const char* text = "rb";
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) == ZLIB_FILEFUNC_MODE_READ)
        text = "rb";
    else if (mode & ZLIB_FILEFUNC_MODE_EXISTING)
        text = "r+b";
    else if (mode & ZLIB_FILEFUNC_MODE_CREATE)
        text = "wb";
    return filename ? OpenFileUTF8(static_cast<const char*>(filename), text) : nullptr;
}

voidpf OpenGivenStream(voidpf, const void* stream, int) { return const_cast<void*>(stream); }
} // namespace

int32_t GetFileTimeDate(const char* nativePath, zip_fileinfo* info)
{
    std::memset(&info->tmz_date, 0, sizeof(info->tmz_date));
    info->dosDate = 0;
    info->internal_fa = 0;
    info->external_fa = 0;
    time_t modified = 0;
    int32_t result = 0;
    if (std::strcmp(nativePath, "-") != 0)
    {
        char path[260];
        std::snprintf(path, sizeof(path), "%s", nativePath);
        const size_t length = std::strlen(path);
        if (length > 0 && (path[length - 1] == '/' || path[length - 1] == '\\'))
            path[length - 1] = 0;
        struct stat status;
        if (::stat(path, &status) == 0)
        {
            modified = status.st_mtime;
            result = 1;
        }
    }
    struct tm local;
    if (!localtime_r(&modified, &local))
        return result;
    info->tmz_date.tm_sec = uInt(local.tm_sec);
    info->tmz_date.tm_min = uInt(local.tm_min);
    info->tmz_date.tm_hour = uInt(local.tm_hour);
    info->tmz_date.tm_mday = uInt(local.tm_mday);
    info->tmz_date.tm_mon = uInt(local.tm_mon);
    info->tmz_date.tm_year = uInt(local.tm_year + 1900);
    return result;
}

void SetFileDate(const char* nativePath, const tm_unz& date)
{
    struct tm local = {};
    local.tm_sec = int(date.tm_sec);
    local.tm_min = int(date.tm_min);
    local.tm_hour = int(date.tm_hour);
    local.tm_mday = int(date.tm_mday);
    local.tm_mon = int(date.tm_mon);
    local.tm_year = int(date.tm_year > 1900 ? date.tm_year - 1900 : date.tm_year);
    local.tm_isdst = -1;
    struct utimbuf times;
    times.actime = times.modtime = mktime(&local);
    ::utime(nativePath, &times);
}

void FillFileFunctions(zlib_filefunc64_def* functions)
{
    fill_fopen64_filefunc(functions);
    functions->zopen64_file = &OpenUTF8;
}

void FillStreamFunctions(zlib_filefunc64_def* functions)
{
    fill_fopen64_filefunc(functions);
    functions->zopen64_file = &OpenGivenStream;
}

} // namespace Zip
