#include "PadKits.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>

#include "PadSounds.h"
#include "audio/AudioEvent.h"
#include "audio/WavFile.h"
#include "instruments/pads/TriggerPad.h"
#include "instruments/pads/TriggerPadInstrument.h"

namespace PadKits
{
namespace
{
using namespace PadSounds;

// A loose factory sample peaks at about -1 dB. A kit's samples sit 12 dB
// lower: at the desk's default faders one hit at full velocity and pad
// volume reaches the mix at the sample's own peak, so a kit normalised to
// -1 dB would fill the mix on its own and a busy pattern would clip.
constexpr float kSamplePeak = 0.89f;
constexpr float kKitSamplePeak = kSamplePeak * 0.25f;
constexpr int32_t kFadeFrames = 441; // 10 ms
constexpr int32_t kHatGroup = 1;

struct cPad
{
    const char* name;
    std::function<cSound()> make;
    int32_t bus = 0;
    float volume = 0.6f;
    float pan = 0.5f;
    int32_t chokeGroup = 0;
};

// One bus's send levels and filter; the sends feed the mixer's reverb and
// delay returns.
struct cBus
{
    float reverb = 0.0f;
    float delay = 0.0f;
    int32_t filterType = 0; // 0: no filter
    float cutoff = 0.0f;
    float q = 0.0f;
};

struct cKit
{
    const char* name;
    std::vector<cPad> pads;
    cBus buses[3];
};

template <class tSettings>
std::function<cSound()> Make(cSound (*make)(const tSettings&), tSettings settings, float darken = 0.0f)
{
    return [=] {
        cSound sound = make(settings);
        if (darken > 0.0f)
            Darken(sound, darken);
        return sound;
    };
}

// Balanced and general: kick, snare and the hits on the first bus, hats
// and cymbals on the second (a choke group, so an open hat is cut by a
// closed one), toms, percussion and the stab on the third.
cKit DefaultKit()
{
    cKit kit{"Default", {}, {}};
    kit.pads = {
        {"Kick", Make(&Kick, cKick{}), 0, 0.8f, 0.5f, 0},
        {"Snare", Make(&Snare, cSnare{}), 0, 0.7f, 0.5f, 0},
        {"Closed Hat", Make(&Metal, cMetal{}), 1, 0.5f, 0.6f, kHatGroup},
        {"Open Hat", Make(&Metal, cMetal{320.0f, 0.32f, 6500.0f, 0.5f, 0.0f, 14}), 1, 0.45f, 0.6f, kHatGroup},
        {"Clap", Make(&Clap, cClap{}), 0, 0.6f, 0.5f, 0},
        {"Rim", Make(&Block, cBlock{}), 2, 0.5f, 0.45f, 0},
        {"Pedal Hat", Make(&Metal, cMetal{300.0f, 0.035f, 8000.0f, 0.35f, 0.004f, 24}), 1, 0.45f, 0.6f, kHatGroup},
        {"Crash", Make(&Metal, cMetal{410.0f, 0.7f, 5200.0f, 0.7f, 0.0f, 34}), 1, 0.4f, 0.4f, 0},
        {"Low Tom", Make(&Tom, cTom{130.0f, 85.0f, 0.12f, 0.32f, 0.15f, 44}), 2, 0.65f, 0.35f, 0},
        {"Mid Tom", Make(&Tom, cTom{175.0f, 120.0f, 0.11f, 0.27f, 0.15f, 54}), 2, 0.65f, 0.5f, 0},
        {"High Tom", Make(&Tom, cTom{230.0f, 165.0f, 0.1f, 0.23f, 0.15f, 64}), 2, 0.65f, 0.65f, 0},
        {"Cowbell", Make(&Cowbell, cCowbell{}), 2, 0.4f, 0.55f, 0},
        {"Shaker", Make(&Shaker, cShaker{}), 1, 0.4f, 0.3f, 0},
        {"Conga", Make(&Tom, cTom{240.0f, 200.0f, 0.03f, 0.16f, 0.35f, 74}), 2, 0.6f, 0.4f, 0},
        {"Bass Hit", Make(&Tonal, cTonal{}), 0, 0.6f, 0.5f, 0},
        {"Chord Stab", Make(&Stab, cStab{}), 2, 0.45f, 0.5f, 0},
    };
    kit.buses[1] = {0.12f, 0.0f, 0, 0.0f, 0.0f};
    kit.buses[2] = {0.22f, 0.06f, 0, 0.0f, 0.0f};
    return kit;
}

// Electronic and hard: long driven kicks, noise snares, zaps and sweeps,
// stabs echoing on the delay; the hats are thinned by a high-pass.
cKit NeonKit()
{
    cKit kit{"Neon", {}, {}};
    cTonal sub;
    sub.hz = 49.0f;
    sub.decaySeconds = 0.6f;
    sub.pitchDrop = 12.0f;
    cStab minor;
    minor.rootHz = 196.0f;
    minor.cutoffHz = 6500.0f;
    minor.cutoffEndHz = 300.0f;
    cStab major = minor;
    major.rootHz = 174.6f;
    major.intervals[1] = 4.0f;
    major.intervals[3] = 11.0f;
    kit.pads = {
        {"Boom Kick", Make(&Kick, cKick{120.0f, 42.0f, 0.05f, 0.45f, 0.2f, 2.6f, 101}), 0, 0.85f, 0.5f, 0},
        {"Noise Snare", Make(&Snare, cSnare{240.0f, 0.05f, 0.24f, 2500.0f, 12000.0f, 0.2f, 102}), 0, 0.7f, 0.5f, 0},
        {"Tick Hat", Make(&Metal, cMetal{450.0f, 0.025f, 9500.0f, 0.3f, 0.0f, 103}), 1, 0.5f, 0.65f, kHatGroup},
        {"Sizzle Hat", Make(&Metal, cMetal{450.0f, 0.38f, 8500.0f, 0.6f, 0.0f, 104}), 1, 0.45f, 0.65f, kHatGroup},
        {"Big Clap", Make(&Clap, cClap{5, 0.009f, 0.26f, 1100.0f, 105}), 0, 0.65f, 0.5f, 0},
        {"Zap", Make(&FM, cFM{3000.0f, 1.5f, 3.0f, 0.25f, 0.1f, 120.0f, 0.05f}), 2, 0.5f, 0.5f, 0},
        {"Laser", Make(&FM, cFM{1800.0f, 2.0f, 6.0f, 0.3f, 0.2f, 600.0f, 0.02f}), 2, 0.45f, 0.7f, 0},
        {"Riser", Make(&Metal, cMetal{600.0f, 0.15f, 3000.0f, 0.9f, 0.6f, 108}), 1, 0.4f, 0.35f, 0},
        {"Synth Tom Low", Make(&Tom, cTom{300.0f, 70.0f, 0.08f, 0.3f, 0.0f, 109}), 2, 0.65f, 0.35f, 0},
        {"Synth Tom Mid", Make(&Tom, cTom{380.0f, 100.0f, 0.07f, 0.26f, 0.0f, 110}), 2, 0.65f, 0.5f, 0},
        {"Synth Tom High", Make(&Tom, cTom{480.0f, 140.0f, 0.06f, 0.22f, 0.0f, 111}), 2, 0.65f, 0.65f, 0},
        {"Blip", Make(&Block, cBlock{2400.0f, 0.04f, 2.0f, 0.0f, 112}), 2, 0.45f, 0.6f, 0},
        {"Ping", Make(&FM, cFM{1320.0f, 3.5f, 2.0f, 0.6f, 0.15f, 0.0f, 0.1f}), 2, 0.4f, 0.4f, 0},
        {"Sub Drop", Make(&Tonal, sub), 0, 0.7f, 0.5f, 0},
        {"Minor Stab", Make(&Stab, minor), 2, 0.45f, 0.5f, 0},
        {"Major Stab", Make(&Stab, major), 2, 0.45f, 0.5f, 0},
    };
    kit.buses[1] = {0.08f, 0.0f, cTriggerPadFilterSettings::kTypeHighPass, 0.45f, 0.2f};
    kit.buses[2] = {0.15f, 0.3f, 0, 0.0f, 0.0f};
    return kit;
}

// Soft and woody: dark kicks and brushes, wooden percussion and bars of a
// marimba, all through a warm low-pass and more room.
cKit TimberKit()
{
    cKit kit{"Timber", {}, {}};
    auto bar = [](float hz) {
        cTonal settings;
        settings.hz = hz;
        settings.decaySeconds = 0.55f;
        settings.partials[1] = 3.93f;
        settings.partials[2] = 9.2f;
        settings.partials[3] = 10.8f;
        settings.levels[1] = 0.35f;
        settings.levels[2] = 0.08f;
        settings.levels[3] = 0.03f;
        settings.partialDecay = 3.0f;
        return settings;
    };
    cTonal kalimba = bar(523.3f);
    kalimba.partials[1] = 5.4f;
    kalimba.levels[1] = 0.2f;
    kalimba.decaySeconds = 0.8f;
    kit.pads = {
        {"Soft Kick", Make(&Kick, cKick{110.0f, 55.0f, 0.04f, 0.18f, 0.08f, 1.0f, 201}, 2500.0f), 0, 0.85f, 0.5f, 0},
        {"Brush", Make(&Snare, cSnare{170.0f, 0.05f, 0.3f, 500.0f, 4000.0f, 0.15f, 202}, 6000.0f), 0, 0.65f, 0.5f, 0},
        {"Closed Hat", Make(&Metal, cMetal{260.0f, 0.05f, 5000.0f, 0.5f, 0.0f, 203}, 7000.0f), 1, 0.45f, 0.6f, kHatGroup},
        {"Open Hat", Make(&Metal, cMetal{260.0f, 0.28f, 4800.0f, 0.5f, 0.0f, 204}, 7000.0f), 1, 0.4f, 0.6f, kHatGroup},
        {"Snap", Make(&Clap, cClap{2, 0.007f, 0.06f, 2000.0f, 205}), 0, 0.55f, 0.55f, 0},
        {"Wood Block", Make(&Block, cBlock{900.0f, 0.05f, 2.7f, 0.3f, 206}), 2, 0.55f, 0.4f, 0},
        {"Clave", Make(&Block, cBlock{2500.0f, 0.04f, 1.0f, 0.0f, 207}), 2, 0.5f, 0.6f, 0},
        {"Shaker", Make(&Shaker, cShaker{0.02f, 0.12f, 3500.0f, 208}, 9000.0f), 1, 0.4f, 0.3f, 0},
        {"Frame Drum", Make(&Tom, cTom{100.0f, 82.0f, 0.08f, 0.4f, 0.3f, 209}, 3000.0f), 2, 0.65f, 0.45f, 0},
        {"Low Conga", Make(&Tom, cTom{185.0f, 160.0f, 0.03f, 0.2f, 0.3f, 210}), 2, 0.6f, 0.35f, 0},
        {"High Conga", Make(&Tom, cTom{270.0f, 240.0f, 0.03f, 0.16f, 0.3f, 211}), 2, 0.6f, 0.65f, 0},
        {"Tambourine", Make(&Metal, cMetal{700.0f, 0.18f, 6000.0f, 0.6f, 0.005f, 212}), 1, 0.4f, 0.7f, 0},
        {"Marimba C", Make(&Tonal, bar(261.6f)), 2, 0.55f, 0.4f, 0},
        {"Marimba E", Make(&Tonal, bar(329.6f)), 2, 0.55f, 0.5f, 0},
        {"Marimba G", Make(&Tonal, bar(392.0f)), 2, 0.55f, 0.6f, 0},
        {"Kalimba", Make(&Tonal, kalimba), 2, 0.5f, 0.5f, 0},
    };
    kit.buses[0] = {0.05f, 0.0f, cTriggerPadFilterSettings::kTypeLowPass, 0.75f, 0.1f};
    kit.buses[1] = {0.2f, 0.0f, 0, 0.0f, 0.0f};
    kit.buses[2] = {0.3f, 0.0f, 0, 0.0f, 0.0f};
    return kit;
}

std::vector<cKit> Kits() { return {DefaultKit(), NeonKit(), TimberKit()}; }

int16_t ToSample(float x) { return int16_t(std::lround(std::fmax(-1.0f, std::fmin(1.0f, x)) * 32767.0f)); }

bool WriteSound(const std::string& path, cSound sound, float peak)
{
    Normalise(sound, peak);
    FadeTail(sound, kFadeFrames);
    const uint16_t channels = sound.IsStereo() ? 2 : 1;
    std::vector<int16_t> data;
    data.reserve(sound.left.size() * channels);
    for (size_t i = 0; i < sound.left.size(); ++i)
    {
        data.push_back(ToSample(sound.left[i]));
        if (sound.IsStereo())
            data.push_back(ToSample(sound.right[i]));
    }
    cWavFile wav;
    wav.SetFormat(uint32_t(kSampleRate), 16, channels);
    return wav.OpenWrite(path.c_str()) && wav.WriteData(data.data(), uint32_t(data.size() * sizeof(int16_t))) &&
           wav.Close();
}

// Settings go in as the editor sends them: set-value events to the active
// set, and the controllers for the sends and cutoffs the buses play with.
void SetPadInt(cTriggerPad& pads, int32_t pad, int32_t parameter, int32_t value)
{
    pads.HandleEvent(MakeSetIntEvent(
        cTriggerPad::MakeSetId(cTriggerPadSet::MakeAddress(cTriggerPadSet::kKindPad, pad, parameter)), value));
}

void SetPadFloat(cTriggerPad& pads, int32_t pad, int32_t parameter, float value)
{
    pads.HandleEvent(MakeSetFloatEvent(
        cTriggerPad::MakeSetId(cTriggerPadSet::MakeAddress(cTriggerPadSet::kKindPad, pad, parameter)), value));
}

void SetModuleParam(cTriggerPad& pads, int32_t index, float value)
{
    cAudioEvent event;
    event.type = kAudioEventModuleParam;
    event.wordB = uint32_t(index);
    event.valueF = value;
    pads.HandleEvent(event);
}

void SetUpBus(cTriggerPad& pads, int32_t bus, const cBus& settings)
{
    SetModuleParam(pads, cTriggerPad::Send1Param(bus), settings.reverb);
    SetModuleParam(pads, cTriggerPad::Send2Param(bus), settings.delay);
    SetModuleParam(pads, cTriggerPad::CutoffParam(bus), settings.cutoff);
    const auto output = [bus](int32_t parameter) {
        return cTriggerPad::MakeSetId(cTriggerPadSet::MakeAddress(cTriggerPadSet::kKindOutput, bus, parameter));
    };
    pads.HandleEvent(MakeSetIntEvent(output(cTriggerPadOutput::kParamEnable), settings.filterType != 0 ? 1 : 0));
    if (settings.filterType != 0)
        pads.HandleEvent(MakeSetIntEvent(output(cTriggerPadOutput::kParamType), settings.filterType));
    pads.HandleEvent(MakeSetFloatEvent(output(cTriggerPadOutput::kParamQ), settings.q));
}

bool WriteKit(const cKit& kit, const std::string& documents)
{
    const std::string soundFolder = "Kits/" + std::string(kit.name) + "/";
    std::filesystem::create_directories(documents + "/" + soundFolder);
    cTriggerPadInstrument instrument(nullptr, false);
    cTriggerPad& pads = *instrument.GetPads();
    bool ok = true;
    for (size_t i = 0; i < kit.pads.size(); ++i)
    {
        const cPad& pad = kit.pads[i];
        const std::string path = soundFolder + pad.name + ".wav";
        ok = ok && WriteSound(documents + "/" + path, pad.make(), kKitSamplePeak);
        const int32_t index = int32_t(i);
        ok = ok && pads.LoadPadSample(index, path.c_str(), false);
        SetPadInt(pads, index, cTriggerPadData::kParamBus, pad.bus);
        SetPadInt(pads, index, cTriggerPadData::kParamChokeGroup, pad.chokeGroup);
        SetPadFloat(pads, index, cTriggerPadData::kParamVolume, pad.volume);
        SetPadFloat(pads, index, cTriggerPadData::kParamPan, pad.pan);
    }
    for (int32_t bus = 0; bus < cTriggerPad::kBusCount; ++bus)
        SetUpBus(pads, bus, kit.buses[bus]);
    const std::string package = "User/VRX Banks/" + std::string(kit.name) + ".vrx";
    std::filesystem::create_directories(documents + "/User/VRX Banks");
    ok = ok && pads.SaveBank(cGenString(package.c_str()));
    if (!ok)
        std::fprintf(stderr, "resgen: the kit \"%s\" could not be written\n", kit.name);
    return ok;
}
} // namespace

std::vector<std::string> KitNames()
{
    std::vector<std::string> names;
    for (const cKit& kit : Kits())
        names.push_back(kit.name);
    return names;
}

bool WriteFactorySamples(const std::string& documentsFolder, const std::string& folder)
{
    const std::string target = documentsFolder + "/" + folder;
    std::filesystem::create_directories(target);
    bool ok = true;
    for (const cPad& pad : DefaultKit().pads)
        ok = WriteSound(target + "/" + pad.name + ".wav", pad.make(), kSamplePeak) && ok;
    return ok;
}

bool WriteFactoryKits(const std::string& documentsFolder)
{
    bool ok = true;
    for (const cKit& kit : Kits())
        ok = WriteKit(kit, documentsFolder) && ok;
    std::error_code ignored;
    std::filesystem::remove_all(documentsFolder + "/Kits", ignored);
    return ok;
}
} // namespace PadKits
