#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "RecordingFixture.h"
#include "sequencer/ModelChangeHooks.h"
#include "sequencer/QuantizeSettings.h"

namespace
{
using cRecordingTest = cRecordingFixture;

// Counts what the model-change hooks were told, by kind.
struct cHookCounter
{
    int events[3] = {};
    int parts[3] = {};

    void OnEvent(int32_t kind, const cPatternEventChange* change)
    {
        ASSERT_NE(change->pattern, nullptr);
        ASSERT_NE(change->event, nullptr);
        ++events[kind];
    }
    void OnPart(int32_t kind, cPatternInstance* part)
    {
        ASSERT_NE(part, nullptr);
        ++parts[kind];
    }
};

// Installs the hooks for a test's lifetime.
struct cScopedHooks
{
    explicit cScopedHooks(cHookCounter& counter)
    {
        OnPatternEventChanged.Bind(&counter, &cHookCounter::OnEvent);
        OnPatternInstanceChanged.Bind(&counter, &cHookCounter::OnPart);
    }
    ~cScopedHooks()
    {
        OnPatternEventChanged.Clear();
        OnPatternInstanceChanged.Clear();
    }
};
} // namespace

// Files what the recorders hold up to a position, as the editors do.
void CommitAt(cSequencer& sequencer, int32_t ticks)
{
    gTransport.position = ticks;
    sequencer.CommitRecordedNotes();
}

// With the grid at 1/16 a note lands on the nearest sixteenth and keeps the
// length it was held; played after the last part it makes a private part
// from the bar line at or before the record start to the bar line after its
// end (a bar more when it ends on one).
TEST_F(cRecordingTest, NotesLandOnTheGridInPartsCutAtBarLines)
{
    struct cCase
    {
        bool earlierPart; // a part over the first bar
        int32_t recordFrom, on, off;
        int32_t stored, length, partStart, partEnd;
    };
    const cCase cases[] = {
        {false, 0, 1030, 1230, 1024, 200, 0, 2048},
        {true, 2500, 3000, 3500, 3008, 500, 2048, 4096},
        {true, 2500, 3008, 4096, 3008, 1088, 2048, 5120}, // ends on a bar line
        {true, 1500, 1530, 1600, 1536, 70, 1024, 2048},   // the part before ends at 1024
        {false, 5000, 6000, 6010, 6016, 10, 4096, 6144},  // quantised past its release
    };
    for (const cCase& c : cases)
    {
        sequencer.NewSong();
        sequencer.SetLoopEnabled(false);
        cTrack* track = AddTrack(0);
        if (c.earlierPart)
            AddPrivatePart(track, 0, 1024, {});
        RecordFrom(c.recordFrom);
        Note(c.on, c.off, 60);
        CommitAt(sequencer, c.off + 100);
        const auto notes = NotesOf(*track);
        ASSERT_EQ(notes.count(60), 1u) << c.on;
        const auto& [time, event] = notes.find(60)->second;
        EXPECT_EQ(time, c.stored) << c.on;
        EXPECT_EQ(event->length, c.length) << c.on;
        const cPatternInstance* part = track->GetLastPart();
        EXPECT_EQ(part->start, c.partStart) << c.on;
        EXPECT_EQ(part->GetEnd(), c.partEnd) << c.on;
        EXPECT_EQ(part->pattern->loopLength, part->length) << c.on;
        EXPECT_EQ(part->recordSessionId, sequencer.GetRecordSessionId()) << c.on;
        EXPECT_EQ(event->GetSession(), sequencer.GetRecordSessionId()) << c.on;
    }
}

// A pass of the loop played again on the same pitch and tick keeps one note
// with the newer velocity, a chord included; a note of an earlier session is
// replaced, and undo brings it back.
TEST_F(cRecordingTest, PlayingOverANoteReplacesIt)
{
    cTrack* track = AddTrack(0);
    RecordFrom(0);
    for (uint8_t note : {60, 64, 67})
        Note(1030, 1100, note, 80);
    for (uint8_t note : {60, 64, 67})
        Note(1030, 1100, note, 110);
    auto notes = NotesOf(*track);
    ASSERT_EQ(notes.size(), 3u);
    for (const auto& [pitch, placed] : notes)
        EXPECT_EQ(placed.second->data2, 110) << pitch;

    sequencer.Stop();
    RecordFrom(0);
    Note(1030, 1060, 64, 30);
    notes = NotesOf(*track);
    ASSERT_EQ(notes.count(64), 1u);
    EXPECT_EQ(notes.find(64)->second.second->data2, 30);
    EXPECT_EQ(notes.find(64)->second.second->length, 30);
    EXPECT_EQ(Journal().GetRemovedCount(), 1);

    sequencer.Stop();
    ASSERT_TRUE(sequencer.UndoRecording());
    notes = NotesOf(*track);
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_EQ(notes.find(64)->second.second->data2, 110);
    EXPECT_EQ(notes.find(64)->second.second->length, 70);
    EXPECT_EQ(notes.find(64)->second.first, 1024);
}

