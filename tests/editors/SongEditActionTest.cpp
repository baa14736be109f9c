#include "SongEditFixture.h"

#include <climits>
#include <functional>

#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/Track.h"

namespace
{
class SongEditActionTest : public cSongEditTest
{
protected:
    // A four-bar part on shared pattern 5, which loops every two bars with a
    // note every half bar.
    cPatternInstance* FourBarsOnATwoBarLoop()
    {
        cTrack* track = world.AddTrack(0);
        cPatternInstance* part = world.AddSharedPart(track, 5, 0, 4 * kBar, 2 * kBar);
        world.FillNotes(*part->pattern, 2 * kBar, kBar / 2);
        world.Bind();
        Select({part});
        return part;
    }

    std::vector<cPartRecord> PartsOfTrack(int32_t index) const { return Song().tracks[size_t(index)].parts; }
};

TEST_F(SongEditActionTest, SplittingAPartOnASharedLoopInsideTheLoopMakesAPrivatePieceForTheRestOfThatLoop)
{
    for (int32_t position : {768, 1000, 1500, 1791})
    {
        SCOPED_TRACE(position);
        model.BindTracks(nullptr);
        world.sequencer.ClearSong();
        FourBarsOnATwoBarLoop();
        const cSongRecord before = Song();

        EXPECT_EQ(model.SplitParts(position), 2);
        const std::vector<cPartRecord> parts = PartsOfTrack(0);
        ASSERT_EQ(parts.size(), 3u);
        EXPECT_EQ(parts[0].start, 0);
        EXPECT_EQ(parts[0].length, kBar);
        EXPECT_EQ(parts[0].patternNumber, 5);
        EXPECT_EQ(parts[1].start, kBar);
        EXPECT_EQ(parts[1].length, kBar);
        EXPECT_FALSE(parts[1].IsShared());
        EXPECT_EQ(parts[1].loopLength, kBar);
        EXPECT_EQ(parts[1].events, (std::vector<cEventRecord>{cEventRecord::Note(0, 38, 256), cEventRecord::Note(512, 39, 256)}))
            << "the loop's second bar";
        EXPECT_EQ(parts[2].start, 2 * kBar);
        EXPECT_EQ(parts[2].length, 2 * kBar);
        EXPECT_EQ(parts[2].patternNumber, 5);
        EXPECT_EQ(model.GetSelectedCount(), 3);
        ExpectUndoRedo(before, Song());
    }
}

TEST_F(SongEditActionTest, SplittingOnALoopBoundaryGivesTwoSharedPieces)
{
    FourBarsOnATwoBarLoop();
    const cSongRecord before = Song();
    EXPECT_EQ(model.SplitParts(2 * kBar), 1);
    const std::vector<cPartRecord> parts = PartsOfTrack(0);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0].patternNumber, 5);
    EXPECT_EQ(parts[0].length, 2 * kBar);
    EXPECT_EQ(parts[1].patternNumber, 5);
    EXPECT_EQ(parts[1].start, 2 * kBar);
    ExpectUndoRedo(before, Song());
}

TEST_F(SongEditActionTest, ASplitOutsideTheSelectionAlertsAndChangesNothing)
{
    FourBarsOnATwoBarLoop();
    const cSongRecord before = Song();
    EXPECT_EQ(model.SplitParts(6 * kBar), 0);
    EXPECT_TRUE(host.IsAlertShown());
    EXPECT_EQ(host.AlertTitle(), "Split Parts");
    EXPECT_STREQ(host.alert->firstLine.CStr(), "No suitable parts per found to split.");
    EXPECT_STREQ(host.alert->secondLine.CStr(), "Move the song pointer inside the selection.");
    EXPECT_EQ(Song(), before);
    EXPECT_EQ(model.GetStepCount(), 0);
}

TEST_F(SongEditActionTest, JoiningAcrossAGapMakesOnePartCoveringBothAndTheGap)
{
    cTrack* track = world.AddTrack(0);
    cPatternInstance* first = world.AddPrivatePart(track, 0, kBar);
    cPatternInstance* second = world.AddPrivatePart(track, 2 * kBar, kBar);
    world.AddNote(*first->pattern, 0, 60, 100);
    world.AddNote(*second->pattern, 256, 62, 100);
    world.Bind();
    Select({second, first});
    const cSongRecord before = Song();

    EXPECT_EQ(model.MergeParts(), 1);
    const std::vector<cPartRecord> parts = PartsOfTrack(0);
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_EQ(parts[0].start, 0);
    EXPECT_EQ(parts[0].length, 3 * kBar);
    EXPECT_EQ(parts[0].events,
              (std::vector<cEventRecord>{cEventRecord::Note(0, 60, 100), cEventRecord::Note(2 * kBar + 256, 62, 100)}));
    EXPECT_EQ(model.GetSelectedCount(), 1);
    EXPECT_FALSE(host.IsAlertShown());
    ExpectUndoRedo(before, Song());
}

