#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <unistd.h>
#include <vector>

#include "PadTestSupport.h"
#include "audio/SampleRegistry.h"
#include "base/StatusText.h"

using namespace PadTest;

namespace
{
// A rig whose pads 0..2 play samples from "User/Samples" with settings of
// every kind, on all three buses, in a hat choke group.
class cBankRig : public cPadRig
{
public:
    cBankRig()
    {
        folder.Write("User/Samples/Kick.wav", LevelWav(6000, 0.5f));
        folder.Write("User/Samples/Snare 2.wav", LevelWav(5000, 0.25f));
        folder.Write("User/Samples/Hat.wav", LevelWav(3000, 0.125f));
        std::filesystem::create_directories(folder.Doc("User/VRX Banks"));
        std::filesystem::create_directories(folder.Doc("User/Projects/Song.prj"));
        SetUpPad(0, "User/Samples/Kick.wav", [](cTriggerPadData& pad) {
            pad.volume = 0.75f;
            pad.transpose = -3;
        });
        SetUpPad(1, "User/Samples/Snare 2.wav", [](cTriggerPadData& pad) {
            pad.pan = 0.25f;
            pad.bus = 1;
            pad.direction = cTriggerPadData::kDirectionForwardReverse;
            pad.triggerMode = cTriggerPadData::kHold;
            pad.ampEnvelope.R = 0.5f;
        });
        SetUpPad(2, "User/Samples/Hat.wav", [](cTriggerPadData& pad) {
            pad.bus = 2;
            pad.chokeGroup = 1;
            pad.fineTune = 25;
            pad.triggerMode = cTriggerPadData::kLoop;
        });
        Post(MakeSetIntEvent(cTriggerPad::MakeSetId(cTriggerPadSet::MakeAddress(cTriggerPadSet::kKindMuteWord, 0, 0)),
                             0x0104));
        Post(ModuleParam(cTriggerPad::kParamBus2Send1, 0.5f));
        Post(ModuleParam(cTriggerPad::kParamBus3Cutoff, 0.25f));
        Post(MakeSetIntEvent(cTriggerPad::MakeSetId(OutputAddress(2, cTriggerPadOutput::kParamEnable)), 1));
        Post(MakeSetIntEvent(cTriggerPad::MakeSetId(OutputAddress(2, cTriggerPadOutput::kParamType)), 3));
        Render(0);
        EXPECT_TRUE(pads.LoadSamples(true));
    }

    template <class tEdit>
    void SetUpPad(int32_t pad, const char* path, tEdit edit)
    {
        cTriggerPadData record;
        record.samplePath = path;
        edit(record);
        pads.SetPad(pad, record);
    }

    std::string Package(const std::string& bank) { return folder.Read("User/VRX Banks/" + bank + "/Package.vrx"); }
};

void ExpectSameSet(const cTriggerPadSet& a, const cTriggerPadSet& b)
{
    EXPECT_EQ(a.mute, b.mute);
    for (int32_t i = 0; i < cTriggerPadSet::kPadCount; ++i)
    {
        const cTriggerPadData& x = a.pads[i];
        const cTriggerPadData& y = b.pads[i];
        EXPECT_EQ(x.volume, y.volume) << i;
        EXPECT_EQ(x.pan, y.pan) << i;
        EXPECT_EQ(x.transpose, y.transpose) << i;
        EXPECT_EQ(x.fineTune, y.fineTune) << i;
        EXPECT_EQ(x.bus, y.bus) << i;
        EXPECT_EQ(x.chokeGroup, y.chokeGroup) << i;
        EXPECT_EQ(x.direction, y.direction) << i;
        EXPECT_EQ(x.triggerMode, y.triggerMode) << i;
        EXPECT_EQ(x.ampEnvelope.Flags, y.ampEnvelope.Flags) << i;
        EXPECT_EQ(x.ampEnvelope.R, y.ampEnvelope.R) << i;
        EXPECT_STREQ(x.name.CStr(), y.name.CStr()) << i;
    }
    for (int32_t i = 0; i < cTriggerPadSet::kOutputCount; ++i)
    {
        EXPECT_EQ(a.outputs[i].rev, b.outputs[i].rev) << i;
        EXPECT_EQ(a.outputs[i].del, b.outputs[i].del) << i;
        EXPECT_EQ(a.outputs[i].filter.enable, b.outputs[i].filter.enable) << i;
        EXPECT_EQ(a.outputs[i].filter.type, b.outputs[i].filter.type) << i;
        EXPECT_EQ(a.outputs[i].filter.cutoff, b.outputs[i].filter.cutoff) << i;
    }
}

const char* kBank = "User/VRX Banks/Live.vrx";
} // namespace

