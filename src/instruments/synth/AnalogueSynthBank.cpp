#include "instruments/synth/AnalogueSynthBank.h"

#include <memory>

#include "audio/AudioLock.h"
#include "base/File.h"
#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/PathUtils.h"
#include "base/SafeWrite.h"
#include "instruments/synth/AnalogueSynthPresetStore.h"
#include "project/SampleRelocator.h"

namespace
{
constexpr const char* kTextUnknown = "Unknown Error";
constexpr const char* kTextMissing = "Bank file missing.";
constexpr const char* kTextNewer = "Kest bank was saved with a newer version of Quilwright.";
constexpr const char* kTextSize = "Kest bank file is not the expected size.";
constexpr const char* kTextRead = "Error reading Kest bank file.";

using tFileName = cGenStringFixed<280>;

File::cFileSystem* DocFileSystem()
{
    return gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Doc") : nullptr;
}

void MakeFileName(tFileName& name, const cGenString& path, const char* suffix)
{
    name.Assign(path);
    name.AppendCString(".bnk");
    name.AppendCString(suffix);
}

// Version and size; false with the error text when the file is refused. A
// file whose size field is wrong is damaged whatever its version field
// says: garbage is not taken for a newer bank.
bool ReadHeader(File::cFile& file, cGenString& errorText)
{
    uint32_t version = 0, size = 0;
    if (file.SerialiseUInt32(&version) != 4 || file.SerialiseUInt32(&size) != 4 ||
        int64_t(size) != int64_t(file.GetLength()))
    {
        errorText.AssignCStr(kTextSize);
        return false;
    }
    file.SetFileVersion(int(version));
    if (version >= 5)
    {
        errorText.AssignCStr(kTextNewer);
        return false;
    }
    return true;
}

void MakePathsAbsolute(cAnalogueSynthBank& bank, cSampleRelocator* relocator)
{
    if (!relocator)
        return;
    for (cGenStringFixed<260>& path : bank.paths)
    {
        cGenString work = cGenString::ConstructGrowableCopy(path);
        relocator->MakeAbsolute(work);
        path.Assign(work);
    }
}

// Starts a scratch bank from the store's, so that what a file does not hold
// (controller values 1 to 3, the filter's fifth value) stays as it was.
void CopyBank(const cAnalogueSynthPresetStore& store, int32_t bankIndex, cAnalogueSynthBank& bank)
{
    for (int32_t slot = 0; slot < cAnalogueSynthBank::kSlotCount; ++slot)
    {
        const int32_t id = cAnalogueSynthPresetStore::MakeId(bankIndex, slot);
        bank.singles[slot] = store.GetSingle(id);
        bank.multis[slot] = store.GetMulti(id);
    }
}

// Every slot of the bank at once, so that the audio thread never plays a
// bank half loaded.
void CommitBank(cAnalogueSynthPresetStore& store, int32_t bankIndex, const cAnalogueSynthBank& bank)
{
    cScopedAudioLock lock;
    for (int32_t slot = 0; slot < cAnalogueSynthBank::kSlotCount; ++slot)
    {
        const int32_t id = cAnalogueSynthPresetStore::MakeId(bankIndex, slot);
        store.GetSingle(id) = bank.singles[slot];
        store.GetMulti(id) = bank.multis[slot];
        store.SetSamplePath(id, bank.paths[slot]);
    }
    store.SetBankModified(bankIndex, false);
}

// The sample path of a single as it is stored: relocated (the store adopting
// the new place unless the relocator keeps the old paths), then relative to
// the relocator's folder.
void StoredSamplePath(cAnalogueSynthPresetStore& store, int32_t id, cSampleRelocator* relocator,
                      cGenStringFixed<260>& out)
{
    cGenString path = cGenString::ConstructGrowableCopy(store.GetSamplePath(id));
    if (relocator && !path.IsEmpty())
    {
        relocator->Relocate(path);
        if (!relocator->KeepsPaths())
        {
            cScopedAudioLock lock;
            store.SetSamplePath(id, path);
        }
        relocator->MakeRelative(path);
    }
    out.Assign(path);
}

// What the file of a bank holds. In the project bank a slot that the export
// map fills holds the global preset it receives.
void GatherBank(cAnalogueSynthPresetStore& store, int32_t bankIndex, cSampleRelocator* relocator,
                cAnalogueSynthBank& bank)
{
    const bool project = bankIndex == cAnalogueSynthPresetStore::kProjectBank;
    for (int32_t slot = 0; slot < cAnalogueSynthBank::kSlotCount; ++slot)
    {
        const int32_t id = cAnalogueSynthPresetStore::MakeId(bankIndex, slot);
        int32_t singleSource = id, multiSource = id;
        if (project && store.GetSingleExportEntry(id) >= 0)
            singleSource = store.GetSingleExportEntry(id);
        if (project && store.GetMultiExportEntry(id) >= 0)
            multiSource = store.GetMultiExportEntry(id);
        bank.singles[slot] = store.GetSingle(singleSource);
        bank.multis[slot] = store.GetMulti(multiSource);
        store.MapMultiLayers(bank.multis[slot]);
        StoredSamplePath(store, singleSource, relocator, bank.paths[slot]);
    }
}

// The bank's folder, made when it is missing, so that a first save of a
// global bank finds its place.
void MakeParentFolder(File::cFileSystem& fileSystem, const cGenString& fileName)
{
    cGenString folder = cGenString::ConstructGrowableCopy(fileName);
    PathStripToDirectory(folder);
    if (!folder.IsEmpty() && !fileSystem.Exists(folder))
        fileSystem.CreateFolder(folder);
}

bool WriteBankFile(File::cFile& file, cAnalogueSynthBank& bank)
{
    uint32_t version = cAnalogueSynthBank::kFileVersion, size = 0;
    if (file.SerialiseUInt32(&version) != 4 || file.SerialiseUInt32(&size) != 4 || !SerialiseBank(bank, file))
        return false;
    size = uint32_t(file.Tell());
    return file.Seek(4, 0) == 4 && file.SerialiseUInt32(&size) == 4;
}
} // namespace

