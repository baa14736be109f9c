#include <gtest/gtest.h>

#include <vector>

#include "SongFixture.h"

namespace
{
// One event a track sent, with the play position of its block.
struct cSent
{
    int32_t position;
    cAudioEvent event;
};

class cTrackTest : public cSongFixture
{
protected:
    // Plays blocks of `step` ticks and notes what slot 0 received in each.
    std::vector<cSent> Play(int32_t from, int32_t to, int32_t step = 8)
    {
        std::vector<cSent> sent;
        for (int32_t t = from; t < to; t += step)
        {
            gTransport.position = t;
            tracks.PlayUpTo(t);
            for (const cAudioEvent& event : Take(0))
                sent.push_back({t, event});
        }
        return sent;
    }

    static std::vector<int32_t> PositionsOf(const std::vector<cSent>& sent, uint8_t type, int note)
    {
        std::vector<int32_t> positions;
        for (const cSent& s : sent)
            if (s.event.type == type && s.event.GetNote() == note)
                positions.push_back(s.position);
        return positions;
    }

    static std::vector<int> TypesOf(const std::vector<cAudioEvent>& events)
    {
        std::vector<int> types;
        for (const cAudioEvent& event : events)
            types.push_back(event.type);
        return types;
    }
};
} // namespace

// Each pass of the pattern plays; a note still sounding at a pass boundary
// gets its note-off there.
TEST_F(cTrackTest, AOneBarPatternPlaysFourTimesInAFourBarPart)
{
    cPattern& bar = Pattern(1);
    bar.loopLength = 1024;
    AddNote(bar, 0, 60, 1500); // longer than the loop
    AddNote(bar, 512, 64, 100);
    cTrack* track = AddTrack(0);
    AddPart(track, 1, 0, 4096);
    Take(0);
    const std::vector<cSent> sent = Play(0, 4200);
    EXPECT_EQ(PositionsOf(sent, kAudioEventNoteOn, 60), (std::vector<int32_t>{0, 1024, 2048, 3072}));
    EXPECT_EQ(PositionsOf(sent, kAudioEventNoteOff, 60), (std::vector<int32_t>{1024, 2048, 3072, 4096}));
    EXPECT_EQ(PositionsOf(sent, kAudioEventNoteOn, 64), (std::vector<int32_t>{512, 1536, 2560, 3584}));
    EXPECT_EQ(PositionsOf(sent, kAudioEventNoteOff, 64), (std::vector<int32_t>{616, 1640, 2664, 3688}));
    // Each note-off carries its note-on's voice id, from the sequencer.
    for (const cSent& on : sent)
    {
        if (on.event.type != kAudioEventNoteOn)
            continue;
        EXPECT_EQ(on.event.wordB >> 24, kVoiceSourceSequencer);
        int offs = 0;
        for (const cSent& off : sent)
            offs += off.event.type == kAudioEventNoteOff && off.event.wordB == on.event.wordB;
        EXPECT_EQ(offs, 1);
    }
    EXPECT_EQ(track->GetSoundingCount(), 0);
}

TEST_F(cTrackTest, ANoteOfNoLengthSoundsForOneBlock)
{
    cTrack* track = AddTrack(0);
    cPatternInstance* part = AddPart(track, -1, 0, 1024);
    AddNote(*part->pattern, 16, 60, 0);
    Take(0);
    const std::vector<cSent> sent = Play(0, 64);
    EXPECT_EQ(PositionsOf(sent, kAudioEventNoteOn, 60), (std::vector<int32_t>{16}));
    EXPECT_EQ(PositionsOf(sent, kAudioEventNoteOff, 60), (std::vector<int32_t>{24}));
}

TEST_F(cTrackTest, ALocateSendsTheProgramBeforeAnyNote)
{
    cTrack* track = AddTrack(0);
    cPatternInstance* first = AddPart(track, -1, 0, 1024);
    first->programWord = cPatternInstance::kProgramChangeBit | (1u << 16) | 0x0203;
    cPatternInstance* middle = AddPart(track, -1, 1024, 2048);
    AddNote(*middle->pattern, 600, 60, 10);
    cPatternInstance* last = AddPart(track, -1, 4096, 1024);
    last->programWord = cPatternInstance::kProgramChangeBit | 0x0005;
    Take(0);

    gTransport.position = 1500;
    track->Locate(1500);
    const std::vector<cAudioEvent> located = Take(0);
    ASSERT_EQ(TypesOf(located), (std::vector<int>{kAudioEventReloadParams, kAudioEventSetIntParam,
                                                   kAudioEventSetIntParam, kAudioEventPrepareProgram}));
    EXPECT_EQ(located[1].wordA, 0u);
    EXPECT_EQ(located[1].wordB, 1u) << "the preset kind of the nearest earlier program";
    EXPECT_EQ(located[2].wordA, 1u);
    EXPECT_EQ(located[2].wordB, 0x0203u);
    EXPECT_EQ(located[3].wordA, 0u);
    EXPECT_EQ(located[3].wordB, 5u) << "the next part's program is announced";
    const std::vector<cSent> sent = Play(1500, 1700);
    EXPECT_EQ(PositionsOf(sent, kAudioEventNoteOn, 60), (std::vector<int32_t>{1628})) << "the first block from 1624";
}

