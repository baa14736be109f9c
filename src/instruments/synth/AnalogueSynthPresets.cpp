// The preset side of the synthesizer module: selecting and stepping presets,
// the edit and compare state, the mode, writing into the store and the
// samples the current preset needs.
#include "instruments/synth/AnalogueSynth.h"

#include <algorithm>

#include "audio/AudioLock.h"
#include "base/MessageQueue.h"
#include "instruments/synth/AnalogueSynthPresetStore.h"
#include "instruments/synth/AnalogueSynthSampleManager.h"
#include "instruments/synth/AnalogueSynthVoiceEngine.h"
#include "mixer/MixerChannel.h"

namespace
{
constexpr int32_t kStoreIndexMask = cAnalogueSynthPresetStore::kPresetCount - 1;
const cGenString kNoSample("");

// The sample a stored single plays, or none when it plays its oscillators.
const cGenString& StoredSampleOf(const cAnalogueSynthPresetStore& store, int32_t id)
{
    return store.GetSingle(id).Osc.Mod == cOscSectionParams::kModeSample ? store.GetSamplePath(id) : kNoSample;
}
} // namespace

void cAnalogueSynth::StopVoices() { mVoices->AllNotesOff(); }

void cAnalogueSynth::SetSampleSlot(int32_t slot, const cGenString& path) { mSamples->SetSlot(slot, path); }

void cAnalogueSynth::SetPreviewSlot(int32_t slot, const cGenString& path) { mPreviewSamples->SetSlot(slot, path); }

const cGenString& cAnalogueSynth::GetSampleSlotPath(int32_t slot) const { return mSamples->GetPath(slot & 3); }

const cGenString& cAnalogueSynth::GetPreviewSlotPath(int32_t slot) const { return mPreviewSamples->GetPath(slot & 3); }

void cAnalogueSynth::SelectSingle(int32_t id, bool force)
{
    if (force)
        StopVoices();
    id = std::max(id, 0);
    if (id == mSingleId && !force)
        return;
    mSingleId = id;
    // Without a store there is nothing to load; the id waits for SetStore.
    if (!mStore)
        return;
    mStoredSingle = mStore->GetSingle(id);
    mStoredSamplePath.Assign(mStore->GetSamplePath(id));
    mEditSingle = mStoredSingle;
    mEditSamplePath.Assign(mStoredSamplePath);
    mModified = mCompare = 0;
    Apply();
    RefreshSamples();
}

void cAnalogueSynth::SelectMulti(int32_t id, bool force)
{
    if (force)
        StopVoices();
    id = std::max(id, 0);
    if (id == mMultiId && !force)
        return;
    mMultiId = id;
    if (!mStore)
        return;
    mStoredMulti = mStore->GetMulti(id);
    mEditMulti = mStoredMulti;
    mModified = mCompare = 0;
    Apply();
    RefreshSamples();
}

void cAnalogueSynth::SelectInMode(int32_t id)
{
    if (mMode == kModeMulti)
        SelectMulti(id, false);
    else
        SelectSingle(id, false);
}

// Event 11: word A the bank (negative keeps the current one), word B the
// program (negative keeps the current slot).
void cAnalogueSynth::SelectByEvent(const cAudioEvent& event)
{
    const int32_t current = CurrentPresetId();
    const int32_t bankWord = int32_t(event.wordA);
    const int32_t programWord = int32_t(event.wordB);
    const int32_t bank = bankWord >= 0 ? bankWord & 7 : (current >> 8) & 7;
    const int32_t program = programWord >= 0 ? programWord : current;
    const int32_t id = bank << 8 | (program & 0x3F);
    SelectInMode(id);
    ReportPresetChange(event, id);
}

// Event 12: word A the step through all 512 presets, wrapping both ways.
void cAnalogueSynth::StepByEvent(const cAudioEvent& event)
{
    const int32_t step = int32_t(event.wordA);
    if (step == 0)
        return;
    const int32_t index = (cAnalogueSynthPresetStore::IndexOf(CurrentPresetId()) + step) & kStoreIndexMask;
    const int32_t id = cAnalogueSynthPresetStore::IdOf(index);
    SelectInMode(id);
    ReportPresetChange(event, id);
}

void cAnalogueSynth::ReportPresetChange(const cAudioEvent& event, int32_t id)
{
    if ((event.flags & kAudioEventFlagReportPreset) && gMessageQueue)
        gMessageQueue->Push({this, cMessageQueue::kTypePresetChanged, id});
}

