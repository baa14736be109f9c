#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include "PadTestSupport.h"
#include "audio/AudioManager.h"
#include "audio/SampleRegistry.h"
#include "base/CriticalSection.h"
#include "base/SerialiseXML.h"
#include "mixer/MixerChannel.h"
#include "mixer/MixerTestUtil.h"

using namespace PadTest;

namespace
{
cMixerChannel& Strip(cPadRig& rig, int32_t bus) { return *rig.pads.GetChannel(bus); }

bool ReadSet(cTriggerPad& pads, const std::string& xml)
{
    File::cFileMemoryRead stream(reinterpret_cast<const uint8_t*>(xml.data()), int(xml.size()));
    Base::cSerialiseXML serialiser(1.0f, &stream, 0);
    if (!serialiser.Begin())
        return false;
    const bool ok = pads.Serialise(serialiser, nullptr, nullptr);
    serialiser.End();
    return ok;
}
} // namespace

// A new module plays the second, empty set; its pans sit in the middle and
// its volumes are the new channels' stored 0.79.
TEST(TriggerPadModule, ANewModuleStartsFromItsChannelsAndAnEmptySet)
{
    cPadRig rig;
    EXPECT_EQ(rig.pads.GetActiveSetIndex(), 1);
    for (int32_t index : {2, 14, 16})
        EXPECT_EQ(rig.pads.GetParamValue(index), 0.5f) << index;
    for (int32_t index : {1, 13, 15})
        EXPECT_EQ(rig.pads.GetParamValue(index), cMixerChannel::kDefaultVolume) << index;
    for (int32_t index : {0, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})
        EXPECT_EQ(rig.pads.GetParamValue(index), 0.0f) << index;
    EXPECT_EQ(rig.pads.GetParamCount(), 17);
    for (int32_t bus = 0; bus < 3; ++bus)
    {
        EXPECT_EQ(Strip(rig, bus).outputIndex, bus);
        EXPECT_EQ(Strip(rig, bus).volumeParamIndex, cTriggerPad::VolumeParam(bus));
        EXPECT_EQ(Strip(rig, bus).panParamIndex, cTriggerPad::PanParam(bus));
        EXPECT_EQ(Strip(rig, bus).level, 2.4f);
    }
}

// Identifiers: class 2 addresses the active set (floats and integers each
// through their own access), 3 the sounding pads, 4 and 5 the repeat
// settings; anything else reads 0 and writes nothing.
TEST(TriggerPadModule, IdentifiersReadTheirClassesAndUnknownOnesReadZero)
{
    cPadRig rig;
    rig.SetPadFloat(3, cTriggerPadData::kParamVolume, 0.25f);
    rig.SetPadInt(3, cTriggerPadData::kParamTranspose, -7);
    rig.Post(MakeSetFloatEvent(cTriggerPad::MakeSetId(OutputAddress(2, cTriggerPadOutput::kParamQ)), 0.6f));
    rig.Post(MakeSetIntEvent(cTriggerPad::MakeSetId(OutputAddress(2, cTriggerPadOutput::kParamType)), 3));
    rig.Post(MakeSetIntEvent(cTriggerPad::MakeSetId(cTriggerPadSet::MakeAddress(cTriggerPadSet::kKindMuteWord, 0, 0)),
                             0x8001));
    rig.Post(MakeSetIntEvent(cTriggerPad::kClassRepeatLength, 4));
    rig.Post(MakeSetIntEvent(cTriggerPad::kClassRepeatVelocity, 77));
    rig.Post(MakeSetIntEvent(0x06 | (1u << 8), 5)); // an unknown class
    rig.Render(0);

    struct cInt
    {
        uint32_t id;
        int32_t value;
    };
    const cInt ints[] = {
        {cTriggerPad::MakeSetId(PadAddress(3, cTriggerPadData::kParamTranspose)), -7},
        {cTriggerPad::MakeSetId(PadAddress(3, cTriggerPadData::kParamVolume)), 0},
        {cTriggerPad::MakeSetId(OutputAddress(2, cTriggerPadOutput::kParamType)), 3},
        {cTriggerPad::MakeSetId(cTriggerPadSet::MakeAddress(cTriggerPadSet::kKindMuteWord, 0, 0)), 0x8001},
        {cTriggerPad::MakeSetId(cTriggerPadSet::MakeAddress(cTriggerPadSet::kKindMuteBit, 0, 0)), 0},
        {cTriggerPad::MakeSetId(PadAddress(16, cTriggerPadData::kParamTranspose)), 0},
        {cTriggerPad::MakeSetId(PadAddress(3, 12)), 0},
        {cTriggerPad::MakeSetId(cTriggerPadSet::MakeAddress(4, 0, 0)), 0},
        {cTriggerPad::kClassSoundingPads, 0},
        {cTriggerPad::kClassRepeatLength, 4},
        {cTriggerPad::kClassRepeatVelocity, 77},
        {0, 0},
        {1, 0},
        {6, 0},
        {0xff, 0},
    };
    for (const cInt& c : ints)
        EXPECT_EQ(rig.pads.GetParamInt(c.id), c.value) << std::hex << c.id;
    EXPECT_EQ(rig.pads.GetParamFloat(cTriggerPad::MakeSetId(PadAddress(3, cTriggerPadData::kParamVolume))), 0.25f);
    EXPECT_EQ(rig.pads.GetParamFloat(cTriggerPad::MakeSetId(OutputAddress(2, cTriggerPadOutput::kParamQ))), 0.6f);
    EXPECT_EQ(rig.pads.GetParamFloat(cTriggerPad::MakeSetId(PadAddress(3, cTriggerPadData::kParamTranspose))), 0.0f);
    EXPECT_EQ(rig.pads.GetParamFloat(cTriggerPad::kClassRepeatLength), 0.0f);
}