TEST_F(cTrackTest, ControllersArriveAsModuleParameters)
{
    cTrack* track = AddTrack(0);
    cPatternInstance* part = AddPart(track, -1, 0, 1024);
    cPatternEvent* controller = cPatternEvent::Allocate();
    controller->flags = cPatternEvent::kFlagController;
    controller->data3 = 2;
    controller->SetControllerValue(-16384);
    part->pattern->InsertEventSorted(controller);
    track->Locate(0);
    Take(0);
    const std::vector<cSent> sent = Play(0, 8);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].event.type, kAudioEventModuleParam);
    EXPECT_EQ(sent[0].event.wordA, 1u) << "played by a track";
    EXPECT_EQ(sent[0].event.wordB, 2u);
    EXPECT_FLOAT_EQ(sent[0].event.valueF, -16384 * 3.051851e-05f);
}

TEST_F(cTrackTest, AtMostThirtyTwoNotesSoundAtOnce)
{
    cTrack* track = AddTrack(0);
    cPatternInstance* part = AddPart(track, -1, 0, 1024);
    for (int note = 40; note < 80; ++note)
        AddNote(*part->pattern, 0, note, 500);
    track->Locate(0);
    Take(0);
    const std::vector<cSent> sent = Play(0, 8);
    int ons = 0;
    for (const cSent& s : sent)
        ons += s.event.type == kAudioEventNoteOn;
    EXPECT_EQ(ons, 32);
    EXPECT_EQ(track->GetSoundingCount(), 32);
}

TEST_F(cTrackTest, AnEmptySlotDropsWhatItsTracksPlay)
{
    cTrack* track = AddTrack(5);
    ASSERT_NE(track, nullptr);
    cPatternInstance* part = AddPart(track, -1, 0, 1024);
    AddNote(*part->pattern, 0, 60, 10);
    track->Locate(0);
    PlayFromTo(0, 8);
    EXPECT_EQ(track->GetSoundingCount(), 1) << "the track plays on";
    PlayFromTo(8, 64);
    EXPECT_EQ(track->GetSoundingCount(), 0);
    EXPECT_TRUE(Take(0).empty());
    EXPECT_TRUE(Take(1).empty());
}

TEST_F(cTrackTest, TheSixtyFifthTrackAndSlotsPastTheGroupsAreRefused)
{
    for (int i = 0; i < 64; ++i)
        ASSERT_NE(AddTrack(i % 16), nullptr) << i;
    cTrack extra;
    EXPECT_EQ(tracks.InsertTrack(&extra, 0, -1), -1);
    tracks.Clear();
    for (int32_t slot : {16, -1, 255})
        EXPECT_EQ(tracks.InsertTrack(&extra, slot, 0), -1) << slot;
    EXPECT_EQ(tracks.GetCount(), 0);
}

// Tracks of one slot stay together in slot order; removing one renumbers the
// rest and keeps every group's range, empty groups sitting where they would be.
TEST_F(cTrackTest, GroupsStayContiguousThroughInsertAndRemove)
{
    cTrack* a = AddTrack(3);
    cTrack* b = AddTrack(0);
    cTrack* c = AddTrack(3);
    cTrack* d = new cTrack();
    EXPECT_EQ(tracks.InsertTrack(d, 3, 0), 1) << "at the front of its group";
    cTrack* e = AddTrack(1);
    const std::vector<cTrack*> order = {b, e, d, a, c};
    for (int32_t i = 0; i < 5; ++i)
    {
        EXPECT_EQ(tracks.GetTrack(i), order[size_t(i)]) << i;
        EXPECT_EQ(tracks.GetTrack(i)->GetIndex(), i);
    }
    EXPECT_EQ(d->GetIndexInGroup(), 0);
    EXPECT_EQ(c->GetIndexInGroup(), 2);

    delete tracks.RemoveTrack(1);
    EXPECT_EQ(tracks.RemoveTrack(4), nullptr);
    EXPECT_EQ(tracks.RemoveTrack(-1), nullptr);
    const struct
    {
        int32_t first, end;
    } expected[16] = {{0, 1}, {1, 1}, {1, 1}, {1, 4}, {4, 4}, {4, 4}, {4, 4}, {4, 4},
                      {4, 4}, {4, 4}, {4, 4}, {4, 4}, {4, 4}, {4, 4}, {4, 4}, {4, 4}};
    for (int32_t slot = 0; slot < 16; ++slot)
    {
        EXPECT_EQ(tracks.GetGroup(slot).first, expected[slot].first) << slot;
        EXPECT_EQ(tracks.GetGroup(slot).end, expected[slot].end) << slot;
    }
    EXPECT_EQ(a->GetIndex(), 2);
    EXPECT_EQ(c->GetIndexInGroup(), 2);
}

