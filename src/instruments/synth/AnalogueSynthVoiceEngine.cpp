#include "instruments/synth/AnalogueSynthVoiceEngine.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "audio/AudioBufferPool.h"
#include "audio/AudioEvent.h"
#include "audio/AudioManager.h"
#include "audio/Sample.h"
#include "audio/Biquad.h"
#include "audio/Transport.h"
#include "instruments/synth/AnalogueSynth.h"
#include "instruments/synth/AnalogueSynthMulti.h"
#include "instruments/synth/AnalogueSynthPresetStore.h"
#include "instruments/synth/AnalogueSynthSampleManager.h"
#include "instruments/synth/AnalogueSynthSingle.h"
#include "sequencer/Sequencer.h"

namespace
{
constexpr int32_t kGroupSize = 4;
constexpr int32_t kMaxNote = 127;
constexpr int32_t kLegato = 0;
constexpr int32_t kRetrigger = 1;
// In multi mode a layer plays at most four voices; any more gives three.
constexpr int32_t kMultiLayerMaximum = 4;
constexpr int32_t kMultiLayerReduced = 3;
constexpr float kMultiLayerGainStep = 0.125f;

// One lane per voice of a group.
using tFloat4 = cBiquadLanes::tLanes;

uint32_t SourceOf(uint32_t voiceId) { return voiceId >> 24; }

// Polyphony as the voices use it: 0 glides legato, and a value below 0
// counts as one voice retriggered.
int32_t Polyphony(const cAnalogueSynthSingle& patch) { return patch.Polyphony < 0 ? kRetrigger : patch.Polyphony; }

bool IsLiveFromSlot(uint32_t voiceId, int32_t slot)
{
    return SourceOf(voiceId) == kVoiceSourceMIDI && int32_t((voiceId >> 8) & 0xFFFF) == slot;
}

// A group's ramped gains, one lane per voice. Each frame steps its gains
// before use, so the last frame uses this block's gains.
struct cGroupGains
{
    tFloat4 left{}, right{}, stepLeft{}, stepRight{};
};

// The group's filter stages and its mix into the stereo block, one frame
// at a time: the stages' feedback chains and the gain ramps then overlap
// instead of waiting for one another.
using tInt4 = int32_t __attribute__((vector_size(16)));

// The voices' left and right sums of two frames, each added in the order
// (v0 + v1) + (v2 + v3), laid out as the block holds them: L, R, L, R.
tFloat4 SumTwoFrames(tFloat4 l0, tFloat4 r0, tFloat4 l1, tFloat4 r1)
{
    const tInt4 evens = {0, 2, 4, 6}, odds = {1, 3, 5, 7};
    const tFloat4 pairs0 = __builtin_shuffle(l0, r0, evens) + __builtin_shuffle(l0, r0, odds);
    const tFloat4 pairs1 = __builtin_shuffle(l1, r1, evens) + __builtin_shuffle(l1, r1, odds);
    return __builtin_shuffle(pairs0, pairs1, evens) + __builtin_shuffle(pairs0, pairs1, odds);
}

template <int kStages>
tFloat4 FilterFrame(tFloat4 in, cBiquadLanes& first, cBiquadLanes& second)
{
    if constexpr (kStages >= 1)
        in = first.Step(in);
    if constexpr (kStages >= 2)
        in = second.Step(in);
    return in;
}

// Two frames through the stages, ramped and added into the block. Inlined,
// so the stages' lanes stay in registers across the block.
template <int kStages>
__attribute__((always_inline)) inline void MixTwoFrames(tFloat4 in0, tFloat4 in1, float* out, cBiquadLanes& first, cBiquadLanes& second,
                  cGroupGains& gains)
{
    in0 = FilterFrame<kStages>(in0, first, second);
    gains.left += gains.stepLeft;
    gains.right += gains.stepRight;
    const tFloat4 l0 = gains.left * in0, r0 = gains.right * in0;
    in1 = FilterFrame<kStages>(in1, first, second);
    gains.left += gains.stepLeft;
    gains.right += gains.stepRight;
    const tFloat4 l1 = gains.left * in1, r1 = gains.right * in1;
    tFloat4 mix;
    std::memcpy(&mix, out, sizeof(mix));
    mix += SumTwoFrames(l0, r0, l1, r1);
    std::memcpy(out, &mix, sizeof(mix));
}

tFloat4 LoadPlane(const float* plane)
{
    tFloat4 x;
    std::memcpy(&x, plane, sizeof(x));
    return x;
}

// The scratch holds one plane of frames per voice; four frames of the four
// planes turn into four frames of one lane per voice.
template <int kStages>
void FilterAndMix(const float* samples, float* out, uint32_t frames, cBiquadLanes* stages, cGroupGains gains)
{
    // Locals, which the stores into the block cannot alias.
    cBiquadLanes first = stages[0], second = stages[1];
    const float* planes[kGroupSize] = {samples, samples + frames, samples + 2 * frames, samples + 3 * frames};
    const tInt4 low = {0, 4, 1, 5}, high = {2, 6, 3, 7}, front = {0, 1, 4, 5}, back = {2, 3, 6, 7};
    uint32_t f = 0;
    for (; f + 4 <= frames; f += 4)
    {
        const tFloat4 p0 = LoadPlane(planes[0] + f), p1 = LoadPlane(planes[1] + f);
        const tFloat4 p2 = LoadPlane(planes[2] + f), p3 = LoadPlane(planes[3] + f);
        const tFloat4 t0 = __builtin_shuffle(p0, p1, low), t1 = __builtin_shuffle(p2, p3, low);
        const tFloat4 t2 = __builtin_shuffle(p0, p1, high), t3 = __builtin_shuffle(p2, p3, high);
        MixTwoFrames<kStages>(__builtin_shuffle(t0, t1, front), __builtin_shuffle(t0, t1, back), out + f * 2, first,
                              second, gains);
        MixTwoFrames<kStages>(__builtin_shuffle(t2, t3, front), __builtin_shuffle(t2, t3, back), out + f * 2 + 4,
                              first, second, gains);
    }
    for (; f < frames; ++f)
    {
        tFloat4 in = {planes[0][f], planes[1][f], planes[2][f], planes[3][f]};
        in = FilterFrame<kStages>(in, first, second);
        gains.left += gains.stepLeft;
        gains.right += gains.stepRight;
        const tFloat4 l = gains.left * in, r = gains.right * in;
        out[f * 2] += (l[0] + l[1]) + (l[2] + l[3]);
        out[f * 2 + 1] += (r[0] + r[1]) + (r[2] + r[3]);
    }
    stages[0] = first;
    stages[1] = second;
}
} // namespace