// A module-parameter event with a zero first word stores the value where
// the user keeps it (channel volume and pan, the set's sends and cutoff);
// with a set one it only moves the parameter, which the channel follows
// every block without storing it. Indexes past 16 and non-numbers are
// refused.
TEST(TriggerPadModule, ModuleParametersStoreOnlyWhenTheFirstWordIsZero)
{
    cPadRig rig;
    rig.Post(ModuleParam(cTriggerPad::kParamBus2Volume, 0.4f));
    rig.Post(ModuleParam(cTriggerPad::kParamBus3Send2, 0.3f));
    rig.Post(ModuleParam(cTriggerPad::kParamBus1Pan, 0.9f, 1));
    rig.Post(ModuleParam(17, 0.9f));
    rig.Post(ModuleParam(cTriggerPad::kParamBus1Volume, std::nanf("")));
    rig.Render(0);
    rig.pads.TakeChangedMask();
    EXPECT_EQ(Strip(rig, 1).volume, 0.4f);
    EXPECT_EQ(Strip(rig, 1).workingVolume, 0.4f);
    EXPECT_EQ(rig.pads.GetActiveSet().outputs[2].del, 0.3f);
    EXPECT_EQ(rig.pads.GetOutputValue(3, 2), 0.3f);
    EXPECT_EQ(Strip(rig, 0).pan, 0.5f) << "automation leaves the stored pan";
    EXPECT_EQ(Strip(rig, 0).workingPan, 0.9f);
    EXPECT_EQ(Strip(rig, 0).volume, cMixerChannel::kDefaultVolume);
    EXPECT_EQ(rig.pads.GetParamValue(cTriggerPad::kParamBus1Volume), cMixerChannel::kDefaultVolume);
    EXPECT_EQ(rig.pads.GetOutputValue(2, 7), 0.0f);
    EXPECT_EQ(rig.pads.GetOutputValue(0, 0), 1.0f);
    EXPECT_EQ(rig.pads.GetOutputValue(1, 0), 0.5f);
}

