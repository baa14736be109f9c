#include "instruments/pads/TriggerPad.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "audio/AudioLock.h"
#include "audio/Instrument.h"
#include "audio/Sample.h"
#include "base/PathUtils.h"
#include "base/Serialise.h"
#include "base/StatusText.h"
#include "instruments/pads/TriggerPadVoices.h"
#include "mixer/MixerChannel.h"

namespace
{
constexpr uint32_t kAllParamsChanged = (1u << cTriggerPad::kParamCount) - 1;

uint32_t ClassOf(uint32_t id) { return id & 0xff; }
uint32_t AddressOf(uint32_t id) { return id >> 8; }

// A saved range survives only inside the sample; otherwise the whole sample
// plays.
void FixRange(cTriggerPadData& pad, int32_t frames, bool keepRange)
{
    const bool fits = pad.start >= 0 && pad.start < pad.end && pad.end <= frames - 1;
    if (keepRange && fits)
        return;
    pad.start = 0;
    pad.end = frames - 1;
}
} // namespace

int32_t cTriggerPad::VolumeParam(int32_t bus)
{
    static constexpr int32_t kParams[kBusCount] = {kParamBus1Volume, kParamBus2Volume, kParamBus3Volume};
    return kParams[bus];
}

int32_t cTriggerPad::PanParam(int32_t bus)
{
    static constexpr int32_t kParams[kBusCount] = {kParamBus1Pan, kParamBus2Pan, kParamBus3Pan};
    return kParams[bus];
}

// Both sets start empty, the second one active, and the parameters take the
// channels' stored volumes and pans.
cTriggerPad::cTriggerPad(cInstrument* owner) : cAudioModule(owner, kEventCapacity)
{
    mVoices = std::make_unique<cTriggerPadVoices>(*this);
    SetParamCount(kParamCount);
    for (int32_t bus = 0; bus < kBusCount; ++bus)
    {
        mParamValues[PanParam(bus)] = 0.5f;
        if (owner && bus < owner->GetChannelCount())
            mChannels[bus] = dynamic_cast<cMixerChannel*>(owner->GetChannel(bus));
    }
    ReleaseSamples();
    InactiveSet().Reset();
    FlipSets();
    ApplyState();
}

cTriggerPad::~cTriggerPad()
{
    mVoices.reset();
    for (cSample*& sample : mSlots)
        if (sample)
            std::exchange(sample, nullptr)->Release();
    for (int32_t i = 0; i < mRetiredCount; ++i)
        mRetired[i]->Release();
}

// ---------------------------------------------------------------- audio thread

float cTriggerPad::GetParamFloat(uint32_t id)
{
    return ClassOf(id) == kClassSet ? GetActiveSet().GetFloat(AddressOf(id)) : 0.0f;
}

int32_t cTriggerPad::GetParamInt(uint32_t id)
{
    switch (ClassOf(id))
    {
    case kClassSet:
        return GetActiveSet().GetInt(AddressOf(id));
    case kClassSoundingPads:
        return int32_t(mVoices->GetSoundingPads());
    case kClassRepeatLength:
        return mVoices->GetRepeatLengthIndex();
    case kClassRepeatVelocity:
        return mVoices->GetRepeatVelocity();
    default:
        return 0;
    }
}

int32_t cTriggerPad::HandleEvent(const cAudioEvent& event)
{
    switch (event.type)
    {
    case kAudioEventNoteOn:
        mVoices->NoteOn(event);
        break;
    case kAudioEventNoteOff:
        mVoices->NoteOff(event);
        break;
    case kAudioEventNoteCut:
        mVoices->CutVoice(event);
        break;
    case kAudioEventAllNotesOff:
        mVoices->AllNotesOff(event);
        break;
    case kAudioEventReleaseLiveNotes:
        mVoices->ReleaseSource(event.GetNote());
        break;
    case kAudioEventReset:
        for (cTriggerPadBus& bus : mBuses)
            bus.Reset();
        break;
    case kAudioEventModuleParam:
        HandleModuleParam(event);
        break;
    case kAudioEventReloadParams:
        ApplyState();
        break;
    case kAudioEventSetFloatParam:
        if (ClassOf(event.wordA) == kClassSet)
            ActiveSet().SetFloat(AddressOf(event.wordA), event.GetFloatValue());
        break;
    case kAudioEventSetIntParam:
        HandleSetInt(event.wordA, event.GetIntValue());
        break;
    default:
        break;
    }
    return 0;
}

