#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "MixerTestUtil.h"
#include "TestDesk.h"
#include "TestEffects.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/Metronome.h"
#include "audio/SampleConvert.h"
#include "audio/Transport.h"
#include "mixer/EffectRegistry.h"
#include "sequencer/Sequencer.h"

using namespace MixerTest;

namespace
{
// Each kind's level x the default volume's gain 2^-0.84 x the centre pan's 0.75.
const float kInputGain = 2.4f * std::exp2(-0.84f) * 0.75f; // 1.005558
const float kReturnGain = 1.2f * std::exp2(-0.84f) * 0.75f;
const float kMasterGain = 0.9f * std::exp2(-0.84f) * 0.75f;

class Mixer : public testing::Test
{
protected:
    cUnitInstrument& AddInstrument(int outputs = 1, float level = 0.5f)
    {
        instruments.push_back(std::make_unique<cUnitInstrument>(outputs));
        instruments.back()->Module().level = level;
        mixer.InsertChannels(instruments.back().get(), nullptr);
        return *instruments.back();
    }

    // One block into a float buffer; returns it.
    cStereoBlock Render(uint32_t frames = kBlock, const uint32_t* mask = nullptr)
    {
        cStereoBlock out(frames);
        mixer.RenderGraph(MakeInfo(frames), out.buffer, mask);
        return out;
    }

    void Post(const cAudioEvent& event) { ASSERT_TRUE(mixer.PostEvent(event)); }
    void PostMute(int32_t position, int32_t value) { Post(MakeSetIntEvent(cMixer::MakeMuteId(cMixer::kIdSetMute, position), value)); }

    cAudioEvent ModuleParam(uint32_t index, float value, uint32_t storeOnly = 0)
    {
        cAudioEvent event;
        event.type = kAudioEventModuleParam;
        event.wordA = storeOnly;
        event.wordB = index;
        event.valueF = value;
        return event;
    }

    cMixingDeskInstrument desk{nullptr};
    cMixer& mixer = *desk.GetMixer();
    std::vector<std::unique_ptr<cUnitInstrument>> instruments;
};
} // namespace

TEST_F(Mixer, ANewMixerHasItsReturnsAndTheNamedMaster)
{
    EXPECT_EQ(mixer.GetChannelCount(), 2);
    EXPECT_EQ(mixer.GetInputCount(), 0);
    EXPECT_STREQ(mixer.GetReturn(0)->name.CStr(), "SEND 1");
    EXPECT_STREQ(mixer.GetReturn(1)->name.CStr(), "SEND 2");
    EXPECT_EQ(mixer.GetReturn(1)->volumeParamIndex, 6);
    EXPECT_STREQ(mixer.GetMaster()->name.CStr(), "OUT");
    EXPECT_EQ(mixer.GetMaster(), desk.GetChannel(0));
    const float params[] = {0.0f, 0.79f, 0.5f, 0.0f, 0.79f, 0.5f, 0.79f, 0.5f};
    for (int32_t i = 0; i < cMixer::kParamCount; ++i)
        EXPECT_EQ(mixer.GetParamValue(i), params[i]) << i;
    EXPECT_EQ(mixer.GetChangedMask(), 0xffu);
    EXPECT_EQ(mixer.GetReturn(0)->groupFlags, 0x11u);
}

TEST_F(Mixer, RendersExactMasterSamplesAndPostFaderSends)
{
    cUnitInstrument& unit = AddInstrument();
    unit.Module().right = 0.5f;
    cStereoBlock out = Render();
    for (uint32_t f = 0; f < kBlock; f += 17)
    {
        ASSERT_NEAR(out.L(f), 0.5f * kInputGain * kMasterGain, 1e-6f) << f;
        ASSERT_NEAR(out.R(f), 0.25f * kInputGain * kMasterGain, 1e-6f) << f;
    }
    EXPECT_NEAR(out.L(0), 0.18959f, 1e-5f); // 0.5 in at the default settings

    // The returns hold no effect here: the sends reach the master dry.
    unit.Module().send1 = 0.5f;
    unit.Module().send2 = 0.25f;
    unit.Module().volume = 0.5f;
    Render(); // the volume ramps down over this block
    out = Render();
    const float channel = 0.5f * kInputGain * 0.5f;
    EXPECT_NEAR(out.L(64), (channel + 0.75f * channel * kReturnGain) * kMasterGain, 1e-6f);
    EXPECT_NEAR(mixer.GetReturn(0)->buffer.Floats()[2 * 64], 0.5f * channel, 1e-6f);
    EXPECT_NEAR(mixer.GetReturn(1)->buffer.Floats()[2 * 64 + 1], 0.25f * 0.5f * channel, 1e-6f);
}

