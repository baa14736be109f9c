#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "PresetFixtures.h"
#include "SynthModuleFixture.h"
#include "base/Base64.h"
#include "base/CriticalSection.h"
#include "base/SerialiseXML.h"
#include "instruments/synth/EditPresetData.h"
#include "mixer/MixerTestUtil.h"
#include "project/SampleRelocator.h"

namespace
{
using tBody = std::function<void(Base::cSerialise&)>;

// A project file of the given version holding the module's element "AM".
std::string SaveProject(float version, const tBody& body)
{
    File::cFileMemoryWrite stream;
    Base::cSerialiseXML serialiser(version, &stream, 0);
    serialiser.Begin();
    serialiser.BeginNode("AM", true);
    body(serialiser);
    serialiser.EndNode("AM");
    serialiser.End();
    return std::string(reinterpret_cast<const char*>(stream.GetData()), size_t(stream.GetLength()));
}

void LoadProject(const std::string& text, const tBody& body)
{
    File::cFileMemoryRead stream(reinterpret_cast<const uint8_t*>(text.data()), int(text.size()));
    Base::cSerialiseXML serialiser(6.0f, &stream, 0);
    ASSERT_TRUE(serialiser.Begin());
    ASSERT_TRUE(serialiser.BeginNode("AM", true));
    body(serialiser);
    serialiser.EndNode("AM");
    serialiser.End();
}

// The module's keys written directly, as an older or a damaged file has them.
std::string ProjectWith(float version, int32_t singleId, int32_t multiId, bool modified, const std::string* edits)
{
    return SaveProject(version, [&](Base::cSerialise& s) {
        cGenStringFixed<16> mode("Multi");
        s.SerialiseGenString("Mode", &mode);
        s.SerialiseInt32("SingleI", &singleId, INT32_MIN, INT32_MAX);
        s.SerialiseInt32("MultiI", &multiId, INT32_MIN, INT32_MAX);
        bool compare = modified;
        s.SerialiseBool("Modified", &modified);
        s.SerialiseBool("Compare", &compare);
        if (edits)
        {
            cGenString text = cGenString::ConstructGrowableCopy(edits->c_str());
            s.SerialiseGenString("EditPresetData", &text);
        }
    });
}

std::string Base64(const std::string& bytes)
{
    std::vector<uint8_t> text;
    Base64Encode(reinterpret_cast<const uint8_t*>(bytes.data()), int32_t(bytes.size()), text);
    return std::string(text.begin(), text.end() - 1);
}

class EditPresetDataTest : public testing::Test, public cSynthModuleFixture
{
protected:
    std::string Save(cAnalogueSynth& module, cSampleRelocator* relocator = nullptr)
    {
        return SaveProject(6.0f, [&](Base::cSerialise& s) { EXPECT_TRUE(module.Serialise(s, nullptr, relocator)); });
    }
    void Load(cAnalogueSynth& module, const std::string& text, cSampleRelocator* relocator = nullptr)
    {
        LoadProject(text, [&](Base::cSerialise& s) { EXPECT_TRUE(module.Serialise(s, nullptr, relocator)); });
    }
    cAnalogueSynth& Fresh()
    {
        other = std::make_unique<cAnalogueSynth>(nullptr);
        other->SetStore(store.get());
        return *other;
    }
    std::string Bytes(const cAnalogueSynthSingle& single)
    {
        cAnalogueSynthSingle copy = single;
        return WriteRecord(copy);
    }

    std::unique_ptr<cAnalogueSynth> other;
};
} // namespace

TEST_F(EditPresetDataTest, EditsTravelWithTheProject)
{
    SetInt(MakeSynthParamId(kSynthParamSinglePreset), Id(3, 12));
    SetFloat(MakeSynthParamId(kSynthParamSingle, kSingleGroupFilter, cFilterParams::kFieldCutoff), 0.45f);
    synth->SetPresetName("Edited");
    synth->SetSamplePath("User/Samples/Edit.wav");
    SetInt(MakeSynthParamId(kSynthParamMulti, kMultiGroupTrans, 2), 5);
    SetInt(MakeSynthParamId(kSynthParamCompare), 0);
    const std::string saved = Save(*synth);
    EXPECT_NE(saved.find("EditPresetData=\""), std::string::npos);
    EXPECT_NE(saved.find("Mode=\"Single\""), std::string::npos);

    cAnalogueSynth& loaded = Fresh();
    Load(loaded, saved);
    EXPECT_EQ(loaded.GetSingleId(), Id(3, 12));
    EXPECT_TRUE(loaded.IsModified());
    EXPECT_TRUE(loaded.IsComparing());
    EXPECT_EQ(Bytes(loaded.GetEditSingle()), Bytes(synth->GetEditSingle()));
    EXPECT_STREQ(loaded.GetEditSingle().Name, "Edited");
    EXPECT_STREQ(loaded.GetEditSamplePath().CStr(), "User/Samples/Edit.wav");
    EXPECT_EQ(loaded.GetEditMulti().layers[2].Trans, 5);
    EXPECT_STREQ(loaded.GetStoredSingle().Name, "S30C");
    // Saved again, the module's element is the same text.
    EXPECT_EQ(Save(loaded), saved);
}

