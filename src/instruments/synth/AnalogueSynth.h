#pragma once
#include <cstdint>

#include "audio/AudioModule.h"
#include "base/GenString.h"
#include "instruments/synth/AnalogueSynthMulti.h"
#include "instruments/synth/AnalogueSynthSingle.h"

class cAnalogueSynthPresetStore;

// The audio module of one synthesizer instrument, and the one place where its
// current preset is edited. In single mode it plays the current single; in
// multi mode the current multi, whose layers play singles of the store.
//
// For the current single and the current multi it keeps two copies: the edit
// copy, which parameter changes write, and the stored copy, as the store holds
// the preset. Compare plays (and reads back) the stored copy; Modified says
// that the edit copy differs. Editors reach everything through parameter ids
// (SynthParamId.h): they post set-float and set-int events and read back with
// GetParamFloat and GetParamInt once the ring has drained.
//
// The audio thread handles the events; the main and job threads call the
// direct operations below, which change what the audio thread plays under
// the audio manager's lock.
class cAnalogueSynth : public cAudioModule
{
public:
    enum : int32_t
    {
        kModeSingle = 0,
        kModeMulti = 1,
        kRingSize = 64,
        kModuleParamCount = 9, // "Pitch Bend", "Volume", "Pan", -, "Pad1 X" .. "Knob"
        kSampleSlotCount = 4,  // one per layer
    };

    explicit cAnalogueSynth(cInstrument* owner);
    ~cAnalogueSynth() override;

    float GetParamFloat(uint32_t id) override;
    int32_t GetParamInt(uint32_t id) override;
    int32_t HandleEvent(const cAudioEvent& event) override;
    // "A00.<EMPTY>": the bank letter, the slot, a point and the name of the
    // current single or multi.
    void GetPresetText(cGenString& text) override;
    // The module's keys in the instrument's project element: the mode (always
    // saved and left as single), the preset ids, the edit flags and, while
    // modified, the edit copies as the base64 text "EditPresetData".
    bool Serialise(Base::cSerialise& serialise, cInstrument* owner, cSampleRelocator* relocator) override;

    // Both run BeginEdit first.
    void SetParamFloat(uint32_t id, float value);
    void SetParamInt(uint32_t id, int32_t value);

    // The editor's direct operations; both run BeginEdit first.
    void SetSamplePath(const cGenString& path);
    void SetPresetName(const char* name);
    // Binds the package's store and reloads the current single and multi
    // from it, discarding any edit.
    void SetStore(cAnalogueSynthPresetStore* store);
    // Stores the current preset (single or multi by mode) under the id, which
    // becomes the current one.
    void WritePreset(int32_t id);

    int32_t GetMode() const { return mMode; }
    bool IsModified() const { return mModified != 0; }
    bool IsComparing() const { return mCompare != 0; }
    int32_t GetSingleId() const { return mSingleId; }
    int32_t GetMultiId() const { return mMultiId; }
    // The copies that play: the stored ones while comparing.
    const cAnalogueSynthSingle& GetCurrentSingle() const { return mCompare ? mStoredSingle : mEditSingle; }
    const cAnalogueSynthMulti& GetCurrentMulti() const { return mCompare ? mStoredMulti : mEditMulti; }
    const cGenString& GetCurrentSamplePath() const { return mCompare ? mStoredSamplePath : mEditSamplePath; }
    const cAnalogueSynthSingle& GetEditSingle() const { return mEditSingle; }
    const cAnalogueSynthSingle& GetStoredSingle() const { return mStoredSingle; }
    const cAnalogueSynthMulti& GetEditMulti() const { return mEditMulti; }
    const cAnalogueSynthMulti& GetStoredMulti() const { return mStoredMulti; }
    const cGenString& GetEditSamplePath() const { return mEditSamplePath; }
    // The sample files the layers need, as last chosen for the sample
    // managers: the layers' slots, and the slot the preview preloads.
    const cGenString& GetSampleSlotPath(int32_t slot) const { return mSampleSlotPaths[slot & 3]; }
    const cGenString& GetPreviewSlotPath(int32_t slot) const { return mPreviewSlotPaths[slot & 3]; }

private:
    cAnalogueSynthSingle& CurrentSingle() { return mCompare ? mStoredSingle : mEditSingle; }
    cAnalogueSynthMulti& CurrentMulti() { return mCompare ? mStoredMulti : mEditMulti; }
    int32_t CurrentPresetId() const { return mMode == kModeMulti ? mMultiId : mSingleId; }
    // The sections that a single and a multi both have, by mode.
    cChorusDelayParams& CurrentCD();
    cWaveShapeParams& CurrentWS();
    cControllerValues& CurrentCtrl();

    void BeginEdit();
    void ToggleCompare();
    void Apply();
    void RefreshSamples();
    void PreviewSample(int32_t id);
    void SelectSingle(int32_t id, bool force);
    void SelectMulti(int32_t id, bool force);
    void SelectInMode(int32_t id);
    void ReloadMulti();
    void SetMode(int32_t mode);
    void BindStore(cAnalogueSynthPresetStore* store);
    void WriteCurrentPreset(int32_t id);
    void SelectByEvent(const cAudioEvent& event);
    void StepByEvent(const cAudioEvent& event);
    void ReportPresetChange(const cAudioEvent& event, int32_t id);
    void StopVoices();
    void SetSampleSlot(int32_t slot, const cGenString& path);
    void SetPreviewSlot(int32_t slot, const cGenString& path);

    void SaveState(Base::cSerialise& serialise, cSampleRelocator* relocator);
    void LoadState(Base::cSerialise& serialise, cSampleRelocator* relocator);

    cAnalogueSynthPresetStore* mStore = nullptr;
    int32_t mMode = kModeSingle;
    uint8_t mModified = 0;
    uint8_t mCompare = 0;
    int32_t mSingleId = 0;
    cAnalogueSynthSingle mEditSingle;
    cAnalogueSynthSingle mStoredSingle;
    cGenStringFixed<260> mEditSamplePath;
    cGenStringFixed<260> mStoredSamplePath;
    int32_t mMultiId = 0;
    cAnalogueSynthMulti mEditMulti;
    cAnalogueSynthMulti mStoredMulti;
    cGenStringFixed<260> mSampleSlotPaths[kSampleSlotCount];
    cGenStringFixed<260> mPreviewSlotPaths[kSampleSlotCount];
};
