#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "audio/Instrument.h"
#include "MixerTestUtil.h"
#include "mixer/MixerChannel.h"

namespace
{
// An instrument that owns mixer strips as the instruments do.
class cStripOwner : public cInstrument
{
public:
    explicit cStripOwner(int strips)
    {
        for (int i = 0; i < strips; ++i)
            AddChannel(new cMixerChannel(cMixerChannel::kKindInstrument, 2.4f, this, i));
    }
    void Select() override {}
};
} // namespace

// A new strip already carries the gains of volume 0.79 at the centre pan,
// 2^-4(1 - 0.79) x 0.75 of its level on each side, with nothing to ramp.
TEST(MixerChannelTest, StartsAtTheDefaultGainsWithoutARamp)
{
    const struct
    {
        int32_t kind;
        float level;
    } cases[] = {{cMixerChannel::kKindInstrument, 2.4f}, {cMixerChannel::kKindReturn, 1.2f},
                 {cMixerChannel::kKindMaster, 0.9f}};
    for (const auto& c : cases)
    {
        cMixerChannel channel(c.kind, c.level, nullptr, 0);
        const float expected = c.level * std::pow(2.0f, -4.0f * (1.0f - 0.79f)) * 0.75f;
        EXPECT_NEAR(channel.targetGainLeft, expected, 1e-6f) << c.kind;
        EXPECT_EQ(channel.targetGainRight, channel.targetGainLeft);
        EXPECT_EQ(channel.currentGainLeft, channel.targetGainLeft);
        EXPECT_EQ(channel.currentGainRight, channel.targetGainLeft);
        EXPECT_EQ(channel.volume, 0.79f);
        EXPECT_EQ(channel.pan, 0.5f);
        EXPECT_EQ(channel.enabled, 1);
        EXPECT_EQ(channel.volumeParamIndex, 1);
        EXPECT_EQ(channel.panParamIndex, 2);
    }
}

TEST(MixerChannelTest, ReturnsAndTheMasterOwnABlockInstrumentOutputsNone)
{
    cMixerChannel input(cMixerChannel::kKindInstrument, 2.4f, nullptr, 1);
    EXPECT_EQ(input.buffer.data, nullptr);
    EXPECT_EQ(input.buffer.frames, 0u);
    for (int32_t kind : {cMixerChannel::kKindReturn, cMixerChannel::kKindMaster})
    {
        cMixerChannel channel(kind, 1.0f, nullptr, 0);
        ASSERT_NE(channel.buffer.data, nullptr);
        EXPECT_EQ(channel.buffer.format, uint32_t(kAudioFormatFloat));
        EXPECT_EQ(channel.buffer.reserved, 1u);
        EXPECT_EQ(channel.buffer.frames, 128u);
        EXPECT_EQ(channel.buffer.channels, 2u);
        EXPECT_EQ(channel.buffer.bytes, 1024u);
        channel.buffer.Floats()[255] = 1.0f; // the whole block is the strip's
    }
}

TEST(MixerChannelTest, AnInstrumentOwnsItsStrips)
{
    cStripOwner owner(3);
    ASSERT_EQ(owner.GetChannelCount(), 3);
    const cMixerChannel* last = static_cast<const cMixerChannel*>(owner.GetChannel(2));
    EXPECT_EQ(last->owner, &owner);
    EXPECT_EQ(last->outputIndex, 2);
    EXPECT_EQ(last->kind, cMixerChannel::kKindInstrument);
}

TEST(MixerChannelTest, InsertRackByKind)
{
    const struct
    {
        int32_t kind;
        const char* nodes;
    } cases[] = {{cMixerChannel::kKindInstrument, "IN SLOT1 SLOT2 SLOT3 SLOT4 OUT "},
                 {cMixerChannel::kKindReturn, "IN SLOT1 SLOT2 SLOT3 SLOT4 OUT "},
                 {cMixerChannel::kKindMaster, "IN SLOT1 RETURNS SLOT2 SLOT3 OUT "}};
    for (const auto& c : cases)
    {
        cMixerChannel channel(c.kind, 1.0f, nullptr, 0);
        std::string names;
        for (const cEffectRackNode* node = channel.insertRack.GetFirst(); node; node = node->GetNext())
            names += std::string(node->GetName().CStr()) + " ";
        EXPECT_EQ(names, c.nodes) << c.kind;
    }
    cMixerChannel master(cMixerChannel::kKindMaster, 0.9f, nullptr, 0);
    EXPECT_EQ(master.insertRack.FindNode("RETURNS")->GetKind(), 24);
    EXPECT_EQ(master.insertRack.FindNode("SLOT2")->GetKind(), 52);
}

TEST(MixerChannelTest, GainsFollowTheVolumeCurveAndThePanLaw)
{
    const struct
    {
        float level, volume, pan;
        float left, right;
    } cases[] = {
        {2.4f, 0.79f, 0.5f, 1.005558f, 1.005558f},
        {1.0f, 0.2f, 0.0f, 0.108819f, 0.0f},
        {1.0f, 0.2f - 1e-6f, 0.0f, 0.108819f, 0.0f}, // the lower branch meets the upper
        {1.0f, 1.0f, 0.0f, 1.0f, 0.0f},
        {1.0f, 1.0f, 0.25f, 0.9375f, 0.4375f},
        {1.0f, 1.0f, 0.5f, 0.75f, 0.75f},
        {1.0f, 1.0f, 1.0f, 0.0f, 1.0f},
        {1.0f, 0.0f, 0.5f, 0.0f, 0.0f},
        {0.9f, 0.1f, 0.5f, 0.9f * 0.25f * 0.10881881f * 0.75f, 0.9f * 0.25f * 0.10881881f * 0.75f},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.level << " " << c.volume << " " << c.pan);
        cMixerChannel channel(cMixerChannel::kKindInstrument, c.level, nullptr, 0);
        channel.workingVolume = c.volume;
        channel.workingPan = c.pan;
        channel.UpdateGains(false);
        EXPECT_NEAR(channel.targetGainLeft, c.left, 2e-6f);
        EXPECT_NEAR(channel.targetGainRight, c.right, 2e-6f);
        EXPECT_NEAR(channel.currentGainLeft, c.level * 0.55864356f * 0.75f, 2e-6f); // ramps, no jump
        channel.UpdateGains(true);
        EXPECT_EQ(channel.currentGainLeft, channel.targetGainLeft);
        EXPECT_EQ(channel.currentGainRight, channel.targetGainRight);
    }
}

