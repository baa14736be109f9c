#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "MixerTestUtil.h"
#include "UnitsFixture.h"
#include "audio/AllocationCounter.h"
#include "audio/WaveShaper.h"
#include "mixer/Effect3BandEQ.h"
#include "mixer/EffectChorusDelay.h"
#include "mixer/EffectCompressor.h"
#include "mixer/EffectRegistry.h"
#include "mixer/EffectReverb.h"
#include "mixer/EffectUnits.h"
#include "mixer/EffectWaveShape.h"
#include "mixer/Mixer.h"
#include "mixer/MixerChannel.h"
#include "mixer/MixingDeskInstrument.h"

using namespace MixerTest;

namespace
{
class EffectUnits : public cRegisteredUnits
{
protected:
    template <class T>
    std::unique_ptr<T> Create(const char* shortName)
    {
        return std::unique_ptr<T>(static_cast<T*>(gEffectRegistry->CreateEffect(shortName)));
    }
};

const char* const kUnits[] = {"QDL-5", "EQ-3B", "VELTRIX", "9TH HARBOR", "Q-HALLS"};

using tSignal = std::function<float(uint32_t)>;
const struct
{
    const char* name;
    tSignal signal;
} kSignals[] = {
    {"impulse", [](uint32_t f) { return f == 0 ? 1.0f : 0.0f; }},
    {"DC", [](uint32_t) { return 0.5f; }},
    {"sine", [](uint32_t f) { return 0.8f * std::sin(0.1f * float(f)); }},
    {"silence", [](uint32_t) { return 0.0f; }},
};

// The left and right channels of an impulse through the effect.
void ImpulseStereo(cEffect& effect, uint32_t frames, std::vector<float>& left, std::vector<float>& right)
{
    for (uint32_t frame = 0; frame < frames; frame += kBlock)
    {
        cStereoBlock block;
        if (frame == 0)
            block.L(0) = block.R(0) = 1.0f;
        effect.Process(MakeInfo(), block.buffer);
        for (uint32_t f = 0; f < kBlock; ++f)
        {
            left.push_back(block.L(f));
            right.push_back(block.R(f));
        }
    }
}

size_t FirstNonZero(const std::vector<float>& samples)
{
    for (size_t i = 0; i < samples.size(); ++i)
        if (samples[i] != 0.0f)
            return i;
    return samples.size();
}
} // namespace

TEST_F(EffectUnits, FiveUnitsRegisterInTheChoosersOrder)
{
    ASSERT_EQ(gEffectRegistry->GetCount(), 5);
    const char* const displays[] = {"Compressor", "3 Band EQ", "Delay", "Waveshaper", "Reverb"};
    const char* const descriptions[] = {"Compressor", "3 Band Parametric EQ", "Delay/Chorus/Flanger",
                                        "Waveshaper/Lo-Fi", "Reverb"};
    int i = 0;
    for (cEffectPackage* package = gEffectRegistry->GetFirst(); package; package = package->GetNext(), ++i)
    {
        EXPECT_STREQ(package->GetShortName(), kUnits[i]);
        EXPECT_STREQ(package->GetDisplayName(), displays[i]);
        EXPECT_STREQ(package->GetDescription(), descriptions[i]);
        EXPECT_EQ(package->GetIconSprite(), 360);
        EXPECT_EQ(package->CreateEditor(), nullptr);
        std::unique_ptr<cEffect> effect(package->CreateEffect());
        EXPECT_EQ(effect->GetPackage(), package);
    }
    EXPECT_NE(gEffectRegistry->FindPackage("q-halls"), nullptr);
    EXPECT_STREQ(gEffectRegistry->FindPackage("q-halls")->GetShortName(), "Q-HALLS");
    EXPECT_EQ(gEffectRegistry->FindPackage("FILTER-1B"), nullptr);
    EXPECT_EQ(gEffectRegistry->CreateEffect("ANALYSER"), nullptr);
}