// Controller moves closer together than the grid leave one event per grid
// line, holding the last value played there.
TEST_F(cRecordingTest, ControllerMovesAreThinnedToOnePerGridInterval)
{
    cTrack* track = AddTrack(0);
    RecordFrom(1024);
    for (int32_t t = 1024; t < 1280; t += 8)
        At(t, LiveController(5, float(t - 1024) / 256.0f));
    At(1300, LiveController(6, 0.5f)); // another controller keeps its own event
    CommitAt(sequencer, 1400);
    const cPattern& pattern = *track->GetFirstPart()->pattern;
    std::vector<std::pair<int32_t, int32_t>> fives;
    int sixes = 0;
    for (const cPatternEvent* e = pattern.head; e; e = e->next)
    {
        ASSERT_TRUE(e->IsController());
        EXPECT_EQ(e->length, 16);
        if (e->data3 == 5)
            fives.push_back({track->GetFirstPart()->start + e->time, e->GetControllerValue()});
        else
            sixes += e->data3 == 6;
    }
    // The positions snap to the nearest line, half-way going up.
    const auto value = [](int32_t t) { return int32_t(float(t - 1024) / 256.0f * 32767.0f); };
    EXPECT_EQ(fives, (std::vector<std::pair<int32_t, int32_t>>{
                         {1024, value(1048)}, {1088, value(1112)}, {1152, value(1176)}, {1216, value(1240)},
                         {1280, value(1272)}}));
    EXPECT_EQ(sixes, 1);
}

// Recorded controller values are kept as signed 16 bits: past full scale
// they stay at the end they passed, and a value that is no number is 0.
TEST_F(cRecordingTest, ControllerValuesStayInsideSixteenBits)
{
    struct cCase
    {
        float value;
        int32_t stored;
    };
    const cCase cases[] = {{1.0f, 32767},  {-1.0f, -32767}, {2.0f, 32767},  {-3.0f, -32768},
                           {0.5f, 16383}, {std::numeric_limits<float>::quiet_NaN(), 0},
                           {std::numeric_limits<float>::infinity(), 32767}};
    cTrack* track = AddTrack(0);
    RecordFrom(0);
    for (uint32_t parameter = 0; parameter < std::size(cases); ++parameter)
        At(int32_t(parameter) * 64, LiveController(parameter, cases[parameter].value));
    CommitAt(sequencer, 2048);
    const cPattern& pattern = *track->GetFirstPart()->pattern;
    for (const cPatternEvent* e = pattern.head; e; e = e->next)
        EXPECT_EQ(e->GetControllerValue(), cases[e->data3].stored) << "case " << int(e->data3);
    EXPECT_EQ(pattern.count, int32_t(std::size(cases)));
}

// Notes pressed in a record count-in and still held at the downbeat start
// at the record start; notes already let go are lost.
TEST_F(cRecordingTest, NotesHeldAcrossTheCountInStartAtTheRecordStart)
{
    cTrack* track = AddTrack(0);
    gTransport.countInBars = 1;
    sequencer.SetPosition(2100);
    sequencer.Record();
    ASSERT_EQ(gTransport.state, cTransport::kRecordCountIn);
    ASSERT_EQ(gTransport.position, 2048);
    sequencer.PostEvent(LiveNoteOn(60, 90, 1));
    sequencer.PostEvent(LiveNoteOn(62, 90, 2));
    sequencer.AdvanceBlock(kRate, 128);
    sequencer.PostEvent(LiveNoteOff(62, 2));
    while (gTransport.state != cTransport::kRecording)
        sequencer.AdvanceBlock(kRate, NextBlockFrames());
    while (gTransport.position < 2048 + 300)
        sequencer.AdvanceBlock(kRate, NextBlockFrames());
    const int32_t released = gTransport.position;
    sequencer.PostEvent(LiveNoteOff(60, 1));
    sequencer.AdvanceBlock(kRate, 128);
    const auto notes = NotesOf(*track);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes.count(60), 1u);
    EXPECT_EQ(notes.find(60)->second.first, 2048);
    EXPECT_EQ(notes.find(60)->second.second->length, released - 2048);
}

