#include <gtest/gtest.h>

#include <filesystem>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "SynthSoundFixture.h"
#include "audio/AudioLock.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/MIDIControllerMap.h"
#include "base/CriticalSection.h"
#include "base/SerialiseXML.h"
#include "instruments/synth/AnalogueSynthBank.h"
#include "instruments/synth/AnalogueSynthInstrument.h"
#include "instruments/synth/AnalogueSynthPackage.h"
#include "mixer/MixerChannel.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Track.h"

namespace
{
constexpr int32_t kProjectFirst = cAnalogueSynthPresetStore::kProjectBank << 8;

cAnalogueSynthInstrument& AsSynth(cInstrument* instrument) { return *static_cast<cAnalogueSynthInstrument*>(instrument); }

uint32_t SelectSingle(int32_t id) { return cPatternInstance::kProgramChangeBit | uint32_t(id); }
} // namespace

class SynthPackage : public cSynthSound
{
protected:
    cInstrument* Create(int32_t slot)
    {
        cInstrument* instrument = package->CreateInstrument(0);
        slots.SetSlot(slot, instrument, false);
        return instrument;
    }
    // A part on a new track of the slot, selecting the program.
    cPatternInstance* AddPart(int32_t slot, uint32_t programWord)
    {
        auto* track = new cTrack();
        EXPECT_GE(sequencer.InsertTrack(track, slot, -1), 0);
        cPatternInstance* part = cPatternInstance::CreateWithPrivatePattern();
        part->start = 0;
        part->length = 1024;
        part->programWord = programWord;
        track->InsertPart(part);
        return part;
    }
    void TearDown() override
    {
        sequencer.ClearSong();
        for (int32_t slot = 0; slot < cInstrumentSlotTable::kSlotCount; ++slot)
            slots.SetSlot(slot, nullptr, false);
        package.reset();
        cSynthSound::TearDown();
    }

    cInstrumentSlotTable slots;
    cSequencer sequencer;
    std::unique_ptr<cAnalogueSynthPackage> package = std::make_unique<cAnalogueSynthPackage>();
};

TEST_F(SynthPackage, NamesControllersAndDefaultAssignments)
{
    EXPECT_STREQ(package->GetName(), "Kest");
    const char* const names[] = {"Pitch Bend", "Volume", "Pan", "", "Pad1 X", "Pad1 Y", "Pad2 X", "Pad2 Y", "Knob"};
    for (int32_t i = 0; i < 9; ++i)
        EXPECT_STREQ(package->GetControllerName(i), names[i]);
    EXPECT_EQ(package->GetControllerName(9), nullptr);

    struct cRow
    {
        int32_t param, group;
        float minimum;
        int32_t centred;
    };
    const cRow rows[] = {{8, 0, 0, 0}, {4, 1, 0, 0}, {5, 1, 0, 0}, {6, 2, 0, 0},
                         {7, 2, 0, 0}, {0, 3, -32768, 1}, {1, 3, 0, 0}, {2, 3, 0, 1}};
    ASSERT_EQ(package->GetControllerParamCount(), 8);
    for (int32_t i = 0; i < 8; ++i)
    {
        SCOPED_TRACE(i);
        const cInstrumentPackage::cControllerParam* param = package->GetControllerParam(i);
        EXPECT_EQ(param->paramIndex, rows[i].param);
        EXPECT_EQ(param->laneGroup, rows[i].group);
        EXPECT_EQ(param->minimum, rows[i].minimum);
        EXPECT_EQ(param->maximum, 32767.0f);
        EXPECT_EQ(param->scale, 1.0f);
        EXPECT_EQ(param->centred, rows[i].centred);
    }

    const cMIDIControllerMap& map = *package->GetControllerMap();
    const int32_t controllers[9] = {-1, 7, 10, -1, 70, 71, 72, 73, 74};
    for (int32_t param = 0; param < 9; ++param)
        EXPECT_EQ(map.GetAssignment(param), controllers[param]) << param;
}