// Values from events stay inside their fields: lists refuse what they do
// not hold, tuning is held to its limits and floats must be numbers.
TEST(TriggerPadModule, EventsKeepPadAndBusValuesInRange)
{
    struct cCase
    {
        uint32_t address;
        int32_t value;
        int32_t read;
    };
    const cCase cases[] = {
        {PadAddress(1, cTriggerPadData::kParamBus), 3, 0},
        {PadAddress(1, cTriggerPadData::kParamBus), -1, 0},
        {PadAddress(1, cTriggerPadData::kParamBus), 2, 2},
        {PadAddress(1, cTriggerPadData::kParamDirection), 4, 0},
        {PadAddress(1, cTriggerPadData::kParamDirection), 3, 3},
        {PadAddress(1, cTriggerPadData::kParamTriggerMode), 3, 0},
        {PadAddress(1, cTriggerPadData::kParamTriggerMode), 2, 2},
        {PadAddress(1, cTriggerPadData::kParamTranspose), 100, 24},
        {PadAddress(1, cTriggerPadData::kParamTranspose), -30, -24},
        {PadAddress(1, cTriggerPadData::kParamFineTune), -99, -50},
        {PadAddress(1, cTriggerPadData::kParamFineTune), 12, 12},
        {OutputAddress(1, cTriggerPadOutput::kParamType), 4, 1},
        {OutputAddress(1, cTriggerPadOutput::kParamType), 0, 0},
    };
    for (const cCase& c : cases)
    {
        cPadRig rig;
        rig.Post(MakeSetIntEvent(cTriggerPad::MakeSetId(c.address), c.value));
        rig.Render(0);
        EXPECT_EQ(rig.pads.GetParamInt(cTriggerPad::MakeSetId(c.address)), c.read) << std::hex << c.address << " "
                                                                                  << std::dec << c.value;
    }
    cPadRig rig;
    rig.SetPadFloat(1, cTriggerPadData::kParamPan, 0.2f);
    rig.SetPadFloat(1, cTriggerPadData::kParamPan, INFINITY);
    rig.SetPadFloat(1, cTriggerPadData::kParamVolume, std::nanf(""));
    rig.Render(0);
    EXPECT_EQ(rig.pads.GetActiveSet().pads[1].pan, 0.2f);
    EXPECT_EQ(rig.pads.GetActiveSet().pads[1].volume, 0.5f);
}

// Events may move a playing pad's range anywhere, and a voice may outlive
// the set it started from: every block the voice plays inside its own
// sample (the sanitizer build checks every read).
TEST(TriggerPadModule, AVoicePlaysInsideItsOwnSampleWhateverItsPadSays)
{
    cPadRig rig;
    rig.LoadLevel(0, "Short", 300, 0.5f);
    rig.SetPadInt(0, cTriggerPadData::kParamTriggerMode, cTriggerPadData::kLoop);
    rig.Post(Note(kAudioEventNoteOn, kFirstNote, 100, SongId(1)));
    rig.Render(0);
    struct cRange
    {
        int32_t start, end;
    };
    for (const cRange& range : {cRange{-500, 100000}, cRange{250, 10}, cRange{299, 300}, cRange{0, 299}})
    {
        rig.SetPadInt(0, cTriggerPadData::kParamStart, range.start);
        rig.SetPadInt(0, cTriggerPadData::kParamEnd, range.end);
        for (int block = 0; block < 4; ++block)
        {
            const float peak = rig.Render(0).Peak();
            EXPECT_TRUE(std::isfinite(peak));
            EXPECT_LE(peak, 1.0f);
        }
    }
    EXPECT_EQ(rig.Voices().GetActiveCount(), 1);
    EXPECT_GT(rig.Render(0).Peak(), 0.1f);
}