TEST_F(cTrackTest, OneTrackPerGroupTakesTheLiveInput)
{
    cTrack* a = AddTrack(0);
    cTrack* b = AddTrack(0);
    EXPECT_TRUE(a->IsSelected());
    EXPECT_FALSE(b->IsSelected());
    tracks.SelectChannelTrack(1);
    EXPECT_FALSE(a->IsSelected());
    EXPECT_TRUE(b->IsSelected());
    EXPECT_EQ(tracks.GetGroup(0).selected, 1);
    delete tracks.RemoveTrack(1);
    EXPECT_TRUE(a->IsSelected()) << "the group falls back to its first track";
}

TEST_F(cTrackTest, LiveInputCountsHeldKeysAndTouchedControllers)
{
    cTrack track;
    cAudioEvent event;
    event.type = kAudioEventNoteOn;
    event.SetNote(60, 100);
    track.HandleLiveInput(event, 0, false, false, false);
    track.HandleLiveInput(event, 0, false, false, false);
    EXPECT_EQ(track.GetHeldKeyCount(60), 2);
    event.type = kAudioEventNoteOff;
    track.HandleLiveInput(event, 0, false, false, false);
    EXPECT_EQ(track.GetHeldKeyCount(60), 1);

    // A note byte past 127 names no key and changes nothing.
    for (uint8_t type : {kAudioEventNoteOn, kAudioEventNoteOff})
    {
        event.type = type;
        event.SetNote(200, 100);
        track.HandleLiveInput(event, 0, true, false, false);
        for (int note = 0; note < 128; ++note)
            EXPECT_EQ(track.GetHeldKeyCount(note), note == 60 ? 1 : 0);
    }

    cAudioEvent touch;
    touch.type = kAudioEventParamTouch;
    touch.wordA = 37;
    touch.wordB = 1;
    track.HandleLiveInput(touch, 0, false, false, false);
    EXPECT_EQ(track.GetTouchedControllers(), 1u << 5);
    cAudioEvent allOff;
    allOff.type = kAudioEventAllNotesOff;
    track.HandleLiveInput(allOff, 0, false, false, false);
    EXPECT_EQ(track.GetHeldKeyCount(60), 0);
    EXPECT_EQ(track.GetTouchedControllers(), 0u);
}

// A part shorter than a tick on a pattern without a loop has no loop to play
// in: it is never made current, and lengths below a tick are refused.
TEST_F(cTrackTest, APartWithoutALoopToPlayIsPassedOver)
{
    cTrack* track = AddTrack(0);
    cPatternInstance* part = AddPart(track, 3, 0, 1024);
    Pattern(3).loopLength = 0;
    AddNote(Pattern(3), 0, 60, 10);
    EXPECT_FALSE(track->SetPartLength(part, 0));
    EXPECT_FALSE(track->SetPartLength(part, -5));
    EXPECT_EQ(part->length, 1024);

    cPatternInstance* empty = cPatternInstance::Create();
    empty->SetPattern(3);
    empty->start = 2048;
    empty->length = 0;
    track->InsertPart(empty);
    PlayFromTo(0, 3000);
    EXPECT_NE(track->GetCurrentPart(), empty);
    gTransport.position = 2048;
    track->Locate(2048);
    EXPECT_EQ(track->GetCurrentPart(), part) << "the nearest playable part";
    track->RemovePart(part);
    part->Release();
    track->Locate(2048);
    EXPECT_EQ(track->GetCurrentPart(), nullptr);
    PlayFromTo(2048, 2100); // no division by a zero loop
    EXPECT_TRUE(OfType(Take(0), kAudioEventNoteOn).empty());
}

TEST_F(cTrackTest, SongLengthIsTheLatestPartEnd)
{
    cTrack* a = AddTrack(0);
    cTrack* b = AddTrack(1);
    EXPECT_EQ(tracks.GetSongLength(), 0);
    AddPart(a, -1, 0, 1024);
    AddPart(b, -1, 2048, 4096);
    AddPart(a, -1, 1024, 512);
    EXPECT_EQ(tracks.GetSongLength(), 6144);
    EXPECT_EQ(tracks.CountParts(), 3);
    EXPECT_EQ(a->GetEndTime(), 1536);
}
