#include "mixer/Mixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/AudioLock.h"
#include "audio/Instrument.h"
#include "audio/SampleConvert.h"
#include "base/Delegate.h"
#include "base/Serialise.h"
#include "mixer/AuditionPlayer.h"
#include "mixer/Effect.h"
#include "mixer/EffectRegistry.h"
#include "mixer/MixerChannel.h"
#include "sequencer/Sequencer.h"

namespace
{
constexpr float kReturnLevel = 1.2f;
// Gains below this add nothing audible; such a strip is not mixed.
constexpr float kSilentGain = 1.0e-6f;
// Meters fall by five times the block's share of a second.
constexpr float kMeterDecayRate = 5.0f;
constexpr uint32_t kMeterStride = 32;
// Eight full-scale frames in a row light a clip indicator for a second.
constexpr int32_t kClipRun = 8;
constexpr float kClipHoldSeconds = 1.0f;
constexpr float kFullScale = 32767.0f;
constexpr int32_t kClipLevel = 32768;
// Rooms in the channel list before it would grow: 16 instruments of three
// outputs each and the returns, so inserting never reallocates under the lock.
constexpr size_t kListCapacity = 64;

// The reverb's and the chorus/delay's parameter numbers, as their events carry them.
constexpr uint32_t kReverbDryWet = 2;
constexpr uint32_t kChorusDelayType = 0;
constexpr uint32_t kChorusDelaySync = 2;
constexpr uint32_t kChorusDelayAmount = 10;
constexpr int32_t kChorusDelayCrossDelay = 3;

bool IsMasked(const uint32_t* mask, int32_t position)
{
    return mask && !(mask[position >> 5] & (1u << (position & 31)));
}

bool HasSignal(const cAudioBuffer& buffer)
{
    const float* samples = buffer.Floats();
    for (uint32_t i = 0; i < buffer.frames * 2; ++i)
        if (samples[i] != 0.0f)
            return true;
    return false;
}

float Unit(float value) { return std::clamp(value, 0.0f, 1.0f); }

// Two stereo frames of a block, left and right interleaved.
using tFrames2 = float __attribute__((vector_size(16)));

tFrames2 LoadFrames(const float* at)
{
    tFrames2 x;
    std::memcpy(&x, at, sizeof(x));
    return x;
}

void AddFrames(float* at, tFrames2 x)
{
    tFrames2 sum = LoadFrames(at) + x;
    std::memcpy(at, &sum, sizeof(sum));
}

// The gain of frame f, start + f x step, for left and right and for two
// frames at once; the frame number is held as a float, exact at any block
// length.
struct cStereoRamp
{
    tFrames2 start, step, position{0.0f, 0.0f, 1.0f, 1.0f};

