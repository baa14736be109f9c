#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <initializer_list>
#include <vector>

#include "EditorHostRecorder.h"
#include "SongEditWorld.h"
#include "SongRecords.h"
#include "base/ProjectModified.h"
#include "editors/SongEditAction.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/TrackList.h"
#include "ui/DialogueFixture.h"
#include "ui/WidgetButton.h"

// A song world in 4/4 on a widget manager whose root shows the editors'
// alert, with the project's modified flag and the status line recorded.
class cSongEditTest : public DialogueFixture
{
protected:
    using cPartView = cSongEditModel::cPartView;
    static constexpr int32_t kBar = 1024;

    cSongEditTest()
    {
        UseScreen(1024, 768);
        world.sequencer.SetBeatsPerBar(4);
        SetProjectModifiedFlag(&modified);
    }
    ~cSongEditTest() override { SetProjectModifiedFlag(nullptr); }

    cPartView* ViewOf(const cPatternInstance* part) const { return model.FindView(part); }

    void Select(std::initializer_list<const cPatternInstance*> parts)
    {
        model.ClearSelection();
        for (const cPatternInstance* part : parts)
            model.SelectView(ViewOf(part), false);
        model.UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
    }

    std::vector<const cPatternInstance*> Selected() const
    {
        std::vector<const cPatternInstance*> parts;
        for (const auto* node = model.GetSelection().GetFirst(); node; node = node->GetNext())
            parts.push_back(node->view->part);
        return parts;
    }

    // Answers the editors' alert as a click would.
    void ClickAlertButton(int32_t index)
    {
        Frame(20);
        const cRect r = host.alert->GetButton(index)->GetRect();
        Tap(7, 0.5f * (r.xMin + r.xMax), 0.5f * (r.yMin + r.yMax));
        Frame(20);
    }

    cSongRecord Song() const { return cSongRecord::Of(*world.sequencer.GetTrackList()); }

    // Every view shows a part of the song, on the part's own row.
    void ExpectViewsWhole() const
    {
        for (const cPartView* view = model.GetViews().GetFirst(); view; view = view->GetNext())
        {
            ASSERT_NE(view->part, nullptr);
            ASSERT_NE(view->part->owner, nullptr);
            EXPECT_EQ(view->start, float(view->part->start));
            EXPECT_EQ(view->end, float(view->part->GetEnd()));
            EXPECT_EQ(view->top, float(view->part->owner->GetIndex()));
        }
    }

    // Undo gives the song before, redo the song after.
    void ExpectUndoRedo(const cSongRecord& before, const cSongRecord& after)
    {
        model.UndoStep();
        EXPECT_EQ(Song(), before) << "after undo";
        ExpectViewsWhole();
        model.RedoStep();
        EXPECT_EQ(Song(), after) << "after redo";
        ExpectViewsWhole();
    }

    cSongEditWorld world;
    cSongEditModel& model = world.model;
    cEditorHostRecorder host;
    std::atomic<bool> modified{false};
};
