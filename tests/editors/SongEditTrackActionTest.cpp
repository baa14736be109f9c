#include "SongEditFixture.h"

#include "audio/Instrument.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Track.h"

namespace
{
class SongEditTrackActionTest : public cSongEditTest
{
protected:
    std::vector<const cTrack*> Tracks() const
    {
        std::vector<const cTrack*> tracks;
        for (int32_t i = 0; i < world.sequencer.GetTrackList()->GetCount(); ++i)
            tracks.push_back(world.Track(i));
        return tracks;
    }
    cInstrument* Slot(int32_t slot) const { return world.slots.GetInstrument(slot); }
};

TEST_F(SongEditTrackActionTest, AddTrackGoesToTheEndOfItsInstrumentsGroup)
{
    cTrack* first = world.AddTrack(0);
    cTrack* other = world.AddTrack(1);
    world.AddPrivatePart(other, 0, kBar);
    world.Bind();
    const cSongRecord before = Song();

    model.AddTrack(0);
    ASSERT_EQ(Tracks().size(), 3u);
    EXPECT_EQ(Tracks()[0], first);
    EXPECT_EQ(Tracks()[1]->GetChannel(), 0);
    EXPECT_EQ(Tracks()[2], other);
    EXPECT_EQ(model.GetViews().GetFirst()->top, 2.0f) << "the views follow the rows";
    ExpectUndoRedo(before, Song());
}

TEST_F(SongEditTrackActionTest, DeletingAnInstrumentsOnlyTrackChangesNothingButIsAStep)
{
    world.AddTrack(0);
    world.AddTrack(1);
    world.Bind();
    const cSongRecord before = Song();
    model.DeleteTrack(1);
    EXPECT_EQ(Song(), before);
    EXPECT_EQ(model.GetStepCount(), 1);
    model.UndoStep();
    EXPECT_EQ(Song(), before);
}

TEST_F(SongEditTrackActionTest, UndoingDelTrackPutsTheSameTrackBackInItsPlaceWithItsParts)
{
    cTrack* a = world.AddTrack(0);
    cTrack* b = world.AddTrack(0);
    cTrack* c = world.AddTrack(0);
    cTrack* d = world.AddTrack(1);
    cPatternInstance* part = world.AddPrivatePart(b, kBar, kBar);
    world.AddPrivatePart(d, 0, kBar);
    world.Bind();
    Select({part});
    const cSongRecord before = Song();

    model.DeleteTrack(1);
    EXPECT_EQ(Tracks(), (std::vector<const cTrack*>{a, c, d}));
    EXPECT_EQ(ViewOf(part), nullptr);
    EXPECT_EQ(model.GetSelectedCount(), 0);
    const cSongRecord after = Song();
    model.UndoStep();
    EXPECT_EQ(Tracks(), (std::vector<const cTrack*>{a, b, c, d}));
    EXPECT_EQ(b->GetFirstPart(), part);
    ASSERT_NE(ViewOf(part), nullptr);
    EXPECT_EQ(ViewOf(part)->top, 1.0f);
    EXPECT_EQ(Song(), before);
    model.RedoStep();
    EXPECT_EQ(Song(), after);
}

TEST_F(SongEditTrackActionTest, UndoingDelInstrBringsBackTheInstrumentAndAllItsTracksInOrder)
{
    world.AddTrack(0);
    cTrack* first = world.AddTrack(1);
    cTrack* second = world.AddTrack(1);
    world.AddPrivatePart(first, 0, kBar);
    world.AddPrivatePart(second, kBar, 2 * kBar);
    world.AddPrivatePart(second, 4 * kBar, kBar);
    world.Bind();
    cInstrument* instrument = Slot(1);
    const cSongRecord before = Song();

    model.DeleteInstrument(1);
    EXPECT_EQ(Slot(1), nullptr);
    EXPECT_EQ(Tracks().size(), 1u);
    EXPECT_EQ(model.GetViewCount(), 0);
    EXPECT_EQ(world.package.destroyed, 0) << "kept for undo";
    const cSongRecord after = Song();
    model.UndoStep();
    EXPECT_EQ(Slot(1), instrument);
    EXPECT_EQ(Tracks(), (std::vector<const cTrack*>{world.Track(0), first, second}));
    EXPECT_EQ(model.GetViewCount(), 3);
    EXPECT_EQ(Song(), before);
    ExpectViewsWhole();
    model.RedoStep();
    EXPECT_EQ(Song(), after);
    model.ClearHistory();
    EXPECT_EQ(world.package.destroyed, 1) << "the kept instrument goes with the step";
}

TEST_F(SongEditTrackActionTest, SwapInstrKeepsBothInstrumentsAcrossUndoAndRedo)
{
    world.AddTrack(0);
    world.AddTrack(1);
    world.Bind();
    cInstrument* old = Slot(1);
    model.SwapInstrument(&world.package, "Swapped", 1);
    cInstrument* newer = Slot(1);
    ASSERT_NE(newer, old);
    EXPECT_STREQ(newer->GetName(), "Swapped");
    newer->SetName("Edited sound");

    model.UndoStep();
    EXPECT_EQ(Slot(1), old) << "the same object, with its settings";
    model.RedoStep();
    EXPECT_EQ(Slot(1), newer) << "the same newer object, edits and all";
    EXPECT_STREQ(Slot(1)->GetName(), "Edited sound");
    EXPECT_EQ(world.package.destroyed, 0);
    model.ClearHistory();
    EXPECT_EQ(world.package.destroyed, 1) << "the replaced one";
}

// Undo of "Add instr" deleted the instrument and redo made a default one,
// losing every edit of its sound in between.
TEST_F(SongEditTrackActionTest, UndoAndRedoOfAddInstrKeepTheSameInstrument)
{
    world.AddTrack(0);
    world.Bind();
    model.AddInstrument(&world.package, "A name longer than the thirty-two characters kept", 3);
    cInstrument* added = Slot(3);
    ASSERT_NE(added, nullptr);
    EXPECT_STREQ(model.GetStep(0)->GetInstrumentName(), "A name longer than the thirty-tw") << "cut to 32";
    EXPECT_EQ(std::string(model.GetStep(0)->GetInstrumentName()).rfind(added->GetName(), 0), 0u);
    EXPECT_EQ(Tracks().back()->GetChannel(), 3);
    added->SetName("Edited sound");

    model.UndoStep();
    EXPECT_EQ(Slot(3), nullptr);
    EXPECT_EQ(Tracks().size(), 1u);
    EXPECT_EQ(world.package.destroyed, 0) << "the undone step keeps it";
    model.RedoStep();
    EXPECT_EQ(Slot(3), added);
    EXPECT_STREQ(added->GetName(), "Edited sound");
    EXPECT_EQ(Tracks().size(), 2u);

    model.UndoStep();
    world.AddPrivatePart(world.Track(0), 0, kBar);
    world.Bind(); // a rebind drops the undone step
    EXPECT_EQ(world.package.destroyed, 1);
    world.Bind();
    EXPECT_EQ(world.package.destroyed, 1) << "freed once";
}

// Undoing "Del track" gave its parts views in no set order, so undoing an
// earlier "Move" moved a neighbour instead.
TEST_F(SongEditTrackActionTest, AnUndoneDelTrackGivesEachPartItsOwnViewBack)
{
    world.AddTrack(0);
    cTrack* track = world.AddTrack(0);
    cPatternInstance* moved = world.AddPrivatePart(track, 0, kBar);
    cPatternInstance* neighbour = world.AddPrivatePart(track, 4 * kBar, kBar);
    world.Bind();
    Select({moved});
    model.MoveSelected(float(kBar), 0.0f);
    model.DeleteTrack(1);
    model.UndoStep();
    model.UndoStep();
    EXPECT_EQ(moved->start, 0);
    EXPECT_EQ(neighbour->start, 4 * kBar);
    ExpectViewsWhole();

    world.AddTrack(1);
    cPatternInstance* other = world.AddPrivatePart(world.Track(2), 0, kBar);
    world.Bind();
    Select({other});
    model.MoveSelected(float(2 * kBar), 0.0f);
    model.DeleteInstrument(0);
    model.UndoStep();
    model.UndoStep();
    EXPECT_EQ(other->start, 0);
    EXPECT_EQ(moved->start, 0);
    EXPECT_EQ(neighbour->start, 4 * kBar);
}

TEST_F(SongEditTrackActionTest, KeptPartsAndTracksAreFreedOnceWhenTheirStepsGo)
{
    world.AddTrack(0);
    cTrack* track = world.AddTrack(0);
    cPatternInstance* a = world.AddPrivatePart(track, 0, kBar);
    world.AddPrivatePart(track, 2 * kBar, kBar);
    world.AddPrivatePart(world.Track(0), 0, kBar);
    world.Bind();
    const int32_t partsBefore = cPatternInstance::GetPoolUsedCount();

    Select({a});
    model.DeleteSelected();
    model.DeleteTrack(1);
    EXPECT_EQ(cPatternInstance::GetPoolUsedCount(), partsBefore) << "kept, not freed";
    model.ClearHistory();
    EXPECT_EQ(cPatternInstance::GetPoolUsedCount(), partsBefore - 2);
    model.ClearHistory();
    EXPECT_EQ(cPatternInstance::GetPoolUsedCount(), partsBefore - 2);
}
} // namespace
