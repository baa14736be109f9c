#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MixerTestUtil.h"
#include "TestEffects.h"
#include "base/Delegate.h"
#include "mixer/EffectCompressor.h"
#include "mixer/EffectRack.h"
#include "mixer/EffectRegistry.h"

using namespace MixerTest;

namespace
{
class EffectRack : public testing::Test
{
protected:
    void SetUp() override
    {
        registry.AddPackage(new cGainEffectPackage());
        registry.AddPackage(new cEffectCompressorPackage());
        rack.BuildInsertChain();
    }

    cGainEffect* Install(const char* node, bool enabled)
    {
        cGainEffect* effect = static_cast<cGainEffect*>(registry.CreateEffect("TEST-GAIN"));
        rack.FindNode(node)->SetEffect(effect, enabled);
        return effect;
    }

    std::string Order() const
    {
        std::string names;
        int guard = 0;
        for (cEffectRackNode* node = rack.GetFirst(); node && guard < 100; node = node->GetNext(), ++guard)
            names += std::string(node->GetName().CStr()) + " ";
        return names;
    }

    // Loads a "Nodes" body written as XML children.
    void LoadBody(const std::string& children)
    {
        ASSERT_TRUE(LoadXML("<Root FileVersion=\"1.0\"><Nodes>" + children + "</Nodes></Root>",
                            [&](Base::cSerialise& s) { EXPECT_TRUE(rack.Serialise(s)); }));
    }

    cEffectRegistry registry;
    cEffectRack rack;
    cAudioProcessInfo info = MakeInfo();
    cStereoBlock block;
};

struct cCallbackCounter
{
    void OnNode(cEffectRackNode* node)
    {
        names.push_back(node->GetName().CStr());
        ++calls;
    }
    std::vector<std::string> names;
    int calls = 0;
};
} // namespace

TEST_F(EffectRack, StateCountsEnabledEffects)
{
    EXPECT_EQ(rack.GetState(), cEffectRack::kStateEmpty);
    cGainEffect* effect = Install("SLOT2", false);
    EXPECT_EQ(rack.GetState(), cEffectRack::kStateAllOff);
    effect->SetEnabled(true);
    EXPECT_EQ(rack.GetState(), cEffectRack::kStateOn);
    rack.RemoveEffects();
    EXPECT_EQ(rack.GetState(), cEffectRack::kStateEmpty);
}

TEST_F(EffectRack, SleepsAfterOneSecondOfSilenceAndWakesWithAResetOnSound)
{
    cGainEffect* effect = Install("SLOT1", true);
    int processedBlocks = 0;
    for (int i = 0; i < 400; ++i)
        processedBlocks += rack.Process(info, block.buffer, false, cDelegate()) ? 1 : 0;
    // 1.0 s is 344.5 blocks: the 345th silent block is the last processed.
    EXPECT_EQ(processedBlocks, 345);
    EXPECT_EQ(effect->processed, 345);
    EXPECT_EQ(effect->resets, 1); // the first block starts from a reset
    EXPECT_EQ(rack.GetDetector().remaining, 0.0f);

    block.Fill(0.5f, 0.5f);
    EXPECT_TRUE(rack.Process(info, block.buffer, false, cDelegate()));
    EXPECT_EQ(effect->resets, 2);
    EXPECT_EQ(effect->processed, 346);
    EXPECT_EQ(rack.GetDetector().remaining, cEffectRack::kHoldSeconds);
}

TEST_F(EffectRack, AForcedInputKeepsItAwakeAndASleepingRackReportsTheFlag)
{
    Install("SLOT1", true);
    for (int i = 0; i < 400; ++i)
        rack.Process(info, block.buffer, false, cDelegate());
    EXPECT_FALSE(rack.Process(info, block.buffer, false, cDelegate()));
    EXPECT_TRUE(rack.Process(info, block.buffer, true, cDelegate()));
    for (int i = 0; i < 400; ++i)
        EXPECT_TRUE(rack.Process(info, block.buffer, true, cDelegate()));
}

