#include <gtest/gtest.h>

#include "ProjectFixture.h"
#include "base/FileSystemRegistry.h"
#include "mixer/EffectChorusDelay.h"
#include "mixer/EffectRack.h"
#include "mixer/EffectReverb.h"
#include "mixer/Mixer.h"
#include "mixer/MixerChannel.h"
#include "project/LegacyMixerSettings.h"
#include "project/ProjectSlots.h"

namespace ProjectTest
{
namespace
{
constexpr const char* kFile = "User/Projects/Old.prj/Package.prj";

class cLegacyMixerTest : public cProjectFixture
{
protected:
    // A file of that version with the mixer (holding am as its "AM"), the pads
    // and one synthesizer; loaded into a fresh record.
    void Load(const char* version, const std::string& am, const char* mixerType = "Mixer")
    {
        std::string mixer = std::string("<Instr Type=\"") + mixerType + "\" Index=\"0\">";
        if (!am.empty())
            mixer += "<AM>" + am + "</AM>";
        mixer += "</Instr>";
        WriteText(Native(kFile), std::string("<Root FileVersion=\"") + version + "\"><Instruments>" + mixer +
                                     "<Instr Type=\"VRX\" Index=\"1\"/><Instr Type=\"Kest\" Index=\"2\"/>"
                                     "<Instr Type=\"Kest\" Index=\"3\"/><Instr Type=\"Kest\" Index=\"4\"/>"
                                     "</Instruments></Root>");
        project = std::make_unique<cProject>();
        ASSERT_TRUE(project->Serialise(gFileSystemRegistry->FindFileSystem("Doc"), cGenString(kFile), cProject::kRead,
                                       nullptr, nullptr));
        mixerModule = GetMixer();
        ASSERT_NE(mixerModule, nullptr);
    }

    cEffect* ReturnEffect(int32_t index) const
    {
        return mixerModule->GetReturn(index)->insertRack.FindNode("SLOT1")->GetEffect();
    }