TEST_F(EffectUnits, DisabledUnitsLeaveEveryBufferBitIdentical)
{
    for (const char* unit : kUnits)
        for (const auto& s : kSignals)
        {
            SCOPED_TRACE(testing::Message() << unit << " " << s.name);
            std::unique_ptr<cEffect> effect(gEffectRegistry->CreateEffect(unit));
            effect->SetEnabled(false);
            std::vector<float> expected;
            for (uint32_t f = 0; f < 4 * kBlock; ++f)
                expected.push_back(s.signal(f));
            const auto out = RunSignal([&](const cAudioProcessInfo& info, cAudioBuffer& b) { effect->Process(info, b); },
                                       s.signal, 4 * kBlock);
            EXPECT_EQ(out, expected);
        }
}

TEST_F(EffectUnits, EnabledUnitsStayFiniteOnEverySignal)
{
    for (const char* unit : kUnits)
        for (const auto& s : kSignals)
        {
            SCOPED_TRACE(testing::Message() << unit << " " << s.name);
            std::unique_ptr<cEffect> effect(gEffectRegistry->CreateEffect(unit));
            effect->SetEnabled(true);
            const auto out = RunSignal([&](const cAudioProcessInfo& info, cAudioBuffer& b) { effect->Process(info, b); },
                                       s.signal, 64 * kBlock);
            for (float x : out)
                ASSERT_TRUE(std::isfinite(x));
        }
}

