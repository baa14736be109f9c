#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/AudioModule.h"

class cEffect;
class cEffectRackNode;
class cMixerChannel;

// The module that renders a project's whole mix, one block at a time: every
// instrument output through its insert chain, ramped gains and pans into the
// master and the two send buses, the send returns and the master chain, the
// audition preview and the metronome click, into the caller's buffer. Owned
// by the mixing-desk instrument, whose channel 0 is the master.
//
// The channel list holds the instruments' outputs in slot order, then the
// two returns, which the mixer owns. Levels, pans, mutes and solos change
// only through events; channels come and go under the audio manager's lock.
class cMixer : public cAudioModule
{
public:
    static constexpr uint32_t kEventCapacity = 64;
    static constexpr uint32_t kBlockFrames = 128;
    static constexpr int32_t kReturnCount = 2;

    // Module parameters: the master's and the returns' volumes and pans.
    enum : int32_t
    {
        kParamMasterVolume = 1,
        kParamMasterPan = 2,
        kParamSend1Volume = 4,
        kParamSend1Pan = 5,
        kParamSend2Volume = 6,
        kParamSend2Pan = 7,
        kParamCount = 8,
    };

    // Channel parameter identifiers: the kind in bits 0-7.
    enum : uint32_t
    {
        kIdListChannel = 2, // list position in bits 8-15, selector in 16-23
        kIdMaster = 3,      // selector in bits 8-15
        kIdSetMute = 4,     // signed position in bits 8-31 (-1 the master)
        kIdGetMute = 5,
    };

    static uint32_t MakeListChannelId(int32_t position, int32_t selector);
    static uint32_t MakeMasterId(int32_t selector);
    static uint32_t MakeMuteId(uint32_t kind, int32_t position);

    // owner: the mixing-desk instrument; its channel 0 must exist.
    explicit cMixer(cInstrument* owner);
    ~cMixer() override;

    float GetParamFloat(uint32_t id) override;
    int32_t GetParamInt(uint32_t id) override;
    int32_t Process(const cAudioProcessInfo& info, cAudioBuffer& output) override;
    int32_t HandleEvent(const cAudioEvent& event) override;
    // "Send00" and "Send01", the two returns.
    bool Serialise(Base::cSerialise& serialise, cInstrument* owner, cSampleRelocator* relocator) override;

    // Renders the output buffer in blocks of at most 128 frames. mask: bit i
    // of word i / 32 lets input channel i be heard; null lets every one.
    int32_t RenderGraph(const cAudioProcessInfo& info, cAudioBuffer& output, const uint32_t* mask);

    // In front of the first input of before (at the end when before is null
    // or has none), in the instrument's own order.
    void InsertChannels(cInstrument* instrument, cInstrument* before);
    void RemoveChannels(cInstrument* instrument);
    // State 0 normal, 1 muted, 2 soloed; returns and the master ignore solo.
    void SetChannelMuteState(int32_t position, int32_t state);

    int32_t GetInputCount() const { return mInputCount; }
    int32_t GetChannelCount() const { return static_cast<int32_t>(mChannels.size()); }
    // 0 and above: the list; -1 the master (a negative n is the owner's
    // channel n + 1). Null outside.
    cMixerChannel* GetChannel(int32_t position) const;
    cMixerChannel* GetReturn(int32_t index) const;
    cMixerChannel* GetMaster() const;
    int32_t GetMuteState(int32_t position) const;
    int32_t GetSoloCount() const { return mSoloCount; }
    // Changes whenever channels come or go, so views of the list know to
    // bind again. Main thread.
    uint32_t GetListVersion() const { return mListVersion; }
    float GetClipHoldLeft() const { return mClipHoldLeft; }
    float GetClipHoldRight() const { return mClipHoldRight; }

private:
    void CreateReturn(int32_t index, const char* name, int32_t volumeParam, int32_t panParam);
    void InstallReturnEffect(int32_t index, cEffect* effect);
    void LoadParamsFromChannels();
    void UpdateEnables();
    void UpdateChannelGroups();
    void SetChannelFloat(uint32_t id, float value);
    void StoreModuleParam(const cAudioEvent& event);
    void SetMuteFromEvent(const cAudioEvent& event);
    void Reset();

    void RenderBlock(const cAudioProcessInfo& info, cAudioBuffer& output, const uint32_t* mask);
    void PrepareBuffers(uint32_t frames);
    void CopyParamsToChannels();
    void RenderInput(const cAudioProcessInfo& info, int32_t position, bool masked);
    void MixChannel(cMixerChannel& channel, float gainLeft, float gainRight, float send1, float send2);
    bool RenderReturn(const cAudioProcessInfo& info, cMixerChannel& channel);
    void MixReturns(cEffectRackNode* node);
    void DecayMeters(const cAudioProcessInfo& info, uint32_t frames);
    void MeterMaster(const cAudioProcessInfo& info, uint32_t frames);
    void WriteOutput(cAudioBuffer& output);

    int32_t mInputCount = 0;
    uint32_t mListVersion = 0;
    cAudioBuffer mScratch;
    std::unique_ptr<float[]> mScratchData;
    float mClipHoldLeft = 0.0f;
    float mClipHoldRight = 0.0f;
    int32_t mSoloCount = 0;
    std::vector<cMixerChannel*> mChannels;
    std::unique_ptr<cMixerChannel> mReturns[kReturnCount];
    // Which returns reach the master in the block being rendered.
    bool mReturnAudible[kReturnCount] = {};
    int32_t mMeterPhase = 0;
};