// "Package.vrx": "Root" with "FileVersion" and "Mute", then Pad0..Pad15 with
// their keys in order and an "AmpEnv" each, then Out0..Out2. The samples lie
// beside it and are stored by their bare names; the pads in memory keep
// their own paths.
TEST(TriggerPadBank, APackageHoldsItsSetAndItsSamplesAsLaidDown)
{
    cBankRig rig;
    ASSERT_TRUE(rig.pads.SaveBank(cGenString(kBank)));
    const std::string xml = rig.Package("Live.vrx");
    EXPECT_TRUE(std::regex_search(xml, std::regex("^<Root FileVersion=\"1\\.0+\" Mute=\"260\">"))) << xml;
    size_t last = 0;
    for (int32_t i = 0; i < 16; ++i)
    {
        const size_t at = xml.find("<Pad" + std::to_string(i) + " ");
        ASSERT_NE(at, std::string::npos) << i;
        EXPECT_GT(at, last);
        last = at;
    }
    for (int32_t i = 0; i < 3; ++i)
    {
        const size_t at = xml.find("<Out" + std::to_string(i) + " ");
        ASSERT_NE(at, std::string::npos) << i;
        EXPECT_GT(at, last);
        last = at;
    }
    EXPECT_TRUE(std::regex_search(xml, std::regex("<Pad1 Nam=\"Snare 2.wav\" Vol=\"[0-9.]+\" Pan=\"0\\.250*\" Tps=\"0\" "
                                                  "Pit=\"0\" Bus=\"1\" Grp=\"0\" Sta=\"0\" End=\"4999\" "
                                                  "Dir=\"Fwd-Rev\" Vrx=\"Hold\">\\s*<AmpEnv ")));
    EXPECT_NE(xml.find("<Pad2 Nam=\"Hat.wav\""), std::string::npos);
    EXPECT_NE(xml.find("Vrx=\"Loop\""), std::string::npos);
    EXPECT_NE(xml.find("<Pad3 Nam=\"\""), std::string::npos);
    EXPECT_TRUE(std::regex_search(xml, std::regex("<Out0 Rev=\"0\\.0+\" Del=\"0\\.0+\" Enable=\"0\" Type=\"LP\" "
                                                  "Cutoff=\"0\\.0+\" Q=\"0\\.0+\"")));
    EXPECT_TRUE(std::regex_search(xml, std::regex("<Out1 Rev=\"0\\.50*\"")));
    EXPECT_TRUE(std::regex_search(xml, std::regex("<Out2 [^>]*Enable=\"1\" Type=\"HP\" Cutoff=\"0\\.250*\"")));
    for (const char* sample : {"Kick.wav", "Snare 2.wav", "Hat.wav"})
        EXPECT_EQ(rig.folder.Read(std::string(kBank) + "/" + sample), rig.folder.Read(std::string("User/Samples/") + sample));
    EXPECT_STREQ(rig.pads.GetActiveSet().pads[1].samplePath.CStr(), "User/Samples/Snare 2.wav");
    EXPECT_FALSE(rig.folder.Exists("User/VRX Banks/Live.vrx.tmp"));
    cGenString status;
    GetStatusText(status);
    EXPECT_STREQ(status.CStr(), "Copying samples");
}