TEST_F(EditPresetDataTest, AnUneditedModuleSavesNoEdits)
{
    SetInt(MakeSynthParamId(kSynthParamSinglePreset), Id(5, 1));
    const std::string saved = Save(*synth);
    EXPECT_EQ(saved.find("EditPresetData"), std::string::npos);
    cAnalogueSynth& loaded = Fresh();
    Load(loaded, saved);
    EXPECT_EQ(loaded.GetSingleId(), Id(5, 1));
    EXPECT_FALSE(loaded.IsModified());
    EXPECT_STREQ(loaded.GetEditSingle().Name, "S501");
}

// Whatever mode was saved, the module comes back in single mode; "MultiI"
// still names the multi.
TEST_F(EditPresetDataTest, AMultiModeProjectComesBackInSingleMode)
{
    SetInt(MakeSynthParamId(kSynthParamMultiPreset), Id(4, 4));
    SetInt(MakeSynthParamId(kSynthParamMode), cAnalogueSynth::kModeMulti);
    const std::string saved = Save(*synth);
    EXPECT_NE(saved.find("Mode=\"Single\""), std::string::npos);
    EXPECT_EQ(synth->GetMode(), cAnalogueSynth::kModeSingle);
    cAnalogueSynth& loaded = Fresh();
    Load(loaded, ProjectWith(6.0f, Id(0, 2), Id(4, 4), false, nullptr));
    EXPECT_EQ(loaded.GetMode(), cAnalogueSynth::kModeSingle);
    EXPECT_EQ(loaded.GetMultiId(), Id(4, 4));
    EXPECT_STREQ(loaded.GetStoredMulti().Name, "M404");
}

// Before version 6.0 projects kept their own presets in bank 3.
TEST_F(EditPresetDataTest, OlderProjectsFindTheirPresetsInTheProjectBank)
{
    struct cCase
    {
        float version;
        int32_t single;
        int32_t expectedSingle;
        int32_t expectedMulti;
    };
    const cCase cases[] = {{5.0f, Id(3, 9), Id(7, 9), 0},
                           {5.0f, Id(2, 9), Id(2, 9), 0},
                           {6.0f, Id(3, 9), Id(3, 9), Id(1, 1)}};
    for (const cCase& c : cases)
    {
        cAnalogueSynth& loaded = Fresh();
        Load(loaded, ProjectWith(c.version, c.single, Id(1, 1), false, nullptr));
        EXPECT_EQ(loaded.GetSingleId(), c.expectedSingle) << c.version;
        EXPECT_EQ(loaded.GetMultiId(), c.expectedMulti) << c.version;
    }
}

// Edit data that cannot be read whole leaves the stored preset playing, with
// the edit flags cleared, instead of a half-read edit copy.
TEST_F(EditPresetDataTest, UnreadableEditsFallBackToTheStoredPreset)
{
    cEditPresetData edits;
    edits.single.SetName("Half");
    const std::vector<uint8_t> block = edits.Write(6);
    const std::string whole(block.begin(), block.end());
    std::string badMarker = whole;
    badMarker[badMarker.size() - 236] = 0;
    const std::string cases[] = {Base64(whole.substr(0, 300)), Base64(whole.substr(0, whole.size() - 1)),
                                 Base64(badMarker), "", "!!!!"};
    for (const std::string& text : cases)
    {
        cAnalogueSynth& loaded = Fresh();
        Load(loaded, ProjectWith(6.0f, Id(1, 3), 0, true, &text));
        EXPECT_FALSE(loaded.IsModified());
        EXPECT_FALSE(loaded.IsComparing());
        EXPECT_STREQ(loaded.GetEditSingle().Name, "S103");
        EXPECT_EQ(Bytes(loaded.GetEditSingle()), Bytes(loaded.GetStoredSingle()));
    }
    // Missing altogether.
    cAnalogueSynth& loaded = Fresh();
    Load(loaded, ProjectWith(6.0f, Id(1, 3), 0, true, nullptr));
    EXPECT_FALSE(loaded.IsModified());
    EXPECT_STREQ(loaded.GetEditSingle().Name, "S103");

    // The whole block reads.
    const std::string good = Base64(whole);
    Load(loaded, ProjectWith(6.0f, Id(1, 3), 0, true, &good));
    EXPECT_TRUE(loaded.IsModified());
    EXPECT_STREQ(loaded.GetEditSingle().Name, "Half");
}

