#include <gtest/gtest.h>

#include <cmath>

#include "PresetFixtures.h"
#include "audio/AllocationCounter.h"
#include "SynthModuleFixture.h"
#include "base/MessageQueue.h"

namespace
{
class SynthPresetTest : public testing::Test, public cSynthModuleFixture
{
protected:
    int32_t Current() { return synth->GetParamInt(MakeSynthParamId(kSynthParamPreset)); }
    const char* CurrentName() { return synth->GetCurrentSingle().Name; }
    uint32_t Cutoff() { return MakeSynthParamId(kSynthParamSingle, kSingleGroupFilter, cFilterParams::kFieldCutoff); }
};

uint32_t Param(int32_t section, int32_t group = 0, int32_t index = 0, int32_t field = 0)
{
    return MakeSynthParamId(section, group, index, field);
}

std::string Bytes(cAnalogueSynthSingle single) { return WriteRecord(single); }
} // namespace

TEST_F(SynthPresetTest, BindingAStoreLoadsTheCurrentPresets)
{
    cAnalogueSynth fresh(nullptr);
    EXPECT_STREQ(fresh.GetCurrentSingle().Name, "<EMPTY>");
    EXPECT_FLOAT_EQ(fresh.GetParamValue(2), 0.5f);
    cGenStringFixed<32> text;
    fresh.GetPresetText(text);
    EXPECT_STREQ(text.CStr(), "A00.<EMPTY>");
    fresh.SetStore(store.get());
    EXPECT_STREQ(fresh.GetCurrentSingle().Name, "S000");
    EXPECT_STREQ(fresh.GetStoredMulti().Name, "M000");
    fresh.GetPresetText(text);
    EXPECT_STREQ(text.CStr(), "A00.S000");
}

// Event 11: bank in word A (negative keeps it), program in word B (negative
// keeps it); event 12 steps through all 512 presets, wrapping both ways.
TEST_F(SynthPresetTest, SelectingAndStepping)
{
    struct cCase
    {
        int32_t from;
        uint8_t type;
        int32_t a;
        int32_t b;
        int32_t to;
    };
    const cCase cases[] = {
        {Id(7, 63), kAudioEventStepPreset, 1, 0, Id(0, 0)},
        {Id(0, 0), kAudioEventStepPreset, -1, 0, Id(7, 63)},
        {Id(0, 63), kAudioEventStepPreset, 1, 0, Id(1, 0)},
        {Id(1, 1), kAudioEventStepPreset, -3, 0, Id(0, 62)},
        {Id(2, 10), kAudioEventStepPreset, 0, 0, Id(2, 10)},
        {Id(2, 10), kAudioEventStepPreset, 512, 0, Id(2, 10)},
        {Id(1, 5), kAudioEventSelectPreset, -1, 9, Id(1, 9)},
        {Id(1, 5), kAudioEventSelectPreset, 9, 5, Id(1, 5)},
        {Id(3, 5), kAudioEventSelectPreset, 9, 2, Id(1, 2)},
        {Id(3, 5), kAudioEventSelectPreset, 6, -1, Id(6, 5)},
        {Id(3, 5), kAudioEventSelectPreset, 0, 70, Id(0, 6)},
    };
    for (const cCase& c : cases)
    {
        SetInt(Param(kSynthParamSinglePreset), c.from);
        Post(c.type, c.a, c.b);
        EXPECT_EQ(Current(), c.to) << std::hex << c.from << " " << int(c.type) << " " << std::dec << c.a << " "
                                   << c.b;
        cGenStringFixed<8> name;
        name.Printf("S%03X", unsigned(c.to));
        EXPECT_STREQ(CurrentName(), name.CStr());
    }
}

// Bit 4 of the flags asks for a status-bar message naming the new preset; a
// step of 0 selects nothing and says nothing.
TEST_F(SynthPresetTest, PresetChangesAreReportedWhenAsked)
{
    cMessageQueue queue;
    Post(kAudioEventStepPreset, 1, 0, kAudioEventFlagReportPreset);
    Post(kAudioEventStepPreset, 0, 0, kAudioEventFlagReportPreset);
    Post(kAudioEventSelectPreset, 2, 3, 0);
    Post(kAudioEventSelectPreset, 4, 7, kAudioEventFlagReportPreset);
    const cMessageQueue::cMessage* message = queue.Peek();
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->sender, synth.get());
    EXPECT_EQ(message->type, cMessageQueue::kTypePresetChanged);
    EXPECT_EQ(message->value, Id(0, 1));
    queue.Advance();
    message = queue.Peek();
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->value, Id(4, 7));
    queue.Advance();
    EXPECT_EQ(queue.Peek(), nullptr);
}