// The global banks come from "Doc"; a missing or damaged one leaves init
// presets, and nobody hears of it.
TEST_F(SynthPackage, GlobalBanksLoadFromTheDocumentsAtConstruction)
{
    EXPECT_STREQ(package->GetStore().GetSingle(0x0105).Name, "<EMPTY>");
    cAnalogueSynthPresetStore source;
    source.GetSingle(0x0105).SetName("Bright Lead");
    ASSERT_TRUE(SaveBank(source, 1, cGenString("Instruments/Kest/GlobalB"), nullptr, false));
    folder->Write("Instruments/Kest/GlobalC.bnk", "not a bank");
    package = std::make_unique<cAnalogueSynthPackage>();
    EXPECT_STREQ(package->GetStore().GetSingle(0x0105).Name, "Bright Lead");
    EXPECT_STREQ(package->GetStore().GetSingle(0x0205).Name, "<EMPTY>");
}

// An instrument: one strip, transposable, bound to the store; the editor
// places it keeps travel with the project.
TEST_F(SynthPackage, InstrumentsPlayTheStoreAndKeepTheirEditorPlaces)
{
    package->GetStore().GetSingle(0).SetName("First");
    package->GetStore().GetMulti(0x0102).SetName("Layers");
    cInstrument* instrument = Create(2);
    cAnalogueSynthInstrument& synth = AsSynth(instrument);
    ASSERT_EQ(instrument->GetChannelCount(), 1);
    auto* strip = dynamic_cast<cMixerChannel*>(instrument->GetChannel(0));
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->kind, cMixerChannel::kKindInstrument);
    EXPECT_FLOAT_EQ(strip->level, 2.4f);
    EXPECT_EQ(strip->outputIndex, 0);
    EXPECT_TRUE(instrument->IsTransposable());
    EXPECT_STREQ(synth.GetSynth()->GetCurrentSingle().Name, "First");
    EXPECT_STREQ(instrument->GetCurrentPresetName(), "First");
    EXPECT_STREQ(instrument->GetPresetName(1, 0x0102), "Layers");
    EXPECT_STREQ(instrument->GetPresetName(2, 0), "");
    EXPECT_EQ(instrument->GetPresetWidget(), nullptr);

    synth.topPanel.AssignCStr("Filter");
    synth.multiTab = 3;
    synth.lfoIndex = 2;
    synth.patchbayRow = 7;
    synth.patchbayPosition = 0.25f;
    const std::string text = MixerTest::SaveXML([&](Base::cSerialise& s) { instrument->Serialise(s, nullptr); });
    for (const char* key : {"TopPanel=\"Filter\"", "MLIndex=\"3\"", "LFOIndex=\"2\"", "PbyIdx=\"7\"", "PbyPos=\"0.25"})
        EXPECT_NE(text.find(key), std::string::npos) << key;
    cInstrument* copy = Create(3);
    std::string edited = text;
    edited.replace(edited.find("LFOIndex=\"2\""), 12, "LFOIndex=\"9\"");
    ASSERT_TRUE(MixerTest::LoadXML(edited, [&](Base::cSerialise& s) { copy->Serialise(s, nullptr); }));
    EXPECT_STREQ(AsSynth(copy).topPanel.CStr(), "Filter");
    EXPECT_EQ(AsSynth(copy).multiTab, 3);
    EXPECT_EQ(AsSynth(copy).lfoIndex, 3) << "held to its range";
    EXPECT_FLOAT_EQ(AsSynth(copy).patchbayPosition, 0.25f);
}

// A sample only an instrument's edit copy uses is in use.
TEST_F(SynthPackage, SamplesInAnEditCopyAreInUse)
{
    cInstrument* instrument = Create(0);
    cAnalogueSynth& synth = *AsSynth(instrument).GetSynth();
    const cGenString path("User/Samples/Edit.wav");
    EXPECT_FALSE(package->IsSampleInUse(path));
    synth.SetSamplePath(path);
    EXPECT_TRUE(package->IsSampleInUse(cGenString("user/samples/EDIT.wav")));
    EXPECT_FALSE(package->GetStore().IsSampleInUse(path));
    SetInt(synth, MakeSynthParamId(kSynthParamCompare), 0);
    synth.DrainEvents();
    EXPECT_FALSE(package->IsSampleInUse(path)) << "comparing plays the stored preset";
    package->GetStore().SetSamplePath(0x0304, path);
    EXPECT_TRUE(package->IsSampleInUse(path));
    EXPECT_FALSE(package->IsSampleInUse(cGenString("")));
}