// A 17th held note first makes the recorder file what is finished; with
// nothing finished it is dropped.
TEST_F(cRecordingTest, ASeventeenthHeldNoteForcesACommitOrIsDropped)
{
    cTrack* track = AddTrack(0);
    RecordFrom(1024);
    // Released at once but quantised ahead of the play position: held until it is passed.
    Note(1060, 1070, 40);
    for (uint8_t i = 0; i < 15; ++i)
        At(1080, LiveNoteOn(uint8_t(50 + i), 100, 100 + i));
    EXPECT_EQ(track->GetRecorder().GetHeldCount(), 16);
    At(1100, LiveNoteOn(70, 100, 200)); // takes the record the commit frees
    EXPECT_EQ(NotesOf(*track).count(40), 1u);
    At(1110, LiveNoteOn(71, 100, 201)); // none frees now
    EXPECT_EQ(track->GetRecorder().GetHeldCount(), 16);
    for (uint8_t i = 0; i < 15; ++i)
        At(1200, LiveNoteOff(uint8_t(50 + i), 100 + i));
    At(1200, LiveNoteOff(70, 200));
    At(1200, LiveNoteOff(71, 201));
    CommitAt(sequencer, 1300);
    const auto notes = NotesOf(*track);
    EXPECT_EQ(notes.size(), 17u);
    EXPECT_EQ(notes.count(70), 1u);
    EXPECT_EQ(notes.count(71), 0u);
    EXPECT_EQ(track->GetRecorder().GetHeldCount(), 0);
}

// A note that carries its own tick (a pad's note repeat) is filed at that
// tick, unquantised.
TEST_F(cRecordingTest, AnEventWithItsOwnTimeIsFiledAtThatTick)
{
    cTrack* track = AddTrack(0);
    RecordFrom(1024);
    At(2010, AtOwnTime(LiveNoteOn(36, 100, 7), 2000));
    At(2110, AtOwnTime(LiveNoteOff(36, 7), 2099));
    CommitAt(sequencer, 2200);
    const auto notes = NotesOf(*track);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes.find(36)->second.first, 2000);
    EXPECT_EQ(notes.find(36)->second.second->length, 99);
}

// The model-change hooks hear of every part and event recording makes or
// changes; unset, they are skipped.
TEST_F(cRecordingTest, TheChangeHooksHearOfRecording)
{
    cTrack* track = AddTrack(0);
    cHookCounter counter;
    {
        cScopedHooks hooks(counter);
        RecordFrom(0);
        Note(100, 200, 60, 50);
        Note(100, 200, 60, 70);  // the same note again: changed
        Note(1100, 1200, 62, 70); // past the part's end: it grows
    }
    Note(3100, 3200, 64); // no hooks
    EXPECT_EQ(counter.parts[kModelAdded], 1);
    EXPECT_EQ(counter.parts[kModelChanged], 1);
    EXPECT_EQ(counter.events[kModelAdded], 2);
    EXPECT_EQ(counter.events[kModelChanged], 1);
    EXPECT_EQ(NotesOf(*track).size(), 3u);
}

