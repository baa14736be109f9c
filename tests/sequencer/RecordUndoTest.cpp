#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "RecordingFixture.h"

namespace
{
using cRecordUndoTest = cRecordingFixture;

// A small repeatable generator for the played stream.
class cPlayer
{
public:
    uint32_t Next(uint32_t n)
    {
        mState = mState * 1664525u + 1013904223u;
        return (mState >> 8) % n;
    }

private:
    uint32_t mState = 12345;
};

cPatternEvent* AddNote(cPattern& pattern, int32_t time, uint8_t note, int32_t length = 100)
{
    cPatternEvent* event = cPatternEvent::Allocate();
    event->time = time;
    event->length = length;
    event->SetNote(note);
    event->SetVelocity(90);
    pattern.InsertEventSorted(event);
    return event;
}
} // namespace

// Notes played live into the sequencer's ring while the audio blocks run,
// over a loop that is recorded twice, into a private part, a shared pattern
// and empty bars of two tracks: one undo gives back the song as it was,
// field by field; a second undo does nothing.
TEST_F(cRecordUndoTest, UndoAfterALiveStreamGivesBackTheSongAsItWas)
{
    cTrack* first = AddTrack(0);
    cTrack* second = AddTrack(1);
    cPatternInstance* own = AddPrivatePart(first, 0, 2048, {0, 256, 512, 768, 1024, 1536}, 100);
    cPattern& shared = *sequencer.GetPatternTable()->GetPattern(3);
    shared.loopLength = 1024;
    for (int32_t t = 0; t < 1024; t += 128)
        AddNote(shared, t, uint8_t(60 + (t / 128) % 5));
    cPatternInstance* repeated = cPatternInstance::Create();
    repeated->SetPattern(3);
    repeated->start = 2048;
    repeated->length = 2048;
    first->InsertPart(repeated);
    AddPrivatePart(second, 8192, 1024, {0, 512});
    own->programWord = cPatternInstance::kProgramChangeBit | 0x0102;
    const cSongSnapshot before = cSongSnapshot::Take(sequencer);

    sequencer.SetLoopEnabled(true); // four bars
    sequencer.SetPosition(0);
    sequencer.Record();
    ASSERT_EQ(gTransport.state, cTransport::kRecording);
    cPlayer player;
    struct cHeld
    {
        uint8_t note, slot;
        uint32_t voice;
    };
    std::vector<cHeld> held;
    uint32_t voice = 0x10;
    int32_t wraps = 0;
    int32_t last = 0;
    while (wraps < 2)
    {
        const uint32_t roll = player.Next(20);
        if (roll < 2 && held.size() < 8)
        {
            // Pitches 60..64 meet the notes already there.
            const cHeld note{uint8_t(60 + player.Next(8)), uint8_t(player.Next(2)), voice++};
            sequencer.PostEvent(LiveNoteOn(note.note, uint8_t(1 + player.Next(127)), note.voice, note.slot));
            held.push_back(note);
        }
        else if (roll < 4 && !held.empty())
        {
            const size_t i = player.Next(uint32_t(held.size()));
            sequencer.PostEvent(LiveNoteOff(held[i].note, held[i].voice, held[i].slot));
            held.erase(held.begin() + ptrdiff_t(i));
        }
        sequencer.AdvanceBlock(kRate, NextBlockFrames());
        wraps += gTransport.position < last;
        last = gTransport.position;
    }
    for (const cHeld& note : held)
        sequencer.PostEvent(LiveNoteOff(note.note, note.voice, note.slot));
    sequencer.AdvanceBlock(kRate, 128);
    sequencer.Stop();
    const cSongSnapshot recorded = cSongSnapshot::Take(sequencer);
    ASSERT_NE(recorded, before);
    EXPECT_GT(Journal().GetRemovedCount(), 0) << "no note of the song was played over";
    EXPECT_GT(second->GetPartCount(), 1) << "no part was made";

    EXPECT_TRUE(sequencer.UndoRecording());
    EXPECT_EQ(cSongSnapshot::Take(sequencer), before);
    EXPECT_FALSE(sequencer.UndoRecording());
    EXPECT_EQ(cSongSnapshot::Take(sequencer), before);
}

// A session that made two parts and added notes to a third: undo removes
// the two parts, only the session's notes from the third, and gives it its
// length back.
TEST_F(cRecordUndoTest, UndoRemovesTheSessionsPartsAndNotesOnly)
{
    cTrack* first = AddTrack(0);
    cTrack* second = AddTrack(1);
    cPatternInstance* kept = AddPrivatePart(first, 0, 1024, {100, 700});
    RecordFrom(0);
    Note(500, 600, 72);           // into the part
    Note(900, 1500, 73);          // runs past its end: the part grows to 2048
    Note(3000, 3100, 74);         // after it: a new part
    Note(3000, 3100, 75, 90, 1);  // on the second track: a new part
    ASSERT_EQ(kept->length, 2048);
    ASSERT_EQ(first->GetPartCount(), 2);
    ASSERT_EQ(second->GetPartCount(), 1);
    ASSERT_EQ(kept->pattern->count, 4);
    sequencer.Stop();

    ASSERT_TRUE(sequencer.UndoRecording());
    EXPECT_EQ(first->GetPartCount(), 1);
    EXPECT_EQ(first->GetFirstPart(), kept);
    EXPECT_EQ(second->GetPartCount(), 0);
    EXPECT_EQ(kept->length, 1024);
    EXPECT_EQ(kept->pattern->loopLength, 1024);
    std::vector<int32_t> times;
    for (const cPatternEvent* e = kept->pattern->head; e; e = e->next)
        times.push_back(e->time);
    EXPECT_EQ(times, (std::vector<int32_t>{100, 700}));
    EXPECT_EQ(Journal().GetAddedCount(), 0);
    EXPECT_EQ(Journal().GetRemovedCount(), 0);
    EXPECT_FALSE(sequencer.UndoRecording());
}