TEST_F(EffectUnits, EveryPatchKeyIsWrittenAndReadBack)
{
    const struct
    {
        const char* unit;
        std::vector<const char*> keys;
    } cases[] = {
        {"QDL-5", {"Enable", "RMS", "Attack", "Release", "Threshold", "Ratio", "OutputGain"}},
        {"EQ-3B", {"Enable", "GainComp", "LowFreq", "LowGain", "MidFreq", "MidWidth", "MidGain", "HighFreq", "HighGain"}},
        {"VELTRIX",
         {"Version", "Type", "Enable", "Sync", "CRate", "CDelay", "CDepth", "CFeedback", "DTime", "DBeatTime",
          "DFeedback", "DAmount"}},
        {"9TH HARBOR", {"Version", "Enable", "Shape", "Drive", "Bright", "Out"}},
        {"Q-HALLS", {"Preset", "Enable", "DryWet"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.unit);
        std::unique_ptr<cEffect> effect(gEffectRegistry->CreateEffect(c.unit));
        // Move every parameter off its default, as an editor would.
        for (uint32_t id = 0; id < 12; ++id)
        {
            effect->PostEvent(MakeSetFloatEvent(id, 0.75f));
            effect->DrainEvents();
        }
        effect->SetEnabled(true);
        const std::string saved = SaveXML([&](Base::cSerialise& s) { effect->Serialise(s); });
        for (const char* key : c.keys)
            EXPECT_NE(saved.find(std::string(" ") + key + "=\""), std::string::npos) << key << "\n" << saved;
        std::unique_ptr<cEffect> loaded(gEffectRegistry->CreateEffect(c.unit));
        ASSERT_TRUE(LoadXML(saved, [&](Base::cSerialise& s) { loaded->Serialise(s); }));
        for (uint32_t id = 0; id < 12; ++id)
        {
            EXPECT_FLOAT_EQ(loaded->GetParamFloat(id), effect->GetParamFloat(id)) << id;
            EXPECT_EQ(loaded->GetParamInt(id), effect->GetParamInt(id)) << id;
        }
    }
}

// ---------------------------------------------------------------- reverb

TEST_F(EffectUnits, ReverbDefaultsAndPresetNames)
{
    auto reverb = Create<cEffectReverb>("Q-HALLS");
    EXPECT_TRUE(reverb->IsEnabled());
    EXPECT_EQ(reverb->GetParamInt(cEffectReverb::kParamPreset), 3);
    EXPECT_FLOAT_EQ(reverb->GetParamFloat(cEffectReverb::kParamDryWet), 0.32f);
    EXPECT_EQ(reverb->GetNetwork().GetAppliedPreset(), 3);
    const std::string saved = SaveXML([&](Base::cSerialise& s) { reverb->Serialise(s); });
    EXPECT_NE(saved.find("Preset=\"Hall 1\""), std::string::npos) << saved;
}

TEST_F(EffectUnits, ReverbDryWetEnds)
{
    auto reverb = Create<cEffectReverb>("Q-HALLS");
    reverb->PostEvent(MakeSetFloatEvent(cEffectReverb::kParamDryWet, 0.0f));
    for (const auto& s : kSignals)
    {
        SCOPED_TRACE(s.name);
        std::vector<float> expected;
        for (uint32_t f = 0; f < 20 * kBlock; ++f)
            expected.push_back(s.signal(f));
        EXPECT_EQ(RunSignal([&](const cAudioProcessInfo& info, cAudioBuffer& b) { reverb->Process(info, b); },
                            s.signal, 20 * kBlock),
                  expected);
    }

    auto wet = Create<cEffectReverb>("Q-HALLS");
    wet->PostEvent(MakeSetFloatEvent(cEffectReverb::kParamDryWet, 1.0f));
    std::vector<float> left, right;
    ImpulseStereo(*wet, 40 * kBlock, left, right);
    // "Hall 1": 639 frames of predelay and the shortest comb's 1116.
    EXPECT_EQ(FirstNonZero(left), 1755u);
    EXPECT_EQ(FirstNonZero(right), 1755u + 512u);
    for (size_t f = 0; f + 512 < left.size(); ++f)
        ASSERT_EQ(right[f + 512], left[f]) << f;
}

TEST_F(EffectUnits, ReverbPredelaysByPreset)
{
    const struct
    {
        int32_t preset;
        int32_t predelay; // frames at 44100 Hz; none at 0 or below
    } cases[] = {{5, 126}, {6, 0}, {9, 0}, {10, 0}, {11, 0}, {3, 639}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.preset);
        auto reverb = Create<cEffectReverb>("Q-HALLS");
        reverb->PostEvent(MakeSetIntEvent(cEffectReverb::kParamPreset, c.preset));
        reverb->PostEvent(MakeSetFloatEvent(cEffectReverb::kParamDryWet, 1.0f));
        std::vector<float> left, right;
        ImpulseStereo(*reverb, 20 * kBlock, left, right);
        EXPECT_EQ(std::max(reverb->GetNetwork().GetPredelayFrames(), 0), c.predelay);
        EXPECT_EQ(FirstNonZero(left), size_t(c.predelay + reverb->GetNetwork().GetCombLength(0)));
    }
}

// Applying a preset freed and allocated the delay lines on the audio thread.
TEST_F(EffectUnits, ReverbPresetChangesClearTheTailWithoutAllocating)
{
    auto reverb = Create<cEffectReverb>("Q-HALLS");
    reverb->PostEvent(MakeSetFloatEvent(cEffectReverb::kParamDryWet, 1.0f));
    std::vector<float> left, right;
    ImpulseStereo(*reverb, 30 * kBlock, left, right);
    EXPECT_NE(left.back(), 0.0f);
    cStereoBlock silence;
    SetCountAllocationsOnThisThread(true);
    const uint64_t before = GetCountedAllocations();
    for (int32_t preset : {0, 6, 1, 11, 4})
    {
        reverb->PostEvent(MakeSetIntEvent(cEffectReverb::kParamPreset, preset));
        reverb->Process(MakeInfo(), silence.buffer);
        EXPECT_EQ(silence.Peak(), 0.0f) << preset;
        EXPECT_EQ(reverb->GetNetwork().GetAppliedPreset(), preset);
    }
    const uint64_t counted = GetCountedAllocations() - before;
    SetCountAllocationsOnThisThread(false);
    EXPECT_EQ(counted, 0u);
}

