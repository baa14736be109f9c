#include "base/UniqueFileName.h"

#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/PathUtils.h"

#include <cstdio>
#include <cstring>

namespace
{
constexpr int kMaxStemLength = 29;
constexpr int kLastCounter = 99;

tSampleLoadedLookup sSampleLoadedLookup = nullptr;

using tTakenTest = bool (*)(File::cFileSystem& documents, const cGenString& path);

bool IsFileTaken(File::cFileSystem& documents, const cGenString& path) { return documents.Exists(path); }

bool IsSampleTaken(File::cFileSystem& documents, const cGenString& path)
{
    return documents.Exists(path) || (sSampleLoadedLookup && sSampleLoadedLookup(path.CStr()));
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the part of base that stays in front of the counter.
int StemEnd(const cGenStringFixed<260>& base)
{
    int n = base.Length();
    if (n > 3 && base.CharAt(n - 3) == '-' && IsDigit(base.CharAt(n - 2)) && IsDigit(base.CharAt(n - 1)))
        n -= 3;
    int stemStart = n;
    while (stemStart > 0 && !IsPathSeparator(base.CharAt(stemStart - 1)))
        --stemStart;
    const int stemLength = n - stemStart;
    if (stemLength >= kMaxStemLength + 1)
        n -= stemLength - kMaxStemLength;
    return n;
}

bool MakeUnique(cGenString& path, int firstCounter, tTakenTest isTaken)
{
    File::cFileSystem* documents = gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Doc") : nullptr;
    if (!documents)
        return false;
    cGenStringFixed<260> base(path);
    cGenStringFixed<260> ext;
    const cGenString extension = PathGetExtension(path);
    if (!extension.IsEmpty())
    {
        ext.AssignCStr(".");
        ext.Append(extension);
    }
    PathRemoveExtension(base);
    const int n = StemEnd(base);
    for (int i = firstCounter; i <= kLastCounter; ++i)
    {
        base.Truncate(n);
        char counter[8];
        std::snprintf(counter, sizeof(counter), "-%02d", i);
        base.AppendCString(counter);
        base.Append(ext);
        // A candidate that does not fit its buffer would be a different name.
        if (base.Length() != n + 3 + ext.Length())
            return false;
        if (!isTaken(*documents, base))
        {
            path.Assign(base);
            return path.Length() == base.Length();
        }
    }
    return false;
}
} // namespace

bool MakeUniqueFileName(cGenString& path, bool onlyWhenTaken)
{
    if (onlyWhenTaken)
    {
        File::cFileSystem* documents = gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Doc") : nullptr;
        if (!documents || !IsFileTaken(*documents, path))
            return false;
        return MakeUnique(path, 2, &IsFileTaken);
    }
    return MakeUnique(path, 1, &IsFileTaken);
}

bool MakeUniqueSampleFileName(cGenString& path)
{
    File::cFileSystem* documents = gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Doc") : nullptr;
    if (!documents || !IsSampleTaken(*documents, path))
        return false;
    return MakeUnique(path, 2, &IsSampleTaken);
}

bool PathWithCounter(const cGenString& path, int counter, cGenString& out)
{
    cGenStringFixed<260> base(path);
    PathRemoveExtension(base);
    const int extensionStart = base.Length();
    const int n = base.Length();
    if (n > 3 && base.CharAt(n - 3) == '-' && IsDigit(base.CharAt(n - 2)) && IsDigit(base.CharAt(n - 1)))
        base.Truncate(n - 3);
    char suffix[16];
    std::snprintf(suffix, sizeof(suffix), "-%02d", counter);
    out.Assign(base);
    out.AppendCString(suffix);
    out.AppendCString(path.CStr() + extensionStart);
    return out.Length() == base.Length() + int(std::strlen(suffix)) + path.Length() - extensionStart;
}

void SetSampleLoadedLookup(tSampleLoadedLookup lookup) { sSampleLoadedLookup = lookup; }