cAnalogueSynthVoiceEngine::cAnalogueSynthVoiceEngine(cAnalogueSynth& module) : mModule(module)
{
    for (cAnalogueSynthVoice& voice : mVoices)
        mFree.PushBack(&voice);
}

// ------------------------------------------------------------------ layers

void cAnalogueSynthVoiceEngine::SetupSingle(cAnalogueSynthSingle* patch)
{
    mMode = 0;
    mLayers[0].patch = patch;
    mLayers[0].transpose = 0.0f;
    mLayers[0].volume = 1.0f;
    mLayers[0].pan = 0.5f;
    mLayers[0].trackKeys = 1;
    mLayers[0].keyMin = 0;
    mLayers[0].keyMax = kMaxNote;
    for (int32_t layer = 1; layer < kLayerCount; ++layer)
        mLayers[layer].patch = nullptr;
    mLayerGain = 1.0f;
    mVoiceMaximum = kVoiceCount;
    SetLimits();
}

void cAnalogueSynthVoiceEngine::SetupMulti(cAnalogueSynthPresetStore* store, const cAnalogueSynthMulti& multi)
{
    mMode = 1;
    int32_t on = 0;
    for (int32_t n = 0; n < kLayerCount; ++n)
    {
        const cAnalogueSynthMulti::cLayer& source = multi.layers[n];
        cLayer& layer = mLayers[n];
        layer.patch = store && source.Index != cAnalogueSynthMulti::kLayerOff ? &store->GetSingle(source.Index)
                                                                               : nullptr;
        if (!layer.patch)
            continue;
        ++on;
        layer.volume = source.Vol;
        layer.pan = 0.5f;
        layer.transpose = float(source.Trans);
        layer.trackKeys = source.TrackKeys;
        layer.keyMin = source.KeyMin;
        layer.keyMax = source.KeyMax;
    }
    mLayerGain = 1.0f - kMultiLayerGainStep * float(on);
    mVoiceMaximum = kVoiceCount;
    SetLimits();
}