// A return bus reached the master only in blocks where some return's chain
// ran: with both send effects off or missing the sends were lost.
TEST_F(Mixer, AReturnWithoutARunningChainIsStillHeard)
{
    cUnitInstrument& unit = AddInstrument();
    unit.Module().send1 = 1.0f;
    for (int block = 0; block < 3; ++block)
    {
        const cStereoBlock out = Render();
        EXPECT_NEAR(out.L(100), 0.5f * kInputGain * (1.0f + kReturnGain) * kMasterGain, 1e-6f) << block;
    }
}

TEST_F(Mixer, AMaskedChannelRendersButAddsNothing)
{
    cUnitInstrument& first = AddInstrument(1, 0.25f);
    AddInstrument(1, 0.5f);
    const uint32_t mask[1] = {0x2};
    const cStereoBlock out = Render(kBlock, mask);
    EXPECT_EQ(first.Module().processed, 1);
    EXPECT_NEAR(out.L(10), 0.5f * kInputGain * kMasterGain, 1e-6f);
    EXPECT_EQ(first.Strip(0).peakLeft, 0.0f);
}

TEST_F(Mixer, EachOutputOfAnInstrumentIsRenderedWithItsIndex)
{
    cUnitInstrument& pads = AddInstrument(3, 0.0f);
    const cStereoBlock out = Render();
    EXPECT_EQ(pads.Module().processed, 3);
    EXPECT_EQ(pads.Module().lastOutput, 2);
    // Outputs 0, 1 and 2 render levels 0, 1 and 2.
    EXPECT_NEAR(out.L(0), 3.0f * kInputGain * kMasterGain, 1e-5f);
}

TEST_F(Mixer, MuteAndSoloDecideWhoIsHeard)
{
    AddInstrument(1, 1.0f);
    AddInstrument(1, 2.0f);
    AddInstrument(1, 4.0f);
    const struct
    {
        std::vector<std::pair<int32_t, int32_t>> requests; // position, event value
        float heard;                                       // sum of the levels heard
        int32_t solos;
    } cases[] = {
        {{}, 7.0f, 0},
        {{{1, 1}}, 5.0f, 0},
        {{{0, 2}}, 1.0f, 1},
        {{{0, 2}, {2, 2}}, 5.0f, 2},
        {{{0, 2}, {2, 1}}, 1.0f, 1},
        {{{0, 2}, {0, 2}}, 7.0f, 0},
        {{{1, 1}, {1, 2}}, 2.0f, 1},   // soloing a muted channel
        {{{1, 1}, {0, 2}, {0, 0}}, 5.0f, 0},
        {{{3, 2}, {4, 2}}, 7.0f, 0},   // returns ignore solo
        {{{-1, 1}}, 0.0f, 0},          // the master
        {{{-1, 1}, {-1, 1}}, 7.0f, 0},
        {{{7, 1}, {-9, 2}}, 7.0f, 0},  // nothing there
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.heard);
        for (int32_t position = -1; position < mixer.GetChannelCount(); ++position)
            mixer.SetChannelMuteState(position, 0);
        Render();
        Render();
        for (const auto& request : c.requests)
            PostMute(request.first, request.second);
        Render();
        const cStereoBlock out = Render(); // after the fade
        EXPECT_NEAR(out.L(0), c.heard * kInputGain * kMasterGain, 1e-5f);
        EXPECT_EQ(mixer.GetSoloCount(), c.solos);
    }
}

TEST_F(Mixer, MutesFadeOverOneBlock)
{
    AddInstrument(1, 1.0f);
    Render();
    PostMute(0, 1);
    const cStereoBlock out = Render();
    for (uint32_t f = 0; f < kBlock; f += 16)
        EXPECT_NEAR(out.L(f), kInputGain * kMasterGain * (1.0f - float(f) / kBlock), 1e-5f) << f;
}

