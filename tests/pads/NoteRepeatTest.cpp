#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "PadTestSupport.h"
#include "audio/ScopedTransport.h"
#include "audio/Transport.h"

using namespace PadTest;

namespace
{
constexpr int32_t kQuarterIndex = 3; // 256 ticks

cAudioEvent RepeatLength(int32_t index)
{
    return MakeSetIntEvent(cTriggerPad::kClassRepeatLength, index);
}

std::vector<uint32_t> PlayingIds(const cPadRig& rig)
{
    std::vector<uint32_t> ids;
    for (const cTriggerPadVoice* voice = rig.Voices().GetOldestVoice(); voice; voice = voice->GetNext())
        if (voice->GetState() == cTriggerPadVoice::kStatePlaying)
            ids.push_back(voice->GetId());
    return ids;
}

// The clock moves 64 ticks per block; each block renders all three buses.
void RunClock(cPadRig& rig, int32_t from, int32_t to, bool offline = false)
{
    for (int32_t tick = from; tick <= to; tick += 64)
    {
        gTransport.clock = tick;
        for (int32_t bus = 0; bus < cTriggerPad::kBusCount; ++bus)
            rig.Render(bus, offline);
    }
}
} // namespace

// Repeat index 3 (256 ticks) with a key held from tick 100: hits at 256, 512
// and 768 at the repeat velocity, each with a new user id, each passed to the
// sequencer at its tick with the previous hit's note off one tick earlier;
// letting go of the key releases the last hit.
TEST(NoteRepeat, AHeldKeyRepeatsOnTheClocksStepsAndItsReleaseEndsTheLastHit)
{
    cScopedTransport transport;
    cRecordingSequencer sequencer;
    cPadRig rig;
    rig.LoadLevel(4, "Hat", 40000, 0.5f);
    rig.SetPadInt(4, cTriggerPadData::kParamTriggerMode, cTriggerPadData::kHold);
    gTransport.clock = 0;
    rig.Post(RepeatLength(kQuarterIndex));
    RunClock(rig, 0, 64);
    gTransport.clock = 100;
    const uint32_t key = UserId(0x777);
    rig.Post(Note(kAudioEventNoteOn, kFirstNote + 4, 90, key));
    rig.RenderAll();
    EXPECT_EQ(rig.Voices().GetActiveCount(), 0) << "a key sounds first on the next step";
    EXPECT_TRUE(sequencer.Take().empty());

    RunClock(rig, 128, 800);
    const std::vector<cAudioEvent> passed = sequencer.Take();
    ASSERT_EQ(passed.size(), 6u);
    std::set<uint32_t> ids;
    uint32_t previous = key;
    for (int hit = 0; hit < 3; ++hit)
    {
        const int32_t tick = 256 * (hit + 1);
        const cAudioEvent& off = passed[size_t(hit * 2)];
        const cAudioEvent& on = passed[size_t(hit * 2 + 1)];
        EXPECT_EQ(off.type, kAudioEventNoteOff);
        EXPECT_EQ(off.position, tick - 1);
        EXPECT_EQ(off.wordB, previous);
        EXPECT_EQ(on.type, kAudioEventNoteOn);
        EXPECT_EQ(on.position, tick);
        for (const cAudioEvent* event : {&off, &on})
        {
            EXPECT_EQ(event->flags, uint32_t(kAudioEventFlagOwnTime));
            EXPECT_EQ(event->GetNote(), kFirstNote + 4);
            EXPECT_EQ(event->GetVelocity(), 100);
        }
        EXPECT_EQ(on.wordB >> 24, kVoiceSourceUser);
        EXPECT_NE(on.wordB, key);
        ids.insert(on.wordB);
        previous = on.wordB;
    }
    EXPECT_EQ(ids.size(), 3u);
    EXPECT_EQ(PlayingIds(rig), std::vector<uint32_t>{previous}) << "each hit released the one before";

    rig.Post(Note(kAudioEventNoteOff, kFirstNote + 4, 0, key));
    rig.RenderAll();
    EXPECT_TRUE(PlayingIds(rig).empty());
    const std::vector<cAudioEvent> released = sequencer.Take();
    ASSERT_EQ(released.size(), 1u);
    EXPECT_EQ(released[0].wordB, previous);
    RunClock(rig, 832, 1100);
    EXPECT_TRUE(sequencer.Take().empty()) << "no key, no hits";
}

// Offline renders (mixdowns) play the song, never the user's held keys.
TEST(NoteRepeat, OfflineRendersRepeatNothing)
{
    cScopedTransport transport;
    cRecordingSequencer sequencer;
    cPadRig rig;
    rig.LoadLevel(0, "Kick", 4000, 0.5f);
    gTransport.clock = 0;
    rig.Post(RepeatLength(5));
    rig.Post(Note(kAudioEventNoteOn, kFirstNote, 90, UserId(1)));
    RunClock(rig, 0, 2048, true);
    EXPECT_EQ(rig.Voices().GetActiveCount(), 0);
    EXPECT_TRUE(sequencer.Take().empty());
}

// During a count-in the clock is negative: steps are floored, also when the
// length is set, so hits fall on the grid from the next step on.
TEST(NoteRepeat, CountInStepsAreFloored)
{
    cScopedTransport transport;
    cRecordingSequencer sequencer;
    cPadRig rig;
    rig.LoadLevel(0, "Kick", 4000, 0.5f);
    gTransport.clock = -300;
    rig.Post(RepeatLength(kQuarterIndex));
    rig.Post(Note(kAudioEventNoteOn, kFirstNote, 90, UserId(1)));
    RunClock(rig, -300, 20);
    std::vector<int32_t> onTicks;
    for (const cAudioEvent& event : sequencer.Take())
        if (event.type == kAudioEventNoteOn)
            onTicks.push_back(event.position);
    EXPECT_EQ(onTicks, (std::vector<int32_t>{-256, 0}));
}

// Indexes outside 0..7 are refused; velocities are held to 0..127.
TEST(NoteRepeat, SettingsKeepToTheirRanges)
{
    cPadRig rig;
    struct cCase
    {
        uint32_t id;
        int32_t value;
        int32_t read;
    };
    for (const cCase& c : {cCase{cTriggerPad::kClassRepeatLength, 7, 7}, cCase{cTriggerPad::kClassRepeatLength, 8, 7},
                           cCase{cTriggerPad::kClassRepeatLength, -1, 7}, cCase{cTriggerPad::kClassRepeatVelocity, 64, 64},
                           cCase{cTriggerPad::kClassRepeatVelocity, 500, 127},
                           cCase{cTriggerPad::kClassRepeatVelocity, -5, 0}})
    {
        rig.Post(MakeSetIntEvent(c.id, c.value));
        rig.Render(0);
        EXPECT_EQ(rig.pads.GetParamInt(c.id), c.read) << c.id << " " << c.value;
    }
}