    cStereoRamp(float startLeft, float startRight, float stepLeft, float stepRight)
        : start{startLeft, startRight, startLeft, startRight}, step{stepLeft, stepRight, stepLeft, stepRight}
    {
    }
    tFrames2 Next()
    {
        const tFrames2 gain = start + position * step;
        position += 2.0f;
        return gain;
    }
};

void ScaleInPlace(float* samples, uint32_t frames, cStereoRamp ramp)
{
    uint32_t f = 0;
    for (; f + 2 <= frames; f += 2)
    {
        const tFrames2 x = LoadFrames(samples + f * 2) * ramp.Next();
        std::memcpy(samples + f * 2, &x, sizeof(x));
    }
    if (f < frames)
    {
        const tFrames2 gain = ramp.Next();
        samples[f * 2] *= gain[0];
        samples[f * 2 + 1] *= gain[1];
    }
}

// A sample's magnitude as whole 16-bit steps; anything at or beyond 2e9,
// or not a number, reads as the largest.
constexpr float kMeterCeiling = 2.0e9f;

int32_t MeterValue(float magnitude)
{
    return magnitude < kMeterCeiling ? int32_t(magnitude) : INT32_MAX;
}

float MeterMagnitude(float sample, float gain)
{
    const float magnitude = std::fabs(sample * gain);
    return magnitude < kMeterCeiling ? magnitude : 2.0f * kMeterCeiling;
}

// The largest magnitudes of the left and right samples after their gains;
// truncating to whole steps keeps the order, so the largest is truncated
// last.
struct cLoudest
{
    float left = 0.0f, right = 0.0f;
};

cLoudest FindLoudest(const float* samples, uint32_t frames, tFrames2 gain)
{
    using tMask = int32_t __attribute__((vector_size(16)));
    const tFrames2 ceiling = tFrames2{} + kMeterCeiling, beyond = tFrames2{} + 2.0f * kMeterCeiling;
    const tMask sign = tMask{} + 0x7fffffff;
    tFrames2 loudest{};
    uint32_t f = 0;
    for (; f + 2 <= frames; f += 2)
    {
        tFrames2 magnitude = LoadFrames(samples + f * 2) * gain;
        magnitude = reinterpret_cast<tFrames2>(reinterpret_cast<tMask>(magnitude) & sign);
        magnitude = magnitude < ceiling ? magnitude : beyond;
        loudest = magnitude > loudest ? magnitude : loudest;
    }
    cLoudest result{std::max(loudest[0], loudest[2]), std::max(loudest[1], loudest[3])};
    if (f < frames)
    {
        result.left = std::max(result.left, MeterMagnitude(samples[f * 2], gain[0]));
        result.right = std::max(result.right, MeterMagnitude(samples[f * 2 + 1], gain[1]));
    }
    return result;
}

// Whether a side holds kClipRun full-scale frames in a row.
void FindClipRuns(const float* samples, uint32_t frames, const float* gain, bool* clipped)
{
    int32_t run[2] = {0, 0};
    for (uint32_t f = 0; f < frames; ++f)
        for (int c = 0; c < 2; ++c)
        {
            run[c] = MeterValue(MeterMagnitude(samples[f * 2 + c], gain[c])) >= kClipLevel ? run[c] + 1 : 0;
            clipped[c] = clipped[c] || run[c] >= kClipRun;
        }
}

// A return's frames scaled into the master, the gain stepping once per
// group of four frames: the ramp's frame number counts groups here.
void AddGrouped(const float* __restrict bus, float* __restrict master, uint32_t frames, cStereoRamp ramp)
{
    ramp.position = tFrames2{};
    uint32_t f = 0;
    for (; f + 4 <= frames; f += 4, ramp.position += 1.0f)
    {
        const tFrames2 gain = ramp.start + ramp.position * ramp.step;
        AddFrames(master + f * 2, LoadFrames(bus + f * 2) * gain);
        AddFrames(master + f * 2 + 4, LoadFrames(bus + f * 2 + 4) * gain);
    }
    const tFrames2 gain = ramp.start + ramp.position * ramp.step;
    for (; f < frames; ++f)
        for (int c = 0; c < 2; ++c)
            master[f * 2 + c] += bus[f * 2 + c] * gain[c];
}

// A strip's frames scaled by its ramp into the master and, where the send
// is not 0, into the send buses. The buffers never overlap.
template <bool kSend1, bool kSend2>
void MixScaled(const float* __restrict in, float* __restrict master, float* __restrict bus1, float* __restrict bus2,
               uint32_t frames, cStereoRamp ramp, float send1, float send2)
{
    uint32_t f = 0;
    for (; f + 2 <= frames; f += 2)
    {
        const tFrames2 x = LoadFrames(in + f * 2) * ramp.Next();
        AddFrames(master + f * 2, x);
        if constexpr (kSend1)
            AddFrames(bus1 + f * 2, send1 * x);
        if constexpr (kSend2)
            AddFrames(bus2 + f * 2, send2 * x);
    }
    if (f == frames)
        return;
    const tFrames2 gain = ramp.Next();
    for (int c = 0; c < 2; ++c)
    {
        const float x = in[f * 2 + c] * gain[c];
        master[f * 2 + c] += x;
        if constexpr (kSend1)
            bus1[f * 2 + c] += send1 * x;
        if constexpr (kSend2)
            bus2[f * 2 + c] += send2 * x;
    }
}

// The effects of the send returns. Nothing renders them yet, so their
// parameters are set directly.
cEffect* CreateWetReverb()
{
    cEffect* reverb = gEffectRegistry ? gEffectRegistry->CreateEffect("Q-HALLS") : nullptr;
    if (reverb)
        reverb->HandleEvent(MakeSetFloatEvent(kReverbDryWet, 1.0f));
    return reverb;
}

// Echoes that follow the tempo, crossing between the sides, at full amount.
cEffect* CreateSyncedCrossDelay()
{
    cEffect* delay = gEffectRegistry ? gEffectRegistry->CreateEffect("VELTRIX") : nullptr;
    if (!delay)
        return nullptr;
    delay->HandleEvent(MakeSetIntEvent(kChorusDelayType, kChorusDelayCrossDelay));
    delay->HandleEvent(MakeSetIntEvent(kChorusDelaySync, 1));
    delay->HandleEvent(MakeSetFloatEvent(kChorusDelayAmount, 1.0f));
    return delay;
}

// The converters work on whole groups of four samples; a shorter rest goes
// through a padded group of its own, so every frame is written. kUnits is the
// number of T one sample takes.
template <class T, uint32_t kUnits, void (*kConvert)(const float*, T*, uint32_t)>
void ConvertAll(const float* in, void* destination, uint32_t count)
{
    T* out = static_cast<T*>(destination);
    const uint32_t bulk = count & ~3u;
    kConvert(in, out, bulk);
    float pad[4] = {};
    T converted[4 * kUnits];
    std::copy(in + bulk, in + count, pad);
    kConvert(pad, converted, 4);
    std::copy(converted, converted + kUnits * (count - bulk), out + kUnits * bulk);
}
} // namespace