TEST_F(Mixer, LevelChangesRampLinearlyAcrossTheNextBlock)
{
    AddInstrument(1, 1.0f);
    Render();
    Post(MakeSetFloatEvent(cMixer::MakeListChannelId(0, cMixerChannel::kSelectVolume), 1.0f));
    cStereoBlock out = Render();
    const float to = 2.4f * 0.75f;
    for (uint32_t f = 0; f < kBlock; f += 16)
        EXPECT_NEAR(out.L(f), (kInputGain + float(f) / kBlock * (to - kInputGain)) * kMasterGain, 1e-5f) << f;
    out = Render();
    EXPECT_NEAR(out.L(5), to * kMasterGain, 1e-5f);

    // The master volume as a module parameter, as a MIDI controller sends it.
    Post(ModuleParam(cMixer::kParamMasterVolume, 1.0f));
    out = Render();
    for (uint32_t f = 0; f < kBlock; f += 16)
        EXPECT_NEAR(out.L(f), to * (kMasterGain + float(f) / kBlock * (0.675f - kMasterGain)), 1e-5f) << f;
    EXPECT_EQ(mixer.GetMaster()->volume, 1.0f); // stored, not store-only
    Post(ModuleParam(cMixer::kParamMasterPan, 0.0f, 1));
    Render();
    EXPECT_EQ(mixer.GetMaster()->pan, 0.5f);
    EXPECT_EQ(mixer.GetMaster()->workingPan, 0.0f);
}

TEST_F(Mixer, ParameterIdentifiersAddressTheList)
{
    AddInstrument();
    const struct
    {
        uint32_t id;
        float value;
    } floats[] = {
        {cMixer::MakeListChannelId(0, 0), 0.79f}, {cMixer::MakeListChannelId(0, 1), 0.5f},
        {cMixer::MakeListChannelId(0, 2), 0.0f},  {cMixer::MakeListChannelId(3, 0), 0.0f},
        {cMixer::MakeMasterId(0), 0.79f},         {cMixer::MakeMasterId(1), 0.5f},
        {cMixer::MakeMuteId(cMixer::kIdGetMute, 0), 0.0f},
    };
    for (const auto& f : floats)
        EXPECT_EQ(mixer.GetParamFloat(f.id), f.value) << std::hex << f.id;

    Post(MakeSetFloatEvent(cMixer::MakeListChannelId(2, cMixerChannel::kSelectPan), 0.25f));
    Post(MakeSetFloatEvent(cMixer::MakeMasterId(cMixerChannel::kSelectVolume), 0.5f));
    Post(MakeSetFloatEvent(cMixer::MakeListChannelId(9, 0), 0.5f)); // past the list
    PostMute(-1, 1);
    PostMute(1, 1);
    PostMute(100, 1);
    Render();
    // A return's stored pan follows; its working pan follows its module parameter.
    EXPECT_EQ(mixer.GetReturn(1)->pan, 0.25f);
    EXPECT_EQ(mixer.GetParamFloat(cMixer::MakeListChannelId(2, 1)), 0.5f);
    Post(MakeSetFloatEvent(cMixer::MakeListChannelId(0, cMixerChannel::kSelectPan), 0.25f));
    Render();
    EXPECT_EQ(mixer.GetParamFloat(cMixer::MakeListChannelId(0, 1)), 0.25f);
    EXPECT_EQ(mixer.GetMaster()->volume, 0.5f);
    EXPECT_EQ(mixer.GetParamInt(cMixer::MakeMuteId(cMixer::kIdGetMute, -1)), 1);
    EXPECT_EQ(mixer.GetParamInt(cMixer::MakeMuteId(cMixer::kIdGetMute, 1)), 1);
    EXPECT_EQ(mixer.GetParamInt(cMixer::MakeMuteId(cMixer::kIdGetMute, 100)), 0);
    EXPECT_EQ(mixer.GetParamInt(cMixer::MakeMuteId(cMixer::kIdSetMute, 1)), 0);
}

