#include "project/SampleRelocator.h"

#include <cstring>
#include <strings.h>

#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/PathUtils.h"
#include "base/UniqueFileName.h"

namespace
{
constexpr int kLastCounter = 99;

bool BeginsWithNoCase(const cGenString& text, const char* prefix)
{
    return strncasecmp(text.CStr(), prefix, std::strlen(prefix)) == 0;
}
} // namespace

cSampleRelocator::cSampleRelocator(const cGenString& baseFolder, bool keepPaths)
    : mKeepPaths(keepPaths ? 1 : 0), mBaseFolder(baseFolder), mBaseLength(mBaseFolder.Length())
{
}

cSampleRelocator::~cSampleRelocator() = default;

void cSampleRelocator::Relocate(cGenString&) {}

// A folder whose name merely starts like the base ("Song.prjx" beside
// "Song.prj") is not below it: the base must end at a separator.
bool cSampleRelocator::IsBelowBase(const cGenString& path, int* prefix) const
{
    if (std::strncmp(path.CStr(), mBaseFolder.CStr(), size_t(mBaseLength)) != 0)
        return false;
    const char next = path.CStr()[mBaseLength];
    if (mBaseLength > 0 && !IsPathSeparator(mBaseFolder.CharAt(mBaseLength - 1)) && next != 0 &&
        !IsPathSeparator(next))
        return false;
    *prefix = mBaseLength + (IsPathSeparator(next) ? 1 : 0);
    return true;
}

void cSampleRelocator::MakeRelative(cGenString& path) const
{
    if (path.IsEmpty())
        return;
    int prefix = 0;
    if (IsBelowBase(path, &prefix))
    {
        const cGenString rest = cGenString::ConstructGrowableFromCStr(path.CStr() + prefix);
        path.Assign(rest);
        return;
    }
    if (!IsPathSeparator(path.CharAt(0)))
        path.PrependChar('/');
}

void cSampleRelocator::MakeAbsolute(cGenString& path) const
{
    PathToForwardSlashes(path);
    if (PathHasParentPart(path))
        path.AssignCStr("");
    if (path.IsEmpty() || BeginsWithNoCase(path, "User/"))
        return;
    if (IsPathSeparator(path.CharAt(0)))
    {
        const cGenString rest = cGenString::ConstructGrowableFromCStr(path.CStr() + 1);
        path.Assign(rest);
        return;
    }
    cGenString joined = cGenString::ConstructGrowableCopy(mBaseFolder);
    if (PathAppend(joined, path))
        path.Assign(joined);
}

void cSampleRelocator::MapCopy(const cGenString& newPath, const cGenString& oldPath)
{
    mCopyMap[newPath.CStr()] = oldPath.CStr();
}

const char* cSampleRelocator::FindCopySource(const cGenString& newPath) const
{
    const auto found = mCopyMap.find(newPath.CStr());
    return found == mCopyMap.end() ? nullptr : found->second.c_str();
}

void cSampleRelocator::MoveIntoBase(cGenString& path)
{
    cGenStringFixed<260> wanted(mBaseFolder);
    if (!PathAppend(wanted, PathGetFileName(path)))
        return;
    cGenStringFixed<260> target(wanted);
    for (int counter = 2;; ++counter)
    {
        const char* source = FindCopySource(target);
        if (!source || std::strcmp(source, path.CStr()) == 0)
            break;
        if (counter > kLastCounter || !PathWithCounter(wanted, counter, target))
            return;
    }
    MapCopy(target, path);
    path.Assign(target);
}

bool cSampleRelocator::CopyFiles() const
{
    File::cFileSystem* documents = gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Doc") : nullptr;
    bool ok = documents != nullptr;
    for (const auto& [newPath, oldPath] : mCopyMap)
        ok = documents && documents->Copy(cGenString(oldPath.c_str()), cGenString(newPath.c_str()), 1) && ok;
    return ok;
}
