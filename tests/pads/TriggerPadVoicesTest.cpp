#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "PadTestSupport.h"
#include "audio/ScopedTransport.h"
#include "audio/Transport.h"

using namespace PadTest;

namespace
{
std::vector<uint32_t> ActiveIds(const cTriggerPadVoices& voices)
{
    std::vector<uint32_t> ids;
    for (const cTriggerPadVoice* voice = voices.GetOldestVoice(); voice; voice = voice->GetNext())
        ids.push_back(voice->GetId());
    return ids;
}

bool Contains(const std::vector<uint32_t>& ids, uint32_t id)
{
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}
} // namespace

// A default pad (volume 0.5, centred) at velocity 127: 3.5 x 0.5 x the
// parabolic pan law's 0.75 = 1.3125 on each side, from the first frame.
TEST(TriggerPadVoices, ADefaultPadAtFullVelocityAimsAtItsGainOnBothSides)
{
    cPadRig rig;
    rig.LoadLevel(0, "Level", 4000, 0.25f);
    rig.Post(Note(kAudioEventNoteOn, kFirstNote, 127, SongId(1)));
    const cStereoBlock& block = rig.Render(0);
    const cTriggerPadVoice* voice = rig.Voices().GetOldestVoice();
    ASSERT_NE(voice, nullptr);
    EXPECT_NEAR(voice->GetTargetLeft(), 1.3125f, 1e-5f);
    EXPECT_NEAR(voice->GetTargetRight(), 1.3125f, 1e-5f);
    for (uint32_t f : {0u, 64u, 127u})
    {
        EXPECT_NEAR(block.L(f), Played(0.25f) * 1.3125f, 1e-4f) << f;
        EXPECT_NEAR(block.R(f), Played(0.25f) * 1.3125f, 1e-4f) << f;
    }
}

// Pads 3 and 7 share choke group 1: pad 7 fades pad 3 out across one block;
// pad 3 struck again while it sounds chokes its own older voice.
TEST(TriggerPadVoices, AChokeGroupFadesTheOtherPadWithinABlockAndRestartsTheSamePad)
{
    cPadRig rig;
    rig.LoadLevel(3, "Three", 40000, 0.5f);
    rig.LoadLevel(7, "Seven", 40000, 0.5f);
    for (int32_t pad : {3, 7})
        rig.SetPadInt(pad, cTriggerPadData::kParamChokeGroup, 1);
    rig.SetPadInt(7, cTriggerPadData::kParamBus, 1);
    rig.Post(Note(kAudioEventNoteOn, kFirstNote + 3, 127, SongId(1)));
    const float level = rig.Render(0).L(0);
    ASSERT_GT(level, 0.1f);

    rig.Post(Note(kAudioEventNoteOn, kFirstNote + 7, 127, SongId(2)));
    const cStereoBlock& fading = rig.Render(0);
    EXPECT_NEAR(fading.L(0), level, 1e-4f);
    EXPECT_NEAR(fading.L(64), level * 0.5f, 0.01f);
    EXPECT_LT(fading.L(127), level * 0.01f);
    EXPECT_EQ(rig.Render(0).Peak(), 0.0f);
    EXPECT_GT(rig.Render(1).Peak(), 0.1f);
    EXPECT_EQ(ActiveIds(rig.Voices()), std::vector<uint32_t>{SongId(2)});

    rig.Post(Note(kAudioEventNoteOn, kFirstNote + 7, 127, SongId(3)));
    rig.Render(1);
    EXPECT_EQ(ActiveIds(rig.Voices()), std::vector<uint32_t>{SongId(3)});
}

// "Trigger" plays to its end whatever note off says; "Hold" keeps a voice
// whose sample has ended, silent, until its note off.
TEST(TriggerPadVoices, TriggerIgnoresNoteOffAndHoldWaitsForIt)
{
    cPadRig rig;
    rig.LoadLevel(0, "Long", 1000, 0.5f);
    rig.LoadLevel(1, "Short", 100, 0.5f);
    rig.SetPadInt(1, cTriggerPadData::kParamTriggerMode, cTriggerPadData::kHold);
    rig.Post(Note(kAudioEventNoteOn, kFirstNote, 127, SongId(1)));
    rig.Post(Note(kAudioEventNoteOff, kFirstNote, 0, SongId(1)));
    rig.Render(0);
    EXPECT_GT(rig.Render(0).Peak(), 0.1f) << "a released trigger pad plays on";
    for (int block = 0; block < 8; ++block)
        rig.Render(0);
    EXPECT_EQ(rig.Voices().GetActiveCount(), 0) << "and ends with its sample";

    rig.Post(Note(kAudioEventNoteOn, kFirstNote + 1, 127, SongId(2)));
    rig.Render(0);
    for (int block = 0; block < 4; ++block)
        EXPECT_EQ(rig.Render(0).Peak(), 0.0f);
    EXPECT_EQ(rig.Voices().GetActiveCount(), 1);
    rig.Post(Note(kAudioEventNoteOff, kFirstNote + 1, 0, SongId(2)));
    rig.Render(0);
    EXPECT_EQ(rig.Voices().GetActiveCount(), 0);
}