// The limits the layers' patches give; a layer that is off plays nothing.
void cAnalogueSynthVoiceEngine::SetLimits()
{
    for (cLayer& layer : mLayers)
    {
        layer.limit = 0;
        if (!layer.patch)
            continue;
        layer.limit = std::max(layer.patch->Polyphony, 1);
        if (mMode == 1 && layer.limit > kMultiLayerMaximum)
            layer.limit = kMultiLayerReduced;
    }
}

// A limit that fell below a layer's count cuts the layer's oldest voices.
void cAnalogueSynthVoiceEngine::ApplyVoiceLimits()
{
    for (int32_t n = 0; n < kLayerCount; ++n)
    {
        cLayer& layer = mLayers[n];
        const bool changed = layer.limit != layer.appliedLimit;
        layer.appliedLimit = layer.limit;
        if (!changed || layer.limit >= layer.count)
            continue;
        int32_t excess = layer.count - layer.limit;
        for (cAnalogueSynthVoice* voice = mActive.GetLast(); voice && excess > 0; voice = voice->GetPrev())
            if (voice->layer == n)
            {
                voice->Cut();
                --excess;
            }
    }
}

// ------------------------------------------------------------- held notes

void cAnalogueSynthVoiceEngine::AddHeldNote(const cHeldNote& entry)
{
    const int32_t kept = std::min(mHeldCount, kHeldNoteCount - 1);
    for (int32_t i = kept; i > 0; --i)
        mHeld[i] = mHeld[i - 1];
    mHeld[0] = entry;
    mHeldCount = kept + 1;
}

void cAnalogueSynthVoiceEngine::RemoveHeldNote(uint8_t sourceSlot, uint32_t voiceId)
{
    for (int32_t i = 0; i < mHeldCount; ++i)
        if (mHeld[i].sourceSlot == sourceSlot && mHeld[i].voiceId == voiceId)
        {
            for (int32_t j = i + 1; j < mHeldCount; ++j)
                mHeld[j - 1] = mHeld[j];
            --mHeldCount;
            return;
        }
}

const cHeldNote* cAnalogueSynthVoiceEngine::FindNearestHeldNote(const cAnalogueSynthVoice& voice) const
{
    const cHeldNote* nearest = nullptr;
    int32_t distance = 0;
    for (int32_t i = 0; i < mHeldCount; ++i)
    {
        const cHeldNote& entry = mHeld[i];
        if (entry.sourceSlot != voice.sourceSlot || entry.note == voice.note || entry.voiceId == voice.voiceId)
            continue;
        const int32_t d = std::abs(int32_t(entry.note) - voice.note);
        // Newest first, so only a nearer note replaces one found.
        if (!nearest || d < distance)
        {
            nearest = &entry;
            distance = d;
        }
    }
    return nearest;
}