// Values that are not numbers poisoned the whole mix.
TEST_F(Mixer, NonNumbersAreRefused)
{
    AddInstrument();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Post(ModuleParam(cMixer::kParamMasterVolume, nan));
    Post(ModuleParam(cMixer::kParamSend1Pan, std::numeric_limits<float>::infinity()));
    Post(MakeSetFloatEvent(cMixer::MakeListChannelId(0, 0), nan));
    Post(ModuleParam(cMixer::kParamSend2Volume, 7.0f));
    const cStereoBlock out = Render();
    EXPECT_NEAR(out.L(3), 0.5f * kInputGain * kMasterGain, 1e-6f);
    EXPECT_EQ(mixer.GetMaster()->volume, 0.79f);
    EXPECT_EQ(mixer.GetReturn(0)->pan, 0.5f);
    EXPECT_EQ(mixer.GetReturn(1)->volume, 1.0f);
}

TEST_F(Mixer, ClipHoldNeedsEightFramesOverFullScale)
{
    cUnitInstrument& loud = AddInstrument(1, 10.0f);
    for (int32_t burst : {7, 8})
    {
        SCOPED_TRACE(burst);
        loud.Module().burst = burst;
        Render();
        EXPECT_EQ(mixer.GetClipHoldLeft(), burst == 8 ? 1.0f : 0.0f);
    }
    loud.Module().burst = 0;
    Render();
    EXPECT_NEAR(mixer.GetClipHoldLeft(), 1.0f - 128.0f / 44100.0f, 1e-6f);
}

TEST_F(Mixer, MetersDecayByTheBlocksShareOfASecond)
{
    cUnitInstrument& unit = AddInstrument();
    unit.Module().idle = true;
    unit.Strip(0).meterLeft = 1.0f;
    mixer.GetMaster()->meterRight = 0.5f;
    Render();
    EXPECT_NEAR(unit.Strip(0).meterLeft, 1.0f - 0.0145125f, 1e-6f);
    EXPECT_NEAR(mixer.GetMaster()->meterRight, 0.5f * (1.0f - 0.0145125f), 1e-6f);
    unit.Module().idle = false;
    Render();
    Render();
    EXPECT_NEAR(unit.Strip(0).peakLeft, 0.5f * kInputGain, 1e-6f);
    EXPECT_NEAR(mixer.GetMaster()->peakLeft, float(int(0.5f * kInputGain * kMasterGain * 32767.0f)) / 32767.0f, 1e-6f);
}

TEST_F(Mixer, WritesEveryFormatButTheUnconvertedOne)
{
    AddInstrument();
    const cStereoBlock reference = Render();
    const struct
    {
        uint32_t format;
        bool written;
    } formats[] = {{kAudioFormatS16, true},
                   {kAudioFormatS24, true},
                   {kAudioFormatS32Converted, true},
                   {kAudioFormatFloat, true},
                   {kAudioFormatS32, false}};
    for (const auto& f : formats)
    {
        SCOPED_TRACE(f.format);
        std::vector<uint8_t> bytes(kBlock * 2 * 4, 0x55);
        std::vector<uint8_t> expected(bytes.size(), 0x55);
        cAudioBuffer out;
        out.Describe(f.format, kBlock, 2, bytes.data());
        mixer.RenderGraph(MakeInfo(), out, nullptr);
        if (f.format == kAudioFormatS16)
            FloatToInt16(reference.samples.data(), reinterpret_cast<int16_t*>(expected.data()), kBlock * 2);
        else if (f.format == kAudioFormatS24)
            FloatToInt24(reference.samples.data(), expected.data(), kBlock * 2);
        else if (f.format == kAudioFormatS32Converted)
            FloatToInt32(reference.samples.data(), reinterpret_cast<int32_t*>(expected.data()), kBlock * 2);
        else if (f.format == kAudioFormatFloat)
            std::memcpy(expected.data(), reference.samples.data(), kBlock * 2 * 4);
        EXPECT_EQ(bytes, expected);
    }
}