// Controllers move 0..1 values; anything that is not a number is refused.
// A zero first word also stores the value where the user keeps it (the
// channel, the active set); song automation sets it, so that it moves the
// sound without changing the stored settings.
void cTriggerPad::HandleModuleParam(const cAudioEvent& event)
{
    const uint32_t index = event.wordB;
    if (index >= uint32_t(kParamCount) || !std::isfinite(event.valueF))
        return;
    const float value = std::clamp(event.valueF, 0.0f, 1.0f);
    if (event.wordA == 0)
        for (int32_t bus = 0; bus < kBusCount; ++bus)
        {
            cTriggerPadOutput& output = ActiveSet().outputs[bus];
            if (mChannels[bus] && int32_t(index) == VolumeParam(bus))
                mChannels[bus]->volume = value;
            else if (mChannels[bus] && int32_t(index) == PanParam(bus))
                mChannels[bus]->pan = value;
            else if (int32_t(index) == Send1Param(bus))
                output.rev = value;
            else if (int32_t(index) == Send2Param(bus))
                output.del = value;
            else if (int32_t(index) == CutoffParam(bus))
                output.filter.cutoff = value;
        }
    mParamValues[index] = value;
    mChangedMask.fetch_or(1u << index);
}

void cTriggerPad::HandleSetInt(uint32_t id, int32_t value)
{
    switch (ClassOf(id))
    {
    case kClassSet:
        ActiveSet().SetInt(AddressOf(id), value);
        break;
    case kClassRepeatLength:
        mVoices->SetRepeatLengthIndex(value);
        break;
    case kClassRepeatVelocity:
        mVoices->SetRepeatVelocity(value);
        break;
    default:
        break;
    }
}

int32_t cTriggerPad::Process(const cAudioProcessInfo& info, cAudioBuffer& buffer)
{
    DrainEvents();
    CopyParamsToChannels();
    const int32_t bus = info.outputIndex;
    if (bus < 0 || bus >= kBusCount)
        return 0;
    const bool hasVoice = mVoices->Process(info, buffer, bus, kVoiceGain, GetActiveSet().mute);
    if (mBuses[bus].UpdateSilence(hasVoice))
        FilterBus(info, buffer, bus);
    return 0;
}

// The channels follow the parameters every block; the mixer ramps to the
// gains.
void cTriggerPad::CopyParamsToChannels()
{
    for (int32_t bus = 0; bus < kBusCount; ++bus)
        if (cMixerChannel* channel = mChannels[bus])
        {
            channel->workingVolume = mParamValues[VolumeParam(bus)];
            channel->workingPan = mParamValues[PanParam(bus)];
            channel->UpdateGains(false);
        }
}

// A controller on the bus's cutoff moves the filter without changing the set.
void cTriggerPad::FilterBus(const cAudioProcessInfo& info, cAudioBuffer& buffer, int32_t bus)
{
    cTriggerPadFilterSettings settings = GetActiveSet().outputs[bus].filter;
    settings.cutoff = mParamValues[CutoffParam(bus)];
    mBuses[bus].SetSettings(settings);
    mBuses[bus].UpdateFilter(info, 0.0f);
    mBuses[bus].Process(buffer);
}

float cTriggerPad::GetOutputValue(int32_t kind, int32_t bus)
{
    const bool known = bus >= 0 && bus < kBusCount;
    switch (kind)
    {
    case 0:
        return 1.0f;
    case 1:
        return 0.5f;
    case 2:
        return known ? mParamValues[Send1Param(bus)] : 0.0f;
    case 3:
        return known ? mParamValues[Send2Param(bus)] : 0.0f;
    case 4:
        return known && mBuses[bus].IsSilent() ? 1.0f : 0.0f;
    default:
        return 0.0f;
    }
}

// ---------------------------------------------------------------- state

// Keys a document leaves out take their defaults: the set is read fresh.
bool cTriggerPad::Serialise(Base::cSerialise& serialise, cInstrument*, cSampleRelocator* relocator)
{
    if (serialise.IsSaving())
        return ActiveSet().Serialise(serialise, relocator);
    cTriggerPadSet& read = InactiveSet();
    read.Reset();
    const bool ok = read.Serialise(serialise, relocator);
    FlipSets();
    ApplyState();
    return ok;
}

void cTriggerPad::FlipSets()
{
    cScopedAudioLock lock;
    mActiveSet.store(1 - mActiveSet.load(std::memory_order_relaxed), std::memory_order_relaxed);
}

void cTriggerPad::ApplyState()
{
    const cTriggerPadSet& set = GetActiveSet();
    mParamValues[kParamPitchBend] = 0.0f;
    for (int32_t bus = 0; bus < kBusCount; ++bus)
    {
        if (const cMixerChannel* channel = mChannels[bus])
        {
            mParamValues[VolumeParam(bus)] = channel->volume;
            mParamValues[PanParam(bus)] = channel->pan;
        }
        mParamValues[Send1Param(bus)] = set.outputs[bus].rev;
        mParamValues[Send2Param(bus)] = set.outputs[bus].del;
        mParamValues[CutoffParam(bus)] = set.outputs[bus].filter.cutoff;
    }
    mChangedMask.fetch_or(kAllParamsChanged);
}

