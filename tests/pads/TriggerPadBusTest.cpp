#include <gtest/gtest.h>

#include <cmath>

#include "PadTestSupport.h"
#include "instruments/pads/TriggerPadBus.h"

using namespace PadTest;

namespace
{
cTriggerPadFilterSettings Filter(int32_t type, float cutoff, float q = 0.0f)
{
    cTriggerPadFilterSettings settings;
    settings.enable = 1;
    settings.type = type;
    settings.cutoff = cutoff;
    settings.q = q;
    return settings;
}

void Noise(cStereoBlock& block)
{
    uint32_t state = 12345;
    for (float& x : block.samples)
    {
        state = state * 1664525u + 1013904223u;
        x = float(int32_t(state >> 8) - 0x800000) / float(0x800000);
    }
}
} // namespace

// The cutoff control runs exponentially from 120 Hz to about 16.2 kHz; the
// high-pass sits 100 Hz lower with its resonance faded out at 20 Hz.
TEST(TriggerPadBus, TheCutoffControlMapsOntoItsFrequencies)
{
    struct cCase
    {
        int32_t type;
        float cutoff;
        float q;
        float hertz;
        float finalQ;
    };
    const cCase cases[] = {
        {cTriggerPadFilterSettings::kTypeLowPass, 0.0f, 0.0f, 120.0f, 1.0f},
        {cTriggerPadFilterSettings::kTypeLowPass, 0.5f, 0.0f, 1393.7f, 1.0f},
        {cTriggerPadFilterSettings::kTypeLowPass, 1.0f, 1.0f, 16187.5f, 12.0f},
        {cTriggerPadFilterSettings::kTypeHighPass, 0.0f, 1.0f, 20.0f, 1.0f},
        {cTriggerPadFilterSettings::kTypeHighPass, 0.5f, 1.0f, 1293.7f, 12.0f},
    };
    for (const cCase& c : cases)
    {
        cTriggerPadBus bus;
        bus.SetSettings(Filter(c.type, c.cutoff, c.q));
        bus.UpdateFilter(MakeInfo(), 0.0f);
        EXPECT_NEAR(bus.GetCutoffFraction() * kRate, c.hertz, c.hertz * 1e-4f) << c.type << " " << c.cutoff;
        EXPECT_NEAR(bus.GetFinalQ(), c.finalQ, 1e-4f);
        EXPECT_EQ(bus.GetSection(1).b0, bus.GetSection(0).b0) << "both channels share one design";
    }
}

// A changed type clears the filter's state once and designs anew at the same
// cutoff; the next block keeps the state it builds.
TEST(TriggerPadBus, ATypeChangeClearsTheStateOnce)
{
    cTriggerPadBus bus;
    cStereoBlock block;
    bus.SetSettings(Filter(cTriggerPadFilterSettings::kTypeLowPass, 0.4f, 0.3f));
    bus.UpdateFilter(MakeInfo(), 0.0f);
    Noise(block);
    bus.Process(block.buffer);
    ASSERT_NE(bus.GetSection(0).y1, 0.0f);
    const float fraction = bus.GetCutoffFraction();

    bus.SetSettings(Filter(cTriggerPadFilterSettings::kTypeBandPass, 0.4f, 0.3f));
    bus.UpdateFilter(MakeInfo(), 0.0f);
    EXPECT_EQ(bus.GetSection(0).y1, 0.0f);
    EXPECT_EQ(bus.GetSection(1).x1, 0.0f);
    EXPECT_EQ(bus.GetSection(0).type, cBiquad::kBandPass);
    EXPECT_EQ(bus.GetCutoffFraction(), fraction);
    Noise(block);
    bus.Process(block.buffer);
    const float kept = bus.GetSection(0).y1;
    bus.UpdateFilter(MakeInfo(), 0.0f);
    EXPECT_EQ(bus.GetSection(0).y1, kept);
}

// The mixer hears that a bus is silent (kind 4 is 1.0) from the fourth block
// after its last voice; until then the filter's tail is still filtered.
TEST(TriggerPadBus, ABusReportsSilenceFromTheFourthBlockAfterItsLastVoice)
{
    cPadRig rig;
    rig.LoadLevel(0, "Click", 64, 0.5f);
    EXPECT_EQ(rig.pads.GetOutputValue(4, 0), 0.0f) << "a new bus is awake";
    rig.Post(Note(kAudioEventNoteOn, kFirstNote, 100, SongId(1)));
    rig.Render(0);
    rig.Render(0); // the voice ends in this block
    EXPECT_EQ(rig.Voices().GetActiveCount(), 0);
    float silent[5];
    for (float& value : silent)
    {
        rig.Render(0);
        value = rig.pads.GetOutputValue(4, 0);
    }
    EXPECT_EQ(silent[0], 0.0f);
    EXPECT_EQ(silent[1], 0.0f);
    EXPECT_EQ(silent[2], 0.0f);
    EXPECT_EQ(silent[3], 1.0f);
    EXPECT_EQ(silent[4], 1.0f);
}

// Song automation (a module-parameter event whose first word is set) moves
// bus 2's filter without changing the stored cutoff; apply brings it back.
TEST(TriggerPadBus, AutomationMovesTheCutoffAndApplyRestoresIt)
{
    cPadRig rig;
    rig.LoadLevel(0, "Tone", 40000, 0.5f);
    rig.SetPadInt(0, cTriggerPadData::kParamBus, 1);
    rig.Post(MakeSetIntEvent(cTriggerPad::MakeSetId(OutputAddress(1, cTriggerPadOutput::kParamEnable)), 1));
    rig.Post(ModuleParam(cTriggerPad::kParamBus2Cutoff, 0.25f)); // the user's setting
    rig.Post(Note(kAudioEventNoteOn, kFirstNote, 100, SongId(1)));
    rig.Render(1);
    const float stored = std::pow(10.0f, 0.25f * 2.13f + 2.079181f) / kRate;
    EXPECT_NEAR(rig.pads.GetBus(1).GetCutoffFraction(), stored, 1e-6f);

    rig.Post(ModuleParam(cTriggerPad::kParamBus2Cutoff, 0.75f, 1));
    rig.Render(1);
    EXPECT_NEAR(rig.pads.GetBus(1).GetCutoffFraction(), std::pow(10.0f, 0.75f * 2.13f + 2.079181f) / kRate, 1e-6f);
    EXPECT_EQ(rig.pads.GetParamFloat(cTriggerPad::MakeSetId(OutputAddress(1, cTriggerPadOutput::kParamCutoff))),
              0.25f);

    cAudioEvent apply;
    apply.type = kAudioEventReloadParams;
    rig.Post(apply);
    rig.Render(1);
    EXPECT_NEAR(rig.pads.GetBus(1).GetCutoffFraction(), stored, 1e-6f);
}

// A reset event clears the filter state of every bus.
TEST(TriggerPadBus, AResetClearsEveryBusFilter)
{
    cPadRig rig;
    rig.LoadLevel(0, "Tone", 40000, 0.5f);
    rig.Post(MakeSetIntEvent(cTriggerPad::MakeSetId(OutputAddress(0, cTriggerPadOutput::kParamEnable)), 1));
    rig.Post(Note(kAudioEventNoteOn, kFirstNote, 100, SongId(1)));
    rig.Render(0);
    ASSERT_NE(rig.pads.GetBus(0).GetSection(0).y1, 0.0f);
    cAudioEvent reset;
    reset.type = kAudioEventReset;
    rig.pads.HandleEvent(reset);
    EXPECT_EQ(rig.pads.GetBus(0).GetSection(0).y1, 0.0f);
}