// A saved bank loads back to the same set, its pads pointing into the
// package and playing their whole samples.
TEST(TriggerPadBank, ASavedBankLoadsBackToTheSameSet)
{
    cBankRig rig;
    ASSERT_TRUE(rig.pads.SaveBank(cGenString(kBank)));
    cTriggerPadSet saved = rig.pads.GetActiveSet();
    cMorePads other;
    const int32_t before = other.pads.GetActiveSetIndex();
    ASSERT_TRUE(other.pads.LoadBank(cGenString("User/Projects/Song.prj"), cGenString(kBank), false));
    EXPECT_NE(other.pads.GetActiveSetIndex(), before);
    ExpectSameSet(saved, other.pads.GetActiveSet());
    EXPECT_STREQ(other.pads.GetActiveSet().pads[2].samplePath.CStr(), "User/VRX Banks/Live.vrx/Hat.wav");
    EXPECT_NE(other.pads.GetSample(2), nullptr);
    EXPECT_EQ(other.pads.GetParamValue(cTriggerPad::kParamBus2Send1), 0.5f);
    EXPECT_EQ(other.pads.GetParamValue(cTriggerPad::kParamBus3Cutoff), 0.25f);
    cGenString status;
    GetStatusText(status);
    EXPECT_STREQ(status.CStr(), "Loading 'Hat.wav'");
}

// A load without copying plays every pad's whole sample, whatever "Sta" and
// "End" say; a copying load points every pad at its copy in the project.
TEST(TriggerPadBank, LoadsResetRangesAndCopyingLoadsPlayTheCopies)
{
    cBankRig rig;
    rig.SetPadInt(0, cTriggerPadData::kParamStart, 100);
    rig.SetPadInt(0, cTriggerPadData::kParamEnd, 2000);
    rig.Render(0);
    ASSERT_TRUE(rig.pads.SaveBank(cGenString(kBank)));
    EXPECT_NE(rig.Package("Live.vrx").find("Sta=\"100\" End=\"2000\""), std::string::npos);

    cMorePads plain;
    ASSERT_TRUE(plain.pads.LoadBank(cGenString(""), cGenString(kBank), false));
    EXPECT_EQ(plain.pads.GetActiveSet().pads[0].start, 0);
    EXPECT_EQ(plain.pads.GetActiveSet().pads[0].end, 5999);

    cMorePads copying;
    ASSERT_TRUE(copying.pads.LoadBank(cGenString("User/Projects/Song.prj"), cGenString(kBank), true));
    for (const char* name : {"Kick", "Snare 2", "Hat"})
    {
        const std::string copy = std::string("User/Projects/Song.prj/") + name + ".wav";
        EXPECT_TRUE(rig.folder.Exists(copy)) << copy;
        EXPECT_TRUE(copying.pads.IsSampleInUse(cGenString(copy.c_str()))) << copy;
    }
    EXPECT_EQ(copying.pads.GetActiveSet().pads[0].end, 5999);
    EXPECT_NE(copying.pads.GetSample(1), nullptr);
}

// Saving Live.vrx over Live.vrx and Live.bak.vrx: the older backup goes, the
// bank it replaces becomes Live.bak.vrx (itself a package) and a folder
// named Live.vrx.tmp (a crash's leftover or the user's) is neither mixed into
// the new one nor touched.
TEST(TriggerPadBank, SavingOverABankKeepsThePreviousOneAsItsBackup)
{
    cBankRig rig;
    rig.folder.Write("User/VRX Banks/Live.vrx/Package.vrx", "<Root FileVersion=\"1.0\" Mute=\"7\"/>");
    rig.folder.Write("User/VRX Banks/Live.bak.vrx/Package.vrx", "older");
    rig.folder.Write("User/VRX Banks/Live.vrx.tmp/Stray.wav", "left by a crash");
    ASSERT_TRUE(rig.pads.SaveBank(cGenString(kBank)));
    EXPECT_EQ(rig.folder.Read("User/VRX Banks/Live.bak.vrx/Package.vrx"), "<Root FileVersion=\"1.0\" Mute=\"7\"/>");
    EXPECT_FALSE(rig.folder.Exists("User/VRX Banks/Live.vrx.bak"));
    EXPECT_EQ(rig.folder.Read("User/VRX Banks/Live.vrx.tmp/Stray.wav"), "left by a crash");
    EXPECT_FALSE(rig.folder.Exists("User/VRX Banks/Live.vrx/Stray.wav"));
    EXPECT_TRUE(rig.folder.Exists("User/VRX Banks/Live.vrx/Kick.wav"));
    cMorePads backup;
    EXPECT_TRUE(backup.pads.LoadBank(cGenString(""), cGenString("User/VRX Banks/Live.bak.vrx"), false));
    EXPECT_EQ(backup.pads.GetActiveSet().mute, 7u);
}