// After a project load each edited instrument's edit is written: over its
// own preset when no one else plays it, else into a free project slot,
// taking its parts along.
TEST_F(SynthPackage, ExportMapApplyCommitsEditsWithoutTakingSharedPresets)
{
    cAnalogueSynthPresetStore& store = package->GetStore();
    const int32_t shared = 0x0003, own = 0x0205;
    store.GetSingle(shared).SetName("Shared");
    store.GetSingle(own).SetName("Own");
    store.GetSingle(kProjectFirst).SetName("Taken"); // a part selects it
    cInstrument* edited = Create(2);
    cInstrument* other = Create(3);
    cInstrument* alone = Create(4);
    SetInt(*AsSynth(edited).GetSynth(), MakeSynthParamId(kSynthParamSinglePreset), shared);
    SetInt(*AsSynth(other).GetSynth(), MakeSynthParamId(kSynthParamSinglePreset), shared);
    SetInt(*AsSynth(alone).GetSynth(), MakeSynthParamId(kSynthParamSinglePreset), own);
    const uint32_t cutoff = SingleId(kSingleGroupFilter, cFilterParams::kFieldCutoff);
    SetFloat(*AsSynth(edited).GetSynth(), cutoff, 0.25f);
    SetFloat(*AsSynth(alone).GetSynth(), cutoff, 0.75f);
    for (cInstrument* instrument : {edited, other, alone})
        AsSynth(instrument).GetSynth()->DrainEvents();
    cPatternInstance* editedPart = AddPart(2, SelectSingle(shared));
    cPatternInstance* otherPart = AddPart(3, SelectSingle(shared));
    AddPart(3, SelectSingle(kProjectFirst));
    store.SetBankModified(2, false);

    package->ExportMapApply();

    const cAnalogueSynth& moved = *AsSynth(edited).GetSynth();
    EXPECT_EQ(moved.GetSingleId(), kProjectFirst + 1);
    EXPECT_FALSE(moved.IsModified());
    EXPECT_FLOAT_EQ(store.GetSingle(kProjectFirst + 1).Filter.Cutoff, 0.25f);
    EXPECT_STREQ(store.GetSingle(kProjectFirst).Name, "Taken");
    EXPECT_EQ(editedPart->programWord, SelectSingle(kProjectFirst + 1));
    EXPECT_EQ(otherPart->programWord, SelectSingle(shared));
    EXPECT_EQ(AsSynth(other).GetSynth()->GetSingleId(), shared);
    EXPECT_FLOAT_EQ(store.GetSingle(shared).Filter.Cutoff, cFilterParams().Cutoff);

    const cAnalogueSynth& written = *AsSynth(alone).GetSynth();
    EXPECT_EQ(written.GetSingleId(), own);
    EXPECT_FALSE(written.IsModified());
    EXPECT_FLOAT_EQ(store.GetSingle(own).Filter.Cutoff, 0.75f);
    EXPECT_TRUE(store.IsBankModified(2)) << "saved with the next project save";
}

// The project bank is written under its normal name, an auto-save too, and
// so is every global bank with changes.
TEST_F(SynthPackage, ProjectDataKeepsTheProjectBankUnderItsNormalName)
{
    cAnalogueSynthPresetStore& store = package->GetStore();
    store.GetSingle(kProjectFirst + 4).SetName("Project Pad");
    store.GetSingle(0x0101).SetName("Edited Global");
    store.SetBankModified(1, true);
    const cGenString folderPath("User/Projects/Song.prj");
    ASSERT_TRUE(package->SaveProjectData(folderPath, nullptr, true));
    EXPECT_TRUE(folder->Exists("User/Projects/Song.prj/Kest.bnk"));
    EXPECT_FALSE(folder->Exists("User/Projects/Song.prj/Kest.bnk.as"));
    EXPECT_TRUE(folder->Exists("Instruments/Kest/GlobalB.bnk"));
    EXPECT_FALSE(folder->Exists("Instruments/Kest/GlobalA.bnk"));
    EXPECT_FALSE(store.IsBankModified(1));

    store.ClearProjectBank();
    cGenStringFixed<256> error;
    ASSERT_TRUE(package->LoadProjectData(folderPath, nullptr, 3, error)) << error.CStr();
    EXPECT_STREQ(store.GetSingle(kProjectFirst + 4).Name, "Project Pad");

    // A project bank that cannot be written fails the save.
    folder->Write("User/Projects/Blocked.prj", "a file, not a folder");
    EXPECT_FALSE(package->SaveProjectData(cGenString("User/Projects/Blocked.prj"), nullptr, false));
}