// A preset past 11 read past the preset table; a NaN mix poisoned the output.
TEST_F(EffectUnits, ReverbRefusesPresetsOutsideTheTable)
{
    auto reverb = Create<cEffectReverb>("Q-HALLS");
    for (int32_t preset : {12, -1, 1000})
        reverb->PostEvent(MakeSetIntEvent(cEffectReverb::kParamPreset, preset));
    reverb->PostEvent(MakeSetFloatEvent(cEffectReverb::kParamDryWet, std::numeric_limits<float>::quiet_NaN()));
    reverb->DrainEvents();
    EXPECT_EQ(reverb->GetParamInt(cEffectReverb::kParamPreset), 3);
    EXPECT_FLOAT_EQ(reverb->GetParamFloat(cEffectReverb::kParamDryWet), 0.32f);
    const struct
    {
        const char* stored;
        int32_t preset;
        float dryWet;
    } cases[] = {
        {"Preset=\"Room 2\" DryWet=\"0.5\"", 7, 0.5f}, {"Preset=\"basement 3\" DryWet=\"7\"", 11, 1.0f},
        {"Preset=\"12\" DryWet=\"nan\"", 3, 0.0f},     {"Preset=\"Concert\"", 3, 0.32f},
        {"Preset=\"9\"", 9, 0.32f},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.stored);
        auto loaded = Create<cEffectReverb>("Q-HALLS");
        ASSERT_TRUE(LoadXML(std::string("<Root FileVersion=\"1.0\" ") + c.stored + "/>",
                            [&](Base::cSerialise& s) { loaded->Serialise(s); }));
        EXPECT_EQ(loaded->GetParamInt(cEffectReverb::kParamPreset), c.preset);
        EXPECT_FLOAT_EQ(loaded->GetParamFloat(cEffectReverb::kParamDryWet), c.dryWet);
    }
}

// ---------------------------------------------------------------- chorus/delay

TEST_F(EffectUnits, ChorusDelayDefaultsAndShapes)
{
    auto unit = Create<cEffectChorusDelay>("VELTRIX");
    EXPECT_FALSE(unit->IsEnabled());
    EXPECT_EQ(unit->GetParamInt(0), 0);
    EXPECT_EQ(unit->GetParamInt(2), 1);
    EXPECT_EQ(unit->GetParamInt(8), 3);
    EXPECT_NEAR(unit->GetParamFloat(3), 0.6544f, 1e-4f); // 0.12^0.2
    const struct
    {
        uint32_t id;
        float x, stored;
    } cases[] = {
        {10, 0.25f, 0.0883883f}, {10, 0.5f, 0.5f}, {10, 0.9f, 0.9f}, {9, 1.0f, 0.9f},
        {3, 0.5f, 0.03125f},     {4, 0.5f, 0.0625f}, {5, 0.5f, 0.0625f}, {6, 0.3f, 0.3f}, {7, 0.5f, 0.25f},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.id << " " << c.x);
        unit->PostEvent(MakeSetFloatEvent(c.id, c.x));
        unit->DrainEvents();
        const float stored[] = {0, 0, 0, unit->params.CRate, unit->params.CDelay, unit->params.CDepth,
                                unit->params.CFeedback, unit->params.DTime, 0, unit->params.DFeedback,
                                unit->params.DAmount};
        EXPECT_NEAR(stored[c.id], c.stored, 1e-6f);
        EXPECT_NEAR(unit->GetParamFloat(c.id), c.x, 1e-5f);
    }
    // A float event for an integer id and an integer event for a float id change nothing.
    unit->PostEvent(MakeSetFloatEvent(8, 0.0f));
    unit->PostEvent(MakeSetIntEvent(3, 1));
    unit->DrainEvents();
    EXPECT_EQ(unit->GetParamInt(8), 3);
    EXPECT_NEAR(unit->params.CRate, 0.03125f, 1e-6f);
}