// Only a path that fails to load counts against the result: empty pads are
// simply empty, and the other pads load whatever one pad does.
TEST(TriggerPadModule, LoadSamplesFailsOnlyForAPathThatDoesNotLoad)
{
    cPadRig rig;
    rig.folder.Write("User/Samples/A.wav", LevelWav(500, 0.5f));
    rig.folder.Write("User/Samples/B.wav", LevelWav(700, 0.5f));
    cTriggerPadData record;
    for (int32_t pad : {0, 5})
    {
        record.samplePath = pad == 0 ? "User/Samples/A.wav" : "User/Samples/B.wav";
        rig.pads.SetPad(pad, record);
    }
    EXPECT_TRUE(rig.pads.LoadSamples(false)) << "fourteen empty pads are no failure";
    EXPECT_NE(rig.pads.GetSample(0), nullptr);
    EXPECT_EQ(rig.pads.GetActiveSet().pads[5].end, 699);
    EXPECT_STREQ(rig.pads.GetActiveSet().pads[5].name.CStr(), "B");

    record.samplePath = "User/Samples/Missing.wav";
    rig.pads.SetPad(9, record);
    EXPECT_FALSE(rig.pads.LoadSamples(false));
    EXPECT_NE(rig.pads.GetSample(0), nullptr);
    EXPECT_NE(rig.pads.GetSample(5), nullptr);
    EXPECT_EQ(rig.pads.GetSample(9), nullptr);
    EXPECT_STREQ(rig.pads.GetActiveSet().pads[9].name.CStr(), "Missing");
}

// A saved range stays only when 0 <= start < end <= frames - 1.
TEST(TriggerPadModule, KeptRangesMustLieInsideTheSample)
{
    struct cCase
    {
        int32_t start, end;
        bool kept;
    };
    for (const cCase& c : {cCase{100, 5000, true}, cCase{0, 5000, true}, cCase{-1, 5000, false},
                           cCase{100, 5001, false}, cCase{200, 200, false}, cCase{300, 200, false}})
    {
        cPadRig rig;
        rig.folder.Write("User/Samples/S.wav", LevelWav(5001, 0.5f));
        cTriggerPadData record;
        record.samplePath = "User/Samples/S.wav";
        record.start = c.start;
        record.end = c.end;
        rig.pads.SetPad(0, record);
        ASSERT_TRUE(rig.pads.LoadSamples(true));
        const cTriggerPadData& pad = rig.pads.GetActiveSet().pads[0];
        EXPECT_EQ(pad.start, c.kept ? c.start : 0) << c.start << ".." << c.end;
        EXPECT_EQ(pad.end, c.kept ? c.end : 5000) << c.start << ".." << c.end;
    }
}

// A pad sample that does not load keeps the pad's path, name and sample.
TEST(TriggerPadModule, AFailedPadLoadKeepsWhatThePadHad)
{
    cPadRig rig;
    rig.LoadLevel(2, "Snare", 800, 0.5f);
    cSample* before = rig.pads.GetSample(2);
    ASSERT_NE(before, nullptr);
    rig.folder.Write("User/Samples/Broken.wav", "RIFF....not a wave");
    for (const char* path : {"User/Samples/Broken.wav", "User/Samples/Gone.wav"})
    {
        EXPECT_FALSE(rig.pads.LoadPadSample(2, path, false));
        EXPECT_EQ(rig.pads.GetSample(2), before);
        EXPECT_STREQ(rig.pads.GetActiveSet().pads[2].samplePath.CStr(), "User/Samples/Snare.wav");
        EXPECT_STREQ(rig.pads.GetActiveSet().pads[2].name.CStr(), "Snare");
    }
    EXPECT_FALSE(rig.pads.ImportPadSample(2, "User/Samples/Gone.wav", "User/Samples/Copy.wav"));
    EXPECT_EQ(rig.pads.GetSample(2), before);
}

// Importing copies and reads the file while the audio thread may render:
// only the new sample's store waits for the audio manager's lock.
TEST(TriggerPadModule, ImportingCopiesAndReadsBeforeTakingTheAudioLock)
{
    cPadRig rig;
    auto manager = MixerTest::MakePausedAudioManager();
    ASSERT_NE(manager, nullptr);
    rig.folder.Write("User/Samples/Clap.wav", LevelWav(900, 0.5f));
    rig.folder.Write("User/Project/Notes.txt", "");
    std::atomic<bool> imported{false};
    std::thread caller;
    {
        cScopedLock audioThread(manager->GetLock());
        caller = std::thread(
            [&] { imported = rig.pads.ImportPadSample(6, "User/Samples/Clap.wav", "User/Project/Clap.wav"); });
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!cSampleRegistry::IsLoaded("User/Project/Clap.wav") && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_TRUE(rig.folder.Exists("User/Project/Clap.wav"));
        EXPECT_TRUE(cSampleRegistry::IsLoaded("User/Project/Clap.wav"));
        EXPECT_FALSE(imported.load());
    }
    caller.join();
    EXPECT_TRUE(imported);
    EXPECT_STREQ(rig.pads.GetActiveSet().pads[6].samplePath.CStr(), "User/Project/Clap.wav");
    EXPECT_EQ(rig.pads.GetActiveSet().pads[6].end, 899);
}