TEST_F(SongEditActionTest, MergeRefusalsSayWhy)
{
    cTrack* track = world.AddTrack(0);
    cPatternInstance* a = world.AddPrivatePart(track, 0, 2 * kBar);
    cPatternInstance* b = world.AddPrivatePart(track, kBar, 2 * kBar);
    cPatternInstance* c = world.AddPrivatePart(world.AddTrack(1), 0, kBar);
    world.Bind();
    struct
    {
        std::initializer_list<const cPatternInstance*> parts;
        const char* first;
        const char* second;
    } cases[] = {
        {{a, b}, "Cannot merge overlapping parts.", ""},
        {{a, b, c}, "3 parts are selected.", "Please select two adjacent parts."},
        {{a}, "1 parts are selected.", "Please select two adjacent parts."},
        {{a, c}, "No suitable parts per found to merge.", "Please select two adjacent parts."},
    };
    const cSongRecord before = Song();
    for (const auto& c : cases)
    {
        Select(c.parts);
        EXPECT_EQ(model.MergeParts(), 0);
        EXPECT_EQ(host.AlertTitle(), "Merge Parts");
        EXPECT_STREQ(host.alert->firstLine.CStr(), c.first);
        EXPECT_STREQ(host.alert->secondLine.CStr(), c.second);
        host.DismissAlert();
    }
    EXPECT_EQ(Song(), before);
    EXPECT_EQ(model.GetStepCount(), 0);
}

TEST_F(SongEditActionTest, DrawingATapInsideAPartRemovesItAndADragFromInsideOneReplacesIt)
{
    cTrack* track = world.AddTrack(0);
    world.AddPrivatePart(track, kBar, kBar);
    world.Bind();
    cSongRecord before = Song();

    EXPECT_EQ(model.DrawPart(0, 1500.0f, 1500.0f), -1);
    EXPECT_TRUE(PartsOfTrack(0).empty());
    ExpectUndoRedo(before, Song());

    cPatternInstance* part = world.AddPrivatePart(track, kBar, 2 * kBar);
    world.AddNote(*part->pattern, 0, 60, 100);
    world.Bind();
    before = Song();
    EXPECT_EQ(model.DrawPart(0, 1500.0f, 3500.0f), 0);
    const std::vector<cPartRecord> parts = PartsOfTrack(0);
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_EQ(parts[0].start, kBar);
    EXPECT_EQ(parts[0].length, 3 * kBar);
    EXPECT_TRUE(parts[0].events.empty());
    EXPECT_FALSE(parts[0].IsShared());
    ExpectUndoRedo(before, Song());

    // A tap where nothing is draws one bar.
    EXPECT_EQ(model.DrawPart(0, 9 * kBar + 10.0f, 9 * kBar + 10.0f), 1);
    EXPECT_EQ(PartsOfTrack(0).back().start, 9 * kBar);
    EXPECT_EQ(PartsOfTrack(0).back().length, kBar);
}

TEST_F(SongEditActionTest, ToPartUnrollsAnEightBarLoopIntoEightBarsOfEvents)
{
    cTrack* track = world.AddTrack(0);
    cPatternInstance* part = world.AddSharedPart(track, 7, 0, 8 * kBar, kBar);
    world.FillNotes(*part->pattern, kBar, kBar / 4);
    world.Bind();
    Select({part});
    const cSongRecord before = Song();

    EXPECT_EQ(model.ConvertToPart(), 1);
    const cPartRecord converted = PartsOfTrack(0).front();
    EXPECT_FALSE(converted.IsShared());
    EXPECT_EQ(converted.length, 8 * kBar);
    EXPECT_EQ(converted.loopLength, 8 * kBar);
    ASSERT_EQ(converted.events.size(), 32u);
    EXPECT_EQ(converted.events.back().time, 8 * kBar - kBar / 4);
    EXPECT_EQ(ViewOf(model.GetSelection().GetFirst()->view->part)->fillColour, cSongEditModel::kPrivateFill);
    ExpectUndoRedo(before, Song());
}

TEST_F(SongEditActionTest, ToPatternGivesAPrivatePartAFreeSharedPatternAndUndoFreesItAgain)
{
    cTrack* track = world.AddTrack(0);
    cPatternInstance* part = world.AddPrivatePart(track, kBar, 2 * kBar);
    world.AddNote(*part->pattern, 100, 64, 50);
    world.Bind();
    Select({part});
    const cSongRecord before = Song();

    EXPECT_EQ(model.ConvertToPattern(), 1);
    const cPartRecord converted = PartsOfTrack(0).front();
    EXPECT_EQ(converted.patternNumber, 1) << "the first free shared pattern";
    EXPECT_EQ(converted.loopLength, 2 * kBar);
    EXPECT_EQ(converted.events, (std::vector<cEventRecord>{cEventRecord::Note(100, 64, 50)}));
    const cSongRecord after = Song();
    model.UndoStep();
    EXPECT_EQ(Song(), before);
    EXPECT_EQ(world.SharedPattern(1)->count, 0) << "cleared for the next conversion";
    model.RedoStep();
    EXPECT_EQ(Song(), after);
}