TEST_F(EffectUnits, ChorusDelayKeepsKnownValues)
{
    auto unit = Create<cEffectChorusDelay>("VELTRIX");
    unit->PostEvent(MakeSetIntEvent(0, 7));
    unit->PostEvent(MakeSetIntEvent(8, -2));
    unit->PostEvent(MakeSetFloatEvent(10, std::numeric_limits<float>::infinity()));
    unit->PostEvent(MakeSetFloatEvent(9, 4.0f));
    unit->DrainEvents();
    EXPECT_EQ(unit->GetParamInt(0), 0);
    EXPECT_EQ(unit->GetParamInt(8), 3);
    EXPECT_FLOAT_EQ(unit->params.DAmount, 0.12f);
    EXPECT_FLOAT_EQ(unit->params.DFeedback, 0.9f);

    ASSERT_TRUE(LoadXML("<Root FileVersion=\"1.0\" Version=\"1\" Type=\"X-Delay\" DBeatTime=\"9\" CRate=\"1e30\" "
                        "DAmount=\"0.3\"/>",
                        [&](Base::cSerialise& s) { unit->Serialise(s); }));
    EXPECT_EQ(unit->GetParamInt(0), 3);
    EXPECT_EQ(unit->GetParamInt(8), 3);
    EXPECT_EQ(unit->params.CRate, 1.0f);
    EXPECT_FLOAT_EQ(unit->params.DAmount, 0.3f); // version 1 reads without conversion
}

TEST_F(EffectUnits, ChorusDelayProcessesFromInputToOutput)
{
    auto unit = Create<cEffectChorusDelay>("VELTRIX");
    unit->SetEnabled(true); // a chorus
    cStereoBlock input, output;
    input.Fill(0.5f, 0.5f);
    const std::vector<float> before = input.samples;
    unit->ProcessInOut(MakeInfo(), input.buffer, output.buffer);
    EXPECT_EQ(input.samples, before);
    EXPECT_NE(output.Peak(), 0.0f);
}

// ---------------------------------------------------------------- waveshaper

TEST_F(EffectUnits, WaveshaperDefaultsAndEvents)
{
    auto unit = Create<cEffectWaveShape>("9TH HARBOR");
    EXPECT_FALSE(unit->IsEnabled());
    EXPECT_EQ(unit->GetParamInt(1), 1);
    EXPECT_FLOAT_EQ(unit->GetParamFloat(2), 0.33f);
    EXPECT_FLOAT_EQ(unit->GetParamFloat(3), 0.5f);
    EXPECT_FLOAT_EQ(unit->GetParamFloat(4), 0.82f);
    unit->PostEvent(MakeSetFloatEvent(0, 1.0f));
    unit->PostEvent(MakeSetFloatEvent(1, 3.0f));
    unit->PostEvent(MakeSetIntEvent(2, 1));
    unit->DrainEvents();
    EXPECT_FALSE(unit->IsEnabled());
    EXPECT_EQ(unit->GetParamInt(1), 1);
    EXPECT_FLOAT_EQ(unit->GetParamFloat(2), 0.33f);

    // Shapes outside the list were used to index past the curves.
    for (const auto& shape : {std::pair{0, 1}, std::pair{9, 7}, std::pair{6, 6}, std::pair{-5, 1}})
    {
        unit->PostEvent(MakeSetIntEvent(1, shape.first));
        unit->DrainEvents();
        EXPECT_EQ(unit->GetParamInt(1), shape.second) << shape.first;
    }
    ASSERT_TRUE(LoadXML("<Root FileVersion=\"1.0\" Shape=\"0\" Drive=\"nan\" Out=\"2\"/>",
                        [&](Base::cSerialise& s) { unit->Serialise(s); }));
    EXPECT_EQ(unit->GetParamInt(1), 1);
    EXPECT_FLOAT_EQ(unit->GetParamFloat(2), 0.0f); // a file's NaN reads as the range's bottom
    EXPECT_FLOAT_EQ(unit->GetParamFloat(4), 1.0f);

    cStereoBlock a, b;
    a.Fill(0.5f, 0.5f);
    const std::vector<float> before = a.samples;
    unit->SetEnabled(true);
    EXPECT_EQ(unit->ProcessInOut(MakeInfo(), a.buffer, b.buffer), 0);
    EXPECT_EQ(a.samples, before);
    EXPECT_EQ(b.Peak(), 0.0f);
}

