#pragma once
#include <atomic>
#include <cstdint>
#include <memory>

#include "audio/AudioModule.h"
#include "instruments/pads/TriggerPadBus.h"
#include "instruments/pads/TriggerPadSet.h"

class cMixerChannel;
class cSample;
class cTriggerPadVoices;

// The audio module of the 16-pad sample instrument: notes 48..63 play the
// pads through 32 voices into three output buses, each the source of one of
// its instrument's mixer channels; the mixer renders it once per bus and
// block. Pads, outputs and mutes live in two parameter sets: the active one
// plays and is edited by events; whole banks load into the other, which
// then becomes active under the audio manager's lock.
//
// Everything else reaches the module through events and parameter reads.
// The sample slots, the set flip and whole pad records change on the main
// or a job thread under the audio manager's lock, which is held only for
// the pointer stores and short copies: samples are read outside it.
class cTriggerPad : public cAudioModule
{
public:
    static constexpr uint32_t kEventCapacity = 64;
    static constexpr int32_t kPadCount = cTriggerPadSet::kPadCount;
    static constexpr int32_t kBusCount = cTriggerPadSet::kOutputCount;
    static constexpr float kVoiceGain = 3.5f;

    // Module parameters: the controllers of the buses.
    enum : int32_t
    {
        kParamPitchBend = 0,
        kParamBus1Volume = 1,
        kParamBus1Pan = 2,
        kParamBus1Send1 = 4,
        kParamBus1Send2 = 5,
        kParamBus1Cutoff = 6,
        kParamBus2Send1 = 7,
        kParamBus2Send2 = 8,
        kParamBus2Cutoff = 9,
        kParamBus3Send1 = 10,
        kParamBus3Send2 = 11,
        kParamBus3Cutoff = 12,
        kParamBus2Volume = 13,
        kParamBus2Pan = 14,
        kParamBus3Volume = 15,
        kParamBus3Pan = 16,
        kParamCount = 17,
    };

    // Classes of parameter identifiers (bits 0..7; a set address above them).
    enum : uint32_t
    {
        kClassSet = 2,
        kClassSoundingPads = 3,
        kClassRepeatLength = 4,
        kClassRepeatVelocity = 5,
    };

    static uint32_t MakeSetId(uint32_t address) { return kClassSet | (address << 8); }
    // Each bus's volume, pan, sends and cutoff parameters.
    static int32_t VolumeParam(int32_t bus);
    static int32_t PanParam(int32_t bus);
    static int32_t Send1Param(int32_t bus) { return kParamBus1Send1 + 3 * bus; }
    static int32_t Send2Param(int32_t bus) { return kParamBus1Send2 + 3 * bus; }
    static int32_t CutoffParam(int32_t bus) { return kParamBus1Cutoff + 3 * bus; }

    // The owner's first three strips are the buses' channels.
    explicit cTriggerPad(cInstrument* owner);
    ~cTriggerPad() override;

    float GetParamFloat(uint32_t id) override;
    int32_t GetParamInt(uint32_t id) override;
    // Renders the bus the process information names.
    int32_t Process(const cAudioProcessInfo& info, cAudioBuffer& buffer) override;
    int32_t HandleEvent(const cAudioEvent& event) override;
    // Kinds 2 and 3: the bus's send levels; 4: 1.0 once the bus is silent.
    float GetOutputValue(int32_t kind, int32_t bus) override;
    // Writes the active set; reads a fresh set and makes it active.
    bool Serialise(Base::cSerialise& serialise, cInstrument* owner, cSampleRelocator* relocator) override;

    // The module parameters from the channels and the active set's outputs.
    void ApplyState();
    void ReleaseSamples();
    // Every pad of the active set with a path gets its sample; a path that
    // does not load leaves its pad silent and makes the result false. Kept
    // ranges stay only when they lie inside the sample.
    bool LoadSamples(bool keepRanges);
    // The pad's sample from the path (its own when none is given); a failed
    // load changes nothing.
    bool LoadPadSample(int32_t pad, const char* path, bool keepRange);
    // Copies the file to the destination and plays the copy.
    bool ImportPadSample(int32_t pad, const char* source, const char* destination);
    void ClearPad(int32_t pad);
    void GetPad(int32_t pad, cTriggerPadData& record) const;
    // The sample slot stays as it is.
    void SetPad(int32_t pad, const cTriggerPadData& record);
    // An empty bank with default outputs.
    void ClearBank();
    bool IsSampleInUse(const cGenString& path) const;

    // A bank package read into the inactive set; only when it reads whole do
    // the slots empty, the sets flip and the samples load (from the package,
    // or copied into the destination folder first). A failure changes
    // nothing.
    bool LoadBank(const cGenString& destinationFolder, const cGenString& packageFolder, bool copySamples);
    // The active set and its samples as the package folder at the path,
    // keeping the package it replaces as "<name>.bak.vrx". A failure leaves
    // the earlier package as it was.
    bool SaveBank(const cGenString& packagePath);
    // A bank folder that a cut-short save left missing, put back (with a
    // status-bar notice) from the whole version beside it.
    void RecoverBank(const cGenString& packageFolder);

    // The voices' view of the active set, on the audio thread.
    cTriggerPadData& GetActivePad(int32_t pad) { return ActiveSet().pads[pad]; }
    cSample* GetSample(int32_t pad) const { return mSlots[pad]; }

    const cTriggerPadSet& GetActiveSet() const { return mSets[mActiveSet.load(std::memory_order_relaxed)]; }
    int32_t GetActiveSetIndex() const { return mActiveSet.load(std::memory_order_relaxed); }
    const cTriggerPadVoices& GetVoices() const { return *mVoices; }
    const cTriggerPadBus& GetBus(int32_t bus) const { return mBuses[bus]; }
    cMixerChannel* GetChannel(int32_t bus) const { return mChannels[bus]; }

private:
    static constexpr int32_t kRetiredCapacity = 64;

    cTriggerPadSet& ActiveSet() { return mSets[mActiveSet.load(std::memory_order_relaxed)]; }
    cTriggerPadSet& InactiveSet() { return mSets[1 - mActiveSet.load(std::memory_order_relaxed)]; }
    // Under the audio manager's lock.
    void FlipSets();
    void HandleModuleParam(const cAudioEvent& event);
    void HandleSetInt(uint32_t id, int32_t value);
    void CopyParamsToChannels();
    void FilterBus(const cAudioProcessInfo& info, cAudioBuffer& buffer, int32_t bus);

    // Slot changes happen under the audio manager's lock: the slot takes the
    // caller's reference and the old sample waits among the retired ones,
    // so a voice never drops the last reference on the audio thread.
    void SwapSlot(int32_t pad, cSample* sample);
    // Lets go of the retired samples no voice holds any more.
    void ReleaseRetiredSamples();
    // Loads the pad's path outside the lock and stores it under it.
    bool LoadSlot(int32_t pad, const cGenString& path, bool keepRange);
    bool CopyPackageSamples(const cGenString& destinationFolder);

    std::unique_ptr<cTriggerPadVoices> mVoices;
    cSample* mSlots[kPadCount] = {};
    cTriggerPadBus mBuses[kBusCount];
    cTriggerPadSet mSets[2];
    std::atomic<int32_t> mActiveSet{0};
    cMixerChannel* mChannels[kBusCount] = {};
    cSample* mRetired[kRetiredCapacity] = {};
    int32_t mRetiredCount = 0;
};
