#pragma once
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/AudioBuffer.h"
#include "audio/AudioEvent.h"
#include "audio/SampleFiles.h"
#include "instruments/pads/TriggerPad.h"
#include "instruments/pads/TriggerPadInstrument.h"
#include "instruments/pads/TriggerPadVoices.h"
#include "sequencer/RecordingSequencer.h"

namespace PadTest
{
constexpr float kRate = 44100.0f;
constexpr uint32_t kBlock = 128;
constexpr int32_t kFirstNote = 48;

inline cAudioProcessInfo MakeInfo(int32_t bus = 0, uint32_t frames = kBlock)
{
    cAudioProcessInfo info;
    info.sampleRate = kRate;
    info.secondsPerSample = 1.0f / kRate;
    info.duration = float(frames) / kRate;
    info.outputIndex = bus;
    return info;
}

// An interleaved stereo float block that owns its samples.
struct cStereoBlock
{
    explicit cStereoBlock(uint32_t frames = kBlock) : samples(frames * 2, 0.0f)
    {
        buffer.Describe(kAudioFormatFloat, frames, 2, samples.data());
    }
    cStereoBlock(const cStereoBlock&) = delete;
    cStereoBlock& operator=(const cStereoBlock&) = delete;

    float L(uint32_t f) const { return samples[f * 2]; }
    float R(uint32_t f) const { return samples[f * 2 + 1]; }
    void Clear() { std::fill(samples.begin(), samples.end(), 0.0f); }
    float Peak() const
    {
        float peak = 0.0f;
        for (float x : samples)
            peak = std::fmax(peak, std::fabs(x));
        return peak;
    }

    std::vector<float> samples;
    cAudioBuffer buffer;
};

// A stereo 16-bit WAV of frames at one level (a fraction of full scale).
inline std::string LevelWav(int32_t frames, float level, int channels = 2)
{
    cWavFormat format;
    format.channels = uint16_t(channels);
    return SimpleWav(format, Samples16(std::vector<int16_t>(size_t(frames) * size_t(channels),
                                                            int16_t(std::lround(level * 32767.0f)))));
}

// What the player makes of a level written as 16 bits.
inline float Played(float level) { return float(std::lround(level * 32767.0f)) / 32767.0f; }

inline cAudioEvent Note(uint8_t type, int32_t note, int32_t velocity, uint32_t id, uint32_t flags = 0)
{
    cAudioEvent event;
    event.type = type;
    event.flags = flags;
    event.SetNote(uint8_t(note), uint8_t(velocity));
    event.wordB = id;
    return event;
}

inline uint32_t SongId(uint32_t n) { return (kVoiceSourceSequencer << 24) | n; }
inline uint32_t MIDIId(uint32_t source, uint32_t note) { return (kVoiceSourceMIDI << 24) | (source << 8) | note; }
inline uint32_t UserId(uint32_t n) { return (kVoiceSourceUser << 24) | n; }

inline cAudioEvent ModuleParam(int32_t index, float value, uint32_t storeOnly = 0)
{
    cAudioEvent event;
    event.type = kAudioEventModuleParam;
    event.wordA = storeOnly;
    event.wordB = uint32_t(index);
    event.valueF = value;
    return event;
}

inline uint32_t PadAddress(int32_t pad, int32_t parameter)
{
    return cTriggerPadSet::MakeAddress(cTriggerPadSet::kKindPad, pad, parameter);
}

inline uint32_t OutputAddress(int32_t bus, int32_t parameter)
{
    return cTriggerPadSet::MakeAddress(cTriggerPadSet::kKindOutput, bus, parameter);
}

// A pad instrument without a package, its module and a scratch "Doc" with
// samples to play; blocks render one bus at a time, as the mixer asks.
class cPadRig
{
public:
    cPadRig() : instrument(nullptr, false), pads(*instrument.GetPads()) {}

    // "User/Samples/<name>.wav" at one level, loaded into the pad.
    void LoadLevel(int32_t pad, const std::string& name, int32_t frames, float level)
    {
        const std::string path = "User/Samples/" + name + ".wav";
        folder.Write(path, LevelWav(frames, level));
        pads.LoadPadSample(pad, path.c_str(), false);
    }
    void Post(const cAudioEvent& event) { pads.PostEvent(event); }
    void SetPadInt(int32_t pad, int32_t parameter, int32_t value)
    {
        Post(MakeSetIntEvent(cTriggerPad::MakeSetId(PadAddress(pad, parameter)), value));
    }
    void SetPadFloat(int32_t pad, int32_t parameter, float value)
    {
        Post(MakeSetFloatEvent(cTriggerPad::MakeSetId(PadAddress(pad, parameter)), value));
    }
    // One block of one bus, into a cleared block.
    cStereoBlock& Render(int32_t bus = 0, bool offline = false)
    {
        block.Clear();
        cAudioProcessInfo info = MakeInfo(bus);
        info.offline = offline ? 1 : 0;
        pads.Process(info, block.buffer);
        return block;
    }
    // One block of all three buses, as the mixer renders it.
    void RenderAll()
    {
        for (int32_t bus = 0; bus < cTriggerPad::kBusCount; ++bus)
            Render(bus);
    }
    const cTriggerPadVoices& Voices() const { return pads.GetVoices(); }

    cSampleFolder folder;
    cTriggerPadInstrument instrument;
    cTriggerPad& pads;
    cStereoBlock block;
};

// Another pad instrument beside a rig, sharing its documents.
struct cMorePads
{
    cMorePads() : instrument(nullptr, false), pads(*instrument.GetPads()) {}

    cTriggerPadInstrument instrument;
    cTriggerPad& pads;
};
} // namespace PadTest