uint32_t cMixer::MakeListChannelId(int32_t position, int32_t selector)
{
    return kIdListChannel | (uint32_t(position & 0xff) << 8) | (uint32_t(selector & 0xff) << 16);
}

uint32_t cMixer::MakeMasterId(int32_t selector) { return kIdMaster | (uint32_t(selector & 0xff) << 8); }

uint32_t cMixer::MakeMuteId(uint32_t kind, int32_t position) { return kind | (uint32_t(position) << 8); }

// ---------------------------------------------------------------- life

cMixer::cMixer(cInstrument* owner) : cAudioModule(owner, kEventCapacity)
{
    SetParamCount(kParamCount);
    mParamValues[kParamMasterPan] = mParamValues[kParamSend1Pan] = mParamValues[kParamSend2Pan] = 0.5f;
    mChannels.reserve(kListCapacity);
    CreateReturn(0, "SEND 1", kParamSend1Volume, kParamSend1Pan);
    InstallReturnEffect(0, CreateWetReverb());
    CreateReturn(1, "SEND 2", kParamSend2Volume, kParamSend2Pan);
    InstallReturnEffect(1, CreateSyncedCrossDelay());
    mScratchData = std::make_unique<float[]>(kBlockFrames * 2);
    mScratch.Describe(kAudioFormatFloat, kBlockFrames, 2, mScratchData.get());
    if (cMixerChannel* master = GetMaster())
        master->name = "OUT";
    LoadParamsFromChannels();
    UpdateEnables();
}

cMixer::~cMixer() = default;

void cMixer::CreateReturn(int32_t index, const char* name, int32_t volumeParam, int32_t panParam)
{
    auto channel = std::make_unique<cMixerChannel>(cMixerChannel::kKindReturn, kReturnLevel, GetOwner(), 0);
    channel->name = name;
    channel->volumeParamIndex = volumeParam;
    channel->panParamIndex = panParam;
    mChannels.push_back(channel.get());
    mReturns[index] = std::move(channel);
    UpdateChannelGroups();
}

// A unit that is not registered leaves the return's first slot empty.
void cMixer::InstallReturnEffect(int32_t index, cEffect* effect)
{
    if (effect)
        mReturns[index]->insertRack.FindNode("SLOT1")->SetEffect(effect, true);
}

void cMixer::LoadParamsFromChannels()
{
    if (cMixerChannel* master = GetMaster())
    {
        mParamValues[kParamMasterVolume] = master->volume;
        mParamValues[kParamMasterPan] = master->pan;
    }
    for (const auto& channel : mReturns)
    {
        mParamValues[channel->volumeParamIndex] = channel->volume;
        mParamValues[channel->panParamIndex] = channel->pan;
    }
    mChangedMask.store((1u << kParamCount) - 1);
}

// ---------------------------------------------------------------- channels

