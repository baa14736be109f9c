#include "project/SampleRelocatorAll.h"

#include <cstring>

#include "base/PathUtils.h"
#include "base/UniqueFileName.h"

namespace
{
constexpr int kLastCounter = 99;
} // namespace

cSampleRelocatorAll::cSampleRelocatorAll(const cGenString& folder) : cSampleRelocator(folder, true) {}

void cSampleRelocatorAll::Relocate(cGenString& path)
{
    if (path.IsEmpty())
        return;
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