// The same outside "User/VRX Banks", and a link named like the temporary is
// never followed: the folder it names stays empty.
TEST(TriggerPadBank, ALeftoverTemporaryFolderAnywhereIsLeftAloneAndNeverMixesIn)
{
    cBankRig rig;
    rig.folder.Write("User/Elsewhere/Mine.vrx.tmp/Stray.wav", "left by a crash");
    std::filesystem::create_directories(rig.folder.Doc("../Outside"));
    ASSERT_EQ(symlink(rig.folder.Doc("../Outside").c_str(), rig.folder.Doc("User/Elsewhere/Yours.vrx.tmp").c_str()), 0);
    ASSERT_TRUE(rig.pads.SaveBank(cGenString("User/Elsewhere/Mine.vrx")));
    ASSERT_TRUE(rig.pads.SaveBank(cGenString("User/Elsewhere/Yours.vrx")));
    EXPECT_FALSE(rig.folder.Exists("User/Elsewhere/Mine.vrx/Stray.wav"));
    EXPECT_TRUE(rig.folder.Exists("User/Elsewhere/Mine.vrx/Hat.wav"));
    EXPECT_TRUE(rig.folder.Exists("User/Elsewhere/Yours.vrx/Package.vrx"));
    EXPECT_EQ(rig.folder.Read("User/Elsewhere/Mine.vrx.tmp/Stray.wav"), "left by a crash");
    EXPECT_TRUE(std::filesystem::is_symlink(rig.folder.Doc("User/Elsewhere/Yours.vrx.tmp")));
    EXPECT_TRUE(std::filesystem::is_empty(rig.folder.Doc("../Outside")));
}

// A sample that cannot be copied fails the save: nothing is committed, the
// temporary folder goes and the previous package stays whole.
TEST(TriggerPadBank, ASaveWhoseSampleCannotBeCopiedFailsAndKeepsThePreviousPackage)
{
    cBankRig rig;
    ASSERT_TRUE(rig.pads.SaveBank(cGenString(kBank)));
    const std::string previous = rig.Package("Live.vrx");
    std::filesystem::remove(rig.folder.Doc("User/Samples/Snare 2.wav"));
    rig.Post(ModuleParam(cTriggerPad::kParamBus1Send1, 1.0f));
    rig.Render(0);
    EXPECT_FALSE(rig.pads.SaveBank(cGenString(kBank)));
    EXPECT_EQ(rig.Package("Live.vrx"), previous);
    EXPECT_TRUE(rig.folder.Exists("User/VRX Banks/Live.vrx/Snare 2.wav"));
    EXPECT_FALSE(rig.folder.Exists("User/VRX Banks/Live.vrx.tmp"));
    EXPECT_FALSE(rig.folder.Exists("User/VRX Banks/Live.bak.vrx"));
}