cMixerChannel* cMixer::GetChannel(int32_t position) const
{
    if (position >= 0)
        return position < GetChannelCount() ? mChannels[size_t(position)] : nullptr;
    cInstrument* owner = GetOwner();
    const int32_t ownerIndex = -position - 1;
    if (!owner || ownerIndex >= owner->GetChannelCount())
        return nullptr;
    return dynamic_cast<cMixerChannel*>(owner->GetChannel(ownerIndex));
}

cMixerChannel* cMixer::GetReturn(int32_t index) const
{
    return index >= 0 && index < kReturnCount ? mReturns[index].get() : nullptr;
}

cMixerChannel* cMixer::GetMaster() const { return GetChannel(-1); }

int32_t cMixer::GetMuteState(int32_t position) const
{
    const cMixerChannel* channel = GetChannel(position);
    return channel ? channel->muteState : 0;
}

void cMixer::InsertChannels(cInstrument* instrument, cInstrument* before)
{
    if (!instrument)
        return;
    cScopedAudioLock lock;
    int32_t position = mInputCount;
    for (int32_t i = 0; before && i < mInputCount; ++i)
        if (mChannels[size_t(i)]->owner == before)
        {
            position = i;
            break;
        }
    for (int32_t i = 0; i < instrument->GetChannelCount(); ++i)
        if (auto* channel = dynamic_cast<cMixerChannel*>(instrument->GetChannel(i)))
        {
            mChannels.insert(mChannels.begin() + position++, channel);
            ++mInputCount;
        }
    ++mListVersion;
    UpdateChannelGroups();
}

void cMixer::RemoveChannels(cInstrument* instrument)
{
    cScopedAudioLock lock;
    for (int32_t i = mInputCount - 1; i >= 0; --i)
        if (mChannels[size_t(i)]->owner == instrument)
        {
            mChannels.erase(mChannels.begin() + i);
            --mInputCount;
        }
    ++mListVersion;
    UpdateChannelGroups();
}

// The desk draws each instrument's strips as a group: the last strip of a run
// of one owner is marked, the middle one carries the run's size.
void cMixer::UpdateChannelGroups()
{
    for (int32_t i = 0; i < mInputCount; ++i)
        mChannels[size_t(i)]->groupFlags = 0;
    int32_t runStart = 0;
    for (int32_t i = 0; i < mInputCount; ++i)
    {
        const bool runEnds = i + 1 == mInputCount || mChannels[size_t(i + 1)]->owner != mChannels[size_t(i)]->owner;
        if (!runEnds)
            continue;
        const int32_t size = i - runStart + 1;
        mChannels[size_t(i)]->groupFlags |= 0x10;
        const int32_t middle = std::clamp(i - size / 2, 0, mInputCount - 1);
        mChannels[size_t(middle)]->groupFlags |= uint32_t(size) & 0xf;
        runStart = i + 1;
    }
    for (size_t i = size_t(mInputCount); i < mChannels.size(); ++i)
        mChannels[i]->groupFlags = 0x11;
    UpdateEnables();
}

void cMixer::UpdateEnables()
{
    mSoloCount = 0;
    for (int32_t i = 0; i < mInputCount; ++i)
        mSoloCount += mChannels[size_t(i)]->muteState == 2 ? 1 : 0;
    for (int32_t i = 0; i < GetChannelCount(); ++i)
    {
        cMixerChannel* channel = mChannels[size_t(i)];
        if (i >= mInputCount)
            channel->SetEnabled(channel->muteState != 1);
        else if (channel->muteState == 0)
            channel->SetEnabled(mSoloCount == 0);
        else if (channel->muteState == 1 || channel->muteState == 2)
            channel->SetEnabled(channel->muteState == 2);
    }
}

void cMixer::SetChannelMuteState(int32_t position, int32_t state)
{
    cMixerChannel* channel = GetChannel(position);
    if (!channel || state < 0 || state > 2)
        return;
    if (channel->kind != cMixerChannel::kKindInstrument)
    {
        if (state == 2)
            return;
        channel->muteState = state;
        channel->SetEnabled(state == 0);
        return;
    }
    const int32_t before = mSoloCount;
    if ((channel->muteState == 2) != (state == 2))
        mSoloCount += state == 2 ? 1 : -1;
    if ((before == 0) != (mSoloCount == 0))
        for (int32_t i = 0; i < mInputCount; ++i)
            if (mChannels[size_t(i)] != channel && mChannels[size_t(i)]->muteState == 0)
                mChannels[size_t(i)]->SetEnabled(mSoloCount == 0);
    channel->muteState = state;
    channel->SetEnabled(state == 2 || (state == 0 && mSoloCount == 0));
}