TEST_F(SynthPresetTest, SelectingTheCurrentPresetKeepsItsEdits)
{
    SetInt(Param(kSynthParamSinglePreset), Param(2, 4));
    SetFloat(Cutoff(), 0.9f);
    EXPECT_TRUE(synth->IsModified());
    SetInt(Param(kSynthParamSinglePreset), Param(2, 4));
    EXPECT_TRUE(synth->IsModified());
    EXPECT_FLOAT_EQ(synth->GetParamFloat(Cutoff()), 0.9f);
    // A forced reload (binding the store again) discards them.
    synth->SetStore(store.get());
    EXPECT_FALSE(synth->IsModified());
    EXPECT_FLOAT_EQ(synth->GetParamFloat(Cutoff()), 0.0f);
    // Selecting another preset discards them too.
    SetFloat(Cutoff(), 0.9f);
    SetInt(Param(kSynthParamPreset), -5); // clamped to 0
    EXPECT_EQ(Current(), 0);
    EXPECT_FALSE(synth->IsModified());
    EXPECT_STREQ(CurrentName(), "S000");
}

TEST_F(SynthPresetTest, CompareAndEditing)
{
    store->GetSingle(0).Filter.Cutoff = 0.3f;
    store->GetSingle(0).Ctrl.values[6] = 0.25f;
    synth->SetStore(store.get());
    cAudioEvent bend;
    bend.wordB = 0;
    bend.valueF = 0.7f;
    synth->StoreParamEvent(bend);

    // Not modified: Compare toggles nothing, but the parameters are applied again.
    SetInt(Param(kSynthParamCompare), 0);
    EXPECT_FALSE(synth->IsComparing());
    EXPECT_FLOAT_EQ(synth->GetParamValue(0), 0.0f);
    EXPECT_FLOAT_EQ(synth->GetParamValue(6), 0.25f);
    EXPECT_EQ(synth->TakeChangedMask(), ~0u);

    SetFloat(Cutoff(), 0.9f);
    EXPECT_EQ(synth->GetParamInt(Param(kSynthParamModified)), 1);
    SetInt(Param(kSynthParamCompare), 0);
    EXPECT_EQ(synth->GetParamInt(Param(kSynthParamCompare)), 1);
    EXPECT_FLOAT_EQ(synth->GetParamFloat(Cutoff()), 0.3f);
    SetInt(Param(kSynthParamCompare), 0);
    EXPECT_FLOAT_EQ(synth->GetParamFloat(Cutoff()), 0.9f);

    // An edit while comparing starts again from the stored preset.
    SetInt(Param(kSynthParamCompare), 0);
    SetFloat(Param(kSynthParamSingle, kSingleGroupFilter, cFilterParams::kFieldQ), 0.5f);
    EXPECT_FALSE(synth->IsComparing());
    EXPECT_TRUE(synth->IsModified());
    EXPECT_FLOAT_EQ(synth->GetParamFloat(Cutoff()), 0.3f);
    EXPECT_FLOAT_EQ(synth->GetEditSingle().Filter.Q, 0.5f);
}