// Edit data of projects older than version 3 holds legacy records of patch
// version 1, of later ones patch version 2.
TEST_F(EditPresetDataTest, LegacyEditDataReadsByTheProjectsVersion)
{
    cAnalogueSynthSingle single;
    single.SetName("Old Edit");
    single.CD.DAmount = 0.5f;
    cAnalogueSynthMulti multi;
    multi.Octave = 2;
    const std::string block =
        EncodeSingle(single, true) + cBytes().String("User/Samples/Old.wav").bytes + EncodeMulti(multi, true);
    const std::string text = Base64(block);
    for (float version : {2.0f, 3.0f})
    {
        cAnalogueSynth& loaded = Fresh();
        Load(loaded, ProjectWith(version, Id(2, 2), 0, true, &text));
        ASSERT_TRUE(loaded.IsModified()) << version;
        EXPECT_STREQ(loaded.GetEditSingle().Name, "Old Edit");
        EXPECT_FLOAT_EQ(loaded.GetEditSingle().CD.DAmount, version < 3.0f ? 0.25f : 0.5f);
        EXPECT_STREQ(loaded.GetEditSamplePath().CStr(), "User/Samples/Old.wav");
        EXPECT_EQ(loaded.GetEditMulti().Octave, 2);
    }
}

// "SingleI" and the edit multi's layers are saved under their exported ids;
// the edit sample path is relocated and stored relative to the project.
TEST_F(EditPresetDataTest, SavedIdsAndPathsFollowTheExport)
{
    SetInt(MakeSynthParamId(kSynthParamSinglePreset), Id(2, 8));
    SetInt(MakeSynthParamId(kSynthParamMulti, kMultiGroupIndex, 1), Id(2, 8));
    synth->SetSamplePath("User/Samples/Loop.wav");
    store->ExportMapCollect();
    store->AddUsedPreset(Id(2, 8), 0);
    store->ExportMapFinalize();

    class cMoveInto : public cSampleRelocator
    {
    public:
        cMoveInto() : cSampleRelocator("User/Projects/Out.prj", false) {}
        void Relocate(cGenString& path) override { path.AssignCStr("User/Projects/Out.prj/Loop.wav"); }
    } relocator;
    const std::string saved = Save(*synth, &relocator);
    EXPECT_NE(saved.find("SingleI=\"1792\""), std::string::npos) << saved; // 0x700
    EXPECT_STREQ(synth->GetEditSamplePath().CStr(), "User/Projects/Out.prj/Loop.wav");

    store->ExportMapBegin();
    cAnalogueSynth& loaded = Fresh();
    cSampleRelocator reader("User/Projects/Out.prj", false);
    Load(loaded, saved, &reader);
    EXPECT_EQ(loaded.GetSingleId(), Id(7, 0));
    EXPECT_EQ(loaded.GetEditMulti().layers[1].Index, Id(7, 0));
    EXPECT_STREQ(loaded.GetEditSamplePath().CStr(), "User/Projects/Out.prj/Loop.wav");
    cSampleRelocator elsewhere("User/Projects/Copy.prj", false);
    Load(loaded, saved, &elsewhere);
    EXPECT_STREQ(loaded.GetEditSamplePath().CStr(), "User/Projects/Copy.prj/Loop.wav");
}

// The editor's direct writes wait for the audio manager's lock, which the
// audio thread holds while it renders from the records.
TEST_F(EditPresetDataTest, DirectWritesWaitForTheAudioLock)
{
    auto manager = MixerTest::MakePausedAudioManager();
    ASSERT_NE(manager, nullptr);
    struct cCase
    {
        const char* what;
        std::function<void()> write;
        std::function<bool()> written;
    };
    const cCase cases[] = {
        {"name", [&] { synth->SetPresetName("Renamed"); },
         [&] { return std::string(synth->GetEditSingle().Name) == "Renamed"; }},
        {"sample path", [&] { synth->SetSamplePath("User/Samples/New.wav"); },
         [&] { return std::string(synth->GetEditSamplePath().CStr()) == "User/Samples/New.wav"; }},
        {"write preset", [&] { synth->WritePreset(Id(6, 6)); }, [&] { return synth->GetSingleId() == Id(6, 6); }},
        {"load", [&] { Load(*synth, ProjectWith(6.0f, Id(6, 7), 0, false, nullptr)); },
         [&] { return synth->GetSingleId() == Id(6, 7); }},
    };
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        std::thread writer;
        {
            cScopedLock audioThread(manager->GetLock());
            writer = std::thread(c.write);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            EXPECT_FALSE(c.written());
        }
        writer.join();
        EXPECT_TRUE(c.written());
    }
}