TEST_F(EffectRack, AnAudibleTailKeepsItAwake)
{
    cGainEffect* effect = Install("SLOT1", true);
    block.Fill(2e-4f, 0.0f); // the effect's own output, above the threshold
    effect->gain = 1.0f;
    for (int i = 0; i < 1000; ++i)
        ASSERT_TRUE(rack.Process(info, block.buffer, false, cDelegate())) << i;
    // Once the output falls below 1e-4 the hold time runs out.
    effect->gain = 0.1f;
    int processedBlocks = 0;
    for (int i = 0; i < 400; ++i)
        processedBlocks += rack.Process(info, block.buffer, false, cDelegate()) ? 1 : 0;
    EXPECT_LT(processedBlocks, 400);
}

TEST_F(EffectRack, CallsBackAtTheReturnsNodeOncePerProcessedBlock)
{
    cEffectRack master;
    master.AddNode("IN", cEffectRackNode::kFlagInput);
    master.AddNode("SLOT1", cEffectRackNode::kKindSlot);
    master.AddNode("RETURNS", cEffectRackNode::kKindReturns);
    master.AddNode("SLOT2", cEffectRackNode::kKindSlot);
    master.AddNode("OUT", cEffectRackNode::kFlagOutput);
    cCallbackCounter counter;
    const cDelegate callback(&counter, &cCallbackCounter::OnNode);
    for (int i = 0; i < 3; ++i)
        master.Process(info, block.buffer, true, callback);
    EXPECT_EQ(counter.calls, 3);
    EXPECT_EQ(counter.names[0], "RETURNS");
    for (int i = 0; i < 400; ++i)
        master.Process(info, block.buffer, false, callback);
    const int awake = counter.calls;
    master.Process(info, block.buffer, false, callback);
    EXPECT_EQ(counter.calls, awake); // asleep: no callback
}

TEST_F(EffectRack, RunsOneBlockMoreAfterTheLastEffectGoesOffAndResetsWhenOneComesOn)
{
    cGainEffect* effect = Install("SLOT1", true);
    rack.DrainEvents();
    EXPECT_TRUE(rack.PrepareBlock());
    const int resets = effect->resets;

    effect->PostEvent(MakeSetIntEvent(0, 0));
    rack.DrainEvents();
    EXPECT_TRUE(rack.PrepareBlock()); // the block in which it fades out
    EXPECT_FALSE(rack.PrepareBlock());
    EXPECT_FALSE(rack.PrepareBlock());
    EXPECT_EQ(effect->resets, resets);

    effect->PostEvent(MakeSetIntEvent(0, 1));
    rack.DrainEvents();
    EXPECT_TRUE(rack.PrepareBlock());
    EXPECT_EQ(effect->resets, resets + 1); // no stale tail comes back
}