TEST_F(SynthPresetTest, ParameterIdsAndScalings)
{
    struct cFloatCase
    {
        uint32_t id;
        float value;
        float stored;
        float (*field)(const cAnalogueSynth&);
    };
    const cFloatCase floats[] = {
        {Param(2, kSingleGroupOsc, 0, 2), 0.5f, 0.0f, [](const cAnalogueSynth& s) { return s.GetEditSingle().Osc.Osc1.Tune; }},
        {Param(2, kSingleGroupOsc, 1, 2), 1.0f, 1.0f, [](const cAnalogueSynth& s) { return s.GetEditSingle().Osc.Osc2.Tune; }},
        {Param(2, kSingleGroupOsc, 3), 0.4f, 0.2f, [](const cAnalogueSynth& s) { return s.GetEditSingle().Osc.Detune; }},
        {Param(2, kSingleGroupGlideTime), 1.0f, 5.0f, [](const cAnalogueSynth& s) { return s.GetEditSingle().GlideTime; }},
        {Param(2, kSingleGroupCD, 10), 0.25f, 0.0883883f, [](const cAnalogueSynth& s) { return s.GetEditSingle().CD.DAmount; }},
        {Param(2, kSingleGroupCD, 10), 0.75f, 0.75f, [](const cAnalogueSynth& s) { return s.GetEditSingle().CD.DAmount; }},
        {Param(2, kSingleGroupLFO1, 1), 0.5f, 2.5f, [](const cAnalogueSynth& s) { return s.GetEditSingle().LFO1.Rate; }},
        {Param(2, kSingleGroupLFO1 + 1, 4), 0.2f, 1.0f, [](const cAnalogueSynth& s) { return s.GetEditSingle().LFO2.Delay; }},
        {Param(2, kSingleGroupSample, 2), 0.7f, 0.7f, [](const cAnalogueSynth& s) { return s.GetEditSingle().Sample.Level; }},
        {Param(2, kSingleGroupAuxEnv, 4), 0.6f, 0.6f, [](const cAnalogueSynth& s) { return s.GetEditSingle().AuxEnv.Amount; }},
        {Param(2, kSingleGroupSend2), 0.4f, 0.4f, [](const cAnalogueSynth& s) { return s.GetEditSingle().Send2; }},
        {Param(2, kSingleGroupCtrl, 7), 0.8f, 0.8f, [](const cAnalogueSynth& s) { return s.GetEditSingle().Ctrl.values[7]; }},
        {Param(11, 3), 0.5f, 0.03125f, [](const cAnalogueSynth& s) { return s.GetEditSingle().CD.CRate; }},
        {Param(12), 0.3f, 0.3f, [](const cAnalogueSynth& s) { return s.GetEditSingle().Send1; }},
        {Param(14, 2), 0.9f, 0.9f, [](const cAnalogueSynth& s) { return s.GetEditSingle().WS.Drive; }},
        {Param(15, 5), 0.6f, 0.6f, [](const cAnalogueSynth& s) { return s.GetEditSingle().Ctrl.values[5]; }},
        {Param(3, kMultiGroupVol, 2), 0.4f, 0.4f, [](const cAnalogueSynth& s) { return s.GetEditMulti().layers[2].Vol; }},
        {Param(3, kMultiGroupCD, 7), 0.5f, 0.25f, [](const cAnalogueSynth& s) { return s.GetEditMulti().CD.DTime; }},
        {Param(3, kMultiGroupCtrl, 8), 0.2f, 0.2f, [](const cAnalogueSynth& s) { return s.GetEditMulti().Ctrl.values[8]; }},
    };
    for (const cFloatCase& c : floats)
    {
        SCOPED_TRACE(testing::Message() << std::hex << c.id);
        synth->SetStore(store.get());
        SetFloat(c.id, c.value);
        EXPECT_TRUE(synth->IsModified());
        EXPECT_NEAR(c.field(*synth), c.stored, 1e-6f);
        EXPECT_NEAR(synth->GetParamFloat(c.id), c.value, 1e-5f);
    }

    struct cIntCase
    {
        uint32_t id;
        int32_t value;
        int32_t (*field)(const cAnalogueSynth&);
    };
    const cIntCase ints[] = {
        {Param(2, kSingleGroupOsc, 1, 0), 14, [](const cAnalogueSynth& s) { return s.GetEditSingle().Osc.Osc2.Wave; }},
        {Param(2, kSingleGroupOsc, 0, 1), -7, [](const cAnalogueSynth& s) { return int32_t(s.GetEditSingle().Osc.Osc1.Trans); }},
        {Param(2, kSingleGroupSample, 5), 4, [](const cAnalogueSynth& s) { return s.GetEditSingle().Sample.NoteSlice; }},
        {Param(2, kSingleGroupFilter, 5), 1, [](const cAnalogueSynth& s) { return s.GetEditSingle().Filter.Track; }},
        {Param(2, kSingleGroupAmpEnv, 5), 1, [](const cAnalogueSynth& s) { return s.GetEditSingle().AmpEnv.Invert; }},
        {Param(2, kSingleGroupLFO1 + 3, 5), 2, [](const cAnalogueSynth& s) { return s.GetEditSingle().LFO4.Sync; }},
        {Param(2, kSingleGroupMod, 3, 2), -40, [](const cAnalogueSynth& s) { return s.GetEditSingle().Mod.rows[3].Amt; }},
        {Param(2, kSingleGroupPolyphony), 0, [](const cAnalogueSynth& s) { return s.GetEditSingle().Polyphony; }},
        {Param(2, kSingleGroupBendRange), 12, [](const cAnalogueSynth& s) { return s.GetEditSingle().BendRange; }},
        {Param(3, kMultiGroupIndex, 1), 0x204, [](const cAnalogueSynth& s) { return s.GetEditMulti().layers[1].Index; }},
        {Param(3, kMultiGroupKeyMax, 3), 90, [](const cAnalogueSynth& s) { return s.GetEditMulti().layers[3].KeyMax; }},
        {Param(3, kMultiGroupWS, 1), 7, [](const cAnalogueSynth& s) { return s.GetEditMulti().WS.Shape; }},
        {Param(10), 3, [](const cAnalogueSynth& s) { return s.GetEditSingle().Octave; }},
        {Param(11, 8), 5, [](const cAnalogueSynth& s) { return s.GetEditSingle().CD.DBeatTime; }},
        {Param(14, 0), 1, [](const cAnalogueSynth& s) { return s.GetEditSingle().WS.Enable; }},
        {Param(16), 2, [](const cAnalogueSynth& s) { return s.GetEditSingle().Accel; }},
    };
    for (const cIntCase& c : ints)
    {
        SCOPED_TRACE(testing::Message() << std::hex << c.id);
        synth->SetStore(store.get());
        SetInt(c.id, c.value);
        EXPECT_TRUE(synth->IsModified());
        EXPECT_EQ(c.field(*synth), c.value);
        EXPECT_EQ(synth->GetParamInt(c.id), c.value);
    }
}

