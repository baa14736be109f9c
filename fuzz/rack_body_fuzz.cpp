// Reads arbitrary bytes as an effect-rack body, the "Nodes" element that
// chain files, project channels and the audition settings share, into an
// insert rack and a master rack with the five units registered and the
// three that users never reach. The chain
// must stay a clean list (no cycle, every node once, "OUT" last), every
// value must lie in its unit's range, a second read of what was written must
// give the same chain, and the chain must turn noise into finite sound.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/AudioBuffer.h"
#include "base/Delegate.h"
#include "audio/WaveShaper.h"
#include "base/File.h"
#include "base/SerialiseXML.h"
#include "mixer/Effect1BandFilter.h"
#include "mixer/Effect3BandEQ.h"
#include "mixer/EffectAnalyser.h"
#include "mixer/EffectChorusDelay.h"
#include "mixer/EffectCompressor.h"
#include "mixer/EffectRack.h"
#include "mixer/EffectReverb.h"
#include "mixer/EffectUnits.h"
#include "mixer/EffectWaveShape.h"
#include "mixer/MixerChannel.h"

namespace
{
void Require(bool condition)
{
    if (!condition)
        std::abort();
}

bool Unit(float x) { return std::isfinite(x) && x >= 0.0f && x <= 1.0f; }

void Read(cEffectRack& rack, const uint8_t* data, size_t size)
{
    File::cFileMemoryRead stream(data, int(size));
    Base::cSerialiseXML serialiser(1.0f, &stream, 0);
    if (!serialiser.Begin())
        return;
    rack.Serialise(serialiser);
    serialiser.End();
}

std::string Write(cEffectRack& rack)
{
    File::cFileMemoryWrite stream;
    Base::cSerialiseXML serialiser(1.0f, &stream, 0);
    Require(serialiser.Begin());
    Require(rack.Serialise(serialiser));
    Require(serialiser.End());
    return std::string(reinterpret_cast<const char*>(stream.GetData()), size_t(stream.GetLength()));
}

// Node names in chain order, walked both ways with a bound, so a cycle ends
// the run instead of hanging it.
std::vector<std::string> CheckChain(const cEffectRack& rack)
{
    std::vector<std::string> names;
    const cEffectRackNode* last = nullptr;
    for (const cEffectRackNode* node = rack.GetFirst(); node; node = node->GetNext())
    {
        Require(int32_t(names.size()) < rack.GetCount());
        Require(node->GetPrevious() == last);
        names.push_back(node->GetName().CStr());
        last = node;
    }
    Require(last == rack.GetLast());
    Require(int32_t(names.size()) == rack.GetCount());
    for (size_t i = 0; i < names.size(); ++i)
        for (size_t j = i + 1; j < names.size(); ++j)
            Require(names[i] != names[j]);
    if (const cEffectRackNode* out = rack.FindNode("OUT"))
        Require(out == rack.GetLast());
    return names;
}

void CheckValues(cEffect* effect)
{
    if (auto* compressor = dynamic_cast<cEffectCompressor*>(effect))
    {
        const cCompressorParams& p = compressor->GetParams();
        Require(Unit(p.attack) && Unit(p.release) && Unit(p.ratio));
        Require(p.threshold >= -30.0f && p.threshold <= 9.0f && p.outputGain >= 0.0f && p.outputGain <= 24.0f);
    }
    else if (auto* eq = dynamic_cast<cEffect3BandEQ*>(effect))
    {
        for (uint32_t id = cEffect3BandEQ::kParamLowFreq; id <= cEffect3BandEQ::kParamHighGain; ++id)
            Require(Unit(eq->GetParamFloat(id)));
    }
    else if (auto* delay = dynamic_cast<cEffectChorusDelay*>(effect))
    {
        const cChorusDelayParams& p = delay->params;
        Require(p.Type >= 0 && p.Type <= 3 && p.DBeatTime >= 0 && p.DBeatTime <= 5);
        for (float x : {p.CRate, p.CDelay, p.CDepth, p.CFeedback, p.DTime, p.DFeedback, p.DAmount})
            Require(Unit(x));
    }
    else if (auto* shaper = dynamic_cast<cEffectWaveShape*>(effect))
    {
        const cWaveShapeParams& p = shaper->params;
        Require(p.Shape >= 1 && p.Shape <= 7 && Unit(p.Drive) && Unit(p.Bright) && Unit(p.Out));
    }
    else if (auto* filter = dynamic_cast<cEffect1BandFilter*>(effect))
    {
        // The test resampler is a filter too.
        const cOneBandFilterParams& p = filter->GetParams();
        Require(p.enable >= 0 && p.enable <= 1 && p.type >= 0 && p.type <= 3);
        Require(p.cutoff >= cEffect1BandFilter::kMinCutoff && p.cutoff <= cEffect1BandFilter::kMaxCutoff);
        Require(p.q >= cEffect1BandFilter::kMinQ && p.q <= cEffect1BandFilter::kMaxQ);
    }
    else if (auto* analyser = dynamic_cast<cEffectAnalyser*>(effect))
    {
        Require(analyser->GetParamInt(cEffectAnalyser::kParamEnable) >= 0);
        Require(analyser->GetParamInt(cEffectAnalyser::kParamType) <= cEffectAnalyser::kTypeOn);
    }
    else if (auto* reverb = dynamic_cast<cEffectReverb*>(effect))
    {
        Require(reverb->GetParams().preset >= 0 && reverb->GetParams().preset < cReverbParams::kPresetCount);
        Require(Unit(reverb->GetParams().dryWet));
    }
}

void CheckEffects(const cEffectRack& rack)
{
    for (const cEffectRackNode* node = rack.GetFirst(); node; node = node->GetNext())
        if (node->GetEffect())
            CheckValues(node->GetEffect());
}

void CheckSound(cEffectRack& rack)
{
    float samples[128 * 2];
    uint32_t seed = 12345;
    cAudioProcessInfo info;
    info.sampleRate = 44100.0f;
    info.secondsPerSample = 1.0f / 44100.0f;
    info.duration = 128.0f / 44100.0f;
    for (int block = 0; block < 4; ++block)
    {
        for (float& x : samples)
        {
            seed = seed * 1664525u + 1013904223u;
            x = float(int32_t(seed)) * (1.0f / 2147483648.0f);
        }
        cAudioBuffer buffer;
        buffer.Describe(kAudioFormatFloat, 128, 2, samples);
        rack.Process(info, buffer, true, cDelegate());
        for (float x : samples)
            Require(std::isfinite(x));
    }
}

void Exercise(int32_t kind, const uint8_t* data, size_t size)
{
    cMixerChannel channel(kind, 1.0f, nullptr, 0);
    Read(channel.insertRack, data, size);
    const std::vector<std::string> names = CheckChain(channel.insertRack);
    CheckEffects(channel.insertRack);

    const std::string written = Write(channel.insertRack);
    cMixerChannel again(kind, 1.0f, nullptr, 0);
    Read(again.insertRack, reinterpret_cast<const uint8_t*>(written.data()), written.size());
    Require(CheckChain(again.insertRack) == names);
    Require(Write(again.insertRack) == written);
    CheckSound(channel.insertRack);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool registered = [] {
        BuildShapeTables();
        RegisterEffectPackages();
        RegisterHiddenEffectPackages();
        return true;
    }();
    (void)registered;
    if (size > 1 << 16)
        return 0;
    Exercise(cMixerChannel::kKindInstrument, data, size);
    Exercise(cMixerChannel::kKindMaster, data, size);
    return 0;
}
