// The pad module's bank packages: a folder whose name ends in ".vrx", holding
// "Package.vrx" and a copy of every sample the bank plays.
#include "instruments/pads/TriggerPad.h"

#include "audio/AudioLock.h"
#include "audio/SampleRegistry.h"
#include "base/DiskFiles.h"
#include "base/File.h"
#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/PathUtils.h"
#include "base/SafeWrite.h"
#include "base/StatusNotice.h"
#include "base/StatusText.h"
#include "base/UniqueFileName.h"
#include "project/SampleRelocator.h"
#include "project/SampleRelocatorAll.h"

#include <memory>
#include <string>
#include <unistd.h>

namespace
{
using tPath = cGenStringFixed<260>;

constexpr int kLastCounter = 99;
constexpr const char* kPackageFileName = "Package.vrx";

File::cFileSystem* Documents() { return gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Doc") : nullptr; }

bool WithSuffix(const cGenString& path, const char* suffix, cGenString& out)
{
    out.Assign(path);
    out.AppendCString(suffix);
    return out.Length() == path.Length() + cGenString(suffix).Length();
}

void GetBankDisplayName(cGenString& path)
{
    const cGenString name = PathGetFileName(path);
    path.Assign(name);
    PathRemoveExtension(path);
}

// "Package.vrx" from the document made in memory, written safely.
bool WritePackageFile(File::cFileSystem& documents, const cGenString& folder, const File::cFileMemoryWrite& image)
{
    tPath path(folder);
    if (!PathAppend(path, cGenString(kPackageFileName)))
        return false;
    std::unique_ptr<File::cFile> stream(documents.Open(path, File::kModeWrite, File::kFlagSafeWrite));
    if (!stream)
        return false;
    const bool written = stream->Write(image.GetData(), image.GetLength()) == image.GetLength();
    return stream->Close(!written) && written;
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
    RecoverBank(packageFolder);
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

// The package is written whole in a folder of its own beside the path, its
// samples first and "Package.vrx" last, and only then changes places with
// the earlier package in one step; any failure removes the temporary folder
// and leaves the earlier package as it was. A folder or link already named
// like a temporary is never touched.
bool cTriggerPad::SaveBank(const cGenString& packagePath)
{
    File::cFileSystem* documents = Documents();
    tPath native, backup, kept, base(packagePath);
    if (!documents || packagePath.IsEmpty() || !WithSuffix(packagePath, ".bak", backup))
        return false;
    native.Assign(*documents->GetRootPath());
    PathRemoveExtension(base);
    if (!PathAppend(native, packagePath) || !WithSuffix(base, ".bak.vrx", kept))
        return false;
    std::string tempFolder;
    const int held = CreateUniqueFolder(std::string(native.CStr()) + ".", ".tmp", tempFolder);
    tPath temp;
    if (held < 0 || !WithSuffix(packagePath, tempFolder.c_str() + native.Length(), temp))
    {
        if (held >= 0)
            ::close(held);
        return false;
    }
    cSampleRelocatorAll relocator(temp);
    File::cFileMemoryWrite image;
    bool ok = ActiveSet().Write(image, &relocator);
    if (ok)
    {
        SetStatusText("Copying samples");
        ok = relocator.CopyFiles() && WritePackageFile(*documents, temp, image) &&
             CommitSafeFolderFrom(tempFolder.c_str(), native.CStr(), false);
    }
    if (!ok)
        documents->Delete(temp);
    ::close(held);
    if (!ok)
        return false;
    // The bank it replaced stays as "<name>.bak.vrx", itself a package.
    documents->Delete(kept);
    documents->Rename(backup, kept);
    return true;
}

// A bank whose save was cut short between its two renames, on a file system
// that cannot swap folders in one step, is put back from the whole version
// beside it.
void cTriggerPad::RecoverBank(const cGenString& packageFolder)
{
    File::cFileSystem* documents = Documents();
    tPath native;
    if (!documents || packageFolder.IsEmpty() || documents->Exists(packageFolder))
        return;
    native.Assign(*documents->GetRootPath());
    std::string from;
    if (!PathAppend(native, packageFolder) || !RecoverMissingFolder(native.CStr(), kPackageFileName, &from))
        return;
    tPath name(packageFolder);
    GetBankDisplayName(name);
    PostStatusNotice("Recovered bank '%s' from '%s'", name.CStr(), from.c_str() + from.find_last_of('/') + 1);
}
