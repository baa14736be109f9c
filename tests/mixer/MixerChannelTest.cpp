#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "audio/Instrument.h"
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
