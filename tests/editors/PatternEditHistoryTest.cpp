#include <gtest/gtest.h>

#include <functional>

#include "PatternEditFixture.h"
#include "audio/AudioEvent.h"
#include "audio/Transport.h"
#include "base/CriticalSection.h"
#include "sequencer/RecordUndoJournal.h"
#include "sequencer/RecordingFixture.h"
#include "sequencer/TrackList.h"

namespace
{
using cAction = cPatternEditAction;
using cHistoryTest = cPatternEditTest;
} // namespace

TEST_F(cHistoryTest, AFifthEditDropsTheOldest)
{
    cPatternEvent* note = world.AddNote(1000, 60, 10);
    world.Rebuild();
    Select({note});
    for (int i = 0; i < 5; ++i)
        model.Move(10.0f);
    EXPECT_EQ(note->time, 1050);
    EXPECT_EQ(model.GetStepCount(), 4);
    EXPECT_EQ(model.GetCurrentStep(), 3);
    model.GoToHistoryStep(-1);
    EXPECT_EQ(note->time, 1010);
    EXPECT_FALSE(model.CanUndo());
    EXPECT_TRUE(model.CanRedo());
}

TEST_F(cHistoryTest, AnEditAfterUndosDropsTheirRedoSteps)
{
    cPatternEvent* note = world.AddNote(1000, 60, 10);
    world.Rebuild();
    Select({note});
    for (int i = 0; i < 3; ++i)
        model.Move(10.0f);
    model.UndoStep();
    model.UndoStep();
    EXPECT_EQ(note->time, 1010);
    model.Transpose(1);
    EXPECT_EQ(model.GetStepCount(), 2);
    EXPECT_EQ(model.GetCurrentStep(), 1);
    EXPECT_FALSE(model.CanRedo());
    EXPECT_EQ(model.RedoStep(), nullptr);
    EXPECT_STREQ(model.GetStep(1)->GetName(), "Transpose");
}

TEST_F(cHistoryTest, GoingToAStepClampsItAndReportsTheLastActionHandled)
{
    cPatternEvent* note = world.AddNote(1000, 60, 10);
    world.Rebuild();
    Select({note});
    for (int i = 0; i < 3; ++i)
        model.Move(10.0f);
    const struct
    {
        int32_t step;
        int32_t current;
        int32_t returned; // the step of the action returned, -2 for none
        int32_t time;
    } cases[] = {
        {-7, -1, 0, 1000}, {-1, -1, -2, 1000}, {1, 1, 1, 1020}, {9, 2, 2, 1030}, {2, 2, -2, 1030}, {0, 0, 1, 1010},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.step);
        cAction* expected = c.returned >= 0 ? model.GetStep(c.returned) : nullptr;
        EXPECT_EQ(model.GoToHistoryStep(c.step), expected);
        EXPECT_EQ(model.GetCurrentStep(), c.current);
        EXPECT_EQ(note->time, c.time);
    }
}

TEST_F(cHistoryTest, TheBackupIsThePatternBeforeTheFirstEdit)
{
    cPatternEvent* note = world.AddNote(1000, 60, 10);
    world.AddController(5, cPatternEditWorld::kPlainController, 9);
    world.Pattern().loopLength = 2048;
    world.Rebuild();
    const std::vector<cEventRecord> original = Pattern();
    EXPECT_EQ(model.GetBackup(), nullptr);
    EXPECT_FALSE(modified);

    Select({note});
    model.Transpose(2);
    model.Move(64.0f);
    ASSERT_NE(model.GetBackup(), nullptr);
    EXPECT_EQ(Records(*model.GetBackup()), original);
    EXPECT_EQ(model.GetBackup()->loopLength, 2048);
    EXPECT_TRUE(modified);

    // Undoing does not take a new one; binding drops it.
    model.GoToHistoryStep(-1);
    model.Move(1.0f);
    EXPECT_EQ(Records(*model.GetBackup()), original);
    model.Bind(world.part);
    EXPECT_EQ(model.GetBackup(), nullptr);
}

// Fault: undo applied the negated change, so a clamped edit never came back.
TEST_F(cHistoryTest, UndoPutsBackClampedValuesExactly)
{
    struct cCase
    {
        const char* name;
        std::function<cPatternEvent*()> make;
        std::function<int32_t()> edit;
        std::function<int32_t(const cPatternEvent&)> read;
        int32_t before, after;
    };
    const cCase cases[] = {
        {"transpose", [&] { return world.AddNote(100, 120, 10); }, [&] { return model.Transpose(12); },
         [](const cPatternEvent& e) { return int32_t(e.data1); }, 120, 127},
        {"velocity", [&] { return world.AddNote(100, 60, 10, 120); }, [&] { return model.OffsetVelocity(20); },
         [](const cPatternEvent& e) { return int32_t(e.data2); }, 120, 127},
        {"controller", [&] { return world.AddController(100, cPatternEditWorld::kPlainController, 32700); },
         [&] { return model.OffsetController(100); }, [](const cPatternEvent& e) { return e.GetControllerValue(); },
         32700, 32767},
        {"length", [&] { return world.AddNote(100, 60, 5); }, [&] { return model.ChangeLength(-10.0f); },
         [](const cPatternEvent& e) { return e.length; }, 5, 1},
    };
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        cPatternEvent* event = c.make();
        world.Rebuild();
        model.SetLane(event->IsController() ? cPatternEditModel::kLaneController : cPatternEditModel::kLaneNotes, 0,
                      false);
        model.Select(ViewOf(event), true);
        EXPECT_EQ(c.edit(), 1);
        EXPECT_EQ(c.read(*event), c.after);
        model.UndoStep();
        EXPECT_EQ(c.read(*event), c.before);
        model.RedoStep();
        EXPECT_EQ(c.read(*event), c.after);
    }
}