// ---------------------------------------------------------------- parameters

float cMixer::GetParamFloat(uint32_t id)
{
    const uint32_t kind = id & 0xff;
    if (kind == kIdListChannel)
    {
        const cMixerChannel* channel = GetChannel(int32_t((id >> 8) & 0xff));
        return channel ? channel->GetVolumeOrPan(int32_t((id >> 16) & 0xff)) : 0.0f;
    }
    if (kind == kIdMaster)
    {
        const cMixerChannel* master = GetMaster();
        return master ? master->GetVolumeOrPan(int32_t((id >> 8) & 0xff)) : 0.0f;
    }
    return 0.0f;
}

int32_t cMixer::GetParamInt(uint32_t id)
{
    if ((id & 0xff) != kIdGetMute)
        return 0;
    return GetMuteState(int32_t(id) >> 8);
}

void cMixer::SetChannelFloat(uint32_t id, float value)
{
    const uint32_t kind = id & 0xff;
    cMixerChannel* channel = nullptr;
    int32_t selector = 0;
    if (kind == kIdListChannel)
    {
        channel = GetChannel(int32_t((id >> 8) & 0xff));
        selector = int32_t((id >> 16) & 0xff);
    }
    else if (kind == kIdMaster)
    {
        channel = GetMaster();
        selector = int32_t((id >> 8) & 0xff);
    }
    if (channel)
        channel->SetVolumeOrPan(selector, value);
}

// A value that is not a number is refused; volumes and pans stay in 0..1.
void cMixer::StoreModuleParam(const cAudioEvent& event)
{
    const uint32_t index = event.wordB;
    if (index >= uint32_t(kParamCount) || !std::isfinite(event.valueF))
        return;
    const bool level = index != 0 && index != 3;
    const float value = level ? Unit(event.valueF) : event.valueF;
    if (event.wordA == 0 && level)
    {
        cMixerChannel* channel = index <= kParamMasterPan ? GetMaster() : mReturns[index < kParamSend2Volume ? 0 : 1].get();
        const bool pan = index == kParamMasterPan || index == kParamSend1Pan || index == kParamSend2Pan;
        if (channel)
            (pan ? channel->pan : channel->volume) = value;
    }
    mParamValues[index] = value;
    mChangedMask.fetch_or(1u << index);
}

void cMixer::SetMuteFromEvent(const cAudioEvent& event)
{
    if ((event.wordA & 0xff) != kIdSetMute)
        return;
    const int32_t position = int32_t(event.wordA) >> 8;
    const int32_t current = GetMuteState(position);
    switch (event.GetIntValue())
    {
    case 0:
        SetChannelMuteState(position, 0);
        break;
    case 1:
        SetChannelMuteState(position, current == 1 ? 0 : 1);
        break;
    case 2:
        SetChannelMuteState(position, current == 2 ? 0 : 2);
        break;
    default:
        break;
    }
}

void cMixer::Reset()
{
    for (int32_t position = -1; position < GetChannelCount(); ++position)
        if (cMixerChannel* channel = GetChannel(position))
        {
            if (channel->buffer.data)
                std::memset(channel->buffer.data, 0, kBlockFrames * 2 * sizeof(float));
            channel->insertRack.ResetEffects();
        }
    std::memset(mScratchData.get(), 0, kBlockFrames * 2 * sizeof(float));
}

int32_t cMixer::HandleEvent(const cAudioEvent& event)
{
    switch (event.type)
    {
    case kAudioEventReset:
        Reset();
        break;
    case kAudioEventModuleParam:
        StoreModuleParam(event);
        break;
    case kAudioEventReloadParams:
        LoadParamsFromChannels();
        break;
    case kAudioEventSetFloatParam:
        SetChannelFloat(event.wordA, event.GetFloatValue());
        break;
    case kAudioEventSetIntParam:
        SetMuteFromEvent(event);
        break;
    default:
        break;
    }
    return 0;
}