// Buffers longer than 128 frames overran the mixer's own blocks; the ramp's
// odd last frame was left unscaled and the converters' last samples unwritten.
TEST_F(Mixer, AnyLengthIsRenderedWholeInBlocksOf128)
{
    AddInstrument();
    for (uint32_t frames : {300u, 129u, 127u, 1u})
    {
        SCOPED_TRACE(frames);
        Post(ModuleParam(cMixer::kParamMasterVolume, frames % 2 ? 1.0f : 0.79f));
        Render();
        const cStereoBlock out = Render(frames);
        for (uint32_t f = 0; f < frames; ++f)
            ASSERT_NEAR(out.L(f), out.L(0), 1e-6f) << f;
        EXPECT_NE(out.L(frames - 1), 0.0f);

        std::vector<int16_t> device(frames * 2, 0x5555);
        cAudioBuffer deviceBuffer;
        deviceBuffer.Describe(kAudioFormatS16, frames, 2, device.data());
        mixer.RenderGraph(MakeInfo(frames), deviceBuffer, nullptr);
        EXPECT_EQ(device[frames * 2 - 1], int16_t(out.R(0) * 32767.0f));
    }
    // The ramp reaches its last frame too.
    Post(ModuleParam(cMixer::kParamMasterVolume, 1.0f));
    Render();
    Post(ModuleParam(cMixer::kParamMasterVolume, 0.79f));
    const cStereoBlock ramp = Render(127);
    const float from = 0.5f * kInputGain * 0.675f;
    const float to = 0.5f * kInputGain * kMasterGain;
    EXPECT_NEAR(ramp.L(126), from + 126.0f / 127.0f * (to - from), 1e-5f);
}

TEST_F(Mixer, ChannelsFollowSlotOrderInGroups)
{
    cUnitInstrument first(1, "first"), pads(3, "pads"), last(1, "last");
    mixer.InsertChannels(&first, nullptr);
    mixer.InsertChannels(&last, nullptr);
    mixer.InsertChannels(&pads, &last);
    ASSERT_EQ(mixer.GetInputCount(), 5);
    const struct
    {
        cInstrument* owner;
        uint32_t group;
    } expected[] = {{&first, 0x11}, {&pads, 0}, {&pads, 3}, {&pads, 0x10}, {&last, 0x11}};
    for (int32_t i = 0; i < 5; ++i)
    {
        EXPECT_EQ(mixer.GetChannel(i)->owner, expected[i].owner) << i;
        EXPECT_EQ(mixer.GetChannel(i)->groupFlags, expected[i].group) << i;
    }
    EXPECT_EQ(mixer.GetChannel(5), mixer.GetReturn(0));
    mixer.RemoveChannels(&pads);
    EXPECT_EQ(mixer.GetInputCount(), 2);
    EXPECT_EQ(mixer.GetChannel(1)->owner, &last);
    mixer.RemoveChannels(&first);
    mixer.RemoveChannels(&last);
}

TEST_F(Mixer, ReturnsSaveAndLoadAndASecondOneMayBeMissing)
{
    mixer.GetReturn(0)->volume = 0.25f;
    mixer.GetReturn(1)->pan = 0.75f;
    const std::string saved = SaveXML([&](Base::cSerialise& s) { mixer.Serialise(s, &desk, nullptr); });
    EXPECT_NE(saved.find("<Send00 Vol=\"0.250000\""), std::string::npos) << saved;

    cMixingDeskInstrument other(nullptr);
    cMixer& loaded = *other.GetMixer();
    ASSERT_TRUE(LoadXML(saved, [&](Base::cSerialise& s) { loaded.Serialise(s, &other, nullptr); }));
    EXPECT_EQ(loaded.GetParamValue(cMixer::kParamSend1Volume), 0.25f);
    EXPECT_EQ(loaded.GetParamValue(cMixer::kParamSend2Pan), 0.75f);

    cMixingDeskInstrument third(nullptr);
    ASSERT_TRUE(LoadXML("<Root FileVersion=\"1.0\"><Send00 Vol=\"1.0\"/></Root>",
                        [&](Base::cSerialise& s) { third.GetMixer()->Serialise(s, &third, nullptr); }));
    EXPECT_EQ(third.GetMixer()->GetReturn(0)->volume, 1.0f);
    EXPECT_EQ(third.GetMixer()->GetReturn(1)->volume, 0.79f);
}

TEST_F(Mixer, ResetClearsBuffersAndResetsChains)
{
    cEffectRegistry registry;
    registry.AddPackage(new cTailEffectPackage());
    cUnitInstrument& unit = AddInstrument();
    unit.Strip(0).insertRack.FindNode("SLOT1")->InstallEffect("TEST-TAIL");
    auto* tail = static_cast<cTailEffect*>(unit.Strip(0).insertRack.FindNode("SLOT1")->GetEffect());
    tail->SetEnabled(true);
    Render();
    EXPECT_NE(tail->memory[0], 0.0f);
    const int resets = tail->resets;
    cAudioEvent reset;
    reset.type = kAudioEventReset;
    Post(reset);
    unit.Module().level = 0.0f;
    unit.Module().idle = true;
    Render();
    EXPECT_EQ(tail->resets, resets + 1);
    EXPECT_EQ(tail->memory[0], 0.0f);
}