TEST_F(EffectUnits, WaveshaperShapesSoundApart)
{
    std::vector<std::vector<float>> outputs;
    for (int32_t shape = 1; shape <= 7; ++shape)
    {
        auto unit = Create<cEffectWaveShape>("9TH HARBOR");
        unit->PostEvent(MakeSetIntEvent(0, 1));
        unit->PostEvent(MakeSetIntEvent(1, shape));
        unit->PostEvent(MakeSetFloatEvent(2, 0.8f));
        outputs.push_back(RunSignal([&](const cAudioProcessInfo& info, cAudioBuffer& b) { unit->Process(info, b); },
                                    [](uint32_t f) { return 0.7f * std::sin(0.05f * float(f)); }, 8 * kBlock));
    }
    for (size_t i = 0; i < outputs.size(); ++i)
        for (size_t j = i + 1; j < outputs.size(); ++j)
            EXPECT_NE(outputs[i], outputs[j]) << i + 1 << " " << j + 1;
}

// ---------------------------------------------------------------- the mixer's returns

TEST_F(EffectUnits, ANewMixerHasAWetReverbAndASyncedCrossDelayOnItsReturns)
{
    cMixingDeskInstrument desk(nullptr);
    cMixer& mixer = *desk.GetMixer();
    auto* reverb = dynamic_cast<cEffectReverb*>(mixer.GetReturn(0)->insertRack.FindNode("SLOT1")->GetEffect());
    ASSERT_NE(reverb, nullptr);
    EXPECT_TRUE(reverb->IsEnabled());
    EXPECT_EQ(reverb->GetParamFloat(cEffectReverb::kParamDryWet), 1.0f);
    EXPECT_EQ(reverb->GetParamInt(cEffectReverb::kParamPreset), 3);
    auto* delay = dynamic_cast<cEffectChorusDelay*>(mixer.GetReturn(1)->insertRack.FindNode("SLOT1")->GetEffect());
    ASSERT_NE(delay, nullptr);
    EXPECT_TRUE(delay->IsEnabled());
    EXPECT_EQ(delay->params.Type, 3);
    EXPECT_EQ(delay->params.Sync, 1);
    EXPECT_EQ(delay->params.DAmount, 1.0f);

    const std::string saved = SaveXML([&](Base::cSerialise& s) { mixer.Serialise(s, &desk, nullptr); });
    const size_t send0 = saved.find("<Send00");
    const size_t send1 = saved.find("<Send01");
    ASSERT_NE(send0, std::string::npos);
    ASSERT_NE(send1, std::string::npos);
    EXPECT_NE(saved.find("<SLOT1 Type=\"Q-HALLS\">", send0), std::string::npos) << saved;
    EXPECT_NE(saved.find("DryWet=\"1.000000\"", send0), std::string::npos);
    EXPECT_NE(saved.find("<SLOT1 Type=\"VELTRIX\">", send1), std::string::npos);
    EXPECT_NE(saved.find("Type=\"X-Delay\"", send1), std::string::npos);
    EXPECT_NE(saved.find("Sync=\"1\"", send1), std::string::npos);
    EXPECT_NE(saved.find("DAmount=\"1.000000\"", send1), std::string::npos);
}