// ---------------------------------------------------------------- samples

void cTriggerPad::SwapSlot(int32_t pad, cSample* sample)
{
    cSample* old = std::exchange(mSlots[pad], sample);
    if (!old)
        return;
    if (mRetiredCount == kRetiredCapacity)
    {
        mRetired[0]->Release();
        std::copy(mRetired + 1, mRetired + kRetiredCapacity, mRetired);
        --mRetiredCount;
    }
    mRetired[mRetiredCount++] = old;
}

void cTriggerPad::ReleaseRetiredSamples()
{
    cSample* unused[kRetiredCapacity];
    int32_t count = 0;
    {
        cScopedAudioLock lock;
        int32_t kept = 0;
        for (int32_t i = 0; i < mRetiredCount; ++i)
            if (mRetired[i]->GetRefCount() == 1)
                unused[count++] = mRetired[i];
            else
                mRetired[kept++] = mRetired[i];
        mRetiredCount = kept;
    }
    for (int32_t i = 0; i < count; ++i)
        unused[i]->Release();
}

void cTriggerPad::ReleaseSamples()
{
    {
        cScopedAudioLock lock;
        for (int32_t pad = 0; pad < kPadCount; ++pad)
            SwapSlot(pad, nullptr);
    }
    ReleaseRetiredSamples();
}

bool cTriggerPad::LoadSlot(int32_t pad, const cGenString& path, bool keepRange)
{
    cGenStringFixed<260> fileName(path);
    PathStripToFileName(fileName);
    SetStatusText("Loading '%s'", fileName.CStr());
    cSample* sample = cSample::Load(path.CStr(), 0);
    if (!sample)
        return false;
    cScopedAudioLock lock;
    cTriggerPadData& record = ActiveSet().pads[pad];
    record.samplePath.Assign(path);
    record.UpdateName();
    FixRange(record, sample->GetFrames(), keepRange);
    SwapSlot(pad, sample);
    return true;
}

// Only a path that fails to load counts against the result; a pad without
// one is simply empty.
bool cTriggerPad::LoadSamples(bool keepRanges)
{
    bool ok = true;
    for (int32_t pad = 0; pad < kPadCount; ++pad)
    {
        cGenStringFixed<260> path;
        {
            cScopedAudioLock lock;
            path.Assign(ActiveSet().pads[pad].samplePath);
        }
        if (!path.IsEmpty() && LoadSlot(pad, path, keepRanges))
            continue;
        cScopedAudioLock lock;
        SwapSlot(pad, nullptr);
        ActiveSet().pads[pad].UpdateName();
        ok = ok && path.IsEmpty();
    }
    ReleaseRetiredSamples();
    return ok;
}

bool cTriggerPad::LoadPadSample(int32_t pad, const char* path, bool keepRange)
{
    if (pad < 0 || pad >= kPadCount)
        return false;
    cGenStringFixed<260> wanted(path ? path : "");
    if (wanted.IsEmpty())
    {
        cScopedAudioLock lock;
        wanted.Assign(ActiveSet().pads[pad].samplePath);
    }
    const bool ok = !wanted.IsEmpty() && LoadSlot(pad, wanted, keepRange);
    ReleaseRetiredSamples();
    return ok;
}

bool cTriggerPad::ImportPadSample(int32_t pad, const char* source, const char* destination)
{
    if (!source || !*source || !destination || !cSample::CopySampleFile(source, destination))
        return false;
    return LoadPadSample(pad, destination, false);
}

void cTriggerPad::ClearPad(int32_t pad)
{
    if (pad < 0 || pad >= kPadCount)
        return;
    {
        cScopedAudioLock lock;
        SwapSlot(pad, nullptr);
        ActiveSet().pads[pad].Reset();
    }
    ReleaseRetiredSamples();
}

void cTriggerPad::GetPad(int32_t pad, cTriggerPadData& record) const
{
    if (pad < 0 || pad >= kPadCount)
        return;
    cScopedAudioLock lock;
    record = GetActiveSet().pads[pad];
}

void cTriggerPad::SetPad(int32_t pad, const cTriggerPadData& record)
{
    if (pad < 0 || pad >= kPadCount)
        return;
    cScopedAudioLock lock;
    ActiveSet().pads[pad] = record;
}

void cTriggerPad::ClearBank()
{
    ReleaseSamples();
    InactiveSet().Reset();
    FlipSets();
    ApplyState();
}

bool cTriggerPad::IsSampleInUse(const cGenString& path) const
{
    for (const cTriggerPadData& pad : GetActiveSet().pads)
        if (cGenString::EqualsNoCase(pad.samplePath, path))
            return true;
    return false;
}