// While recording, held keys erase the notes of their pitch that playback
// reaches (and are not recorded), erase-all erases everything reached, a
// touched controller erases its own events; undo puts all of it back.
TEST_F(cRecordingTest, ErasingWipesWhatPlaybackReachesAndUndoRestoresIt)
{
    struct cCase
    {
        const char* name;
        bool eraseKeys, eraseAll, touch;
    };
    const cCase cases[] = {
        {"held key", true, false, false},
        {"everything", false, true, false},
        {"touched controller", false, false, true},
    };
    constexpr int32_t kErasedUpTo = 2048 + 64; // half-way between two events
    for (const cCase& c : cases)
    {
        sequencer.NewSong();
        sequencer.SetLoopEnabled(false);
        gTransport.countInBars = 0;
        cTrack* track = AddTrack(0);
        cPatternInstance* part = AddPrivatePart(track, 0, 4096, {});
        for (int32_t t = 0; t < 4096; t += 256)
        {
            cPatternEvent* note = cPatternEvent::Allocate();
            note->time = t;
            note->length = 64;
            note->SetNote((t / 256) % 2 ? 62 : 60);
            note->SetVelocity(100);
            part->pattern->InsertEventSorted(note);
            cPatternEvent* controller = cPatternEvent::Allocate();
            controller->flags = cPatternEvent::kFlagController;
            controller->time = t + 128;
            controller->length = 16;
            controller->data3 = (t / 256) % 2 ? 5 : 6;
            controller->SetControllerValue(t);
            part->pattern->InsertEventSorted(controller);
        }
        const cSongSnapshot before = cSongSnapshot::Take(sequencer);
        sequencer.SetPosition(0);
        sequencer.Record();
        ASSERT_EQ(gTransport.state, cTransport::kRecording) << c.name;
        sequencer.PostEvent(MakeSetIntEvent(cSequencer::kParamEraseKeys, c.eraseKeys));
        sequencer.PostEvent(MakeSetIntEvent(cSequencer::kParamEraseAll, c.eraseAll));
        const bool holdsKey = c.eraseKeys || c.eraseAll;
        if (holdsKey)
            sequencer.PostEvent(LiveNoteOn(62, 100, 1));
        if (c.touch)
            sequencer.PostEvent(LiveTouch(5, true));
        while (gTransport.position < kErasedUpTo)
            sequencer.AdvanceBlock(kRate, NextBlockFrames());
        if (holdsKey)
            sequencer.PostEvent(LiveNoteOff(62, 1));
        sequencer.Stop();
        sequencer.AdvanceBlock(kRate, 128);

        for (int32_t t = 0; t < 4096; t += 128)
        {
            const bool isNote = t % 256 == 0;
            const bool odd = (t / 256) % 2 != 0; // pitch 62, controller 5
            const bool played = t < kErasedUpTo;
            const bool erased = played && (c.eraseAll || (isNote && odd && c.eraseKeys) ||
                                           (!isNote && odd && c.touch));
            int found = 0;
            for (const cPatternEvent* e = part->pattern->head; e; e = e->next)
                found += e->time == t;
            EXPECT_EQ(found, erased ? 0 : 1) << c.name << " at " << t;
        }
        // The held key was not recorded.
        for (const cPatternEvent* e = part->pattern->head; e; e = e->next)
            EXPECT_EQ(e->GetSession(), 0) << c.name;
        EXPECT_EQ(track->GetPartCount(), 1) << c.name;

        ASSERT_TRUE(sequencer.UndoRecording()) << c.name;
        EXPECT_EQ(cSongSnapshot::Take(sequencer), before) << c.name;
    }
}

// A shared pattern without a loop length of its own repeats over its part's
// length; a note recorded into it is filed inside that length.
TEST_F(cRecordingTest, ASharedPatternWithoutALoopTakesTheNoteInsideItsPart)
{
    cTrack* track = AddTrack(0);
    cPattern& shared = *sequencer.GetPatternTable()->GetPattern(2);
    shared.loopLength = 0;
    cPatternInstance* part = cPatternInstance::Create();
    part->SetPattern(2);
    part->start = 1024;
    part->length = 2048;
    track->InsertPart(part);
    RecordFrom(1024);
    Note(2600, 2700, 60);
    ASSERT_EQ(shared.count, 1);
    EXPECT_EQ(shared.head->time, 2624 - 1024);
    EXPECT_EQ(track->GetPartCount(), 1);
}

// A note held from one part into the next part's bars makes the first part
// grow; the part playing meanwhile plays on.
TEST_F(cRecordingTest, APartGrowingUnderTheNextPartLeavesThatPartPlaying)
{
    cTrack* track = AddTrack(0);
    RecordFrom(0);
    Note(900, 1000, 50); // a part of this session over the first bar
    cPatternInstance* later = AddPrivatePart(track, 2048, 2048, {200, 600});
    sequencer.SetPosition(2048);
    Take(0);
    while (gTransport.position < 2048 + 100)
        sequencer.AdvanceBlock(kRate, NextBlockFrames());
    // Played in the part's bar, filed back in the first part, which grows.
    sequencer.PostEvent(AtOwnTime(LiveNoteOn(53, 100, 10), 1500));
    sequencer.PostEvent(AtOwnTime(LiveNoteOff(53, 10), 2000));
    while (gTransport.position < 2048 + 700)
        sequencer.AdvanceBlock(kRate, NextBlockFrames());
    EXPECT_EQ(track->GetFirstPart()->GetEnd(), 2048);
    EXPECT_EQ(track->GetCurrentPart(), later);
    std::vector<int> played;
    for (const cAudioEvent& event : OfType(Take(0), kAudioEventNoteOn))
        played.push_back(event.GetNote());
    EXPECT_EQ(played, (std::vector<int>{60, 61}));
}
