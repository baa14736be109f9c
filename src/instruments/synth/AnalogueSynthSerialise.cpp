// The synthesizer module's part of the project file: the mode, the preset
// ids, the edit flags and, while the current preset is modified, its edit
// copies as "EditPresetData".
#include "instruments/synth/AnalogueSynth.h"

#include <climits>
#include <cmath>
#include <memory>
#include <vector>

#include "audio/AudioLock.h"
#include "base/Serialise.h"
#include "instruments/synth/AnalogueSynthPresetStore.h"
#include "instruments/synth/EditPresetData.h"
#include "project/SampleRelocator.h"

namespace
{
const Base::cEnumEntry kModeEntries[] = {{cAnalogueSynth::kModeSingle, "Single"}, {cAnalogueSynth::kModeMulti, "Multi"}};
const Base::cEnumTable kModeTable = {kModeEntries, 2};

// Projects before this version kept their own presets in bank 3.
constexpr float kProjectBankVersion = 6.0f;
constexpr int32_t kOldProjectBank = 3;

// The project file's version, which the records use to read legacy data.
int32_t StreamFileVersion(const Base::cSerialise& serialise)
{
    const float version = serialise.IsSaving() ? serialise.GetExpectedVersion() : serialise.GetReadVersion();
    return int32_t(std::lround(version));
}

bool SerialiseId(Base::cSerialise& serialise, const char* name, int32_t* id)
{
    return serialise.SerialiseInt32(name, id, INT_MIN, INT_MAX);
}

// The edit copies the project carries, read whole or not at all.
bool ReadEditPresetData(Base::cSerialise& serialise, cSampleRelocator* relocator, cEditPresetData& edits)
{
    cGenString text = cGenString::ConstructGrowable();
    if (!serialise.SerialiseGenString("EditPresetData", &text))
        return false;
    const std::vector<uint8_t> bytes = DecodeEditPresetText(text);
    if (!edits.Read(bytes.data(), int32_t(bytes.size()), StreamFileVersion(serialise)))
        return false;
    if (relocator)
    {
        cGenString path = cGenString::ConstructGrowableCopy(edits.samplePath);
        relocator->MakeAbsolute(path);
        edits.samplePath.Assign(path);
    }
    return true;
}
} // namespace

bool cAnalogueSynth::Serialise(Base::cSerialise& serialise, cInstrument*, cSampleRelocator* relocator)
{
    // Whatever mode was saved, the module comes back playing its single.
    {
        cScopedAudioLock lock;
        mMode = kModeSingle;
    }
    int32_t mode = kModeSingle;
    serialise.SerialiseEnum("Mode", &mode, &kModeTable);
    if (serialise.IsSaving())
        SaveState(serialise, relocator);
    else
        LoadState(serialise, relocator);
    return true;
}

void cAnalogueSynth::SaveState(Base::cSerialise& serialise, cSampleRelocator* relocator)
{
    std::unique_ptr<cEditPresetData> edits(new cEditPresetData);
    int32_t singleId, multiId;
    bool modified, compare;
    {
        cScopedAudioLock lock;
        singleId = mStore ? mStore->MapPreset(mSingleId, 0) : mSingleId;
        multiId = mMultiId;
        modified = mModified != 0;
        compare = mCompare != 0;
        edits->single = mEditSingle;
        edits->samplePath.Assign(mEditSamplePath);
        edits->multi = mEditMulti;
    }
    SerialiseId(serialise, "SingleI", &singleId);
    SerialiseId(serialise, "MultiI", &multiId);
    serialise.SerialiseBool("Modified", &modified);
    serialise.SerialiseBool("Compare", &compare);
    if (!modified)
        return;

    cGenString path = cGenString::ConstructGrowableCopy(edits->samplePath);
    if (relocator && !path.IsEmpty())
    {
        relocator->Relocate(path);
        if (!relocator->KeepsPaths())
        {
            cScopedAudioLock lock;
            mEditSamplePath.Assign(path);
        }
        relocator->MakeRelative(path);
    }
    edits->samplePath.Assign(path);
    if (mStore)
        mStore->MapMultiLayers(edits->multi);
    cGenString text = cGenString::ConstructGrowable();
    EncodeEditPresetText(edits->Write(StreamFileVersion(serialise)), text);
    serialise.SerialiseGenString("EditPresetData", &text);
}

void cAnalogueSynth::LoadState(Base::cSerialise& serialise, cSampleRelocator* relocator)
{
    int32_t singleId = mSingleId, multiId = mMultiId;
    SerialiseId(serialise, "SingleI", &singleId);
    SerialiseId(serialise, "MultiI", &multiId);
    if (serialise.GetReadVersion() < kProjectBankVersion)
    {
        if (((singleId >> 8) & 0xFF) == kOldProjectBank)
            singleId = (singleId & ~0xFF00) | cAnalogueSynthPresetStore::kProjectBank << 8;
        multiId = 0;
    }
    bool modified = mModified != 0, compare = mCompare != 0;
    serialise.SerialiseBool("Modified", &modified);
    serialise.SerialiseBool("Compare", &compare);

    // The edits are read in full before anything the audio thread plays changes.
    std::unique_ptr<cEditPresetData> edits(new cEditPresetData);
    if (mStore)
    {
        edits->single = mStore->GetSingle(singleId);
        edits->samplePath.Assign(mStore->GetSamplePath(singleId));
        edits->multi = mStore->GetMulti(multiId);
    }
    const bool editsRead = modified && ReadEditPresetData(serialise, relocator, *edits);

    cScopedAudioLock lock;
    StopVoices();
    mSingleId = singleId;
    mMultiId = multiId;
    if (mStore)
    {
        mStoredSingle = mStore->GetSingle(singleId);
        mStoredSamplePath.Assign(mStore->GetSamplePath(singleId));
        mStoredMulti = mStore->GetMulti(multiId);
    }
    mEditSingle = mStoredSingle;
    mEditSamplePath.Assign(mStoredSamplePath);
    mEditMulti = mStoredMulti;
    mModified = modified ? 1 : 0;
    mCompare = compare ? 1 : 0;
    if (editsRead)
    {
        mEditSingle = edits->single;
        mEditSamplePath.Assign(edits->samplePath);
        mEditMulti = edits->multi;
    }
    else if (modified)
        mModified = mCompare = 0;
    Apply();
    RefreshSamples();
}
