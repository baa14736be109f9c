#include "base/DeletableRoots.h"

#include "base/DiskFiles.h"
#include "base/FolderFinder.h"
#include "base/PathUtils.h"

#include <cstring>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
constexpr int kMaxRoots = 4;
constexpr int kMinDeletePathLength = 7;

cGenStringFixed<260> sRoots[kMaxRoots];
int sRootCount = 0;

// The path with "/" separators, no repeated separators, no "." parts and no
// trailing separator; false when it has a ".." part, which could climb out.
bool Normalise(const char* path, std::string& out)
{
    out.clear();
    const char* p = path;
    if (*p == '/' || *p == '\\')
        out.push_back('/');
    while (*p)
    {
        while (*p == '/' || *p == '\\')
            ++p;
        const char* end = p;
        while (*end && *end != '/' && *end != '\\')
            ++end;
        const std::string_view part(p, size_t(end - p));
        p = end;
        if (part.empty() || part == ".")
            continue;
        if (part == "..")
            return false;
        if (!out.empty() && out.back() != '/')
            out.push_back('/');
        out.append(part.data(), part.size());
    }
    return !out.empty();
}

bool IsBelow(const std::string& path, const std::string& root)
{
    if (path.compare(0, root.size(), root) != 0)
        return false;
    return path.size() == root.size() || path[root.size()] == '/' || root == "/";
}

bool Exists(const char* path)
{
    struct stat status;
    return lstat(path, &status) == 0;
}

bool IsExistingFolder(const char* path)
{
    struct stat status;
    return lstat(path, &status) == 0 && S_ISDIR(status.st_mode);
}

// 0: outside every root; 1: below a root; 2: a root itself.
int RootRelation(const char* path)
{
    std::string normalPath;
    if (!Normalise(path, normalPath))
        return 0;
    for (int i = 0; i < sRootCount; ++i)
    {
        std::string root;
        if (Normalise(sRoots[i].CStr(), root) && IsBelow(normalPath, root))
            return normalPath.size() == root.size() ? 2 : 1;
    }
    return 0;
}
} // namespace

bool AddDeletableRoot(const char* folder)
{
    if (sRootCount >= kMaxRoots)
        return false;
    sRoots[sRootCount++].AssignCStr(folder);
    return true;
}

void ClearDeletableRoots()
{
    for (int i = 0; i < sRootCount; ++i)
        sRoots[i].AssignCStr("");
    sRootCount = 0;
}

bool IsUnderDeletableRoot(const char* path) { return RootRelation(path) != 0; }

bool DeleteFileSafe(const char* path)
{
    if (!IsUnderDeletableRoot(path) || IsExistingFolder(path))
        return false;
    return ::unlink(path) == 0;
}

bool DeleteFileOrDirectory(const char* path)
{
    // A root itself holds all of the user's files: only what is below it goes.
    if (RootRelation(path) != 1 || int(std::strlen(path)) < kMinDeletePathLength)
        return false;
    struct stat status;
    if (lstat(path, &status) != 0)
        return true;
    if (!S_ISDIR(status.st_mode))
        return DeleteFileSafe(path);
    cGenStringFixed<260> folder(path);
    bool ok = true;
    DeleteFileOrDirectoryRecurse(folder, &ok);
    return ok;
}

void DeleteFileOrDirectoryRecurse(cGenString& folder, bool* ok)
{
    cFolderFinder finder(folder.CStr());
    finder.First();
    if (!finder.WasReadable())
    {
        *ok = false;
        return;
    }
    for (; finder.IsValid(); finder.Next())
    {
        const int length = folder.Length();
        if (!PathAppend(folder, finder.GetName()))
        {
            *ok = false;
            continue;
        }
        if (finder.IsFolder())
            DeleteFileOrDirectoryRecurse(folder, ok);
        else if (!DeleteFileSafe(folder.CStr()) && Exists(folder.CStr()))
            *ok = false;
        folder.Truncate(length);
    }
    if (::rmdir(folder.CStr()) != 0)
        *ok = false;
}