// Ids that name no field read 0 and write nothing.
TEST_F(SynthPresetTest, UnknownIdsReadZero)
{
    const uint32_t unknown[] = {Param(2, 19), Param(2, kSingleGroupCtrl, 9), Param(2, kSingleGroupOsc, 5), Param(3, 11),
                                Param(3, kMultiGroupVol, 4), Param(15, 9), Param(17), Param(255), Param(9, 0, 0, 0)};
    const std::string before = Bytes(synth->GetEditSingle());
    for (uint32_t id : unknown)
    {
        SetFloat(id, 0.75f);
        SetInt(id, 3);
        EXPECT_EQ(synth->GetParamFloat(id), 0.0f) << std::hex << id;
        EXPECT_EQ(synth->GetParamInt(id), 0) << std::hex << id;
    }
    EXPECT_EQ(Bytes(synth->GetEditSingle()), before);
}

TEST_F(SynthPresetTest, OnlyEditsStartAnEdit)
{
    struct cCase
    {
        uint32_t id;
        bool edits;
    };
    const cCase cases[] = {{Param(2, kSingleGroupPolyphony), true}, {Param(3, kMultiGroupTrans, 0), true},
                           {Param(10), true},  {Param(11, 0), true},  {Param(14, 1), true},  {Param(16), true},
                           {Param(6), false},  {Param(7), false},     {Param(5), false},     {Param(9), false}};
    for (const cCase& c : cases)
    {
        synth->SetStore(store.get());
        SetInt(c.id, 0);
        EXPECT_EQ(synth->IsModified(), c.edits) << std::hex << c.id;
    }
}