TEST(MixerChannelTest, DisabledTargetsSilenceAndRampsThere)
{
    cMixerChannel channel(cMixerChannel::kKindInstrument, 2.4f, nullptr, 0);
    const float before = channel.currentGainLeft;
    channel.SetEnabled(false);
    EXPECT_EQ(channel.targetGainLeft, 0.0f);
    EXPECT_EQ(channel.targetGainRight, 0.0f);
    EXPECT_EQ(channel.currentGainLeft, before);
    channel.SetEnabled(true);
    EXPECT_EQ(channel.targetGainLeft, before);
}

TEST(MixerChannelTest, LoadJumpsToTheStoredValuesAndKeepsTheChain)
{
    cMixerChannel channel(cMixerChannel::kKindReturn, 1.2f, nullptr, 0);
    channel.volume = 1.0f;
    channel.pan = 0.0f;
    channel.muteState = 1;
    const std::string saved = MixerTest::SaveXML([&](Base::cSerialise& s) { EXPECT_TRUE(channel.Serialise(s)); });
    EXPECT_NE(saved.find("Vol=\"1.000000\" Pan=\"0.000000\" Mute=\"1\""), std::string::npos) << saved;
    EXPECT_NE(saved.find("<InsertFX>"), std::string::npos) << saved;

    cMixerChannel loaded(cMixerChannel::kKindReturn, 1.2f, nullptr, 0);
    ASSERT_TRUE(MixerTest::LoadXML(saved, [&](Base::cSerialise& s) { EXPECT_TRUE(loaded.Serialise(s)); }));
    EXPECT_EQ(loaded.volume, 1.0f);
    EXPECT_EQ(loaded.workingPan, 0.0f);
    EXPECT_EQ(loaded.muteState, 1);
    EXPECT_NEAR(loaded.targetGainLeft, 1.2f, 1e-6f);
    EXPECT_EQ(loaded.currentGainLeft, loaded.targetGainLeft);
    EXPECT_EQ(loaded.currentGainRight, 0.0f);
}

// Unchecked values from a file: a NaN or huge volume poisoned the mix, a mute
// state past solo meant nothing.
TEST(MixerChannelTest, StoredValuesAreHeldToTheirRanges)
{
    const struct
    {
        const char* attributes;
        float volume, pan;
        int32_t mute;
    } cases[] = {
        {"Vol=\"nan\" Pan=\"inf\" Mute=\"7\"", 0.0f, 1.0f, 2},
        {"Vol=\"1e38\" Pan=\"-3\" Mute=\"-1\"", 1.0f, 0.0f, 0},
        {"Vol=\"0.5\" Pan=\"0.25\" Mute=\"2\"", 0.5f, 0.25f, 2},
        {"", 0.79f, 0.5f, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.attributes);
        cMixerChannel channel(cMixerChannel::kKindInstrument, 2.4f, nullptr, 0);
        ASSERT_TRUE(MixerTest::LoadXML(std::string("<Root FileVersion=\"1.0\" ") + c.attributes + "/>",
                                       [&](Base::cSerialise& s) { channel.Serialise(s); }));
        EXPECT_EQ(channel.volume, c.volume);
        EXPECT_EQ(channel.pan, c.pan);
        EXPECT_EQ(channel.muteState, c.mute);
        EXPECT_TRUE(std::isfinite(channel.targetGainLeft));
    }
    cMixerChannel channel(cMixerChannel::kKindInstrument, 2.4f, nullptr, 0);
    EXPECT_FALSE(channel.SetVolumeOrPan(cMixerChannel::kSelectVolume, std::nanf("")));
    EXPECT_FALSE(channel.SetVolumeOrPan(2, 0.5f));
    EXPECT_TRUE(channel.SetVolumeOrPan(cMixerChannel::kSelectPan, 4.0f));
    EXPECT_EQ(channel.volume, 0.79f);
    EXPECT_EQ(channel.GetVolumeOrPan(cMixerChannel::kSelectPan), 1.0f);
}

TEST(MixerChannelTest, DisplayNameAndMeters)
{
    cStripOwner owner(1);
    owner.SetName("Kest-1");
    auto* strip = static_cast<cMixerChannel*>(owner.GetChannel(0));
    EXPECT_STREQ(strip->GetDisplayName(), "Kest-1");
    owner.SetName("Lead");
    EXPECT_STREQ(strip->GetDisplayName(), "Lead");
    cMixerChannel send(cMixerChannel::kKindReturn, 1.2f, &owner, 0);
    send.name = "SEND 1";
    EXPECT_STREQ(send.GetDisplayName(), "SEND 1");

    strip->peakLeft = 0.5f;
    strip->peakRight = 0.0f;
    strip->meterRight = 0.8f;
    strip->DecayMeters(0.25f);
    EXPECT_EQ(strip->meterLeft, 0.5f);
    EXPECT_FLOAT_EQ(strip->meterRight, 0.6f);
}