TEST_F(cHistoryTest, UndoingATransposeStopsTheNoteSoundingAtTheShiftedPitch)
{
    cPatternEvent* note = world.AddNote(0, 60, 1000);
    world.Rebuild();
    Select({note});
    model.Transpose(12);
    cTrackList* tracks = world.sequencer.GetTrackList();
    world.Take(0);
    tracks->LocateAll(0);
    for (int32_t t = 0; t < 64; t += 8)
        tracks->PlayUpTo(t);
    const std::vector<cAudioEvent> started = cSlotInstruments::OfType(world.Take(0), kAudioEventNoteOn);
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].GetNote(), 72);

    model.UndoStep();
    EXPECT_EQ(note->data1, 60);
    const std::vector<cAudioEvent> stopped = cSlotInstruments::OfType(world.Take(0), kAudioEventNoteOff);
    ASSERT_EQ(stopped.size(), 1u);
    EXPECT_EQ(stopped[0].wordB, started[0].wordB);
}

TEST_F(cHistoryTest, RebuildingTheViewsForgetsTheHistory)
{
    cPatternEvent* note = world.AddNote(1000, 60, 10);
    world.Rebuild();
    Select({note});
    model.DeleteSelected();
    EXPECT_EQ(model.GetStepCount(), 1);
    model.RebuildViews();
    EXPECT_EQ(model.GetStepCount(), 0);
    EXPECT_EQ(model.UndoStep(), nullptr);
    EXPECT_EQ(world.Pattern().count, 0);
}

// Views are handed out as a stack; a redo that took them in another order
// than its first run left later steps holding views of other events, or of
// none.
TEST_F(cHistoryTest, StepsRedoneAfterEarlierOnesKeepTheirOwnEvents)
{
    world.AddNote(0, 60, 30);
    world.AddNote(100, 60, 30);
    world.AddNote(200, 61, 30);
    world.Rebuild();
    std::vector<std::vector<cEventRecord>> states = {SortedRecords(world.Pattern())};
    const std::function<void()> steps[] = {
        [&] { model.DrawNotes(0.0f, 250.0f, 60.0f, Grid(64.0f)); }, // two notes out, four in
        [&] { Select({world.Pattern().head}), model.Transpose(5); }, // one of them
        [&] { model.CopySelection(Grid(256.0f)); },
        [&] { model.SelectAll(), model.DeleteSelected(); },
    };
    for (const auto& step : steps)
    {
        step();
        states.push_back(SortedRecords(world.Pattern()));
    }
    ASSERT_EQ(states[1].size(), 5u);
    ASSERT_EQ(states[3].size(), 6u);
    for (int32_t target : {-1, 3, 0, 2, -1, 1, 3, 1, 2})
    {
        model.GoToHistoryStep(target);
        EXPECT_EQ(SortedRecords(world.Pattern()), states[size_t(target + 1)]) << "step " << target;
    }
}

// After an edit, undoing the last recording would take back what the edit
// changed too; looking at the pattern leaves that undo in place.
TEST_F(cHistoryTest, EditsAndTheirUndosForgetTheLastRecording)
{
    cPatternEvent* note = world.AddNote(1000, 60, 10);
    cRecordUndoJournal* journal = world.sequencer.GetRecordUndoJournal();
    const auto journalAPart = [&]
    {
        cScopedLock lock(world.sequencer.GetLock());
        journal->GetEntry(world.part);
    };
    journalAPart();
    world.Rebuild();
    model.SetLane(cPatternEditModel::kLaneVelocity, 0, false);
    model.SetLane(cPatternEditModel::kLaneNotes, 0, false);
    model.RefreshViews();
    EXPECT_TRUE(journal->HasEntries()) << "reading the pattern keeps it";

    Select({note});
    model.Transpose(1);
    EXPECT_FALSE(journal->HasEntries());
    journalAPart();
    model.UndoStep();
    EXPECT_FALSE(journal->HasEntries());
    journalAPart();
    model.RedoStep();
    EXPECT_FALSE(journal->HasEntries());
}

// Notes the recorder still holds are filed before the model looks at or
// changes the pattern. A note let go before the sixteenth it snaps forward
// to is held until the song passes that line.
TEST_F(cHistoryTest, HeldRecordedNotesAreFiledFirst)
{
    world.AddNote(1000, 60, 10);
    world.sequencer.SetLoopEnabled(false);
    gTransport.countInBars = 0;
    world.sequencer.SetPosition(0);
    world.sequencer.Play(0);
    world.sequencer.Record();
    const auto play = [&](int32_t on, int32_t off, uint8_t note, uint32_t voice)
    {
        gTransport.position = on;
        world.sequencer.HandleEvent(LiveNoteOn(note, 90, voice));
        gTransport.position = off;
        world.sequencer.HandleEvent(LiveNoteOff(note, voice));
    };
    play(120, 125, 64, 1);
    EXPECT_EQ(world.Pattern().count, 1) << "held by the recorder";
    gTransport.position = 300;
    world.Rebuild();
    EXPECT_EQ(model.GetViewCount(), 2);

    play(376, 380, 67, 2);
    EXPECT_EQ(world.Pattern().count, 2);
    gTransport.position = 500;
    model.SelectAll();
    model.Transpose(1);
    EXPECT_EQ(world.Pattern().count, 3);
    world.sequencer.Stop();
}