    cMixer* mixerModule = nullptr;
};

TEST_F(cLegacyMixerTest, FaderPositionsOfOldGains)
{
    const struct
    {
        float gain;
        float fader;
    } cases[] = {{1.0f, 1.0f}, {0.5f, 0.75f}, {0.25f, 0.5f}, {0.56f, 0.7909f}, {0.0625f, 0.0f}, {0.01f, -0.6610f}, {0.005f, 0.0f},
                 {0.0f, 0.0f},  {2.0f, 1.25f}};
    for (const auto& c : cases)
        EXPECT_NEAR(LegacyVolumeToFader(c.gain), c.fader, 1e-4f) << c.gain;
}

TEST_F(cLegacyMixerTest, AnOldDeskBecomesTodaysReturnsMasterAndInputs)
{
    Load("2.000000", "<Input03 Vol=\"1.0\" Pan=\"0.25\"/><Input01 Vol=\"0.005\" Pan=\"0.9\"/>"
                     "<Output Vol=\"0.5\" Pan=\"0.1\"/>"
                     "<Reverb Preset=\"Room 2\" Enable=\"0\" DryWet=\"0.6\"/>"
                     "<Chorus Type=\"Chorus\" Enable=\"1\" Sync=\"0\" CRate=\"0.3\" DAmount=\"0.4\"/>");
    // Inputs: the file's where given, the old defaults elsewhere.
    ASSERT_EQ(mixerModule->GetInputCount(), 4);
    const float defaultFader = LegacyVolumeToFader(0.56f);
    const float volumes[] = {defaultFader, 0.0f, defaultFader, 1.0f};
    const float pans[] = {0.5f, 0.9f, 0.5f, 0.25f};
    for (int32_t i = 0; i < 4; ++i)
    {
        EXPECT_NEAR(mixerModule->GetChannel(i)->volume, volumes[i], 1e-4f) << i;
        EXPECT_NEAR(mixerModule->GetChannel(i)->workingVolume, volumes[i], 1e-4f) << i;
        EXPECT_NEAR(mixerModule->GetChannel(i)->pan, pans[i], 1e-6f) << i;
    }
    EXPECT_NEAR(mixerModule->GetMaster()->volume, 0.75f * 0.85f, 1e-5f);

    cMixerChannel* returnA = mixerModule->GetReturn(0);
    EXPECT_FLOAT_EQ(returnA->volume, 0.8f);
    auto* reverb = dynamic_cast<cEffectReverb*>(ReturnEffect(0));
    ASSERT_NE(reverb, nullptr);
    EXPECT_STREQ(reverb->GetPackage()->GetShortName(), "Q-HALLS");
    EXPECT_EQ(reverb->GetParamInt(cEffectReverb::kParamEnable), 0);
    EXPECT_EQ(reverb->GetParamInt(cEffectReverb::kParamPreset), 7);
    EXPECT_EQ(reverb->GetParamFloat(cEffectReverb::kParamDryWet), 1.0f);

    cMixerChannel* returnB = mixerModule->GetReturn(1);
    EXPECT_FLOAT_EQ(returnB->volume, 1.0f);
    auto* chorus = dynamic_cast<cEffectChorusDelay*>(ReturnEffect(1));
    ASSERT_NE(chorus, nullptr);
    EXPECT_STREQ(chorus->GetPackage()->GetShortName(), "VELTRIX");
    EXPECT_TRUE(chorus->IsEnabled());
    EXPECT_EQ(chorus->params.Type, cChorusDelayParams::kTypeChorus);
    EXPECT_EQ(chorus->params.Sync, 0);
    EXPECT_FLOAT_EQ(chorus->params.CRate, 0.3f);
    EXPECT_FLOAT_EQ(chorus->params.DFeedback, 0.17f);
    EXPECT_FLOAT_EQ(chorus->params.DAmount, 1.0f);

    // The mixer's own parameters follow the strips at its next block.
    cAudioBuffer silence;
    float frames[256] = {};
    silence.Describe(kAudioFormatFloat, 128, 2, frames);
    cAudioProcessInfo info;
    mixerModule->Process(info, silence);
    EXPECT_NEAR(mixerModule->GetParamValue(cMixer::kParamMasterVolume), 0.75f * 0.85f, 1e-5f);
    EXPECT_FLOAT_EQ(mixerModule->GetParamValue(cMixer::kParamSend1Volume), 0.8f);
}

TEST_F(cLegacyMixerTest, TheOldDefaultsStandForWhatTheFileLeavesOut)
{
    Load("2.5", "<Output/>", "MixingDesk");
    EXPECT_NEAR(mixerModule->GetMaster()->volume, LegacyVolumeToFader(0.56f) * 0.85f, 1e-5f);
    auto* reverb = dynamic_cast<cEffectReverb*>(ReturnEffect(0));
    ASSERT_NE(reverb, nullptr);
    EXPECT_EQ(reverb->GetParamInt(cEffectReverb::kParamEnable), 1);
    EXPECT_EQ(reverb->GetParamInt(cEffectReverb::kParamPreset), 3);
    auto* chorus = dynamic_cast<cEffectChorusDelay*>(ReturnEffect(1));
    ASSERT_NE(chorus, nullptr);
    EXPECT_EQ(chorus->params.Type, cChorusDelayParams::kTypeCrossDelay);
    EXPECT_FLOAT_EQ(chorus->params.CDelay, 0.015f);
}

TEST_F(cLegacyMixerTest, ValuesThatAreNotNumbersOrOutOfRangeKeepTheDesksFaders)
{
    Load("2.0", "<Input00 Vol=\"nan\" Pan=\"inf\"/><Input01 Vol=\"1e30\" Pan=\"-4\"/>"
                "<Input02 Vol=\"-inf\" Pan=\"2\"/><Output Vol=\"infinity\"/><Reverb Preset=\"57\"/>");
    const float defaultFader = LegacyVolumeToFader(0.56f);
    EXPECT_NEAR(mixerModule->GetChannel(0)->volume, defaultFader, 1e-5f);
    EXPECT_FLOAT_EQ(mixerModule->GetChannel(0)->pan, 0.5f);
    EXPECT_FLOAT_EQ(mixerModule->GetChannel(1)->volume, 1.0f);
    EXPECT_FLOAT_EQ(mixerModule->GetChannel(1)->pan, 0.0f);
    EXPECT_NEAR(mixerModule->GetChannel(2)->volume, defaultFader, 1e-5f);
    EXPECT_FLOAT_EQ(mixerModule->GetChannel(2)->pan, 1.0f);
    EXPECT_NEAR(mixerModule->GetMaster()->volume, defaultFader * 0.85f, 1e-5f);
    auto* reverb = dynamic_cast<cEffectReverb*>(ReturnEffect(0));
    ASSERT_NE(reverb, nullptr);
    EXPECT_EQ(reverb->GetParamInt(cEffectReverb::kParamPreset), 3);
}

TEST_F(cLegacyMixerTest, FilesWithoutAnOldDeskOrFromVersion3OnAreLeftAlone)
{
    const struct
    {
        const char* version;
        const char* am;
    } cases[] = {{"2.0", ""}, {"3.0", "<Output Vol=\"0.1\"/>"}, {"6.0", "<Output Vol=\"0.1\"/>"}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.version);
        Load(c.version, c.am);
        EXPECT_FLOAT_EQ(mixerModule->GetMaster()->volume, cMixerChannel::kDefaultVolume);
        EXPECT_STREQ(ReturnEffect(0)->GetPackage()->GetShortName(), "Q-HALLS");
        EXPECT_FLOAT_EQ(mixerModule->GetReturn(0)->volume, cMixerChannel::kDefaultVolume);
    }
}
} // namespace
} // namespace ProjectTest