TEST_F(SynthPresetTest, ModesKeepTheirOwnPresets)
{
    store->GetMulti(Id(3, 1)).Octave = 4;
    SetInt(Param(kSynthParamMultiPreset), Id(3, 1));
    EXPECT_EQ(synth->GetMode(), cAnalogueSynth::kModeSingle);
    EXPECT_EQ(Current(), 0);
    SetFloat(Cutoff(), 0.5f);
    SetInt(Param(kSynthParamMode), cAnalogueSynth::kModeMulti);
    EXPECT_EQ(synth->GetParamInt(Param(kSynthParamMode)), 1);
    EXPECT_FALSE(synth->IsModified());
    EXPECT_EQ(Current(), Id(3, 1));
    EXPECT_EQ(synth->GetParamInt(Param(kSynthParamOctave)), 4);
    cGenStringFixed<32> text;
    synth->GetPresetText(text);
    EXPECT_STREQ(text.CStr(), "D01.M301");

    // Preset events follow the mode.
    Post(kAudioEventStepPreset, 1);
    EXPECT_EQ(synth->GetMultiId(), Id(3, 2));
    EXPECT_EQ(synth->GetSingleId(), 0);

    // Back to single: the single is reloaded, its edit gone.
    SetInt(Param(kSynthParamMode), cAnalogueSynth::kModeSingle);
    EXPECT_FLOAT_EQ(synth->GetParamFloat(Cutoff()), 0.0f);
    SetInt(Param(kSynthParamMode), 5);
    EXPECT_EQ(synth->GetMode(), cAnalogueSynth::kModeSingle);
}

TEST_F(SynthPresetTest, WritingAPresetStoresTheCurrentOne)
{
    SetInt(Param(kSynthParamSinglePreset), Id(1, 1));
    synth->SetPresetName("My Lead With A Very Long Name");
    synth->SetSamplePath("User/Samples/Lead.wav");
    SetFloat(Cutoff(), 0.6f);
    EXPECT_STREQ(synth->GetEditSingle().Name, "My Lead With A Very Lon");
    SetInt(Param(kSynthParamWritePreset), Id(7, 9));
    EXPECT_FALSE(synth->IsModified());
    EXPECT_EQ(synth->GetSingleId(), Id(7, 9));
    EXPECT_STREQ(store->GetSingle(Id(7, 9)).Name, "My Lead With A Very Lon");
    EXPECT_FLOAT_EQ(store->GetSingle(Id(7, 9)).Filter.Cutoff, 0.6f);
    EXPECT_STREQ(store->GetSamplePath(Id(7, 9)).CStr(), "User/Samples/Lead.wav");
    EXPECT_STREQ(synth->GetStoredSingle().Name, "My Lead With A Very Lon");
    EXPECT_TRUE(store->IsBankModified(7));
    EXPECT_FALSE(store->IsBankModified(1));
    EXPECT_STREQ(store->GetSingle(Id(1, 1)).Name, "S101");

    SetInt(Param(kSynthParamMode), cAnalogueSynth::kModeMulti);
    synth->SetPresetName("Stack");
    synth->WritePreset(Id(5, 5));
    EXPECT_STREQ(store->GetMulti(Id(5, 5)).Name, "Stack");
    EXPECT_EQ(synth->GetMultiId(), Id(5, 5));
    EXPECT_TRUE(store->IsBankModified(5));
    EXPECT_FALSE(synth->IsModified());
}