// A project read always makes the set it read active, and a key the
// document leaves out takes its default, not what another bank left in the
// set being read into.
TEST(TriggerPadModule, AProjectReadStartsFromADefaultSet)
{
    cPadRig rig;
    const std::string loud =
        "<Root FileVersion=\"1.0\" Mute=\"3\"><Pad0 Vol=\"0.9\" Tps=\"5\" Vrx=\"Loop\"/>"
        "<Out1 Rev=\"0.7\" Enable=\"1\" Type=\"HP\"/></Root>";
    ASSERT_TRUE(ReadSet(rig.pads, loud));
    ASSERT_TRUE(ReadSet(rig.pads, "<Root FileVersion=\"1.0\"><Pad1 Vol=\"0.2\"/></Root>"));
    ASSERT_TRUE(ReadSet(rig.pads, "<Root FileVersion=\"1.0\"><Pad2 Pan=\"0.1\"/></Root>"));
    const cTriggerPadSet& set = rig.pads.GetActiveSet();
    EXPECT_EQ(set.mute, 0u);
    EXPECT_EQ(set.pads[0].volume, 0.5f);
    EXPECT_EQ(set.pads[0].transpose, 0);
    EXPECT_EQ(set.pads[0].triggerMode, cTriggerPadData::kTrigger);
    EXPECT_EQ(set.pads[1].volume, 0.5f);
    EXPECT_EQ(set.pads[2].pan, 0.1f);
    EXPECT_EQ(set.outputs[1].rev, 0.0f);
    EXPECT_EQ(set.outputs[1].filter.enable, 0);
    EXPECT_EQ(rig.pads.GetParamValue(cTriggerPad::kParamBus2Send1), 0.0f);

    const int32_t before = rig.pads.GetActiveSetIndex();
    EXPECT_FALSE(ReadSet(rig.pads, "<Root FileVersion=\"1.0\"><Pad3 Bus=\"7\"/></Root>"));
    EXPECT_NE(rig.pads.GetActiveSetIndex(), before) << "a damaged read still becomes the set";
    EXPECT_EQ(rig.pads.GetActiveSet().pads[3].bus, 0);
}

// Copy and paste take whole records; clearing a pad empties its slot too.
TEST(TriggerPadModule, PadRecordsCopyWholeAndClearWithTheirSample)
{
    cPadRig rig;
    rig.LoadLevel(4, "Tom", 600, 0.5f);
    rig.SetPadInt(4, cTriggerPadData::kParamChokeGroup, 2);
    rig.Render(0);
    cTriggerPadData copy;
    rig.pads.GetPad(4, copy);
    rig.pads.SetPad(11, copy);
    EXPECT_EQ(rig.pads.GetActiveSet().pads[11].chokeGroup, 2);
    EXPECT_STREQ(rig.pads.GetActiveSet().pads[11].name.CStr(), "Tom");
    EXPECT_EQ(rig.pads.GetSample(11), nullptr) << "the slot is not copied";
    EXPECT_TRUE(rig.pads.IsSampleInUse(cGenString("user/samples/TOM.wav")));
    rig.pads.ClearPad(4);
    rig.pads.ClearPad(11);
    EXPECT_EQ(rig.pads.GetSample(4), nullptr);
    EXPECT_FALSE(rig.pads.IsSampleInUse(cGenString("User/Samples/Tom.wav")));
}