// With 32 "Hold" voices the 33rd note takes a stopped voice first, then the
// oldest releasing one, and only then the oldest playing one.
TEST(TriggerPadVoices, TheThirtyThirdNoteTakesStoppedThenReleasingThenPlayingVoices)
{
    enum class eVictim
    {
        kStopped,
        kReleasing,
        kPlaying,
    };
    for (eVictim victim : {eVictim::kStopped, eVictim::kReleasing, eVictim::kPlaying})
    {
        cPadRig rig;
        for (int32_t pad = 0; pad < 16; ++pad)
            rig.pads.HandleEvent(MakeSetIntEvent(cTriggerPad::MakeSetId(PadAddress(pad, cTriggerPadData::kParamTriggerMode)),
                                                 cTriggerPadData::kHold));
        // Ids 1..32 on pads 0..15 twice over (pad 10 left out); pad 9's
        // voices are ids 10 and 26.
        const int32_t voices = victim == eVictim::kStopped ? 31 : 32;
        for (int32_t i = 0; i < voices; ++i)
            rig.pads.HandleEvent(Note(kAudioEventNoteOn, kFirstNote + (i % 16 == 10 ? 11 : i % 16), 100, SongId(i + 1)));
        uint32_t expected = SongId(1);
        if (victim == eVictim::kStopped)
        {
            for (int32_t pad : {9, 10})
                rig.pads.HandleEvent(
                    MakeSetIntEvent(cTriggerPad::MakeSetId(PadAddress(pad, cTriggerPadData::kParamChokeGroup)), 1));
            rig.pads.HandleEvent(Note(kAudioEventNoteOn, kFirstNote + 10, 100, SongId(99)));
            expected = SongId(10); // pad 9's older voice, choked by pad 10
        }
        else if (victim == eVictim::kReleasing)
        {
            rig.pads.HandleEvent(Note(kAudioEventNoteOff, kFirstNote + 4, 0, SongId(5)));
            expected = SongId(5);
        }
        ASSERT_EQ(rig.Voices().GetActiveCount(), 32);
        rig.pads.HandleEvent(Note(kAudioEventNoteOn, kFirstNote + 15, 100, SongId(200)));
        const std::vector<uint32_t> ids = ActiveIds(rig.Voices());
        EXPECT_EQ(ids.size(), 32u);
        EXPECT_FALSE(Contains(ids, expected)) << int(victim);
        EXPECT_TRUE(Contains(ids, SongId(200)));
        EXPECT_EQ(ids.back(), SongId(200));
        EXPECT_EQ(Contains(ids, SongId(1)), victim != eVictim::kPlaying) << "the oldest playing voice";
    }
}

// Muting pad 5 (class 2, kind 3, pad 5, value 1) silences its voices from the
// next block while they run on; a voice with flag 8 sounds through the mute.
TEST(TriggerPadVoices, AMutedPadFallsSilentWhileItsVoicesRunUnlessTheyIgnoreMutes)
{
    struct cCase
    {
        uint32_t flags;
        bool silenced;
    };
    for (const cCase& c : {cCase{0, true}, cCase{kAudioEventFlagIgnoreMute, false}})
    {
        cPadRig rig;
        rig.LoadLevel(5, "Five", 40000, 0.5f);
        rig.Post(Note(kAudioEventNoteOn, kFirstNote + 5, 127, UserId(1), c.flags));
        const float level = rig.Render(0).L(0);
        rig.Post(MakeSetIntEvent(cTriggerPad::MakeSetId(cTriggerPadSet::MakeAddress(cTriggerPadSet::kKindMuteBit, 5, 0)), 1));
        const cStereoBlock& muted = rig.Render(0);
        EXPECT_NEAR(muted.L(0), level, 1e-4f);
        if (c.silenced)
        {
            EXPECT_LT(muted.L(127), level * 0.01f);
            EXPECT_EQ(rig.Render(0).Peak(), 0.0f);
        }
        else
        {
            EXPECT_NEAR(rig.Render(0).L(127), level, 1e-4f);
        }
        EXPECT_EQ(rig.Voices().GetActiveCount(), 1);
        EXPECT_EQ(rig.pads.GetActiveSet().mute, 1u << 5);
    }
}

