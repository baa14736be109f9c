#include "project/SampleRelocatorSingleDir.h"

#include <cstring>

#include "base/PathUtils.h"

cSampleRelocatorSingleDir::cSampleRelocatorSingleDir(const cGenString& target, const cGenString& source)
    : cSampleRelocator(source, false), mTarget(target)
{
}

void cSampleRelocatorSingleDir::Relocate(cGenString& path)
{
    int prefix = 0;
    if (path.IsEmpty() || std::strcmp(mTarget.CStr(), mBaseFolder.CStr()) == 0 || !IsBelowBase(path, &prefix))
        return;
    const char* rest = path.CStr() + prefix;
    while (IsPathSeparator(*rest))
        ++rest;
    cGenStringFixed<260> moved(mTarget);
    if (!PathAppend(moved, cGenString::ConstructView(rest)))
        return;
    MapCopy(moved, path);
    path.Assign(moved);
}