// Session IDs run 1..127 and then start again: an ID a session takes is
// first cleared from the older events and parts that still carry it, so
// recording over them, and undoing that, treats them as older work. Both
// the main thread's record command and a state change through the ring
// start sessions.
TEST_F(cRecordUndoTest, ASessionIdTakenAgainIsClearedFromOlderWork)
{
    for (bool throughRing : {false, true})
    {
        sequencer.NewSong();
        sequencer.SetLoopEnabled(false);
        gTransport.countInBars = 0;
        cTrack* track = AddTrack(0);
        RecordFrom(0);
        const int32_t id = sequencer.GetRecordSessionId();
        Note(1030, 1100, 60, 40);
        sequencer.Stop();
        cPatternInstance* old = track->GetFirstPart();
        ASSERT_EQ(old->recordSessionId, id);

        for (int i = 0; i < 127; ++i)
        {
            sequencer.Stop();
            if (throughRing)
            {
                sequencer.PostEvent(MakeSetIntEvent(cSequencer::kParamState, cTransport::kRecording));
                sequencer.AdvanceBlock(kRate, 128);
            }
            else
                sequencer.Record();
        }
        ASSERT_EQ(sequencer.GetRecordSessionId(), id) << throughRing;
        EXPECT_EQ(old->recordSessionId, 0) << throughRing;
        EXPECT_EQ(old->pattern->head->GetSession(), 0) << throughRing;

        gTransport.position = 0;
        Note(1030, 1060, 60, 120); // replaces the old note
        Note(1300, 1400, 62, 120);
        sequencer.Stop();
        ASSERT_TRUE(sequencer.UndoRecording()) << throughRing;
        ASSERT_EQ(track->GetFirstPart(), old) << throughRing;
        ASSERT_EQ(old->pattern->count, 1) << throughRing;
        EXPECT_EQ(old->pattern->head->data2, 40) << throughRing;
        EXPECT_EQ(old->pattern->head->length, 70) << throughRing;
    }
}

// The journal holds parts by pointer: removing a track whose part it holds,
// or letting such a part go outside undo, drops the journal instead of
// leaving it pointing at freed records.
TEST_F(cRecordUndoTest, TheJournalIsDroppedWhenItsPartsGoAway)
{
    for (bool removeTrack : {true, false})
    {
        sequencer.NewSong();
        sequencer.SetLoopEnabled(false);
        gTransport.countInBars = 0;
        cTrack* track = AddTrack(0);
        cTrack* other = AddTrack(1);
        AddPrivatePart(other, 0, 1024, {10});
        RecordFrom(0);
        Note(300, 400, 60);
        Note(300, 400, 61, 90, 1);
        sequencer.Stop();
        ASSERT_TRUE(Journal().HasEntries());
        {
            cScopedLock lock(sequencer.GetLock());
            if (removeTrack)
                delete sequencer.RemoveTrack(track->GetIndex());
            else
            {
                cPatternInstance* part = track->GetFirstPart();
                track->RemovePart(part);
                part->Release();
            }
        }
        EXPECT_FALSE(Journal().HasEntries()) << removeTrack;
        EXPECT_FALSE(sequencer.UndoRecording()) << removeTrack;
        // The other track keeps what was recorded into it.
        EXPECT_EQ(other->GetFirstPart()->pattern->count, 2) << removeTrack;
    }
}

// A note the last session replaced waits in the journal; when the record
// command then clears the next session's ID (its count-in stopped before it
// began) and the replacement is undone, the note comes back without that ID.
TEST_F(cRecordUndoTest, ANoteUndoRestoresCarriesNoIdTakenMeanwhile)
{
    cTrack* track = AddTrack(0);
    RecordFrom(0);
    const int32_t id = sequencer.GetRecordSessionId();
    Note(1030, 1100, 60, 40);
    for (int i = 0; i < 126; ++i)
    {
        sequencer.Stop();
        sequencer.Record();
    }
    gTransport.position = 0;
    Note(1030, 1060, 60, 120); // the session before the ID comes round again replaces the note
    sequencer.Stop();
    ASSERT_EQ(Journal().GetRemovedCount(), 1);
    gTransport.countInBars = 1;
    sequencer.Record(); // readies the ID for the next session
    sequencer.Stop();   // before the count-in ends
    ASSERT_TRUE(sequencer.UndoRecording());
    const cPatternEvent* note = track->GetFirstPart()->pattern->head;
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->data2, 40);
    EXPECT_EQ(note->GetSession(), 0);

    gTransport.countInBars = 0;
    gTransport.position = 0;
    sequencer.Record();
    ASSERT_EQ(sequencer.GetRecordSessionId(), id);
    gTransport.position = 0;
    Note(1030, 1060, 60, 100);
    sequencer.Stop();
    ASSERT_TRUE(sequencer.UndoRecording());
    ASSERT_EQ(track->GetFirstPart()->pattern->count, 1);
    EXPECT_EQ(track->GetFirstPart()->pattern->head->data2, 40);
}