// All notes off frees every voice and held key; with flag bit 2 (a
// transport stop) "Loop" and "Hold" pads sound on.
TEST(TriggerPadVoices, AllNotesOffWithFlagBit2KeepsLoopPads)
{
    for (uint32_t flags : {0u, uint32_t(kAudioEventFlagTransportStop)})
    {
        cPadRig rig;
        rig.LoadLevel(0, "Loop", 4000, 0.5f);
        rig.LoadLevel(1, "Hit", 4000, 0.5f);
        rig.SetPadInt(0, cTriggerPadData::kParamTriggerMode, cTriggerPadData::kLoop);
        rig.Post(Note(kAudioEventNoteOn, kFirstNote, 100, UserId(1)));
        rig.Post(Note(kAudioEventNoteOn, kFirstNote + 1, 100, UserId(2)));
        rig.Render(0);
        ASSERT_EQ(rig.Voices().GetHeldCount(), 2);
        cAudioEvent off;
        off.type = kAudioEventAllNotesOff;
        off.flags = flags;
        rig.Post(off);
        rig.Render(0);
        EXPECT_EQ(rig.Voices().GetHeldCount(), 0);
        const std::vector<uint32_t> ids = ActiveIds(rig.Voices());
        EXPECT_EQ(ids, flags ? std::vector<uint32_t>{UserId(1)} : std::vector<uint32_t>{});
    }
}

// While the sequencer suppresses live input a live note starts no voice: it
// only goes to the sequencer, and its pad lights while the key is held.
TEST(TriggerPadVoices, SuppressedLiveInputOnlyReachesTheSequencerAndLightsThePad)
{
    cScopedTransport transport;
    cRecordingSequencer sequencer;
    cPadRig rig;
    rig.LoadLevel(2, "Two", 4000, 0.5f);
    gTransport.eraseKeys = 1;
    rig.Post(Note(kAudioEventNoteOn, kFirstNote + 2, 90, MIDIId(1, 50)));
    EXPECT_EQ(rig.Render(0).Peak(), 0.0f);
    EXPECT_EQ(rig.Voices().GetActiveCount(), 0);
    EXPECT_EQ(rig.pads.GetParamInt(cTriggerPad::kClassSoundingPads), 1 << 2);
    const std::vector<cAudioEvent> passed = sequencer.Take();
    ASSERT_EQ(passed.size(), 1u);
    EXPECT_EQ(passed[0].type, kAudioEventNoteOn);
    EXPECT_EQ(passed[0].wordB, MIDIId(1, 50));

    rig.Post(Note(kAudioEventNoteOff, kFirstNote + 2, 0, MIDIId(1, 50)));
    rig.Render(0);
    EXPECT_EQ(rig.pads.GetParamInt(cTriggerPad::kClassSoundingPads), 0);
    gTransport.eraseKeys = 0;
    ASSERT_EQ(sequencer.Take().size(), 1u);
}

// Releasing a MIDI input's keys lets go of that source's held notes only.
TEST(TriggerPadVoices, ReleasingASourceLetsGoOfItsKeysOnly)
{
    cPadRig rig;
    rig.SetPadInt(0, cTriggerPadData::kParamTriggerMode, cTriggerPadData::kHold);
    rig.LoadLevel(0, "Held", 40000, 0.5f);
    rig.Post(Note(kAudioEventNoteOn, kFirstNote, 100, MIDIId(3, 48)));
    rig.Post(Note(kAudioEventNoteOn, kFirstNote, 100, MIDIId(4, 48)));
    rig.Render(0);
    cAudioEvent release;
    release.type = kAudioEventReleaseLiveNotes;
    release.SetNote(3, 0);
    rig.Post(release);
    rig.Render(0);
    EXPECT_EQ(rig.Voices().GetHeldCount(), 1);
    const cTriggerPadVoice* oldest = rig.Voices().GetOldestVoice();
    ASSERT_NE(oldest, nullptr);
    EXPECT_EQ(oldest->GetId(), MIDIId(4, 48)) << "the released voice became the newest";
    EXPECT_EQ(oldest->GetNext()->GetState(), cTriggerPadVoice::kStateReleasing);
}