// Two samples of one file name from different folders keep their own files:
// in a saved package and in the project folder of a copying load, where
// another file of that name may already lie. The same file is copied once.
TEST(TriggerPadBank, SamplesSharingAFileNameKeepFilesOfTheirOwn)
{
    cBankRig rig;
    rig.folder.Write("User/Other/Kick.wav", LevelWav(800, 0.0625f));
    rig.SetUpPad(5, "User/Other/Kick.wav", [](cTriggerPadData&) {});
    rig.SetUpPad(6, "User/Samples/Kick.wav", [](cTriggerPadData&) {});
    ASSERT_TRUE(rig.pads.LoadSamples(false));
    ASSERT_TRUE(rig.pads.SaveBank(cGenString(kBank)));
    const std::string xml = rig.Package("Live.vrx");
    EXPECT_NE(xml.find("<Pad0 Nam=\"Kick.wav\""), std::string::npos);
    EXPECT_NE(xml.find("<Pad5 Nam=\"Kick-02.wav\""), std::string::npos);
    EXPECT_NE(xml.find("<Pad6 Nam=\"Kick.wav\""), std::string::npos);
    EXPECT_EQ(rig.folder.Read("User/VRX Banks/Live.vrx/Kick-02.wav"), rig.folder.Read("User/Other/Kick.wav"));
    EXPECT_FALSE(rig.folder.Exists("User/VRX Banks/Live.vrx/Kick-03.wav"));

    // The project already holds another bank's Kick.wav.
    rig.folder.Write("User/Projects/Song.prj/Kick.wav", LevelWav(100, 0.9f));
    const std::string theirs = rig.folder.Read("User/Projects/Song.prj/Kick.wav");
    cMorePads copying;
    ASSERT_TRUE(copying.pads.LoadBank(cGenString("User/Projects/Song.prj"), cGenString(kBank), true));
    EXPECT_EQ(rig.folder.Read("User/Projects/Song.prj/Kick.wav"), theirs);
    const cTriggerPadSet& set = copying.pads.GetActiveSet();
    EXPECT_STREQ(set.pads[0].samplePath.CStr(), "User/Projects/Song.prj/Kick-02.wav");
    EXPECT_STREQ(set.pads[6].samplePath.CStr(), "User/Projects/Song.prj/Kick-02.wav");
    EXPECT_STREQ(set.pads[5].samplePath.CStr(), "User/Projects/Song.prj/Kick-03.wav");
    EXPECT_EQ(rig.folder.Read("User/Projects/Song.prj/Kick-03.wav"), rig.folder.Read("User/Other/Kick.wav"));

    // Importing the same bank again finds its copies in place.
    cMorePads again;
    ASSERT_TRUE(again.pads.LoadBank(cGenString("User/Projects/Song.prj"), cGenString(kBank), true));
    EXPECT_STREQ(again.pads.GetActiveSet().pads[5].samplePath.CStr(), "User/Projects/Song.prj/Kick-03.wav");
    EXPECT_FALSE(rig.folder.Exists("User/Projects/Song.prj/Kick-04.wav"));
}

// A damaged bank is refused whole: the load reports false and the pads keep
// their settings, samples and active set.
TEST(TriggerPadBank, AMalformedBankChangesNothing)
{
    const std::string pad = "<Pad0 Nam=\"Kick.wav\" Vol=\"0.3\"/>";
    const std::string cases[][2] = {
        {"missing", ""},
        {"not XML", "this is not a bank"},
        {"truncated", "<Root FileVersion=\"1.0\" Mute=\"0\"><Pad0 Nam=\"Kick.wav\" Vol=\"0.3\""},
        {"wrong type", "<Root FileVersion=\"1.0\"><Pad0 Vol=\"loud\"/></Root>"},
        {"wrong type of integer", "<Root FileVersion=\"1.0\"><Pad0 Sta=\"1.5\"/></Root>"},
        {"huge integer", "<Root FileVersion=\"1.0\"><Pad0 End=\"99999999999\"/></Root>"},
        {"huge float", "<Root FileVersion=\"1.0\"><Out1 Cutoff=\"1e999\"/></Root>"},
        {"not a number", "<Root FileVersion=\"1.0\"><Pad0 Pan=\"nan\"/></Root>"},
        {"mute beyond 32 bits", "<Root FileVersion=\"1.0\" Mute=\"4294967296\"/>"},
        {"bus not in the list", "<Root FileVersion=\"1.0\"><Pad0 Bus=\"3\"/></Root>"},
        {"direction not in the list", "<Root FileVersion=\"1.0\"><Pad0 Dir=\"7\"/></Root>"},
        {"unknown trigger mode", "<Root FileVersion=\"1.0\"><Pad0 Vrx=\"Sometimes\"/></Root>"},
        {"type not in the list", "<Root FileVersion=\"1.0\"><Out0 Type=\"4\"/></Root>"},
        {"parent folder", "<Root FileVersion=\"1.0\"><Pad0 Nam=\"../../Kick.wav\"/></Root>"},
        {"parent folder behind a backslash", "<Root FileVersion=\"1.0\"><Pad0 Nam=\"/User\\..\\..\\x.wav\"/></Root>"},
        {"repeated pad", "<Root FileVersion=\"1.0\">" + pad + pad + "</Root>"},
        {"repeated output", "<Root FileVersion=\"1.0\"><Out2 Rev=\"1\"/><Out2 Rev=\"0\"/></Root>"},
        {"repeated envelope", "<Root FileVersion=\"1.0\"><Pad4><AmpEnv A=\"1\"/><AmpEnv A=\"0\"/></Pad4></Root>"},
    };
    for (const auto& c : cases)
    {
        cBankRig rig;
        if (c[0] != "missing")
            rig.folder.Write("User/VRX Banks/Bad.vrx/Package.vrx", c[1]);
        const cTriggerPadSet before = rig.pads.GetActiveSet();
        const int32_t index = rig.pads.GetActiveSetIndex();
        cSample* kick = rig.pads.GetSample(0);
        EXPECT_FALSE(rig.pads.LoadBank(cGenString("User/Projects/Song.prj"), cGenString("User/VRX Banks/Bad.vrx"), true))
            << c[0];
        EXPECT_EQ(rig.pads.GetActiveSetIndex(), index) << c[0];
        EXPECT_EQ(rig.pads.GetSample(0), kick) << c[0];
        ExpectSameSet(before, rig.pads.GetActiveSet());
        EXPECT_STREQ(rig.pads.GetActiveSet().pads[0].samplePath.CStr(), "User/Samples/Kick.wav") << c[0];
    }
}