// The sample paths chosen for the layers' sample managers.
TEST_F(SynthPresetTest, SamplesFollowTheCurrentPreset)
{
    const int32_t sampled = Id(2, 2);
    store->GetSingle(sampled).Osc.Mod = cOscSectionParams::kModeSample;
    store->SetSamplePath(sampled, "User/Samples/Choir.wav");
    store->SetSamplePath(Id(2, 3), "User/Samples/Unplayed.wav"); // oscillators play
    SetInt(Param(kSynthParamSinglePreset), sampled);
    EXPECT_STREQ(synth->GetSampleSlotPath(0).CStr(), "User/Samples/Choir.wav");
    // Switching the oscillators away from "SAMPLE" drops it.
    const uint32_t mode = Param(kSynthParamSingle, kSingleGroupOsc, cOscSectionParams::kIndexMod);
    SetInt(mode, cOscSectionParams::kModeMix);
    EXPECT_STREQ(synth->GetSampleSlotPath(0).CStr(), "");
    SetInt(mode, cOscSectionParams::kModeSample);
    EXPECT_STREQ(synth->GetSampleSlotPath(0).CStr(), "User/Samples/Choir.wav");
    synth->SetSamplePath("User/Samples/Other.wav");
    EXPECT_STREQ(synth->GetSampleSlotPath(0).CStr(), "User/Samples/Other.wav");
    EXPECT_TRUE(synth->IsModified());
    SetInt(Param(kSynthParamSinglePreset), Id(2, 3));
    EXPECT_STREQ(synth->GetSampleSlotPath(0).CStr(), "");

    // Event 14 preloads the next preset's sample in single mode only.
    Post(kAudioEventPrepareProgram, 0, sampled);
    EXPECT_STREQ(synth->GetPreviewSlotPath(0).CStr(), "User/Samples/Choir.wav");
    Post(kAudioEventPrepareProgram, 0, Id(2, 3));
    EXPECT_STREQ(synth->GetPreviewSlotPath(0).CStr(), "");

    // Multi layers take their singles' samples; a layer turned off keeps its
    // slot as it was.
    cAnalogueSynthMulti& multi = store->GetMulti(Id(0, 1));
    multi.layers[0].Index = Id(2, 3);
    multi.layers[1].Index = sampled;
    multi.layers[2].Index = sampled;
    SetInt(Param(kSynthParamMultiPreset), Id(0, 1));
    SetInt(Param(kSynthParamMode), cAnalogueSynth::kModeMulti);
    EXPECT_STREQ(synth->GetSampleSlotPath(0).CStr(), "");
    EXPECT_STREQ(synth->GetSampleSlotPath(1).CStr(), "User/Samples/Choir.wav");
    EXPECT_STREQ(synth->GetSampleSlotPath(2).CStr(), "User/Samples/Choir.wav");
    SetInt(Param(kSynthParamMulti, kMultiGroupIndex, 2), -1);
    SetInt(Param(kSynthParamMulti, kMultiGroupIndex, 1), Id(2, 3));
    EXPECT_STREQ(synth->GetSampleSlotPath(1).CStr(), "");
    EXPECT_STREQ(synth->GetSampleSlotPath(2).CStr(), "User/Samples/Choir.wav");
    Post(kAudioEventPrepareProgram, 0, sampled);
    EXPECT_STREQ(synth->GetPreviewSlotPath(0).CStr(), "");
}

// The audio thread handles preset and parameter events without allocating.
TEST_F(SynthPresetTest, EventsAllocateNothing)
{
    cMessageQueue queue;
    store->GetSingle(Id(1, 2)).Osc.Mod = cOscSectionParams::kModeSample;
    store->SetSamplePath(Id(1, 2), "User/Samples/Loop.wav");
    cAudioEvent events[] = {MakeSetFloatEvent(Cutoff(), 0.4f), MakeSetIntEvent(Param(kSynthParamCompare), 0),
                            MakeSetIntEvent(Param(kSynthParamSingle, kSingleGroupOsc, 2), 4),
                            MakeSetIntEvent(Param(kSynthParamMode), 1), MakeSetIntEvent(Param(kSynthParamMode), 0),
                            MakeSetIntEvent(Param(kSynthParamWritePreset), Id(7, 1))};
    cAudioEvent step;
    step.type = kAudioEventStepPreset;
    step.wordA = 1;
    step.flags = kAudioEventFlagReportPreset;
    cAudioEvent select;
    select.type = kAudioEventSelectPreset;
    select.wordA = 1;
    select.wordB = 2;
    cAudioEvent prepare;
    prepare.type = kAudioEventPrepareProgram;
    prepare.wordB = uint32_t(Id(1, 2));
    const auto run = [&]
    {
        for (const cAudioEvent& event : events)
            synth->HandleEvent(event);
        synth->HandleEvent(step);
        synth->HandleEvent(select);
        synth->HandleEvent(prepare);
        queue.Reset();
    };
    // The sample registry makes its table on first use, which the program
    // does long before the audio thread runs; alone, this test is its first user.
    run();
    SetCountAllocationsOnThisThread(true);
    const uint64_t before = GetCountedAllocations();
    for (int round = 0; round < 20; ++round)
        run();
    const uint64_t allocations = GetCountedAllocations() - before;
    SetCountAllocationsOnThisThread(false);
    EXPECT_EQ(allocations, 0u);
    EXPECT_STREQ(synth->GetSampleSlotPath(0).CStr(), "User/Samples/Loop.wav");
}