TEST_F(SongEditActionTest, EditPartSwapsThePatternBetweenItsTwoVersions)
{
    cTrack* track = world.AddTrack(0);
    cPatternInstance* part = world.AddPrivatePart(track, 0, kBar);
    world.AddNote(*part->pattern, 0, 60, 100);
    world.Bind();
    cPattern backup;
    {
        cScopedLock lock(world.sequencer.GetLock());
        backup.CopyRange(*part->pattern, 0, INT_MAX);
    }
    world.AddNote(*part->pattern, 512, 67, 100);
    {
        cScopedLock lock(world.sequencer.GetLock());
        part->pattern->loopLength = 2 * kBar;
    }
    const std::vector<cEventRecord> edited = Records(*part->pattern);

    model.CommitPatternEdit(part->pattern, &backup);
    EXPECT_EQ(Records(*part->pattern), edited) << "the first run changes nothing";
    EXPECT_STREQ(model.GetStep(0)->GetName(), "Edit part");
    model.UndoStep();
    EXPECT_EQ(Records(*part->pattern), Records(backup));
    EXPECT_EQ(part->pattern->loopLength, kBar);
    model.RedoStep();
    EXPECT_EQ(Records(*part->pattern), edited);
    EXPECT_EQ(part->pattern->loopLength, 2 * kBar);
    cScopedLock lock(world.sequencer.GetLock());
    backup.Clear();
}

TEST_F(SongEditActionTest, EachPartCommandUndoesAndRedoesFieldByField)
{
    cTrack* first = world.AddTrack(0);
    world.AddTrack(1);
    cPatternInstance* a = world.AddPrivatePart(first, 0, kBar);
    cPatternInstance* b = world.AddSharedPart(first, 2, 2 * kBar, 2 * kBar, kBar);
    world.AddNote(*a->pattern, 10, 50, 20);
    world.AddNote(*b->pattern, 30, 52, 20);
    world.Bind();

    const std::function<void()> commands[] = {
        [&] { model.ResizeSelected(float(kBar)); },
        [&] { model.MoveSelected(float(3 * kBar), 1.0f); },
        [&] { model.DuplicateSelected(); },
        [&] { model.DeleteSelected(); },
    };
    for (const auto& command : commands)
    {
        Select({a, b});
        const cSongRecord before = Song();
        command();
        const cSongRecord after = Song();
        EXPECT_NE(after, before);
        ExpectUndoRedo(before, after);
        model.UndoStep();
        EXPECT_EQ(Song(), before);
    }
}

TEST_F(SongEditActionTest, UndoingADeleteBringsBackTheSamePartsSelected)
{
    cTrack* track = world.AddTrack(0);
    cPatternInstance* a = world.AddPrivatePart(track, 0, kBar);
    cPatternInstance* b = world.AddPrivatePart(track, 2 * kBar, kBar);
    world.Bind();
    Select({a, b});
    EXPECT_EQ(model.DeleteSelected(), 2);
    EXPECT_EQ(model.GetSelectedCount(), 0);
    model.UndoStep();
    EXPECT_EQ(track->GetFirstPart(), a);
    EXPECT_EQ(a->next, b);
    EXPECT_EQ(model.GetSelectedCount(), 2);
}

TEST_F(SongEditActionTest, FiveCommandsKeepTheLastFourAndAnEditAfterUndosDropsThem)
{
    cTrack* track = world.AddTrack(0);
    cPatternInstance* part = world.AddPrivatePart(track, 0, kBar);
    world.Bind();
    std::vector<cSongRecord> songs = {Song()};
    for (int i = 0; i < 5; ++i)
    {
        Select({part});
        model.MoveSelected(float(kBar), 0.0f);
        songs.push_back(Song());
    }
    EXPECT_EQ(model.GetStepCount(), 4);
    EXPECT_EQ(model.GetCurrentStep(), 3);
    model.GoToHistoryStep(-1);
    EXPECT_EQ(Song(), songs[1]) << "as after the first";
    model.GoToHistoryStep(3);
    EXPECT_EQ(Song(), songs[5]);
    model.GoToHistoryStep(1);
    Select({part});
    model.MoveSelected(0.0f, 0.0f);
    EXPECT_EQ(model.GetStepCount(), 4) << "a command that does nothing is no step and drops none";
    model.DeleteSelected();
    EXPECT_EQ(model.GetStepCount(), 3);
    EXPECT_FALSE(model.CanRedo());
    EXPECT_TRUE(modified);
}

} // namespace
