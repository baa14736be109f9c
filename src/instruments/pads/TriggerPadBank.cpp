// The pad module's bank packages: a folder whose name ends in ".vrx", holding
// "Package.vrx" and a copy of every sample the bank plays.
#include "instruments/pads/TriggerPad.h"

#include "audio/AudioLock.h"
#include "audio/SampleRegistry.h"
#include "base/DiskFiles.h"
#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/PathUtils.h"
#include "base/StatusText.h"
#include "base/UniqueFileName.h"
#include "project/SampleRelocator.h"
#include "project/SampleRelocatorAll.h"

namespace
{
using tPath = cGenStringFixed<260>;

constexpr int kLastCounter = 99;

File::cFileSystem* Documents() { return gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Doc") : nullptr; }

bool WithSuffix(const cGenString& path, const char* suffix, cGenString& out)
{
    out.Assign(path);
    out.AppendCString(suffix);
    return out.Length() == path.Length() + cGenString(suffix).Length();
}

bool HaveSameBytes(File::cFileSystem& documents, const cGenString& a, const cGenString& b)
{
    tPath nativeA(*documents.GetRootPath()), nativeB(*documents.GetRootPath());
    return PathAppend(nativeA, a) && PathAppend(nativeB, b) && FilesHaveSameBytes(nativeA.CStr(), nativeB.CStr());
}

// Where a copying load puts a sample: its file name in the folder, or that
// name numbered ("Kick-02.wav") when a different file or a loaded sample
// holds it already. A file with the same bytes is used as it is.
bool ChooseCopyTarget(File::cFileSystem& documents, const cGenString& source, const cGenString& folder,
                      cGenString& target)
{
    tPath wanted(folder);
    if (!PathAppend(wanted, PathGetFileName(source)))
        return false;
    target.Assign(wanted);
    for (int counter = 2;; ++counter)
    {
        const bool exists = documents.Exists(target);
        if (exists ? HaveSameBytes(documents, source, target) : !cSampleRegistry::IsLoaded(target.CStr()))
            return true;
        if (counter > kLastCounter || !PathWithCounter(wanted, counter, target))
            return false;
    }
}
} // namespace

bool cTriggerPad::LoadBank(const cGenString& destinationFolder, const cGenString& packageFolder, bool copySamples)
{
    cSampleRelocator relocator(packageFolder, false);
    if (!InactiveSet().Load(packageFolder, &relocator))
        return false;
    {
        cScopedAudioLock lock;
        for (int32_t pad = 0; pad < kPadCount; ++pad)
            SwapSlot(pad, nullptr);
        FlipSets();
    }
    ReleaseRetiredSamples();
    ApplyState();
    if (!copySamples)
        LoadSamples(false);
    else
        CopyPackageSamples(destinationFolder);
    return true;
}

// Each pad's sample is copied into the folder and the pad plays the copy.
bool cTriggerPad::CopyPackageSamples(const cGenString& destinationFolder)
{
    File::cFileSystem* documents = Documents();
    bool ok = documents != nullptr;
    for (int32_t pad = 0; documents && pad < kPadCount; ++pad)
    {
        tPath source, target;
        {
            cScopedAudioLock lock;
            source.Assign(GetActiveSet().pads[pad].samplePath);
        }
        if (source.IsEmpty())
            continue;
        ok = ChooseCopyTarget(*documents, source, destinationFolder, target) &&
             ImportPadSample(pad, source.CStr(), target.CStr()) && ok;
    }
    return ok;
}

// The package is written whole under "<path>.tmp" and only then put in
// place; any failure removes the temporary folder and leaves the earlier
// package as it was.
bool cTriggerPad::SaveBank(const cGenString& packagePath)
{
    File::cFileSystem* documents = Documents();
    tPath temp, backup, kept, base(packagePath);
    if (!documents || packagePath.IsEmpty() || !WithSuffix(packagePath, ".tmp", temp) ||
        !WithSuffix(packagePath, ".bak", backup))
        return false;
    PathRemoveExtension(base);
    if (!WithSuffix(base, ".bak.vrx", kept))
        return false;
    // A folder left by an earlier failed save would mix into this one.
    documents->Delete(temp);
    if (!documents->CreateFolder(temp))
        return false;
    cSampleRelocatorAll relocator(temp);
    bool ok = ActiveSet().Save(temp, &relocator);
    if (ok)
    {
        SetStatusText("Copying samples");
        ok = relocator.CopyFiles() && documents->CommitTemp(packagePath, false);
    }
    if (!ok)
    {
        documents->Delete(temp);
        return false;
    }
    // The bank it replaced stays as "<name>.bak.vrx", itself a package.
    documents->Delete(kept);
    documents->Rename(backup, kept);
    return true;
}
