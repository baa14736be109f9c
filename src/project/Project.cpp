#include "project/Project.h"

#include <algorithm>

#include "audio/AudioDevicePort.h"
#include "audio/AudioLock.h"
#include "audio/AudioManager.h"
#include "audio/Instrument.h"
#include "audio/InstrumentPackage.h"
#include "audio/InstrumentPackageRegistry.h"
#include "audio/InstrumentSlotTable.h"
#include "base/CriticalSection.h"
#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/PathUtils.h"
#include "midi/MIDIManager.h"
#include "mixer/Mixer.h"
#include "platform/GlobalSettingValues.h"
#include "project/ProjectFolders.h"
#include "project/ProjectHost.h"
#include "project/ProjectSlots.h"
#include "sequencer/Sequencer.h"

namespace
{
struct cDefaultInstrument
{
    int32_t slot;
    const char* package;
    const char* name;
};

constexpr cDefaultInstrument kDefaultInstruments[] = {
    {0, "Mixer", "Mixer"},   {1, "VRX", "VRX"},       {2, "Kest", "Kest 1"},
    {3, "Kest", "Kest 2"}, {4, "Kest", "Kest 3"}, {5, "Kest", "Kest 4"},
};

File::cFileSystem* Documents() { return gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Doc") : nullptr; }

// Held for the whole of an unload, around the audio manager's lock.
class cScopedFrameLock : public cScopedLockIfAny
{
public:
    cScopedFrameLock() : cScopedLockIfAny(GetProjectHost().GetFrameLock()) {}
};
} // namespace

cProject::cProject() = default;

cProject::~cProject() { Unload(); }

void cProject::SetTranspose(int32_t semitones)
{
    mTranspose.store(std::clamp(semitones, -kMaxTranspose, kMaxTranspose), std::memory_order_relaxed);
}

void cProject::SetMIDIInTranspose(int32_t slot, int32_t semitones)
{
    if (slot >= 0 && slot < kSlotCount)
        mMIDIInTransposes[slot].store(std::clamp(semitones, -kMaxMIDIInTranspose, kMaxMIDIInTranspose),
                                      std::memory_order_relaxed);
}

int32_t cProject::GetMIDIInTranspose(int32_t slot) const
{
    return slot >= 0 && slot < kSlotCount ? mMIDIInTransposes[slot].load(std::memory_order_relaxed) : 0;
}

void cProject::SetPath(const cGenString& path)
{
    mPath.Assign(path);
    mName.Assign(path);
    GetProjectDisplayName(mName);
}

void cProject::NewDefault(const cGenString& path, int32_t fresh)
{
    Unload();
    mPath.Assign(path);
    mName.Assign(PathGetFileName(mPath));
    PathRemoveExtension(mName);
    SetTranspose(0);
    for (int32_t slot = 0; slot < kSlotCount; ++slot)
        SetMIDIInTranspose(slot, 0);
    mSaveVersion = 0;
    mTrackMap.Reset();
    if (cInstrumentPackageRegistry* packages = cInstrumentPackageRegistry::GetInstance())
        for (cInstrumentPackage* package = packages->GetFirst(); package; package = package->GetNext())
            package->Reload();
    if (cSequencer* sequencer = cSequencer::GetInstance())
        sequencer->NewSong();
    CreateDefaultInstruments(fresh);
    CreateMissingInstrumentTracks();
    mRestoreUIPage = kPageInstrument;
    mRestoreInstrumentIndex = 1;
    GetProjectHost().ResetToSongView();
}

// A package that is not registered leaves its slots empty.
void cProject::CreateDefaultInstruments(int32_t fresh)
{
    cInstrumentPackageRegistry* packages = cInstrumentPackageRegistry::GetInstance();
    if (!packages)
        return;
    for (const cDefaultInstrument& entry : kDefaultInstruments)
    {
        cInstrumentPackage* package = packages->FindPackage(entry.package);
        cInstrument* instrument = package ? package->CreateInstrument(fresh) : nullptr;
        if (!instrument)
            continue;
        instrument->SetName(entry.name);
        SetInstrumentSlot(instrument, entry.slot, true);
    }
}

// The mixer of slot 0 is what "MainOut" plays.
void cProject::AttachMixerToOutput(bool attach)
{
    cAudioManager* audio = cAudioManager::Get();
    cMixer* mixer = GetMixer();
    if (!audio || !mixer)
        return;
    cAudioDevicePort* output = audio->GetOutputPort();
    // Never listed twice, whatever the order of the calls.
    output->RemoveListener(mixer);
    if (attach)
        output->AddListener(mixer);
}

void cProject::Activate()
{
    mActive = 1;
    if (File::cFileSystem* documents = Documents(); documents && !mPath.IsEmpty())
        documents->CreateFolder(mPath);
    AttachMixerToOutput(true);
    cProjectHost& host = GetProjectHost();
    host.ResetInstrumentSelector();
    if (gSettings.startOnProjectPage)
        host.SelectPage(kPageSetup, mRestoreInstrumentIndex);
    else
        host.SelectPage(mRestoreUIPage, mRestoreInstrumentIndex);
    host.SetCurrentProjectPath(mPath.CStr());
    host.ResetToSongView();
    if (cAudioManager* audio = cAudioManager::Get())
    {
        cScopedAudioLock lock;
        audio->MIDISink = cDelegate(this, &cProject::HandleMIDIMessage);
    }
}

void cProject::Deactivate()
{
    if (cAudioManager* audio = cAudioManager::Get())
    {
        cScopedAudioLock lock;
        audio->MIDISink.Clear();
    }
    StopAllInstruments(kStopAllForChange);
    mActive = 0;
    if (cSequencer* sequencer = cSequencer::GetInstance())
    {
        cScopedLock lock(sequencer->GetLock());
        sequencer->Stop();
    }
    AttachMixerToOutput(false);
    GetProjectHost().ResetToSongView();
    DeleteFolderWhenEmpty();
}

void cProject::DeleteFolderWhenEmpty()
{
    File::cFileSystem* documents = Documents();
    if (documents && !mPath.IsEmpty() && IsEmptyFolder(*documents, mPath))
        documents->Delete(mPath);
}

void cProject::Unload()
{
    cScopedFrameLock frame;
    mPath.AssignCStr("");
    mName.AssignCStr("");
    if (cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance())
    {
        cScopedAudioLock lock;
        // Nothing may play a mixer that is about to go.
        AttachMixerToOutput(false);
        if (cMixer* mixer = GetMixer())
            for (int32_t slot = 1; slot < kSlotCount; ++slot)
                if (cInstrument* instrument = slots->GetInstrument(slot))
                    mixer->RemoveChannels(instrument);
        for (int32_t slot = 0; slot < kSlotCount; ++slot)
            slots->SetSlot(slot, nullptr, true);
    }
    if (cSequencer* sequencer = cSequencer::GetInstance())
        sequencer->ClearSong();
    mModified.store(false);
}

bool cProject::FolderHasSamples() const
{
    File::cFileSystem* documents = Documents();
    return documents && !mPath.IsEmpty() && FolderHoldsWavFiles(*documents, mPath);
}
