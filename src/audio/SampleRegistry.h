#pragma once
#include <cstdint>

class cCriticalSection;
class cGenString;
class cSample;

// The one program-wide map from path to loaded sample, in byte order of the
// paths. Every lookup, insertion and removal holds its lock, a re-entrant
// critical section; loads run on job threads and the main thread, lookups
// come from the engine and the user interface.
class cSampleRegistry
{
public:
    static cCriticalSection* GetLock();

    // The sample registered under exactly that path, with one more reference
    // when asked, or null. A sample whose last reference is going is not
    // found.
    static cSample* FindAndAddRef(const char* path, bool addRef);
    // Whether a live sample holds exactly that path; the lookup behind
    // unique sample file names.
    static bool IsLoaded(const char* path);
    // Walks the registry in path order; the number of samples still loaded.
    static int32_t DumpAll();

private:
    friend class cSample;

    // Registers a new sample. When a live one holds its path already, that
    // one is returned with a reference for the caller and the new one is
    // left unregistered; otherwise null.
    static cSample* Insert(cSample* sample);
    // Removes the sample's entry when the entry is its own.
    static void Remove(cSample* sample);
    static int64_t GetTotalMemory();
    // Re-keys every sample under oldFolder; each is considered once.
    static void RebasePaths(const char* oldFolder, const char* newFolder);
};

// "\" becomes "/": the form of a path the registry is keyed by. False when
// the path does not fit a sample path.
bool MakeSampleKey(const char* path, cGenString& key);