// Stored paths are read with "\" as "/", and a stored "OFF" filter comes back
// as "LP" with its switch as it was.
TEST(TriggerPadBank, StoredPathsAndFilterTypesReadAsTheProgramKeepsThem)
{
    cPadRig rig;
    rig.folder.Write("User/Kits/Old.vrx/Package.vrx",
                     "<Root FileVersion=\"1.0\"><Pad0 Nam=\"\\User\\Samples\\Kick.wav\"/><Pad1 Nam=\"Sub\\Snare.wav\"/>"
                     "<Out0 Enable=\"1\" Type=\"OFF\"/><Out1 Type=\"bp\"/><Out2 Type=\"2\"/></Root>");
    ASSERT_TRUE(rig.pads.LoadBank(cGenString(""), cGenString("User/Kits/Old.vrx"), false));
    const cTriggerPadSet& set = rig.pads.GetActiveSet();
    EXPECT_STREQ(set.pads[0].samplePath.CStr(), "User/Samples/Kick.wav");
    EXPECT_STREQ(set.pads[1].samplePath.CStr(), "User/Kits/Old.vrx/Sub/Snare.wav");
    EXPECT_STREQ(set.pads[1].name.CStr(), "Snare");
    EXPECT_EQ(set.outputs[0].filter.type, cTriggerPadFilterSettings::kTypeLowPass);
    EXPECT_EQ(set.outputs[0].filter.enable, 1);
    EXPECT_EQ(set.outputs[1].filter.type, cTriggerPadFilterSettings::kTypeBandPass);
    EXPECT_EQ(set.outputs[2].filter.type, cTriggerPadFilterSettings::kTypeBandPass);
}

// A bad package leaves the pads playing: the slots are let go only once the
// new set has read whole.
TEST(TriggerPadBank, AFailedLoadKeepsThePadsSounding)
{
    cBankRig rig;
    rig.folder.Write("User/VRX Banks/Bad.vrx/Package.vrx", "<Root");
    EXPECT_FALSE(rig.pads.LoadBank(cGenString(""), cGenString("User/VRX Banks/Bad.vrx"), false));
    rig.Post(Note(kAudioEventNoteOn, kFirstNote, 127, SongId(1)));
    EXPECT_GT(rig.Render(0).Peak(), 0.1f);
}

// Clearing the bank leaves sixteen empty pads with default outputs.
TEST(TriggerPadBank, ClearingTheBankEmptiesEveryPad)
{
    cBankRig rig;
    const int32_t before = rig.pads.GetActiveSetIndex();
    rig.pads.ClearBank();
    EXPECT_NE(rig.pads.GetActiveSetIndex(), before);
    for (int32_t pad = 0; pad < cTriggerPad::kPadCount; ++pad)
        EXPECT_EQ(rig.pads.GetSample(pad), nullptr);
    EXPECT_EQ(rig.pads.GetActiveSet().mute, 0u);
    EXPECT_EQ(rig.pads.GetParamValue(cTriggerPad::kParamBus2Send1), 0.0f);
}
