#include "project/Project.h"

#include <climits>
#include <cstring>
#include <strings.h>

#include "audio/Instrument.h"
#include "audio/InstrumentPackage.h"
#include "audio/InstrumentPackageRegistry.h"
#include "audio/InstrumentSlotTable.h"
#include "base/File.h"
#include "base/FileSystem.h"
#include "base/SerialiseXML.h"
#include "project/LegacyMixerSettings.h"
#include "project/ProjectHost.h"
#include "project/ProjectSlots.h"

// "Package.prj": the "Root" element with "FileVersion" 6.0, "Transpose",
// "SaveVersion", "RestoreUIPage" and "RestoreInstrumentIndex", then
// "TrackMap" and "Instruments" with one "Instr" per occupied slot.

namespace
{
constexpr float kLegacyMixerVersion = 3.0f;
constexpr const char* kMixerType = "Mixer";

// Earlier names of today's packages.
void ApplyOldTypeNames(cGenString& type)
{
    if (strcasecmp(type.CStr(), "MixingDesk") == 0)
        type.AssignCStr(kMixerType);
    else if (strcasecmp(type.CStr(), "TriggerPad") == 0 || strcasecmp(type.CStr(), "VRX-16") == 0)
        type.AssignCStr("VRX");
}

bool IsMixerPackage(const cInstrumentPackage* package)
{
    return package && std::strcmp(package->GetName(), kMixerType) == 0;
}

// A load that brought no mixer still gets one: slot 0 is what the output
// and offline renders play.
void EnsureMixerInSlotZero()
{
    cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance();
    cInstrumentPackageRegistry* packages = cInstrumentPackageRegistry::GetInstance();
    if (!slots || !packages || slots->GetInstrument(0))
        return;
    if (cInstrument* desk = packages->CreateInstrument(kMixerType, 0))
    {
        desk->SetName(kMixerType);
        SetInstrumentSlot(desk, 0, true);
    }
}
} // namespace

bool cProject::Serialise(File::cFileSystem* fileSystem, const cGenString& path, int32_t direction,
                         cSampleRelocator* relocator, float* version)
{
    if (!fileSystem)
        return false;
    if (direction == kRead)
        return ReadFile(fileSystem, path, relocator, version);
    if (!WriteFile(fileSystem, path, relocator))
        return false;
    if (version)
        *version = kFileVersion;
    return true;
}

bool cProject::ReadFile(File::cFileSystem* fileSystem, const cGenString& path, cSampleRelocator* relocator,
                        float* version)
{
    File::cFile* stream = fileSystem->Open(path, File::kModeRead, 0);
    if (!stream)
        return false;
    Base::cSerialiseXML serialise(kFileVersion, stream, 0);
    const bool begun = serialise.Begin();
    bool ok = begun;
    if (!begun)
        mErrorText.AssignCStr("The project file is corrupted.");
    else if (serialise.GetReadVersion() > kFileVersion)
    {
        mErrorText.AssignCStr("This project was saved with a newer version of Quilwright.");
        ok = false;
    }
    if (ok)
    {
        mRestoreUIPage = kPageSetup;
        mRestoreInstrumentIndex = 0;
        int32_t transpose = GetTranspose();
        serialise.SerialiseInt32("Transpose", &transpose, -kMaxTranspose, kMaxTranspose);
        SetTranspose(transpose);
        serialise.SerialiseInt32("SaveVersion", &mSaveVersion, INT32_MIN, INT32_MAX);
        serialise.SerialiseInt32("RestoreUIPage", &mRestoreUIPage, kPageSong, kPageInstrument);
        serialise.SerialiseInt32("RestoreInstrumentIndex", &mRestoreInstrumentIndex, 0, kSlotCount - 1);
        mTrackMap.Serialise(serialise);
        ok = serialise.BeginNode("Instruments", false);
    }
    if (ok)
    {
        if (serialise.BeginNode("Instr", false))
        {
            int32_t index = 0;
            do
                ReadInstrument(serialise, relocator, index);
            while (serialise.NextNode("Instr"));
            serialise.EndNode("Instr");
        }
        serialise.EndNode("Instruments");
        EnsureMixerInSlotZero();
        if (serialise.GetReadVersion() < kLegacyMixerVersion)
        {
            cLegacyMixerSettings legacy;
            if (ImportLegacyProjectMixer(serialise, legacy))
                ApplyLegacyProjectMixer(legacy);
        }
        if (version)
            *version = serialise.GetReadVersion();
    }
    if (begun)
        serialise.End();
    stream->Close(false);
    delete stream;
    return ok;
}