// A damaged or missing project bank is refused with its own fault and the
// bank's name, and nothing of the bank loaded before stays in its place.
TEST_F(SynthPackage, AProjectBankThatDoesNotLoadSaysWhyAndLeavesTheBankEmpty)
{
    cAnalogueSynthPresetStore& store = package->GetStore();
    const cGenString folderPath("User/Projects/Song.prj");
    const struct
    {
        const char* what;
        const char* bytes; // null: no bank file at all
        const char* error;
    } cases[] = {
        {"damaged", "\xff\xff\xff\x7fgarbage",
         "Couldn't load the sound bank 'Kest.bnk': Kest bank file is not the expected size."},
        {"missing", nullptr, "Couldn't load the sound bank 'Kest.bnk': Bank file missing."},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        store.GetSingle(kProjectFirst + 4).SetName("Earlier Project");
        std::filesystem::remove_all(folder->Doc("User/Projects/Song.prj"));
        if (c.bytes)
            folder->Write("User/Projects/Song.prj/Kest.bnk", c.bytes);
        cGenStringFixed<256> error;
        EXPECT_FALSE(package->LoadProjectData(folderPath, nullptr, 1, error));
        EXPECT_STREQ(error.CStr(), c.error);
        EXPECT_STRNE(store.GetSingle(kProjectFirst + 4).Name, "Earlier Project");
    }
}

// A new project empties the project bank; the instruments reload from the
// store. This, and committing edits after a load, changes what the audio
// thread plays: both wait for the audio manager's lock.
TEST_F(SynthPackage, ReloadAndApplyWaitForTheAudioLock)
{
    cAnalogueSynthPresetStore& store = package->GetStore();
    cInstrument* instrument = Create(0);
    cAnalogueSynth& synth = *AsSynth(instrument).GetSynth();
    struct cCase
    {
        const char* what;
        std::function<void()> prepare;
        std::function<void()> write;
        std::function<bool()> untouched;
        std::function<bool()> written;
    };
    const cCase cases[] = {
        {"reload",
         [&] {
             store.GetSingle(kProjectFirst).SetName("Project");
             SetInt(synth, MakeSynthParamId(kSynthParamSinglePreset), kProjectFirst);
             synth.DrainEvents();
         },
         [&] { package->Reload(); },
         [&] {
             return std::string(store.GetSingle(kProjectFirst).Name) == "Project" &&
                    std::string(synth.GetCurrentSingle().Name) == "Project";
         },
         [&] {
             return std::string(store.GetSingle(kProjectFirst).Name) == "<EMPTY>" &&
                    std::string(synth.GetCurrentSingle().Name) == "<EMPTY>";
         }},
        {"apply",
         [&] {
             SetFloat(synth, SingleId(kSingleGroupFilter, cFilterParams::kFieldCutoff), 0.5f);
             synth.DrainEvents();
         },
         [&] { package->ExportMapApply(); },
         [&] { return store.GetSingle(kProjectFirst).Filter.Cutoff != 0.5f && synth.IsModified(); },
         [&] { return store.GetSingle(kProjectFirst).Filter.Cutoff == 0.5f && !synth.IsModified(); }},
    };
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        c.prepare();
        std::thread writer;
        {
            cScopedLock audioThread(manager->GetLock());
            writer = std::thread(c.write);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            EXPECT_TRUE(c.untouched());
        }
        writer.join();
        EXPECT_TRUE(c.written());
    }
}