TEST_F(EffectRack, BodyRoundTripKeepsOrderTypesAndPatches)
{
    LoadBody("<IN/><SLOT4/>");
    cGainEffect* gain = Install("SLOT3", true);
    gain->gain = 0.25f;
    rack.FindNode("SLOT1")->InstallEffect("qdl-5");
    rack.FindNode("SLOT1")->GetEffect()->PostEvent(MakeSetFloatEvent(cEffectCompressor::kParamThreshold, 1.0f));
    rack.FindNode("SLOT1")->GetEffect()->DrainEvents();
    const std::string saved = SaveXML([&](Base::cSerialise& s) { EXPECT_TRUE(rack.Serialise(s)); });
    EXPECT_NE(saved.find("<SLOT3 Type=\"TEST-GAIN\">"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<SLOT2/>"), std::string::npos) << saved;

    cEffectRack loaded;
    loaded.BuildInsertChain();
    ASSERT_TRUE(LoadXML(saved, [&](Base::cSerialise& s) { EXPECT_TRUE(loaded.Serialise(s)); }));
    std::string order;
    for (cEffectRackNode* node = loaded.GetFirst(); node; node = node->GetNext())
        order += std::string(node->GetName().CStr()) + " ";
    EXPECT_EQ(order, "IN SLOT4 SLOT1 SLOT2 SLOT3 OUT ");
    auto* loadedGain = static_cast<cGainEffect*>(loaded.FindNode("SLOT3")->GetEffect());
    ASSERT_NE(loadedGain, nullptr);
    EXPECT_EQ(loadedGain->gain, 0.25f);
    EXPECT_TRUE(loadedGain->IsEnabled());
    cEffect* compressor = loaded.FindNode("SLOT1")->GetEffect();
    ASSERT_NE(compressor, nullptr);
    EXPECT_STREQ(compressor->GetPackage()->GetShortName(), "QDL-5");
    EXPECT_FLOAT_EQ(compressor->GetParamFloat(cEffectCompressor::kParamThreshold), 1.0f);
    EXPECT_EQ(loaded.FindNode("SLOT2")->GetEffect(), nullptr);
}

TEST_F(EffectRack, LoadingFollowsTheFileOrder)
{
    const struct
    {
        const char* body;
        const char* order;
    } cases[] = {
        {"<IN/><SLOT3/><SLOT2/><SLOT1/><SLOT4/><OUT/>", "IN SLOT3 SLOT2 SLOT1 SLOT4 OUT "},
        {"<OUT/><IN/><SLOT2/>", "IN SLOT2 SLOT1 SLOT3 SLOT4 OUT "},
        {"<SLOT4/><OUT/><SLOT1/>", "SLOT4 SLOT1 IN SLOT2 SLOT3 OUT "},
        {"", "IN SLOT1 SLOT2 SLOT3 SLOT4 OUT "},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.body);
        rack.DeleteNodes();
        rack.BuildInsertChain();
        LoadBody(c.body);
        EXPECT_EQ(Order(), c.order);
        EXPECT_EQ(rack.GetCount(), 6);
    }
}

TEST_F(EffectRack, SkipsNamesOfAnotherCaseAndUnknownTypes)
{
    cGainEffect* first = Install("SLOT1", true);
    Install("SLOT2", true);
    LoadBody("<slot1 Type=\"QDL-5\"/><SLOT2 Type=\"FILTER-1B\"/><SLOT3 Type=\"Qdl-5\"/><EXTRA Type=\"QDL-5\"/>");
    EXPECT_EQ(rack.FindNode("SLOT1")->GetEffect(), first);
    EXPECT_EQ(rack.FindNode("SLOT2")->GetEffect(), nullptr);
    ASSERT_NE(rack.FindNode("SLOT3")->GetEffect(), nullptr);
    EXPECT_FALSE(rack.FindNode("SLOT3")->GetEffect()->IsEnabled()); // as created
    EXPECT_EQ(rack.FindNode("EXTRA"), nullptr);
    EXPECT_EQ(rack.GetCount(), 6);
}

// A node listed twice was linked behind itself: a cycle the audio thread
// walked for ever.
TEST_F(EffectRack, ANodeListedTwiceIsReadOnce)
{
    LoadBody("<IN/><SLOT1 Type=\"TEST-GAIN\"/><SLOT1/><SLOT2/><SLOT2 Type=\"TEST-GAIN\"/><OUT/><OUT/>");
    EXPECT_EQ(Order(), "IN SLOT1 SLOT2 SLOT3 SLOT4 OUT ");
    EXPECT_NE(rack.FindNode("SLOT1")->GetEffect(), nullptr);
    EXPECT_EQ(rack.FindNode("SLOT2")->GetEffect(), nullptr);
    int backwards = 0;
    for (cEffectRackNode* node = rack.GetLast(); node && backwards < 100; node = node->GetPrevious())
        ++backwards;
    EXPECT_EQ(backwards, 6);
}

TEST_F(EffectRack, InstallsByShortNameIgnoringCaseAndKeepsTheCreatedEnableState)
{
    cEffectRackNode* slot = rack.FindNode("SLOT1");
    slot->InstallEffect("test-gain");
    ASSERT_NE(slot->GetEffect(), nullptr);
    EXPECT_FALSE(slot->GetEffect()->IsEnabled());
    cEffect* installed = slot->GetEffect();
    slot->InstallEffect("NO-SUCH-UNIT");
    EXPECT_EQ(slot->GetEffect(), installed);
}
