#pragma once
#include <cstdint>
#include <memory>

#include "audio/AudioModule.h"
#include "audio/Biquad.h"
#include "audio/SilenceDetector.h"
#include "base/GenString.h"
#include "instruments/synth/AnalogueSynthMulti.h"
#include "instruments/synth/AnalogueSynthSingle.h"

class cAnalogueSynthPresetStore;
class cAnalogueSynthSampleManager;
class cAnalogueSynthVoiceEngine;
class cEffect;
class cEffectChorusDelay;
class cEffectWaveShape;
class cMixerChannel;

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
// It plays through a voice engine of sixteen voices, then its built-in drive
// and chorus/delay (effect units of the registry, run directly) and a 25 Hz
// output high-pass, and sleeps once it has been silent for a second.
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
        kOutputValueCount = 5, // level, pan centre, send 1, send 2, asleep
    };
    static constexpr float kVoiceGain = 1.2f;
    static constexpr float kOutputHighPassHz = 25.0f;
    static constexpr float kSleepSeconds = 1.0f;
    // The drive runs at these levels inside the synthesizer.
    static constexpr float kDriveInputLevel = 1.0f;
    static constexpr float kDriveOutputLevel = 0.35f;

    explicit cAnalogueSynth(cInstrument* owner);
    ~cAnalogueSynth() override;

    float GetParamFloat(uint32_t id) override;
    int32_t GetParamInt(uint32_t id) override;
    // Renders the voices into the block, adding, then the effects.
    int32_t Process(const cAudioProcessInfo& info, cAudioBuffer& buffer) override;
    int32_t HandleEvent(const cAudioEvent& event) override;
    // Kinds 0 to 4: the chorus/delay's level, 0.5, the two send levels, and
    // 1.0 while asleep.
    float GetOutputValue(int32_t kind, int32_t index) override;
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
    // The current single's matrix; in multi mode that of layer 0's single,
    // or null while layer 0 is off.
    const cModMatrix* GetCurrentModMatrix() const;

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
    const cGenString& GetSampleSlotPath(int32_t slot) const;
    const cGenString& GetPreviewSlotPath(int32_t slot) const;
    cAnalogueSynthSampleManager& GetSampleManager() const { return *mSamples; }
    cAnalogueSynthSampleManager& GetPreviewSampleManager() const { return *mPreviewSamples; }
    cAnalogueSynthVoiceEngine& GetVoiceEngine() const { return *mVoices; }
    const cModuleModulation& GetGlobalModulation() const { return mGlobal; }
    const cSilenceDetector& GetSilenceDetector() const { return mSilence; }
    const cBiquad& GetOutputFilter(int32_t channel) const { return mOutputFilter[channel & 1]; }
    cEffectWaveShape* GetDrive() const { return mDrive; }
    cEffectChorusDelay* GetChorusDelay() const { return mChorusDelay; }
    // The sums of the performance controllers' rows 6 to 10 that go to the
    // effects and sends, from the module parameters.
    void RouteGlobalModulation(const cAnalogueSynthSingle& patch);

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

    void HandleModuleParam(const cAudioEvent& event);
    void CreateEffects();
    void ResetEffects();
    void FollowChannel();
    // Points the layers and the effects at what plays this block.
    void SetupLayers();
    void PointEffects(cWaveShapeParams& drive, cChorusDelayParams& chorusDelay);
    void SetSends(float send1, float send2);
    void RunEffects(const cAudioProcessInfo& info, cAudioBuffer& buffer);
    void DesignOutputFilter(const cAudioProcessInfo& info);

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

    cMixerChannel* mChannel = nullptr; // the owner's strip
    std::unique_ptr<cAnalogueSynthVoiceEngine> mVoices;
    std::unique_ptr<cAnalogueSynthSampleManager> mSamples;
    std::unique_ptr<cAnalogueSynthSampleManager> mPreviewSamples;
    std::unique_ptr<cEffect> mChorusDelayEffect;
    std::unique_ptr<cEffect> mDriveEffect;
    cEffectChorusDelay* mChorusDelay = nullptr;
    cEffectWaveShape* mDrive = nullptr;
    cSilenceDetector mSilence;
    float mLastSampleRate = 0.0f;
    cModuleModulation mGlobal{};
    cBiquad mOutputFilter[2];
    float mOutputValues[kOutputValueCount] = {1.0f, 0.5f, 0.0f, 0.0f, 0.0f};
};