// One "Instr": its slot comes from "Index" (the previous entry's when
// missing); an entry outside the slots, of a type no package has, or that
// would put the mixer anywhere but slot 0 or anything else there, is skipped.
void cProject::ReadInstrument(Base::cSerialise& serialise, cSampleRelocator* relocator, int32_t& index)
{
    cGenStringFixed<32> type;
    serialise.SerialiseText("Type", &type);
    ApplyOldTypeNames(type);
    serialise.SerialiseInt32("Index", &index, INT32_MIN, INT32_MAX);
    if (index < 0 || index >= kSlotCount)
        return;
    int32_t midiInTranspose = GetMIDIInTranspose(index);
    serialise.SerialiseInt32("MIDIInTranspose", &midiInTranspose, -kMaxMIDIInTranspose, kMaxMIDIInTranspose);
    SetMIDIInTranspose(index, midiInTranspose);
    cInstrumentPackageRegistry* packages = cInstrumentPackageRegistry::GetInstance();
    cInstrumentPackage* package = packages ? packages->FindPackage(type.CStr()) : nullptr;
    if (!package || IsMixerPackage(package) != (index == 0))
        return;
    cInstrument* instrument = package->CreateInstrument(0);
    if (!instrument)
        return;
    instrument->Serialise(serialise, relocator);
    SetInstrumentSlot(instrument, index, true);
}

bool cProject::WriteFile(File::cFileSystem* fileSystem, const cGenString& path, cSampleRelocator* relocator)
{
    File::cFile* stream = fileSystem->Open(path, File::kModeWrite, File::kFlagSafeWrite);
    if (!stream)
        return false;
    Base::cSerialiseXML serialise(kFileVersion, stream, 0);
    bool ok = serialise.Begin();
    if (ok)
    {
        ++mSaveVersion;
        GetProjectHost().GetRestorePage(mRestoreUIPage, mRestoreInstrumentIndex);
        int32_t transpose = GetTranspose();
        serialise.SerialiseInt32("Transpose", &transpose, INT32_MIN, INT32_MAX);
        serialise.SerialiseInt32("SaveVersion", &mSaveVersion, INT32_MIN, INT32_MAX);
        serialise.SerialiseInt32("RestoreUIPage", &mRestoreUIPage, INT32_MIN, INT32_MAX);
        serialise.SerialiseInt32("RestoreInstrumentIndex", &mRestoreInstrumentIndex, INT32_MIN, INT32_MAX);
        mTrackMap.Serialise(serialise);
        if (serialise.BeginNode("Instruments", true))
        {
            WriteInstruments(serialise, relocator);
            serialise.EndNode("Instruments");
        }
        ok = serialise.End();
    }
    // Only a whole document is committed; the previous file stays otherwise.
    ok = stream->Close(!ok) && ok;
    delete stream;
    return ok;
}

void cProject::WriteInstruments(Base::cSerialise& serialise, cSampleRelocator* relocator)
{
    cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance();
    for (int32_t slot = 0; slots && slot < kSlotCount; ++slot)
    {
        cInstrument* instrument = slots->GetInstrument(slot);
        if (!instrument || !serialise.BeginNode("Instr", true))
            continue;
        const cGenString type = cGenString::ConstructView(instrument->GetPackage()->GetName());
        serialise.SerialiseTextConst("Type", &type);
        int32_t index = slot;
        serialise.SerialiseInt32("Index", &index, 0, kSlotCount - 1);
        int32_t midiInTranspose = GetMIDIInTranspose(slot);
        serialise.SerialiseInt32("MIDIInTranspose", &midiInTranspose, INT32_MIN, INT32_MAX);
        instrument->Serialise(serialise, relocator);
        serialise.EndNode("Instr");
    }
}