uint32_t cAnalogueSynthVoiceEngine::GetHeldKeys(uint32_t first) const
{
    uint32_t bits = 0;
    for (uint32_t i = 0; i < 32 && first < uint32_t(kKeyCount) - i; ++i)
    {
        const uint32_t key = first + i;
        bits |= ((mHeldKeys[key / 32] >> (key % 32)) & 1u) << i;
    }
    return bits;
}

// ------------------------------------------------------------------ notes

void cAnalogueSynthVoiceEngine::PostToSequencer(const cAudioEvent& event) const
{
    if (cSequencer* sequencer = cSequencer::GetInstance())
        sequencer->PostEvent(event);
}

void cAnalogueSynthVoiceEngine::NoteOn(const cAudioEvent& event)
{
    // Live notes go to the song too, so that recording hears them; a key
    // held to erase notes does not sound.
    if (SourceOf(event.wordB) != kVoiceSourceSequencer)
    {
        PostToSequencer(event);
        if (gTransport.eraseKeys.load(std::memory_order_relaxed))
            return;
    }
    const uint8_t note = event.GetNote();
    const uint8_t velocity = event.GetVelocity();
    if (velocity == 0 || note > kMaxNote)
        return;
    cHeldNote entry;
    entry.sourceSlot = event.slot;
    entry.note = note;
    entry.voiceId = event.wordB;
    entry.velocity = velocity;
    AddHeldNote(entry);
    for (int32_t n = 0; n < kLayerCount; ++n)
    {
        const cLayer& layer = mLayers[n];
        if (layer.patch && layer.keyMin <= note && note <= layer.keyMax)
            StartVoice(n, entry);
    }
}

cAnalogueSynthVoice* cAnalogueSynthVoiceEngine::FindStealCandidate() const
{
    cAnalogueSynthVoice* held = nullptr;
    for (cAnalogueSynthVoice* voice = mActive.GetLast(); voice; voice = voice->GetPrev())
    {
        if (voice->state == cAnalogueSynthVoice::kReleased)
            return voice;
        if (voice->state == cAnalogueSynthVoice::kHeld && !held)
            held = voice;
    }
    return held;
}

void cAnalogueSynthVoiceEngine::Steal(cAnalogueSynthVoice* voice)
{
    --mLayers[voice->layer].count;
    mActive.Remove(voice);
}

void cAnalogueSynthVoiceEngine::MakeNewest(cAnalogueSynthVoice* voice)
{
    mActive.Remove(voice);
    mActive.PushFront(voice);
}

void cAnalogueSynthVoiceEngine::StartVoice(int32_t n, const cHeldNote& entry)
{
    cLayer& layer = mLayers[n];
    if (!layer.patch)
        return;
    cAnalogueSynthVoice* candidate = FindStealCandidate();
    cAnalogueSynthVoice* voice = nullptr;
    const bool full = int32_t(mActive.GetCount()) >= mVoiceMaximum;
    if (layer.count < layer.limit)
    {
        if (!full)
            voice = mFree.PopFront();
        else if (candidate)
            Steal(voice = candidate);
    }
    else if (Polyphony(*layer.patch) == kLegato && candidate && candidate->state == cAnalogueSynthVoice::kHeld &&
             candidate->note != entry.note)
    {
        // The voice moves to this layer's count when it came from another.
        --mLayers[candidate->layer].count;
        ++layer.count;
        candidate->Retarget(entry, n);
        MakeNewest(candidate);
        return;
    }
    else if (full)
    {
        if (candidate)
            Steal(voice = candidate);
    }
    else
    {
        if (candidate)
            candidate->Cut();
        voice = mFree.PopFront();
    }
    if (!voice)
        return;
    voice->Start(entry, n, layer.trackKeys, layer.patch, mModule.GetSampleManager().GetSample(n));
    mActive.PushFront(voice);
    ++layer.count;
}

void cAnalogueSynthVoiceEngine::NoteOff(const cAudioEvent& event)
{
    if (SourceOf(event.wordB) != kVoiceSourceSequencer)
        PostToSequencer(event);
    HandleNoteOff(event.slot, event.wordB);
}