bool cMixer::Serialise(Base::cSerialise& serialise, cInstrument*, cSampleRelocator*)
{
    for (int32_t j = 0; j < kReturnCount; ++j)
    {
        cGenStringFixed<16> name;
        name.Printf("Send%02d", int(j));
        if (!serialise.BeginNode(name.CStr(), true))
            continue;
        mReturns[j]->Serialise(serialise);
        serialise.EndNode(nullptr);
    }
    if (!serialise.IsSaving())
    {
        LoadParamsFromChannels();
        UpdateEnables();
    }
    return true;
}

// ---------------------------------------------------------------- render

int32_t cMixer::Process(const cAudioProcessInfo& info, cAudioBuffer& output)
{
    return RenderGraph(info, output, nullptr);
}

// A buffer longer than the mixer's blocks is rendered in pieces of 128
// frames, each its own block of the song.
int32_t cMixer::RenderGraph(const cAudioProcessInfo& info, cAudioBuffer& output, const uint32_t* mask)
{
    const uint32_t frameBytes = output.channels * output.bytesPerSample;
    for (uint32_t done = 0; done < output.frames;)
    {
        const uint32_t n = std::min(kBlockFrames, output.frames - done);
        cAudioBuffer piece = output;
        piece.frames = n;
        piece.bytes = n * frameBytes;
        piece.data = output.data ? static_cast<uint8_t*>(output.data) + size_t(done) * frameBytes : nullptr;
        cAudioProcessInfo pieceInfo = info;
        pieceInfo.duration = float(n) * info.secondsPerSample;
        RenderBlock(pieceInfo, piece, mask);
        done += n;
    }
    return 0;
}

void cMixer::RenderBlock(const cAudioProcessInfo& info, cAudioBuffer& output, const uint32_t* mask)
{
    // The song moves first, posting this block's notes into the instruments.
    cSequencer* sequencer = cSequencer::GetInstance();
    if (sequencer)
        sequencer->AdvanceBlock(int32_t(info.sampleRate), int32_t(output.frames));
    cMixerChannel* master = GetMaster();
    if (!master)
        return;
    DrainEvents();
    CopyParamsToChannels();
    const uint32_t frames = output.frames;
    PrepareBuffers(frames);
    for (int32_t i = 0; i < mInputCount; ++i)
        RenderInput(info, i, IsMasked(mask, i));

    // A return reaches the master when its chain ran or its bus holds sound,
    // so a send whose effect is off or missing is heard dry.
    bool anyReturn = false;
    for (int32_t j = 0; j < kReturnCount; ++j)
    {
        const bool ran = RenderReturn(info, *mReturns[j]);
        mReturnAudible[j] = ran || HasSignal(mReturns[j]->buffer);
        anyReturn = anyReturn || mReturnAudible[j];
    }
    master->insertRack.DrainEvents();
    master->insertRack.Process(info, master->buffer, anyReturn,
                               anyReturn ? cDelegate(this, &cMixer::MixReturns) : cDelegate());

    mMeterPhase = (mMeterPhase + 1) % 2;
    DecayMeters(info, frames);
    MeterMaster(info, frames);
    if (gAuditionPlayer)
        gAuditionPlayer->Render(info, master->buffer);
    if (sequencer)
        sequencer->Process(info, master->buffer);
    WriteOutput(output);
    master->currentGainLeft = master->targetGainLeft;
    master->currentGainRight = master->targetGainRight;
}

void cMixer::CopyParamsToChannels()
{
    if (cMixerChannel* master = GetMaster())
    {
        master->workingVolume = mParamValues[kParamMasterVolume];
        master->workingPan = mParamValues[kParamMasterPan];
        master->UpdateGains(false);
    }
    for (const auto& channel : mReturns)
    {
        channel->workingVolume = mParamValues[channel->volumeParamIndex];
        channel->workingPan = mParamValues[channel->panParamIndex];
        channel->UpdateGains(false);
    }
}

void cMixer::PrepareBuffers(uint32_t frames)
{
    mScratch.frames = frames;
    mScratch.bytes = frames * 2 * sizeof(float);
    for (cMixerChannel* channel : {GetMaster(), mReturns[0].get(), mReturns[1].get()})
    {
        channel->buffer.frames = frames;
        channel->buffer.bytes = frames * 2 * sizeof(float);
        std::memset(channel->buffer.data, 0, channel->buffer.bytes);
    }
}

