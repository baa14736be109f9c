#include "audio/SampleRegistry.h"

#include <cstring>
#include <map>
#include <strings.h>
#include <vector>

#include "audio/Sample.h"
#include "base/CriticalSection.h"
#include "base/GenString.h"
#include "base/PathUtils.h"

namespace
{
// Byte-wise unsigned order of the paths, as the registry walks them.
struct cPathLess
{
    bool operator()(const char* a, const char* b) const { return std::strcmp(a, b) < 0; }
};

// Keys point into their sample's path, which changes only while its entry
// is out of the map.
using tSampleMap = std::map<const char*, cSample*, cPathLess>;

struct cRegistryState
{
    cCriticalSection lock;
    tSampleMap samples;
};

// Made on first use and never destroyed, so samples released while the
// program's statics are torn down still find their registry.
cRegistryState& State()
{
    static cRegistryState* state = new cRegistryState();
    return *state;
}

bool IsUnder(const char* path, const cGenString& folder)
{
    const int length = folder.Length();
    return length > 0 && int(std::strlen(path)) > length + 1 && strncasecmp(path, folder.CStr(), size_t(length)) == 0 &&
           IsPathSeparator(path[length]);
}
} // namespace

cCriticalSection* cSampleRegistry::GetLock() { return &State().lock; }

cSample* cSampleRegistry::FindAndAddRef(const char* path, bool addRef)
{
    cScopedLock lock(GetLock());
    const tSampleMap& samples = State().samples;
    const auto found = samples.find(path);
    if (found == samples.end() || found->second->GetRefCount() <= 0)
        return nullptr;
    if (addRef && !found->second->TryAddRef())
        return nullptr;
    return found->second;
}

bool cSampleRegistry::IsLoaded(const char* path) { return FindAndAddRef(path, false) != nullptr; }

int32_t cSampleRegistry::DumpAll()
{
    cScopedLock lock(GetLock());
    int32_t live = 0;
    for (const auto& entry : State().samples)
        live += entry.second->GetRefCount() > 0 ? 1 : 0;
    return live;
}

cSample* cSampleRegistry::Insert(cSample* sample)
{
    cScopedLock lock(GetLock());
    tSampleMap& samples = State().samples;
    const auto found = samples.find(sample->GetPath());
    if (found == samples.end())
    {
        samples.emplace(sample->GetPath(), sample);
        return nullptr;
    }
    if (found->second->TryAddRef())
        return found->second;
    // The holder's last reference is going: its destructor, waiting for this
    // lock, will see that the entry is no longer its own.
    samples.erase(found);
    samples.emplace(sample->GetPath(), sample);
    return nullptr;
}

void cSampleRegistry::Remove(cSample* sample)
{
    cScopedLock lock(GetLock());
    tSampleMap& samples = State().samples;
    const auto found = samples.find(sample->GetPath());
    if (found != samples.end() && found->second == sample)
        samples.erase(found);
}

int64_t cSampleRegistry::GetTotalMemory()
{
    cScopedLock lock(GetLock());
    int64_t bytes = 0;
    for (const auto& entry : State().samples)
        bytes += entry.second->GetDataBytes();
    return bytes;
}

void cSampleRegistry::RebasePaths(const char* oldFolder, const char* newFolder)
{
    cScopedLock lock(GetLock());
    const cGenString from(oldFolder);
    std::vector<cSample*> moving;
    for (const auto& entry : State().samples)
        if (IsUnder(entry.first, from))
            moving.push_back(entry.second);
    for (cSample* sample : moving)
    {
        cGenStringFixed<cSample::kPathCapacity> key(newFolder);
        const cGenString rest(sample->GetPath() + from.Length() + 1);
        if (!PathAppend(key, rest))
            continue;
        Remove(sample);
        sample->mPath.Assign(key);
        if (cSample* holder = Insert(sample))
            holder->Release();
    }
}

bool MakeSampleKey(const char* path, cGenString& key)
{
    key.AssignCStr(path);
    if (key.Length() != int(std::strlen(path)))
        return false;
    for (char* c = key.GetBuffer(); c && *c; ++c)
        if (*c == '\\')
            *c = '/';
    return true;
}