void cAnalogueSynthVoiceEngine::HandleNoteOff(uint8_t sourceSlot, uint32_t voiceId)
{
    for (cAnalogueSynthVoice* voice = mActive.GetLast(); voice; voice = voice->GetPrev())
    {
        if (voice->state != cAnalogueSynthVoice::kHeld || voice->sourceSlot != sourceSlot ||
            voice->voiceId != voiceId)
            continue;
        const cAnalogueSynthSingle* patch = mLayers[voice->layer].patch ? mLayers[voice->layer].patch : voice->patch;
        const cHeldNote* next = FindNearestHeldNote(*voice);
        MakeNewest(voice);
        if (Polyphony(*patch) == kLegato && next)
            voice->Retarget(*next, voice->layer);
        else
        {
            voice->Release();
            if (Polyphony(*patch) == kRetrigger && next)
                StartVoice(voice->layer, cHeldNote(*next));
        }
        break;
    }
    RemoveHeldNote(sourceSlot, voiceId);
}

void cAnalogueSynthVoiceEngine::Cut(const cAudioEvent& event)
{
    RemoveHeldNote(event.slot, event.wordB);
    for (cAnalogueSynthVoice* voice = mActive.GetLast(); voice; voice = voice->GetPrev())
        if (voice->sourceSlot == event.slot && voice->voiceId == event.wordB)
        {
            voice->Cut();
            return;
        }
}

void cAnalogueSynthVoiceEngine::AllNotesOff()
{
    for (cAnalogueSynthVoice* voice = mActive.GetFirst(); voice; voice = voice->GetNext())
        voice->Cut();
    mHeldCount = 0;
}

void cAnalogueSynthVoiceEngine::ReleaseSource(int32_t slot)
{
    for (int32_t i = mHeldCount - 1; i >= 0; --i)
        if (IsLiveFromSlot(mHeld[i].voiceId, slot))
            RemoveHeldNote(mHeld[i].sourceSlot, mHeld[i].voiceId);
    int32_t count = 0;
    for (cAnalogueSynthVoice* voice = mActive.GetFirst(); voice; voice = voice->GetNext())
        if (voice->state == cAnalogueSynthVoice::kHeld && IsLiveFromSlot(voice->voiceId, slot))
            mScratch[count++] = voice;
    for (int32_t i = 0; i < count; ++i)
    {
        cAudioEvent off;
        off.type = kAudioEventNoteOff;
        off.slot = mScratch[i]->sourceSlot;
        off.SetNote(uint8_t(mScratch[i]->note), uint8_t(mScratch[i]->velocity * 127.0f));
        off.wordB = mScratch[i]->voiceId;
        NoteOff(off);
    }
}

// ----------------------------------------------------------------- render

void cAnalogueSynthVoiceEngine::ControlVoices(const cAudioProcessInfo& info, float gain)
{
    cVoiceLayerSetup setup;
    setup.bend = mModule.GetParamCount() > 0 ? mModule.GetParamValue(0) : 0.0f;
    for (cAnalogueSynthVoice* voice = mActive.GetFirst(); voice; voice = voice->GetNext())
    {
        const cLayer& layer = mLayers[voice->layer];
        setup.transpose = layer.transpose;
        setup.gain = mLayerGain * gain * layer.volume;
        setup.pan = layer.pan;
        voice->Control(info, setup);
        if (voice->state == cAnalogueSynthVoice::kHeld)
            mHeldKeys[voice->note / 32] |= 1u << (voice->note % 32);
    }
}

void cAnalogueSynthVoiceEngine::Render(const cAudioProcessInfo& info, cAudioBuffer& buffer, float gain)
{
    ApplyVoiceLimits();
    if (mClearKeys)
    {
        std::memset(mHeldKeys, 0, sizeof(mHeldKeys));
        mClearKeys = 0;
    }
    ControlVoices(info, gain);
    if (!mActive.IsEmpty())
        RenderGroups(info, buffer);
    CollectFinished();
}