void cMixer::RenderInput(const cAudioProcessInfo& info, int32_t position, bool masked)
{
    cMixerChannel& channel = *mChannels[size_t(position)];
    cAudioModule* module = channel.owner ? channel.owner->GetModule() : nullptr;
    if (!module)
        return;
    std::memset(mScratchData.get(), 0, mScratch.bytes);
    cAudioProcessInfo own = info;
    own.outputIndex = channel.outputIndex;
    module->Process(own, mScratch);
    channel.insertRack.DrainEvents();
    if (masked)
    {
        channel.peakLeft = channel.peakRight = 0.0f;
        return;
    }
    bool active = module->GetOutputValue(4, channel.outputIndex) == 0.0f;
    if (channel.insertRack.PrepareBlock())
        active = channel.insertRack.Process(own, mScratch, active, cDelegate()) || active;
    const float volume = module->GetOutputValue(0, 0);
    const float gainLeft = channel.targetGainLeft * volume;
    const float gainRight = channel.targetGainRight * volume;
    if (active)
    {
        // Inputs are metered every other block, alternating by position.
        if (!info.offline && ((mMeterPhase + position) & 1) == 0)
        {
            float left = 0.0f, right = 0.0f;
            for (uint32_t f = 0; f < mScratch.frames; f += kMeterStride)
            {
                left = std::max(left, std::fabs(mScratchData[f * 2]));
                right = std::max(right, std::fabs(mScratchData[f * 2 + 1]));
            }
            channel.peakLeft = left * gainLeft;
            channel.peakRight = right * gainRight;
        }
        MixChannel(channel, gainLeft, gainRight, module->GetOutputValue(2, channel.outputIndex),
                   module->GetOutputValue(3, channel.outputIndex));
    }
    else
        channel.peakLeft = channel.peakRight = 0.0f;
    channel.currentGainLeft = gainLeft;
    channel.currentGainRight = gainRight;
}

// Sends are taken after the channel gain.
void cMixer::MixChannel(cMixerChannel& channel, float gainLeft, float gainRight, float send1, float send2)
{
    if (std::fabs(channel.currentGainLeft) < kSilentGain && std::fabs(channel.currentGainRight) < kSilentGain &&
        std::fabs(gainLeft) < kSilentGain && std::fabs(gainRight) < kSilentGain)
        return;
    const uint32_t frames = mScratch.frames;
    const float stepLeft = (gainLeft - channel.currentGainLeft) / float(frames);
    const float stepRight = (gainRight - channel.currentGainRight) / float(frames);
    const cStereoRamp ramp(channel.currentGainLeft, channel.currentGainRight, stepLeft, stepRight);
    const float* in = mScratchData.get();
    float* master = GetMaster()->buffer.Floats();
    float* bus1 = mReturns[0]->buffer.Floats();
    float* bus2 = mReturns[1]->buffer.Floats();
    // A send at 0 would add nothing (or spread a non-number into its bus).
    if (send1 != 0.0f && send2 != 0.0f)
        MixScaled<true, true>(in, master, bus1, bus2, frames, ramp, send1, send2);
    else if (send1 != 0.0f)
        MixScaled<true, false>(in, master, bus1, bus2, frames, ramp, send1, send2);
    else if (send2 != 0.0f)
        MixScaled<false, true>(in, master, bus1, bus2, frames, ramp, send1, send2);
    else
        MixScaled<false, false>(in, master, bus1, bus2, frames, ramp, send1, send2);
}

bool cMixer::RenderReturn(const cAudioProcessInfo& info, cMixerChannel& channel)
{
    channel.insertRack.DrainEvents();
    bool ran = false;
    if (channel.insertRack.PrepareBlock())
        ran = channel.insertRack.Process(info, channel.buffer, false, cDelegate());
    channel.peakLeft = channel.peakRight = 0.0f;
    if (info.offline || !(ran || HasSignal(channel.buffer)))
        return ran;
    const float* samples = channel.buffer.Floats();
    for (uint32_t f = 0; f < channel.buffer.frames; f += kMeterStride)
    {
        channel.peakLeft = std::max(channel.peakLeft, std::fabs(samples[f * 2]));
        channel.peakRight = std::max(channel.peakRight, std::fabs(samples[f * 2 + 1]));
    }
    channel.peakLeft *= channel.targetGainLeft;
    channel.peakRight *= channel.targetGainRight;
    return ran;
}