// A rack whose effects were all off was skipped: the effect never faded out
// and, switched on again, replayed its old tail.
TEST_F(Mixer, AnInsertSwitchedOffFadesAndComesBackWithoutItsOldTail)
{
    cEffectRegistry registry;
    registry.AddPackage(new cTailEffectPackage());
    cUnitInstrument& unit = AddInstrument();
    cEffectRackNode* slot = unit.Strip(0).insertRack.FindNode("SLOT1");
    slot->InstallEffect("TEST-TAIL");
    auto* tail = static_cast<cTailEffect*>(slot->GetEffect());
    tail->SetEnabled(true);
    Render();
    Render();
    const int before = tail->processed;
    tail->PostEvent(MakeSetIntEvent(0, 0));
    Render();
    EXPECT_EQ(tail->processed, before + 1); // its last block
    Render();
    EXPECT_EQ(tail->processed, before + 1);
    EXPECT_NE(tail->memory[0], 0.0f);
    tail->PostEvent(MakeSetIntEvent(0, 1));
    unit.Module().level = 0.0f;
    const cStereoBlock out = Render();
    EXPECT_EQ(out.L(0), 0.0f); // no old tail
}

TEST_F(Mixer, TheDeskKeepsItsViewWithTheProject)
{
    EXPECT_EQ(desk.GetFirstShownChannel(), 0);
    EXPECT_EQ(desk.GetInsertChannel(), -1);
    desk.SetName("Desk");
    desk.SetInsertChannel(1);
    const std::string saved = SaveXML([&](Base::cSerialise& s) { desk.Serialise(s, nullptr); });
    EXPECT_NE(saved.find("InChan=\"0\" InsertFX=\"1\""), std::string::npos) << saved;
    EXPECT_NE(saved.find("<Channel00"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<Send01"), std::string::npos) << saved;

    cMixingDeskInstrument loaded(nullptr);
    ASSERT_TRUE(LoadXML(saved, [&](Base::cSerialise& s) { loaded.Serialise(s, nullptr); }));
    EXPECT_EQ(loaded.GetInsertChannel(), 1);
    EXPECT_STREQ(loaded.GetName(), "Desk");
    // Slot 0 is read before the other instruments' channels exist, so only
    // the lower bounds refuse a value; the desk clamps the rest on use.
    cMixingDeskInstrument ahead(nullptr);
    ASSERT_TRUE(LoadXML("<Root FileVersion=\"1.0\" InChan=\"5\" InsertFX=\"7\"/>",
                        [&](Base::cSerialise& s) { ahead.Serialise(s, nullptr); }));
    EXPECT_EQ(ahead.GetFirstShownChannel(), 5);
    EXPECT_EQ(ahead.GetInsertChannel(), 7);
    cMixingDeskInstrument refused(nullptr);
    ASSERT_TRUE(LoadXML("<Root FileVersion=\"1.0\" InChan=\"-1\" InsertFX=\"-2\"/>",
                        [&](Base::cSerialise& s) { refused.Serialise(s, nullptr); }));
    EXPECT_EQ(refused.GetFirstShownChannel(), 0);
    EXPECT_EQ(refused.GetInsertChannel(), -1);
}

TEST_F(Mixer, EachBlockMovesTheSongAndAddsTheClick)
{
    auto manager = MakePausedAudioManager(); // the click takes its scratch from the pool
    ASSERT_NE(manager, nullptr);
    cInstrumentSlotTable slots;
    cSequencer sequencer;
    gMetronome.Init();
    sequencer.Play(1);
    const int32_t start = gTransport.clockCounter;
    Render();
    // The count-in's first click started in this block and was rendered into it.
    EXPECT_GT(gMetronome.GetEnvelope(), 0.0f);
    EXPECT_LT(gMetronome.GetEnvelope(), 1.0f);
    Render();
    Render();
    Render();
    EXPECT_EQ(gTransport.clockCounter - start, 4 * 128);
    // A long buffer is four blocks of the song.
    Render(512);
    EXPECT_EQ(gTransport.clockCounter - start, 8 * 128);
    sequencer.Stop();
}