bool SerialiseBank(cAnalogueSynthBank& bank, File::cFile& stream)
{
    for (cAnalogueSynthSingle& single : bank.singles)
        if (!single.SerialiseBinary(stream))
            return false;
    for (cAnalogueSynthMulti& multi : bank.multis)
        if (!multi.SerialiseBinary(stream))
            return false;
    for (cGenStringFixed<260>& path : bank.paths)
        if (!stream.SerialiseString(path))
            return false;
    return true;
}

bool ReadBankFile(File::cFileSystem& fileSystem, const cGenString& fileName, cSampleRelocator* relocator,
                  cAnalogueSynthBank& bank, cGenString& errorText)
{
    errorText.AssignCStr(kTextUnknown);
    std::unique_ptr<File::cFile> file(fileSystem.Open(fileName, File::kModeRead, 0));
    if (!file)
    {
        errorText.AssignCStr(kTextMissing);
        return false;
    }
    if (!ReadHeader(*file, errorText))
        return false;
    if (!SerialiseBank(bank, *file))
    {
        errorText.AssignCStr(kTextRead);
        return false;
    }
    if (!file->Close(false))
        return false;
    MakePathsAbsolute(bank, relocator);
    return true;
}

bool LoadBank(cAnalogueSynthPresetStore& store, int32_t bank, const cGenString& path, cSampleRelocator* relocator,
              int32_t mode, cGenString& errorText)
{
    File::cFileSystem* fileSystem = DocFileSystem();
    if (!fileSystem)
    {
        errorText.AssignCStr(kTextMissing);
        return false;
    }
    std::unique_ptr<cAnalogueSynthBank> scratch(new cAnalogueSynthBank);
    CopyBank(store, bank, *scratch);
    bool loaded = false;
    tFileName fileName;
    for (const char* const* suffix = GetLoadSuffixList(mode); *suffix && !loaded; ++suffix)
    {
        MakeFileName(fileName, path, *suffix);
        cGenStringFixed<128> reason;
        loaded = ReadBankFile(*fileSystem, fileName, relocator, *scratch, reason);
        // What is wrong with the file the mode asks for first is the fault
        // to tell: the fallbacks tried after it do not hide it.
        if (!loaded && suffix == GetLoadSuffixList(mode))
            errorText.Assign(reason);
    }
    MakeFileName(fileName, path, ".as");
    fileSystem->Delete(fileName);
    fileName.AppendCString(".bak");
    fileSystem->Delete(fileName);
    if (loaded)
        CommitBank(store, bank, *scratch);
    return loaded;
}

bool SaveBank(cAnalogueSynthPresetStore& store, int32_t bank, const cGenString& path, cSampleRelocator* relocator,
              bool autoSave)
{
    File::cFileSystem* fileSystem = DocFileSystem();
    if (!fileSystem)
        return false;
    tFileName fileName;
    MakeFileName(fileName, path, autoSave ? ".as" : "");
    MakeParentFolder(*fileSystem, fileName);
    std::unique_ptr<File::cFile> file(fileSystem->Open(fileName, File::kModeWrite, File::kFlagSafeWrite));
    if (!file)
        return false;
    std::unique_ptr<cAnalogueSynthBank> contents(new cAnalogueSynthBank);
    GatherBank(store, bank, relocator, *contents);
    const bool written = WriteBankFile(*file, *contents);
    // A body that could not be written whole never replaces the file.
    if (!file->Close(!written) || !written)
        return false;
    store.SetBankModified(bank, false);
    return true;
}