// The master chain calls this at its "RETURNS" node: each audible return is
// added with its gain stepping once per group of four frames.
void cMixer::MixReturns(cEffectRackNode*)
{
    float* master = GetMaster()->buffer.Floats();
    const uint32_t frames = GetMaster()->buffer.frames;
    const uint32_t groups = (frames + 3) / 4;
    for (int32_t j = 0; j < kReturnCount; ++j)
    {
        cMixerChannel& channel = *mReturns[j];
        if (mReturnAudible[j] && groups > 0)
        {
            const float stepLeft = (channel.targetGainLeft - channel.currentGainLeft) / float(groups);
            const float stepRight = (channel.targetGainRight - channel.currentGainRight) / float(groups);
            AddGrouped(channel.buffer.Floats(), master, frames,
                       cStereoRamp(channel.currentGainLeft, channel.currentGainRight, stepLeft, stepRight));
        }
        channel.currentGainLeft = channel.targetGainLeft;
        channel.currentGainRight = channel.targetGainRight;
    }
}

void cMixer::DecayMeters(const cAudioProcessInfo& info, uint32_t frames)
{
    const float k = float(frames) * info.secondsPerSample * kMeterDecayRate;
    for (cMixerChannel* channel : mChannels)
        channel->DecayMeters(k);
    GetMaster()->DecayMeters(k);
}

// Peaks and clip indicators of the master as it will be heard.
void cMixer::MeterMaster(const cAudioProcessInfo& info, uint32_t frames)
{
    cMixerChannel& master = *GetMaster();
    const float* samples = master.buffer.Floats();
    const float gain[2] = {master.targetGainLeft * kFullScale, master.targetGainRight * kFullScale};
    // The loudest magnitude of each side in one pass; the runs of full-scale
    // frames are counted only in a block that reaches full scale at all.
    const cLoudest loudest = FindLoudest(samples, frames, tFrames2{gain[0], gain[1], gain[0], gain[1]});
    bool clipped[2] = {false, false};
    if (loudest.left >= float(kClipLevel) || loudest.right >= float(kClipLevel))
        FindClipRuns(samples, frames, gain, clipped);
    const float fall = float(frames) * info.secondsPerSample;
    float* hold[2] = {&mClipHoldLeft, &mClipHoldRight};
    for (int c = 0; c < 2; ++c)
        *hold[c] = clipped[c] ? kClipHoldSeconds : std::max(*hold[c] - fall, 0.0f);
    master.peakLeft = float(MeterValue(loudest.left)) / kFullScale;
    master.peakRight = float(MeterValue(loudest.right)) / kFullScale;
}

// The master gain ramps across the block, every frame, then the mix is
// converted into the output's format; format 4 receives nothing.
void cMixer::WriteOutput(cAudioBuffer& output)
{
    cMixerChannel& master = *GetMaster();
    float* samples = master.buffer.Floats();
    const uint32_t frames = output.frames;
    const float stepLeft = (master.targetGainLeft - master.currentGainLeft) / float(frames);
    const float stepRight = (master.targetGainRight - master.currentGainRight) / float(frames);
    ScaleInPlace(samples, frames, cStereoRamp(master.currentGainLeft, master.currentGainRight, stepLeft, stepRight));
    if (!output.data || output.channels != 2)
        return;
    const uint32_t count = frames * 2;
    switch (output.format)
    {
    case kAudioFormatS16:
        ConvertAll<int16_t, 1, FloatToInt16>(samples, output.data, count);
        break;
    case kAudioFormatS24:
        ConvertAll<uint8_t, 3, FloatToInt24>(samples, output.data, count);
        break;
    case kAudioFormatS32Converted:
        ConvertAll<int32_t, 1, FloatToInt32>(samples, output.data, count);
        break;
    case kAudioFormatFloat:
        std::memcpy(output.data, samples, count * sizeof(float));
        break;
    default:
        break;
    }
}