// Without a scratch block nothing sounds this block; the voices go on.
void cAnalogueSynthVoiceEngine::RenderGroups(const cAudioProcessInfo& info, cAudioBuffer& buffer)
{
    cAudioManager* manager = cAudioManager::Get();
    cAudioBufferPool* pool = manager ? manager->GetBufferPool() : nullptr;
    if (!pool || buffer.frames == 0 || !buffer.data)
        return;
    const cAudioBufferPool::cHandle handle = pool->Acquire(kAudioFormatFloat, buffer.frames, kGroupSize);
    if (!handle.node)
        return;
    int32_t counts[3] = {};
    for (cAnalogueSynthVoice* voice = mActive.GetFirst(); voice; voice = voice->GetNext())
    {
        const int32_t stages = std::clamp(voice->GetStageCount(), 0, 2);
        mRenderLists[stages][counts[stages]++] = voice;
    }
    cAudioBuffer& scratch = handle.node->buffer;
    for (int32_t stages = 0; stages < 3; ++stages)
        for (int32_t first = 0; first < counts[stages]; first += kGroupSize)
            RenderGroup(info, scratch, buffer, &mRenderLists[stages][first],
                        std::min(kGroupSize, counts[stages] - first), stages);
    pool->Release(handle);
}

void cAnalogueSynthVoiceEngine::RenderGroup(const cAudioProcessInfo& info, cAudioBuffer& scratch,
                                            cAudioBuffer& buffer, cAnalogueSynthVoice* const* voices, int32_t count,
                                            int32_t stages)
{
    const uint32_t frames = buffer.frames;
    float* samples = scratch.Floats();
    std::memset(samples, 0, size_t(frames) * kGroupSize * sizeof(float));
    for (int32_t i = 0; i < count; ++i)
    {
        cAudioBuffer channel;
        channel.Describe(kAudioFormatFloat, frames, 1, samples + i * frames);
        voices[i]->Generate(info, channel);
    }
    // Unused lanes have no gain, silent channels and silent sections.
    cGroupGains gains;
    const float inverse = 1.0f / float(frames);
    for (int32_t i = 0; i < count; ++i)
    {
        gains.left[i] = voices[i]->previousLeft;
        gains.right[i] = voices[i]->previousRight;
        gains.stepLeft[i] = (voices[i]->currentLeft - gains.left[i]) * inverse;
        gains.stepRight[i] = (voices[i]->currentRight - gains.right[i]) * inverse;
    }
    cBiquad* sections[2][kGroupSize] = {};
    cBiquadLanes lanes[2];
    for (int32_t stage = 0; stage < stages; ++stage)
    {
        for (int32_t i = 0; i < count; ++i)
            sections[stage][i] = voices[i]->GetFilter().GetStage(stage);
        lanes[stage] = cBiquadLanes(sections[stage], count);
    }
    float* out = buffer.Floats();
    if (stages == 0)
        FilterAndMix<0>(samples, out, frames, lanes, gains);
    else if (stages == 1)
        FilterAndMix<1>(samples, out, frames, lanes, gains);
    else
        FilterAndMix<2>(samples, out, frames, lanes, gains);
    for (int32_t stage = 0; stage < stages; ++stage)
        lanes[stage].Store(sections[stage], count);
}

void cAnalogueSynthVoiceEngine::CollectFinished()
{
    cAnalogueSynthVoice* voice = mActive.GetFirst();
    while (voice)
    {
        cAnalogueSynthVoice* next = voice->GetNext();
        if (voice->state == cAnalogueSynthVoice::kFinished)
        {
            voice->Cut();
            --mLayers[voice->layer].count;
            mActive.Remove(voice);
            mFree.PushBack(voice);
        }
        voice = next;
    }
}