// An edit made while comparing starts again from the stored preset.
void cAnalogueSynth::BeginEdit()
{
    if (mCompare)
    {
        if (mMode == kModeMulti)
            mEditMulti = mStoredMulti;
        else
        {
            mEditSingle = mStoredSingle;
            mEditSamplePath.Assign(mStoredSamplePath);
        }
        mCompare = 0;
    }
    mModified = 1;
}

void cAnalogueSynth::ToggleCompare()
{
    if (mModified)
        mCompare = mCompare ? 0 : 1;
    RefreshSamples();
    Apply();
}

void cAnalogueSynth::Apply()
{
    mParamValues[0] = 0.0f; // pitch bend
    if (mChannel)
    {
        mParamValues[1] = mChannel->volume;
        mParamValues[2] = mChannel->pan;
    }
    const cControllerValues& ctrl = CurrentCtrl();
    for (int32_t i = cControllerValues::kPad1X; i < cControllerValues::kCount; ++i)
        mParamValues[i] = ctrl.values[i];
    mChangedMask.store(~0u);
}

void cAnalogueSynth::RefreshSamples()
{
    if (mMode != kModeMulti)
    {
        const bool sample = GetCurrentSingle().Osc.Mod == cOscSectionParams::kModeSample;
        SetSampleSlot(0, sample ? GetCurrentSamplePath() : kNoSample);
        for (int32_t slot = 1; slot < kSampleSlotCount; ++slot)
            SetSampleSlot(slot, kNoSample);
        return;
    }
    if (!mStore)
        return;
    const cAnalogueSynthMulti& multi = GetCurrentMulti();
    for (int32_t layer = 0; layer < cAnalogueSynthMulti::kLayerCount; ++layer)
        if (multi.layers[layer].Index >= 0)
            SetSampleSlot(layer, StoredSampleOf(*mStore, multi.layers[layer].Index));
}

// Preloads the sample of a preset that is about to be selected, so that the
// selection finds it in the sample registry.
void cAnalogueSynth::PreviewSample(int32_t id)
{
    SetPreviewSlot(0, mStore ? StoredSampleOf(*mStore, id) : kNoSample);
    for (int32_t slot = 1; slot < kSampleSlotCount; ++slot)
        SetPreviewSlot(slot, kNoSample);
}

void cAnalogueSynth::ReloadMulti()
{
    StopVoices();
    mMultiId = std::max(mMultiId, 0);
    if (mStore)
    {
        mStoredMulti = mStore->GetMulti(mMultiId);
        mEditMulti = mStoredMulti;
    }
    mModified = mCompare = 0;
    Apply();
    RefreshSamples();
}

void cAnalogueSynth::SetMode(int32_t mode)
{
    if (mode == mMode || (mode != kModeSingle && mode != kModeMulti))
        return;
    mMode = mode;
    if (mode == kModeSingle)
        SelectSingle(mSingleId, true);
    else
        ReloadMulti();
    Apply();
}

void cAnalogueSynth::SetStore(cAnalogueSynthPresetStore* store)
{
    cScopedAudioLock lock;
    BindStore(store);
}

void cAnalogueSynth::BindStore(cAnalogueSynthPresetStore* store)
{
    mStore = store;
    SelectSingle(mSingleId, true);
    ReloadMulti();
    Apply();
    mModified = mCompare = 0;
    RefreshSamples();
}

void cAnalogueSynth::WritePreset(int32_t id)
{
    cScopedAudioLock lock;
    WriteCurrentPreset(id);
}

// Neither re-applies the module parameters nor refreshes the samples: the
// sound does not change, only where it is stored.
void cAnalogueSynth::WriteCurrentPreset(int32_t id)
{
    if (!mStore)
        return;
    if (mMode == kModeMulti)
    {
        mStore->WriteMulti(id, GetCurrentMulti());
        mMultiId = id;
        mStoredMulti = mStore->GetMulti(id);
        mEditMulti = mStoredMulti;
    }
    else
    {
        mStore->WriteSingle(id, GetCurrentSingle(), GetCurrentSamplePath());
        mSingleId = id;
        mStoredSingle = mStore->GetSingle(id);
        mStoredSamplePath.Assign(mStore->GetSamplePath(id));
        mEditSingle = mStoredSingle;
        mEditSamplePath.Assign(mStoredSamplePath);
    }
    mModified = mCompare = 0;
}

void cAnalogueSynth::SetSamplePath(const cGenString& path)
{
    cScopedAudioLock lock;
    BeginEdit();
    mEditSamplePath.Assign(path);
    SetSampleSlot(0, path);
}

void cAnalogueSynth::SetPresetName(const char* name)
{
    cScopedAudioLock lock;
    BeginEdit();
    if (mMode == kModeMulti)
        mEditMulti.SetName(name);
    else
        mEditSingle.SetName(name);
}
